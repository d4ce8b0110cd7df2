// Image files through the Qt codec: real PNG, JPEG, BMP, TIFF and GIF bytes encoded, measured,
// decoded, saved, resized and damaged.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "BitmapFakeCodec.h"
#include "rendering/Bitmaps.h"
#include "rendering/IntegerMatrix.h"
#include "rendering/KELDGraphics.h"
#include "rendering/QtImageCodec.h"
#include "support/Files.h"

namespace ff {
namespace {

namespace fs = std::filesystem;

// 6 x 4 with a distinct colour in every pixel.
TBitmap Pattern(bool bAlpha = false)
{
    TBitmap b(6, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            b.SetPixel(x, y, MakeArgb(255, x * 40, y * 60, 255 - x * 20 - y * 10));
    b.HasAlpha = bAlpha;
    return b;
}

std::string Encoded(const TBitmap& b, const std::string& sName)
{
    TMemoryStream m;
    EXPECT_TRUE(SaveBitmapToStream(b, m, sName)) << sName;
    return m.Bytes();
}

std::unique_ptr<TBitmap> DecodeFile(const std::string& sFile)
{
    auto bytes = ReadFileBytes(sFile);
    if (!bytes) return nullptr;
    auto b = std::make_unique<TBitmap>();
    if (!GetImageCodec()->Decode(*bytes, *b)) return nullptr;
    return b;
}

// A 2 x 1 GIF: a red and a blue pixel (palette of four, minimum code size 2).
const std::string SmallGif("GIF89a\x02\x00\x01\x00\x81\x00\x00"
                           "\xFF\x00\x00\x00\x00\xFF\x00\x00\x00\x00\x00\x00"
                           ",\x00\x00\x00\x00\x02\x00\x01\x00\x00"
                           "\x02\x02\x44\x0A\x00;",
                           42);

class QtBitmapCodecTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        InstallQtImageCodec();
        dir = fs::temp_directory_path() /
              ("ff_bitmaps_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Path(const std::string& sName) const { return (dir / sName).string(); }

    fs::path dir;
};

TEST_F(QtBitmapCodecTest, EncodesByExtensionAndReadsBack)
{
    const TBitmap b = Pattern();
    struct
    {
        const char* name;
        std::string magic;
        bool exact;
    } cases[] = {
        {"placeholder.png", "\x89PNG", true},
        {"a.bmp", "BM", true},
        {"a.gif", "BM", true}, // no GIF encoder is chosen: every other extension is BMP
        {"a.tif", "II*", true},
        {"a.jpeg", "\xFF\xD8\xFF", false},
    };
    for (const auto& c : cases) {
        const std::string bytes = Encoded(b, c.name);
        ASSERT_EQ(bytes.substr(0, c.magic.size()), c.magic) << c.name;
        TMemoryStream m(bytes);
        int w = 0, h = 0;
        GetBitmapSizeFromStream(m, w, h);
        EXPECT_EQ(w, 6) << c.name;
        EXPECT_EQ(h, 4) << c.name;
        auto back = LoadBitmapFromStream(m);
        ASSERT_TRUE(back) << c.name;
        EXPECT_FALSE(back->HasAlpha);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x) {
                const TArgb p = back->Pixel(x, y), q = b.Pixel(x, y);
                if (c.exact) {
                    ASSERT_EQ(p, q) << c.name << " " << x << "," << y;
                } else {
                    ASSERT_NEAR(int(ArgbRed(p)), int(ArgbRed(q)), 60) << c.name;
                    ASSERT_NEAR(int(ArgbBlue(p)), int(ArgbBlue(q)), 60) << c.name;
                }
            }
    }
    // Alpha survives PNG and is reported.
    TBitmap alpha = Pattern(true);
    alpha.SetPixel(0, 0, MakeArgb(100, 200, 0, 0));
    TBitmap back;
    ASSERT_TRUE(GetImageCodec()->Decode(Encoded(alpha, "x.png"), back));
    EXPECT_TRUE(back.HasAlpha);
    EXPECT_EQ(back.Pixel(0, 0), MakeArgb(100, 200, 0, 0));
}

TEST_F(QtBitmapCodecTest, DamagedAndHostileBytesGiveNothing)
{
    const std::string png = Encoded(Pattern(), "a.png");
    // A BMP header claiming 40000 x 40000 pixels with no pixel data behind it.
    std::string hugeBmp("BM\0\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0", 18);
    auto le32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            hugeBmp.push_back(char((v >> (8 * i)) & 0xFF));
    };
    le32(40000);
    le32(40000);
    hugeBmp += std::string("\x01\x00\x18\x00", 4) + std::string(24, '\0');
    std::mt19937 rng(7);
    std::string noise(3000, '\0');
    for (char& c : noise)
        c = char(rng());
    for (const std::string& bad : {std::string(), noise, hugeBmp, png.substr(0, 8),
                                   std::string("\x89PNG\r\n\x1a\n", 8) + noise}) {
        TMemoryStream m(bad);
        int w = -1, h = -1;
        GetBitmapSizeFromStream(m, w, h);
        EXPECT_EQ(w, 0);
        EXPECT_EQ(h, 0);
        TBitmap b;
        EXPECT_FALSE(GetImageCodec()->Decode(bad, b));
        EXPECT_TRUE(b.IsEmpty());
        EXPECT_FALSE(LoadBitmapFromStream(m));
        EXPECT_FALSE(SaveBitmapStream(m, Path("out.png")));
        EXPECT_FALSE(fs::exists(Path("out.png")));
    }

