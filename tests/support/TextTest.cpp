#include "support/AssocArray.h"
#include "support/Text.h"

#include <gtest/gtest.h>

namespace ff {
namespace {

TEST(Cp1252, RoundTripsEveryByte)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(Cp1252, MapsTheHighBlockAndReplacesOthers)
{
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\u20AC");
    EXPECT_EQ(Cp1252ToUtf8("\xE9t\xE9"), "\u00E9t\u00E9");
    EXPECT_EQ(Utf8ToCp1252("\u2019"), "\x92");
    EXPECT_EQ(Utf8ToCp1252("a\u4E2Db\U0001F600c"), "a?b?c");
    EXPECT_EQ(Utf8ToCp1252("\xC3"), "?"); // truncated sequence
}

TEST(Utf16, LengthAndCodeUnitOrder)
{
    EXPECT_EQ(Utf16Length("abc"), 3u);
    EXPECT_EQ(Utf16Length("\u00E9\U0001F600"), 3u);
    EXPECT_LT(CompareCodeUnits("B", "a"), 0);
    EXPECT_LT(CompareCodeUnits("10", "9"), 0);
    EXPECT_EQ(CompareCodeUnits("abc", "abc"), 0);
    EXPECT_LT(CompareCodeUnits("ab", "abc"), 0);
    // A surrogate pair sorts below U+E000..U+FFFF by code unit, unlike by code point.
    EXPECT_LT(CompareCodeUnits("\U0001F600", "\uFF01"), 0);
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("x\U0001F600\u00E9")), "x\U0001F600\u00E9");
}

TEST(Names, CompareIgnoringCase)
{
    EXPECT_TRUE(SameText("Strength", "STRENGTH"));
    EXPECT_TRUE(SameText("\u00E9p\u00E9e", "\u00C9P\u00C9E"));
    EXPECT_TRUE(SameText("\u0434\u0430", "\u0414\u0410"));
    EXPECT_FALSE(SameText("Str", "Stre"));
    EXPECT_EQ(CompareTextIgnoreCase("abc", "ABD"), -1);
    EXPECT_EQ(UpperCase("mixed \u00E9"), "MIXED \u00C9");
    EXPECT_EQ(LowerCase("MIXED \u00C9"), "mixed \u00E9");
    EXPECT_EQ(UpperCase("max_Str1 [z]@`{"), "MAX_STR1 [Z]@`{");
    EXPECT_EQ(LowerCase("MAX_Str1 [Z]@`{"), "max_str1 [z]@`{");
}

TEST(Lines, SplitAndJoin)
{
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd\r\n"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n\r\nb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(SplitLines("").empty());
    EXPECT_EQ(JoinLinesCrLf({"x", "y"}), "x\r\ny\r\n");
    EXPECT_EQ(Trim("  \t x y \r\n"), "x y");
}

TEST(AssocArray, KeysIgnoreCaseAndKeepOrder)
{
    TAssocArray a;
    EXPECT_EQ(a.Add("Sword", "1d8"), 0);
    EXPECT_EQ(a.Add("Axe", "1d6"), 1);
    EXPECT_EQ(a.Add("SWORD", "2d6"), 0);
    EXPECT_EQ(a.Count(), 2);
    EXPECT_EQ(a[0].Key, "Sword");
    EXPECT_EQ(a[0].Value, "2d6");
    EXPECT_EQ(a.FindKey("axe"), 1);
    EXPECT_EQ(a.FindKey("bow"), -1);
    a.Delete("sword");
    EXPECT_EQ(a.Count(), 1);
    EXPECT_EQ(a[0].Key, "Axe");
    a.Delete("missing");
    EXPECT_EQ(a.Count(), 1);
}

} // namespace
} // namespace ff
