#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/document.h"

// The boxes of the condition page that take a number.
enum class ConditionBox { Magnitude, SurfaceAccel, CalcDepth, NGraphLimit };
inline constexpr int kConditionBoxCount = 4;

// A condition box's rule, which leaving the box and the check before a
// command both apply: the range its number must lie in and the pattern the
// number is shown with. The N-value limit is a whole number of the document
// that only redraws the figure: it has its range here and no pattern or
// condition.
struct ConditionBoxRule {
    double CalcConditions::*value;  // null for the N-value limit
    double min;
    double max;
    const char* pattern;  // null for the N-value limit
};

const ConditionBoxRule& ConditionRule(ConditionBox box);

// The number a box's text gives when it lies in the box's range. The text is
// read as typed, full-width digits included, as far as it reads as a number;
// a text without a number is refused like one out of range, not read as 0.
std::optional<double> ReadConditionNumber(ConditionBox box, std::string_view text);

// The text a box shows for a number in its range, whose number is also the
// value kept: the number rounded by the box's pattern, or with two decimals
// where that rounding would carry it out of the range (9.96 as "10.0"). The
// N-value limit shows its whole number.
std::string ConditionNumberText(ConditionBox box, double number);

// The whole number the N-value limit keeps for a number in its range: the
// nearest one, a half going to the even neighbour.
int NGraphLimit(double number);

// The note of a refused box: its caption and the range it takes, so that the
// note reads as this box's wherever it stands.
std::string ConditionRangeNote(ConditionBox box, std::string_view caption);
