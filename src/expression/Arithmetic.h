// Arithmetic and comparison of two numbers, shared by the operator rules and the numeric
// evaluator so that both give the same results and the same faults.
#pragma once

#include "expression/Tokens.h"

#include <cmath>

namespace ff {

// "+", "-", "*", "/", "%" or "^" on two numbers: a TOpResult, with the result in dRes on
// success. Faults of double arithmetic become result codes, so that no infinity or NaN ever
// becomes a value.
inline int NumericOp(TTokenID op, double l, double r, double& dRes)
{
    double d;
    switch (op) {
    case tkAdd:
        d = l + r;
        break;
    case tkSubtract:
        d = l - r;
        break;
    case tkMult:
        d = l * r;
        break;
    case tkDiv:
        if (r == 0) return orDivideByZero;
        d = l / r;
        break;
    case tkMod: {
        if (r == 0) return orDivideByZero;
        // On the absolute values, with the sign of the left operand: a - b * trunc(a / b) in
        // doubles, so that 1 % 0.1 is 0 as written rather than the 0.0999... that the exact
        // remainder of the stored doubles gives. From 2^53 on the quotient's whole part is no
        // longer exact and that difference loses the remainder, so fmod gives it exactly.
        const double a = std::fabs(l), b = std::fabs(r);
        const double q = std::trunc(a / b);
        const double m = q < 9007199254740992.0 ? a - b * q : std::fmod(a, b);
        d = l < 0 ? -m : m;
        break;
    }
    case tkPow:
        // A whole-number exponent works for a negative base; pow gives it exactly that way.
        if (l == 0 && r < 0) return orDivideByZero;
        d = std::pow(l, r);
        break;
    default:
        return orNotHandled;
    }
    if (!std::isfinite(d)) [[unlikely]]
        return std::isnan(d) ? orInvalidOperation : orOverflow;
    dRes = d;
    return orOK;
}

// d rounded to a whole number, halves to the even neighbour: the results of RoundHalfEven,
// signed zeros and non-finite values included, without a library call. Adding and taking away
// 2^52 leaves no fraction bits, so the addition itself rounds, to even under the default
// rounding mode, which this program never changes.
inline double RoundWholeHalfEven(double d)
{
    constexpr double kTwo52 = 4503599627370496.0;
    const double a = std::fabs(d);
    if (!(a < kTwo52)) return d; // already whole, or not a finite number
    return std::copysign((a + kTwo52) - kTwo52, d);
}

// One of the six comparisons on two numbers: exact double comparison.
inline bool CompareNumbers(TTokenID op, double l, double r)
{
    switch (op) {
    case tkEq:
        return l == r;
    case tkNE:
        return l != r;
    case tkLT:
        return l < r;
    case tkLTE:
        return l <= r;
    case tkGT:
        return l > r;
    default:
        return l >= r;
    }
}

} // namespace ff
