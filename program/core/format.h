#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/date.h"

// Number and date formatting for the sheets, the results file and the windows.
//
// Number patterns: "0" always shows a digit, "#" only a significant one, "."
// is the decimal point; every other character is copied as it stands (text in
// double quotes and a character after "\" too). The value is first taken to 15
// significant digits and then rounded half away from zero to the number of
// decimal placeholders, so 2.675 with "0.00" gives "2.68". A negative value
// keeps its "-" even when it rounds to zero.
//
// Date patterns: "yyyy", "yy", "mmmm", "mmm", "mm", "m", "dd", "d"; every other
// character is copied.

// The value formatted with the pattern, without any padding; an infinity or a
// NaN gives an empty text.
std::string FormatNumber(double value, std::string_view pattern);

// The abbreviated month names of a locale, January first. The formatting
// layers are locale-free; the windows hand the user's names down.
using MonthNames = std::array<std::string, 12>;

// The date formatted with the pattern, months named in English.
std::string FormatDate(const Date& date, std::string_view pattern);

// As above, "mmm" taking the month's name from `abbreviated`; an empty entry
// falls back on the English abbreviation.
std::string FormatDate(const Date& date, std::string_view pattern, const MonthNames& abbreviated);

// Fixed-width text for tables: the value formatted with the pattern, a trailing
// "." turned into a leading blank, and right-aligned with blanks to the length
// of the pattern. A longer text is returned whole.
std::string FormatFixed(double value, std::string_view pattern);

// A date formatted with the pattern, without padding; the zero date (30 Dec
// 1899, the default Date) gives an empty text.
std::string FormatFixed(const Date& date, std::string_view pattern);

// As FormatFixed, except that a value of 0 with flag 1 gives an empty text.
std::string FormatFixedBlankZero(double value, std::string_view pattern, int flag);
std::string FormatFixedBlankZero(const Date& date, std::string_view pattern, int flag);

// The number as the run-time's Str gives it: a leading blank for zero and
// positive numbers, "-" for negative ones, at most 15 significant digits, no 0
// before the decimal point (" .5"), exponent form ("1E+15", "1E-05") outside
// the plain range.
std::string StrOfNumber(double value);

// Rounds the value to `digits` decimals and returns it as text with a leading
// blank or "-", a 0 before the point and at least `digits` decimals (at most
// 10 zeros are appended). Mode 0 rounds halves away from zero, mode 1 rounds
// away from zero except a fraction below 0.00001, mode 2 rounds toward zero,
// any other mode does not round. Example: (1.25, 1, 0) gives " 1.3".
std::string RoundToString(double value, int32_t digits, int32_t mode);
