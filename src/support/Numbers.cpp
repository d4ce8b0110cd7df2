#include "support/Numbers.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace ff {

char DecimalSeparator = '.';

namespace {

// Scans a decimal number at s[i..]; returns true when it consumes the whole text. The
// separator given is the only character that starts a fraction.
bool ScanDecimal(std::string_view s, char cSep)
{
    size_t i = 0, n = s.size();
    while (i < n && s[i] == ' ')
        ++i;
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    size_t nDigits = 0;
    while (i < n && std::isdigit(static_cast<unsigned char>(s[i]))) {
        ++i;
        ++nDigits;
    }
    if (i < n && s[i] == cSep) {
        ++i;
        while (i < n && std::isdigit(static_cast<unsigned char>(s[i]))) {
            ++i;
            ++nDigits;
        }
    }
    if (nDigits == 0) return false;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
        size_t nExp = 0;
        while (i < n && std::isdigit(static_cast<unsigned char>(s[i]))) {
            ++i;
            ++nExp;
        }
        if (nExp == 0) return false;
    }
    return i == n;
}

// Parses a text that ScanDecimal accepted with separator cSep.
double ParseDecimal(std::string_view s, char cSep)
{
    std::string t(s);
    for (char& c : t)
        if (c == cSep) c = '.';
    // strtod honours the C locale, which the program never changes from "C".
    return std::strtod(t.c_str(), nullptr);
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

bool IsFloatText(std::string_view s)
{
    if (DecimalSeparator == '.') return ScanDecimal(s, '.');
    std::string t(s);
    for (char& c : t)
        if (c == DecimalSeparator) c = '.';
    return ScanDecimal(t, '.');
}

bool IsNumericText(std::string_view s) { return ScanDecimal(s, '.'); }

bool TryTextToInteger(std::string_view s, std::int32_t& nValue)
{
    size_t i = 0, n = s.size();
    while (i < n && s[i] == ' ')
        ++i;
    bool bNeg = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) {
        bNeg = s[i] == '-';
        ++i;
    }
    bool bHex = false;
    if (i < n && s[i] == '$') {
        bHex = true;
        ++i;
    } else if (i < n && (s[i] == 'x' || s[i] == 'X')) {
        bHex = true;
        ++i;
    } else if (i + 1 < n && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        bHex = true;
        i += 2;
    }
    if (i >= n) return false;
    std::uint64_t v = 0;
    for (; i < n; ++i) {
        int d = bHex ? HexDigit(s[i]) : (std::isdigit(static_cast<unsigned char>(s[i])) ? s[i] - '0' : -1);
        if (d < 0) return false;
        v = v * (bHex ? 16 : 10) + static_cast<unsigned>(d);
        if (v > 0xFFFFFFFFull) return false;
    }
    if (bHex) {
        // Hexadecimal texts cover the full 32-bit pattern: $FFFFFFFF is -1.
        auto u = static_cast<std::uint32_t>(v);
        std::int32_t r = static_cast<std::int32_t>(u);
        nValue = bNeg ? static_cast<std::int32_t>(0u - u) : r;
        return true;
    }
    if (bNeg) {
        if (v > 2147483648ull) return false;
        nValue = static_cast<std::int32_t>(-static_cast<std::int64_t>(v));
    } else {
        if (v > 2147483647ull) return false;
        nValue = static_cast<std::int32_t>(v);
    }
    return true;
}

bool IsIntegerText(std::string_view s)
{
    std::int32_t n;
    return TryTextToInteger(s, n);
}

bool TryTextToNumber(std::string_view s, double& dValue)
{
    if (ScanDecimal(s, '.')) {
        dValue = ParseDecimal(s, '.');
        return true;
    }
    if (DecimalSeparator != '.' && ScanDecimal(s, DecimalSeparator)) {
        dValue = ParseDecimal(s, DecimalSeparator);
        return true;
    }
    return false;
}

double TextToNumber(std::string_view s)
{
    double d = 0;
    return TryTextToNumber(s, d) ? d : 0.0;
}

std::string NumberToText(double d)
{
    if (std::isnan(d)) return "NAN";
    if (std::isinf(d)) return d > 0 ? "INF" : "-INF";
    if (d == 0) return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", d);
    std::string s = buf;
    std::string out;
    out.reserve(s.size());
    size_t e = s.find('e');
    std::string mant = e == std::string::npos ? s : s.substr(0, e);
    for (char c : mant)
        out += c == '.' ? DecimalSeparator : c;
    if (e != std::string::npos) {
        // "%g" writes e+20 / e-05; the general form wants E20 / E-5.
        out += 'E';
        size_t i = e + 1;
        if (s[i] == '-') out += '-';
        if (s[i] == '+' || s[i] == '-') ++i;
        while (i + 1 < s.size() && s[i] == '0')
            ++i;
        out += s.substr(i);
    }
    return out;
}

double RoundHalfEven(double d)
{
    if (!std::isfinite(d)) return d;
    double r = std::round(d); // halves away from zero
    if (std::fabs(d - std::trunc(d)) == 0.5) r = 2.0 * std::round(d / 2.0);
    return r;
}

double Trunc(double d) { return std::trunc(d); }

} // namespace ff
