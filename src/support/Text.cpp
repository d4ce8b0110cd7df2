#include "support/Text.h"

namespace ff {

namespace {

// Unicode values of the bytes 0x80..0x9F of Windows-1252.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes one character at s[i], advancing i; malformed input yields U+FFFD and one byte.
char32_t DecodeUtf8(std::string_view s, size_t& i)
{
    auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int nMore = 0;
    char32_t c = 0;
    char32_t nMin = 0;
    if ((b0 & 0xE0) == 0xC0) {
        nMore = 1;
        c = b0 & 0x1F;
        nMin = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        nMore = 2;
        c = b0 & 0x0F;
        nMin = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        nMore = 3;
        c = b0 & 0x07;
        nMin = 0x10000;
    } else {
        ++i;
        return 0xFFFD;
    }
    if (i + nMore >= s.size()) {
        ++i;
        return 0xFFFD;
    }
    for (int k = 1; k <= nMore; ++k) {
        auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        c = (c << 6) | (b & 0x3F);
    }
    if (c < nMin || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++i;
        return 0xFFFD;
    }
    i += nMore + 1;
    return c;
}

// Case pairs that are not a fixed offset apart, beyond the ranges handled in code.
struct CasePair
{
    char32_t Lower, Upper;
};
constexpr CasePair kSpecialPairs[] = {
    {0x00FF, 0x0178}, {0x0153, 0x0152}, {0x0161, 0x0160}, {0x017E, 0x017D}, {0x0192, 0x0191},
};

} // namespace

std::string Cp1252ToUtf8(std::string_view sAnsi)
{
    std::string out;
    out.reserve(sAnsi.size() + sAnsi.size() / 8);
    for (char ch : sAnsi) {
        auto b = static_cast<unsigned char>(ch);
        if (b < 0x80)
            out += ch;
        else if (b < 0xA0)
            AppendUtf8(out, kCp1252High[b - 0x80]);
        else
            AppendUtf8(out, b);
    }
    return out;
}

std::string Utf8ToCp1252(std::string_view sUtf8)
{
    std::string out;
    out.reserve(sUtf8.size());
    size_t i = 0;
    while (i < sUtf8.size()) {
        auto b = static_cast<unsigned char>(sUtf8[i]);
        if (b < 0x80) {
            out += sUtf8[i++];
            continue;
        }
        char32_t c = DecodeUtf8(sUtf8, i);
        if (c >= 0xA0 && c <= 0xFF) {
            out += static_cast<char>(c);
            continue;
        }
        char cOut = '?';
        for (int k = 0; k < 32; ++k) {
            if (kCp1252High[k] == c) {
                cOut = static_cast<char>(0x80 + k);
                break;
            }
        }
        out += cOut;
    }
    return out;
}

std::u32string Utf8ToCodePoints(std::string_view s)
{
    std::u32string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size())
        out += DecodeUtf8(s, i);
    return out;
}

std::string CodePointsToUtf8(std::u32string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (char32_t c : s)
        AppendUtf8(out, c);
    return out;
}

std::u16string Utf8ToUtf16(std::string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        char32_t c = DecodeUtf8(s, i);
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

size_t Utf16Length(std::string_view s)
{
    size_t n = 0, i = 0;
    while (i < s.size())
        n += DecodeUtf8(s, i) >= 0x10000 ? 2 : 1;
    return n;
}

namespace {
// The first UTF-16 code unit of a code point, which decides code-unit order.
inline unsigned CodeUnitKey(char32_t c, char32_t& cLow)
{
    if (c >= 0x10000) {
        cLow = 0xDC00 + ((c - 0x10000) & 0x3FF);
        return 0xD800 + ((c - 0x10000) >> 10);
    }
    cLow = 0;
    return c;
}

int CompareBy(std::string_view a, std::string_view b, bool bIgnoreCase)
{
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        auto ba = static_cast<unsigned char>(a[i]);
        auto bb = static_cast<unsigned char>(b[j]);
        char32_t ca, cb;
        if (ba < 0x80 && bb < 0x80) {
            ca = ba;
            cb = bb;
            ++i;
            ++j;
        } else {
            ca = DecodeUtf8(a, i);
            cb = DecodeUtf8(b, j);
        }
        if (bIgnoreCase) {
            ca = UpperChar(ca);
            cb = UpperChar(cb);
        }
        if (ca == cb) continue;
        char32_t la, lb;
        unsigned ka = CodeUnitKey(ca, la), kb = CodeUnitKey(cb, lb);
        if (ka != kb) return ka < kb ? -1 : 1;
        return la < lb ? -1 : 1;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}
} // namespace

int CompareCodeUnits(std::string_view a, std::string_view b) { return CompareBy(a, b, false); }

int CompareTextIgnoreCase(std::string_view a, std::string_view b)
{
    return CompareBy(a, b, true);
}

bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() == b.size()) {
        // Fast path for ASCII names, the common case of every lookup.
        bool bAscii = true;
        for (size_t k = 0; k < a.size(); ++k) {
            auto ca = static_cast<unsigned char>(a[k]);
            auto cb = static_cast<unsigned char>(b[k]);
            if ((ca | cb) & 0x80) {
                bAscii = false;
                break;
            }
            if (ca != cb) {
                if (ca >= 'a' && ca <= 'z') ca -= 32;
                if (cb >= 'a' && cb <= 'z') cb -= 32;
                if (ca != cb) return false;
            }
        }
        if (bAscii) return true;
    }
    return CompareBy(a, b, true) == 0;
}