    // Corrupted bytes inside a real file: whatever the codec makes of it, no crash, and a
    // decoded image agrees with its size.
    std::string flipped = png;
    for (std::size_t i = 40; i < flipped.size(); i += 7)
        flipped[i] = char(~flipped[i]);
    TBitmap fb;
    if (GetImageCodec()->Decode(flipped, fb)) {
        EXPECT_EQ(fb.Pixels.size(), std::size_t(fb.Width) * fb.Height);
    }

    // Every truncation of a real file either decodes to its true size or to nothing.
    for (std::size_t n = 0; n < png.size(); ++n) {
        const std::string part = png.substr(0, n);
        int w = 0, h = 0;
        GetBitmapSizeFromBytes(part, w, h);
        ASSERT_TRUE((w == 0 && h == 0) || (w == 6 && h == 4)) << n;
        TBitmap t;
        if (GetImageCodec()->Decode(part, t)) {
            ASSERT_EQ(t.Width * t.Height, 24) << n;
        }
    }
}

TEST_F(QtBitmapCodecTest, StoredGifIsSavedAsPngWithTheSamePixels)
{
    TMemoryStream gif(SmallGif);
    int w = 0, h = 0;
    GetBitmapSizeFromStream(gif, w, h);
    ASSERT_EQ(w, 2);
    ASSERT_EQ(h, 1);
    ASSERT_TRUE(SaveBitmapStream(gif, Path("7.png")));
    EXPECT_EQ(gif.Bytes(), SmallGif); // the stored bytes are not changed
    const auto bytes = ReadFileBytes(Path("7.png"));
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->substr(0, 4), "\x89PNG");
    auto png = DecodeFile(Path("7.png"));
    ASSERT_TRUE(png);
    EXPECT_EQ(png->Pixel(0, 0) | 0xFF000000u, 0xFFFF0000u);
    EXPECT_EQ(png->Pixel(1, 0) | 0xFF000000u, 0xFF0000FFu);
}

