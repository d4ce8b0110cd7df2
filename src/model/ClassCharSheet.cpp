#include "model/ClassCharSheet.h"

#include "model/ClassCSButton.h"
#include "model/ClassCSCheckbox.h"
#include "model/ClassCSField.h"
#include "model/ClassCSImage.h"
#include "model/ClassCSShapes.h"
#include "model/ClassCSText.h"
#include "persistence/ClassCSDataStore.h"
#include "rendering/Bitmaps.h"
#include "rendering/Geometry.h"
#include "support/Files.h"
#include "support/Numbers.h"
#include "support/Text.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ff {

TCharacterSheet* ActiveScriptSheet = nullptr;

std::unique_ptr<TCSObject> NewCSObject(int nTypeID)
{
    switch (nTypeID) {
    case CS_ORTHLINE:
        return std::make_unique<TCSOrthLine>();
    case CS_BOX:
        return std::make_unique<TCSBox>();
    case CS_LABEL:
        return std::make_unique<TCSText>();
    case CS_EDIT:
        return std::make_unique<TCSEdit>();
    case CS_IMAGE:
        return std::make_unique<TCSImage>();
    case CS_CHECKBOX:
        return std::make_unique<TCSCheckBox>();
    case CS_LINE:
        return std::make_unique<TCSLine>();
    case CS_IMAGESELECT:
        return std::make_unique<TCSImageSelect>();
    case CS_BUTTON:
        return std::make_unique<TCSButton>();
    default:
        return nullptr;
    }
}

// ---- pages ----

std::unique_ptr<TCharacterSheetPage> TCharacterSheetPage::Clone() const
{
    auto p = std::make_unique<TCharacterSheetPage>();
    p->Name = Name;
    p->Print = Print;
    p->Objects.reserve(Objects.size());
    for (const auto& o : Objects)
        if (o)
            if (auto c = o->Clone()) p->Objects.push_back(std::move(c));
    return p;
}

void TCharacterSheetPage::Clear()
{
    Objects.clear();
    ++ModelGeneration;
}

// ---- life cycle ----

TCharacterSheet::TCharacterSheet()
{
    Pages.push_back(std::make_unique<TCharacterSheetPage>());
}

TCharacterSheet::~TCharacterSheet()
{
    if (ActiveScriptSheet == this) ActiveScriptSheet = nullptr;
    ActiveEditingObject = nullptr;
}

void TCharacterSheet::Clear()
{
    ActiveEditingObject = nullptr;
    SelectedNode = -1;
    ClearList(Pages);
    DataStores.clear();
    ListNames.clear();
    ListItems.clear();
    Modified = false;
    DataFile.clear();
    FileName.clear();
    ++ModelGeneration;
}

void TCharacterSheet::NewDoc()
{
    Clear();
    // Snapshots of the previous document must not come back into this one.
    ClearUndo();
    FileName.clear();
    DataFile.clear();
    Name.clear();
    Author.clear();
    Description.clear();
    Revision = 0;
    Pages.push_back(std::make_unique<TCharacterSheetPage>());
    CurrentPage = 0;
}

TCharacterSheetPage* TCharacterSheet::GetCurrentPage() const
{
    if (CurrentPage < 0 || CurrentPage >= static_cast<int>(Pages.size())) return nullptr;
    return Pages[static_cast<size_t>(CurrentPage)].get();
}

TCharacterSheetPage* TCharacterSheet::NewPage()
{
    Pages.push_back(std::make_unique<TCharacterSheetPage>());
    ++ModelGeneration;
    return Pages.back().get();
}

void TCharacterSheet::DeletePage(int n)
{
    const int nCount = static_cast<int>(Pages.size());
    if (nCount < 2 || n < 0 || n >= nCount) return;
    const auto& objs = Pages[static_cast<size_t>(n)]->Objects;
    if (std::any_of(objs.begin(), objs.end(),
                    [&](const auto& o) { return o.get() == ActiveEditingObject; })) {
        ActiveEditingObject = nullptr;
        SelectedNode = -1;
    }
    Pages.erase(Pages.begin() + n);
    if (CurrentPage > static_cast<int>(Pages.size()) - 1)
        CurrentPage = static_cast<int>(Pages.size()) - 1;
    ++ModelGeneration;
}

