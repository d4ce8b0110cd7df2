#include "expression/BuiltinFunctions.h"

#include "expression/Arithmetic.h"
#include "expression/KELDExpression.h"
#include "support/Numbers.h"
#include "support/Text.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace ff {

namespace {

// Powers of ten that a double holds exactly.
constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Rounds the exact value p + e to a whole number, halves to even, where p is a double below
// 2^52 in magnitude and |e| is at most half a unit in p's last place. Only when p itself is a
// half can e change the outcome.
double NearestHalfEven(double p, double e)
{
    const double fl = std::floor(p);
    const double frac = p - fl;
    if (frac > 0.5) return fl + 1;
    if (frac < 0.5) return fl;
    if (e > 0) return fl + 1;
    if (e < 0) return fl;
    return std::fmod(fl, 2.0) == 0 ? fl : fl + 1;
}

constexpr const char* kInvalidOp = "Invalid Floating Point Operation";

// The result of a numeric function, or why it cannot be one.
bool Finite(double d, double& dRes, const char*& pError)
{
    if (std::isnan(d)) {
        pError = kInvalidOp;
        return false;
    }
    if (std::isinf(d)) {
        pError = "Floating Point Overflow";
        return false;
    }
    dRes = d;
    return true;
}

// floor and ceil give 32-bit whole numbers; a result outside that range is an error rather
// than a silently wrapped value.
bool Int32(double d, double& dRes, const char*& pError)
{
    if (std::isnan(d)) {
        pError = kInvalidOp;
        return false;
    }
    if (!(d >= -2147483648.0 && d <= 2147483647.0)) {
        pError = "Integer Overflow";
        return false;
    }
    dRes = d == 0 ? 0.0 : d;
    return true;
}

// Calls NumericBuiltin with the arguments' numbers.
bool NumericFn(int nIndex, TToken& ans, const TTokenStack& p, std::string& sError)
{
    const int n = p.Count();
    if (n == 0) return false;
    double buf[16];
    std::vector<double> big;
    double* a = buf;
    if (n > 16) {
        big.resize(static_cast<size_t>(n));
        a = big.data();
    }
    for (int i = 0; i < n; ++i)
        a[i] = p[i]->AsDouble();
    double d = 0;
    const char* pError = nullptr;
    if (!NumericBuiltin(nIndex, a, n, d, pError)) {
        if (pError) sError = pError;
        return false;
    }
    ans.SetDblVal(d);
    return true;
}

bool FnMax(TToken& ans, const TTokenStack& p, std::string& sError, void*)
{
    return NumericFn(bfMax, ans, p, sError);
}
bool FnMin(TToken& ans, const TTokenStack& p, std::string& sError, void*)
{
    return NumericFn(bfMin, ans, p, sError);
}
bool FnSqrt(TToken& ans, const TTokenStack& p, std::string& sError, void*)
{
    return NumericFn(bfSqrt, ans, p, sError);
}
bool FnAbs(TToken& ans, const TTokenStack& p, std::string& sError, void*)
{
    return NumericFn(bfAbs, ans, p, sError);
}
bool FnRound(TToken& ans, const TTokenStack& p, std::string& sError, void*)
{
    return NumericFn(bfRound, ans, p, sError);
}
bool FnFloor(TToken& ans, const TTokenStack& p, std::string& sError, void*)
{
    return NumericFn(bfFloor, ans, p, sError);
}
bool FnCeil(TToken& ans, const TTokenStack& p, std::string& sError, void*)
{
    return NumericFn(bfCeil, ans, p, sError);
}
bool FnSign(TToken& ans, const TTokenStack& p, std::string& sError, void*)
{
    return NumericFn(bfSign, ans, p, sError);
}

// A text argument without copying it when it already is a text.
template <class F> auto WithText(const TToken& tk, F f)
{
    if (tk.DataType == dtText) return f(std::string_view(tk.FTextVal));
    const std::string s = tk.AsText();
    return f(std::string_view(s));
}

bool FnIf(TToken& ans, const TTokenStack& p, std::string&, void*)
{
    if (p.Count() < 3) return false;
    ans.CopyFrom(p[0]->AsBool() ? *p[1] : *p[2]);
    return true;
}

bool FnLength(TToken& ans, const TTokenStack& p, std::string&, void*)
{
    if (p.Empty()) return false;
    ans.SetDblVal(
        static_cast<double>(WithText(*p[0], [](std::string_view s) { return Utf16Length(s); })));
    return true;
}

bool FnTrim(TToken& ans, const TTokenStack& p, std::string&, void*)
{
    if (p.Empty()) return false;
    std::string s = WithText(*p[0], [](std::string_view t) { return Trim(t); });
    ans.FTextVal = std::move(s);
    ans.DataType = dtText;
    return true;
}

// Positions and counts are UTF-16 code units, the units in which the sheet's texts are measured.
bool FnSubstr(TToken& ans, const TTokenStack& p, std::string&, void*)
{
    if (p.Count() < 2) return false;
    const std::u16string w = WithText(*p[0], [](std::string_view s) { return Utf8ToUtf16(s); });
    const double len = static_cast<double>(w.size());
    double dStart = RoundHalfEven(p[1]->AsDouble());
    if (!(dStart >= 1)) dStart = 1;
    if (dStart > len) {
        ans.SetTextVal("");
        return true;
    }
    const auto nStart = static_cast<size_t>(dStart) - 1;
    size_t nCount = w.size() - nStart;
    if (p.Count() > 2) {
        const double dCount = RoundHalfEven(p[2]->AsDouble());
        if (!(dCount >= 0)) {
            ans.SetTextVal("");
            return true;
        }
        if (dCount < static_cast<double>(nCount)) nCount = static_cast<size_t>(dCount);
    }
    ans.FTextVal = Utf16ToUtf8(std::u16string_view(w).substr(nStart, nCount));
    ans.DataType = dtText;
    return true;
}

} // namespace

