// Helpers of the persistence tests: a temporary folder removed at the end, byte builders.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace ff::test {

class TTempDir
{
public:
    TTempDir()
    {
        std::random_device rd;
        FPath = std::filesystem::temp_directory_path() /
                ("ff-persist-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(FPath);
    }
    ~TTempDir()
    {
        std::error_code ec;
        std::filesystem::permissions(FPath, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(FPath, ec);
    }
    std::string File(const std::string& sName) const { return (FPath / sName).string(); }
    std::string Path() const { return FPath.string(); }

private:
    std::filesystem::path FPath;
};

inline void WriteBytes(const std::string& sFile, const std::string& bytes)
{
    std::ofstream(sFile, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& sFile)
{
    std::ifstream in(sFile, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Little-endian byte builders for hand-made expected files.
inline std::string I32(std::int32_t n)
{
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[static_cast<size_t>(i)] = static_cast<char>(static_cast<std::uint32_t>(n) >> (8 * i));
    return s;
}
inline std::string F64(double d)
{
    std::uint64_t v;
    std::memcpy(&v, &d, 8);
    std::string s(8, '\0');
    for (int i = 0; i < 8; ++i)
        s[static_cast<size_t>(i)] = static_cast<char>(v >> (8 * i));
    return s;
}
inline std::string Bool(bool b)
{
    return I32(b ? 0 : 1);
}
inline std::string Str(const std::string& sAnsi)
{
    return I32(static_cast<std::int32_t>(sAnsi.size())) + sAnsi;
}

} // namespace ff::test
