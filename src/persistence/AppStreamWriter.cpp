#include "persistence/AppStreamWriter.h"

#include "support/Text.h"

#include <cstring>

namespace ff {

namespace {

void PutLE(unsigned char* p, std::uint64_t v, int nBytes)
{
    for (int i = 0; i < nBytes; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

std::uint64_t GetLE(const unsigned char* p, int nBytes)
{
    std::uint64_t v = 0;
    for (int i = 0; i < nBytes; ++i)
        v |= static_cast<std::uint64_t>(p[i]) << (8 * i);
    return v;
}

} // namespace

void TAppStreamWriter::Fail(const std::string& sReason)
{
    if (!FFailed) FFailReason = sReason;
    FFailed = true;
}

bool TAppStreamWriter::ReadExact(void* pBuf, std::int64_t nCount)
{
    if (FFailed) return false;
    if (nCount <= 0) return true;
    if (Stream.Read(pBuf, nCount) != nCount) {
        Fail("unexpected end of data");
        return false;
    }
    return true;
}

void TAppStreamWriter::WriteBytes(const void* pBuf, std::int64_t nCount)
{
    if (FFailed || nCount <= 0) return;
    if (Stream.Write(pBuf, nCount) != nCount) Fail("the data could not be written");
}

bool TAppStreamWriter::CheckWriteLength(std::size_t nLen, const char* sWhat)
{
    if (FFailed) return false;
    if (nLen >= static_cast<std::size_t>(FBound)) {
        Fail(std::string(sWhat) + " of " + std::to_string(nLen) +
             " bytes is too large to store (the limit is " + std::to_string(FBound - 1) +
             " bytes)");
        return false;
    }
    return true;
}

std::int32_t TAppStreamWriter::ReadInteger()
{
    unsigned char b[4];
    if (!ReadExact(b, 4)) return 0;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(GetLE(b, 4)));
}

void TAppStreamWriter::WriteInteger(std::int32_t n)
{
    unsigned char b[4];
    PutLE(b, static_cast<std::uint32_t>(n), 4);
    WriteBytes(b, 4);
}

// True is stored as 0, false as 1; every other stored value reads as false. A short read
// yields false.
bool TAppStreamWriter::ReadBoolean()
{
    unsigned char b[4];
    if (!ReadExact(b, 4)) return false;
    return GetLE(b, 4) == 0;
}

void TAppStreamWriter::WriteBoolean(bool b)
{
    WriteInteger(b ? 0 : 1);
}

double TAppStreamWriter::ReadDouble()
{
    unsigned char b[8];
    if (!ReadExact(b, 8)) return 0;
    std::uint64_t v = GetLE(b, 8);
    double d;
    std::memcpy(&d, &v, 8);
    return d;
}

void TAppStreamWriter::WriteDouble(double d)
{
    std::uint64_t v;
    std::memcpy(&v, &d, 8);
    unsigned char b[8];
    PutLE(b, v, 8);
    WriteBytes(b, 8);
}

TDateTime TAppStreamWriter::ReadDateTime()
{
    return ReadDouble();
}
void TAppStreamWriter::WriteDateTime(TDateTime dt)
{
    WriteDouble(dt);
}

std::string TAppStreamWriter::ReadRawString()
{
    std::int32_t n = ReadInteger();
    if (FFailed || n <= 0 || n >= FBound) return {};
    if (n > Remaining()) {
        Fail("a text runs past the end of the data");
        return {};
    }
    std::string s(static_cast<std::size_t>(n), '\0');
    if (!ReadExact(s.data(), n)) return {};
    return s;
}

void TAppStreamWriter::WriteRawString(std::string_view sBytes)
{
    if (!CheckWriteLength(sBytes.size(), "a text")) return;
    WriteInteger(static_cast<std::int32_t>(sBytes.size()));
    WriteBytes(sBytes.data(), static_cast<std::int64_t>(sBytes.size()));
}

std::string TAppStreamWriter::ReadString()
{
    return Cp1252ToUtf8(ReadRawString());
}

void TAppStreamWriter::WriteString(std::string_view sUtf8)
{
    WriteRawString(Utf8ToCp1252(sUtf8));
}

std::string TAppStreamWriter::ReadFixedString(std::int32_t n)
{
    if (n <= 0 || FFailed) return {};
    if (n > Remaining()) {
        Fail("unexpected end of data");
        return {};
    }
    std::string s(static_cast<std::size_t>(n), '\0');
    if (!ReadExact(s.data(), n)) return {};
    return s;
}

void TAppStreamWriter::WriteFixedString(std::string_view s, std::int32_t n)
{
    if (n <= 0) return;
    std::string sOut(s.substr(0, static_cast<std::size_t>(n)));
    // Callers never pass a shorter text; pad with zeros so the field keeps its size anyway.
    sOut.resize(static_cast<std::size_t>(n), '\0');
    WriteBytes(sOut.data(), n);
}

void TAppStreamWriter::ReadToStream(TStream& target)
{
    std::string s = ReadRawString();
    if (!s.empty()) target.Write(s.data(), static_cast<std::int64_t>(s.size()));
}

void TAppStreamWriter::WriteStream(TStream& src)
{
    std::int64_t nSize = src.Size();
    if (!CheckWriteLength(static_cast<std::size_t>(nSize < 0 ? 0 : nSize), "an embedded file")) {
        src.Seek(0, soEnd);
        return;
    }
    // An image held in memory is written straight from its bytes.
    if (auto* pMem = dynamic_cast<TMemoryStream*>(&src)) {
        WriteRawString(pMem->Bytes());
        pMem->Seek(0, soEnd);
        return;
    }
    std::string s(static_cast<std::size_t>(nSize), '\0');
    src.SetPosition(0);
    std::int64_t nRead = nSize > 0 ? src.Read(s.data(), nSize) : 0;
    s.resize(static_cast<std::size_t>(nRead));
    WriteRawString(s);
}

void TAppStreamWriter::ReadStringList(std::vector<std::string>& list)
{
    list = SplitLines(ReadString());
}

void TAppStreamWriter::WriteStringList(const std::vector<std::string>& list)
{
    WriteString(JoinLinesCrLf(list));
}

TGUID TAppStreamWriter::ReadGUID()
{
    unsigned char b[16];
    TGUID g;
    if (!ReadExact(b, 16)) return g;
    g.D1 = static_cast<std::uint32_t>(GetLE(b, 4));
    g.D2 = static_cast<std::uint16_t>(GetLE(b + 4, 2));
    g.D3 = static_cast<std::uint16_t>(GetLE(b + 6, 2));
    std::memcpy(g.D4, b + 8, 8);
    return g;
}

void TAppStreamWriter::WriteGUID(const TGUID& g)
{
    unsigned char b[16];
    PutLE(b, g.D1, 4);
    PutLE(b + 4, g.D2, 2);
    PutLE(b + 6, g.D3, 2);
    std::memcpy(b + 8, g.D4, 8);
    WriteBytes(b, 16);
}

std::int64_t TAppStreamWriter::Seek(std::int64_t nOffset, int nOrigin)
{
    TSeekOrigin origin = nOrigin == 1 ? soCurrent : nOrigin == 2 ? soEnd : soBeginning;
    return Stream.Seek(nOffset, origin);
}

std::int64_t TAppStreamWriter::ReadInt64()
{
    unsigned char b[8];
    if (!ReadExact(b, 8)) return 0;
    return static_cast<std::int64_t>(GetLE(b, 8));
}

void TAppStreamWriter::WriteInt64(std::int64_t n)
{
    unsigned char b[8];
    PutLE(b, static_cast<std::uint64_t>(n), 8);
    WriteBytes(b, 8);
}

std::uint8_t TAppStreamWriter::ReadByte()
{
    unsigned char b = 0;
    if (!ReadExact(&b, 1)) return 0;
    return b;
}

void TAppStreamWriter::WriteByte(std::uint8_t n)
{
    WriteBytes(&n, 1);
}

std::uint16_t TAppStreamWriter::ReadWord()
{
    unsigned char b[2];
    if (!ReadExact(b, 2)) return 0;
    return static_cast<std::uint16_t>(GetLE(b, 2));
}

void TAppStreamWriter::WriteWord(std::uint16_t n)
{
    unsigned char b[2];
    PutLE(b, n, 2);
    WriteBytes(b, 2);
}

std::uint32_t TAppStreamWriter::ReadLongWord()
{
    unsigned char b[4];
    if (!ReadExact(b, 4)) return 0;
    return static_cast<std::uint32_t>(GetLE(b, 4));
}

void TAppStreamWriter::WriteLongWord(std::uint32_t n)
{
    unsigned char b[4];
    PutLE(b, n, 4);
    WriteBytes(b, 4);
}

float TAppStreamWriter::ReadSingle()
{
    std::uint32_t v = ReadLongWord();
    float f;
    std::memcpy(&f, &v, 4);
    return f;
}

void TAppStreamWriter::WriteSingle(float f)
{
    std::uint32_t v;
    std::memcpy(&v, &f, 4);
    WriteLongWord(v);
}

std::string TAppStreamWriter::ReadWideString()
{
    std::int32_t n = ReadInteger();
    if (FFailed || n <= 0 || n >= FBound) return {};
    if (2 * static_cast<std::int64_t>(n) > Remaining()) {
        Fail("a text runs past the end of the data");
        return {};
    }
    std::string bytes(2 * static_cast<std::size_t>(n), '\0');
    if (!ReadExact(bytes.data(), static_cast<std::int64_t>(bytes.size()))) return {};
    std::u16string w(static_cast<std::size_t>(n), u'\0');
    for (std::size_t i = 0; i < w.size(); ++i)
        w[i] = static_cast<char16_t>(
            GetLE(reinterpret_cast<const unsigned char*>(bytes.data()) + 2 * i, 2));
    return Utf16ToUtf8(w);
}

void TAppStreamWriter::WriteWideString(std::string_view sUtf8)
{
    std::u16string w = Utf8ToUtf16(sUtf8);
    if (!CheckWriteLength(w.size(), "a text")) return;
    std::string bytes(2 * w.size(), '\0');
    for (std::size_t i = 0; i < w.size(); ++i)
        PutLE(reinterpret_cast<unsigned char*>(bytes.data()) + 2 * i, w[i], 2);
    WriteInteger(static_cast<std::int32_t>(w.size()));
    WriteBytes(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

std::string TAppStreamWriter::ReadNullTermString()
{
    std::string s;
    const std::int64_t nLimit = static_cast<std::int64_t>(FBound) + 1;
    for (std::int64_t i = 0; i < nLimit; ++i) {
        unsigned char c = 0;
        if (!ReadExact(&c, 1)) return {};
        if (c == 0) break;
        s.push_back(static_cast<char>(c));
    }
    return Cp1252ToUtf8(s);
}

void TAppStreamWriter::WriteNullTermString(std::string_view sUtf8, std::int32_t n)
{
    std::string s = Utf8ToCp1252(sUtf8);
    s.push_back('\0');
    std::int64_t nPad = static_cast<std::int64_t>(n) - static_cast<std::int64_t>(s.size());
    if (nPad > 0) s.append(static_cast<std::size_t>(nPad), ' ');
    WriteBytes(s.data(), static_cast<std::int64_t>(s.size()));
}

void TAppStreamWriter::WriteLine(std::string_view sUtf8)
{
    std::string s = Utf8ToCp1252(sUtf8);
    s += "\r\n";
    WriteBytes(s.data(), static_cast<std::int64_t>(s.size()));
}

} // namespace ff
