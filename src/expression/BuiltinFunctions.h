// The built-in functions that every expression engine registers when it is created.
#pragma once

#include <string>

namespace ff {

class TKELDExpression;

// Registers max, min, sqrt, abs, round, floor, ceil, sign, if, length, trim and substr, in this
// order, so that they take the function indexes 0 to 11.
void RegisterBuiltinFunctions(TKELDExpression& ex);

// Indexes of the built-in functions in every engine's function list.
enum TBuiltinIndex : int {
    bfMax = 0,
    bfMin,
    bfSqrt,
    bfAbs,
    bfRound,
    bfFloor,
    bfCeil,
    bfSign,
    bfIf,
    bfLength,
    bfTrim,
    bfSubstr,
    BUILTIN_COUNT
};

// The numeric built-ins (bfMax to bfSign) on numbers a[0..n-1]: true with the result in dRes,
// or false with the reason in pError. The registered functions and the numeric evaluator both
// use it. n must be within the function's limits.
bool NumericBuiltin(int nIndex, const double* a, int n, double& dRes, const char*& pError);

// x rounded to nDigits decimals (negative: to tens, hundreds, ...), halves to the even
// neighbour, judged on the exact value of the stored double: round(2.675, 2) is 2.67 because the
// double nearest 2.675 lies below it, although 2.675 * 100 evaluates to exactly 267.5.
// nDigits must lie in -22..22.
double RoundToDecimals(double x, int nDigits);

} // namespace ff
