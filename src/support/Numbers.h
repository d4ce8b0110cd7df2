// Number <-> text rules shared by field values, the expression language and typed sizes, and
// the process-wide decimal separator of the user.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ff {

// The user's decimal separator (default '.'); used when numbers become text and back.
extern char DecimalSeparator;

// True when s, after every user decimal separator is replaced by '.', reads completely as a
// decimal number: leading blanks, optional sign, digits with optional fraction, optional
// exponent, nothing after it. The empty text is not a number.
bool IsFloatText(std::string_view s);

// The numeric-text test of the expression language: like IsFloatText but only '.' separates
// the fraction, whatever the user's separator is.
bool IsNumericText(std::string_view s);

// True when s reads completely as a 32-bit integer: leading blanks, optional sign, decimal
// digits, or hexadecimal digits introduced by "$", "x" or "0x".
bool IsIntegerText(std::string_view s);

// Reads an integer text as IsIntegerText accepts it; false (and nValue untouched) otherwise.
bool TryTextToInteger(std::string_view s, std::int32_t& nValue);

// Reads a decimal number written with '.' or with the user's separator; false when the text is
// not a number in either form.
bool TryTextToNumber(std::string_view s, double& dValue);

// Text-to-number of the expression language: the value of a numeric text, 0 for any other.
double TextToNumber(std::string_view s);

// Number-to-text: shortest general form with at most 15 significant digits, fixed notation
// for 0 and for magnitudes from 0.0001 with at most 15 integer digits, otherwise scientific
// ("1E20", "1.5E-7"), with the user's decimal separator.
std::string NumberToText(double d);

// Rounds to the nearest integer, halves to the even neighbour.
double RoundHalfEven(double d);

// Cuts toward zero.
double Trunc(double d);

} // namespace ff