void TCharacterSheet::MoveCurrentPageUp()
{
    if (CurrentPage > 0 && CurrentPage < static_cast<int>(Pages.size())) {
        std::swap(Pages[static_cast<size_t>(CurrentPage)],
                  Pages[static_cast<size_t>(CurrentPage - 1)]);
        --CurrentPage;
        ++ModelGeneration;
    }
}

void TCharacterSheet::MoveCurrentPageBack()
{
    if (CurrentPage >= 0 && CurrentPage < static_cast<int>(Pages.size()) - 1) {
        std::swap(Pages[static_cast<size_t>(CurrentPage)],
                  Pages[static_cast<size_t>(CurrentPage + 1)]);
        ++CurrentPage;
        ++ModelGeneration;
    }
}

void TCharacterSheet::IteratePage(const TCSIteratePageFunc& f)
{
    TCharacterSheetPage* page = GetCurrentPage();
    if (!page || !f) return;
    // By index: the callback may change the list.
    for (size_t i = 0; i < page->Objects.size(); ++i)
        if (page->Objects[i]) f(*page, *page->Objects[i], static_cast<int>(i));
}

std::vector<TCSObject*> TCharacterSheet::AllObjects() const
{
    std::vector<TCSObject*> list;
    size_t n = 0;
    for (const auto& p : Pages)
        n += p->Objects.size();
    list.reserve(n);
    for (const auto& p : Pages)
        for (auto it = p->Objects.rbegin(); it != p->Objects.rend(); ++it)
            if (*it) list.push_back(it->get());
    return list;
}

// ---- units ----

double TCharacterSheet::p2u(int p) const
{
    double d = static_cast<double>(p) / CS_DPI;
    return SizeUnit == 1 ? d * 25.4 : d;
}

