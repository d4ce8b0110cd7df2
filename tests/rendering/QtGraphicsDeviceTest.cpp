// The QPainter device on real pixels: back-end looks (aliased/antialiased, widths), brushes,
// text layout, the glyph fast path against the outline path, rotation, images.
#include <gtest/gtest.h>

#include <QFontDatabase>

#include "rendering/KELDGraphics.h"
#include "rendering/QtGraphicsDevice.h"

namespace ff {
namespace {

constexpr TArgb White = 0xFFFFFFFF;

struct TCanvas
{
    explicit TCanvas(int w = 200, int h = 100) : Bmp(w, h, White) {}
    TBitmap Bmp;
    std::unique_ptr<TQtBitmapDevice> Dev = std::make_unique<TQtBitmapDevice>(Bmp, 96);
    // Ends drawing; the bitmap then holds the pixels.
    TBitmap& Done()
    {
        Dev.reset();
        return Bmp;
    }
};

// With FF_RENDER_DUMP_DIR set, the pictures are written there for a look by eye.
void Dump(const TBitmap& b, const char* name)
{
    const QByteArray dir = qgetenv("FF_RENDER_DUMP_DIR");
    if (!dir.isEmpty()) BitmapAsQImage(b).save(QString::fromUtf8(dir + "/" + name + ".png"));
}

bool IsWhite(TArgb p)
{
    return (p & 0xFFFFFF) == 0xFFFFFF;
}

// Bounding box of the pixels that are not white; (0,0,0,0) when there are none.
TRect InkBounds(const TBitmap& b)
{
    TRect r{b.Width, b.Height, -1, -1};
    for (int y = 0; y < b.Height; ++y)
        for (int x = 0; x < b.Width; ++x)
            if (!IsWhite(b.Pixel(x, y))) {
                r.Left = std::min(r.Left, x);
                r.Top = std::min(r.Top, y);
                r.Right = std::max(r.Right, x + 1);
                r.Bottom = std::max(r.Bottom, y + 1);
            }
    return r.Right < 0 ? TRect{} : r;
}

// Pixels whose colour is neither white nor exactly c: the antialiasing fringe.
int BlendedPixels(const TBitmap& b, TColor c)
{
    int n = 0;
    for (TArgb p : b.Pixels)
        if (!IsWhite(p) && ArgbToColor(p) != c) ++n;
    return n;
}

class QtGraphicsDeviceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Quality = GraphicsQuality;
        GraphicsQuality = 1;
        GraphicsColorMode = 0;
    }
    void TearDown() override { GraphicsQuality = m_Quality; }

private:
    int m_Quality = 1;
};

TEST_F(QtGraphicsDeviceTest, GdiRectangleIsAliasedAndOpaque)
{
    TCanvas c;
    {
        TKELDGraphics g(*c.Dev);
        g.PenColor = 0x0000FF;
        g.BrushColor = 0x00FF00;
        g.Rectangle(10, 10, 30, 20);
    }
    const TBitmap& b = c.Done();
    EXPECT_EQ(InkBounds(b), (TRect{10, 10, 31, 21}));
    EXPECT_EQ(ArgbToColor(b.Pixel(10, 15)), 0x0000FFu); // outline on the vertex column
    EXPECT_EQ(ArgbToColor(b.Pixel(30, 15)), 0x0000FFu);
    EXPECT_EQ(ArgbToColor(b.Pixel(20, 15)), 0x00FF00u);
    for (TArgb p : b.Pixels)
        EXPECT_TRUE(IsWhite(p) || ArgbToColor(p) == 0x0000FF || ArgbToColor(p) == 0x00FF00);
}

