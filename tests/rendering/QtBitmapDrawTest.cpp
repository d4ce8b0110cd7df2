// Stored images drawn onto the Qt bitmap device, checked on a handful of pixels: scaling,
// conventions, colour modes, colour key, alpha, rotation, the alpha-blend path, thumbnails.
#include <gtest/gtest.h>

#include "GraphicsSettingsScope.h"
#include "rendering/Bitmaps.h"
#include "rendering/ImageCache.h"
#include "rendering/KELDGraphics.h"
#include "rendering/QtGraphicsDevice.h"
#include "rendering/QtImageCodec.h"

namespace ff {
namespace {

constexpr TArgb White = 0xFFFFFFFF, Red = 0xFFFF0000, Blue = 0xFF0000FF, Green = 0xFF00FF00;
constexpr TRect Whole{-1, -1, -1, -1};

// 200 x 100: left half red, right half blue.
TBitmap RedBlue()
{
    TBitmap b(200, 100, Red);
    for (int y = 0; y < 100; ++y)
        for (int x = 100; x < 200; ++x)
            b.SetPixel(x, y, Blue);
    b.HasAlpha = false;
    return b;
}

std::string Png(const TBitmap& b)
{
    TMemoryStream m;
    EXPECT_TRUE(SaveBitmapToStream(b, m, "placeholder.png"));
    return m.Bytes();
}

// A base, so the adapters are in place before the fixture's members encode their images.
struct QtAdapters
{
    QtAdapters()
    {
        InstallQtImageCodec();
        InstallQtGraphicsDevice();
    }
};

class QtBitmapDrawTest : public ::testing::Test, private QtAdapters
{
protected:
    test::TGraphicsSettingsScope settings;

    // Draws onto a fresh white 220 x 120 page; the page holds the pixels afterwards.
    template <class F> void Draw(F&& fn, int w = 220, int h = 120)
    {
        page = TBitmap(w, h, White);
        auto dev = CreateBitmapDevice(page, 96);
        ASSERT_TRUE(dev);
        TKELDGraphics g(dev.get());
        fn(g);
    }

