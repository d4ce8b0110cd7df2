// Every object kind drawn by the Qt device on real pixels in the three situations (designer,
// show-fields print, plain print at a printer's resolution), plus grid and margin and label
// resizing with installed fonts. Assertions look at a few pixels and ink boxes, not whole
// images, so font differences between machines do not break them.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>

#include "model/ClassCSButton.h"
#include "model/ClassCSCheckbox.h"
#include "model/ClassCSField.h"
#include "model/ClassCSImage.h"
#include "model/ClassCSShapes.h"
#include "model/ClassCSText.h"
#include "model/ClassCharSheet.h"
#include "rendering/KELDGraphics.h"
#include "rendering/QtGraphicsDevice.h"
#include "rendering/QtImageCodec.h"

namespace ff {
namespace {

constexpr TColor Highlight = 0xBFBFFF;

struct TSituation
{
    const char* Name;
    TCSDrawParams Params;
    double Dpi; // of the target; CS_DPI stays 96
};

const TSituation Design{"design", {0, Highlight, true, false, false}, 96};
const TSituation ShowFields{"show-fields", {0, Highlight, false, true, true}, 192};
const TSituation Print{"print", {0, Highlight, false, false, true}, 192};

// The scale a situation draws at.
double Scale(const TSituation& s)
{
    return s.Params.PrintMode ? s.Dpi : 96.0;
}

void Dump(const TBitmap& b, const std::string& name)
{
    const QByteArray dir = qgetenv("FF_RENDER_DUMP_DIR");
    if (!dir.isEmpty())
        BitmapAsQImage(b).save(QString::fromUtf8(dir + "/") + QString::fromStdString(name) +
                               ".png");
}

// Draws the object on a white page of 2 x 1.5 inches at the situation's resolution.
TBitmap Render(TCSObject& o, const TSituation& s, const std::string& name)
{
    const double d = Scale(s);
    TBitmap bmp(int(2 * d), int(1.5 * d), 0xFFFFFFFF);
    {
        TQtBitmapDevice dev(bmp, s.Dpi);
        o.Draw(dev, s.Params);
    }
    Dump(bmp, name + "-" + s.Name);
    return bmp;
}

TColor At(const TBitmap& b, double xIn, double yIn, double d)
{
    return ArgbToColor(b.Pixel(int(xIn * d), int(yIn * d)));
}

bool IsWhite(TColor c)
{
    return c == 0xFFFFFF;
}

// Dark pixels (text, not highlight) inside the inch rectangle.
int DarkIn(const TBitmap& b, double d, double l, double t, double r, double bt)
{
    int n = 0;
    for (int y = int(t * d); y < int(bt * d) && y < b.Height; ++y)
        for (int x = int(l * d); x < int(r * d) && x < b.Width; ++x)
            if (ArgbRed(b.Pixel(x, y)) < 100) ++n;
    return n;
}

// Ink (non-white pixels) inside the inch rectangle.
int InkIn(const TBitmap& b, double d, double l, double t, double r, double bt)
{
    int n = 0;
    for (int y = int(t * d); y < int(bt * d) && y < b.Height; ++y)
        for (int x = int(l * d); x < int(r * d) && x < b.Width; ++x)
            if (!IsWhite(ArgbToColor(b.Pixel(x, y)))) ++n;
    return n;
}

void SetBox(TCSObject& o, double x0, double y0, double x2, double y2)
{
    o.Points = {{x0, y0}, {x0, y2}, {x2, y2}, {x2, y0}};
}

std::unique_ptr<TMemoryStream> PngOf(int w, int h, QColor c)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    auto m = std::make_unique<TMemoryStream>();
    m->Assign(std::string_view(bytes.constData(), size_t(bytes.size())));
    return m;
}

class QtObjectRenderingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        InstallQtImageCodec();
        InstallQtGraphicsDevice();
        CS_DPI = 96;
        GraphicsQuality = 1;
        GraphicsColorMode = 0;
    }
};