TEST_F(QtBitmapCodecTest, FailedSavesLeaveExistingFilesAlone)
{
    const std::string target = Path("keep.png");
    std::string err;
    ASSERT_TRUE(WriteFileAtomically(target, "previous", err));
    TMemoryStream damaged("not an image at all");
    EXPECT_FALSE(SaveBitmapStream(damaged, target));
    EXPECT_FALSE(SaveBitmap(TBitmap(), target));
    EXPECT_EQ(*ReadFileBytes(target), "previous");
    EXPECT_FALSE(SaveBitmap(Pattern(), Path("missing/dir/x.png")));

    // A codec without the encoder the extension asks for writes nothing.
    test::TFakeImageCodec fake;
    fake.EncoderList = {{"image/png", "png", "PNG"}};
    {
        test::TCodecScope scope(&fake);
        EXPECT_FALSE(SaveBitmap(Pattern(), Path("x.bmp")));
        TMemoryStream out("old");
        EXPECT_FALSE(SaveBitmapToStream(Pattern(), out, "x.jpg"));
        EXPECT_EQ(out.Bytes(), "old");
    }
    EXPECT_FALSE(fs::exists(Path("x.bmp")));
    ASSERT_TRUE(SaveBitmap(Pattern(), target));
    auto back = DecodeFile(target);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Pixels, Pattern().Pixels);
}

TEST_F(QtBitmapCodecTest, MultiPageTiff)
{
    const std::string file = Path("pages.tiff");
    const TBitmap red(10, 10, 0xFFFF0000), blue(20, 5, 0xFF0000FF), green(3, 7, 0xFF00FF00);
    auto tiff = SaveTiffFirstPage(red, file);
    ASSERT_TRUE(tiff);
    auto bytes = ReadFileBytes(file);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(GetImageCodec()->FrameCount(*bytes), 1); // complete after the first page
    ASSERT_TRUE(SaveTiffAddPage(*tiff, blue));
    ASSERT_TRUE(SaveTiffAddPage(*tiff, green));
    ASSERT_TRUE(SaveTiffClose(*tiff));
    EXPECT_FALSE(SaveTiffAddPage(*tiff, red));

    bytes = ReadFileBytes(file);
    ASSERT_TRUE(bytes);
    ASSERT_EQ(GetImageCodec()->FrameCount(*bytes), 3);
    const TBitmap* pages[] = {&red, &blue, &green};
    for (int i = 0; i < 3; ++i) {
        TBitmap page;
        ASSERT_TRUE(GetImageCodec()->DecodeFrame(*bytes, i, page)) << i;
        EXPECT_EQ(page.Width, pages[i]->Width) << i;
        EXPECT_EQ(page.Height, pages[i]->Height) << i;
        EXPECT_EQ(page.Pixel(page.Width - 1, page.Height - 1), pages[i]->Pixel(0, 0)) << i;
    }
    TBitmap first;
    ASSERT_TRUE(GetImageCodec()->Decode(*bytes, first));
    EXPECT_EQ(first.Width, 10);

    // Only TIFF takes more than one page.
    auto png = SaveTiffFirstPage(red, Path("one.png"));
    ASSERT_TRUE(png);
    EXPECT_FALSE(SaveTiffAddPage(*png, blue));
    EXPECT_EQ(png->PageCount(), 1);
    EXPECT_FALSE(SaveTiffFirstPage(TBitmap(), Path("none.tif")));
}

TEST_F(QtBitmapCodecTest, ResizeKeepsTheAspectRatio)
{
    TBitmap src(200, 100, 0xFF204080);
    TMemoryStream in(Encoded(src, "a.png"));
    TMemoryStream out("something much longer than the result will ever be......");
    ASSERT_TRUE(ResizeBitmap(in, out, 50, ""));
    EXPECT_EQ(out.Bytes().substr(0, 4), "\x89PNG");
    int w = 0, h = 0;
    GetBitmapSizeFromStream(out, w, h);
    EXPECT_EQ(w, 50);
    EXPECT_EQ(h, 25);
    TBitmap back;
    ASSERT_TRUE(GetImageCodec()->Decode(out.Bytes(), back));
    EXPECT_EQ(back.Pixel(25, 12), 0xFF204080u);

    ASSERT_TRUE(ResizeBitmap(in, out, 33, "b.jpg"));
    EXPECT_EQ(out.Bytes().substr(0, 2), "\xFF\xD8");
    GetBitmapSizeFromStream(out, w, h);
    EXPECT_EQ(h, 16); // trunc(100 / 200 * 33)

    TMemoryStream damaged("xx");
    TMemoryStream untouched("old");
    EXPECT_FALSE(ResizeBitmap(damaged, untouched, 50, ""));
    EXPECT_FALSE(ResizeBitmap(in, untouched, 0, ""));
    EXPECT_EQ(untouched.Bytes(), "old");
}

