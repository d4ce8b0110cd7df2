#include "ExprTestUtil.h"
#include "expression/Arithmetic.h"
#include "expression/BuiltinFunctions.h"

#include <gtest/gtest.h>

#include <cmath>

namespace ff::test {
namespace {

TEST(BuiltinFunctionsTest, ResultsOfEveryFunction)
{
    const std::pair<const char*, const char*> cases[] = {
        {"max(3)", "n:3"},
        {"MAX(3, 9, 4)", "n:9"},
        {"max('x', -1)", "n:0"}, // a non-numeric text counts as 0
        {"max('12', 3, true)", "n:12"},
        {"min(3, -9, 4)", "n:-9"},
        {"min(2, 'x')", "n:0"},
        {"sqrt(16)", "n:4"},
        {"sqrt('2.25')", "n:1.5"},
        {"abs(-2.5)", "n:2.5"},
        {"abs(3)", "n:3"},
        {"round(2.5)", "n:2"},
        {"round(3.5)", "n:4"},
        {"round(-2.5)", "n:-2"},
        {"round(-3.5)", "n:-4"},
        {"round(2.4999)", "n:2"},
        {"round(2.675, 2)", "n:2.67"}, // the stored 2.675 lies below it
        {"round(1.005, 2)", "n:1"},    // likewise below 1.005
        {"round(2.665, 2)", "n:2.67"}, // the stored 2.665 lies above it
        {"round(1.25, 1)", "n:1.2"},   // exact halves go to the even neighbour
        {"round(1.35, 1)", "n:1.4"},
        {"round(-2.675, 2)", "n:-2.67"},
        {"round(0.125, 2)", "n:0.12"},
        {"round(0.375, 2)", "n:0.38"},
        {"round(1234, -2)", "n:1200"},
        {"round(1250, -2)", "n:1200"},
        {"round(1350, -2)", "n:1400"},
        {"round(1251, -2)", "n:1300"},
        {"round(-1250, -2)", "n:-1200"},
        {"round(3.14159, 2.5)", "n:3.14"}, // the digit count itself rounds half to even
        {"round(3.14159, 3.5)", "n:3.1416"},
        {"round(1e300, 20)", "n:1E300"},
        {"round(1e300, -20)", "n:1E300"},
        {"round(123.456, 20)", "n:123.456"},
        {"round(5, -20)", "n:0"},
        {"floor(2.7)", "n:2"},
        {"floor(-2.1)", "n:-3"},
        {"floor(-2147483648)", "n:-2147483648"},
        {"ceil(2.1)", "n:3"},
        {"ceil(-0.5)", "n:0"},
        {"ceil(2147483647)", "n:2147483647"},
        {"sign(-4)", "n:-1"},
        {"sign(0)", "n:0"},
        {"sign(0.001)", "n:1"},
        {"if(1, 2, 3)", "n:2"},
        {"if(0, 2, 3)", "n:3"},
        {"if('no', 2, 3)", "n:2"}, // a non-empty text is true
        {"if('', 2, 3)", "n:3"},
        {"if(1, 'a', 2)", "t:a"},
        {"if(0, 'a', true)", "b:true"},
        {"length(12.5)", "n:4"},
        {"length('')", "n:0"},
        {"length(true)", "n:4"},
        {"length('\xE2\x82\xAC\xF0\x9F\x98\x80')", "n:3"}, // euro sign and an emoji: 1 + 2 units
        {"trim('  a b \t')", "t:a b"},
        {"trim(5)", "t:5"},
        {"substr('abcdef', 2, 3)", "t:bcd"},
        {"substr('abcdef', 2)", "t:bcdef"},
        {"substr('abcdef', 0, 2)", "t:ab"},
        {"substr('abcdef', -5, 2)", "t:ab"},
        {"substr('abcdef', 7, 1)", "t:"},
        {"substr('abcdef', 6, 1)", "t:f"},
        {"substr('abcdef', 3, -1)", "t:"},
        {"substr('abcdef', 3, 0)", "t:"},
        {"substr('abcdef', 4, 100)", "t:def"},
        {"substr('abcdef', 2.5, 1.5)", "t:bc"}, // 2.5 -> 2, 1.5 -> 2
        {"substr('abcdef', 1e300, 1)", "t:"},
        {"substr('abcdef', 2, 1e300)", "t:bcdef"},
        {"substr(12345, 2, 2)", "t:23"},
        {"substr('a\xF0\x9F\x98\x80"
         "b', 2, 2)",
         "t:\xF0\x9F\x98\x80"},
        {"substr('\xC3\xA9t\xC3\xA9', 2)", "t:t\xC3\xA9"},
    };
    TKELDExpression ex;
    for (bool bNumeric : {true, false}) {
        ex.UseNumericFastPath = bNumeric;
        for (const auto& [sSource, sExpected] : cases)
            EXPECT_EQ(Eval(ex, sSource), sExpected)
                << sSource << (bNumeric ? "" : " (tokens only)");
    }
}

TEST(RoundToDecimalsTest, JudgesTheExactStoredValue)
{
    // 2.675 * 100 evaluates to exactly 267.5 in doubles; the stored 2.675 is below 2.675.
    ASSERT_EQ(2.675 * 100, 267.5);
    EXPECT_EQ(RoundToDecimals(2.675, 2), 2.67);
    EXPECT_EQ(RoundToDecimals(2.5, 0), 2);
    EXPECT_EQ(RoundToDecimals(0.5, 0), 0);
    EXPECT_EQ(RoundToDecimals(1.5, 0), 2);
    EXPECT_EQ(RoundToDecimals(123456.785, 2), 123456.79); // stored above; product a tie
    EXPECT_EQ(RoundToDecimals(1.115, 2), 1.11);           // stored below; product a tie
    EXPECT_EQ(RoundToDecimals(8.345, 2), 8.35);           // stored above .345
    EXPECT_EQ(RoundToDecimals(4503599627370497.0, 1), 4503599627370497.0);
}

// The evaluators round to whole numbers without a library call; every result, down to the sign
// of a zero, must be that of RoundHalfEven.
TEST(RoundToDecimalsTest, WholeNumberRoundingMatchesRoundHalfEven)
{
    const double kTwo52 = 4503599627370496.0;
    const double values[] = {0.0,
                             -0.0,
                             0.5,
                             -0.5,
                             1.5,
                             -1.5,
                             2.5,
                             -2.5,
                             0.49999999999999994,
                             -0.49999999999999994,
                             0.3,
                             -0.3,
                             123456.5,
                             -7.5,
                             1e-320,
                             -1e-320,
                             kTwo52 - 0.5,
                             -(kTwo52 - 0.5),
                             kTwo52 - 1.5,
                             kTwo52,
                             kTwo52 + 1,
                             2 * kTwo52 + 2,
                             1e300,
                             -1e300,
                             HUGE_VAL,
                             -HUGE_VAL};
    for (double v : values) {
        const double r = RoundWholeHalfEven(v), expected = RoundHalfEven(v);
        EXPECT_EQ(r, expected) << v;
        EXPECT_EQ(std::signbit(r), std::signbit(expected)) << v;
    }
    EXPECT_TRUE(std::isnan(RoundWholeHalfEven(std::nan(""))));
}

TEST(FunctionRegistryTest, BuiltinsTakeTheFirstTwelveIndexes)
{
    TKELDExpression ex;
    const char* names[] = {"max",  "min",  "sqrt", "abs",    "round", "floor",
                           "ceil", "sign", "if",   "length", "trim",  "substr"};
    ASSERT_EQ(ex.FunctionList().size(), 12u);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(ex.FunctionList()[static_cast<size_t>(i)].Name, names[i]);
        EXPECT_EQ(ex.FindFunction(names[i]), i);
    }
    EXPECT_EQ(ex.FindFunction("SUBSTR"), 11);
    EXPECT_EQ(ex.FindFunction("lookup"), -1);
    EXPECT_EQ(ex.FunctionList()[4].MinParams, 1);
    EXPECT_EQ(ex.FunctionList()[4].MaxParams, 2);
    EXPECT_EQ(ex.FunctionList()[0].MaxParams, 0);
}

// A stand-in for a sheet's data stores: the function reaches them through its user data.
struct TStores
{
    std::string Answer = "Longsword";
    std::vector<std::string> Calls;
};

bool Lookup(TToken& ans, const TTokenStack& p, std::string&, void* pUserData)
{
    auto* stores = static_cast<TStores*>(pUserData);
    stores->Calls.push_back(p[0]->AsText() + "/" + p[1]->AsText() + "/" + p[2]->AsText());
    ans.SetTextVal(stores->Answer);
    return true;
}

TEST(FunctionRegistryTest, LookupRegisteredBySheetObjects)
{
    TKELDExpression ex;
    TStores stores;
    ex.AddFunction("Lookup", Lookup, 3, 3, &stores);
    EXPECT_EQ(ex.FindFunction("lookup"), 12);
    EXPECT_EQ(ex.FunctionList()[12].Name, "lookup");
    EXPECT_EQ(Eval(ex, "LOOKUP('weapons', 2, 'name') + '!'"), "t:Longsword!");
    EXPECT_EQ(stores.Calls, std::vector<std::string>{"weapons/2/name"});
    ex.SetExpression("lookup('weapons', 2)");
    EXPECT_FALSE(ex.Compile());
    EXPECT_EQ(ex.ErrorMsg, "too few parameters for function lookup");
}

bool First(TToken& ans, const TTokenStack&, std::string&, void*)
{
    ans.SetTextVal("first");
    return true;
}
bool Second(TToken& ans, const TTokenStack&, std::string&, void*)
{
    ans.SetTextVal("second");
    return true;
}

TEST(FunctionRegistryTest, FirstRecordOfANameWins)
{
    TKELDExpression ex;
    ex.AddFunction("f", First, 0, 0);
    ex.AddFunction("F", Second, 0, 0);
    ex.AddFunction("max", Second, 0, 0); // cannot replace a built-in either
    EXPECT_EQ(ex.FindFunction("f"), 12);
    EXPECT_EQ(Eval(ex, "f()"), "t:first");
    EXPECT_EQ(Eval(ex, "max(4, 5)"), "n:5");
}

bool Fails(TToken&, const TTokenStack& p, std::string& sError, void*)
{
    if (p.Count() > 0) sError = "no such store";
    return false;
}

TEST(FunctionRegistryTest, FailingFunction)
{
    TKELDExpression ex;
    ex.AddFunction("fail", Fails, 0, 0);
    // Without a reason the missing value makes the evaluation fail generically...
    EXPECT_EQ(Eval(ex, "fail()"), "error: Invalid Expression");
    EXPECT_EQ(Eval(ex, "1 + fail()"), "error: Incorrect number of parameters for +");
    // ...and with one, the function's reason is the message.
    EXPECT_EQ(Eval(ex, "fail(1) + 1"), "error: no such store");
}

TEST(FunctionOpTest, ChecksArgumentCountsOfSequencesBuiltOtherwise)
{
    TKELDExpression ex;
    TToken f("sqrt", tkFunction), ans, one = Num(1), two = Num(4);
    f.CallbackIndex = ex.FindFunction("sqrt");
    TTokenStack params;
    EXPECT_FALSE(ex.FunctionOp(f, ans, params));
    EXPECT_EQ(ex.ErrorMsg, "Too few parameters for sqrt()");
    params.Push(&one);
    params.Push(&two);
    EXPECT_FALSE(ex.FunctionOp(f, ans, params));
    EXPECT_EQ(ex.ErrorMsg, "Too many parameters for sqrt()");
    params.Pop();
    params.Pop();
    params.Push(&two);
    ex.ClearError();
    EXPECT_TRUE(ex.FunctionOp(f, ans, params));
    EXPECT_EQ(Show(ans), "n:2");
    f.CallbackIndex = -1;
    EXPECT_FALSE(ex.FunctionOp(f, ans, params));
    EXPECT_FALSE(ex.isError); // a token without a function fails without a message
}

} // namespace
} // namespace ff::test