TEST_F(QtGraphicsDeviceTest, AntialiasedAndAlphaOnGp)
{
    GraphicsQuality = 3;
    TCanvas c;
    {
        TKELDGraphics g(*c.Dev);
        g.PenColor = 0;
        g.PenWidth = 2.5;
        g.ClearFill = true;
        g.MoveTo(10, 10);
        g.LineTo(150, 60);
        g.BrushColor = 0x000000;
        g.Alpha = 128;
        g.ClearFill = false;
        g.PenStyle = psClear;
        g.Rectangle(160, 10, 190, 40);
    }
    const TBitmap& b = c.Done();
    EXPECT_GT(BlendedPixels(b, 0), 50); // edges of the slanted line are blended
    const TArgb half = b.Pixel(175, 25);
    EXPECT_NEAR(int(ArgbRed(half)), 127, 2);
    EXPECT_EQ(ArgbAlpha(half), 255u);
}

TEST_F(QtGraphicsDeviceTest, GradientsRunBetweenTheirPoints)
{
    TCanvas c(100, 100);
    {
        TKELDGraphics g(*c.Dev);
        g.PenStyle = psClear;
        g.GradientStyle = 1;
        g.SetGradientPoints({{0, 0}, {0, 50}});
        g.BrushColor = 0x000000;
        g.GradientColor = 0xFFFFFF;
        g.Rectangle(0, 0, 50, 100);
        TKELDGraphics r(*c.Dev);
        r.PenStyle = psClear;
        r.GradientStyle = 2;
        r.SetGradientPoints({{75, 50}, {75, 70}});
        r.BrushColor = 0x0000FF;
        r.GradientColor = 0xFF0000;
        r.Rectangle(50, 0, 100, 100);
    }
    const TBitmap& b = c.Done();
    Dump(b, "gradients");
    EXPECT_LT(ArgbRed(b.Pixel(20, 1)), 10u);
    EXPECT_NEAR(int(ArgbRed(b.Pixel(20, 25))), 128, 8);
    EXPECT_GT(ArgbRed(b.Pixel(20, 49)), 245u);
    EXPECT_NEAR(int(ArgbRed(b.Pixel(20, 75))), 128, 8); // mirrored beyond the second point
    // Radial: red centre, blue rim, and blue (the overlay) everywhere outside the circle.
    EXPECT_GT(ArgbRed(b.Pixel(75, 50)), 240u);
    EXPECT_EQ(ArgbToColor(b.Pixel(52, 2)), 0xFF0000u);
    EXPECT_EQ(ArgbToColor(b.Pixel(98, 98)), 0xFF0000u);
}

TEST_F(QtGraphicsDeviceTest, HatchesLeaveTheBackgroundAndFollowTheirDirection)
{
    TCanvas c(64, 32);
    {
        TKELDGraphics g(*c.Dev);
        g.UseGP = true;
        g.PenStyle = psClear;
        g.BrushColor = 0;
        g.BrushStyle = bsFDiagonal;
        g.Rectangle(0, 0, 32, 32);
        g.BrushStyle = bsHorizontal;
        g.Rectangle(32, 0, 64, 32);
    }
    const TBitmap& b = c.Done();
    Dump(b, "hatches");
    // Forward diagonal runs from top-left down to bottom-right: a dark pixel's lower-right
    // neighbour is dark too.
    int follows = 0, dark = 0;
    for (int y = 1; y < 30; ++y)
        for (int x = 1; x < 30; ++x)
            if (!IsWhite(b.Pixel(x, y))) {
                ++dark;
                if (!IsWhite(b.Pixel(x + 1, y + 1))) ++follows;
            }
    EXPECT_GT(dark, 50);
    EXPECT_GT(follows, dark * 9 / 10);
    int whiteRows = 0;
    for (int y = 0; y < 32; ++y)
        if (IsWhite(b.Pixel(40, y))) ++whiteRows;
    EXPECT_GT(whiteRows, 24);
    EXPECT_LT(whiteRows, 32);
}

