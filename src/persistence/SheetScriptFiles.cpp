// Gathering the sheet's external script files into IncludedScript before a save, so that a
// saved definition carries the code it needs.
#include "model/ClassCharSheet.h"
#include "persistence/SheetPaths.h"
#include "support/Files.h"
#include "support/Text.h"

namespace ff {

namespace {

bool IsValidUtf8(std::string_view s)
{
    size_t i = 0;
    while (i < s.size()) {
        auto b = static_cast<unsigned char>(s[i]);
        int n = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        if (n < 0 || (n == 1 && b < 0xC2) || i + static_cast<size_t>(n) >= s.size()) return false;
        for (int k = 1; k <= n; ++k)
            if ((static_cast<unsigned char>(s[i + static_cast<size_t>(k)]) & 0xC0) != 0x80)
                return false;
        i += static_cast<size_t>(n) + 1;
    }
    return true;
}

} // namespace

void TCharacterSheet::CompileExternalScriptFiles()
{
    IncludedScript.clear();
    for (const std::string& sLine : SplitLines(ExternalScriptFiles)) {
        std::string sPath = ResolveSheetFile(FileName, Trim(sLine), false);
        if (sPath.empty()) continue;
        auto bytes = ReadFileBytes(sPath);
        if (!bytes) continue;
        // Script files written today are UTF-8; older ones are in the Windows code page.
        std::string_view sRaw = *bytes;
        if (sRaw.substr(0, 3) == "\xEF\xBB\xBF") sRaw.remove_prefix(3);
        std::string sText = IsValidUtf8(sRaw) ? std::string(sRaw) : Cp1252ToUtf8(sRaw);
        IncludedScript += "\r\n";
        IncludedScript += JoinLinesCrLf(SplitLines(sText));
    }
}

} // namespace ff
