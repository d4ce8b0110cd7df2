// The designer's editing operations on the selected objects of the current page, the undo
// history and the sheet's own clipboard.
#include "model/ClassCSText.h"
#include "model/ClassCharSheet.h"
#include "support/Text.h"

#include <algorithm>

namespace ff {

namespace {

constexpr size_t kMaxUndo = 10;

bool IsSelected(const std::unique_ptr<TCSObject>& o)
{
    return o->FSelected;
}

// A page as it is, for the undo history. Cloning alone would drop the attributes a clone does
// not take over (lock, list style, scaling mode, button state, selection), and undo would then
// silently unlock objects or reset their pick-list style.
std::unique_ptr<TCharacterSheetPage> SnapshotPage(const TCharacterSheetPage& page)
{
    auto p = std::make_unique<TCharacterSheetPage>();
    p->Name = page.Name;
    p->Print = page.Print;
    p->Expanded = page.Expanded;
    p->Objects.reserve(page.Objects.size());
    for (const auto& o : page.Objects) {
        auto c = o ? o->Clone() : nullptr;
        if (!c) continue;
        c->FListStyle = o->FListStyle;
        c->FSelected = o->FSelected;
        c->FLocked = o->FLocked;
        c->FImageScalingMode = o->FImageScalingMode;
        c->FButtonState = o->FButtonState;
        c->ScriptError = o->ScriptError;
        p->Objects.push_back(std::move(c));
    }
    return p;
}

} // namespace

void TCharacterSheet::Modify()
{
    Modified = true;
    if (SkipUndo) return;
    TCSPageList snapshot;
    snapshot.reserve(Pages.size());
    for (const auto& p : Pages)
        snapshot.push_back(SnapshotPage(*p));
    UndoHistory.push_back(std::move(snapshot));
    if (UndoHistory.size() > kMaxUndo) UndoHistory.erase(UndoHistory.begin());
}

void TCharacterSheet::Undo()
{
    if (SkipUndo || UndoHistory.empty()) return;
    ActiveEditingObject = nullptr; // its page is about to go
    SelectedNode = -1;
    Pages = std::move(UndoHistory.back());
    UndoHistory.pop_back();
    ++ModelGeneration;
}

void TCharacterSheet::ClearUndo()
{
    UndoHistory.clear();
}

void TCharacterSheet::MoveSelected(double dx, double dy)
{
    if (TCharacterSheetPage* page = GetCurrentPage())
        for (auto& o : page->Objects)
            if (o->FSelected && !o->FLocked) o->Move(dx, dy);
}

void TCharacterSheet::SnapSelected()
{
    if (!(GridSnap && GridVisible && GridSize > 0)) return;
    if (TCharacterSheetPage* page = GetCurrentPage())
        for (auto& o : page->Objects)
            if (o->FSelected) o->SnapToGrid(GridSize);
}

void TCharacterSheet::DeleteSelected()
{
    TCharacterSheetPage* page = GetCurrentPage();
    if (!page) return;
    auto& objs = page->Objects;
    if (ActiveEditingObject && ActiveEditingObject->FSelected &&
        std::any_of(objs.begin(), objs.end(),
                    [&](const auto& o) { return o.get() == ActiveEditingObject; })) {
        ActiveEditingObject = nullptr;
        SelectedNode = -1;
    }
    objs.erase(std::remove_if(objs.begin(), objs.end(), IsSelected), objs.end());
    ++ModelGeneration;
}

void TCharacterSheet::BringSelectedToFront()
{
    if (TCharacterSheetPage* page = GetCurrentPage()) {
        std::stable_partition(page->Objects.begin(), page->Objects.end(),
                              [](const auto& o) { return !o->FSelected; });
        ++ModelGeneration;
    }
}

void TCharacterSheet::SendSelectedToBack()
{
    if (TCharacterSheetPage* page = GetCurrentPage()) {
        std::stable_partition(page->Objects.begin(), page->Objects.end(), IsSelected);
        ++ModelGeneration;
    }
}

void TCharacterSheet::MoveSelectedForward()
{
    TCharacterSheetPage* page = GetCurrentPage();
    if (!page) return;
    auto& objs = page->Objects;
    for (size_t i = objs.size() >= 2 ? objs.size() - 1 : 0; i-- > 0;)
        if (objs[i]->FSelected) std::swap(objs[i], objs[i + 1]);
    ++ModelGeneration;
}

void TCharacterSheet::MoveSelectedBack()
{
    TCharacterSheetPage* page = GetCurrentPage();
    if (!page) return;
    auto& objs = page->Objects;
    for (size_t i = 1; i < objs.size(); ++i)
        if (objs[i]->FSelected) std::swap(objs[i], objs[i - 1]);
    ++ModelGeneration;
}

void TCharacterSheet::AlignSelected(bool bHorizontal, bool bMin)
{
    TCharacterSheetPage* page = GetCurrentPage();
    if (!page) return;
    auto edge = [&](const TRectF& r) {
        if (bHorizontal) return bMin ? r.Left : r.Right;
        return bMin ? r.Top : r.Bottom;
    };
    double t = bMin ? (bHorizontal ? Width : Height) : 0.0;
    for (auto& o : page->Objects)
        if (o->FSelected)
            t = bMin ? std::min(t, edge(o->BoundBox())) : std::max(t, edge(o->BoundBox()));
    for (auto& o : page->Objects) {
        if (!o->FSelected) continue;
        double d = t - edge(o->BoundBox());
        if (bHorizontal)
            o->Move(d, 0);
        else
            o->Move(0, d);
    }
}

void TCharacterSheet::AlignSelectedLeft()
{
    AlignSelected(true, true);
}
void TCharacterSheet::AlignSelectedRight()
{
    AlignSelected(true, false);
}
void TCharacterSheet::AlignSelectedTop()
{
    AlignSelected(false, true);
}
void TCharacterSheet::AlignSelectedBottom()
{
    AlignSelected(false, false);
}

void TCharacterSheet::SpaceSelected(bool bVertical)
{
    TCharacterSheetPage* page = GetCurrentPage();
    if (!page) return;
    struct TItem
    {
        TCSObject* Object;
        double Lo, Hi;
    };
    std::vector<TItem> items;
    for (auto& o : page->Objects) {
        if (!o->FSelected) continue;
        TRectF r = o->BoundBox();
        items.push_back({o.get(), bVertical ? r.Top : r.Left, bVertical ? r.Bottom : r.Right});
    }
    if (items.size() < 3) return;
    // Stable, so objects with equal edges keep their stacking order.
    std::stable_sort(items.begin(), items.end(),
                     [](const TItem& a, const TItem& b) { return a.Lo < b.Lo; });
    double lo = items.front().Lo, hi = items.front().Hi, total = 0;
    for (const TItem& it : items) {
        lo = std::min(lo, it.Lo);
        hi = std::max(hi, it.Hi);
        total += it.Hi - it.Lo;
    }
    const double gap = (hi - lo - total) / static_cast<double>(items.size() - 1);
    double pos = lo;
    for (const TItem& it : items) {
        double d = pos - it.Lo;
        if (bVertical)
            it.Object->Move(0, d);
        else
            it.Object->Move(d, 0);
        pos += (it.Hi - it.Lo) + gap;
    }
}

void TCharacterSheet::SpaceSelectedVert()
{
    SpaceSelected(true);
}
void TCharacterSheet::SpaceSelectedHorz()
{
    SpaceSelected(false);
}

void TCharacterSheet::CopySelectedToClipboard(bool bCut)
{
    ClearClipboard();
    TCharacterSheetPage* page = GetCurrentPage();
    if (!page) return;
    auto& objs = page->Objects;
    for (size_t i = objs.size(); i-- > 0;) {
        if (!objs[i]->FSelected) continue;
        if (auto c = objs[i]->Clone()) Clipboard.push_back(std::move(c));
        if (bCut) {
            if (objs[i].get() == ActiveEditingObject) {
                ActiveEditingObject = nullptr;
                SelectedNode = -1;
            }
            objs.erase(objs.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
    ++ModelGeneration;
}

void TCharacterSheet::Paste()
{
    TCharacterSheetPage* page = GetCurrentPage();
    if (!page) return;
    SelectAll(false);
    for (const auto& entry : Clipboard) {
        auto c = entry->Clone();
        if (!c) continue;
        c->FSelected = true;
        TCSObject* o = c.get();
        page->Objects.push_back(std::move(c));
        ++ModelGeneration;
        if (!o->FFieldName.empty()) {
            o->FFieldName = UniqueFieldName(o->FFieldName);
            ++ModelGeneration;
        }
    }
}

void TCharacterSheet::ClearClipboard()
{
    ClearList(Clipboard);
}

void TCharacterSheet::AddBulkLabels(const std::vector<std::string>& s, const std::string& FontName,
                                    double FontSize)
{
    TCharacterSheetPage* page = GetCurrentPage();
    if (!page) return;
    Modify();
    double x = MarginSize, y = MarginSize;
    for (const std::string& sLine : s) {
        std::string sText = Trim(sLine);
        if (sText.empty()) continue;
        if (y > Height - MarginSize) {
            x += 1.0;
            y = MarginSize;
        }
        auto o = std::make_unique<TCSText>();
        o->AddPoint(x, y);
        o->AddPoint(0, 0);
        o->AddPoint(0, 0);
        o->AddPoint(0, 0);
        o->FText = sText;
        o->FFontName = FontName;
        o->FFontSize = FontSize;
        o->FSelected = true;
        page->Objects.push_back(std::move(o));
        y += FontSize * 1.5 / 72.0;
    }
    ++ModelGeneration;
}

void TCharacterSheet::ConfigureObjects(int nAttrib, const std::string& sVal, int nVal, double dVal,
                                       bool bVal)
{
    TCharacterSheetPage* page = GetCurrentPage();
    if (!page) return;
    for (auto it = page->Objects.rbegin(); it != page->Objects.rend(); ++it) {
        TCSObject& o = **it;
        if (!o.FSelected) continue;
        switch (nAttrib) {
        case 1:
            o.FFontName = sVal;
            break;
        case 2:
            o.FFontSize = dVal;
            break;
        case 3:
            o.FFontBold = bVal;
            break;
        case 4:
            o.FFontUnderline = bVal;
            break;
        case 5:
            o.FFontItalic = bVal;
            break;
        case 6:
            o.FTextAlign = nVal;
            break;
        case 7:
            o.FLineColor = static_cast<TColor>(nVal);
            break;
        case 8:
            o.FFillColor = static_cast<TColor>(nVal);
            break;
        case 9:
            o.FisFilled = bVal;
            break;
        case 10:
            o.FisNumeric = bVal;
            break;
        case 11:
            o.FImageGrayscale = bVal;
            break;
        case 12:
            o.FList = sVal;
            break;
        case 13:
            o.FReadOnly = bVal;
            break;
        case 14:
            o.FVisible = bVal;
            break;
        case 15:
            o.FLineWidth = static_cast<double>(nVal);
            break;
        case 16:
            o.FSingleLine = bVal;
            break;
        case 17:
            o.FLocked = bVal;
            break;
        case 18:
            o.FListStyle = nVal;
            break;
        default:
            break;
        }
    }
}

void TCharacterSheet::ConfigBool(int nAttrib, bool bVal)
{
    ConfigureObjects(nAttrib, "", 0, 0, bVal);
}
void TCharacterSheet::ConfigInt(int nAttrib, int nVal)
{
    ConfigureObjects(nAttrib, "", nVal, 0, false);
}
void TCharacterSheet::ConfigDouble(int nAttrib, double dVal)
{
    ConfigureObjects(nAttrib, "", 0, dVal, false);
}
void TCharacterSheet::ConfigStr(int nAttrib, const std::string& sVal)
{
    ConfigureObjects(nAttrib, sVal, 0, 0, false);
}

TRectF TCharacterSheet::GetGroupBounds(const std::vector<TCSObject*>& List)
{
    TRectF r{100000, 100000, -10000, -10000};
    for (const TCSObject* o : List) {
        if (!o) continue;
        for (const TPointF& p : o->Points) {
            r.Left = std::min(r.Left, p.X);
            r.Top = std::min(r.Top, p.Y);
            r.Right = std::max(r.Right, p.X);
            r.Bottom = std::max(r.Bottom, p.Y);
        }
    }
    return r;
}

void TCharacterSheet::ClearList(TCSObjectList& s)
{
    s.clear();
}
void TCharacterSheet::ClearList(TCSPageList& s)
{
    s.clear();
}

} // namespace ff
