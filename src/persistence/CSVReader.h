// Parses a CSV file into column names and rows of cells, byte by byte, the way sheet authors'
// spreadsheets have always been read: quotes group commas, CR LF ends a line, ';' starts a
// comment line. Cells are the file's bytes (Windows-1252); TCSDataStore converts them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ff {

class TCSVReader
{
public:
    std::vector<std::string> ColNames;
    std::vector<std::vector<std::string>> cells;
    std::int32_t Cols = 0; // the largest field count of any data row
    std::int32_t Rows = 0;

    // Parses the file when it can be read; false otherwise (nothing changes then).
    bool Load(const std::string& sFile);
    // The same over bytes already in memory.
    void LoadFromBytes(std::string_view bytes);
    // One logical line, as the header or as a new data row.
    void ParseLine(std::string_view s, bool bFieldNames);
};

} // namespace ff
