#include "core/condition_box_rule.h"

#include <cmath>
#include <cstddef>
#include <iterator>

#include "core/format.h"
#include "core/number_text.h"
#include "core/text_number.h"

namespace {

// In the order of ConditionBox.
constexpr ConditionBoxRule kRules[] = {
    {&CalcConditions::magnitude, 2, 9.99, "#0.0"},
    {&CalcConditions::surfaceAccel, 0, 999, "##0"},
    {&CalcConditions::calcDepth, 0, 99, "#0"},
    {nullptr, 10, 100, nullptr},
};
static_assert(std::size(kRules) == kConditionBoxCount);

}  // namespace

const ConditionBoxRule& ConditionRule(ConditionBox box) {
    return kRules[static_cast<size_t>(box)];
}

std::optional<double> ReadConditionNumber(ConditionBox box, std::string_view text) {
    const ConditionBoxRule& rule = ConditionRule(box);
    std::optional<double> number = ReadLeadingNumber(HalfWidthNumberText(std::string(text)));
    if (!number || *number > rule.max || *number < rule.min)
        return std::nullopt;
    return number;
}

std::string ConditionNumberText(ConditionBox box, double number) {
    const ConditionBoxRule& rule = ConditionRule(box);
    if (rule.pattern == nullptr)
        return std::to_string(NGraphLimit(number));
    std::string text = FormatNumber(number, rule.pattern);
    // A value the pattern would show beyond the range is shown, and kept,
    // as it lies: the box never holds a value it would refuse.
    if (double shown = LeadingNumber(text); shown > rule.max || shown < rule.min)
        text = FormatNumber(number, "#0.00");
    return text;
}

int NGraphLimit(double number) {
    return static_cast<int>(std::nearbyint(number));
}

std::string ConditionRangeNote(ConditionBox box, std::string_view caption) {
    const ConditionBoxRule& rule = ConditionRule(box);
    return "「" + std::string(caption) + "」には" + NumberText(rule.min) + "～" +
           NumberText(rule.max) + "の数値を入力してください";
}
