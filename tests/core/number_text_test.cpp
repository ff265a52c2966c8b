#include "core/number_text.h"

#include <gtest/gtest.h>

namespace {

// What a Japanese input method types into a number box reads as the
// half-width text it stands for; everything else stays as typed.
TEST(HalfWidthNumberText, TurnsTheFullWidthFormsOfANumberHalfWidth) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"１．５", "1.5"},
        {"０１２３４５６７８９", "0123456789"},
        {"－２", "-2"},
        {"−２", "-2"},  // the minus sign an input method may give
        {"＋３ｅ２", "+3E2"},
        {"１Ｅ－３", "1E-3"},
        {"　７", " 7"},
        {"1.5", "1.5"},
        {"１，５", "1，5"},  // not a number's character: kept
        {"１０ｍ", "10ｍ"},
        {"ａｂｃ", "ａｂｃ"},
        {"𠮷１", "𠮷1"},
        {"＿", "＿"},  // a neighbour of the full-width digits
    };
    for (const auto& [typed, read] : cases)
        EXPECT_EQ(HalfWidthNumberText(typed), read) << typed;
}

TEST(NumberText, ShowsTheShortestFormWithALeadingZero) {
    EXPECT_EQ(NumberText(7.5), "7.5");
    EXPECT_EQ(NumberText(200), "200");
    EXPECT_EQ(NumberText(0.25), "0.25");
    EXPECT_EQ(NumberText(-0.25), "-0.25");
}

}  // namespace
