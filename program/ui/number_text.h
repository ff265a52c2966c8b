#pragma once

#include <optional>
#include <string>

// Numbers in the main window's text boxes.

// The number as a text box shows it without a pattern: the shortest form, no
// leading blank, a 0 before a decimal point ("7.5", "200", "0.25").
std::string NumberText(double value);

// The number at the start of the text, as far as it reads as one (leading
// blanks skipped, an optional sign, digits, a decimal point, an exponent);
// 0 when the text does not start with a number.
double LeadingNumber(const std::string& text);

// The number at the start of the text, read as LeadingNumber reads it; none
// when the text does not start with a number ("", "-", "abc", "nan") or the
// number lies beyond what a double holds ("1e400"). A box that refuses a text
// without a number uses this rather than taking such a text as 0.
std::optional<double> ReadLeadingNumber(const std::string& text);

// The text with the full-width digits, signs, point, exponent letters and
// blanks that a Japanese input method types turned into their half-width
// forms ("１．５" gives "1.5"); every other character stays. Every box and
// cell that takes a number reads its text through this first.
std::string HalfWidthNumberText(const std::string& text);
