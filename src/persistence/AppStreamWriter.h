// Typed, little-endian reads and writes of the primitives every file format of the system is
// made of (integers, booleans stored with 0 for true, doubles, counted strings, embedded
// streams, string lists, GUIDs), over any byte stream.
#pragma once

#include "persistence/ByteStream.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ff {

// Days since 30 December 1899; the fraction is the time of day.
using TDateTime = double;

struct TGUID
{
    std::uint32_t D1 = 0;
    std::uint16_t D2 = 0;
    std::uint16_t D3 = 0;
    std::uint8_t D4[8] = {};
    friend bool operator==(const TGUID&, const TGUID&) = default;
};

// Counted strings and embedded streams of this many bytes or more read back as empty.
constexpr std::int32_t CS_STRING_BOUND = 10'000'000;

// A read that finds fewer bytes than it needs yields zero or empty and marks the writer as
// failed; nothing is ever read outside the stream. A write the reader could not read back
// (a String or Stream at or above the bound) is refused, writes nothing and marks the writer
// as failed. Format readers and writers check Failed() to report a damaged file or a failed
// save instead of carrying on with garbage.
class TAppStreamWriter
{
public:
    explicit TAppStreamWriter(TStream& stream) : Stream(stream) {}
    virtual ~TAppStreamWriter() = default;
    TAppStreamWriter(const TAppStreamWriter&) = delete;
    TAppStreamWriter& operator=(const TAppStreamWriter&) = delete;

    TStream& Stream;
    std::int32_t FileVersion = 0;

    bool Failed() const { return FFailed; }
    // Why the writer failed (one line), empty while it has not.
    const std::string& FailReason() const { return FFailReason; }
    // Marks the writer failed; the first reason is kept. Format readers use it for damage the
    // primitives cannot see (a count larger than the bytes left, an unknown type id).
    void Fail(const std::string& sReason);
    void ClearFailure()
    {
        FFailed = false;
        FFailReason.clear();
    }

    std::int32_t ReadInteger();
    void WriteInteger(std::int32_t n);
    bool ReadBoolean();
    void WriteBoolean(bool b);
    double ReadDouble();
    void WriteDouble(double d);
    TDateTime ReadDateTime();
    void WriteDateTime(TDateTime dt);

    // Counted text: UTF-8 in the program, Windows-1252 in the stream.
    std::string ReadString();
    void WriteString(std::string_view sUtf8);
    // The same without code-page conversion: the bytes as they stand in the stream.
    std::string ReadRawString();
    void WriteRawString(std::string_view sBytes);

    // Exactly n bytes, no count, no conversion; a text longer than n is cut.
    std::string ReadFixedString(std::int32_t n);
    void WriteFixedString(std::string_view s, std::int32_t n);

    // Appends the embedded stream's bytes at the target's position.
    void ReadToStream(TStream& target);
    // Writes the whole content of src; src's position ends at its end.
    void WriteStream(TStream& src);

    // Lines of UTF-8 text; in the stream one String, each line followed by CR LF.
    void ReadStringList(std::vector<std::string>& list);
    void WriteStringList(const std::vector<std::string>& list);

    TGUID ReadGUID();
    void WriteGUID(const TGUID& g);

    std::int64_t GetPosition() { return Stream.GetPosition(); }
    void SetPosition(std::int64_t nPos) { Stream.SetPosition(nPos); }
    std::int64_t Seek(std::int64_t nOffset, int nOrigin);
    // Bytes left between the position and the end of the stream.
    std::int64_t Remaining() { return Stream.Remaining(); }

    // Fixed-size little-endian primitives shared with TAppFileStream.
    std::int64_t ReadInt64();
    void WriteInt64(std::int64_t n);
    std::uint8_t ReadByte();
    void WriteByte(std::uint8_t n);
    std::uint16_t ReadWord();
    void WriteWord(std::uint16_t n);
    std::uint32_t ReadLongWord();
    void WriteLongWord(std::uint32_t n);
    float ReadSingle();
    void WriteSingle(float f);
    // Integer count of UTF-16 code units, then UTF-16LE; UTF-8 in the program.
    std::string ReadWideString();
    void WriteWideString(std::string_view sUtf8);
    // Bytes up to the first zero byte (at most the bound plus one are taken); each byte is one
    // Windows-1252 character.
    std::string ReadNullTermString();
    // The bytes of s, a zero byte, then n - len(s) - 1 spaces.
    void WriteNullTermString(std::string_view sUtf8, std::int32_t n);
    // The text followed by CR LF, without count.
    void WriteLine(std::string_view sUtf8);

protected:
    // Writers of TAppFileStream use a larger bound.
    TAppStreamWriter(TStream& stream, std::int32_t nBound) : Stream(stream), FBound(nBound) {}

private:
    bool ReadExact(void* pBuf, std::int64_t nCount);
    void WriteBytes(const void* pBuf, std::int64_t nCount);
    bool CheckWriteLength(std::size_t nLen, const char* sWhat);

    std::int32_t FBound = CS_STRING_BOUND;
    bool FFailed = false;
    std::string FFailReason;
};

} // namespace ff
