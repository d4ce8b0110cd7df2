#include "ExprTestUtil.h"

#include <gtest/gtest.h>

#include <limits>

namespace ff::test {
namespace {

class EvaluatorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        vars.Set("a", "5");
        vars.Set("Str", "14");
        vars.Set("Dex", "17");
        vars.Set("Lvl", "7");
        vars.Set("Half", "12.5");
        vars.Set("Name", "Ayla");
        vars.Set("Empty", "");
        ex.GetVariable = vars.Callback();
    }
    std::string Run(std::string_view s) { return Eval(ex, s); }

    TFieldTexts vars;
    TKELDExpression ex;
};

TEST_F(EvaluatorTest, WorkedExamples)
{
    const std::pair<const char*, const char*> cases[] = {
        {"max(1, 2 + 3) * 2", "n:10"},
        {"if(a > 1, 10, 0)", "n:10"},
        {"1 / 3", "n:0.333333333333333"},
        {"2.5", "n:2.5"},
        {"3.0", "n:3"},
        {"0.1 + 0.2", "n:0.3"},
        {"1e20", "n:1E20"},
        {"1e15", "n:1E15"},
        {"999999999999999", "n:999999999999999"},
        {"0.0001", "n:0.0001"},
        {"0.00001", "n:1E-5"},
        {"10 - 2 - 3", "n:11"},
        {"2 ^ 3 ^ 2", "n:512"},
        {"12 / 2 / 3", "n:18"},
        {"-2 ^ 2", "n:4"},
        {"2 - -3", "n:5"},
        {"(0 - 2) ^ 3", "n:-8"},
        {"2 ^ -1", "n:0.5"},
        {"0 / 7", "n:0"},
        {"5.5 % 2", "n:1.5"},
        {"-7 % 3", "n:-1"},
        {"7 % -3", "n:1"},
        {"1 % 0.1", "n:0"},
        {"'2' + '1'", "t:21"},
        {"'abc' + 1", "t:abc1"},
        {"'2' + 1", "n:3"},
        {"true + 'x'", "t:truex"},
        {"'5' - 2", "n:3"},
        {"'a' < 'b'", "b:true"},
        {"'B' < 'a'", "b:true"},
        {"'10' < 9", "b:false"},
        {"(1 < 2) and (2 < 3)", "b:true"},
        {"(1 < 2) xor (2 < 3)", "b:false"},
        {"not (1 > 2)", "b:true"},
        {"not a = 5", "error: Incorrect number of parameters for ="}, // (not a) = 5
        {"(a > 1) and (Lvl < 2)", "b:false"},
        {"Str + 2", "n:16"},
        {"max(Str, Dex) + 2", "n:19"},
        {"round((Str - 10) / 2 - 0.5)", "n:2"},
        {"if(Lvl > 5, 3, 2)", "n:3"},
        {"Name + ' the ' + 'Bold'", "t:Ayla the Bold"},
        {"Half + 1", "n:13.5"}, // a non-integer field text is numeric text
        {"Empty + 1", "t:1"},   // the empty text is not numeric: joined
        {"STR * 2", "n:28"},    // the lookup ignores case
        {"-'3'", "n:-3"},
        {"+true", "n:1"},
        {"TRUE", "b:true"},
        {"'it\\'s'", "t:it's"},
        {"1 + a := 2", "error: Invalid Typecast"}, // 1 + (a := 2) and a is a number here
        // Names that yield texts in the middle of numeric work.
        {"Str + Name", "t:14Ayla"},
        {"max(Half, 3) * 2", "n:25"},
        {"if(Lvl > 5, Name, 2)", "t:Ayla"},
        {"if(Lvl < 5, Name, Half) + 1", "n:13.5"},
        {"(Lvl > 5) and (Name = 'Ayla')", "b:true"},
        {"-Empty", "error: Invalid Expression"}, // the empty text is not numeric
    };
    for (bool bNumeric : {true, false}) {
        ex.UseNumericFastPath = bNumeric;
        for (const auto& [sSource, sExpected] : cases)
            EXPECT_EQ(Run(sSource), sExpected) << sSource << (bNumeric ? "" : " (tokens only)");
    }
}

