#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Numbers in the program's text files: read in the C locale, "." as the decimal
// point, whatever locale the program runs in.

// The whole text as a number: blanks around it, a sign, a decimal point and an
// exponent are accepted; anything else (an empty text included) is not a number.
std::optional<double> ParseNumber(std::string_view text);

// The number at the start of the text (after leading blanks), as far as it
// reads as one (a sign, digits, a decimal point, an exponent), ignoring what
// follows it; 0 when the text does not start with a number.
double LeadingNumber(std::string_view text);

// The number at the start of the text, read as LeadingNumber reads it; none
// when the text does not start with a number ("", "-", "abc", "nan") or the
// number lies beyond what a double holds ("1e400"). A box that refuses a text
// without a number uses this rather than taking such a text as 0.
std::optional<double> ReadLeadingNumber(std::string_view text);

// The nearest integer, a half going to the even neighbour; none when it lies
// outside the range of the type.
std::optional<int32_t> RoundToInt32(double value);
std::optional<int16_t> RoundToInt16(double value);

// The value of the shortest decimal text, of at most 15 significant digits,
// that gives back the value; the 15-digit rounding when none does (1/3 gives
// 0.333333333333333). The value itself when even that lies beyond the range
// of a double.
double ShortestDecimal(double value);

// The shortest decimal text, of at most 15 significant digits, that gives back
// the value: "0", "1.8", "1E-05", "1E+15".
std::string FormatShortestNumber(double value);