TEST_F(QtBitmapCodecTest, LoadingFiles)
{
    TBitmap half(2, 1);
    half.SetPixel(0, 0, MakeArgb(128, 255, 0, 0));
    half.SetPixel(1, 0, MakeArgb(0, 0, 255, 0));
    ASSERT_TRUE(SaveBitmap(half, Path("half.png")));

    {
        // A stream that is not in memory is read whole and left where it was.
        TFileStream f(Path("half.png"), TFileMode::Read);
        ASSERT_TRUE(f.IsOpen());
        f.SetPosition(3);
        int w = 0, h = 0;
        GetBitmapSizeFromStream(f, w, h);
        EXPECT_EQ(w, 2);
        EXPECT_EQ(h, 1);
        EXPECT_EQ(f.GetPosition(), 3);
    }
    EXPECT_FALSE(LoadBitmap(Path("missing.png")));
    auto loaded = LoadBitmap(Path("half.png"));
    ASSERT_TRUE(loaded);
    EXPECT_FALSE(loaded->HasAlpha);
    EXPECT_EQ(loaded->Pixel(0, 0), MakeArgb(255, 128, 0, 0)); // over black
    EXPECT_EQ(loaded->Pixel(1, 0), MakeArgb(255, 0, 0, 0));

    TMemoryStream str("AB");
    ASSERT_TRUE(LoadBitmapToStream(Path("half.png"), str));
    EXPECT_EQ(str.Bytes(), "AB" + *ReadFileBytes(Path("half.png")));
    EXPECT_FALSE(LoadBitmapToStream(Path("missing.png"), str));
    EXPECT_EQ(str.Size(), 2 + std::int64_t(ReadFileBytes(Path("half.png"))->size()));

    TKELDGraphics g;
    auto pattern = g.LoadFillPattern(Path("half.png"));
    ASSERT_TRUE(pattern);
    EXPECT_EQ(g.FillPattern, pattern.get());
    EXPECT_EQ(pattern->Pixel(0, 0), MakeArgb(128, 255, 0, 0)); // a texture keeps its alpha
    EXPECT_FALSE(g.LoadFillPattern(Path("missing.png")));
    EXPECT_EQ(g.FillPattern, pattern.get());
}

TEST_F(QtBitmapCodecTest, MaskToPng)
{
    const TBitmap b = Pattern();
    TIntegerMatrix mask(6, 4);
    mask.Set(1, 1, 5);
    mask.Set(5, 3, -1);
    auto png = CreatePNGStreamFromBitmapMask(b, mask);
    ASSERT_TRUE(png);
    TBitmap back;
    ASSERT_TRUE(GetImageCodec()->Decode(png->Bytes(), back));
    ASSERT_EQ(back.Width, 6);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool on = (x == 1 && y == 1) || (x == 5 && y == 3);
            EXPECT_EQ(back.Pixel(x, y), on ? b.Pixel(x, y) : 0x00FFFFFFu) << x << "," << y;
        }
    // A smaller mask: cells beyond it count as unset.
    auto partial = CreatePNGStreamFromBitmapMask(b, TIntegerMatrix(2, 2));
    ASSERT_TRUE(partial);
    EXPECT_FALSE(CreatePNGStreamFromBitmapMask(TBitmap(), mask));
}

} // namespace
} // namespace ff
