// The sheet's data stores: rebuilding them from CSV files, and the list and store operations
// that scripts and the expression function lookup call.
#include "model/ClassCharSheet.h"
#include "persistence/ClassCSDataStore.h"
#include "persistence/SheetPaths.h"
#include "support/Text.h"

namespace ff {

void TCharacterSheet::ClearDataStores()
{
    DataStores.clear();
}

void TCharacterSheet::CompileDataStores()
{
    // A sheet opened on another machine often lacks its CSV files; the tables it carries are
    // then kept instead of being dropped by the next save.
    std::vector<std::unique_ptr<TCSDataStore>> old = std::move(DataStores);
    DataStores.clear();
    auto takeOld = [&](const std::string& sName) -> std::unique_ptr<TCSDataStore> {
        for (auto& ds : old)
            if (ds && SameText(ds->Name, sName)) return std::move(ds);
        return nullptr;
    };
    for (const std::string& sLine : SplitLines(DataStoreFiles)) {
        std::string sPath = Trim(sLine);
        if (sPath.empty()) continue;
        std::string sFound = ResolveSheetFile(FileName, sPath, true);
        std::string sName = AnyFileBaseName(sFound.empty() ? sPath : sFound);
        auto ds = std::make_unique<TCSDataStore>();
        ds->Name = sName;
        if (sFound.empty() || !ds->LoadFromCSV(sFound)) {
            ds = takeOld(sName);
            if (!ds) continue;
        }
        DataStores.push_back(std::move(ds));
    }
}

void TCharacterSheet::LoadList(const std::string& sList, const std::string& sCol)
{
    SetList(sList, "");
    const TCSDataStore* ds = GetDataStore(sList);
    if (!ds) return;
    int nCol = ds->GetFieldNum(sCol);
    std::string sItems;
    for (int r = 0; r < static_cast<int>(ds->cells.size()); ++r) {
        std::string v = ds->GetCell(r, nCol);
        if (Trim(v).empty()) continue;
        sItems += v;
        sItems += "\r\n";
    }
    SetList(sList, sItems);
}

void TCharacterSheet::CombineDataStore(const std::string& sTarget, const std::string& sSource)
{
    if (sTarget.empty() || sSource.empty()) return;
    const TCSDataStore* src = GetDataStore(sSource);
    if (!src) return;
    TCSDataStore* dst = GetDataStore(sTarget);
    if (!dst) {
        auto ds = std::make_unique<TCSDataStore>();
        ds->Name = sTarget;
        dst = ds.get();
        DataStores.push_back(std::move(ds));
    }
    dst->Append(src);
}

std::string TCharacterSheet::Lookup(std::string_view sStore, std::string_view sKey,
                                    std::string_view sCol) const
{
    const TCSDataStore* ds = GetDataStore(sStore);
    return ds ? ds->Lookup(sKey, sCol) : std::string();
}

void TCharacterSheet::AddToList(const std::string& sList, const std::string& sItem)
{
    std::string sText = GetList(sList);
    for (const std::string& sLine : SplitLines(sText))
        if (SameText(sLine, sItem)) {
            SetList(sList, sText);
            return;
        }
    if (!sText.empty() && sText.back() != '\n' && sText.back() != '\r') sText += "\r\n";
    sText += sItem;
    sText += "\r\n";
    SetList(sList, sText);
}

} // namespace ff