TEST_F(EvaluatorTest, FailureMessages)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", "Invalid Expression"},
        {"   ", "Invalid Expression"},
        {"1 / 0", "Divide By Zero"},
        {"5 + 1 / 0", "Divide By Zero"},
        {"7 % 0", "Divide By Zero"},
        {"5 + x", "Invalid Expression"}, // x is unknown to the lookup
        {"not 5", "Invalid Expression"},
        {"-'x' + 1", "Incorrect number of parameters for +"},
        {"1 +", "Incorrect number of parameters for +"},
        {"(2 * )", "Incorrect number of parameters for *"},
        {"true = true", "Invalid Typecast"},
        {"1 and true", "Invalid Typecast"},
        {"a > 1 and Lvl < 2", "Invalid Typecast"},
        {"x = 1", "Invalid Expression"},
        {"Empty < Str", "Invalid Typecast"},
        {"Empty / 1", "Invalid Typecast"},
        {"1, 2", "Invalid Expression"}, // two values left
        {"foo(1)", "Unknown function foo()"},
        {"not 1 + 2", "Incorrect number of parameters for +"},
        {"-true < 0 = true", "Invalid Typecast"},
    };
    for (bool bNumeric : {true, false}) {
        ex.UseNumericFastPath = bNumeric;
        for (const auto& [sSource, sExpected] : cases) {
            EXPECT_EQ(Run(sSource), std::string("error: ") + sExpected)
                << sSource << (bNumeric ? "" : " (tokens only)");
            EXPECT_TRUE(ex.isError) << sSource;
        }
    }
}

// A literal joins the operator or "if" that follows it into one numeric step; the joined step
// must keep the kinds, faults and messages of the two tokens it replaces.
TEST_F(EvaluatorTest, LiteralOperandsKeepTheirRules)
{
    const std::pair<const char*, const char*> cases[] = {
        {"true + 1", "error: Invalid Typecast"},
        {"(Lvl > 5) * 2", "error: Invalid Typecast"},
        {"(Lvl > 5) >= 1", "error: Invalid Typecast"},
        {"Str / 0", "error: Divide By Zero"},
        {"Str % 0", "error: Divide By Zero"},
        {"0 ^ -1", "error: Divide By Zero"},
        {"Str - 14 ^ -1", "n:13.9285714285714"},
        {"Str <> 14", "b:false"},
        {"if(Lvl > 5, true, 2)", "b:true"},
        {"if(Lvl < 5, true, 2)", "n:2"},
        {"if(Lvl < 5, 1, false)", "b:false"},
        {"if(Lvl, 4, 5) + 1", "n:5"},
        {"if(not 5, 1, 2)", "error: Incorrect number of parameters for if"},
        {"not 5 < 2", "error: Incorrect number of parameters for <"},
        {"round(Str / 4)", "n:4"},
        {"round(Str / 4 - 1)", "n:2"},
        {"round(-Str / 8)", "n:-2"},
        {"round(-Str / 40)", "n:0"},
    };
    for (bool bNumeric : {true, false}) {
        ex.UseNumericFastPath = bNumeric;
        for (const auto& [sSource, sExpected] : cases)
            EXPECT_EQ(Run(sSource), sExpected) << sSource << (bNumeric ? "" : " (tokens only)");
    }
}

TEST_F(EvaluatorTest, UndefinedValuesComeFromTheLookup)
{
    // A lookup may leave the value undefined; operators then follow their undefined rules.
    TKELDExpression e;
    EXPECT_EQ(Eval(e, "1 + 2 * 3"), "n:7");
    e.GetVariable = {[](void*, const std::string&, TToken&) { return true; }, nullptr};
    EXPECT_EQ(Eval(e, "u"), "u");
    EXPECT_EQ(Eval(e, "u + 1"), "u");
    EXPECT_EQ(Eval(e, "1 / u"), "u");
    EXPECT_EQ(Eval(e, "u / 1"), "error: Invalid Typecast");
    EXPECT_EQ(Eval(e, "u < 1"), "error: Not Handled");
    EXPECT_EQ(Eval(e, "u and true"), "error: Not Handled");
    EXPECT_EQ(Eval(e, "-u"), "n:0");
    EXPECT_EQ(Eval(e, "length(u)"), "n:0");
    EXPECT_EQ(Eval(e, "max(2, 3) + u"), "u"); // handed over to the token evaluator midway
}

