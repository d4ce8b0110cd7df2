// Byte encodings of the stream primitives, their bounds, and what short reads and oversized
// writes do.
#include "PersistTestUtil.h"

#include "persistence/AppFileStream.h"
#include "persistence/AppStreamWriter.h"

#include <gtest/gtest.h>

#include <functional>

namespace ff {
namespace {

using namespace test;

std::string Written(const std::function<void(TAppStreamWriter&)>& f)
{
    TMemoryStream ms;
    TAppStreamWriter w(ms);
    f(w);
    EXPECT_FALSE(w.Failed()) << w.FailReason();
    return ms.Bytes();
}

TEST(StreamPrimitives, WriteEncodings)
{
    struct Case
    {
        const char* Name;
        std::function<void(TAppStreamWriter&)> Write;
        std::string Bytes;
    };
    TGUID g{0x01020304, 0x0506, 0x0708, {9, 10, 11, 12, 13, 14, 15, 16}};
    const Case cases[] = {
        {"integer", [](auto& w) { w.WriteInteger(-2); }, "\xFE\xFF\xFF\xFF"},
        {"true is zero", [](auto& w) { w.WriteBoolean(true); }, std::string(4, '\0')},
        {"false is one", [](auto& w) { w.WriteBoolean(false); }, std::string("\x01\0\0\0", 4)},
        {"double", [](auto& w) { w.WriteDouble(1.0); }, std::string("\0\0\0\0\0\0\xF0\x3F", 8)},
        {"datetime", [](auto& w) { w.WriteDateTime(2.5); }, F64(2.5)},
        {"empty string", [](auto& w) { w.WriteString(""); }, std::string(4, '\0')},
        {"string in cp1252", [](auto& w) { w.WriteString("d\xC3\xA9j\xC3\xA0 \xE2\x82\xAC"); },
         Str("d\xE9j\xE0 \x80")},
        {"unmappable character", [](auto& w) { w.WriteString("\xE2\x98\x83"); }, Str("?")},
        {"fixed string cut", [](auto& w) { w.WriteFixedString("CSDX", 3); }, "CSD"},
        {"fixed string of 0", [](auto& w) { w.WriteFixedString("CSD", 0); }, ""},
        {"string list",
         [](auto& w) {
             w.WriteStringList({"a", "\xC3\xA9"});
         },
         Str("a\r\n\xE9\r\n")},
        {"guid", [g](auto& w) { w.WriteGUID(g); },
         "\x04\x03\x02\x01\x06\x05\x08\x07\x09\x0A\x0B\x0C\x0D\x0E\x0F\x10"},
        {"empty stream",
         [](auto& w) {
             TMemoryStream empty;
             w.WriteStream(empty);
         },
         std::string(4, '\0')},
        {"stream bytes unconverted",
         [](auto& w) {
             TMemoryStream img(std::string("\x89PNG\0\xC3", 6));
             img.Seek(0, soEnd);
             w.WriteStream(img);
         },
         Str(std::string("\x89PNG\0\xC3", 6))},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Written(c.Write), c.Bytes) << c.Name;
}

TEST(StreamPrimitives, ReadsBackWhatWasWritten)
{
    TMemoryStream ms;
    TAppStreamWriter w(ms);
    TGUID g{0xDEADBEEF, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    w.WriteInteger(-123456);
    w.WriteBoolean(true);
    w.WriteBoolean(false);
    w.WriteDouble(-0.1);
    w.WriteString("Gr\xC3\xBC\xC3\x9F"
                  "e");
    w.WriteStringList({"one", "", "three"});
    w.WriteGUID(g);
    ms.SetPosition(0);
    EXPECT_EQ(w.ReadInteger(), -123456);
    EXPECT_TRUE(w.ReadBoolean());
    EXPECT_FALSE(w.ReadBoolean());
    EXPECT_EQ(w.ReadDouble(), -0.1);
    EXPECT_EQ(w.ReadString(), "Gr\xC3\xBC\xC3\x9F"
                              "e");
    std::vector<std::string> list;
    w.ReadStringList(list);
    EXPECT_EQ(list, (std::vector<std::string>{"one", "", "three"}));
    EXPECT_EQ(w.ReadGUID(), g);
    EXPECT_FALSE(w.Failed());
    EXPECT_EQ(w.Remaining(), 0);
}

TEST(StreamPrimitives, BooleanReadsOnlyZeroAsTrue)
{
    TMemoryStream ms(I32(2) + I32(0) + I32(-1));
    TAppStreamWriter w(ms);
    EXPECT_FALSE(w.ReadBoolean());
    EXPECT_TRUE(w.ReadBoolean());
    EXPECT_FALSE(w.ReadBoolean());
}

TEST(StreamPrimitives, StringCountsOutsideTheBoundReadEmptyAndConsumeOnlyTheCount)
{
    for (std::int32_t n : {0, -5, CS_STRING_BOUND, CS_STRING_BOUND + 1}) {
        TMemoryStream ms(I32(n) + "abcd" + I32(77));
        TAppStreamWriter w(ms);
        EXPECT_EQ(w.ReadString(), "") << n;
        EXPECT_EQ(w.GetPosition(), 4) << n;
        EXPECT_FALSE(w.Failed()) << n;
    }
}

TEST(StreamPrimitives, LargestStringRoundTrips)
{
    std::string big(CS_STRING_BOUND - 1, 'x');
    big.back() = 'y';
    TMemoryStream ms;
    TAppStreamWriter w(ms);
    w.WriteString(big);
    ASSERT_FALSE(w.Failed());
    ms.SetPosition(0);
    EXPECT_EQ(w.ReadString(), big);
}

TEST(StreamPrimitives, WriterRefusesValuesTheReaderCannotReadBack)
{
    std::string huge(CS_STRING_BOUND, 'x');
    {
        TMemoryStream ms;
        TAppStreamWriter w(ms);
        w.WriteString(huge);
        EXPECT_TRUE(w.Failed());
        EXPECT_NE(w.FailReason().find("10000000 bytes"), std::string::npos) << w.FailReason();
        EXPECT_EQ(ms.Size(), 0);
        w.WriteInteger(5); // a failed writer writes nothing more
        EXPECT_EQ(ms.Size(), 0);
    }
    {
        TMemoryStream img(huge);
        TMemoryStream ms;
        TAppStreamWriter w(ms);
        w.WriteStream(img);
        EXPECT_TRUE(w.Failed());
        EXPECT_EQ(ms.Size(), 0);
    }
}

TEST(StreamPrimitives, ShortReadsYieldZeroAndMarkFailure)
{
    struct Case
    {
        const char* Name;
        std::string Bytes;
        std::function<bool(TAppStreamWriter&)> ReadGivesZero;
    };
    const Case cases[] = {
        {"integer", "\x01\x02", [](auto& w) { return w.ReadInteger() == 0; }},
        {"boolean of zeros", std::string(2, '\0'), [](auto& w) { return !w.ReadBoolean(); }},
        {"double", "1234567", [](auto& w) { return w.ReadDouble() == 0; }},
        {"string longer than data", I32(100) + "abc",
         [](auto& w) { return w.ReadString().empty(); }},
        {"fixed string", "CS", [](auto& w) { return w.ReadFixedString(3).empty(); }},
        {"guid", "12345678", [](auto& w) { return w.ReadGUID() == TGUID{}; }},
    };
    for (const auto& c : cases) {
        TMemoryStream ms(c.Bytes);
        TAppStreamWriter w(ms);
        EXPECT_TRUE(c.ReadGivesZero(w)) << c.Name;
        EXPECT_TRUE(w.Failed()) << c.Name;
        EXPECT_LE(w.GetPosition(), ms.Size()) << c.Name;
        EXPECT_EQ(w.ReadInteger(), 0) << c.Name; // and stays failed
    }
}

TEST(StreamPrimitives, EmbeddedStreams)
{
    TMemoryStream src(std::string("IMG\0DATA", 8));
    TMemoryStream ms;
    TAppStreamWriter w(ms);
    w.WriteStream(src);
    EXPECT_EQ(src.GetPosition(), 8); // left at its end
    ms.SetPosition(0);

    // Appended at the target's position; the target's position ends after the bytes.
    TMemoryStream target(std::string("pre"));
    target.Seek(0, soEnd);
    w.ReadToStream(target);
    EXPECT_EQ(target.Bytes(), std::string("preIMG\0DATA", 11));
    EXPECT_EQ(target.GetPosition(), 11);

    TMemoryStream none(std::string(4, '\0'));
    TAppStreamWriter r(none);
    TMemoryStream empty;
    r.ReadToStream(empty);
    EXPECT_EQ(empty.Size(), 0);
}

TEST(AppFileStream, AdditionalEncodingsAndBound)
{
    TTempDir dir;
    std::string sFile = dir.File("prims.bin");
    {
        TAppFileStream f(sFile, TFileMode::Write);
        ASSERT_TRUE(f.IsOpen());
        f.WriteInt64(-2);
        f.WriteByte(0xAB);
        f.WriteWord(0x1234);
        f.WriteLongWord(0x89ABCDEF);
        f.WriteSingle(1.5f);
        f.WriteWideString("a\xE2\x82\xAC");
        f.WriteNullTermString("abc", 8);
        f.WriteNullTermString("abcdef", 3);
        f.WriteLine("x\xC3\xA9");
        f.WriteBoolean(true);
    }
    std::string expected = std::string("\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 8) + "\xAB" +
                           "\x34\x12" + "\xEF\xCD\xAB\x89" + std::string("\0\0\xC0\x3F", 4) +
                           I32(2) + std::string("a\0\xAC\x20", 4) + std::string("abc\0    ", 8) +
                           std::string("abcdef\0", 7) + "x\xE9\r\n" + I32(0);
    EXPECT_EQ(ReadBytes(sFile), expected);

    TAppFileStream f(sFile, TFileMode::Read);
    EXPECT_EQ(f.ReadInt64(), -2);
    EXPECT_EQ(f.ReadByte(), 0xAB);
    EXPECT_EQ(f.ReadWord(), 0x1234);
    EXPECT_EQ(f.ReadLongWord(), 0x89ABCDEFu);
    EXPECT_EQ(f.ReadSingle(), 1.5f);
    EXPECT_EQ(f.ReadWideString(), "a\xE2\x82\xAC");
    EXPECT_EQ(f.ReadNullTermString(), "abc");
    EXPECT_FALSE(f.Failed());
}

TEST(AppFileStream, StringsBeyondTheWriterBoundStillRead)
{
    TTempDir dir;
    std::string sFile = dir.File("big.bin");
    std::string big(CS_STRING_BOUND, 'z');
    WriteBytes(sFile, Str(big));
    TAppFileStream f(sFile, TFileMode::Read);
    EXPECT_EQ(f.ReadString().size(), big.size());
    EXPECT_FALSE(f.Failed());
}

} // namespace
} // namespace ff
