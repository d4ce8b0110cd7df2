#include "ExprTestUtil.h"

#include <gtest/gtest.h>

namespace ff::test {
namespace {

std::string LexemeTexts(TKELDExpression& ex)
{
    std::string s;
    for (const TToken* tk : ex.Lexemes())
        s += (s.empty() ? "" : "|") + tk->Text;
    return s;
}

std::string Split(std::string_view sSource)
{
    TKELDExpression ex;
    if (!ex.SplitLexemes(sSource)) return "error: " + ex.ErrorMsg;
    return LexemeTexts(ex);
}

TEST(LexerTest, SplitsAtDelimitersAndKeepsWordsWhole)
{
    const std::pair<const char*, const char*> cases[] = {
        {"max(Str, Dex) + 2", "max|(|Str|,|Dex|)|+|2"},
        {"1.5*Str.value", "1.5|*|Str.value"},
        {"1e5+1e-5", "1e5|+|1e|-|5"},
        {"a<>b<=c>=d==e=f<g>h", "a|<>|b|<=|c|>=|d|==|e|=|f|<|g|>|h"},
        {"x:=1", "x|:=|1"},
        {"x:==1", "x|:==|1"},
        {"a:b;c&d{e}[f]", "a|:|b|;|c|&|d|{|e|}|[|f|]"},
        {"a\tb\nc\vd\re", "a|b|c|d|e"},
        {"\x01"
         "abc",
         "abc"}, // control characters before a word are skipped
        {"ab\x01"
         "cd",
         "ab\x01"
         "cd"}, // and inside a word are part of it
        {"'it\\'s' + \"say \\\"hi\\\"\"", "'it's'|+|\"say \"hi\"\""},
        {"'a \"b\" c'", "'a \"b\" c'"},
        {"\"\"", "\"\""},
        {"x'a'y", "x|'a'|y"},
        {"", ""},
        {"    ", ""},
        {"'abc", "error: Mismatched Quotes"},
        {"'abc\\", "error: Mismatched Quotes"},
        {"'abc\\'", "error: Mismatched Quotes"},
    };
    for (const auto& [sSource, sExpected] : cases)
        EXPECT_EQ(Split(sSource), sExpected) << sSource;
}

TEST(LexerTest, ReportLexemesGivesTextAndKind)
{
    TKELDExpression ex;
    ex.SetExpression("-Str + max(1, 'a')");
    ASSERT_TRUE(ex.Compile());
    EXPECT_EQ(ex.ReportLexemes(), "neg (12)\nStr (1)\n+ (6)\nmax (29)\n( (27)\n1 (3)\n, (30)\n"
                                  "'a' (4)\n) (28)\n");
}

TEST(ClassifierTest, GivesKindsValuesAndFunctionIndexes)
{
    TKELDExpression ex;
    ex.SetExpression("TRUE And false or Name.Value XOR NOT MAX(2.5, 'x') <> \"y\"");
    ASSERT_TRUE(ex.Compile()) << ex.ErrorMsg;
    const auto& lx = ex.Lexemes();
    ASSERT_EQ(lx.Count(), 15);
    EXPECT_EQ(lx[0]->TypeID, tkBool);
    EXPECT_TRUE(lx[0]->AsBool());
    EXPECT_EQ(lx[1]->TypeID, tkAnd);
    EXPECT_EQ(lx[1]->Precedence, 4);
    EXPECT_EQ(lx[2]->TypeID, tkBool);
    EXPECT_EQ(lx[2]->DataType, dtBool);
    EXPECT_FALSE(lx[2]->AsBool());
    EXPECT_EQ(lx[3]->TypeID, tkOr);
    EXPECT_EQ(lx[4]->TypeID, tkVariable);
    EXPECT_EQ(lx[4]->Text, "Name.Value"); // names keep their case
    EXPECT_EQ(lx[5]->TypeID, tkXOR);
    EXPECT_EQ(lx[6]->TypeID, tkNot);
    EXPECT_EQ(lx[6]->Precedence, 6);
    EXPECT_EQ(lx[7]->TypeID, tkFunction);
    EXPECT_EQ(lx[7]->Text, "max");
    EXPECT_EQ(lx[7]->CallbackIndex, 0);
    EXPECT_EQ(lx[9]->TypeID, tkNumber);
    EXPECT_EQ(lx[9]->FDblVal, 2.5);
    EXPECT_EQ(lx[11]->TypeID, tkText);
    EXPECT_EQ(lx[11]->Text, "'x'");
    EXPECT_EQ(lx[11]->FTextVal, "x");
    EXPECT_EQ(lx[13]->TypeID, tkNE);
    EXPECT_EQ(lx[13]->Precedence, 2);
    EXPECT_EQ(lx[14]->FTextVal, "y");
    EXPECT_EQ(lx[7]->ParamCount, 2);
}

TEST(ClassifierTest, EqualsAndAssignmentSpellings)
{
    TKELDExpression ex;
    for (const char* s : {"a = 1", "a == 1"}) {
        ex.SetExpression(s);
        ASSERT_TRUE(ex.Compile()) << s;
        EXPECT_EQ(ex.Lexemes()[1]->TypeID, tkEq) << s;
    }
    for (const char* s : {"a := 1", "a :== 1"}) {
        ex.SetExpression(s);
        ASSERT_TRUE(ex.Compile()) << s;
        EXPECT_EQ(ex.Lexemes()[1]->TypeID, tkAssign) << s;
        EXPECT_EQ(ex.Lexemes()[1]->Precedence, 1) << s;
    }
}

std::string Rpn(std::string_view sSource)
{
    TKELDExpression ex;
    ex.SetExpression(sSource);
    if (!ex.Compile()) return "error: " + ex.ErrorMsg;
    return ex.ReportRPN();
}

TEST(RpnTest, OrdersOperandsBeforeOperators)
{
    const std::pair<const char*, const char*> cases[] = {
        {"max(1, 2 + 3) * 2", "1 2 3 + max 2 * \n"},
        {"-3", "3 neg \n"},
        {"2 - -3", "2 3 neg - \n"},
        {"+3", "3 pos \n"},
        {"10 - 2 - 3", "10 2 3 - - \n"}, // equal precedence groups from the right
        {"2 * 3 + 4", "2 3 * 4 + \n"},
        {"2 + 3 * 4", "2 3 4 * + \n"},
        {"-2 ^ 2", "2 neg 2 ^ \n"},
        {"not a = b", "a not b = \n"},
        {"a > 1 and b < 2", "a 1 b and 2 < > \n"},
        {"(a > 1) and (b < 2)", "a 1 > b 2 < and \n"},
        {"if(a > 1, 10, 0)", "a 1 > 10 0 if \n"},
        {"x := y := 2", "x y 2 := := \n"},
        {"substr(trim(s), 1 + 1)", "s trim 1 1 + substr \n"},
        {"max(min(1, 2), (3), -4)", "1 2 min 3 4 neg max \n"},
        {"", "\n"},
        {"  ", "\n"},
    };
    for (const auto& [sSource, sExpected] : cases)
        EXPECT_EQ(Rpn(sSource), sExpected) << sSource;
}

TEST(RpnTest, CountsArgumentsOfNestedCalls)
{
    TKELDExpression ex;
    ex.SetExpression("max(min(1, 2, 3), (4 + 5), substr('a', 1))");
    ASSERT_TRUE(ex.Compile()) << ex.ErrorMsg;
    std::string s;
    for (const TToken* tk : ex.Stack())
        if (tk->TypeID == tkFunction) s += tk->Text + "/" + std::to_string(tk->ParamCount) + " ";
    EXPECT_EQ(s, "min/3 substr/2 max/3 ");
}

bool NoArgs(TToken& ans, const TTokenStack& p, std::string&, void*)
{
    ans.SetDblVal(p.Count());
    return true;
}

TEST(CompileTest, EmptyArgumentListOfAFunctionWithoutLowerLimit)
{
    TKELDExpression ex;
    ex.AddFunction("f", NoArgs, 0, 0);
    ex.SetExpression("f() + F()");
    ASSERT_TRUE(ex.Compile()) << ex.ErrorMsg;
    EXPECT_EQ(ex.ReportRPN(), "f f + \n");
    EXPECT_EQ(ex.Stack()[0]->ParamCount, 0);
}

TEST(CompileTest, ReportsTheFirstFault)
{
    const std::pair<const char*, const char*> cases[] = {
        {"'abc", "Mismatched Quotes"},
        {"'it\\", "Mismatched Quotes"},
        {"foo(1)", "Unknown function foo()"},
        {"FOO (1)", "Unknown function foo()"},
        {"1 2", "invalid expression near 1 2"},
        {"a & b", "invalid expression near a &"},
        {"* 2", "invalid expression near  *"},
        {"1 := 2", "invalid expression near 1 :="},
        {"(1) := 2", "invalid expression near ) :="},
        {"(1 + 2)(", "invalid expression near ) ("},
        {"max(1,,2)", "invalid expression near , ,"},
        {"(,1)", "invalid expression near ( ,"},
        {"a not b", "invalid expression near a not"},
        {"f 1", "invalid expression near f 1"},
        {"'a' 'b'", "invalid expression near 'a' 'b'"},
        {"-(2) 3", "invalid expression near ) 3"},
        {"()", "Bad Expression near ( )"},
        {"1 + ()", "Bad Expression near ( )"},
        {"((1))()", "invalid expression near ) ("},
        {"(1 + 2", "mismatched parenthesis"},
        {"max(1, 2", "mismatched parenthesis"},
        {")", "mismatched parenthesis"},
        {"1)+(2", "mismatched parenthesis"}, // balanced count, but closed before opened
        {"max()", "too few parameters for function max"},
        {"substr('a')", "too few parameters for function substr"},
        {"if(1, 2)", "too few parameters for function if"},
        {"sqrt(1, 2)", "too many parameters for function sqrt"},
        {"round(1, 2, 3)", "too many parameters for function round"},
    };
    TKELDExpression ex;
    for (const auto& [sSource, sExpected] : cases) {
        ex.SetExpression(sSource);
        EXPECT_FALSE(ex.Compile()) << sSource;
        EXPECT_TRUE(ex.isError) << sSource;
        EXPECT_EQ(ex.ErrorMsg, sExpected) << sSource;
        EXPECT_FALSE(ex.Compiled()) << sSource;
    }
}

TEST(CompileTest, SuccessClearsAnEarlierError)
{
    TKELDExpression ex;
    ex.SetExpression("(1");
    ASSERT_FALSE(ex.Compile());
    ex.SetExpression("1");
    EXPECT_TRUE(ex.Compile());
    EXPECT_FALSE(ex.isError);
    EXPECT_EQ(ex.ErrorMsg, "");
    EXPECT_TRUE(ex.Compiled());
}

TEST(CompileTest, FailedCompilationIsRepeatedByEachEvaluation)
{
    TKELDExpression ex;
    ex.SetExpression("sqrt(1, 2)");
    for (int i = 0; i < 3; ++i) {
        double d = 7;
        EXPECT_FALSE(ex.Calc(d));
        EXPECT_EQ(d, 0);
        EXPECT_EQ(ex.ErrorMsg, "too many parameters for function sqrt");
        EXPECT_FALSE(ex.Compiled());
    }
}

TEST(CompileTest, TablesOfFollowersAndPrecedence)
{
    using E = TKELDExpression;
    EXPECT_TRUE(E::CanFollow(tkNone, tkParenClose));
    EXPECT_FALSE(E::CanFollow(tkNone, tkMult));
    EXPECT_TRUE(E::CanFollow(tkVariable, tkAssign));
    EXPECT_FALSE(E::CanFollow(tkNumber, tkAssign));
    EXPECT_FALSE(E::CanFollow(tkComma, tkParenClose));
    EXPECT_TRUE(E::CanFollow(tkMult, tkMult)); // after an operator anything may come
    EXPECT_TRUE(E::CanFollow(tkFunction, tkComma));
    EXPECT_EQ(E::OpParamCount(tkNot), 1);
    EXPECT_EQ(E::OpParamCount(tkAssign), 2);
    EXPECT_EQ(E::Precedence(tkMod), 5);
    EXPECT_EQ(E::Precedence(tkFunction), 0);
    EXPECT_FALSE(E::isOp(tkOp));
    EXPECT_TRUE(E::isOp(tkAdd));
    EXPECT_TRUE(E::isOp(tkNot));
    EXPECT_FALSE(E::isOp(tkTrue));
    TKELDExpression ex;
    EXPECT_EQ(ex.DelimChars().size(), 26u);
    EXPECT_TRUE(ex.isDelim('&'));
    EXPECT_FALSE(ex.isDelim('.'));
    EXPECT_FALSE(ex.isDelim('\x01'));
    EXPECT_TRUE(E::isWhiteSpace('\x01'));
    EXPECT_FALSE(E::isWhiteSpace('\xC3')); // a UTF-8 lead byte is part of a word
}

} // namespace
} // namespace ff::test

namespace ff::test {
namespace {

TEST(CompileTest, CompilingStepsByHandInvalidateTheCompiledForm)
{
    TKELDExpression ex;
    ex.SetExpression("1 + 2");
    ASSERT_TRUE(ex.Compile());
    ASSERT_TRUE(ex.SplitLexemes("3 * 4"));
    EXPECT_FALSE(ex.Compiled());
    // The next evaluation compiles the stored text again instead of running a stale sequence.
    EXPECT_EQ(Eval(ex, "5 - 1"), "n:4");
    ASSERT_TRUE(ex.Compiled());
    ASSERT_TRUE(ex.BuildRPN());
    EXPECT_FALSE(ex.Compiled());
}

} // namespace
} // namespace ff::test