TEST(EvaluatorNoLookupTest, NamesNeedTheCallback)
{
    TKELDExpression ex;
    EXPECT_EQ(Eval(ex, "Str + 1"), "error: Unknown Identifier: Str");
    EXPECT_EQ(Eval(ex, "1 + 1"), "n:2");
}

TEST_F(EvaluatorTest, AnswerKeepsTheLastSuccessAndCalcGivesTheNumber)
{
    double d = -1;
    ex.SetExpression("Str / 4");
    ASSERT_TRUE(ex.Calc(d));
    EXPECT_EQ(d, 3.5);
    ex.SetExpression("'12' + 'x'");
    ASSERT_TRUE(ex.Calc(d));
    EXPECT_EQ(d, 0); // AsDouble of a non-numeric text
    EXPECT_EQ(Show(ex.Answer), "t:12x");
    ex.SetExpression("1 / 0");
    EXPECT_FALSE(ex.Calc(d));
    EXPECT_EQ(d, 0);
    EXPECT_EQ(Show(ex.Answer), "t:12x");
}

TEST_F(EvaluatorTest, CompiledSequenceIsEvaluatedAgainWithFreshValues)
{
    ex.SetExpression("max(Str, Dex) + 2");
    ASSERT_TRUE(ex.Compile());
    const std::string sRpn = ex.ReportRPN();
    for (int n : {3, 40, -8}) {
        vars.Set("Str", std::to_string(n));
        ASSERT_TRUE(ex.Execute()) << ex.ErrorMsg;
        EXPECT_EQ(ex.Answer.FDblVal, std::max(n, 17) + 2);
    }
    vars.Set("Dex", "quick");
    ASSERT_TRUE(ex.Execute());
    EXPECT_EQ(ex.Answer.FDblVal, 2); // max(-8, 0) + 2: a non-numeric text counts as 0
    EXPECT_EQ(ex.ReportRPN(), sRpn);
    EXPECT_TRUE(ex.Compiled());
}

TEST_F(EvaluatorTest, LookupFailureStopsBeforeLaterNames)
{
    vars.Lookups = 0;
    EXPECT_EQ(Run("nobody + Str"), "error: Invalid Expression");
    EXPECT_EQ(vars.Lookups, 1);
}

struct TAssignLog
{
    std::vector<std::string> Lines;
    bool Keep(const std::string& sName, TToken& tVal)
    {
        // A lookup that knows every name but leaves it a variable, so assignments work.
        (void)sName;
        tVal.SetDblVal(0);
        return true;
    }
    bool Assigned(const std::string& sName, TToken& tVal)
    {
        Lines.push_back(sName + "=" + Show(tVal));
        return true;
    }
};

TEST(AssignmentTest, NotifiesSetVariableWithNameAndValue)
{
    TKELDExpression ex;
    TAssignLog log;
    ex.GetVariable = TECGetSetVariable::Bind<&TAssignLog::Keep>(&log);
    ex.SetVariable = TECGetSetVariable::Bind<&TAssignLog::Assigned>(&log);
    EXPECT_EQ(Eval(ex, "x := 1 + 2"), "n:3");
    EXPECT_EQ(ex.Answer.TypeID, tkVariable);
    EXPECT_EQ(ex.Answer.Text, "x");
    EXPECT_EQ(Eval(ex, "hp :== 'full'"), "t:full");
    EXPECT_EQ(Eval(ex, "a := b := 4"), "n:4");
    EXPECT_EQ(log.Lines, (std::vector<std::string>{"x=n:3", "hp=t:full", "b=n:4", "a=n:4"}));
    // Without SetVariable the assignment still yields the value.
    ex.SetVariable = {};
    EXPECT_EQ(Eval(ex, "x := 5"), "n:5");
}

TEST(AssignmentTest, FailsWhenTheLookupTurnsTheNameIntoAValue)
{
    TKELDExpression ex;
    TFieldTexts vars;
    vars.Set("x", "3");
    ex.GetVariable = vars.Callback();
    EXPECT_EQ(Eval(ex, "x := 1"), "error: Invalid Typecast");
}

