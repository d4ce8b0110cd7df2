// The sheet document: pages of sheet objects, page geometry and grid, scripts and events, named
// lists, data stores, and the designer's working state (tool, object being drawn, clipboard,
// undo history).
#pragma once

#include "model/ClassCSObject.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ff {

class TCSDataStore;
class TCharacterSheet;
class TAppStreamWriter;
class TBitmap;

// The sheet the script functions and the expression function lookup work on.
extern TCharacterSheet* ActiveScriptSheet;

// The designer's tools, in this order (values 0 to 9).
enum TCSDrawTool : int {
    dtSelect,
    dtAreaSelect,
    dtLine,
    dtOrthLine,
    dtBox,
    dtLabel,
    dtEdit,
    dtImageSelect,
    dtCheckbox,
    dtButton,
};

// A new object of the kind with this type id, or null for an unknown id.
std::unique_ptr<TCSObject> NewCSObject(int nTypeID);

class TCharacterSheetPage
{
public:
    std::string Name;
    bool Print = true;
    std::vector<std::unique_ptr<TCSObject>> Objects; // index 0 is the bottom
    bool Expanded = false;                           // field-tree state; not stored or cloned

    // Same name and print flag, a clone of every object in order.
    std::unique_ptr<TCharacterSheetPage> Clone() const;
    void Clear();
    // The page record of the sheet definition (persistence/); false when it is damaged.
    void SaveToStream(TAppStreamWriter& w) const;
    bool LoadFromStream(TAppStreamWriter& w);
};

using TCSPageList = std::vector<std::unique_ptr<TCharacterSheetPage>>;
using TCSObjectList = std::vector<std::unique_ptr<TCSObject>>;
using TCSIteratePageFunc = std::function<void(TCharacterSheetPage& page, TCSObject& o, int index)>;

class TCharacterSheet
{
public:
    TCharacterSheet();
    ~TCharacterSheet();
    TCharacterSheet(const TCharacterSheet&) = delete;
    TCharacterSheet& operator=(const TCharacterSheet&) = delete;

    std::string Name;
    std::string Author;
    std::string Description;
    std::int32_t Revision = 0;
    std::string FileName;
    std::string DataFile;
    std::string Script;
    std::string IncludedScript;
    std::string ExternalScriptFiles; // one path per line
    std::string EventOnLoad;
    std::string EventOnUpdate;
    std::string EventOnPostUpdate;
    std::string EventOnSaveData;
    std::string DefinitionRootDirectory;
    bool Modified = false;
    std::vector<TCSPageList> UndoHistory; // snapshots, oldest first, at most 10
    bool SkipUndo = false;
    std::int32_t CurrentPage = 0;
    bool DesignMode = false;
    bool DebugMode = false;
    bool PrintMode = false;
    double Width = 8.5; // inches
    double Height = 11.0;
    std::int32_t SizeUnit = 0; // 0 inches, 1 millimetres
    bool GridVisible = true;
    double GridSize = 0.125;
    bool GridSnap = true;
    double MarginSize = 0.5;
    double WidthUserEntered = 8.5;
    double HeightUserEntered = 11.0;
    double GridSizeUserEntered = 0.125;
    double MarginSizeUserEntered = 0.5;
    TColor HighlightColor = CS_BASE_HIGHLIGHT_COLOR;
    TCSPageList Pages;
    TCSObjectList Clipboard;
    std::vector<std::string> ListNames;
    std::vector<std::string> ListItems; // items of list i, each line ending in CR LF
    std::vector<std::unique_ptr<TCSDataStore>> DataStores;
    std::string DataStoreFiles; // CSV paths, one per line
    TCSDrawTool CurrentTool = dtSelect;
    std::unique_ptr<TCSObject> ActiveDrawingObject; // being drawn, not yet on a page
    TCSObject* ActiveEditingObject = nullptr;       // whose node is dragged; not owned
    std::int32_t SelectedNode = 0;
    bool ShowFields = false;

    // Life cycle.
    void Clear();
    void NewDoc();
    void Modify();

    // Drawing (rendering/): background and the current page onto a device; one page as a new
    // bitmap at CS_DPI, null for a page number out of range.
    void Draw(TGraphicsDevice& Canvas);
    void DrawBackground(TGraphicsDevice& Canvas);
    std::unique_ptr<TBitmap> GetPageBitmap(int nPage);

    // Pages.
    TCharacterSheetPage* GetCurrentPage() const;
    TCharacterSheetPage* NewPage();
    void DeletePage(int n);
    void MoveCurrentPageUp();
    void MoveCurrentPageBack();
    void IteratePage(const TCSIteratePageFunc& f);
    // Every object: pages in order, each page from its top object down. Not owning.
    std::vector<TCSObject*> AllObjects() const;

    // Units.
    double p2u(int p) const;
    int u2p(double d) const;
    double SnapCoord(double n) const;

    // Drawing-tool state.
    void NewActiveDrawingObject(TCSDrawTool dt);
    void AddActiveDrawingPoint(int x, int y);
    void SetActiveDrawingPoint(int n, int x, int y);
    void AddToPage();

