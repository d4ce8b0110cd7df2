// Text helpers: Windows-1252 <-> UTF-8 for the file formats, UTF-16 code-unit measures and
// comparisons for the expression language and the script engines, and the name comparison
// "ignoring case" used for field, list, store, column and function names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ff {

// Bytes of Windows-1252 to UTF-8. The five bytes the code page leaves undefined map to the
// C1 controls of the same value, as Windows does.
std::string Cp1252ToUtf8(std::string_view sAnsi);

// UTF-8 to Windows-1252; characters outside the code page (and malformed bytes) become "?".
std::string Utf8ToCp1252(std::string_view sUtf8);

// Decodes UTF-8 into code points; malformed bytes become U+FFFD.
std::u32string Utf8ToCodePoints(std::string_view s);
std::string CodePointsToUtf8(std::u32string_view s);

std::u16string Utf8ToUtf16(std::string_view s);
std::string Utf16ToUtf8(std::u16string_view s);

// Length in UTF-16 code units.
size_t Utf16Length(std::string_view s);

// Compares by UTF-16 code units, case-sensitive: negative, 0 or positive.
int CompareCodeUnits(std::string_view a, std::string_view b);

// Compares ignoring case (simple upper-case mapping of each character), then by code unit.
int CompareTextIgnoreCase(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);

// Simple upper/lower-case mapping of the whole text (Latin, Greek, Cyrillic letters).
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
char32_t UpperChar(char32_t c);
char32_t LowerChar(char32_t c);

// Trims blanks and control characters (code <= 32) at both ends.
std::string Trim(std::string_view s);

// Splits at CR LF, CR or LF; a trailing line break does not add an empty line.
std::vector<std::string> SplitLines(std::string_view s);

// Joins lines, each followed by CR LF (the text of a string list).
std::string JoinLinesCrLf(const std::vector<std::string>& lines);

} // namespace ff