// The numeric evaluator hands every name the same variable token each time; a lookup that
// changed the token's text, in any one place or its length, must still see the name next time.
TEST(VariableTokenTest, LookupAlwaysSeesTheName)
{
    struct TSpy
    {
        std::string Seen;
        size_t Pos = 0;
        bool Longer = false;
    } spy;
    TKELDExpression ex;
    ex.GetVariable = {[](void* p, const std::string&, TToken& t) {
                          auto& s = *static_cast<TSpy*>(p);
                          s.Seen = t.Text;
                          if (s.Longer)
                              t.Text += 'x';
                          else
                              t.Text[s.Pos] = '_';
                          t.SetDblVal(1);
                          return true;
                      },
                      &spy};
    const std::string sLetters = "abcdefghijklmnopqrstuvwxy";
    for (size_t n = 1; n <= sLetters.size(); ++n) {
        const std::string sName = sLetters.substr(0, n);
        ex.SetExpression(sName + " + 1");
        for (size_t nPos = 0; nPos <= n; ++nPos) {
            spy.Pos = nPos < n ? nPos : 0;
            spy.Longer = nPos == n;
            ASSERT_TRUE(ex.Execute()) << ex.ErrorMsg;
            ASSERT_TRUE(ex.Execute()) << ex.ErrorMsg;
            EXPECT_EQ(spy.Seen, sName) << nPos;
        }
    }
}

TEST(RecursionTest, ACallbackEvaluatingTheSameEngineFailsCleanly)
{
    TKELDExpression ex;
    ex.GetVariable = {[](void* p, const std::string&, TToken& t) {
                          static_cast<TKELDExpression*>(p)->Execute();
                          t.SetDblVal(1);
                          return true;
                      },
                      &ex};
    EXPECT_EQ(Eval(ex, "x + 1"), "error: Recursive Evaluation");
    ex.GetVariable = {};
    EXPECT_EQ(Eval(ex, "2 + 1"), "n:3"); // the engine is usable afterwards
}

TEST_F(EvaluatorTest, FloatingPointFaultsBecomeMessages)
{
    const std::pair<const char*, const char*> cases[] = {
        {"10 ^ 400", "error: Floating Point Overflow"},
        {"1e308 * 10", "error: Floating Point Overflow"},
        {"1e999", "error: Floating Point Overflow"},
        {"if(1, 1e999, 0)", "error: Floating Point Overflow"},
        {"1e999 > 1", "b:true"},
        {"'1e999'", "t:1e999"},
        {"0 ^ -1", "error: Divide By Zero"},
        {"(0 - 8) ^ 0.5", "error: Invalid Floating Point Operation"},
        {"1e999 - 1e999", "error: Invalid Floating Point Operation"},
        {"sqrt(0 - 1)", "error: Invalid Floating Point Operation"},
        {"sqrt(0 - 1) + 1", "error: Invalid Floating Point Operation"},
        {"floor(3e9)", "error: Integer Overflow"},
        {"ceil(0 - 3e9)", "error: Integer Overflow"},
        {"round(1, 21)", "error: Invalid Parameter for round()"},
        {"round(1, -21)", "error: Invalid Parameter for round()"},
        {"max(1e999, 1)", "error: Floating Point Overflow"},
    };
    for (bool bNumeric : {true, false}) {
        ex.UseNumericFastPath = bNumeric;
        for (const auto& [sSource, sExpected] : cases)
            EXPECT_EQ(Run(sSource), sExpected) << sSource << (bNumeric ? "" : " (tokens only)");
    }
}

TEST(NonFiniteLookupTest, NaNFromALookupNeverBecomesAnAnswer)
{
    for (bool bNumeric : {true, false}) {
        TKELDExpression ex;
        ex.UseNumericFastPath = bNumeric;
        ex.GetVariable = {[](void*, const std::string&, TToken& t) {
                              t.SetDblVal(std::numeric_limits<double>::quiet_NaN());
                              return true;
                          },
                          nullptr};
        EXPECT_EQ(Eval(ex, "n"), "error: Invalid Floating Point Operation");
        EXPECT_EQ(Eval(ex, "n + 1"), "error: Invalid Floating Point Operation");
        EXPECT_EQ(Eval(ex, "sign(n)"), "error: Invalid Floating Point Operation");
        EXPECT_EQ(Eval(ex, "floor(n)"), "error: Invalid Floating Point Operation");
        EXPECT_EQ(Eval(ex, "substr('abc', n, n)"), "t:");
        EXPECT_EQ(Eval(ex, "n = n"), "b:false");
        EXPECT_EQ(Eval(ex, "if(n, 1, 2)"), "n:1"); // NaN is not 0
    }
}

} // namespace
} // namespace ff::test