TEST_F(QtGraphicsDeviceTest, VerdanaIsDrawnWithItsSubstituteNotTheSerifFallback)
{
    TCanvas c;
    if (QFontDatabase::hasFamily("Verdana")) GTEST_SKIP() << "Verdana is installed";
    EXPECT_EQ(ResolveFontFamily(*c.Dev, "Verdana"), "DejaVu Sans");
    EXPECT_EQ(ResolveFontFamily(*c.Dev, "Times New Roman"), "Liberation Serif");
    EXPECT_EQ(ResolveFontFamily(*c.Dev, "Courier New"), "Liberation Mono");
    EXPECT_EQ(ResolveFontFamily(*c.Dev, "No Such Family"), "Liberation Serif");
    // The substitute's metrics, not the serif's: the two measure differently.
    TDevFont sans{"DejaVu Sans", 20}, serif{"Liberation Serif", 20};
    EXPECT_NE(c.Dev->MeasureText(sans, "Strength", 0).Width,
              c.Dev->MeasureText(serif, "Strength", 0).Width);
}

TEST_F(QtGraphicsDeviceTest, MeasureWrapsAtWordsAndBreaksLongWords)
{
    TCanvas c;
    const TDevFont f{"DejaVu Sans", 20};
    const TDevTextExtent one = c.Dev->MeasureText(f, "Armour class", 0);
    EXPECT_GT(one.Width, 100);
    EXPECT_GT(one.Height, 20);
    EXPECT_LT(one.Height, 30);
    const TDevTextExtent two = c.Dev->MeasureText(f, "Armour class", one.Width - 5);
    EXPECT_NEAR(two.Height, 2 * one.Height, 0.01);
    EXPECT_NEAR(c.Dev->MeasureText(f, "a\r\nb\nc", 0).Height, 3 * one.Height, 0.01);
    const TDevTextExtent broken = c.Dev->MeasureText(f, "Incomprehensibilities", 60);
    EXPECT_LE(broken.Width, 60);
    EXPECT_GE(broken.Height, 3 * one.Height - 0.01);
    EXPECT_EQ(c.Dev->MeasureText(f, "", 0).Width, 0);
}

// The glyph fast path and the outline path give the same picture.
TEST_F(QtGraphicsDeviceTest, GlyphTextMatchesOutlineText)
{
    for (bool underline : {false, true}) {
        SCOPED_TRACE(underline);
        TBitmap out[2];
        for (int pass = 0; pass < 2; ++pass) {
            GraphicsQuality = 2;
            TCanvas c(240, 80);
            {
                TKELDGraphics g(*c.Dev);
                g.FontName = "Verdana";
                g.FontSize = 18;
                g.FontUnderline = underline;
                g.PenStyle = psClear;
                g.BrushColor = 0x202020;
                // A gradient between equal colours forces the outline path.
                if (pass == 1) {
                    g.GradientStyle = 1;
                    g.SetGradientPoints({{0, 0}, {0, 80}});
                    g.GradientColor = 0x202020;
                }
                g.TextOut(TRect{5, 5, 235, 75}, "Hit Points: 42 gy", 0);
            }
            out[pass] = c.Done();
            Dump(out[pass], underline ? (pass ? "text-outline-u" : "text-glyph-u")
                                      : (pass ? "text-outline" : "text-glyph"));
        }
        const TRect a = InkBounds(out[0]), b = InkBounds(out[1]);
        EXPECT_NEAR(a.Left, b.Left, 1);
        EXPECT_NEAR(a.Top, b.Top, 1);
        EXPECT_NEAR(a.Right, b.Right, 1);
        EXPECT_NEAR(a.Bottom, b.Bottom, 1);
        long diff = 0, ink = 0;
        for (std::size_t i = 0; i < out[0].Pixels.size(); ++i) {
            const int d0 = 255 - int(ArgbRed(out[0].Pixels[i]));
            const int d1 = 255 - int(ArgbRed(out[1].Pixels[i]));
            diff += std::abs(d0 - d1);
            ink += d0;
        }
        ASSERT_GT(ink, 0);
        EXPECT_LT(double(diff) / double(ink), 0.1);
    }
}

