// Whole-file helpers over the standard library.
#pragma once

#include <optional>
#include <string>

namespace ff {

// The bytes of a file, or nothing when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::string& sFile);

// Writes the bytes to a temporary file beside sFile, flushes it and renames it over sFile,
// so a failure never leaves a half-written target. On failure sError says why.
bool WriteFileAtomically(const std::string& sFile, const std::string& sBytes, std::string& sError);

bool FileExists(const std::string& sFile);
std::string ExtractFileDir(const std::string& sFile);  // folder without trailing separator
std::string ExtractFileName(const std::string& sFile); // name with extension
std::string ExtractFileExt(const std::string& sFile);  // ".ext" or empty
std::string ChangeFileExt(const std::string& sFile, const std::string& sExt);
std::string JoinPath(const std::string& sDir, const std::string& sName);

} // namespace ff
