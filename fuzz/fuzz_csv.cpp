// CSV import from untrusted bytes: never crashes, and the table is always rectangular.
#include "persistence/CSVReader.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    ff::TCSVReader csv;
    csv.LoadFromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    if (csv.Rows != static_cast<std::int32_t>(csv.cells.size())) std::abort();
    if (csv.ColNames.size() < static_cast<size_t>(csv.Cols)) std::abort();
    for (const auto& row : csv.cells) {
        if (row.size() != static_cast<size_t>(csv.Cols)) std::abort();
        for (const auto& cell : row)
            if (cell.find('"') != std::string::npos) std::abort(); // quotes never survive
    }
    return 0;
}