TEST_F(QtGraphicsDeviceTest, RightAlignmentAndRotation)
{
    GraphicsQuality = 2;
    TCanvas c(200, 200);
    TRect plain, turned;
    {
        TKELDGraphics g(*c.Dev);
        g.FontName = "DejaVu Sans";
        g.FontSize = 16;
        g.PenStyle = psClear;
        g.BrushColor = 0;
        g.FontAlign = 2;
        g.TextOut(TRect{0, 0, 200, 30}, "Right", 0);
    }
    TBitmap b1 = c.Done();
    plain = InkBounds(b1);
    EXPECT_GT(plain.Right, 195);
    EXPECT_GT(plain.Left, 120);

    TCanvas r(200, 200);
    {
        TKELDGraphics g(*r.Dev);
        g.FontName = "DejaVu Sans";
        g.FontSize = 16;
        g.PenStyle = psClear;
        g.BrushColor = 0;
        g.TextOut(TRect{50, 90, 150, 110}, "Rotated text", 90); // centre (100, 100)
    }
    turned = InkBounds(r.Done());
    Dump(r.Bmp, "rotated");
    // Reads bottom to top: tall and narrow, about the centre, within the rectangle's span.
    EXPECT_GT(turned.Height(), 3 * turned.Width());
    EXPECT_GE(turned.Top, 49);
    EXPECT_LE(turned.Bottom, 151);
    EXPECT_GE(turned.Left, 89);
    EXPECT_LE(turned.Right, 111);
}

TEST_F(QtGraphicsDeviceTest, ImagesScaleNearestWithMatrixAndColourKey)
{
    TBitmap img(2, 1);
    img.SetPixel(0, 0, MakeArgb(255, 255, 0, 0));
    img.SetPixel(1, 0, MakeArgb(255, 0, 0, 255));
    img.HasAlpha = false;
    TCanvas c(100, 40);
    const TColorMatrix gray = TColorMatrix::Grayscale();
    c.Dev->DrawImage(img, {0, 0, 2, 1}, {0, 0, 40, 20}, {});
    c.Dev->DrawImage(img, {0, 0, 2, 1}, {50, 0, 90, 20}, {false, 1.0, &gray, false, 0});
    c.Dev->DrawImage(img, {0, 0, 2, 1}, {0, 20, 40, 40}, {false, 1.0, nullptr, true, 0x0000FF});
    const TBitmap& b = c.Done();
    EXPECT_EQ(b.Pixel(19, 10), MakeArgb(255, 255, 0, 0)); // hard edge: nearest neighbour
    EXPECT_EQ(b.Pixel(20, 10), MakeArgb(255, 0, 0, 255));
    EXPECT_EQ(b.Pixel(55, 10), MakeArgb(255, 76, 76, 76));
    EXPECT_EQ(b.Pixel(5, 30), White); // red keyed out
    EXPECT_EQ(b.Pixel(30, 30), MakeArgb(255, 0, 0, 255));
}

TEST_F(QtGraphicsDeviceTest, BitmapDeviceKeepsStraightAlpha)
{
    TBitmap bmp(4, 4, 0);
    {
        TQtBitmapDevice dev(bmp, 96);
        TDevBrush br;
        br.Color = RGBColor(255, 0, 0);
        br.Alpha = 128;
        TDevPath p;
        p.AddRect({0, 0, 2, 4});
        dev.FillPath(p, br, TDevQuality::GpAliased);
    }
    EXPECT_EQ(ArgbAlpha(bmp.Pixel(0, 0)), 128u);
    EXPECT_EQ(ArgbRed(bmp.Pixel(0, 0)), 255u);
    EXPECT_EQ(bmp.Pixel(3, 0), 0u);
}

} // namespace
} // namespace ff
