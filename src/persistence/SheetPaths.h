// Finding the files a sheet names (CSV files of its data stores, external script files):
// paths typed on another machine, often with Windows separators, relative to the sheet.
#pragma once

#include <string>
#include <string_view>

namespace ff {

// The last path component, splitting at '/' and '\'.
std::string AnyFileName(std::string_view sPath);
// That name without its extension.
std::string AnyFileBaseName(std::string_view sPath);

// The existing file that sPath names for a sheet saved as sSheetFile, or empty: a relative
// path is tried in the sheet's folder first, then as given; then (when bNameFallback) the
// path's file name in the sheet's folder.
std::string ResolveSheetFile(const std::string& sSheetFile, const std::string& sPath,
                             bool bNameFallback);

} // namespace ff
