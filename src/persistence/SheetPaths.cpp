#include "persistence/SheetPaths.h"

#include "support/Files.h"

namespace ff {

std::string AnyFileName(std::string_view sPath)
{
    auto p = sPath.find_last_of("/\\");
    return std::string(p == std::string_view::npos ? sPath : sPath.substr(p + 1));
}

std::string AnyFileBaseName(std::string_view sPath)
{
    std::string sName = AnyFileName(sPath);
    auto p = sName.find_last_of('.');
    return p == std::string::npos || p == 0 ? sName : sName.substr(0, p);
}

std::string ResolveSheetFile(const std::string& sSheetFile, const std::string& sPath,
                             bool bNameFallback)
{
    if (sPath.empty()) return {};
    std::string sDir = ExtractFileDir(sSheetFile);
    bool bRelative = sPath[0] != '/';
    if (bRelative && !sDir.empty() && FileExists(JoinPath(sDir, sPath)))
        return JoinPath(sDir, sPath);
    if (FileExists(sPath)) return sPath;
    if (bNameFallback) {
        std::string sAlt = JoinPath(sDir, AnyFileName(sPath));
        if (FileExists(sAlt)) return sAlt;
    }
    return {};
}

} // namespace ff