TEST_F(QtObjectRenderingTest, BoxesAndLines)
{
    for (const TSituation* s : {&Design, &ShowFields, &Print}) {
        const double d = Scale(*s);
        TCSBox box;
        SetBox(box, 0.25, 0.25, 1.25, 1.0);
        box.FLineWidth = 2;
        box.FLineColor = 0x0000FF;
        box.FisFilled = true;
        box.FFillColor = 0x00FF00;
        const TBitmap b = Render(box, *s, "box");
        EXPECT_EQ(At(b, 0.25, 0.6, d), 0x0000FFu) << s->Name;
        EXPECT_EQ(At(b, 0.75, 0.6, d), 0x00FF00u) << s->Name;
        EXPECT_TRUE(IsWhite(At(b, 1.4, 0.6, d))) << s->Name;

        TCSOrthLine line;
        line.Points = {{0.2, 0.5}, {1.8, 0.6}};
        line.FLineWidth = 3;
        const TBitmap l = Render(line, *s, "orthline");
        EXPECT_EQ(At(l, 1.0, 0.5, d), 0u) << s->Name; // drawn horizontally at P0's height
        EXPECT_TRUE(IsWhite(At(l, 1.0, 0.58, d))) << s->Name;
    }
}

TEST_F(QtObjectRenderingTest, LabelsResizeToTheirTextInEveryResolution)
{
    TBitmap one(1, 1);
    TQtBitmapDevice dev(one, 96);
    for (const TSituation* s : {&Design, &Print}) {
        const double d = Scale(*s);
        TCSText t;
        SetBox(t, 0.25, 0.25, 0.3, 0.3);
        t.FText = "Strength";
        t.FFontName = "Verdana";
        t.FFontSize = 12;
        t.FFillColor = 0x800000;
        const TBitmap b = Render(t, *s, "label");
        // The size of 12-point text in Verdana's substitute, whatever the resolution.
        QFont f(QString::fromStdString(ResolveFontFamily(dev, "Verdana")));
        f.setPixelSize(16);
        const QFontMetricsF fm(f);
        const double w = t.Points[2].X - t.Points[0].X, h = t.Points[2].Y - t.Points[0].Y;
        EXPECT_NEAR(w, fm.horizontalAdvance("Strength") / 96, 1.5 / 96) << s->Name;
        EXPECT_NEAR(h, fm.lineSpacing() / 96, 1.5 / 96) << s->Name;
        EXPECT_EQ(t.Points[1], (TPointF{0.25, t.Points[2].Y}));
        // All ink lies within the measured box.
        const int all = InkIn(b, d, 0, 0, 2, 1.5);
        EXPECT_GT(all, 0);
        EXPECT_EQ(InkIn(b, d, 0.25, 0.25, 0.25 + w + 2 / d, 0.25 + h + 2 / d), all) << s->Name;

        const double before = t.Points[2].X;
        t.FFontBold = true;
        Render(t, *s, "label-bold");
        EXPECT_GT(t.Points[2].X, before);
        t.FText = "Str";
        Render(t, *s, "label-short");
        EXPECT_LT(t.Points[2].X, before);
    }
}

TEST_F(QtObjectRenderingTest, EditFieldsHighlightTheirBand)
{
    for (const TSituation* s : {&Design, &ShowFields, &Print}) {
        for (bool readOnly : {false, true}) {
            SCOPED_TRACE(std::string(s->Name) + (readOnly ? " read-only" : ""));
            const double d = Scale(*s);
            TCSEdit e;
            SetBox(e, 0.25, 0.25, 1.75, 1.25); // one inch high
            e.FSingleLine = true;
            e.FText = "Longsword";
            e.FFontSize = 12;
            e.FReadOnly = readOnly;
            e.FTextAlign = CS_ALIGN_RIGHT;
            const TBitmap b = Render(e, *s, readOnly ? "edit-readonly" : "edit");
            const bool lit = s == &Design || (s == &ShowFields && !readOnly);
            // One line: a band of (16 + 4) px at 96 DPI from the top, not the whole box.
            EXPECT_EQ(At(b, 0.3, 0.27, d), lit ? Highlight : 0xFFFFFFu);
            EXPECT_TRUE(IsWhite(At(b, 0.3, 0.6, d)));
            // Right-aligned text: dark ink in the right half only.
            EXPECT_GT(DarkIn(b, d, 1.0, 0.25, 1.76, 0.6), 20);
            EXPECT_EQ(DarkIn(b, d, 0.25, 0.25, 0.6, 0.6), 0);
        }
    }
}