    // Selection and hit testing (inches).
    bool SelectObjects(double x, double y, double d, bool bAccum);
    void SelectInRect(double x1, double y1, double x2, double y2);
    void SelectAll(bool b);
    void SelectAllGlobal(bool b);
    void InvertSelection();
    void SelectByName(const std::string& sFieldName);
    TCSObject* GetFirstSelected() const;
    TCSObject* HoverSelect(double x, double y, double d) const;
    int SelectNode(double x, double y, double d);
    TCSObject* TabField(const TCSObject* o, bool bForward) const;

    // Field lookup.
    TCSObject* GetField(std::string_view sField) const;
    TCSObject* GetFieldOfType(std::string_view sField, int nTypeID) const;
    int GetFieldPage(std::string_view sField) const;
    TCharacterSheetPage* GetObjectPage(const TCSObject* o) const;
    void SetField(std::string_view sField, const std::string& sVal);
    std::string GatherNotes() const;
    // Code that renames objects already on a page, or moves objects between lists, without the
    // sheet's own operations calls this so that the field index is rebuilt.
    void FieldNamesChanged() const;

    // Lists.
    int FindList(std::string_view s) const;
    void AddList(const std::string& s);
    std::string GetList(std::string_view s) const;
    void SetList(const std::string& s, const std::string& t);
    void DeleteList(std::string_view s);
    TCSDataStore* GetDataStore(std::string_view sName) const;

    // Sheet definition files (persistence/). Failures return false with a one-line reason in
    // *psError. LoadFromStream clears the sheet first and leaves it empty when the record is
    // bad; LoadFromFile keeps the open document on any failure; a failed save keeps the old
    // file, FileName and Modified.
    bool SaveToStream(TStream& s, std::string* psError = nullptr);
    bool LoadFromStream(TStream& s, std::string* psError = nullptr);
    bool SaveToFile(const std::string& sFile, std::string* psError = nullptr);
    bool LoadFromFile(const std::string& sFile, std::string* psError = nullptr);
    std::int32_t GetRevisionFromFile(const std::string& sFile) const;

    // Data stores and the list operations scripts use (persistence/).
    void CompileDataStores();
    void ClearDataStores();
    void LoadList(const std::string& sList, const std::string& sCol);
    void CombineDataStore(const std::string& sTarget, const std::string& sSource);
    std::string Lookup(std::string_view sStore, std::string_view sKey, std::string_view sCol) const;
    void AddToList(const std::string& sList, const std::string& sItem);

    // Script files and events around loading and saving.
    void CompileExternalScriptFiles();
    void RunOnLoadEvent();

    // Images.
    TCSObject* InsertImage(TMemoryStream& s);
    TCSObject* InsertImage(const std::string& sFile);
    void SetImage(TCSObject* o, TMemoryStream& s);
    void SetImage(TCSObject* o, const std::string& sFile);

    std::string UniqueFieldName(const std::string& s) const;

    // Editing operations on the selected objects of the current page.
    void Undo();
    void ClearUndo();
    void MoveSelected(double dx, double dy);
    void SnapSelected();
    void DeleteSelected();
    void BringSelectedToFront();
    void SendSelectedToBack();
    void MoveSelectedForward();
    void MoveSelectedBack();
    void AlignSelectedLeft();
    void AlignSelectedRight();
    void AlignSelectedTop();
    void AlignSelectedBottom();
    void SpaceSelectedVert();
    void SpaceSelectedHorz();
    void CopySelectedToClipboard(bool bCut);
    void Paste();
    void ClearClipboard();
    void AddBulkLabels(const std::vector<std::string>& s, const std::string& FontName,
                       double FontSize);
    void ConfigureObjects(int nAttrib, const std::string& sVal, int nVal, double dVal, bool bVal);
    void ConfigBool(int nAttrib, bool bVal);
    void ConfigInt(int nAttrib, int nVal);
    void ConfigDouble(int nAttrib, double dVal);
    void ConfigStr(int nAttrib, const std::string& sVal);
    static TRectF GetGroupBounds(const std::vector<TCSObject*>& List);
    static void ClearList(TCSObjectList& s);
    static void ClearList(TCSPageList& s);

private:
    void AlignSelected(bool bHorizontal, bool bMin);
    void SpaceSelected(bool bVertical);

    // Field index: every object under a case-blind hash of its name, sorted by hash and then
    // by AllObjects order, with its position so that a hit can be verified without touching a
    // freed object.
    struct TFieldIndexEntry
    {
        std::uint64_t Hash;
        std::int32_t Seq;
        TCSObject* Object;
        std::int32_t Page;
        std::int32_t Index;
    };
    void RebuildFieldIndex() const;
    bool EntryValid(const TFieldIndexEntry& e) const;
    template <class Pred>
    const TFieldIndexEntry* FindIndexed(std::string_view sField, Pred pred) const;

    mutable std::vector<TFieldIndexEntry> FFieldIndex;
    mutable std::uint64_t FFieldIndexGeneration = 0;
    mutable bool FFieldIndexBuilt = false;
};

} // namespace ff
