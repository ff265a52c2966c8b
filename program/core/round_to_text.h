#pragma once

#include <string>
#include <string_view>

// The number at the start of `text` (0 when there is none) with `digits`
// decimals, rounded half away from zero: ("1.235", 2) gives "1.24", ("7", 0)
// gives "7". A negative `digits` gives |digits| decimals with the trailing
// zeros (and a bare point) turned into leading blanks, so the text keeps its
// width: ("1.5", -2) gives " 1.5". A value beyond 1E+15 gives |digits| + 2
// asterisks; one below 10^-(|digits| + 2) counts as 0.
std::string RoundToText(std::string_view text, int digits);
