#include "persistence/ClassCSDataStore.h"

#include "persistence/AppStreamWriter.h"
#include "persistence/CSVReader.h"
#include "support/Files.h"
#include "support/Text.h"

#include <algorithm>

namespace ff {

namespace {

// A store without columns still has rows (a CSV of lines holding only quotes); their count
// is bounded so that a damaged count cannot allocate without limit.
constexpr std::int64_t kMaxEmptyRows = 1'000'000;

} // namespace

void TCSDataStore::Reset()
{
    Cols = 0;
    Rows = 0;
    ColNames.clear();
    cells.clear();
}

bool TCSDataStore::LoadFromCSV(const std::string& sFile)
{
    Reset();
    TCSVReader csv;
    if (!csv.Load(sFile)) return false;
    ColNames.reserve(csv.ColNames.size());
    for (const auto& s : csv.ColNames)
        ColNames.push_back(Cp1252ToUtf8(s));
    cells.resize(csv.cells.size());
    for (size_t r = 0; r < csv.cells.size(); ++r) {
        cells[r].reserve(csv.cells[r].size());
        for (const auto& s : csv.cells[r])
            cells[r].push_back(Cp1252ToUtf8(s));
    }
    Cols = csv.Cols;
    Rows = csv.Rows;
    return true;
}

void TCSDataStore::SaveToStream(TAppStreamWriter& w) const
{
    w.WriteInteger(DataStoreVersion);
    w.WriteInteger(DataStoreType);
    w.WriteString(Name);
    w.WriteInteger(Rows);
    w.WriteInteger(Cols);
    // Written through GetCell so that a ragged table still gives a record of Rows x Cols.
    for (int c = 0; c < Cols; ++c)
        w.WriteString(c < static_cast<int>(ColNames.size()) ? ColNames[static_cast<size_t>(c)]
                                                            : std::string());
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Cols; ++c)
            w.WriteString(GetCell(r, c));
}

bool TCSDataStore::LoadFromStream(TAppStreamWriter& w)
{
    Reset();
    DataStoreVersion = w.ReadInteger();
    DataStoreType = w.ReadInteger();
    Name = w.ReadString();
    std::int32_t nRows = w.ReadInteger();
    std::int32_t nCols = w.ReadInteger();
    if (w.Failed()) return false;
    // Every name and cell takes at least its four count bytes.
    std::int64_t nCells = static_cast<std::int64_t>(nRows) * nCols;
    if (nRows < 0 || nCols < 0 || nCols + nCells > w.Remaining() / 4 ||
        (nCols == 0 && nRows > kMaxEmptyRows)) {
        w.Fail("a data store holds an impossible table size (" + std::to_string(nRows) + " x " +
               std::to_string(nCols) + ")");
        return false;
    }
    ColNames.resize(static_cast<size_t>(nCols));
    for (auto& s : ColNames)
        s = w.ReadString();
    cells.resize(static_cast<size_t>(nRows));
    for (auto& row : cells) {
        row.resize(static_cast<size_t>(nCols));
        for (auto& s : row)
            s = w.ReadString();
    }
    Rows = nRows;
    Cols = nCols;
    return !w.Failed();
}

int TCSDataStore::GetFieldNum(std::string_view sCol) const
{
    for (size_t i = 0; i < ColNames.size(); ++i)
        if (SameText(ColNames[i], sCol)) return static_cast<int>(i);
    return -1;
}

std::string TCSDataStore::GetCell(int row, int col) const
{
    if (row < 0 || col < 0 || static_cast<size_t>(row) >= cells.size()) return {};
    const auto& r = cells[static_cast<size_t>(row)];
    if (static_cast<size_t>(col) >= r.size()) return {};
    return r[static_cast<size_t>(col)];
}

std::string TCSDataStore::Get(std::string_view sCol, int nRow) const
{
    return GetCell(nRow, GetFieldNum(sCol));
}

std::string TCSDataStore::Lookup(std::string_view sVal, std::string_view sCol) const
{
    int nCol = GetFieldNum(sCol);
    if (nCol < 0) return {};
    const std::string* pResult = nullptr;
    for (const auto& row : cells) {
        if (row.empty() || !SameText(row[0], sVal)) continue;
        static const std::string sEmpty;
        pResult =
            static_cast<size_t>(nCol) < row.size() ? &row[static_cast<size_t>(nCol)] : &sEmpty;
    }
    return pResult ? *pResult : std::string();
}

void TCSDataStore::AddKeysToList(std::vector<std::string>& list) const
{
    for (const auto& row : cells)
        if (!row.empty() && !row[0].empty()) list.push_back(row[0]);
}

std::string TCSDataStore::GetKeys() const
{
    std::string s;
    for (const auto& row : cells)
        if (!row.empty() && !row[0].empty()) {
            s += row[0];
            s += "\r\n";
        }
    return s;
}

void TCSDataStore::Append(const TCSDataStore* ds)
{
    if (!ds || ds->Rows <= 0 || ds->Cols <= 0) return;
    if (ColNames.empty()) ColNames = ds->ColNames;
    // Copy first: ds may be this store.
    std::vector<std::vector<std::string>> added = ds->cells;
    for (auto& row : added)
        cells.push_back(std::move(row));
    size_t w = 0;
    for (const auto& row : cells)
        w = std::max(w, row.size());
    for (auto& row : cells)
        row.resize(w);
    if (ColNames.size() < w) ColNames.resize(w);
    Rows = static_cast<std::int32_t>(cells.size());
    Cols = static_cast<std::int32_t>(w);
}

} // namespace ff
