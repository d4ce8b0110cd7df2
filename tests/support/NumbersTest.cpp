#include "support/Numbers.h"

#include <gtest/gtest.h>

namespace ff {
namespace {

// Restores the user's decimal separator after a test that changes it.
struct SeparatorGuard
{
    explicit SeparatorGuard(char c) : FOld(DecimalSeparator) { DecimalSeparator = c; }
    ~SeparatorGuard() { DecimalSeparator = FOld; }
    char FOld;
};

TEST(NumberToText, GeneralFormWithFifteenDigits)
{
    struct Case
    {
        double d;
        const char* text;
    } cases[] = {
        {3.0, "3"},          {2.5, "2.5"},
        {1.0 / 3, "0.333333333333333"},
        {0.1 + 0.2, "0.3"},  {1e20, "1E20"},
        {1e15, "1E15"},      {1e-5, "1E-5"},
        {1.5e-7, "1.5E-7"},  {0.0001, "0.0001"},
        {999999999999999.0, "999999999999999"},
        {-42.125, "-42.125"}, {0.0, "0"},
        {-0.0, "0"},         {123456.789, "123456.789"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NumberToText(c.d), c.text) << c.d;
}

TEST(NumberToText, UsesTheUserSeparator)
{
    SeparatorGuard guard(',');
    EXPECT_EQ(NumberToText(2.5), "2,5");
    EXPECT_EQ(NumberToText(1.5e-7), "1,5E-7");
}

TEST(NumericText, AcceptsOnlyCompleteDecimals)
{
    for (const char* s : {"12", "-3.5", "1e5", "  7", "+4", "1.5E-3", ".5", "5."})
        EXPECT_TRUE(IsNumericText(s)) << s;
    for (const char* s : {"1,5", "12 ", "abc", "", "-", "1e", "e5", "1.2.3", "0x10", " "})
        EXPECT_FALSE(IsNumericText(s)) << s;
}

TEST(FloatText, FollowsTheUserSeparator)
{
    EXPECT_TRUE(IsFloatText("1.5"));
    EXPECT_FALSE(IsFloatText("1,5"));
    SeparatorGuard guard(',');
    EXPECT_TRUE(IsFloatText("1,5"));
    EXPECT_TRUE(IsFloatText("1.5"));
    EXPECT_FALSE(IsNumericText("1,5"));
    // Numeric texts with '.' still convert under a ',' locale.
    EXPECT_DOUBLE_EQ(TextToNumber("1.5"), 1.5);
    EXPECT_DOUBLE_EQ(TextToNumber("1,5"), 1.5);
}

TEST(IntegerText, DecimalAndHexadecimalForms)
{
    struct Case
    {
        const char* text;
        bool ok;
        std::int32_t value;
    } cases[] = {
        {"42", true, 42},          {"  -17", true, -17},       {"+5", true, 5},
        {"$1F", true, 31},         {"x10", true, 16},          {"0x10", true, 16},
        {"0XfF", true, 255},       {"2147483647", true, 2147483647},
        {"-2147483648", true, INT32_MIN},                      {"2147483648", false, 0},
        {"$FFFFFFFF", true, -1},   {"$100000000", false, 0},   {"", false, 0},
        {"12 ", false, 0},         {"1.0", false, 0},          {"$", false, 0},
        {"0x", false, 0},          {"abc", false, 0},
    };
    for (const auto& c : cases) {
        std::int32_t n = 0;
        EXPECT_EQ(TryTextToInteger(c.text, n), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(n, c.value) << c.text;
        }
        EXPECT_EQ(IsIntegerText(c.text), c.ok) << c.text;
    }
}

TEST(Rounding, HalvesGoToTheEvenNeighbour)
{
    struct Case
    {
        double d, r;
    } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4},
                 {2.4, 2}, {2.6, 3}, {-0.4, 0}, {1e300, 1e300}};
    for (const auto& c : cases)
        EXPECT_EQ(RoundHalfEven(c.d), c.r) << c.d;
    EXPECT_EQ(Trunc(-2.7), -2);
    EXPECT_EQ(Trunc(2.7), 2);
}

} // namespace
} // namespace ff