char32_t UpperChar(char32_t c)
{
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
    if (c == 0xB5) return 0x039C;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 32;
    for (const auto& p : kSpecialPairs)
        if (p.Lower == c) return p.Upper;
    if (c >= 0x0100 && c <= 0x017F && c != 0x0138 && c != 0x0149 && c != 0x017F) {
        // Latin Extended-A alternates upper/lower; in 0x0139..0x0148 and 0x0179..0x017E the
        // upper-case letter is the odd one.
        if ((c >= 0x0139 && c <= 0x0148) || (c >= 0x0179 && c <= 0x017E))
            return (c % 2 == 0) ? c - 1 : c;
        if (c == 0x0131) return 'I';
        return (c % 2 == 1) ? c - 1 : c;
    }
    if (c >= 0x03B1 && c <= 0x03C9 && c != 0x03C2) return c - 32;
    if (c == 0x03C2) return 0x03A3;
    if (c >= 0x0430 && c <= 0x044F) return c - 32;
    if (c >= 0x0450 && c <= 0x045F) return c - 80;
    return c;
}

char32_t LowerChar(char32_t c)
{
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
    for (const auto& p : kSpecialPairs)
        if (p.Upper == c) return p.Lower;
    if (c >= 0x0100 && c <= 0x017F && c != 0x0138 && c != 0x0149 && c != 0x017F) {
        if ((c >= 0x0139 && c <= 0x0148) || (c >= 0x0179 && c <= 0x017E))
            return (c % 2 == 1) ? c + 1 : c;
        if (c == 0x0130) return 'i';
        return (c % 2 == 0) ? c + 1 : c;
    }
    if (c >= 0x0391 && c <= 0x03A9 && c != 0x03A2) return c + 32;
    if (c >= 0x0410 && c <= 0x042F) return c + 32;
    if (c >= 0x0400 && c <= 0x040F) return c + 80;
    return c;
}

namespace {
bool IsAscii(std::string_view s)
{
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}
} // namespace

std::string UpperCase(std::string_view s)
{
    // Names are nearly always ASCII; map them without decoding (no temporary buffers).
    if (IsAscii(s)) {
        std::string r(s);
        for (char& c : r)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        return r;
    }
    std::u32string cps = Utf8ToCodePoints(s);
    for (char32_t& c : cps)
        c = UpperChar(c);
    return CodePointsToUtf8(cps);
}

std::string LowerCase(std::string_view s)
{
    if (IsAscii(s)) {
        std::string r(s);
        for (char& c : r)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        return r;
    }
    std::u32string cps = Utf8ToCodePoints(s);
    for (char32_t& c : cps)
        c = LowerChar(c);
    return CodePointsToUtf8(cps);
}

std::string Trim(std::string_view s)
{
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32)
        --e;
    return std::string(s.substr(b, e - b));
}

std::vector<std::string> SplitLines(std::string_view s)
{
    std::vector<std::string> lines;
    size_t start = 0, i = 0;
    while (i < s.size()) {
        if (s[i] == '\r' || s[i] == '\n') {
            lines.emplace_back(s.substr(start, i - start));
            if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
            ++i;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < s.size()) lines.emplace_back(s.substr(start));
    return lines;
}

std::string JoinLinesCrLf(const std::vector<std::string>& lines)
{
    std::string out;
    for (const auto& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

} // namespace ff