TEST_F(QtObjectRenderingTest, CheckBoxesAreSquareWithACross)
{
    for (const TSituation* s : {&Design, &ShowFields, &Print}) {
        SCOPED_TRACE(s->Name);
        const double d = Scale(*s);
        TCSCheckBox cb;
        SetBox(cb, 0.25, 0.25, 1.25, 0.75); // 1 x 0.5 inch: drawn as a 0.5 inch square
        cb.FLineWidth = 1.5;
        cb.SetChecked(true);
        const TBitmap b = Render(cb, *s, "checkbox");
        const bool lit = s != &Print;
        EXPECT_EQ(At(b, 0.5, 0.5, d), 0u); // the cross meets in the middle of the square
        EXPECT_EQ(At(b, 0.6, 0.3, d), lit ? Highlight : 0xFFFFFFu);
        EXPECT_TRUE(IsWhite(At(b, 0.9, 0.5, d))); // nothing right of the square
        EXPECT_EQ(At(b, 0.25, 0.4, d), 0u);       // left side of the square
    }
}

TEST_F(QtObjectRenderingTest, ImagesFitStretchAndTurnGray)
{
    for (const TSituation* s : {&Design, &ShowFields, &Print}) {
        SCOPED_TRACE(s->Name);
        const double d = Scale(*s);
        TCSImage img;
        SetBox(img, 0.25, 0.25, 1.25, 1.25);
        img.Image = PngOf(200, 100, Qt::red);
        img.FImageScalingMode = CS_IMAGE_BESTFIT;
        TBitmap b = Render(img, *s, "image-bestfit");
        // 200 x 100 in a square: full width, half height, centred vertically.
        EXPECT_TRUE(IsWhite(At(b, 0.75, 0.4, d)));
        EXPECT_EQ(At(b, 0.75, 0.75, d), 0x0000FFu);
        EXPECT_TRUE(IsWhite(At(b, 0.75, 1.1, d)));

        img.FImageScalingMode = CS_IMAGE_STRETCH;
        img.FImageGrayscale = true;
        b = Render(img, *s, "image-stretch-gray");
        EXPECT_EQ(At(b, 0.75, 0.3, d), RGBColor(76, 76, 76));
        EXPECT_EQ(At(b, 0.75, 1.2, d), RGBColor(76, 76, 76));
        EXPECT_EQ(GraphicsColorMode, 0);
    }
}

TEST_F(QtObjectRenderingTest, ImageSelectFieldsPromptOrShowTheirImage)
{
    for (const TSituation* s : {&Design, &ShowFields, &Print}) {
        SCOPED_TRACE(s->Name);
        const double d = Scale(*s);
        TCSImageSelect is;
        SetBox(is, 0.25, 0.25, 1.75, 1.25);
        is.FLineWidth = 1.5;
        is.FFontSize = 10;
        TBitmap b = Render(is, *s, "imageselect-prompt");
        const bool lit = s != &Print;
        EXPECT_EQ(At(b, 1.5, 1.0, d), lit ? Highlight : 0xFFFFFFu);
        EXPECT_EQ(At(b, 0.25, 0.75, d), 0u);               // border
        EXPECT_GT(InkIn(b, d, 0.27, 0.27, 1.7, 0.45), 20); // prompt text at the top left

        is.Image = PngOf(100, 100, Qt::blue);
        b = Render(is, *s, "imageselect-image");
        EXPECT_EQ(At(b, 1.0, 0.75, d), 0xFF0000u); // the image, best fit in the middle
        EXPECT_EQ(At(b, 0.25, 0.75, d), 0u);
        EXPECT_EQ(DarkIn(b, d, 0.27, 0.27, 0.5, 0.45), 0); // no prompt over an image
    }
}