int TCharacterSheet::u2p(double d) const
{
    double p = RoundHalfEven(SizeUnit == 1 ? d / 25.4 * CS_DPI : d * CS_DPI);
    // A typed size beyond the integer range would make the cast undefined.
    if (std::isnan(p)) return 0;
    if (p >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (p <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(p);
}

double TCharacterSheet::SnapCoord(double n) const
{
    return GridSnap ? SnapValue(n, GridSize) : n;
}

// ---- drawing-tool state ----

void TCharacterSheet::NewActiveDrawingObject(TCSDrawTool dt)
{
    switch (dt) {
    case dtLine:
        ActiveDrawingObject = std::make_unique<TCSLine>();
        break;
    case dtOrthLine:
        ActiveDrawingObject = std::make_unique<TCSOrthLine>();
        break;
    case dtBox:
        ActiveDrawingObject = std::make_unique<TCSBox>();
        break;
    case dtLabel:
        ActiveDrawingObject = std::make_unique<TCSText>();
        break;
    case dtEdit:
        ActiveDrawingObject = std::make_unique<TCSEdit>();
        break;
    case dtImageSelect:
        ActiveDrawingObject = std::make_unique<TCSImageSelect>();
        break;
    case dtCheckbox:
        ActiveDrawingObject = std::make_unique<TCSCheckBox>();
        break;
    case dtButton:
        ActiveDrawingObject = std::make_unique<TCSButton>();
        break;
    default:
        ActiveDrawingObject.reset();
        break;
    }
}

void TCharacterSheet::AddActiveDrawingPoint(int x, int y)
{
    if (ActiveDrawingObject)
        ActiveDrawingObject->AddPoint(SnapCoord(static_cast<double>(x) / CS_DPI),
                                      SnapCoord(static_cast<double>(y) / CS_DPI));
}

void TCharacterSheet::SetActiveDrawingPoint(int n, int x, int y)
{
    if (ActiveDrawingObject)
        ActiveDrawingObject->SetPoint(n, SnapCoord(static_cast<double>(x) / CS_DPI),
                                      SnapCoord(static_cast<double>(y) / CS_DPI));
}

void TCharacterSheet::AddToPage()
{
    Modify();
    TCharacterSheetPage* page = GetCurrentPage();
    if (ActiveDrawingObject && page) {
        page->Objects.push_back(std::move(ActiveDrawingObject));
        ++ModelGeneration;
    }
}

// ---- selection and hit testing ----

bool TCharacterSheet::SelectObjects(double x, double y, double d, bool bAccum)
{
    TCharacterSheetPage* page = GetCurrentPage();
    if (!page) return false;
    auto& objs = page->Objects;
    for (auto it = objs.rbegin(); it != objs.rend(); ++it) {
        if (!(*it)->ClickedOn(x, y, d)) continue;
        if (!(*it)->FSelected && !bAccum) SelectAll(false);
        (*it)->FSelected = true;
        return true;
    }
    if (!bAccum) SelectAll(false);
    return false;
}

void TCharacterSheet::SelectInRect(double x1, double y1, double x2, double y2)
{
    TCharacterSheetPage* page = GetCurrentPage();
    if (!page) return;
    const TRectF r{x1, y1, x2, y2};
    for (auto& o : page->Objects)
        o->FSelected = RectOverlapsPolygon(r, o->Points);
}

void TCharacterSheet::SelectAll(bool b)
{
    if (TCharacterSheetPage* page = GetCurrentPage())
        for (auto& o : page->Objects)
            o->FSelected = b;
}

void TCharacterSheet::SelectAllGlobal(bool b)
{
    for (auto& p : Pages)
        for (auto& o : p->Objects)
            o->FSelected = b;
}

void TCharacterSheet::InvertSelection()
{
    if (TCharacterSheetPage* page = GetCurrentPage())
        for (auto& o : page->Objects)
            o->FSelected = !o->FSelected;
}

void TCharacterSheet::SelectByName(const std::string& sFieldName)
{
    if (TCharacterSheetPage* page = GetCurrentPage())
        for (auto& o : page->Objects)
            if (o->FFieldName == sFieldName) o->FSelected = true;
}

TCSObject* TCharacterSheet::GetFirstSelected() const
{
    if (TCharacterSheetPage* page = GetCurrentPage())
        for (auto& o : page->Objects)
            if (o->FSelected) return o.get();
    return nullptr;
}

TCSObject* TCharacterSheet::HoverSelect(double x, double y, double d) const
{
    TCharacterSheetPage* page = GetCurrentPage();
    if (!page) return nullptr;
    for (auto it = page->Objects.rbegin(); it != page->Objects.rend(); ++it) {
        TCSObject* o = it->get();
        if (o->FTypeID == CS_EDIT && !o->isEditable()) continue;
        if (o->ClickedOn(x, y, d)) return o;
    }
    return nullptr;
}

int TCharacterSheet::SelectNode(double x, double y, double d)
{
    ActiveEditingObject = nullptr;
    SelectedNode = -1;
    TCharacterSheetPage* page = GetCurrentPage();
    if (!page) return -1;
    for (auto it = page->Objects.rbegin(); it != page->Objects.rend(); ++it) {
        if (!(*it)->FSelected) continue;
        int n = (*it)->SelectNode(x, y, d);
        if (n >= 0) {
            ActiveEditingObject = it->get();
            SelectedNode = n;
            return n;
        }
    }
    return -1;
}

TCSObject* TCharacterSheet::TabField(const TCSObject* o, bool bForward) const
{
    TCharacterSheetPage* page = GetCurrentPage();
    if (!page) return nullptr;
    const auto& objs = page->Objects;
    const int nCount = static_cast<int>(objs.size());
    int p = -1;
    for (int i = 0; i < nCount; ++i)
        if (objs[static_cast<size_t>(i)].get() == o) {
            p = i;
            break;
        }
    auto at = [&](int i) { return objs[static_cast<size_t>(i)].get(); };
    if (bForward) {
        for (int i = p + 1; i < nCount; ++i)
            if (at(i)->isEditable()) return at(i);
        for (int i = 0; i < nCount; ++i)
            if (at(i)->isEditable()) return at(i);
    } else {
        // Backward tests the type only, as the viewer always has.
        for (int i = p - 1; i >= 0; --i)
            if (at(i)->FTypeID == CS_EDIT) return at(i);
        for (int i = nCount - 1; i >= 0; --i)
            if (at(i)->FTypeID == CS_EDIT) return at(i);
    }
    return nullptr;
}

// ---- field lookup ----

namespace {

// A hash that agrees with SameText: equal names ignoring case hash alike.
std::uint64_t NameHash(std::string_view s)
{
    std::string sUpper;
    if (std::any_of(s.begin(), s.end(),
                    [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
        sUpper = UpperCase(s);
        s = sUpper;
    }
    std::uint64_t h = 14695981039346656037ull;
    for (char ch : s) {
        auto c = static_cast<unsigned char>(ch);
        if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 32);
        h = (h ^ c) * 1099511628211ull;
    }
    return h;
}

} // namespace

void TCharacterSheet::FieldNamesChanged() const
{
    FFieldIndexBuilt = false;
}

void TCharacterSheet::RebuildFieldIndex() const
{
    FFieldIndex.clear();
    std::int32_t nSeq = 0;
    for (size_t p = 0; p < Pages.size(); ++p) {
        const auto& objs = Pages[p]->Objects;
        for (size_t i = objs.size(); i-- > 0;)
            if (objs[i])
                FFieldIndex.push_back({NameHash(objs[i]->FFieldName), nSeq++, objs[i].get(),
                                       static_cast<std::int32_t>(p), static_cast<std::int32_t>(i)});
    }
    std::sort(FFieldIndex.begin(), FFieldIndex.end(), [](const auto& a, const auto& b) {
        return a.Hash != b.Hash ? a.Hash < b.Hash : a.Seq < b.Seq;
    });
    FFieldIndexGeneration = ModelGeneration;
    FFieldIndexBuilt = true;
}

bool TCharacterSheet::EntryValid(const TFieldIndexEntry& e) const
{
    // Compare positions and pointers before touching the object: it may be gone.
    if (e.Page < 0 || static_cast<size_t>(e.Page) >= Pages.size()) return false;
    const auto& objs = Pages[static_cast<size_t>(e.Page)]->Objects;
    if (e.Index < 0 || static_cast<size_t>(e.Index) >= objs.size()) return false;
    if (objs[static_cast<size_t>(e.Index)].get() != e.Object) return false;
    return NameHash(e.Object->FFieldName) == e.Hash;
}

template <class Pred>
const TCharacterSheet::TFieldIndexEntry* TCharacterSheet::FindIndexed(std::string_view sField,
                                                                      Pred pred) const
{
    const std::uint64_t h = NameHash(sField);
    for (int nAttempt = 0; nAttempt < 2; ++nAttempt) {
        if (!FFieldIndexBuilt || FFieldIndexGeneration != ModelGeneration) RebuildFieldIndex();
        auto it =
            std::lower_bound(FFieldIndex.begin(), FFieldIndex.end(), h,
                             [](const TFieldIndexEntry& e, std::uint64_t v) { return e.Hash < v; });
        bool bStale = false;
        for (; it != FFieldIndex.end() && it->Hash == h; ++it) {
            if (!EntryValid(*it)) {
                bStale = true;
                break;
            }
            if (pred(*it)) return &*it;
        }
        if (!bStale) return nullptr;
        FFieldIndexBuilt = false;
    }
    return nullptr;
}

TCSObject* TCharacterSheet::GetField(std::string_view sField) const
{
    auto e = FindIndexed(
        sField, [&](const TFieldIndexEntry& e) { return SameText(e.Object->FFieldName, sField); });
    return e ? e->Object : nullptr;
}

TCSObject* TCharacterSheet::GetFieldOfType(std::string_view sField, int nTypeID) const
{
    if (nTypeID == CS_ANYTYPE) return GetField(sField);
    auto e = FindIndexed(sField, [&](const TFieldIndexEntry& e) {
        return e.Object->FTypeID == nTypeID && SameText(e.Object->FFieldName, sField);
    });
    return e ? e->Object : nullptr;
}

int TCharacterSheet::GetFieldPage(std::string_view sField) const
{
    // Entries run in page order, so the first exact match is on the first page that has one.
    auto e = FindIndexed(sField,
                         [&](const TFieldIndexEntry& e) { return e.Object->FFieldName == sField; });
    return e ? e->Page : -1;
}

TCharacterSheetPage* TCharacterSheet::GetObjectPage(const TCSObject* o) const
{
    if (!o) return nullptr;
    for (const auto& p : Pages)
        for (const auto& obj : p->Objects)
            if (obj.get() == o) return p.get();
    return nullptr;
}

void TCharacterSheet::SetField(std::string_view sField, const std::string& sVal)
{
    if (TCSObject* o = GetField(sField)) o->FText = sVal;
}

std::string TCharacterSheet::GatherNotes() const
{
    std::string s;
    for (TCSObject* o : AllObjects()) {
        s += o->FText;
        s += "\r\n";
    }
    return s;
}

// ---- lists ----

int TCharacterSheet::FindList(std::string_view s) const
{
    for (size_t i = 0; i < ListNames.size(); ++i)
        if (SameText(ListNames[i], s)) return static_cast<int>(i);
    return -1;
}

void TCharacterSheet::AddList(const std::string& s)
{
    if (FindList(s) >= 0) return;
    ListNames.push_back(s);
    ListItems.resize(ListNames.size());
}

std::string TCharacterSheet::GetList(std::string_view s) const
{
    int i = FindList(s);
    if (i >= 0)
        return static_cast<size_t>(i) < ListItems.size() ? ListItems[static_cast<size_t>(i)] : "";
    if (const TCSDataStore* ds = GetDataStore(s)) return ds->GetKeys();
    return {};
}

void TCharacterSheet::SetList(const std::string& s, const std::string& t)
{
    AddList(s);
    ListItems.resize(ListNames.size());
    ListItems[static_cast<size_t>(FindList(s))] = t;
}

void TCharacterSheet::DeleteList(std::string_view s)
{
    int i = FindList(s);
    if (i < 0) return;
    ListNames.erase(ListNames.begin() + i);
    if (static_cast<size_t>(i) < ListItems.size()) ListItems.erase(ListItems.begin() + i);
}

TCSDataStore* TCharacterSheet::GetDataStore(std::string_view sName) const
{
    for (const auto& ds : DataStores)
        if (ds && SameText(ds->Name, sName)) return ds.get();
    return nullptr;
}

// ---- images ----

TCSObject* TCharacterSheet::InsertImage(TMemoryStream& s)
{
    TCharacterSheetPage* page = GetCurrentPage();
    if (!page) return nullptr;
    auto o = std::make_unique<TCSImage>();
    o->Image = std::make_unique<TMemoryStream>(s.Bytes());
    int w = 0, h = 0;
    GetBitmapSizeFromStream(*o->Image, w, h);
    const double dw = static_cast<double>(w) / CS_DPI, dh = static_cast<double>(h) / CS_DPI;
    o->AddPoint(0, 0);
    o->AddPoint(0, dh);
    o->AddPoint(dw, dh);
    o->AddPoint(dw, 0);
    page->Objects.push_back(std::move(o));
    ++ModelGeneration;
    return page->Objects.back().get();
}

TCSObject* TCharacterSheet::InsertImage(const std::string& sFile)
{
    if (!GetCurrentPage() || !FileExists(sFile)) return nullptr;
    auto bytes = ReadFileBytes(sFile);
    if (!bytes) return nullptr;
    TMemoryStream s(std::move(*bytes));
    return InsertImage(s);
}

void TCharacterSheet::SetImage(TCSObject* o, TMemoryStream& s)
{
    if (o) o->Image = std::make_unique<TMemoryStream>(s.Bytes());
}

void TCharacterSheet::SetImage(TCSObject* o, const std::string& sFile)
{
    if (!o || !FileExists(sFile)) return;
    if (auto bytes = ReadFileBytes(sFile)) {
        TMemoryStream s(std::move(*bytes));
        SetImage(o, s);
    }
}

// ---- names ----

std::string TCharacterSheet::UniqueFieldName(const std::string& s) const
{
    std::string sStem;
    if (s.empty()) {
        sStem = "field";
    } else {
        size_t n = s.size();
        while (n > 0 && s[n - 1] >= '0' && s[n - 1] <= '9')
            --n;
        sStem = n == 0 ? s : s.substr(0, n);
    }
    for (unsigned long long n = 1;; ++n) {
        std::string sName = sStem + std::to_string(n);
        if (!GetField(sName)) return sName;
    }
}

} // namespace ff
