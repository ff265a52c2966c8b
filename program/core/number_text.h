#pragma once

#include <string>

// Numbers in the main window's text boxes.

// The number as a text box shows it without a pattern: the shortest form, no
// leading blank, a 0 before a decimal point ("7.5", "200", "0.25").
std::string NumberText(double value);

// The text with the full-width digits, signs, point, exponent letters and
// blanks that a Japanese input method types turned into their half-width
// forms ("１．５" gives "1.5"); every other character stays. Every box and
// cell that takes a number reads its text through this first.
std::string HalfWidthNumberText(const std::string& text);
