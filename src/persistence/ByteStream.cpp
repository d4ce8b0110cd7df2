#include "persistence/ByteStream.h"

#include "support/Files.h"

#include <algorithm>
#include <cstring>

namespace ff {

std::int64_t TMemoryStream::Read(void* pBuf, std::int64_t nCount)
{
    if (nCount <= 0 || FPos >= Size()) return 0;
    std::int64_t n = std::min(nCount, Size() - FPos);
    std::memcpy(pBuf, FData.data() + FPos, static_cast<size_t>(n));
    FPos += n;
    return n;
}

std::int64_t TMemoryStream::Write(const void* pBuf, std::int64_t nCount)
{
    if (nCount <= 0) return 0;
    auto nEnd = static_cast<size_t>(FPos + nCount);
    if (static_cast<size_t>(FPos) == FData.size()) {
        // Appending is the common case; it avoids zero-filling bytes about to be overwritten.
        FData.append(static_cast<const char*>(pBuf), static_cast<size_t>(nCount));
        FPos += nCount;
        return nCount;
    }
    if (nEnd > FData.size()) FData.resize(nEnd, '\0');
    std::memcpy(FData.data() + FPos, pBuf, static_cast<size_t>(nCount));
    FPos += nCount;
    return nCount;
}

std::int64_t TMemoryStream::Seek(std::int64_t nOffset, TSeekOrigin origin)
{
    std::int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? FPos : Size();
    FPos = std::max<std::int64_t>(0, base + nOffset);
    return FPos;
}

void TMemoryStream::SetSize(std::int64_t nSize)
{
    FData.resize(static_cast<size_t>(std::max<std::int64_t>(0, nSize)), '\0');
    FPos = std::min(FPos, Size());
}

void TMemoryStream::LoadFromStream(TStream& src)
{
    src.SetPosition(0);
    FData.resize(static_cast<size_t>(src.Size()));
    std::int64_t n = FData.empty() ? 0 : src.Read(FData.data(), Size());
    FData.resize(static_cast<size_t>(n));
    FPos = 0;
}

bool TMemoryStream::LoadFromFile(const std::string& sFile)
{
    auto bytes = ReadFileBytes(sFile);
    if (!bytes) return false;
    FData = std::move(*bytes);
    FPos = 0;
    return true;
}

TFileStream::TFileStream(const std::string& sFile, TFileMode mode)
{
    const char* m = mode == TFileMode::Read ? "rb" : mode == TFileMode::Write ? "wb" : "r+b";
    FFile = std::fopen(sFile.c_str(), m);
}

TFileStream::~TFileStream()
{
    Close();
}

bool TFileStream::Flush()
{
    if (!FFile) return false;
    if (std::fflush(FFile) != 0) FWriteFailed = true;
    return !FWriteFailed;
}

bool TFileStream::Close()
{
    if (!FFile) return !FWriteFailed;
    if (std::fclose(FFile) != 0) FWriteFailed = true;
    FFile = nullptr;
    return !FWriteFailed;
}

std::int64_t TFileStream::Read(void* pBuf, std::int64_t nCount)
{
    if (!FFile || nCount <= 0) return 0;
    return static_cast<std::int64_t>(std::fread(pBuf, 1, static_cast<size_t>(nCount), FFile));
}

std::int64_t TFileStream::Write(const void* pBuf, std::int64_t nCount)
{
    if (!FFile || nCount <= 0) return 0;
    auto n = static_cast<std::int64_t>(std::fwrite(pBuf, 1, static_cast<size_t>(nCount), FFile));
    if (n != nCount) FWriteFailed = true;
    return n;
}

std::int64_t TFileStream::Seek(std::int64_t nOffset, TSeekOrigin origin)
{
    if (!FFile) return 0;
    int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
    if (std::fseek(FFile, static_cast<long>(nOffset), whence) != 0 && origin != soCurrent)
        std::fseek(FFile, 0, SEEK_SET);
    return static_cast<std::int64_t>(std::ftell(FFile));
}

std::int64_t TFileStream::Size()
{
    if (!FFile) return 0;
    long pos = std::ftell(FFile);
    std::fseek(FFile, 0, SEEK_END);
    long size = std::ftell(FFile);
    std::fseek(FFile, pos, SEEK_SET);
    return size;
}

} // namespace ff