TEST_F(QtObjectRenderingTest, ButtonsShowFrameGradientAndState)
{
    for (const TSituation* s : {&Design, &Print}) {
        SCOPED_TRACE(s->Name);
        const double d = Scale(*s);
        for (int state : {CS_BUTTONSTATE_UP, CS_BUTTONSTATE_DOWN}) {
            TCSButton btn;
            SetBox(btn, 0.25, 0.25, 1.75, 1.25);
            btn.FText = "Roll";
            btn.FButtonState = state;
            const TBitmap b = Render(btn, *s, state ? "button-down" : "button-up");
            EXPECT_EQ(At(b, 0.25, 0.75, d), 0x707070u);
            const unsigned top = ColorRed(At(b, 0.4, 0.3, d));
            const unsigned bottom = ColorRed(At(b, 0.4, 1.2, d));
            if (state == CS_BUTTONSTATE_DOWN)
                EXPECT_LT(top, bottom);
            else
                EXPECT_GT(top, bottom);
            EXPECT_GT(InkIn(b, d, 0.8, 0.6, 1.2, 0.9), 20); // dark text in the middle
        }
    }
}

TEST_F(QtObjectRenderingTest, PageWithGridMarginAndHiddenObjects)
{
    TCharacterSheet sheet;
    sheet.Width = 2;
    sheet.Height = 1.5;
    sheet.GridSize = 0.25;
    sheet.MarginSize = 0.25;
    auto hidden = std::make_unique<TCSBox>();
    SetBox(*hidden, 0.6, 0.6, 1.4, 0.9);
    hidden->FisFilled = true;
    hidden->FFillColor = 0x00FF00;
    hidden->FVisible = false;
    sheet.Pages[0]->Objects.push_back(std::move(hidden));

    sheet.DesignMode = true;
    sheet.GridVisible = true;
    auto page = sheet.GetPageBitmap(0);
    ASSERT_NE(page, nullptr);
    Dump(*page, "page-design");
    ASSERT_EQ(page->Width, 192);
    ASSERT_EQ(page->Height, 144);
    const TColor grid = 0xFFC000;
    EXPECT_EQ(ArgbToColor(page->Pixel(48, 72)), grid); // mark at (0.5, 0.75)
    EXPECT_EQ(ArgbToColor(page->Pixel(49, 72)), grid);
    EXPECT_TRUE(IsWhite(ArgbToColor(page->Pixel(50, 72))));
    EXPECT_TRUE(IsWhite(ArgbToColor(page->Pixel(48, 73))));
    EXPECT_TRUE(IsWhite(ArgbToColor(page->Pixel(0, 72)))); // none on the left edge
    int frame = 0, gaps = 0;
    for (int x = 30; x < 160; ++x)
        (ArgbToColor(page->Pixel(x, 24)) == grid ? frame : gaps)++;
    EXPECT_GT(frame, 30); // dotted margin line at 0.25 inch
    EXPECT_GT(gaps, 30);
    EXPECT_EQ(ArgbToColor(page->Pixel(96, 72)), 0x00FF00u); // hidden box shown in design

    // As printed: no grid, no margin frame, no hidden object.
    sheet.DesignMode = false;
    sheet.GridVisible = false;
    sheet.PrintMode = true;
    page = sheet.GetPageBitmap(0);
    ASSERT_NE(page, nullptr);
    for (TArgb p : page->Pixels)
        ASSERT_EQ(p, 0xFFFFFFFFu);
}

} // namespace
} // namespace ff
