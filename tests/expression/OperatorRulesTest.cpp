// The mixed-kind tables of the operators: every pair of value kinds, with a numeric and a
// non-numeric text, for each group of operators.
#include "ExprTestUtil.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

namespace ff::test {
namespace {

// Operands in table order: undefined, the number 6, true, the numeric text 2, the text x.
std::array<TToken, 5> Operands()
{
    return {Undef(), Num(6), Bool(true), Txt("2"), Txt("x")};
}
const char* kNames[] = {"undef", "6", "true", "'2'", "'x'"};

std::string Apply(TTokenID op, const TToken& L, const TToken& R)
{
    TToken ans;
    const int nCode = ApplyBinaryOp(op, L, R, ans);
    return nCode == orOK ? Show(ans) : "E" + std::to_string(nCode);
}

void CheckTable(TTokenID op, const std::array<std::array<const char*, 5>, 5>& expected)
{
    const auto ops = Operands();
    for (size_t l = 0; l < 5; ++l)
        for (size_t r = 0; r < 5; ++r)
            EXPECT_EQ(Apply(op, ops[l], ops[r]), expected[l][r])
                << kNames[l] << " op" << static_cast<int>(op) << " " << kNames[r];
}

TEST(OperatorRulesTest, Addition)
{
    CheckTable(tkAdd, {{
                          {"u", "u", "u", "u", "u"},
                          {"u", "n:12", "E2", "n:8", "t:6x"},
                          {"u", "E2", "E2", "t:true2", "t:truex"},
                          {"u", "n:8", "t:2true", "t:22", "t:2x"},
                          {"u", "t:x6", "t:xtrue", "t:x2", "t:xx"},
                      }});
}

TEST(OperatorRulesTest, SubtractionAndMultiplication)
{
    CheckTable(tkSubtract, {{
                               {"u", "u", "u", "u", "u"},
                               {"u", "n:0", "E2", "n:4", "E2"},
                               {"u", "E2", "E2", "E2", "E2"},
                               {"u", "n:-4", "E2", "E2", "E2"},
                               {"u", "E2", "E2", "E2", "E2"},
                           }});
    CheckTable(tkMult, {{
                           {"u", "u", "u", "u", "u"},
                           {"u", "n:36", "E2", "n:12", "E2"},
                           {"u", "E2", "E2", "E2", "E2"},
                           {"u", "n:12", "E2", "E2", "E2"},
                           {"u", "E2", "E2", "E2", "E2"},
                       }});
}

TEST(OperatorRulesTest, DivisionRemainderAndPower)
{
    // An undefined left operand with a number on the right is a typecast error here, unlike
    // "-" and "*"; a non-numeric text on the left is one too.
    CheckTable(tkDiv, {{
                          {"u", "E2", "u", "u", "u"},
                          {"u", "n:1", "E2", "n:3", "E2"},
                          {"u", "E2", "E2", "E2", "E2"},
                          {"u", "n:0.333333333333333", "E2", "E2", "E2"},
                          {"u", "E2", "E2", "E2", "E2"},
                      }});
    CheckTable(tkMod, {{
                          {"u", "E2", "u", "u", "u"},
                          {"u", "n:0", "E2", "n:0", "E2"},
                          {"u", "E2", "E2", "E2", "E2"},
                          {"u", "n:2", "E2", "E2", "E2"},
                          {"u", "E2", "E2", "E2", "E2"},
                      }});
    CheckTable(tkPow, {{
                          {"u", "E2", "u", "u", "u"},
                          {"u", "n:46656", "E2", "n:36", "E2"},
                          {"u", "E2", "E2", "E2", "E2"},
                          {"u", "n:64", "E2", "E2", "E2"},
                          {"u", "E2", "E2", "E2", "E2"},
                      }});
}

TEST(OperatorRulesTest, Comparisons)
{
    CheckTable(tkLT, {{
                         {"E3", "E3", "E3", "E3", "E3"},
                         {"E3", "b:false", "E2", "b:false", "E2"},
                         {"E3", "E2", "E2", "E2", "E2"},
                         {"E3", "b:true", "E2", "b:false", "b:true"},
                         {"E3", "E2", "E2", "b:false", "b:false"},
                     }});
}

TEST(OperatorRulesTest, Logic)
{
    const std::array<std::array<const char*, 5>, 5> table = {{
        {"E3", "E3", "E3", "E3", "E3"},
        {"E3", "E2", "E2", "E2", "E2"},
        {"E3", "E2", "b:x", "E2", "E2"},
        {"E3", "E2", "E2", "E2", "E2"},
        {"E3", "E2", "E2", "E2", "E2"},
    }};
    for (TTokenID op : {tkAnd, tkOr, tkXOR}) {
        auto t = table;
        t[2][2] = op == tkXOR ? "b:false" : "b:true"; // true op true
        CheckTable(op, t);
    }
}

struct TCase
{
    TTokenID Op;
    TToken L, R;
    const char* Expected;
};

TEST(OperatorRulesTest, ArithmeticDetails)
{
    const TCase cases[] = {
        {tkDiv, Num(7), Num(0), "E1"},          {tkMod, Num(7), Num(0), "E1"},
        {tkDiv, Num(7), Txt("0"), "E1"},        {tkMod, Txt("7"), Num(0), "E1"},
        {tkDiv, Num(0), Num(7), "n:0"},         {tkDiv, Num(1), Num(3), "n:0.333333333333333"},
        {tkMod, Num(5.5), Num(2), "n:1.5"},     {tkMod, Num(-7), Num(3), "n:-1"},
        {tkMod, Num(7), Num(-3), "n:1"},        {tkMod, Num(-6), Num(3), "n:0"},
        {tkMod, Num(1e20), Num(3), "n:1"}, // exact where the quotient is too large for doubles
        {tkMod, Num(1), Num(0.1), "n:0"},       {tkMod, Num(-0.5), Num(0.1), "n:0"},
        {tkMod, Num(0.9), Num(0.1), "n:0"},     {tkMod, Num(0.3), Num(0.1), "n:0.1"},
        {tkPow, Num(-2), Num(3), "n:-8"},       {tkPow, Num(2), Num(-1), "n:0.5"},
        {tkPow, Num(-5), Num(0), "n:1"},        {tkPow, Num(0), Num(0), "n:1"},
        {tkPow, Num(4), Num(0.5), "n:2"},       {tkPow, Num(0), Num(-1), "E1"},
        {tkPow, Num(0), Num(-0.5), "E1"},       {tkPow, Num(-8), Num(0.5), "E5"},
        {tkPow, Num(10), Num(400), "E4"},       {tkMult, Num(1e308), Num(10), "E4"},
        {tkAdd, Num(1e308), Num(1e308), "E4"},  {tkSubtract, Txt("5"), Num(2), "n:3"},
        {tkAdd, Txt("abc"), Num(1), "t:abc1"},  {tkAdd, Txt(""), Num(1), "t:1"},
        {tkAdd, Txt("12.5"), Num(1), "n:13.5"}, {tkAdd, Num(0.1), Num(0.2), "n:0.3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Apply(c.Op, c.L, c.R), c.Expected)
            << Show(c.L) << " op" << static_cast<int>(c.Op) << " " << Show(c.R);
}

TEST(OperatorRulesTest, EveryComparisonOnNumbersAndTexts)
{
    struct TCmp
    {
        TTokenID Op;
        bool Less, Equal, Greater; // results for a < b, a = b, a > b
    };
    const TCmp ops[] = {{tkEq, false, true, false}, {tkNE, true, false, true},
                        {tkLT, true, false, false}, {tkLTE, true, true, false},
                        {tkGT, false, false, true}, {tkGTE, false, true, true}};
    for (const auto& o : ops) {
        SCOPED_TRACE(static_cast<int>(o.Op));
        EXPECT_EQ(Apply(o.Op, Num(1), Num(2)), o.Less ? "b:true" : "b:false");
        EXPECT_EQ(Apply(o.Op, Num(2), Num(2)), o.Equal ? "b:true" : "b:false");
        EXPECT_EQ(Apply(o.Op, Txt("3"), Num(2)), o.Greater ? "b:true" : "b:false");
        // Texts compare by code unit, case-sensitive: "B" < "a", "10" < "9".
        EXPECT_EQ(Apply(o.Op, Txt("B"), Txt("a")), o.Less ? "b:true" : "b:false");
        EXPECT_EQ(Apply(o.Op, Txt("10"), Txt("9")), o.Less ? "b:true" : "b:false");
        EXPECT_EQ(Apply(o.Op, Txt("abc"), Txt("abc")), o.Equal ? "b:true" : "b:false");
        EXPECT_EQ(Apply(o.Op, Txt("\xC3\xA9"), Txt("z")), o.Greater ? "b:true" : "b:false");
        EXPECT_EQ(Apply(o.Op, Bool(true), Bool(true)), "E2");
    }
    EXPECT_EQ(Apply(tkLT, Txt("10"), Num(9)), "b:false"); // numeric text against a number
}

TEST(OperatorRulesTest, UnaryOperators)
{
    const std::pair<TToken, const char*> negCases[] = {
        {Num(3), "n:-3"},       {Undef(), "n:0"}, {Bool(true), "n:-1"},
        {Txt("2.5"), "n:-2.5"}, {Txt("x"), "E2"},
    };
    for (const auto& [x, sExpected] : negCases) {
        TToken ans;
        const int nCode = ApplyUnaryOp(tkNeg, x, ans);
        EXPECT_EQ(nCode == orOK ? Show(ans) : "E" + std::to_string(nCode), sExpected) << Show(x);
    }
    TToken ans;
    EXPECT_EQ(ApplyUnaryOp(tkPos, Bool(false), ans), orOK);
    EXPECT_EQ(Show(ans), "n:0");
    EXPECT_EQ(ApplyUnaryOp(tkNot, Bool(false), ans), orOK);
    EXPECT_EQ(Show(ans), "b:true");
    EXPECT_EQ(ApplyUnaryOp(tkNot, Num(0), ans), orInvalidTypecast);
    EXPECT_EQ(ApplyUnaryOp(tkNot, Txt("true"), ans), orInvalidTypecast);
}

TEST(OperatorRulesTest, AssignmentCopiesTheVariableWithTheRightValue)
{
    TToken var("hp", tkVariable);
    TToken ans;
    ASSERT_EQ(ApplyBinaryOp(tkAssign, var, Txt("full"), ans), orOK);
    EXPECT_EQ(ans.TypeID, tkVariable);
    EXPECT_EQ(ans.Text, "hp");
    EXPECT_EQ(Show(ans), "t:full");

    TToken num("hp", tkNumber); // a lookup that turned the name into a number
    num.SetDblVal(3);
    EXPECT_EQ(ApplyBinaryOp(tkAssign, num, Num(1), ans), orInvalidTypecast);
}

TEST(OperatorRulesTest, AnswerMayBeAnOperand)
{
    TToken l = Txt("ab"), r = Txt("cd");
    ASSERT_EQ(ApplyBinaryOp(tkAdd, l, r, l), orOK);
    EXPECT_EQ(Show(l), "t:abcd");
    TToken var("x", tkVariable), val = Num(5);
    ASSERT_EQ(ApplyBinaryOp(tkAssign, var, val, val), orOK);
    EXPECT_EQ(val.Text, "x");
    EXPECT_EQ(Show(val), "n:5");
}

TEST(OperatorRulesTest, OperatorsWithoutRuleAreNotHandled)
{
    TToken ans;
    EXPECT_EQ(ApplyBinaryOp(tkComma, Num(1), Num(2), ans), orNotHandled);
    EXPECT_EQ(ApplyBinaryOp(tkNeg, Num(1), Num(2), ans), orNotHandled);
    EXPECT_EQ(ApplyUnaryOp(tkAdd, Num(1), ans), orNotHandled);
}

TEST(OperatorRulesTest, NonFiniteOperandsNeverGiveANumber)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(Apply(tkSubtract, Num(inf), Num(inf)), "E5");
    EXPECT_EQ(Apply(tkAdd, Num(nan), Num(1)), "E5");
    EXPECT_EQ(Apply(tkMult, Num(inf), Num(2)), "E4");
}

} // namespace
} // namespace ff::test
