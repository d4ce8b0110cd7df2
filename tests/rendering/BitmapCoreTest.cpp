// Image operations that need no platform: encoder choice, thumbnail placement, colour
// matrices, blur and resampling, TIFF page chaining, the decoded-image cache and the drawing
// conventions of stored images (through the recording device and a fake codec).
#include <gtest/gtest.h>

#include <cmath>

#include "BitmapFakeCodec.h"
#include "GraphicsSettingsScope.h"
#include "RecordingDevice.h"
#include "rendering/Bitmaps.h"
#include "rendering/ImageCache.h"
#include "rendering/KELDGraphics.h"

namespace ff {
namespace {

using test::TCodecScope;
using test::TFakeImageCodec;
using test::TRecord;
using test::TRecordingDevice;

TBitmap Filled(int w, int h, TArgb p, bool bAlpha = true)
{
    TBitmap b(w, h, p);
    b.HasAlpha = bAlpha;
    return b;
}

TEST(BitmapCoreTest, BitmapRefusesAbsurdSizes)
{
    EXPECT_EQ(TBitmap(3, 2, 7).Pixels.size(), 6u);
    for (auto [w, h] : {std::pair{0, 1}, {1, -1}, {100000, 100000}, {MaxBitmapPixels + 1, 1}}) {
        TBitmap b(static_cast<int>(w), static_cast<int>(h));
        EXPECT_TRUE(b.IsEmpty());
        EXPECT_TRUE(b.Pixels.empty());
    }
}

TEST(BitmapCoreTest, MimeTypeForFile)
{
    const std::pair<const char*, const char*> cases[] = {
        {"photo.Jpeg", "image/jpeg"},
        {"a.JPG", "image/jpeg"},
        {"scan.tif", "image/tiff"},
        {"x.TIFF", "image/tiff"},
        {"placeholder.png", "image/png"},
        {"picture.gif", "image/bmp"},
        {"noextension", "image/bmp"},
        {"dir.png/file", "image/bmp"},
        {"", "image/bmp"},
        {"archive.png.bak", "image/bmp"},
    };
    for (auto [name, mime] : cases)
        EXPECT_EQ(MimeTypeForFile(name), mime) << name;
}

TEST(BitmapCoreTest, FindImageEncoderTakesTheLastExactMatch)
{
    TFakeImageCodec codec;
    codec.EncoderList = {{"image/png", "png", "first"},
                         {"image/bmp", "bmp", "BMP"},
                         {"image/png", "png2", "second"}};
    {
        TCodecScope scope(&codec);
        TImageEncoderInfo info;
        EXPECT_EQ(FindImageEncoder("image/png", &info), 2);
        EXPECT_EQ(info.Description, "second");
        EXPECT_EQ(FindImageEncoder("image/bmp"), 1);
        EXPECT_EQ(FindImageEncoder("image/PNG"), -1);
        EXPECT_EQ(FindImageEncoder("image/gif"), -1);
    }
    TCodecScope none(nullptr);
    EXPECT_EQ(FindImageEncoder("image/png"), -1);
}

TEST(BitmapCoreTest, SizeFromStream)
{
    TFakeImageCodec codec;
    TCodecScope scope(&codec);
    TMemoryStream m(TFakeImageCodec::Make(TBitmap(7, 3)));
    m.SetPosition(5);
    int w = -1, h = -1;
    GetBitmapSizeFromStream(m, w, h);
    EXPECT_EQ(w, 7);
    EXPECT_EQ(h, 3);
    EXPECT_EQ(m.GetPosition(), 5); // left where it was

    for (std::string bad : {std::string(), std::string("not an image"), std::string("FAKE")}) {
        TMemoryStream b(bad);
        w = h = -1;
        GetBitmapSizeFromStream(b, w, h);
        EXPECT_EQ(w, 0);
        EXPECT_EQ(h, 0);
    }
    TCodecScope none(nullptr);
    GetBitmapSizeFromStream(m, w, h);
    EXPECT_EQ(w, 0);
}

TEST(BitmapCoreTest, ThumbnailPlacement)
{
    struct
    {
        int w, h, n;
        TRect expected;
    } cases[] = {
        {200, 100, 50, {0, 12, 50, 37}}, // wider: 50 x 25, top offset 12
        {100, 200, 50, {12, 0, 37, 50}}, // taller
        {20, 10, 50, {15, 20, 35, 30}},  // fits: own size, centred
        {50, 50, 50, {0, 0, 50, 50}},    // fits exactly
        {100, 100, 50, {0, 0, 50, 50}},  // square, too big: fills
        {300, 100, 50, {0, 16, 50, 33}}, // round(16.67) = 17 high
        {60, 40, 50, {0, 8, 50, 41}},    // round(33.33) = 33 high, (50 - 33) div 2 = 8
    };
    for (const auto& c : cases)
        EXPECT_EQ(ThumbnailRect(c.w, c.h, c.n), c.expected) << c.w << "x" << c.h;
}

TEST(BitmapCoreTest, ColorMatrixOnBitmapsMatchesThePerPixelRule)
{
    TBitmap b(256, 3);
    for (int x = 0; x < 256; ++x) {
        b.SetPixel(x, 0, MakeArgb(255, x, 0, 0));
        b.SetPixel(x, 1, MakeArgb(x, 255 - x, x, (x * 7) & 255));
        b.SetPixel(x, 2, MakeArgb(200, x, x, 255 - x));
    }
    for (const TColorMatrix& m : {TColorMatrix::Grayscale(), TColorMatrix::Sepia()}) {
        TBitmap t = b;
        ApplyColorMatrix(t, m);
        for (std::size_t i = 0; i < b.Pixels.size(); ++i)
            ASSERT_EQ(t.Pixels[i], m.Apply(b.Pixels[i])) << i;
    }
    TBitmap red = Filled(1, 1, MakeArgb(255, 255, 0, 0));
    ApplyColorMatrix(red, TColorMatrix::Grayscale());
    EXPECT_EQ(red.Pixels[0], MakeArgb(255, 76, 76, 76));
}

TEST(BitmapCoreTest, GaussianBlurKeepsTheBorderAndSpreadsInside)
{
    TBitmap b = Filled(9, 9, MakeArgb(255, 0, 0, 0));
    b.SetPixel(4, 4, MakeArgb(255, 255, 255, 255));
    b.SetPixel(0, 0, MakeArgb(255, 10, 20, 30));
    const TBitmap before = b;
    GaussianBlur(b, 2);
    for (int i = 0; i < 9; ++i)
        for (int j : {0, 1, 7, 8}) {
            EXPECT_EQ(b.Pixel(i, j), before.Pixel(i, j));
            EXPECT_EQ(b.Pixel(j, i), before.Pixel(j, i));
        }
    const unsigned centre = ArgbRed(b.Pixel(4, 4));
    EXPECT_LT(centre, 255u);
    EXPECT_GT(ArgbRed(b.Pixel(5, 4)), 0u);
    EXPECT_EQ(ArgbRed(b.Pixel(5, 4)), ArgbRed(b.Pixel(4, 3))); // symmetric
    EXPECT_GT(centre, ArgbRed(b.Pixel(5, 5)));

    TBitmap flat = Filled(12, 12, MakeArgb(255, 90, 120, 30));
    const TBitmap flatBefore = flat;
    GaussianBlur(flat, 3);
    EXPECT_EQ(flat.Pixels, flatBefore.Pixels);

    // Radius is clamped to 100: a 250-wide image still blurs with radius 1000.
    TBitmap big = Filled(250, 250, MakeArgb(255, 0, 0, 0));
    big.SetPixel(125, 125, MakeArgb(255, 255, 255, 255));
    GaussianBlur(big, 1000);
    EXPECT_LT(ArgbRed(big.Pixel(125, 125)), 255u);

    TBitmap untouched = before;
    GaussianBlur(untouched, 0);
    EXPECT_EQ(untouched.Pixels, before.Pixels);
}

TEST(BitmapCoreTest, BicubicResize)
{
    // A flat colour stays flat, at any scale.
    const TBitmap flat = Filled(10, 6, MakeArgb(255, 40, 80, 160));
    for (auto [w, h] : {std::pair{5, 3}, {23, 17}, {1, 1}}) {
        const TBitmap r = ResizeBicubic(flat, w, h);
        ASSERT_EQ(r.Width, w);
        ASSERT_EQ(r.Height, h);
        for (TArgb p : r.Pixels)
            ASSERT_EQ(p, flat.Pixels[0]);
    }
    // One-pixel stripes averaged away when halving.
    TBitmap stripes(16, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 16; ++x)
            stripes.SetPixel(x, y, x % 2 ? MakeArgb(255, 255, 255, 255) : MakeArgb(255, 0, 0, 0));
    const TBitmap half = ResizeBicubic(stripes, 8, 2);
    for (int x = 1; x < 7; ++x)
        EXPECT_NEAR(int(ArgbRed(half.Pixel(x, 1))), 128, 3) << x;
    // Transparent pixels lend no colour.
    TBitmap edge(4, 1);
    edge.SetPixel(0, 0, MakeArgb(255, 255, 0, 0));
    edge.SetPixel(1, 0, MakeArgb(255, 255, 0, 0));
    edge.SetPixel(2, 0, MakeArgb(0, 0, 0, 255));
    edge.SetPixel(3, 0, MakeArgb(0, 0, 0, 255));
    const TBitmap e = ResizeBicubic(edge, 2, 1);
    EXPECT_EQ(ArgbBlue(e.Pixel(0, 0)), 0u);
    EXPECT_GT(ArgbAlpha(e.Pixel(0, 0)), 200u);
}

// A tiny little-endian TIFF: one directory with a width, a strip offset and a text stored
// out of line, then 4 bytes of "pixel data".
std::string TinyTiff(const std::string& sPixels)
{
    std::string t;
    auto u16 = [&](unsigned v) {
        t.push_back(char(v & 0xFF));
        t.push_back(char(v >> 8));
    };
    auto u32 = [&](unsigned v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    auto entry = [&](unsigned tag, unsigned type, unsigned count, unsigned value) {
        u16(tag);
        u16(type);
        u32(count);
        u32(value);
    };
    t += "II";
    u16(42);
    u32(8);
    u16(3);
    entry(256, 3, 1, 1);
    entry(273, 4, 1, 58);
    entry(305, 2, 8, 50);
    u32(0);
    t += std::string("fakeimg\0", 8);
    t += sPixels;
    return t;
}

unsigned Le32(const std::string& s, std::size_t at)
{
    unsigned v = 0;
    for (int i = 0; i < 4; ++i)
        v |= unsigned(static_cast<unsigned char>(s[at + i])) << (8 * i);
    return v;
}

// The strip and the text of every page, following the directory chain.
void ReadPages(const std::string& out, std::vector<std::string>& strips,
               std::vector<std::string>& texts)
{
    for (unsigned ifd = Le32(out, 4); ifd != 0 && strips.size() < 10;) {
        const unsigned n = static_cast<unsigned char>(out[ifd]);
        if (n != 3) return;
        strips.push_back(out.substr(Le32(out, ifd + 2 + 12 + 8), 4));
        texts.push_back(out.substr(Le32(out, ifd + 2 + 24 + 8), 7));
        ifd = Le32(out, ifd + 2 + 36);
    }
}

TEST(BitmapCoreTest, CombineTiffFilesChainsAndRelocatesPages)
{
    std::string out;
    ASSERT_TRUE(CombineTiffFiles({TinyTiff("PIX1"), TinyTiff("PIX2"), TinyTiff("PIX3")}, out));
    std::vector<std::string> strips, texts;
    ReadPages(out, strips, texts);
    EXPECT_EQ(strips, (std::vector<std::string>{"PIX1", "PIX2", "PIX3"}));
    EXPECT_EQ(texts, std::vector<std::string>(3, "fakeimg"));

    // A multi-page file as a later part keeps its own chain, moved as a whole.
    std::string two, all;
    ASSERT_TRUE(CombineTiffFiles({TinyTiff("PIX2"), TinyTiff("PIX3")}, two));
    ASSERT_TRUE(CombineTiffFiles({TinyTiff("PIX1"), two}, all));
    strips.clear();
    texts.clear();
    ReadPages(all, strips, texts);
    EXPECT_EQ(strips, (std::vector<std::string>{"PIX1", "PIX2", "PIX3"}));

    std::string looping = TinyTiff("PIX1");
    looping[46] = 8; // next directory = itself
    std::string subIfd = TinyTiff("PIX1");
    subIfd[10] = char(330 & 0xFF);
    subIfd[11] = char(330 >> 8);
    std::string overlapping = TinyTiff("PIX1");
    overlapping[26] = 2; // two strip offsets, so stored out of line,
    overlapping[30] = 8; // on top of the directory itself
    std::string bigEndian = TinyTiff("PIX1");
    bigEndian[0] = bigEndian[1] = 'M';
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"II*\0"},
        {TinyTiff("PIX1").substr(0, 30)},
        {looping},
        {subIfd},
        {overlapping},
        {TinyTiff("PIX1"), bigEndian},
        {TinyTiff("PIX1"), "GIF89a........"},
    };
    for (std::size_t i = 0; i < bad.size(); ++i) {
        std::string o = "kept";
        EXPECT_FALSE(CombineTiffFiles(bad[i], o)) << i;
        EXPECT_EQ(o, "kept");
    }
}

TEST(BitmapCoreTest, CacheDecodesEachImageOnceAndMatchesBytesExactly)
{
    TFakeImageCodec codec;
    TCodecScope scope(&codec);
    TDecodedImageCache cache;
    const std::string a = TFakeImageCodec::Make(Filled(2, 2, MakeArgb(255, 1, 2, 3)));
    const std::string b = TFakeImageCodec::Make(Filled(2, 2, MakeArgb(255, 9, 9, 9)));
    auto ia = cache.Decoded(a);
    auto ia2 = cache.Decoded(std::string(a)); // equal bytes elsewhere in memory
    auto ib = cache.Decoded(b);               // same size, other content
    ASSERT_TRUE(ia && ib);
    EXPECT_EQ(ia, ia2);
    EXPECT_EQ(ia->Pixels[0], MakeArgb(255, 1, 2, 3));
    EXPECT_EQ(ib->Pixels[0], MakeArgb(255, 9, 9, 9));
    EXPECT_EQ(codec.Decodes, 2);

    EXPECT_EQ(cache.Decoded("garbage"), nullptr);
    EXPECT_EQ(cache.Decoded("garbage"), nullptr);
    EXPECT_EQ(codec.Decodes, 3); // failures are remembered too

    int w = 0, h = 0;
    EXPECT_TRUE(cache.CachedSize(a, w, h));
    EXPECT_EQ(w, 2);
    EXPECT_FALSE(cache.CachedSize(TFakeImageCodec::Make(TBitmap(5, 5)), w, h));

    // Another codec makes the old entries meaningless.
    TFakeImageCodec other;
    TCodecScope scope2(&other);
    cache.Decoded(a);
    EXPECT_EQ(other.Decodes, 1);
}

TEST(BitmapCoreTest, CacheStaysWithinItsBudget)
{
    TFakeImageCodec codec;
    TCodecScope scope(&codec);
    TDecodedImageCache cache(64 * 64 * 4 * 3, 8); // three 64 x 64 images
    std::vector<std::string> images;
    for (int i = 0; i < 5; ++i)
        images.push_back(TFakeImageCodec::Make(Filled(64, 64, MakeArgb(255, i, 0, 0))));
    for (const auto& s : images)
        ASSERT_TRUE(cache.Decoded(s));
    EXPECT_LE(cache.CostBytes(), std::size_t(64 * 64 * 4 * 3));
    EXPECT_LT(cache.Count(), 5u);
    const int before = codec.Decodes;
    cache.Decoded(images.back()); // most recent: kept
    EXPECT_EQ(codec.Decodes, before);
    cache.Decoded(images.front()); // oldest: evicted, decoded again
    EXPECT_EQ(codec.Decodes, before + 1);

    TDecodedImageCache tiny(100, 8); // smaller than any image: handed out, never kept
    EXPECT_TRUE(tiny.Decoded(images[0]));
    EXPECT_EQ(tiny.Count(), 0u);
}

TEST(BitmapCoreTest, CacheVariantsKeyOutTheTopLeftColourOnlyWithoutAlpha)
{
    TFakeImageCodec codec;
    TCodecScope scope(&codec);
    TDecodedImageCache cache;
    TBitmap opaque = Filled(3, 1, MakeArgb(255, 10, 20, 30), false);
    opaque.SetPixel(1, 0, MakeArgb(255, 255, 0, 0));
    TBitmap withAlpha = opaque;
    withAlpha.HasAlpha = true;

    auto keyed = cache.Variant(TFakeImageCodec::Make(opaque), TImageTint::None, true);
    ASSERT_TRUE(keyed);
    EXPECT_EQ(ArgbAlpha(keyed->Pixel(0, 0)), 0u);
    EXPECT_EQ(ArgbAlpha(keyed->Pixel(2, 0)), 0u);
    EXPECT_EQ(keyed->Pixel(1, 0), MakeArgb(255, 255, 0, 0));
    EXPECT_TRUE(keyed->HasAlpha);

    auto kept = cache.Variant(TFakeImageCodec::Make(withAlpha), TImageTint::None, true);
    EXPECT_EQ(kept->Pixel(0, 0), MakeArgb(255, 10, 20, 30));

    auto grey = cache.Variant(TFakeImageCodec::Make(opaque), TImageTint::Grayscale, true);
    EXPECT_EQ(ArgbAlpha(grey->Pixel(0, 0)), 0u);
    EXPECT_EQ(grey->Pixel(1, 0), MakeArgb(255, 76, 76, 76));
    // The plain image is unchanged by its variants.
    EXPECT_EQ(cache.Decoded(TFakeImageCodec::Make(opaque))->Pixel(0, 0), MakeArgb(255, 10, 20, 30));
    EXPECT_EQ(codec.Decodes, 2);
}

class BitmapDrawRulesTest : public ::testing::Test
{
protected:
    test::TGraphicsSettingsScope settings;
    std::vector<const TRecord*> Images() const
    {
        std::vector<const TRecord*> out;
        for (const TRecord& r : dev.Records)
            if (r.Kind == TRecord::TKind::Image) out.push_back(&r);
        return out;
    }

