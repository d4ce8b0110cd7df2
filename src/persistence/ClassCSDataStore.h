// A data store: a named table of text cells imported from a CSV file (weapon tables, spell
// lists) that fields look values up in and pick lists are filled from. Column 0 is the key.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ff {

class TAppStreamWriter;

class TCSDataStore
{
public:
    std::int32_t DataStoreVersion = 0;
    std::int32_t DataStoreType = 0;
    std::string Name; // the CSV file's name without folder and extension
    std::int32_t Cols = 0;
    std::int32_t Rows = 0;
    std::vector<std::string> ColNames;           // at least Cols entries after an import
    std::vector<std::vector<std::string>> cells; // Rows rows of Cols cells after an import

    // No columns, no rows; Name and the two numbers stay.
    void Reset();
    // Reset, then import the file when it exists; false when it does not or cannot be read.
    bool LoadFromCSV(const std::string& sFile);

    // The record inside a sheet definition.
    void SaveToStream(TAppStreamWriter& w) const;
    // False (and w failed) when the record is damaged; the store then holds what was read.
    bool LoadFromStream(TAppStreamWriter& w);

    // Index of the first column named sCol ignoring case, or -1.
    int GetFieldNum(std::string_view sCol) const;
    // Empty when row or col lies outside the table.
    std::string GetCell(int row, int col) const;
    std::string Get(std::string_view sCol, int nRow) const;
    // The cell in column sCol of the last row whose key equals sVal ignoring case; empty
    // without such a column or row.
    std::string Lookup(std::string_view sVal, std::string_view sCol) const;
    // Appends every non-empty key in row order, duplicates included.
    void AddKeysToList(std::vector<std::string>& list) const;
    // Those keys, each followed by CR LF.
    std::string GetKeys() const;
    // Appends the rows of ds and pads every row and the column names to the longest row.
    void Append(const TCSDataStore* ds);
};

} // namespace ff
