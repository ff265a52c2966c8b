#include "core/condition_box_rule.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

const char* Name(ConditionBox box) {
    switch (box) {
        case ConditionBox::Magnitude:
            return "magnitude";
        case ConditionBox::SurfaceAccel:
            return "surface acceleration";
        case ConditionBox::CalcDepth:
            return "calculation depth";
        case ConditionBox::NGraphLimit:
            return "N-value limit";
    }
    return "?";
}

// A typed text either is refused (no text) or shows as the box's text, whose
// number is the value kept.
struct Case {
    ConditionBox box;
    const char* typed;
    std::optional<std::string> shown;
};

TEST(ConditionBoxRule, TakesANumberInRangeAndShowsItRoundedWithoutLeavingTheRange) {
    const Case cases[] = {
        {ConditionBox::Magnitude, "7.5", "7.5"},
        {ConditionBox::Magnitude, "2", "2.0"},
        {ConditionBox::Magnitude, "7.04", "7.0"},
        {ConditionBox::Magnitude, "9.94", "9.9"},
        // Rounded to "10.0" these would lie beyond 9.99: two decimals instead.
        {ConditionBox::Magnitude, "9.96", "9.96"},
        {ConditionBox::Magnitude, "9.99", "9.99"},
        {ConditionBox::Magnitude, "9.991", std::nullopt},
        {ConditionBox::Magnitude, "1.99", std::nullopt},
        {ConditionBox::Magnitude, "８", "8.0"},  // typed by an input method
        {ConditionBox::Magnitude, "7.5m", "7.5"},
        {ConditionBox::Magnitude, "", std::nullopt},
        {ConditionBox::Magnitude, "abc", std::nullopt},  // not read as 0
        {ConditionBox::SurfaceAccel, "200", "200"},
        {ConditionBox::SurfaceAccel, "0", "0"},
        {ConditionBox::SurfaceAccel, "150.5", "151"},
        {ConditionBox::SurfaceAccel, "999", "999"},
        {ConditionBox::SurfaceAccel, "999.4", std::nullopt},
        {ConditionBox::SurfaceAccel, "-1", std::nullopt},
        {ConditionBox::SurfaceAccel, "-0.4", std::nullopt},
        {ConditionBox::SurfaceAccel, "1e400", std::nullopt},
        {ConditionBox::CalcDepth, "20", "20"},
        {ConditionBox::CalcDepth, "0", "0"},
        {ConditionBox::CalcDepth, "98.6", "99"},
        {ConditionBox::CalcDepth, "99", "99"},
        {ConditionBox::CalcDepth, "99.01", std::nullopt},
        {ConditionBox::CalcDepth, "－１", std::nullopt},
        {ConditionBox::NGraphLimit, "50", "50"},
        {ConditionBox::NGraphLimit, "10", "10"},
        {ConditionBox::NGraphLimit, "100", "100"},
        {ConditionBox::NGraphLimit, "55.4", "55"},
        {ConditionBox::NGraphLimit, "10.5", "10"},  // a half goes to the even one
        {ConditionBox::NGraphLimit, "11.5", "12"},
        {ConditionBox::NGraphLimit, "99.6", "100"},
        {ConditionBox::NGraphLimit, "9.99", std::nullopt},
        {ConditionBox::NGraphLimit, "100.1", std::nullopt},
    };
    for (const Case& c : cases) {
        std::optional<double> number = ReadConditionNumber(c.box, c.typed);
        ASSERT_EQ(number.has_value(), c.shown.has_value()) << Name(c.box) << " " << c.typed;
        if (number) {
            EXPECT_EQ(ConditionNumberText(c.box, *number), *c.shown)
                << Name(c.box) << " " << c.typed;
        }
    }
}

// The N-value limit is no calculation condition: the window keeps it in the
// document's own whole number.
TEST(ConditionBoxRule, EachBoxButTheNValueLimitSetsItsOwnCondition) {
    EXPECT_EQ(ConditionRule(ConditionBox::Magnitude).value, &CalcConditions::magnitude);
    EXPECT_EQ(ConditionRule(ConditionBox::SurfaceAccel).value, &CalcConditions::surfaceAccel);
    EXPECT_EQ(ConditionRule(ConditionBox::CalcDepth).value, &CalcConditions::calcDepth);
    EXPECT_EQ(ConditionRule(ConditionBox::NGraphLimit).value, nullptr);
}

// The note names the box by its caption and gives the range as the box
// would show its ends.
TEST(ConditionBoxRule, TheRangeNoteNamesTheBoxAndItsRange) {
    EXPECT_EQ(ConditionRangeNote(ConditionBox::SurfaceAccel, "設計用水平加速度(㎝/s2)"),
              "「設計用水平加速度(㎝/s2)」には0～999の数値を入力してください");
    EXPECT_EQ(ConditionRangeNote(ConditionBox::Magnitude, "マグニチュード"),
              "「マグニチュード」には2～9.99の数値を入力してください");
    EXPECT_EQ(ConditionRangeNote(ConditionBox::CalcDepth, "計算深さ(m)"),
              "「計算深さ(m)」には0～99の数値を入力してください");
    EXPECT_EQ(ConditionRangeNote(ConditionBox::NGraphLimit, "Ｎ値の上限値"),
              "「Ｎ値の上限値」には10～100の数値を入力してください");
}

}  // namespace