    TBitmap page;
    TMemoryStream redBlue{Png(RedBlue())};
};

TEST_F(QtBitmapDrawTest, HalfSizeIntoTheDestination)
{
    Draw([&](TKELDGraphics& g) {
        g.UseGP = true;
        g.DrawBitmapStreamGP(redBlue, {0, 0, 200, 100}, {10, 10, 110, 60});
    });
    EXPECT_EQ(page.Pixel(10, 10), Red);
    EXPECT_EQ(page.Pixel(59, 59), Red);
    EXPECT_EQ(page.Pixel(60, 10), Blue);
    EXPECT_EQ(page.Pixel(109, 59), Blue);
    for (auto [x, y] : {std::pair{9, 30}, {110, 30}, {60, 9}, {60, 60}})
        EXPECT_EQ(page.Pixel(x, y), White) << x << "," << y;
}

TEST_F(QtBitmapDrawTest, OwnSizeAtTheOriginAndNearestNeighbour)
{
    Draw([&](TKELDGraphics& g) {
        g.UseGP = true;
        g.DrawBitmapStream(redBlue, Whole, Whole);
    });
    EXPECT_EQ(page.Pixel(0, 0), Red);
    EXPECT_EQ(page.Pixel(99, 99), Red);
    EXPECT_EQ(page.Pixel(100, 0), Blue);
    EXPECT_EQ(page.Pixel(199, 99), Blue);
    EXPECT_EQ(page.Pixel(200, 50), White);
    EXPECT_EQ(page.Pixel(50, 100), White);

    // Two pixels blown up to 100 wide: hard edge, no blend.
    TBitmap two(2, 1, 0xFF000000);
    two.SetPixel(1, 0, White);
    TMemoryStream m(Png(two));
    Draw([&](TKELDGraphics& g) {
        g.UseGP = true;
        g.DrawBitmapStream(m, {0, 0, 2, 1}, {0, 0, 100, 10});
    });
    for (int x = 0; x < 100; ++x)
        ASSERT_EQ(page.Pixel(x, 5), x < 50 ? 0xFF000000u : White) << x;
}

TEST_F(QtBitmapDrawTest, ColourModes)
{
    TMemoryStream red(Png(TBitmap(10, 10, Red)));
    TMemoryStream white(Png(TBitmap(10, 10, White)));
    struct
    {
        int mode;
        TMemoryStream* image;
        TArgb expected;
    } cases[] = {
        {3, &red, MakeArgb(255, 76, 76, 76)},      // 0.299 x 255
        {2, &red, MakeArgb(255, 76, 76, 76)},      // grayscale matrix as well
        {4, &white, MakeArgb(255, 255, 255, 239)}, // sepia, clamped
        {1, &red, Red},                            // images are not blackened
        {0, &red, Red},
    };
    for (const auto& c : cases) {
        GraphicsColorMode = c.mode;
        Draw([&](TKELDGraphics& g) { g.DrawBitmapStream(*c.image, Whole, {0, 0, 10, 10}); });
        EXPECT_EQ(page.Pixel(5, 5), c.expected) << "mode " << c.mode;
    }
}

TEST_F(QtBitmapDrawTest, ColourKeyAndAlpha)
{
    // Opaque image whose top-left colour (green) also frames a red centre.
    TBitmap framed(10, 10, Green);
    for (int y = 3; y < 7; ++y)
        for (int x = 3; x < 7; ++x)
            framed.SetPixel(x, y, Red);
    framed.HasAlpha = false;
    TMemoryStream opaque(Png(framed));
    framed.HasAlpha = true;
    TMemoryStream withAlpha(Png(framed));

    Draw([&](TKELDGraphics& g) {
        g.UseGP = true;
        g.ClearFill = true;
        g.DrawBitmapStream(opaque, Whole, {0, 0, 10, 10});
        g.DrawBitmapStream(withAlpha, Whole, {20, 0, 30, 10});
        g.ClearFill = false;
        g.Alpha = 128;
        g.DrawBitmapStream(opaque, Whole, {40, 0, 50, 10});
    });
    EXPECT_EQ(page.Pixel(0, 0), White); // keyed out
    EXPECT_EQ(page.Pixel(5, 5), Red);
    EXPECT_EQ(page.Pixel(20, 0), Green); // an image with alpha keeps its colours
    const TArgb half = page.Pixel(45, 5);
    EXPECT_EQ(ArgbRed(half), 255u);
    EXPECT_NEAR(int(ArgbGreen(half)), 127, 2);
    EXPECT_NEAR(int(ArgbBlue(half)), 127, 2);
}

TEST_F(QtBitmapDrawTest, RotationTurnsAboutTheCentre)
{
    Draw([&](TKELDGraphics& g) {
        g.UseGP = true;
        g.Rotation = 180;
        g.DrawBitmapStream(redBlue, {0, 0, 200, 100}, {10, 10, 110, 60});
        g.Rotation = 0;
        g.DrawBitmapStream(redBlue, {0, 0, 200, 100}, {150, 100, 170, 110}); // rotation undone
    });
    EXPECT_EQ(page.Pixel(15, 30), Blue);
    EXPECT_EQ(page.Pixel(105, 30), Red);
    EXPECT_EQ(page.Pixel(151, 105), Red);
    EXPECT_EQ(page.Pixel(169, 105), Blue);

    // 90 degrees: counter-clockwise on the page, so the left (red) half ends at the bottom.
    Draw([&](TKELDGraphics& g) {
        g.UseGP = true;
        g.Rotation = 90;
        g.DrawBitmapStream(redBlue, {0, 0, 200, 100}, {10, 10, 110, 60});
    });
    EXPECT_EQ(page.Pixel(60, 75), Red);
    EXPECT_EQ(page.Pixel(60, 0), Blue);
    EXPECT_EQ(page.Pixel(15, 35), White);
}

TEST_F(QtBitmapDrawTest, AlphaBlendPathStretchesTheWholeImage)
{
    double ms = -1;
    Draw([&](TKELDGraphics& g) {
        g.DrawBitmapStream(redBlue, {100, 0, 200, 100}, {0, 0, 20, 10}); // source ignored
        ms = g.AlphaBlt(redBlue, {30, 0, 50, 10});
    });
    EXPECT_GE(ms, 0);
    EXPECT_EQ(page.Pixel(2, 5), Red);
    EXPECT_EQ(page.Pixel(17, 5), Blue);
    EXPECT_EQ(page.Pixel(32, 5), Red);
    EXPECT_EQ(page.Pixel(47, 5), Blue);
}

TEST_F(QtBitmapDrawTest, InMemoryBitmapWithBottomLeftKey)
{
    TBitmap b(4, 4, Red);
    b.SetPixel(0, 3, Blue);
    b.SetPixel(3, 0, Blue);
    Draw([&](TKELDGraphics& g) {
        g.ClearFill = true;
        g.DrawBitmap(b, Whole, {0, 0, 40, 40});
        g.ClearFill = false;
        g.DrawBitmap(b, 50, 50);
    });
    EXPECT_EQ(page.Pixel(2, 38), White);
    EXPECT_EQ(page.Pixel(38, 2), White);
    EXPECT_EQ(page.Pixel(20, 20), Red);
    EXPECT_EQ(page.Pixel(50, 53), Blue);
    EXPECT_EQ(page.Pixel(51, 51), Red);
    EXPECT_EQ(page.Pixel(54, 51), White);
}

TEST_F(QtBitmapDrawTest, Thumbnails)
{
    auto thumb = CreateThumbnailFromStream(redBlue, 50, false);
    ASSERT_TRUE(thumb);
    ASSERT_EQ(thumb->Width, 50);
    ASSERT_EQ(thumb->Height, 50);
    EXPECT_EQ(ArgbAlpha(thumb->Pixel(25, 11)), 0u);
    EXPECT_EQ(thumb->Pixel(10, 12), Red);
    EXPECT_EQ(thumb->Pixel(40, 36), Blue);
    EXPECT_EQ(ArgbAlpha(thumb->Pixel(25, 37)), 0u);

    // Transparent: the top-left colour is keyed out.
    auto keyed = CreateThumbnailFromStream(redBlue, 50, true);
    ASSERT_TRUE(keyed);
    EXPECT_EQ(ArgbAlpha(keyed->Pixel(10, 20)), 0u);
    EXPECT_EQ(keyed->Pixel(40, 20), Blue);

    TMemoryStream small(Png(TBitmap(20, 10, Green)));
    auto fits = CreateThumbnailFromStream(small, 50, false);
    ASSERT_TRUE(fits);
    EXPECT_EQ(fits->Pixel(15, 20), Green);
    EXPECT_EQ(fits->Pixel(34, 29), Green);
    EXPECT_EQ(ArgbAlpha(fits->Pixel(14, 20)), 0u);

    TMemoryStream damaged("junk");
    EXPECT_FALSE(CreateThumbnailFromStream(damaged, 50, false));
    EXPECT_FALSE(CreateThumbnailFromStream(redBlue, 0, false));
}

TEST_F(QtBitmapDrawTest, RedrawsDecodeOnce)
{
    TBitmap distinct(30, 30, 0xFF123456);
    TMemoryStream m(Png(distinct));
    const std::size_t before = ImageCache().DecodeCount();
    for (int i = 0; i < 5; ++i) {
        Draw([&](TKELDGraphics& g) {
            int w = 0, h = 0;
            GetBitmapSizeFromStream(m, w, h);
            g.UseGP = true;
            g.DrawBitmapStream(m, {0, 0, w, h}, {0, 0, 60, 60});
        });
        ASSERT_EQ(page.Pixel(59, 59), 0xFF123456u);
    }
    EXPECT_EQ(ImageCache().DecodeCount(), before + 1);
}

} // namespace
} // namespace ff
