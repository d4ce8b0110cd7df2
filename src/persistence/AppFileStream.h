// A file stream with the typed operations of TAppStreamWriter and a few more (64-bit, byte,
// word, single, wide and zero-terminated strings, lines). Strings may be up to 50,000,000 bytes.
#pragma once

#include "persistence/AppStreamWriter.h"
#include "persistence/ByteStream.h"

namespace ff {

constexpr std::int32_t CS_FILE_STRING_BOUND = 50'000'000;

class TAppFileStream : public TFileStream
{
public:
    TAppFileStream(const std::string& sFile, TFileMode mode) : TFileStream(sFile, mode) {}

    std::int32_t FileVersion = 0;

    // As for TAppStreamWriter: short reads yield zero or empty and mark the stream failed.
    bool Failed() const { return FWriter.Failed(); }
    const std::string& FailReason() const { return FWriter.FailReason(); }

    std::int32_t ReadInteger() { return FWriter.ReadInteger(); }
    void WriteInteger(std::int32_t n) { FWriter.WriteInteger(n); }
    bool ReadBoolean() { return FWriter.ReadBoolean(); }
    void WriteBoolean(bool b) { FWriter.WriteBoolean(b); }
    double ReadDouble() { return FWriter.ReadDouble(); }
    void WriteDouble(double d) { FWriter.WriteDouble(d); }
    TDateTime ReadDateTime() { return FWriter.ReadDateTime(); }
    void WriteDateTime(TDateTime dt) { FWriter.WriteDateTime(dt); }
    std::string ReadString() { return FWriter.ReadString(); }
    void WriteString(std::string_view s) { FWriter.WriteString(s); }
    std::string ReadFixedString(std::int32_t n) { return FWriter.ReadFixedString(n); }
    void WriteFixedString(std::string_view s, std::int32_t n) { FWriter.WriteFixedString(s, n); }
    void ReadToStream(TStream& target) { FWriter.ReadToStream(target); }
    void ReadToMemoryStream(TMemoryStream& target) { FWriter.ReadToStream(target); }
    void WriteStream(TStream& src) { FWriter.WriteStream(src); }
    void ReadStringList(std::vector<std::string>& list) { FWriter.ReadStringList(list); }
    void WriteStringList(const std::vector<std::string>& list) { FWriter.WriteStringList(list); }
    TGUID ReadGUID() { return FWriter.ReadGUID(); }
    void WriteGUID(const TGUID& g) { FWriter.WriteGUID(g); }

    std::int64_t ReadInt64() { return FWriter.ReadInt64(); }
    void WriteInt64(std::int64_t n) { FWriter.WriteInt64(n); }
    std::uint8_t ReadByte() { return FWriter.ReadByte(); }
    void WriteByte(std::uint8_t n) { FWriter.WriteByte(n); }
    std::uint16_t ReadWord() { return FWriter.ReadWord(); }
    void WriteWord(std::uint16_t n) { FWriter.WriteWord(n); }
    std::uint32_t ReadLongWord() { return FWriter.ReadLongWord(); }
    void WriteLongWord(std::uint32_t n) { FWriter.WriteLongWord(n); }
    float ReadSingle() { return FWriter.ReadSingle(); }
    void WriteSingle(float f) { FWriter.WriteSingle(f); }
    std::string ReadWideString() { return FWriter.ReadWideString(); }
    void WriteWideString(std::string_view s) { FWriter.WriteWideString(s); }
    std::string ReadNullTermString() { return FWriter.ReadNullTermString(); }
    void WriteNullTermString(std::string_view s, std::int32_t n)
    {
        FWriter.WriteNullTermString(s, n);
    }
    void WriteLine(std::string_view s) { FWriter.WriteLine(s); }

private:
    class TBoundWriter : public TAppStreamWriter
    {
    public:
        explicit TBoundWriter(TStream& s) : TAppStreamWriter(s, CS_FILE_STRING_BOUND) {}
    };
    TBoundWriter FWriter{*this};
};

} // namespace ff