bool NumericBuiltin(int nIndex, const double* a, int n, double& dRes, const char*& pError)
{
    if (n < 1) return false;
    switch (nIndex) {
    case bfMax:
    case bfMin: {
        // From the first argument, each following one compared in turn.
        double d = a[0];
        for (int i = 1; i < n; ++i)
            if (nIndex == bfMax ? a[i] > d : a[i] < d) d = a[i];
        return Finite(d, dRes, pError);
    }
    case bfSqrt:
        if (a[0] < 0) {
            pError = kInvalidOp;
            return false;
        }
        return Finite(std::sqrt(a[0]), dRes, pError);
    case bfAbs:
        return Finite(std::fabs(a[0]), dRes, pError);
    case bfRound: {
        const double nDigits = n > 1 ? RoundWholeHalfEven(a[1]) : 0.0;
        if (!(nDigits >= -20 && nDigits <= 20)) {
            pError = "Invalid Parameter for round()";
            return false;
        }
        return Finite(RoundToDecimals(a[0], static_cast<int>(nDigits)), dRes, pError);
    }
    case bfFloor:
        return Int32(std::floor(a[0]), dRes, pError);
    case bfCeil:
        return Int32(std::ceil(a[0]), dRes, pError);
    case bfSign:
        if (std::isnan(a[0])) {
            pError = kInvalidOp;
            return false;
        }
        dRes = a[0] > 0 ? 1.0 : a[0] < 0 ? -1.0 : 0.0;
        return true;
    default:
        return false;
    }
}

double RoundToDecimals(double x, int nDigits)
{
    if (!std::isfinite(x)) return x;
    if (nDigits == 0) return RoundWholeHalfEven(x);
    if (nDigits > 22 || nDigits < -22) return x;
    const double f = kPow10[std::abs(nDigits)];
    constexpr double kWhole = 4503599627370496.0; // 2^52: from here on every double is whole
    if (nDigits > 0) {
        // Beyond this x has no digits left at the 10^-n place.
        if (std::fabs(x) >= kWhole / f) return x;
        const double p = x * f;
        const double e = std::fma(x, f, -p); // x * f == p + e exactly
        return NearestHalfEven(p, e) / f;
    }
    const double q = x / f;
    if (std::fabs(q) >= kWhole) return x;
    const double r = std::fma(-q, f, x); // x == q * f + r exactly; r's sign tells the side
    return NearestHalfEven(q, r) * f;
}

void RegisterBuiltinFunctions(TKELDExpression& ex)
{
    ex.AddFunction("max", FnMax, 1, 0);
    ex.AddFunction("min", FnMin, 1, 0);
    ex.AddFunction("sqrt", FnSqrt, 1, 1);
    ex.AddFunction("abs", FnAbs, 1, 1);
    ex.AddFunction("round", FnRound, 1, 2);
    ex.AddFunction("floor", FnFloor, 1, 1);
    ex.AddFunction("ceil", FnCeil, 1, 1);
    ex.AddFunction("sign", FnSign, 1, 1);
    ex.AddFunction("if", FnIf, 3, 3);
    ex.AddFunction("length", FnLength, 1, 1);
    ex.AddFunction("trim", FnTrim, 1, 1);
    ex.AddFunction("substr", FnSubstr, 2, 3);
}

} // namespace ff
