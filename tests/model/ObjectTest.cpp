// Sheet objects and their nine kinds: defaults, copying, field sources, values, points,
// normalisation, default sizes, node editing and hit tests.
#include "ModelTestUtil.h"

#include "persistence/ClassCSDataStore.h"
#include "support/Numbers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace ff {
namespace {

using test::AddObject;

std::unique_ptr<TCSObject> Rect(int nType, double x0, double y0, double x2, double y2)
{
    auto o = NewCSObject(nType);
    o->AddPoint(x0, y0);
    o->AddPoint(x0, y2);
    o->AddPoint(x2, y2);
    o->AddPoint(x2, y0);
    return o;
}

std::vector<TPointF> Pts(std::initializer_list<TPointF> l)
{
    return l;
}

TEST(ObjectKinds, ConstructorDefaults)
{
    struct Case
    {
        int Type;
        const char* Font;
        int Scaling;
        const char* Text;
    };
    const Case cases[] = {
        {CS_ORTHLINE, "", CS_IMAGE_BESTFIT, ""},
        {CS_BOX, "", CS_IMAGE_BESTFIT, ""},
        {CS_LABEL, "Verdana", CS_IMAGE_BESTFIT, ""},
        {CS_EDIT, "Verdana", CS_IMAGE_BESTFIT, ""},
        {CS_IMAGE, "", CS_IMAGE_STRETCH, ""},
        {CS_CHECKBOX, "Verdana", CS_IMAGE_BESTFIT, ""},
        {CS_LINE, "", CS_IMAGE_BESTFIT, ""},
        {CS_IMAGESELECT, "", CS_IMAGE_BESTFIT, "Click to select image"},
        {CS_BUTTON, "Verdana", CS_IMAGE_BESTFIT, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Type);
        auto o = NewCSObject(c.Type);
        ASSERT_NE(o, nullptr);
        EXPECT_EQ(o->FTypeID, c.Type);
        EXPECT_EQ(o->FFontName, c.Font);
        EXPECT_EQ(o->FImageScalingMode, c.Scaling);
        EXPECT_EQ(o->FText, c.Text);
        EXPECT_FALSE(o->GetChecked());
        EXPECT_TRUE(o->FVisible);
        EXPECT_TRUE(o->FSingleLine);
        EXPECT_EQ(o->FLineWidth, 1.0);
        EXPECT_EQ(o->FFontSize, 10.0);
        EXPECT_FALSE(o->Image);
        // Every engine gets lookup right after the twelve built-in functions.
        ASSERT_NE(o->Expression, nullptr);
        EXPECT_EQ(o->Expression->FindFunction("lookup"), 12);
    }
    EXPECT_EQ(NewCSObject(9), nullptr);
    EXPECT_EQ(NewCSObject(-1), nullptr);
    EXPECT_NE(dynamic_cast<TCSImage*>(NewCSObject(CS_IMAGESELECT).get()), nullptr);
}

TEST(ObjectCopy, CloneCopiesStoredAttributesAndKeepsConstructorState)
{
    auto img = Rect(CS_IMAGE, 1, 2, 3, 4);
    img->FFieldName = "Portrait";
    img->SetFieldSource("1 + 2");
    img->FisNumeric = true;
    img->FReadOnly = true;
    img->FVisible = false;
    img->FList = "Faces";
    img->FLineWidth = 2.5;
    img->FLineColor = 0x123456;
    img->FFillColor = 0x654321;
    img->FisFilled = true;
    img->FText = "t";
    img->FFontName = "Arial";
    img->FFontSize = 14;
    img->FFontBold = img->FFontUnderline = img->FFontItalic = true;
    img->FTextAlign = CS_ALIGN_RIGHT;
    img->FSingleLine = false;
    img->Image = std::make_unique<TMemoryStream>(std::string("abc\0def", 7));
    img->Image->SetPosition(5);
    img->FImageGrayscale = true;
    // Not copied: a clone keeps what its constructor gave it.
    img->FListStyle = CS_LISTSTYLE_OPEN;
    img->FSelected = true;
    img->FLocked = true;
    img->FImageScalingMode = CS_IMAGE_ASIS;
    img->FButtonState = CS_BUTTONSTATE_DOWN;
    img->ScriptError = true;

    auto c = img->Clone();
    ASSERT_NE(c, nullptr);
    EXPECT_NE(dynamic_cast<TCSImage*>(c.get()), nullptr);
    EXPECT_EQ(c->FFieldName, "Portrait");
    EXPECT_EQ(c->FFieldSource, "1 + 2");
    EXPECT_NE(c->Expression.get(), img->Expression.get());
    EXPECT_TRUE(c->Expression->Compiled());
    EXPECT_EQ(c->Expression->Expression(), "1 + 2");
    EXPECT_TRUE(c->FisNumeric && c->FReadOnly && !c->FVisible);
    EXPECT_EQ(c->FList, "Faces");
    EXPECT_EQ(c->FLineWidth, 2.5);
    EXPECT_EQ(c->FLineColor, 0x123456u);
    EXPECT_EQ(c->FFillColor, 0x654321u);
    EXPECT_TRUE(c->FisFilled);
    EXPECT_EQ(c->FText, "t");
    EXPECT_EQ(c->FFontName, "Arial");
    EXPECT_EQ(c->FFontSize, 14);
    EXPECT_TRUE(c->FFontBold && c->FFontUnderline && c->FFontItalic);
    EXPECT_EQ(c->FTextAlign, CS_ALIGN_RIGHT);
    EXPECT_FALSE(c->FSingleLine);
    ASSERT_TRUE(c->Image);
    EXPECT_NE(c->Image.get(), img->Image.get());
    EXPECT_EQ(c->Image->Bytes(), std::string("abc\0def", 7));
    EXPECT_EQ(c->Image->GetPosition(), 0);
    EXPECT_TRUE(c->FImageGrayscale);
    EXPECT_EQ(c->Points, img->Points);

    EXPECT_EQ(c->FListStyle, CS_LISTSTYLE_FIXED);
    EXPECT_FALSE(c->FSelected);
    EXPECT_FALSE(c->FLocked);
    EXPECT_EQ(c->FImageScalingMode, CS_IMAGE_STRETCH);
    EXPECT_EQ(c->FButtonState, CS_BUTTONSTATE_UP);
    EXPECT_FALSE(c->ScriptError);

    // Copying an object without an image removes the target's image.
    auto plain = NewCSObject(CS_IMAGE);
    plain->CopyTo(*c);
    EXPECT_FALSE(c->Image);
    EXPECT_TRUE(c->Points.empty());

    TCSObject base;
    EXPECT_EQ(base.Clone(), nullptr);
}

TEST(ObjectCopy, EveryKindClonesToItsOwnKind)
{
    for (int t = CS_ORTHLINE; t <= CS_BUTTON; ++t) {
        auto o = NewCSObject(t);
        auto c = o->Clone();
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(typeid(*c), typeid(*o));
        EXPECT_EQ(c->FTypeID, t);
    }
}

TEST(ObjectFieldSource, NativeSourcesCompileIntoAFreshEngine)
{
    TCSEdit o;
    TKELDExpression* first = o.Expression.get();
    o.SetFieldSource("max(2, 3) * 2");
    EXPECT_NE(o.Expression.get(), first);
    EXPECT_TRUE(o.Expression->Compiled());
    EXPECT_EQ(o.Expression->FindFunction("lookup"), 12);
    ASSERT_TRUE(o.Expression->Execute());
    EXPECT_EQ(o.Expression->Answer.AsDouble(), 6);

    // Script code and the empty source leave the engine as it was.
    TKELDExpression* compiled = o.Expression.get();
    o.SetFieldSource("js:return 1;");
    EXPECT_EQ(o.FFieldSource, "js:return 1;");
    EXPECT_EQ(o.Expression.get(), compiled);
    o.SetFieldSource("");
    EXPECT_EQ(o.FFieldSource, "");
    EXPECT_EQ(o.Expression.get(), compiled);

    // A compile failure is kept in the engine, not reported.
    o.SetFieldSource("nosuch(1)");
    EXPECT_EQ(o.FFieldSource, "nosuch(1)");
    EXPECT_FALSE(o.Expression->Compiled());
    EXPECT_EQ(o.Expression->ErrorMsg, "Unknown function nosuch()");
}

TEST(ObjectFieldSource, LookupReadsTheActiveSheetsDataStores)
{
    TCSEdit o;
    o.SetFieldSource("lookup(\"Weapons\", \"dagger\", \"Damage\")");
    ActiveScriptSheet = nullptr;
    ASSERT_TRUE(o.Expression->Execute());
    EXPECT_EQ(o.Expression->Answer.DataType, dtText);
    EXPECT_EQ(o.Expression->Answer.AsText(), "");

    TCharacterSheet sheet;
    ActiveScriptSheet = &sheet;
    ASSERT_TRUE(o.Expression->Execute());
    EXPECT_EQ(o.Expression->Answer.AsText(), ""); // no such store

    auto ds = std::make_unique<TCSDataStore>();
    ds->Name = "weapons";
    ds->Cols = 2;
    ds->Rows = 2;
    ds->ColNames = {"Name", "Damage"};
    ds->cells = {{"Sword", "1d8"}, {"Dagger", "1d4"}};
    sheet.DataStores.push_back(std::move(ds));
    ASSERT_TRUE(o.Expression->Execute());
    EXPECT_EQ(o.Expression->Answer.AsText(), "1d4");
    ActiveScriptSheet = nullptr;
}

TEST(ObjectFieldSource, IsJSSourceLooksAtTheFirstThreeCharacters)
{
    const std::pair<const char*, bool> cases[] = {
        {"js:foo()", true}, {"JS:foo()", true}, {"Js:", true},    {" js:foo()", false},
        {"js :x", false},   {"", false},        {"jsx:1", false}, {"1 + js:", false},
    };
    for (auto [src, expected] : cases) {
        TCSEdit o;
        o.FFieldSource = src;
        EXPECT_EQ(o.isJSSource(), expected) << "'" << src << "'";
    }
}

TEST(ObjectFieldSource, OnlyPlainVisibleWritableEditsAreEditable)
{
    TCSEdit e;
    EXPECT_TRUE(e.isEditable());
    e.FReadOnly = true;
    EXPECT_FALSE(e.isEditable());
    e.FReadOnly = false;
    e.FVisible = false;
    EXPECT_FALSE(e.isEditable());
    e.FVisible = true;
    e.FFieldSource = "js:1";
    EXPECT_FALSE(e.isEditable());
    for (int t : {CS_BOX, CS_LABEL, CS_CHECKBOX, CS_IMAGESELECT, CS_BUTTON})
        EXPECT_FALSE(NewCSObject(t)->isEditable()) << t;
}

TEST(ObjectValue, GetValueReadsNumbersWithEitherSeparator)
{
    struct Case
    {
        char Sep;
        const char* Text;
        double Value;
    };
    const Case cases[] = {
        {'.', "12.5", 12.5}, {'.', "  -3", -3},   {'.', "1e3", 1000}, {'.', "abc", 0},
        {'.', "", 0},        {'.', "12.5x", 0},   {'.', "1,5", 0},    {',', "1,5", 1.5},
        {',', "12.5", 12.5}, {',', "1.234,5", 0},
    };
    const char saved = DecimalSeparator;
    for (const Case& c : cases) {
        DecimalSeparator = c.Sep;
        TCSEdit o;
        o.FText = c.Text;
        EXPECT_DOUBLE_EQ(o.GetValue(), c.Value) << c.Sep << " '" << c.Text << "'";
    }
    DecimalSeparator = saved;
}

TEST(ObjectValue, SetValueWritesTheNumberAsText)
{
    const char saved = DecimalSeparator;
    TCSEdit o;
    o.SetValue(2.5);
    EXPECT_EQ(o.FText, "2.5");
    o.SetValue(-7);
    EXPECT_EQ(o.FText, "-7");
    DecimalSeparator = ',';
    o.SetValue(0.25);
    EXPECT_EQ(o.FText, "0,25");
    EXPECT_EQ(o.GetValue(), 0.25);
    DecimalSeparator = saved;
}

TEST(ObjectValue, CheckBoxStateLivesInItsText)
{
    const std::pair<const char*, bool> cases[] = {
        {"1", true},   {"2", true},    {"0.5", true}, {"0", false},
        {"-1", false}, {"yes", false}, {"", false},
    };
    for (auto [text, checked] : cases) {
        TCSCheckBox cb;
        cb.FText = text;
        EXPECT_EQ(cb.GetChecked(), checked) << "'" << text << "'";
    }
    TCSCheckBox cb;
    cb.SetChecked(true);
    EXPECT_EQ(cb.FText, "1");
    cb.SetChecked(false);
    EXPECT_EQ(cb.FText, "");
    // Other kinds have no check state.
    TCSEdit e;
    e.FText = "1";
    EXPECT_FALSE(e.GetChecked());
    e.SetChecked(true);
    EXPECT_EQ(e.FText, "1");
}

TEST(ObjectPoints, PixelPointsAndIndexesOutsideTheListAreIgnored)
{
    const int savedDpi = CS_DPI;
    CS_DPI = 96;
    TCSLine l;
    l.AddPixelPoint(48, 96);
    l.AddPoint(1, 2);
    EXPECT_EQ(l.Points, Pts({{0.5, 1}, {1, 2}}));
    l.SetPixelPoint(1, 192, 24);
    EXPECT_EQ(l.Points[1], (TPointF{2, 0.25}));
    l.SetPoint(2, 9, 9);
    l.SetPoint(-1, 9, 9);
    l.SetPixelPoint(5, 9, 9);
    EXPECT_EQ(l.Points, Pts({{0.5, 1}, {2, 0.25}}));
    l.Move(1, -0.25);
    EXPECT_EQ(l.Points, Pts({{1.5, 0.75}, {3, 0}}));
    CS_DPI = savedDpi;
}

TEST(ObjectPoints, SnapValueRoundsToTheNearestMultipleHalvesTowardZero)
{
    // The last rows: a grid typed as an overflowing or vanishing number leaves coordinates be.
    const struct
    {
        double C, G, R;
    } cases[] = {
        {0.3, 0.125, 0.25}, {0.3125, 0.125, 0.25},  {-0.2, 0.25, -0.25}, {0.125, 0.25, 0},
        {-0.125, 0.25, 0},  {0.375, 0.25, 0.25},    {0.4, 0.25, 0.5},    {-0.375, 0.25, -0.25},
        {2, 0.5, 2},        {1.3, 0, 1.3},          {1.3, -1, 1.3},      {0.3, HUGE_VAL, 0.3},
        {1.0, 1e-320, 1.0}, {-2.5, 4.9e-324, -2.5},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(SnapValue(c.C, c.G), c.R) << c.C << " on " << c.G;
        EXPECT_FALSE(std::signbit(SnapValue(c.C, c.G)) && SnapValue(c.C, c.G) == 0);
    }
}

TEST(ObjectPoints, SnapToGridSnapsEveryCoordinateThenFinalizes)
{
    auto o = Rect(CS_BOX, 0.3, 0.3125, 1.1, 1.2);
    o->Points[1] = {9, 9}; // finalising rebuilds it
    o->SnapToGrid(0.125);
    EXPECT_EQ(o->Points, Pts({{0.25, 0.25}, {0.25, 1.25}, {1.125, 1.25}, {1.125, 0.25}}));
    auto same = Rect(CS_BOX, 0.3, 0.3, 1.1, 1.2);
    same->SnapToGrid(0);
    EXPECT_EQ(same->Points[0], (TPointF{0.3, 0.3}));
}

TEST(ObjectPoints, BoxEditNodeMovesOneCornerOfTheRectangle)
{
    const struct
    {
        int N;
        std::vector<TPointF> Expected;
    } cases[] = {
        {0, {{5, 6}, {1, 3}, {4, 3}, {4, 1}}}, {1, {{5, 1}, {5, 6}, {4, 6}, {4, 1}}},
        {2, {{1, 1}, {1, 3}, {5, 6}, {4, 1}}}, {3, {{1, 6}, {1, 3}, {5, 3}, {5, 6}}},
        {4, {{1, 1}, {1, 3}, {4, 3}, {4, 1}}}, {-1, {{1, 1}, {1, 3}, {4, 3}, {4, 1}}},
    };
    for (const auto& c : cases) {
        auto o = Rect(CS_BOX, 1, 1, 4, 3);
        o->BoxEditNode(c.N, 5, 6);
        EXPECT_EQ(o->Points, c.Expected) << "node " << c.N;
    }
    // Editing through the kind refinalises: corner 1 dragged keeps a rectangle.
    auto b = Rect(CS_BOX, 1, 1, 4, 3);
    b->EditNode(1, 0.5, 3.5);
    EXPECT_EQ(b->Points, Pts({{0.5, 1}, {0.5, 3.5}, {4, 3.5}, {4, 1}}));
    // An inverted rectangle is not reordered.
    b->EditNode(2, 0, 0);
    EXPECT_EQ(b->Points, Pts({{0.5, 1}, {0.5, 0}, {0, 0}, {0, 1}}));
    // Too few points for a rectangle: nothing breaks.
    TCSBox few;
    few.AddPoint(1, 1);
    few.AddPoint(2, 2);
    few.EditNode(1, 3, 3);
    few.EditNode(3, 3, 3);
    few.DefaultPoints();
    EXPECT_EQ(few.Points, Pts({{1, 1}, {3, 3}}));
}

TEST(ObjectPoints, BaseEditNodeRefinalisesEvenForABadIndex)
{
    TCSOrthLine l;
    l.AddPoint(1, 1);
    l.AddPoint(3, 2);
    l.EditNode(7, 0, 0);
    EXPECT_EQ(l.Points, Pts({{1, 1}, {3, 1}}));
    l.EditNode(1, 1.5, 4); // dragging the end makes the line vertical
    EXPECT_EQ(l.Points, Pts({{1, 1}, {1, 4}}));
    l.EditNode(0, 0, 4); // P0 moves, the other end follows the normalisation
    EXPECT_EQ(l.Points, Pts({{0, 4}, {1, 4}}));
}

TEST(ObjectPoints, BoundBoxAndSelectNode)
{
    TCSLine l;
    EXPECT_EQ(l.BoundBox(), (TRectF{0, 0, 0, 0}));
    EXPECT_EQ(l.SelectNode(0, 0, 1), -1);
    l.AddPoint(2, 3);
    EXPECT_EQ(l.BoundBox(), (TRectF{2, 3, 2, 3}));
    l.AddPoint(-1, 5);
    l.AddPoint(2.0625, 3);
    EXPECT_EQ(l.BoundBox(), (TRectF{-1, 3, 2.0625, 5}));
    EXPECT_EQ(l.SelectNode(2.03125, 3, 0.0625), 0); // two nodes in reach: the lower index
    EXPECT_EQ(l.SelectNode(2.125, 3, 0.0625), 2);
    EXPECT_EQ(l.SelectNode(-1, 5.125, 0.125), 1); // distance exactly t
    EXPECT_EQ(l.SelectNode(-1, 5.25, 0.125), -1);
}

TEST(ObjectKinds, FinalizePoints)
{
    const struct
    {
        int Type;
        std::vector<TPointF> In, Out;
    } cases[] = {
        {CS_ORTHLINE, {{1, 1}, {3, 2}}, {{1, 1}, {3, 1}}},
        {CS_ORTHLINE, {{1, 1}, {2, 2}}, {{1, 1}, {1, 2}}},
        {CS_ORTHLINE, {{1, 1}, {0, 5}}, {{1, 1}, {1, 5}}},
        {CS_LINE, {{1, 1}, {3, 2}}, {{1, 1}, {3, 2}}},
        {CS_LABEL, {{1, 1}, {0, 0}, {0, 0}, {0, 0}}, {{1, 1}, {0, 0}, {0, 0}, {0, 0}}},
        {CS_EDIT, {{1, 1}, {9, 9}, {2, 3}, {9, 9}}, {{1, 1}, {1, 3}, {2, 3}, {2, 1}}},
        {CS_IMAGESELECT, {{2, 2}, {0, 0}, {1, 1}, {0, 0}}, {{2, 2}, {2, 1}, {1, 1}, {1, 2}}},
        {CS_CHECKBOX, {{1, 1}, {0, 0}, {2, 1.5}, {0, 0}}, {{1, 1}, {1, 1.5}, {1.5, 1.5}, {1.5, 1}}},
        {CS_CHECKBOX, {{2, 3}, {0, 0}, {1, 1}, {0, 0}}, {{1, 1}, {1, 2}, {2, 2}, {2, 1}}},
    };
    for (const auto& c : cases) {
        auto o = NewCSObject(c.Type);
        o->Points = c.In;
        o->FinalizePoints();
        EXPECT_EQ(o->Points, c.Out) << "type " << c.Type;
    }
}

TEST(ObjectKinds, DefaultPointsGiveTooSmallObjectsTheirSize)
{
    const struct
    {
        int Type;
        double X2, Y2;   // drawn from (2, 2) to here
        double EX2, EY2; // expected opposite corner
    } cases[] = {
        {CS_BOX, 1.5, 3, 2.25, 3}, // drawn to the left: default width
        {CS_BOX, 2.1, 2.1, 2.25, 2.25},
        {CS_BOX, 2.125, 2.125, 2.125, 2.125},
        {CS_EDIT, 2.2, 2.1, 3, 2 + 12.5 / 72},
        {CS_EDIT, 4, 2.2, 4, 2.2},
        {CS_IMAGE, 2.4, 2.6, 2.5, 2.6},
        {CS_IMAGESELECT, 3, 2.4, 3, 2.5},
        {CS_CHECKBOX, 2.1, 2.2, 2.25, 2.2},
        {CS_BUTTON, 2.4, 2.2, 2.5, 2.25},
        {CS_BUTTON, 3, 2.3, 3, 2.3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Type);
        auto o = Rect(c.Type, 2, 2, c.X2, c.Y2);
        o->DefaultPoints();
        EXPECT_DOUBLE_EQ(o->Points[2].X, c.EX2);
        EXPECT_DOUBLE_EQ(o->Points[2].Y, c.EY2);
        EXPECT_DOUBLE_EQ(o->Points[3].X, c.EX2);
        EXPECT_DOUBLE_EQ(o->Points[1].Y, c.EY2);
        EXPECT_EQ(o->Points[0], (TPointF{2, 2}));
    }
    auto box = Rect(CS_BOX, 2, 2, 1.5, 3);
    box->DefaultPoints();
    box->FinalizePoints();
    EXPECT_EQ(box->Points, Pts({{2, 2}, {2, 3}, {2.25, 3}, {2.25, 2}}));

    for (int t : {CS_LINE, CS_ORTHLINE}) {
        auto l = NewCSObject(t);
        l->Points = {{1, 1}, {1, 1}};
        l->DefaultPoints();
        EXPECT_EQ(l->Points, Pts({{1, 1}, {1, 1.5}}));
        l->Points = {{1, 1}, {1, 1.0001}};
        l->DefaultPoints();
        EXPECT_EQ(l->Points[1], (TPointF{1, 1.0001}));
    }
    auto label = Rect(CS_LABEL, 2, 2, 2, 2);
    label->DefaultPoints();
    EXPECT_EQ(label->Points[2], (TPointF{2, 2}));
}

TEST(ObjectKinds, ClickedOn)
{
    const double t = 0.0625;
    auto line = NewCSObject(CS_LINE);
    EXPECT_FALSE(line->ClickedOn(0, 0, 1));
    line->Points = {{1, 1}};
    EXPECT_FALSE(line->ClickedOn(1, 1, 1));
    line->Points = {{1, 1}, {3, 1}};
    EXPECT_TRUE(line->ClickedOn(2, 1.0625, t)); // distance exactly t
    EXPECT_FALSE(line->ClickedOn(2, 1.07, t));
    EXPECT_TRUE(line->ClickedOn(3.03, 1.04, t)); // beyond the end: distance to the end point
    EXPECT_FALSE(line->ClickedOn(3.07, 1, t));
    line->Points = {{1, 1}, {1, 1}};
    EXPECT_TRUE(line->ClickedOn(1.03, 1.03, t));
    EXPECT_FALSE(line->ClickedOn(1.05, 1.05, t));

    auto box = Rect(CS_BOX, 1, 1, 3, 2);
    EXPECT_FALSE(box->ClickedOn(2, 1.5, t)); // unfilled: only the outline
    EXPECT_TRUE(box->ClickedOn(2, 1.04, t));
    EXPECT_TRUE(box->ClickedOn(2.97, 1.5, t));
    EXPECT_TRUE(box->ClickedOn(0.96, 1.5, t));
    box->FisFilled = true;
    EXPECT_TRUE(box->ClickedOn(2, 1.5, t));
    EXPECT_TRUE(box->ClickedOn(3, 2, t));
    EXPECT_FALSE(box->ClickedOn(3.01, 2, t)); // no tolerance when filled

    for (int k : {CS_LABEL, CS_EDIT, CS_IMAGE, CS_IMAGESELECT, CS_CHECKBOX, CS_BUTTON}) {
        SCOPED_TRACE(k);
        auto o = Rect(k, 3, 2, 1, 1); // inverted rectangle still spans min..max
        EXPECT_TRUE(o->ClickedOn(2, 1.5, t));
        EXPECT_TRUE(o->ClickedOn(1, 1, t));
        EXPECT_FALSE(o->ClickedOn(0.99, 1.5, t));
        o->Points.pop_back();
        EXPECT_FALSE(o->ClickedOn(2, 1.5, t));
    }
}

TEST(ObjectMisc, HandleColourAndImage)
{
    TCSBox b;
    EXPECT_EQ(b.SelectedHandleColor(), CSSelectedHandleColor);
    b.FLocked = true;
    EXPECT_EQ(b.SelectedHandleColor(), CSLockedHandleColor);
    EXPECT_EQ(CSSelectedHandleColor, 0xFF0000u);
    EXPECT_EQ(CSLockedHandleColor, 0x808080u);
    b.Image = std::make_unique<TMemoryStream>("x");
    b.ClearImage();
    EXPECT_FALSE(b.Image);
}

} // namespace
} // namespace ff
