// The sheet document: life cycle, pages, units, drawing-tool state, selection and hit testing,
// field lookup, lists and unique names.
#include "ModelTestUtil.h"

#include "persistence/ClassCSDataStore.h"

#include <gtest/gtest.h>

#include <limits>

namespace ff {
namespace {

using test::AddLine;
using test::AddObject;

class SheetTest : public ::testing::Test
{
protected:
    void SetUp() override { CS_DPI = 96; }
    void TearDown() override { CS_DPI = 96; }
    TCharacterSheetPage& Page(int n = 0) { return *sheet.Pages[static_cast<size_t>(n)]; }
    TCharacterSheet sheet;
};

TEST_F(SheetTest, NewSheetHasOneEmptyPageAndTheDefaultSetup)
{
    ASSERT_EQ(sheet.Pages.size(), 1u);
    EXPECT_TRUE(Page().Objects.empty());
    EXPECT_TRUE(Page().Print);
    EXPECT_EQ(sheet.Width, 8.5);
    EXPECT_EQ(sheet.Height, 11.0);
    EXPECT_EQ(sheet.GridSize, 0.125);
    EXPECT_EQ(sheet.MarginSize, 0.5);
    EXPECT_EQ(sheet.HighlightColor, 0xBFBFFFu);
    EXPECT_EQ(sheet.CurrentTool, dtSelect);
    EXPECT_EQ(sheet.GetCurrentPage(), &Page());
    EXPECT_EQ(static_cast<int>(dtButton), 9);
}

TEST_F(SheetTest, ClearAndNewDocKeepScriptsAndPageSetup)
{
    test::BuildSampleSheet(sheet);
    sheet.Script = "function f() {}";
    sheet.EventOnLoad = "f();";
    sheet.Width = 11;
    sheet.DataStoreFiles = "w.csv";
    sheet.Revision = 7;
    sheet.Author = "me";
    sheet.Name = "Sheet";
    sheet.FileName = "a.csd";
    sheet.DataFile = "a.chr";
    sheet.DataStores.push_back(std::make_unique<TCSDataStore>());
    sheet.CurrentPage = 2;
    sheet.Modified = true;

    sheet.Clear();
    EXPECT_TRUE(sheet.Pages.empty());
    EXPECT_EQ(sheet.GetCurrentPage(), nullptr);
    EXPECT_TRUE(sheet.DataStores.empty());
    EXPECT_TRUE(sheet.ListNames.empty() && sheet.ListItems.empty());
    EXPECT_FALSE(sheet.Modified);
    EXPECT_EQ(sheet.FileName, "");
    EXPECT_EQ(sheet.DataFile, "");
    EXPECT_EQ(sheet.Revision, 7);
    EXPECT_EQ(sheet.Author, "me");
    EXPECT_EQ(sheet.Name, "Sheet");

    sheet.Modify(); // snapshot of the empty sheet
    sheet.SelectAll(true);
    sheet.NewDoc();
    ASSERT_EQ(sheet.Pages.size(), 1u);
    EXPECT_EQ(sheet.CurrentPage, 0);
    EXPECT_EQ(sheet.Revision, 0);
    EXPECT_EQ(sheet.Author, "");
    EXPECT_EQ(sheet.Name, "");
    EXPECT_EQ(sheet.Script, "function f() {}");
    EXPECT_EQ(sheet.EventOnLoad, "f();");
    EXPECT_EQ(sheet.Width, 11);
    EXPECT_EQ(sheet.DataStoreFiles, "w.csv");
    // A new document starts without the old one's undo history.
    EXPECT_TRUE(sheet.UndoHistory.empty());
}

TEST_F(SheetTest, OperationsWithoutACurrentPageDoNothing)
{
    AddObject<TCSEdit>(Page(), "A", 1, 1, 2, 2)->FSelected = true;
    for (int nPage : {-1, 1}) {
        sheet.CurrentPage = nPage;
        EXPECT_EQ(sheet.GetCurrentPage(), nullptr);
        EXPECT_FALSE(sheet.SelectObjects(1.5, 1.5, 0.05, false));
        sheet.SelectInRect(0, 0, 9, 9);
        sheet.SelectAll(false);
        sheet.InvertSelection();
        sheet.SelectByName("A");
        EXPECT_EQ(sheet.GetFirstSelected(), nullptr);
        EXPECT_EQ(sheet.HoverSelect(1.5, 1.5, 0.05), nullptr);
        EXPECT_EQ(sheet.SelectNode(1, 1, 0.05), -1);
        EXPECT_EQ(sheet.TabField(nullptr, true), nullptr);
        int nCalls = 0;
        sheet.IteratePage([&](TCharacterSheetPage&, TCSObject&, int) { ++nCalls; });
        EXPECT_EQ(nCalls, 0);
        sheet.MoveSelected(1, 1);
        sheet.DeleteSelected();
        sheet.BringSelectedToFront();
        sheet.AlignSelectedLeft();
        sheet.ConfigBool(9, true);
        sheet.Paste();
        sheet.AddBulkLabels({"x"}, "Arial", 10);
        sheet.NewActiveDrawingObject(dtBox);
        sheet.AddToPage();
        EXPECT_NE(sheet.ActiveDrawingObject, nullptr); // kept: there is no page to take it
    }
    ASSERT_EQ(Page().Objects.size(), 1u);
    EXPECT_TRUE(Page().Objects[0]->FSelected);
    EXPECT_EQ(Page().Objects[0]->Points[0], (TPointF{1, 1}));
    EXPECT_FALSE(Page().Objects[0]->FisFilled);
}

TEST_F(SheetTest, PagesDeleteAndMoveCarryTheCurrentPage)
{
    sheet.DeletePage(0);
    EXPECT_EQ(sheet.Pages.size(), 1u); // the last page stays
    sheet.Pages[0]->Name = "A";
    sheet.NewPage()->Name = "B";
    sheet.NewPage()->Name = "C";
    EXPECT_EQ(sheet.CurrentPage, 0);
    auto names = [&] {
        std::string s;
        for (auto& p : sheet.Pages)
            s += p->Name;
        return s;
    };
    sheet.MoveCurrentPageUp(); // already first
    EXPECT_EQ(names(), "ABC");
    sheet.MoveCurrentPageBack();
    EXPECT_EQ(names(), "BAC");
    EXPECT_EQ(sheet.CurrentPage, 1);
    sheet.MoveCurrentPageBack();
    sheet.MoveCurrentPageBack(); // already last
    EXPECT_EQ(names(), "BCA");
    EXPECT_EQ(sheet.CurrentPage, 2);
    sheet.MoveCurrentPageUp();
    EXPECT_EQ(names(), "BAC");
    EXPECT_EQ(sheet.CurrentPage, 1);

    sheet.CurrentPage = 2;
    sheet.DeletePage(2); // the current, last page: the new last page becomes current
    EXPECT_EQ(names(), "BA");
    EXPECT_EQ(sheet.CurrentPage, 1);
    sheet.DeletePage(5);
    sheet.DeletePage(-1);
    EXPECT_EQ(names(), "BA");
    sheet.DeletePage(0);
    EXPECT_EQ(names(), "A");
    EXPECT_EQ(sheet.CurrentPage, 0);
}

TEST_F(SheetTest, PageCloneCopiesNameFlagAndObjects)
{
    Page().Name = "P";
    Page().Print = false;
    Page().Expanded = true;
    AddObject<TCSBox>(Page(), "B", 1, 1, 2, 2);
    AddObject<TCSEdit>(Page(), "E", 1, 1, 2, 2);
    auto c = Page().Clone();
    EXPECT_EQ(c->Name, "P");
    EXPECT_FALSE(c->Print);
    EXPECT_FALSE(c->Expanded);
    ASSERT_EQ(c->Objects.size(), 2u);
    EXPECT_EQ(test::DumpObject(*c->Objects[1]), test::DumpObject(*Page().Objects[1]));
    EXPECT_NE(c->Objects[0].get(), Page().Objects[0].get());
}

TEST_F(SheetTest, AllObjectsRunsPagesInOrderAndEachPageFromTheTop)
{
    AddObject<TCSBox>(Page(), "a", 0, 0, 1, 1);
    AddObject<TCSBox>(Page(), "b", 0, 0, 1, 1);
    auto& p1 = *sheet.NewPage();
    AddObject<TCSBox>(p1, "c", 0, 0, 1, 1);
    AddObject<TCSBox>(p1, "d", 0, 0, 1, 1);
    std::string s;
    for (TCSObject* o : sheet.AllObjects())
        s += o->FFieldName;
    EXPECT_EQ(s, "badc");

    s.clear();
    sheet.IteratePage([&](TCharacterSheetPage& page, TCSObject& o, int i) {
        EXPECT_EQ(&page, &Page());
        s += o.FFieldName + std::to_string(i);
    });
    EXPECT_EQ(s, "a0b1");
    sheet.IteratePage(nullptr);
    EXPECT_EQ(sheet.GatherNotes(), "\r\n\r\n\r\n\r\n");
    sheet.SetField("C", "third");
    sheet.SetField("nothing", "x");
    Page().Objects[0]->FText = "first";
    EXPECT_EQ(sheet.GatherNotes(), "\r\nfirst\r\n\r\nthird\r\n");
}

TEST_F(SheetTest, UnitsAndSnapping)
{
    EXPECT_EQ(sheet.u2p(0.5), 48);
    EXPECT_EQ(sheet.p2u(96), 1.0);
    EXPECT_EQ(sheet.u2p(1.0 / 192), 0); // 0.5 pixel: halves to even
    EXPECT_EQ(sheet.u2p(3.0 / 192), 2); // 1.5 pixels
    // Sizes beyond the pixel range saturate instead of wrapping round.
    EXPECT_EQ(sheet.u2p(1e12), std::numeric_limits<int>::max());
    EXPECT_EQ(sheet.u2p(-1e12), std::numeric_limits<int>::min());
    EXPECT_EQ(sheet.u2p(std::numeric_limits<double>::quiet_NaN()), 0);
    sheet.SizeUnit = 1;
    EXPECT_DOUBLE_EQ(sheet.p2u(96), 25.4);
    EXPECT_EQ(sheet.u2p(25.4), 96);
    CS_DPI = 192;
    EXPECT_EQ(sheet.u2p(25.4), 192);
    EXPECT_DOUBLE_EQ(sheet.p2u(96), 12.7);

    EXPECT_EQ(sheet.SnapCoord(0.3), 0.25);
    EXPECT_EQ(sheet.SnapCoord(0.3125), 0.25);
    sheet.GridVisible = false; // not looked at
    EXPECT_EQ(sheet.SnapCoord(0.3), 0.25);
    sheet.GridSize = 0;
    EXPECT_EQ(sheet.SnapCoord(0.3), 0.3);
    sheet.GridSize = -1;
    EXPECT_EQ(sheet.SnapCoord(0.3), 0.3);
    sheet.GridSize = 0.125;
    sheet.GridSnap = false;
    EXPECT_EQ(sheet.SnapCoord(0.3), 0.3);
}

TEST_F(SheetTest, DrawingToolsMakeTheirKinds)
{
    const std::pair<TCSDrawTool, int> cases[] = {
        {dtLine, CS_LINE},         {dtOrthLine, CS_ORTHLINE}, {dtBox, CS_BOX},
        {dtLabel, CS_LABEL},       {dtEdit, CS_EDIT},         {dtImageSelect, CS_IMAGESELECT},
        {dtCheckbox, CS_CHECKBOX}, {dtButton, CS_BUTTON},
    };
    for (auto [tool, type] : cases) {
        sheet.NewActiveDrawingObject(tool);
        ASSERT_NE(sheet.ActiveDrawingObject, nullptr);
        EXPECT_EQ(sheet.ActiveDrawingObject->FTypeID, type);
    }
    sheet.NewActiveDrawingObject(dtAreaSelect);
    EXPECT_EQ(sheet.ActiveDrawingObject, nullptr);
    sheet.AddActiveDrawingPoint(10, 10); // nothing being drawn: no effect
    sheet.NewActiveDrawingObject(dtSelect);
    EXPECT_EQ(sheet.ActiveDrawingObject, nullptr);
}

TEST_F(SheetTest, DrawingABoxEndToEnd)
{
    sheet.NewActiveDrawingObject(dtBox);
    for (int i = 0; i < 4; ++i)
        sheet.AddActiveDrawingPoint(29, 31); // 0.302, 0.323 inches: snapped to 0.25 / 0.375
    sheet.SetActiveDrawingPoint(2, 100, 70);
    sheet.SetActiveDrawingPoint(9, 1, 1);
    TCSObject* o = sheet.ActiveDrawingObject.get();
    EXPECT_EQ(o->Points[0], (TPointF{0.25, 0.375}));
    EXPECT_EQ(o->Points[2], (TPointF{1.0, 0.75}));
    o->DefaultPoints();
    o->FFieldName = sheet.UniqueFieldName("Box");
    o->FinalizePoints();
    sheet.AddToPage();
    EXPECT_EQ(sheet.ActiveDrawingObject, nullptr);
    ASSERT_EQ(Page().Objects.size(), 1u);
    EXPECT_EQ(Page().Objects[0].get(), o);
    EXPECT_EQ(o->FFieldName, "Box1");
    EXPECT_EQ(sheet.GetField("box1"), o);
    EXPECT_TRUE(sheet.Modified);
    EXPECT_EQ(sheet.UndoHistory.size(), 1u);
    sheet.Undo(); // back to the page without the box
    EXPECT_TRUE(Page().Objects.empty());
    EXPECT_EQ(sheet.GetField("Box1"), nullptr);
}

TEST_F(SheetTest, SelectObjectsFindsTheTopObjectAndManagesTheSelection)
{
    auto* bottom = AddObject<TCSEdit>(Page(), "Bottom", 1, 1, 3, 3);
    auto* top = AddObject<TCSEdit>(Page(), "Top", 2, 2, 4, 4);
    auto* other = AddObject<TCSEdit>(Page(), "Other", 6, 6, 7, 7);
    const double d = 5.0 / 96;

    other->FSelected = true;
    EXPECT_TRUE(sheet.SelectObjects(2.5, 2.5, d, false)); // both hit: the top one wins
    EXPECT_TRUE(top->FSelected);
    EXPECT_FALSE(bottom->FSelected);
    EXPECT_FALSE(other->FSelected);

    EXPECT_TRUE(sheet.SelectObjects(1.5, 1.5, d, true)); // accumulate
    EXPECT_TRUE(top->FSelected && bottom->FSelected);
    EXPECT_TRUE(sheet.SelectObjects(1.5, 1.5, d, false)); // already selected: others stay
    EXPECT_TRUE(top->FSelected && bottom->FSelected);

    EXPECT_FALSE(sheet.SelectObjects(5, 5, d, true)); // miss with accumulate: nothing changes
    EXPECT_TRUE(top->FSelected && bottom->FSelected);
    EXPECT_FALSE(sheet.SelectObjects(5, 5, d, false));
    EXPECT_EQ(sheet.GetFirstSelected(), nullptr);

    sheet.InvertSelection();
    EXPECT_EQ(sheet.GetFirstSelected(), bottom);
    sheet.SelectAll(false);
    other->FFieldName = "top";
    sheet.SelectByName("Top"); // exact case only
    EXPECT_TRUE(top->FSelected);
    EXPECT_FALSE(other->FSelected);
    AddObject<TCSBox>(*sheet.NewPage(), "P2", 0, 0, 1, 1);
    sheet.SelectAllGlobal(true);
    EXPECT_TRUE(sheet.Pages[1]->Objects[0]->FSelected && bottom->FSelected);
    sheet.SelectAllGlobal(false);
    EXPECT_FALSE(sheet.Pages[1]->Objects[0]->FSelected || top->FSelected);
}

TEST_F(SheetTest, SelectInRectTouchesContainsOrLiesInside)
{
    auto* box = AddObject<TCSBox>(Page(), "Box", 1, 1, 2, 2);
    auto* line = AddLine<TCSLine>(Page(), 4, 1, 5, 2);
    auto* empty = Page().Objects.emplace_back(std::make_unique<TCSEdit>()).get();
    struct Case
    {
        double X1, Y1, X2, Y2;
        bool Box, Line;
    } cases[] = {
        {0, 0, 3, 3, true, false},         // box inside the rectangle
        {1.2, 1.2, 1.8, 1.8, true, false}, // rectangle inside the box
        {2, 1.2, 3, 1.8, true, false},     // edges touch
        {2.01, 1.2, 3, 1.8, false, false},
        {1.8, 1.8, 1.5, 3, true, false},   // corners given in any order, crossing an edge
        {3.9, 0.9, 5.1, 2.1, false, true}, // line inside
        {4.4, 0, 4.6, 3, false, true},     // crossing the line
        {4.6, 1.1, 5, 1.3, false, false},  // near the line, not touching
        {0, 0, 9, 9, true, true},
    };
    for (const Case& c : cases) {
        box->FSelected = !c.Box; // the previous selection never survives
        line->FSelected = !c.Line;
        empty->FSelected = true;
        sheet.SelectInRect(c.X1, c.Y1, c.X2, c.Y2);
        EXPECT_EQ(box->FSelected, c.Box) << c.X1 << "," << c.Y1 << " " << c.X2 << "," << c.Y2;
        EXPECT_EQ(line->FSelected, c.Line) << c.X1 << "," << c.Y1 << " " << c.X2 << "," << c.Y2;
        EXPECT_FALSE(empty->FSelected); // no points, no outline
    }
}

TEST_F(SheetTest, HoverSelectSkipsEditsThatCannotBeTypedInto)
{
    auto* box = AddObject<TCSBox>(Page(), "Back", 0, 0, 5, 5);
    box->FisFilled = true;
    auto* edit = AddObject<TCSEdit>(Page(), "E", 1, 1, 2, 2);
    EXPECT_EQ(sheet.HoverSelect(1.5, 1.5, 0.05), edit);
    edit->FReadOnly = true;
    EXPECT_EQ(sheet.HoverSelect(1.5, 1.5, 0.05), box);
    EXPECT_EQ(sheet.HoverSelect(6, 6, 0.05), nullptr);
}

TEST_F(SheetTest, SelectNodeLooksOnlyAtSelectedObjectsFromTheTop)
{
    auto* a = AddObject<TCSBox>(Page(), "A", 1, 1, 2, 2);
    auto* b = AddObject<TCSBox>(Page(), "B", 2, 2, 3, 3);
    const double d = 0.05;
    EXPECT_EQ(sheet.SelectNode(2, 2, d), -1); // nothing selected
    EXPECT_EQ(sheet.ActiveEditingObject, nullptr);
    a->FSelected = true;
    EXPECT_EQ(sheet.SelectNode(2.01, 2, d), 2);
    EXPECT_EQ(sheet.ActiveEditingObject, a);
    b->FSelected = true;
    EXPECT_EQ(sheet.SelectNode(2, 2.01, d), 0);
    EXPECT_EQ(sheet.ActiveEditingObject, b);
    EXPECT_EQ(sheet.SelectedNode, 0);
    EXPECT_EQ(sheet.SelectNode(5, 5, d), -1);
    EXPECT_EQ(sheet.ActiveEditingObject, nullptr);
    EXPECT_EQ(sheet.SelectedNode, -1);
}

TEST_F(SheetTest, TabFieldOrder)
{
    auto* e0 = AddObject<TCSEdit>(Page(), "E0", 0, 0, 1, 1);
    auto* lbl = AddObject<TCSText>(Page(), "L", 0, 0, 1, 1);
    auto* ro = AddObject<TCSEdit>(Page(), "RO", 0, 0, 1, 1);
    ro->FReadOnly = true;
    auto* e3 = AddObject<TCSEdit>(Page(), "E3", 0, 0, 1, 1);
    auto* calc = AddObject<TCSEdit>(Page(), "Calc", 0, 0, 1, 1);
    calc->SetFieldSource("E0 + 1");
    TCSEdit stranger;

    const struct
    {
        const TCSObject* From;
        bool Forward;
        const TCSObject* To;
    } cases[] = {
        {e0, true, e3},   {lbl, true, e3},          {e3, true, e0}, // wraps past the computed field
        {calc, true, e0}, {&stranger, true, e0},    {nullptr, true, e0},
        {e3, false, ro},  {e0, false, calc}, // backward tests only the type
        {lbl, false, e0}, {&stranger, false, calc},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sheet.TabField(c.From, c.Forward), c.To)
            << (c.From ? c.From->FFieldName : "null") << (c.Forward ? " fwd" : " back");

    // A single editable field comes back to itself.
    ro->FReadOnly = false;
    ro->FVisible = false;
    Page().Objects.erase(Page().Objects.begin()); // e0 gone
    EXPECT_EQ(sheet.TabField(e3, true), e3);
    e3->FReadOnly = true;
    EXPECT_EQ(sheet.TabField(e3, true), nullptr);
}

TEST_F(SheetTest, FieldLookupByNameTypeAndPage)
{
    auto* hpLow = AddObject<TCSEdit>(Page(), "HP", 0, 0, 1, 1);
    auto* hpHigh = AddObject<TCSCheckBox>(Page(), "hp", 0, 0, 1, 1);
    auto* unnamed0 = AddObject<TCSBox>(Page(), "", 0, 0, 1, 1);
    auto& p1 = *sheet.NewPage();
    auto* hp1 = AddObject<TCSEdit>(p1, "Hp", 0, 0, 1, 1);
    AddObject<TCSBox>(p1, "", 0, 0, 1, 1);
    auto* mp = AddObject<TCSEdit>(p1, "MP", 0, 0, 1, 1);

    EXPECT_EQ(sheet.GetField("hP"), hpHigh); // same page: the upper one
    EXPECT_EQ(sheet.GetField("MP"), mp);
    EXPECT_EQ(sheet.GetField("mp"), mp);
    EXPECT_EQ(sheet.GetField("M"), nullptr);
    EXPECT_EQ(sheet.GetField(""), unnamed0); // top of the first page
    EXPECT_EQ(sheet.GetFieldOfType("HP", CS_EDIT), hpLow);
    EXPECT_EQ(sheet.GetFieldOfType("HP", CS_ANYTYPE), hpHigh);
    EXPECT_EQ(sheet.GetFieldOfType("HP", CS_BOX), nullptr);
    EXPECT_EQ(sheet.GetFieldOfType("", CS_BOX), unnamed0);

    EXPECT_EQ(sheet.GetFieldPage("HP"), 0);
    EXPECT_EQ(sheet.GetFieldPage("Hp"), 1);
    EXPECT_EQ(sheet.GetFieldPage("HP "), -1);
    EXPECT_EQ(sheet.GetFieldPage("mp"), -1);
    EXPECT_EQ(sheet.GetObjectPage(hp1), &p1);
    EXPECT_EQ(sheet.GetObjectPage(hpLow), &Page());
    TCSEdit loose;
    EXPECT_EQ(sheet.GetObjectPage(&loose), nullptr);
    EXPECT_EQ(sheet.GetObjectPage(nullptr), nullptr);

    // Non-ASCII names compare ignoring case too.
    auto* umlaut = AddObject<TCSEdit>(p1, "Größe", 0, 0, 1, 1);
    EXPECT_EQ(sheet.GetField("GRÖSSE"), nullptr);
    EXPECT_EQ(sheet.GetField("GRÖßE"), umlaut);
}

TEST_F(SheetTest, FieldLookupFollowsDirectChangesToTheDocument)
{
    auto* a = AddObject<TCSEdit>(Page(), "Alpha", 0, 0, 1, 1);
    auto* b = AddObject<TCSEdit>(Page(), "Beta", 0, 0, 1, 1);
    ASSERT_EQ(sheet.GetField("alpha"), a);

    // The found object renamed behind the sheet's back: the stale hit is noticed.
    a->FFieldName = "Gamma";
    EXPECT_EQ(sheet.GetField("Alpha"), nullptr);
    EXPECT_EQ(sheet.GetField("gamma"), a);
    // Renaming another object to a name that was missing needs the notification.
    b->FFieldName = "Delta";
    sheet.FieldNamesChanged();
    EXPECT_EQ(sheet.GetField("delta"), b);

    // Objects added or freed directly in the lists.
    Page().Objects.erase(Page().Objects.begin());
    EXPECT_EQ(sheet.GetField("Gamma"), nullptr);
    auto* c = AddObject<TCSEdit>(*sheet.Pages[0], "Gamma", 0, 0, 1, 1);
    EXPECT_EQ(sheet.GetField("Gamma"), c);
    sheet.Pages.clear();
    EXPECT_EQ(sheet.GetField("Gamma"), nullptr);
    EXPECT_EQ(sheet.GetFieldPage("Gamma"), -1);
}

TEST_F(SheetTest, ListsAndTheirFallbackToDataStores)
{
    EXPECT_EQ(sheet.FindList("Classes"), -1);
    sheet.AddList("Classes");
    sheet.AddList("CLASSES");
    ASSERT_EQ(sheet.ListNames.size(), 1u);
    EXPECT_EQ(sheet.FindList("classes"), 0);
    EXPECT_EQ(sheet.GetList("classes"), "");
    sheet.SetList("classes", "Fighter\r\nWizard\r\n");
    EXPECT_EQ(sheet.ListNames[0], "Classes");
    EXPECT_EQ(sheet.GetList("Classes"), "Fighter\r\nWizard\r\n");
    sheet.SetList("Races", "Elf\r\n");
    sheet.SetList("Gods", "Thor\r\n");
    EXPECT_EQ(sheet.FindList("Gods"), 2);

    auto ds = std::make_unique<TCSDataStore>();
    ds->Name = "Weapons";
    ds->Cols = 2;
    ds->Rows = 3;
    ds->ColNames = {"Name", "Damage"};
    ds->cells = {{"Sword", "1d8"}, {"", "x"}, {"Dagger", "1d4"}};
    sheet.DataStores.push_back(std::move(ds));
    EXPECT_EQ(sheet.GetDataStore("WEAPONS"), sheet.DataStores[0].get());
    EXPECT_EQ(sheet.GetDataStore("Armour"), nullptr);
    EXPECT_EQ(sheet.GetList("weapons"), "Sword\r\nDagger\r\n");
    sheet.SetList("Weapons", "Club\r\n"); // a list beats a store of the same name
    EXPECT_EQ(sheet.GetList("weapons"), "Club\r\n");
    EXPECT_EQ(sheet.GetList("missing"), "");

    sheet.DeleteList("RACES");
    EXPECT_EQ(sheet.ListNames, (std::vector<std::string>{"Classes", "Gods", "Weapons"}));
    EXPECT_EQ(sheet.ListItems,
              (std::vector<std::string>{"Fighter\r\nWizard\r\n", "Thor\r\n", "Club\r\n"}));
    sheet.DeleteList("nope");
    EXPECT_EQ(sheet.ListNames.size(), 3u);
}

TEST_F(SheetTest, UniqueFieldNameAlwaysAppendsTheFirstFreeNumber)
{
    EXPECT_EQ(sheet.UniqueFieldName(""), "field1");
    EXPECT_EQ(sheet.UniqueFieldName("Line"), "Line1");
    EXPECT_EQ(sheet.UniqueFieldName("Str12"), "Str1");
    EXPECT_EQ(sheet.UniqueFieldName("123"), "1231");
    AddObject<TCSEdit>(Page(), "line1", 0, 0, 1, 1);
    AddObject<TCSEdit>(*sheet.NewPage(), "LINE2", 0, 0, 1, 1);
    AddObject<TCSEdit>(Page(), "Line", 0, 0, 1, 1);
    EXPECT_EQ(sheet.UniqueFieldName("Line"), "Line3");
    EXPECT_EQ(sheet.UniqueFieldName("Line1"), "Line3");
    AddObject<TCSEdit>(Page(), "field1", 0, 0, 1, 1);
    EXPECT_EQ(sheet.UniqueFieldName(""), "field2");
}

TEST_F(SheetTest, DestroyingTheActiveScriptSheetClearsIt)
{
    auto other = std::make_unique<TCharacterSheet>();
    ActiveScriptSheet = other.get();
    other.reset();
    EXPECT_EQ(ActiveScriptSheet, nullptr);
}

} // namespace
} // namespace ff
