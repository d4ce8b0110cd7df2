// Inserting and replacing images, with a small codec that reads the size from fake image bytes.
#include "ModelTestUtil.h"

#include "rendering/ImageCodec.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace ff {
namespace {

// "FAKE <w>x<h>" is an image of that size; anything else cannot be decoded.
class TFakeCodec : public TImageCodec
{
public:
    bool ReadSize(std::string_view bytes, int& w, int& h) override
    {
        std::string s(bytes);
        if (std::sscanf(s.c_str(), "FAKE %dx%d", &w, &h) == 2) return true;
        w = h = 0;
        return false;
    }
    bool Decode(std::string_view, TBitmap&) override { return false; }
    int FrameCount(std::string_view) override { return 0; }
    bool DecodeFrame(std::string_view, int, TBitmap&) override { return false; }
    const std::vector<TImageEncoderInfo>& Encoders() override { return FEncoders; }
    bool Encode(const TBitmap&, int, std::string&) override { return false; }

private:
    std::vector<TImageEncoderInfo> FEncoders;
};

class ImageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FSaved = GetImageCodec();
        SetImageCodec(&FCodec);
        CS_DPI = 96;
        FDir =
            std::filesystem::temp_directory_path() /
            ("ff_model_image_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(FDir);
    }
    void TearDown() override
    {
        SetImageCodec(FSaved);
        std::filesystem::remove_all(FDir);
    }
    std::string WriteFile(const std::string& sName, const std::string& sBytes)
    {
        std::string sFile = (FDir / sName).string(), sError;
        EXPECT_TRUE(WriteFileAtomically(sFile, sBytes, sError)) << sError;
        return sFile;
    }

    TFakeCodec FCodec;
    TImageCodec* FSaved = nullptr;
    std::filesystem::path FDir;
    TCharacterSheet sheet;
};

TEST_F(ImageTest, InsertImagePlacesItAtTheTopLeftAtItsNaturalSize)
{
    test::AddObject<TCSBox>(*sheet.Pages[0], "Below", 0, 0, 1, 1);
    TMemoryStream s(std::string("FAKE 192x48"));
    s.SetPosition(5); // the whole stream is taken, whatever its position
    TCSObject* o = sheet.InsertImage(s);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(sheet.Pages[0]->Objects.back().get(), o);
    EXPECT_EQ(o->FTypeID, CS_IMAGE);
    EXPECT_EQ(o->FImageScalingMode, CS_IMAGE_STRETCH);
    ASSERT_TRUE(o->Image);
    EXPECT_NE(o->Image.get(), &s);
    EXPECT_EQ(o->Image->Bytes(), "FAKE 192x48");
    EXPECT_EQ(o->Points, (std::vector<TPointF>{{0, 0}, {0, 0.5}, {2, 0.5}, {2, 0}}));

    CS_DPI = 192;
    TMemoryStream big(std::string("FAKE 192x48"));
    EXPECT_EQ(sheet.InsertImage(big)->Points[2], (TPointF{1, 0.25}));

    // Bytes that are no image give an object of no size.
    TMemoryStream junk(std::string("junk"));
    TCSObject* z = sheet.InsertImage(junk);
    ASSERT_NE(z, nullptr);
    EXPECT_EQ(z->BoundBox(), (TRectF{0, 0, 0, 0}));

    sheet.CurrentPage = 3;
    EXPECT_EQ(sheet.InsertImage(s), nullptr);
    EXPECT_EQ(sheet.Pages[0]->Objects.size(), 4u);
}

TEST_F(ImageTest, InsertImageFromAFile)
{
    const std::string sFile = WriteFile("face.img", "FAKE 96x96");
    TCSObject* o = sheet.InsertImage(sFile);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->Image->Bytes(), "FAKE 96x96");
    EXPECT_EQ(o->Points[2], (TPointF{1, 1}));
    EXPECT_EQ(sheet.InsertImage((FDir / "missing.img").string()), nullptr);
    sheet.CurrentPage = -1;
    EXPECT_EQ(sheet.InsertImage(sFile), nullptr);
    EXPECT_EQ(sheet.Pages[0]->Objects.size(), 1u);
}

TEST_F(ImageTest, SetImageReplacesTheImageWithACopy)
{
    TCSImageSelect sel;
    TMemoryStream s(std::string("FAKE 1x1"));
    sheet.SetImage(&sel, s);
    ASSERT_TRUE(sel.Image);
    EXPECT_EQ(sel.Image->Bytes(), "FAKE 1x1");
    s.Bytes() = "changed";
    EXPECT_EQ(sel.Image->Bytes(), "FAKE 1x1");

    sheet.SetImage(&sel, (FDir / "missing.img").string()); // no file: the image stays
    EXPECT_EQ(sel.Image->Bytes(), "FAKE 1x1");
    sheet.SetImage(&sel, WriteFile("b.img", "FAKE 2x2"));
    EXPECT_EQ(sel.Image->Bytes(), "FAKE 2x2");
    EXPECT_EQ(sel.Points.size(), 0u); // the geometry is not touched
    sheet.SetImage(nullptr, s);
    sheet.SetImage(nullptr, WriteFile("c.img", "FAKE 3x3"));
}

} // namespace
} // namespace ff
