// Byte streams under the typed readers and writers: an abstract stream with position and
// size, an in-memory stream, and a file stream.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace ff {

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

class TStream
{
public:
    virtual ~TStream() = default;
    // Reads up to nCount bytes into pBuf; returns how many were read (fewer at the end).
    virtual std::int64_t Read(void* pBuf, std::int64_t nCount) = 0;
    // Writes nCount bytes; returns how many were written (fewer on a device failure).
    virtual std::int64_t Write(const void* pBuf, std::int64_t nCount) = 0;
    // Moves the position; returns the new position. Positions are clamped at 0.
    virtual std::int64_t Seek(std::int64_t nOffset, TSeekOrigin origin) = 0;
    virtual std::int64_t Size() = 0;

    std::int64_t GetPosition() { return Seek(0, soCurrent); }
    void SetPosition(std::int64_t nPos) { Seek(nPos, soBeginning); }
    std::int64_t Remaining()
    {
        std::int64_t n = Size() - GetPosition();
        return n > 0 ? n : 0;
    }
};

// A growable stream over bytes in memory; a position past the end is filled with zeros on the
// next write.
class TMemoryStream : public TStream
{
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::string bytes) : FData(std::move(bytes)) {}

    std::int64_t Read(void* pBuf, std::int64_t nCount) override;
    std::int64_t Write(const void* pBuf, std::int64_t nCount) override;
    std::int64_t Seek(std::int64_t nOffset, TSeekOrigin origin) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(FData.size()); }

    const std::string& Bytes() const { return FData; }
    std::string& Bytes() { return FData; }
    void Clear()
    {
        FData.clear();
        FPos = 0;
    }
    void SetSize(std::int64_t nSize);
    // Replaces the whole content and moves to the start.
    void Assign(std::string_view bytes)
    {
        FData.assign(bytes);
        FPos = 0;
    }
    void LoadFromStream(TStream& src); // whole content of src from its start
    bool LoadFromFile(const std::string& sFile);

private:
    std::string FData;
    std::int64_t FPos = 0;
};

enum class TFileMode { Read, Write, ReadWrite };

// A file opened by name: Read opens an existing file read-only, Write creates or truncates,
// ReadWrite opens an existing file for both.
class TFileStream : public TStream
{
public:
    TFileStream(const std::string& sFile, TFileMode mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    bool IsOpen() const { return FFile != nullptr; }
    // True once a write or flush failed; the data on disk is then incomplete.
    bool WriteFailed() const { return FWriteFailed; }
    bool Flush();
    bool Close();

    std::int64_t Read(void* pBuf, std::int64_t nCount) override;
    std::int64_t Write(const void* pBuf, std::int64_t nCount) override;
    std::int64_t Seek(std::int64_t nOffset, TSeekOrigin origin) override;
    std::int64_t Size() override;

private:
    std::FILE* FFile = nullptr;
    bool FWriteFailed = false;
};

} // namespace ff
