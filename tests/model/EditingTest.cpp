// Editing operations on the selected objects, the undo history and the sheet's clipboard.
#include "ModelTestUtil.h"

#include <gtest/gtest.h>

namespace ff {
namespace {

using test::AddLine;
using test::AddObject;
using test::DumpPages;

class EditingTest : public ::testing::Test
{
protected:
    TCharacterSheetPage& Page() { return *sheet.Pages[0]; }
    // Field names of the current page from bottom to top.
    std::string Order()
    {
        std::string s;
        for (auto& o : sheet.GetCurrentPage()->Objects)
            s += o->FFieldName;
        return s;
    }
    void Select(const std::string& sNames)
    {
        for (auto& o : sheet.GetCurrentPage()->Objects)
            o->FSelected =
                !o->FFieldName.empty() && sNames.find(o->FFieldName) != std::string::npos;
    }
    void AddNamed(const std::string& sNames)
    {
        for (char c : sNames)
            AddObject<TCSBox>(Page(), std::string(1, c), 1, 1, 2, 2);
    }
    TCharacterSheet sheet;
};

TEST_F(EditingTest, ModifyKeepsTheNewestTenSnapshots)
{
    for (int i = 1; i <= 11; ++i) {
        sheet.Modify();
        AddObject<TCSBox>(Page(), "B" + std::to_string(i), 0, 0, 1, 1);
    }
    EXPECT_TRUE(sheet.Modified);
    ASSERT_EQ(sheet.UndoHistory.size(), 10u);
    for (int i = 0; i < 10; ++i)
        sheet.Undo();
    EXPECT_TRUE(sheet.UndoHistory.empty());
    // The first change can no longer be undone: B1 stays.
    ASSERT_EQ(Page().Objects.size(), 1u);
    EXPECT_EQ(Page().Objects[0]->FFieldName, "B1");
    sheet.Undo(); // empty history: nothing
    EXPECT_EQ(Page().Objects.size(), 1u);
}

TEST_F(EditingTest, SkipUndoTakesNoSnapshotsAndBlocksUndo)
{
    sheet.Modify();
    AddNamed("a");
    sheet.SkipUndo = true;
    sheet.Modified = false;
    sheet.Modify();
    EXPECT_TRUE(sheet.Modified);
    EXPECT_EQ(sheet.UndoHistory.size(), 1u);
    sheet.Undo();
    EXPECT_EQ(Order(), "a");
    sheet.SkipUndo = false;
    sheet.Undo();
    EXPECT_EQ(Order(), "");
    sheet.Modify();
    sheet.ClearUndo();
    EXPECT_TRUE(sheet.UndoHistory.empty());
}

TEST_F(EditingTest, UndoKeepsCurrentPageAndDropsTheDraggedNode)
{
    sheet.NewPage();
    sheet.Modify(); // two pages
    sheet.NewPage();
    sheet.CurrentPage = 2;
    AddObject<TCSBox>(*sheet.Pages[2], "X", 0, 0, 1, 1)->FSelected = true;
    sheet.SelectNode(0, 0, 0.01);
    ASSERT_NE(sheet.ActiveEditingObject, nullptr);
    sheet.Undo();
    EXPECT_EQ(sheet.Pages.size(), 2u);
    EXPECT_EQ(sheet.CurrentPage, 2); // not changed, so there is no current page now
    EXPECT_EQ(sheet.GetCurrentPage(), nullptr);
    EXPECT_EQ(sheet.ActiveEditingObject, nullptr);
}

// A realistic sheet, a run of editing operations, then one undo per recorded change: the
// document comes back exactly, including what cloning alone would lose.
TEST_F(EditingTest, UndoRestoresEveryFieldAfterASequenceOfEdits)
{
    test::BuildSampleSheet(sheet);
    const std::string original = DumpPages(sheet);
    sheet.SelectAll(true);
    Page().Objects[0]->FSelected = false;
    const std::string selected = DumpPages(sheet);

    // Each step records the document, then changes it the way the designer does.
    std::vector<std::string> before;
    auto step = [&](auto op) {
        before.push_back(DumpPages(sheet));
        sheet.Modify();
        op();
        EXPECT_NE(DumpPages(sheet), before.back()) << "step " << before.size();
    };
    step([&] { sheet.MoveSelected(0.25, 0.5); });
    step([&] { sheet.AlignSelectedRight(); });
    step([&] { sheet.ConfigInt(15, 3); });
    step([&] { sheet.SendSelectedToBack(); });
    step([&] { sheet.SpaceSelectedVert(); });
    step([&] { sheet.CopySelectedToClipboard(true); });
    step([&] { sheet.Paste(); });
    step([&] { sheet.DeleteSelected(); });
    step([&] { sheet.DeletePage(1); });
    before.push_back(DumpPages(sheet));
    sheet.AddBulkLabels({"One", "Two"}, "Verdana", 12); // records its own snapshot
    ASSERT_EQ(sheet.UndoHistory.size(), 10u);

    for (size_t i = before.size(); i-- > 0;) {
        sheet.Undo();
        EXPECT_EQ(DumpPages(sheet), before[i]) << "undo to step " << i;
    }
    EXPECT_EQ(DumpPages(sheet), selected);

    sheet.SelectAll(false);
    EXPECT_EQ(DumpPages(sheet), original);
    // The restored objects compile their own sources and are found by name.
    TCSObject* mod = sheet.GetField("strmod");
    ASSERT_NE(mod, nullptr);
    EXPECT_TRUE(mod->Expression->Compiled());
    EXPECT_EQ(sheet.GetField("Portrait")->FImageScalingMode, CS_IMAGE_ASIS);
    EXPECT_TRUE(sheet.GetField("Frame")->FLocked);
    EXPECT_EQ(sheet.GetField("Class")->FListStyle, CS_LISTSTYLE_OPEN);
    EXPECT_EQ(sheet.GetField("Roll")->FButtonState, CS_BUTTONSTATE_HOVER);
}

TEST_F(EditingTest, MoveAndSnapSelected)
{
    auto* free = AddObject<TCSBox>(Page(), "F", 1, 1, 2, 2);
    auto* locked = AddObject<TCSBox>(Page(), "L", 1, 1, 2, 2);
    auto* idle = AddObject<TCSBox>(Page(), "I", 1, 1, 2, 2);
    locked->FLocked = true;
    Select("FL");
    sheet.MoveSelected(0.3, 0.1);
    EXPECT_EQ(free->Points[0], (TPointF{1.3, 1.1}));
    EXPECT_EQ(locked->Points[0], (TPointF{1, 1}));
    EXPECT_EQ(idle->Points[0], (TPointF{1, 1}));

    locked->Points[0] = {1.3, 1.1};
    locked->FinalizePoints();
    sheet.GridVisible = false;
    sheet.SnapSelected(); // needs a visible grid
    EXPECT_EQ(free->Points[0], (TPointF{1.3, 1.1}));
    sheet.GridVisible = true;
    sheet.GridSize = 0;
    sheet.SnapSelected();
    EXPECT_EQ(free->Points[0], (TPointF{1.3, 1.1}));
    sheet.GridSize = 0.25;
    sheet.SnapSelected(); // locked objects snap too
    EXPECT_EQ(free->Points[0], (TPointF{1.25, 1}));
    EXPECT_EQ(locked->Points[0], (TPointF{1.25, 1}));
    EXPECT_EQ(locked->Points[3], (TPointF{2, 1}));
}

TEST_F(EditingTest, StackingOrder)
{
    const struct
    {
        const char* Sel;
        void (TCharacterSheet::*Op)();
        const char* Result;
    } cases[] = {
        {"bd", &TCharacterSheet::BringSelectedToFront, "acebd"},
        {"bd", &TCharacterSheet::SendSelectedToBack, "bdace"},
        {"bc", &TCharacterSheet::MoveSelectedForward, "adbce"},
        {"e", &TCharacterSheet::MoveSelectedForward, "abcde"},
        {"de", &TCharacterSheet::MoveSelectedForward, "abced"}, // the top pair swaps
        {"bc", &TCharacterSheet::MoveSelectedBack, "bcade"},
        {"a", &TCharacterSheet::MoveSelectedBack, "abcde"},
        {"ab", &TCharacterSheet::MoveSelectedBack, "bacde"}, // the bottom pair swaps
        {"", &TCharacterSheet::BringSelectedToFront, "abcde"},
    };
    for (const auto& c : cases) {
        Page().Objects.clear();
        AddNamed("abcde");
        Select(c.Sel);
        (sheet.*c.Op)();
        EXPECT_EQ(Order(), c.Result) << c.Sel;
    }
}

TEST_F(EditingTest, AlignmentMovesSelectedObjectsLockedOnesIncluded)
{
    auto* a = AddObject<TCSBox>(Page(), "a", 1, 1, 2, 2);
    auto* b = AddObject<TCSBox>(Page(), "b", 3, 4, 5, 4.5);
    auto* c = AddObject<TCSBox>(Page(), "c", 0.5, 0.5, 0.75, 0.75);
    b->FLocked = true;
    Select("ab");
    sheet.AlignSelectedLeft();
    EXPECT_EQ(b->BoundBox(), (TRectF{1, 4, 3, 4.5}));
    EXPECT_EQ(a->BoundBox(), (TRectF{1, 1, 2, 2}));
    sheet.AlignSelectedRight();
    EXPECT_EQ(a->BoundBox(), (TRectF{2, 1, 3, 2}));
    sheet.AlignSelectedTop();
    EXPECT_EQ(b->BoundBox(), (TRectF{1, 1, 3, 1.5}));
    sheet.AlignSelectedBottom();
    EXPECT_EQ(b->BoundBox(), (TRectF{1, 1.5, 3, 2}));
    EXPECT_EQ(c->BoundBox(), (TRectF{0.5, 0.5, 0.75, 0.75}));

    // A single object stays, unless it lies wholly beyond the page's edge.
    Select("a");
    sheet.AlignSelectedLeft();
    EXPECT_EQ(a->BoundBox(), (TRectF{2, 1, 3, 2}));
    a->Move(8, 12); // right of 8.5 and below 11
    sheet.AlignSelectedLeft();
    sheet.AlignSelectedTop();
    EXPECT_EQ(a->BoundBox(), (TRectF{8.5, 11, 9.5, 12}));
    Select("");
    sheet.AlignSelectedRight(); // nothing selected: nothing moves
    EXPECT_EQ(a->BoundBox(), (TRectF{8.5, 11, 9.5, 12}));
}

TEST_F(EditingTest, EvenSpacing)
{
    auto* a = AddObject<TCSBox>(Page(), "a", 1, 4, 2, 4.5);
    auto* b = AddObject<TCSBox>(Page(), "b", 1, 1, 2, 1.5);
    auto* c = AddObject<TCSBox>(Page(), "c", 1, 2, 2, 2.5);
    Select("ab");
    sheet.SpaceSelectedVert(); // two objects: nothing
    EXPECT_EQ(a->BoundBox().Top, 4);
    Select("abc");
    sheet.SpaceSelectedVert();
    EXPECT_EQ(b->BoundBox().Top, 1);
    EXPECT_EQ(c->BoundBox().Top, 2.5);
    EXPECT_EQ(a->BoundBox().Top, 4);
    EXPECT_EQ(a->BoundBox().Left, 1);

    // Horizontal, overlapping more than they leave free: a negative gap.
    Page().Objects.clear();
    auto* p = AddObject<TCSBox>(Page(), "p", 0, 0, 2, 1);
    auto* q = AddObject<TCSBox>(Page(), "q", 1.25, 0, 3.25, 1);
    auto* r = AddObject<TCSBox>(Page(), "r", 0.5, 0, 2.5, 1);
    Select("pqr");
    sheet.SpaceSelectedHorz(); // left 0, right 3.25, total 6: gap -1.375
    EXPECT_EQ(p->BoundBox().Left, 0);
    EXPECT_EQ(r->BoundBox().Left, 0.625);
    EXPECT_EQ(q->BoundBox().Left, 1.25);
    EXPECT_EQ(q->BoundBox().Top, 0);
}

TEST_F(EditingTest, ClipboardCopyCutAndPaste)
{
    auto* str = AddObject<TCSEdit>(Page(), "Str", 1, 1, 2, 1.25);
    AddObject<TCSText>(Page(), "", 0, 0, 1, 1)->FText = "Label";
    AddNamed("x");
    Select("Str");
    Page().Objects[1]->FSelected = true; // the unnamed label
    str->FLocked = true;
    sheet.CopySelectedToClipboard(false);
    ASSERT_EQ(sheet.Clipboard.size(), 2u);
    EXPECT_EQ(sheet.Clipboard[0]->FText, "Label"); // top to bottom
    EXPECT_EQ(sheet.Clipboard[1]->FFieldName, "Str");
    EXPECT_EQ(Page().Objects.size(), 3u);

    sheet.Paste();
    sheet.Paste();
    ASSERT_EQ(Page().Objects.size(), 7u);
    // Each paste stacks the copies in reverse order, renamed, selected, unlocked, in place.
    EXPECT_EQ(Page().Objects[3]->FText, "Label");
    EXPECT_EQ(Page().Objects[4]->FFieldName, "Str1");
    EXPECT_EQ(Page().Objects[6]->FFieldName, "Str2");
    EXPECT_EQ(Page().Objects[5]->FFieldName, "");
    EXPECT_EQ(Page().Objects[6]->Points, str->Points);
    EXPECT_FALSE(Page().Objects[6]->FLocked);
    int nSelected = 0;
    for (auto& o : Page().Objects)
        nSelected += o->FSelected;
    EXPECT_EQ(nSelected, 2); // only the last paste
    EXPECT_TRUE(Page().Objects[5]->FSelected && Page().Objects[6]->FSelected);

    // Cutting removes, and the clipboard survives a new document.
    Select("x");
    sheet.CopySelectedToClipboard(true);
    EXPECT_EQ(Page().Objects.size(), 6u);
    EXPECT_EQ(sheet.GetField("x"), nullptr);
    sheet.NewDoc();
    ASSERT_EQ(sheet.Clipboard.size(), 1u);
    sheet.Paste();
    ASSERT_EQ(Page().Objects.size(), 1u);
    EXPECT_EQ(Page().Objects[0]->FFieldName, "x1");

    sheet.CurrentPage = 5;
    sheet.CopySelectedToClipboard(false); // no page: the clipboard is still emptied
    EXPECT_TRUE(sheet.Clipboard.empty());
}

TEST_F(EditingTest, CuttingTheDraggedObjectForgetsIt)
{
    AddNamed("a");
    Select("a");
    ASSERT_EQ(sheet.SelectNode(1, 1, 0.01), 0);
    sheet.CopySelectedToClipboard(true);
    EXPECT_EQ(sheet.ActiveEditingObject, nullptr);
    sheet.Paste();
    ASSERT_EQ(sheet.SelectNode(1, 1, 0.01), 0);
    sheet.DeleteSelected();
    EXPECT_EQ(sheet.ActiveEditingObject, nullptr);
    EXPECT_TRUE(Page().Objects.empty());
}

TEST_F(EditingTest, DeleteSelectedRemovesLockedObjectsToo)
{
    AddNamed("abc");
    Page().Objects[1]->FLocked = true;
    Select("bc");
    sheet.DeleteSelected();
    EXPECT_EQ(Order(), "a");
}

TEST_F(EditingTest, BulkLabelsFillColumnsOneInchApart)
{
    AddNamed("s");
    Select("s");
    std::vector<std::string> lines;
    for (int i = 0; i < 43; ++i)
        lines.push_back(" Item " + std::to_string(i) + "\t");
    lines.insert(lines.begin() + 5, "   ");
    sheet.AddBulkLabels(lines, "Arial", 12);
    EXPECT_EQ(sheet.UndoHistory.size(), 1u);
    auto& objs = Page().Objects;
    ASSERT_EQ(objs.size(), 44u);
    EXPECT_TRUE(objs[0]->FSelected); // the old selection stays
    for (size_t i = 1; i < objs.size(); ++i) {
        const TCSObject& o = *objs[i];
        EXPECT_EQ(o.FTypeID, CS_LABEL);
        EXPECT_EQ(o.FText, "Item " + std::to_string(i - 1));
        EXPECT_EQ(o.FFontName, "Arial");
        EXPECT_EQ(o.FFontSize, 12);
        EXPECT_TRUE(o.FSelected);
        EXPECT_EQ(o.FFieldName, "");
        ASSERT_EQ(o.Points.size(), 4u);
        EXPECT_EQ(o.Points[1], (TPointF{0, 0}));
    }
    EXPECT_EQ(objs[1]->Points[0], (TPointF{0.5, 0.5}));
    EXPECT_EQ(objs[41]->Points[0], (TPointF{0.5, 10.5})); // 41 labels in the first column
    EXPECT_EQ(objs[42]->Points[0], (TPointF{1.5, 0.5}));
    EXPECT_EQ(objs[43]->Points[0], (TPointF{1.5, 0.75}));
}

TEST_F(EditingTest, ConfigureObjectsSetsOneAttributeOnEverySelectedObject)
{
    AddNamed("ab");
    Select("ab");
    TCSObject& a = *Page().Objects[0];
    TCSObject& b = *Page().Objects[1];
    sheet.ConfigStr(1, "Arial");
    sheet.ConfigDouble(2, 14.5);
    sheet.ConfigBool(3, true);
    sheet.ConfigBool(4, true);
    sheet.ConfigBool(5, true);
    sheet.ConfigInt(6, CS_ALIGN_CENTER);
    sheet.ConfigInt(7, 0x0000FF);
    sheet.ConfigInt(8, 0x00FF00);
    sheet.ConfigBool(9, true);
    sheet.ConfigBool(10, true);
    sheet.ConfigBool(11, true);
    sheet.ConfigStr(12, "Classes");
    sheet.ConfigBool(13, true);
    sheet.ConfigBool(14, false);
    sheet.ConfigInt(15, 3);
    sheet.ConfigBool(16, false);
    sheet.ConfigBool(17, true);
    sheet.ConfigInt(18, CS_LISTSTYLE_OPEN);
    for (TCSObject* o : {&a, &b}) {
        EXPECT_EQ(o->FFontName, "Arial");
        EXPECT_EQ(o->FFontSize, 14.5);
        EXPECT_TRUE(o->FFontBold && o->FFontUnderline && o->FFontItalic);
        EXPECT_EQ(o->FTextAlign, CS_ALIGN_CENTER);
        EXPECT_EQ(o->FLineColor, 0x0000FFu);
        EXPECT_EQ(o->FFillColor, 0x00FF00u);
        EXPECT_TRUE(o->FisFilled && o->FisNumeric && o->FImageGrayscale);
        EXPECT_EQ(o->FList, "Classes");
        EXPECT_TRUE(o->FReadOnly);
        EXPECT_FALSE(o->FVisible);
        EXPECT_EQ(o->FLineWidth, 3.0);
        EXPECT_FALSE(o->FSingleLine);
        EXPECT_TRUE(o->FLocked);
        EXPECT_EQ(o->FListStyle, CS_LISTSTYLE_OPEN);
    }
    const std::string before = DumpPages(sheet);
    sheet.ConfigureObjects(0, "x", 1, 1, true);
    sheet.ConfigureObjects(19, "x", 1, 1, true);
    EXPECT_EQ(DumpPages(sheet), before);
    Select("a");
    sheet.ConfigDouble(2, 8);
    EXPECT_EQ(a.FFontSize, 8);
    EXPECT_EQ(b.FFontSize, 14.5);
}

TEST_F(EditingTest, GroupBoundsSpanAllPoints)
{
    TRectF empty = TCharacterSheet::GetGroupBounds({});
    EXPECT_EQ(empty, (TRectF{100000, 100000, -10000, -10000}));
    auto* a = AddObject<TCSBox>(Page(), "a", 1, 2, 3, 4);
    auto* l = AddLine<TCSLine>(Page(), -1, 5, 0, 3);
    EXPECT_EQ(TCharacterSheet::GetGroupBounds({a, l}), (TRectF{-1, 2, 3, 5}));
}

} // namespace
} // namespace ff