    TFakeImageCodec codec;
    TCodecScope scope{&codec};
    TRecordingDevice dev;
    TMemoryStream image{TFakeImageCodec::Make(TBitmap(200, 100, 0xFF00FF00))};
};

TRectF F(int l, int t, int r, int b)
{
    return {double(l), double(t), double(r), double(b)};
}

TEST_F(BitmapDrawRulesTest, SourceAndDestinationConventions)
{
    struct
    {
        TRect src, dest;
        bool drawn;
        TRectF expSrc, expDest;
    } cases[] = {
        {{0, 0, 200, 100}, {10, 10, 110, 60}, true, F(0, 0, 200, 100), F(10, 10, 110, 60)},
        {{-1, -1, -1, -1}, {-1, -1, -1, -1}, true, F(0, 0, 200, 100), F(0, 0, 200, 100)},
        {{-1, -1, -1, -1}, {5, 5, 25, 15}, true, F(0, 0, 200, 100), F(5, 5, 25, 15)},
        {{50, 0, 100, 100}, {-1, -1, -1, -1}, true, F(50, 0, 100, 100), F(0, 0, 200, 100)},
        {{0, 0, 200, 100}, {5, 5, 5, 50}, false, {}, {}},
        {{0, 0, 0, 0}, {5, 5, 50, 50}, false, {}, {}},
    };
    for (const auto& c : cases) {
        dev.Records.clear();
        TKELDGraphics g(dev);
        g.UseGP = true;
        g.DrawBitmapStreamGP(image, c.src, c.dest);
        const auto imgs = Images();
        ASSERT_EQ(imgs.size(), c.drawn ? 1u : 0u) << c.dest.Left << "," << c.dest.Right;
        if (!c.drawn) continue;
        EXPECT_EQ(imgs[0]->Src, c.expSrc);
        EXPECT_EQ(imgs[0]->Dest, c.expDest);
        EXPECT_FALSE(imgs[0]->ImageOptions.Smooth); // nearest neighbour
        EXPECT_DOUBLE_EQ(imgs[0]->ImageOptions.Opacity, 1.0);
    }
}

TEST_F(BitmapDrawRulesTest, RotationTurnsAboutTheDestinationCentreAndIsPutBack)
{
    TKELDGraphics g(dev);
    g.UseGP = true;
    g.Rotation = 90;
    g.Alpha = 51;
    g.DrawBitmapStream(image, {0, 0, 200, 100}, {10, 10, 111, 61});
    const auto imgs = Images();
    ASSERT_EQ(imgs.size(), 1u);
    // Centre (trunc(121 / 2), trunc(71 / 2)) = (60, 35).
    EXPECT_EQ(imgs[0]->Dest, F(-50, -25, 51, 26));
    const TDevMatrix expected = TDevMatrix::Rotation(-90).Then(TDevMatrix::Translation(60, 35));
    const TDevMatrix& m = imgs[0]->Transform;
    EXPECT_NEAR(m.M11, expected.M11, 1e-9);
    EXPECT_NEAR(m.M12, expected.M12, 1e-9);
    EXPECT_NEAR(m.Dx, 60, 1e-9);
    EXPECT_NEAR(m.Dy, 35, 1e-9);
    EXPECT_DOUBLE_EQ(imgs[0]->ImageOptions.Opacity, 51 / 255.0);
    EXPECT_TRUE(dev.Transform().IsIdentity());
}

TEST_F(BitmapDrawRulesTest, PathChoiceAndSoftFailures)
{
    const TRect part{50, 0, 100, 100};
    const TRect dest{0, 0, 40, 40};
    struct
    {
        bool useGP;
        int quality, mode;
        bool gp;
    } cases[] = {
        {false, 1, 0, false}, {true, 1, 0, true},  {false, 2, 0, true},
        {false, 0, 0, false}, {false, 1, 3, true}, {false, 1, 1, true},
    };
    for (const auto& c : cases) {
        dev.Records.clear();
        GraphicsQuality = c.quality;
        GraphicsColorMode = c.mode;
        TKELDGraphics g(dev);
        g.UseGP = c.useGP;
        g.DrawBitmapStream(image, part, dest);
        const auto imgs = Images();
        ASSERT_EQ(imgs.size(), 1u);
        // The alpha blend always takes the whole image.
        EXPECT_EQ(imgs[0]->Src, c.gp ? F(50, 0, 100, 100) : F(0, 0, 200, 100))
            << c.useGP << c.quality << c.mode;
    }

    dev.Records.clear();
    TMemoryStream damaged(image.Bytes().substr(0, 500));
    TKELDGraphics g(dev);
    g.UseGP = true;
    g.DrawBitmapStream(damaged, {-1, -1, -1, -1}, {-1, -1, -1, -1});
    g.Alpha = 0;
    g.DrawBitmapStream(image, {-1, -1, -1, -1}, {-1, -1, -1, -1});
    EXPECT_TRUE(Images().empty());

    TKELDGraphics noDevice;
    noDevice.DrawBitmapStreamGP(image, {-1, -1, -1, -1}, {-1, -1, -1, -1});
    EXPECT_EQ(noDevice.AlphaBlt(image, dest), 0);
}

TEST_F(BitmapDrawRulesTest, InMemoryBitmapAlwaysGetsTheMatrixAndTheBottomLeftKey)
{
    TBitmap b(4, 3, MakeArgb(255, 1, 1, 1));
    b.SetPixel(0, 2, MakeArgb(128, 0x12, 0x34, 0x56));
    GraphicsColorMode = 4;
    TKELDGraphics g(dev);
    g.ClearFill = true;
    g.DrawBitmap(b, {-1, -1, -1, -1}, {2, 2, 10, 8});
    g.ClearFill = false;
    GraphicsColorMode = 0;
    g.DrawBitmap(b, 7, 9);
    const auto imgs = Images();
    ASSERT_EQ(imgs.size(), 2u);
    EXPECT_EQ(imgs[0]->Src, F(0, 0, 4, 3));
    EXPECT_TRUE(imgs[0]->ImageOptions.UseColorKey);
    EXPECT_EQ(imgs[0]->ImageOptions.ColorKey, RGBColor(0x12, 0x34, 0x56));
    EXPECT_EQ(imgs[1]->Dest, F(7, 9, 11, 12));
    EXPECT_FALSE(imgs[1]->ImageOptions.UseColorKey);
}

} // namespace
} // namespace ff
