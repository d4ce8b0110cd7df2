#include "support/Files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace ff {

std::optional<std::string> ReadFileBytes(const std::string& sFile)
{
    std::ifstream in(sFile, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes;
    in.seekg(0, std::ios::end);
    auto size = in.tellg();
    if (size < 0) return std::nullopt;
    bytes.resize(static_cast<size_t>(size));
    in.seekg(0, std::ios::beg);
    if (size > 0 && !in.read(bytes.data(), size)) return std::nullopt;
    return bytes;
}

bool WriteFileAtomically(const std::string& sTarget, const std::string& sBytes, std::string& sError)
{
    // A link stays a link: the file it points to is the one replaced.
    std::string sFile = sTarget;
    std::error_code ec;
    if (std::filesystem::is_symlink(sTarget, ec)) {
        auto real = std::filesystem::canonical(sTarget, ec);
        if (!ec) sFile = real.string();
    }
    std::string sDir = ExtractFileDir(sFile);
    // Renaming would replace a write-protected file; refuse as an in-place write would.
    struct stat stOld;
    bool bExists = ::stat(sFile.c_str(), &stOld) == 0;
    if (bExists && ((stOld.st_mode & 0222) == 0 || ::access(sFile.c_str(), W_OK) != 0)) {
        sError = "\"" + sFile + "\" is read-only";
        return false;
    }
    std::random_device rd;
    std::string sTemp = JoinPath(sDir.empty() ? "." : sDir,
                                 "." + ExtractFileName(sFile) + ".tmp" + std::to_string(rd()));
    FILE* f = std::fopen(sTemp.c_str(), "wb");
    if (!f) {
        sError = "cannot create a file in \"" + (sDir.empty() ? std::string(".") : sDir) +
                 "\": " + std::strerror(errno);
        return false;
    }
    // The new file keeps the permissions of the one it replaces.
    if (bExists) ::fchmod(fileno(f), stOld.st_mode & 07777);
    bool bOk = sBytes.empty() || std::fwrite(sBytes.data(), 1, sBytes.size(), f) == sBytes.size();
    bOk = bOk && std::fflush(f) == 0 && ::fsync(fileno(f)) == 0;
    int nErr = errno;
    bOk = (std::fclose(f) == 0) && bOk;
    if (!bOk) {
        std::remove(sTemp.c_str());
        sError = "cannot write \"" + sFile + "\": " + std::strerror(nErr ? nErr : EIO);
        return false;
    }
    if (std::rename(sTemp.c_str(), sFile.c_str()) != 0) {
        nErr = errno;
        std::remove(sTemp.c_str());
        sError = "cannot replace \"" + sFile + "\": " + std::strerror(nErr);
        return false;
    }
    return true;
}

bool FileExists(const std::string& sFile)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(sFile, ec);
}

std::string ExtractFileDir(const std::string& sFile)
{
    auto p = sFile.find_last_of('/');
    if (p == std::string::npos) return "";
    if (p == 0) return "/";
    return sFile.substr(0, p);
}

std::string ExtractFileName(const std::string& sFile)
{
    auto p = sFile.find_last_of('/');
    return p == std::string::npos ? sFile : sFile.substr(p + 1);
}

std::string ExtractFileExt(const std::string& sFile)
{
    std::string sName = ExtractFileName(sFile);
    auto p = sName.find_last_of('.');
    return p == std::string::npos ? "" : sName.substr(p);
}

std::string ChangeFileExt(const std::string& sFile, const std::string& sExt)
{
    std::string sName = ExtractFileName(sFile);
    auto p = sName.find_last_of('.');
    std::string sBase = p == std::string::npos ? sFile : sFile.substr(0, sFile.size() - (sName.size() - p));
    return sBase + sExt;
}

std::string JoinPath(const std::string& sDir, const std::string& sName)
{
    if (sDir.empty()) return sName;
    if (sDir.back() == '/') return sDir + sName;
    return sDir + "/" + sName;
}

} // namespace ff
