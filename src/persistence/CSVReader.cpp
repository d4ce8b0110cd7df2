#include "persistence/CSVReader.h"

#include "support/Files.h"
#include "support/Text.h"

#include <algorithm>

namespace ff {

bool TCSVReader::Load(const std::string& sFile)
{
    if (!FileExists(sFile)) return false;
    auto bytes = ReadFileBytes(sFile);
    if (!bytes) return false;
    LoadFromBytes(*bytes);
    return true;
}

void TCSVReader::LoadFromBytes(std::string_view bytes)
{
    bool bInQuotes = false;
    // Set by the first CR outside quotes; from then on LF ends a line. A file of bare LFs
    // therefore reads as one logical line.
    bool bLineBreak = false;
    bool bFirst = true;
    std::string line;
    for (char c : bytes) {
        switch (c) {
        case '"':
            bInQuotes = !bInQuotes;
            line += c;
            break;
        case '\r':
            if (bInQuotes)
                line += c;
            else
                bLineBreak = true;
            break;
        case '\n':
            if (!bInQuotes && bLineBreak) {
                ParseLine(line, bFirst);
                bFirst = false;
                line.clear();
            }
            break;
        default:
            line += c;
        }
    }
    if (!line.empty()) ParseLine(line, bFirst);

    Rows = static_cast<std::int32_t>(cells.size());
    for (auto& row : cells)
        if (row.size() < static_cast<size_t>(Cols)) row.resize(static_cast<size_t>(Cols));
    if (ColNames.size() < static_cast<size_t>(Cols)) ColNames.resize(static_cast<size_t>(Cols));
}

void TCSVReader::ParseLine(std::string_view s, bool bFieldNames)
{
    if (s.empty() || s[0] == ';') return;
    std::vector<std::string> items;
    std::string field;
    bool bInQuotes = false;
    for (char c : s) {
        if (c == '"') {
            bInQuotes = !bInQuotes;
        } else if (c == ',' && !bInQuotes) {
            items.push_back(Trim(field));
            field.clear();
        } else {
            field += c;
        }
    }
    // The last field is kept untrimmed, and an empty one (a trailing comma) adds nothing.
    if (!field.empty()) items.push_back(std::move(field));

    if (bFieldNames) {
        ColNames = std::move(items);
        return;
    }
    Cols = std::max(Cols, static_cast<std::int32_t>(items.size()));
    items.resize(std::max(items.size(), static_cast<size_t>(Cols)));
    cells.push_back(std::move(items));
}

} // namespace ff
