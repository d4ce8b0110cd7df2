#include "ExprTestUtil.h"

#include <gtest/gtest.h>

namespace ff::test {
namespace {

struct TConversionCase
{
    TToken Value;
    double Double;
    bool Bool;
    std::string Text;
    bool CanCastDouble;
};

TEST(TokenTest, ConversionsFollowTheValueKind)
{
    const TConversionCase cases[] = {
        {Undef(), 0, false, "", true},
        {Num(3.0), 3, true, "3", true},
        {Num(0), 0, false, "0", true},
        {Num(0.1 + 0.2), 0.1 + 0.2, true, "0.3", true},
        {Num(1e20), 1e20, true, "1E20", true},
        {Num(-2.5), -2.5, true, "-2.5", true},
        {Bool(true), 1, true, "true", true},
        {Bool(false), 0, false, "false", true},
        {Txt("12"), 12, true, "12", true},
        {Txt(" 7"), 7, true, " 7", true},
        {Txt("-3.5"), -3.5, true, "-3.5", true},
        {Txt("1e5"), 1e5, true, "1e5", true},
        {Txt("1,5"), 0, true, "1,5", false},
        {Txt("12 "), 0, true, "12 ", false},
        {Txt("abc"), 0, true, "abc", false},
        {Txt("false"), 0, true, "false", false}, // a non-empty text is true
        {Txt(""), 0, false, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Show(c.Value));
        EXPECT_DOUBLE_EQ(c.Value.AsDouble(), c.Double);
        EXPECT_EQ(c.Value.AsBool(), c.Bool);
        EXPECT_EQ(c.Value.AsText(), c.Text);
        EXPECT_EQ(c.Value.CanCastDouble(), c.CanCastDouble);
        EXPECT_TRUE(c.Value.CanCastBool());
        EXPECT_TRUE(c.Value.CanCastText());
    }
}

TEST(TokenTest, NewTokenAndSettersKeepOtherValueFields)
{
    TToken t;
    EXPECT_EQ(t.CallbackIndex, -1);
    EXPECT_EQ(t.DataType, dtUndef);
    EXPECT_EQ(t.TypeID, tkNone);
    t.SetDblVal(4);
    t.SetTextVal("x");
    EXPECT_EQ(t.DataType, dtText);
    EXPECT_EQ(t.FDblVal, 4); // still there, just not current
    t.SetBoolVal(true);
    EXPECT_EQ(t.DataType, dtBool);
    EXPECT_EQ(t.FTextVal, "x");
}

TEST(TokenTest, CloneCopiesEverythingAndCopyValFromOnlyTheValue)
{
    TToken a("Str", tkVariable);
    a.SetDblVal(12);
    a.FTextVal = "old";
    a.FBoolVal = true;
    a.Precedence = 4;
    a.ParamCount = 2;
    a.CallbackIndex = 7;
    auto c = a.Clone();
    EXPECT_EQ(c->Text, "Str");
    EXPECT_EQ(c->TypeID, tkVariable);
    EXPECT_EQ(c->DataType, dtNumber);
    EXPECT_EQ(c->FDblVal, 12);
    EXPECT_EQ(c->FTextVal, "old");
    EXPECT_TRUE(c->FBoolVal);
    EXPECT_EQ(c->Precedence, 4);
    EXPECT_EQ(c->ParamCount, 2);
    EXPECT_EQ(c->CallbackIndex, 7);

    TToken b("+", tkAdd);
    b.CopyValFrom(a);
    EXPECT_EQ(b.Text, "+");
    EXPECT_EQ(b.TypeID, tkAdd);
    EXPECT_EQ(b.CallbackIndex, -1);
    EXPECT_EQ(b.DataType, dtNumber);
    EXPECT_EQ(b.FDblVal, 12);
    EXPECT_EQ(b.FTextVal, "old");
}

TEST(TokenStackTest, IsLastInFirstOutAndEmptyGivesNone)
{
    TTokenStack s;
    EXPECT_EQ(s.Peek(), nullptr);
    EXPECT_EQ(s.Pop(), nullptr);
    TToken a, b;
    s.Push(&a);
    s.Push(&b);
    EXPECT_EQ(s.Count(), 2);
    EXPECT_EQ(s[0], &a);
    EXPECT_EQ(s.Peek(), &b);
    EXPECT_EQ(s.Pop(), &b);
    EXPECT_EQ(s.Pop(), &a);
    EXPECT_EQ(s.Pop(), nullptr);
    EXPECT_EQ(s.Count(), 0);
}

TEST(OpResultTextTest, NamesEveryCode)
{
    EXPECT_STREQ(OpResultText(0), "OK");
    EXPECT_STREQ(OpResultText(1), "Divide By Zero");
    EXPECT_STREQ(OpResultText(2), "Invalid Typecast");
    EXPECT_STREQ(OpResultText(3), "Not Handled");
    EXPECT_STREQ(OpResultText(4), "Floating Point Overflow");
    EXPECT_STREQ(OpResultText(5), "Invalid Floating Point Operation");
    EXPECT_STREQ(OpResultText(99), "Unknown Error");
}

} // namespace
} // namespace ff::test
