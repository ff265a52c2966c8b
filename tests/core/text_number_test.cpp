#include "core/text_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// Every box, cell and settings value that takes a number reads it this way.
TEST(LeadingNumber, ReadsTheNumberAtTheStartAndNothingElse) {
    const std::pair<const char*, double> cases[] = {
        // Not a number at all.
        {"", 0},
        {"   ", 0},
        {"abc", 0},
        {"+", 0},
        {"-", 0},
        {".", 0},
        {"-.", 0},
        {"e5", 0},
        {".e5", 0},
        {"++5", 0},
        {"0x10", 0},
        {"inf", 0},
        {"nan", 0},
        {"\n5", 0},  // only spaces and tabs are skipped
        {"９", 0},   // full-width digits are turned half-width before
        // A number and what follows it.
        {" \t-12.5abc", -12.5},
        {"+7", 7},
        {"5.", 5},
        {".5", 0.5},
        {"00012", 12},
        {"1,5", 1},
        {"1.2.3", 1.2},
        {"1 2", 1},
        {"1e", 1},
        {"1e+", 1},
        {"1E+3x", 1000},
        {"2.5e-3", 0.0025},
        {"-1.5E2", -150},
        // Beyond the range of a double.
        {"1e999", 0},
        {"-1e999", 0},
        {"1e-999", 0},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(LeadingNumber(text), value) << '"' << text << '"';
        // The boxes that refuse a text without a number read it the same way,
        // but tell such a text from a typed 0.
        const std::optional<double> read = ReadLeadingNumber(text);
        if (value != 0) {
            EXPECT_EQ(read, value) << '"' << text << '"';
        }
    }
    for (const char* none : {"", "abc", "-", "nan", "inf", "1e999", "-1e999", "1e-999", "９"})
        EXPECT_EQ(ReadLeadingNumber(none), std::nullopt) << '"' << none << '"';
    EXPECT_EQ(ReadLeadingNumber("0abc"), 0.0);
    EXPECT_TRUE(std::signbit(LeadingNumber("-0")));
    EXPECT_FALSE(std::signbit(LeadingNumber("-1e-999")));
}

TEST(ParseNumber, TakesTheWholeTextOnly) {
    EXPECT_EQ(ParseNumber(" \t1.5\t "), 1.5);
    EXPECT_EQ(ParseNumber("-2E3"), -2000.0);
    for (const char* text : {"", " ", "1.5x", "1 5", "x1", "1e999", "\n1"})
        EXPECT_EQ(ParseNumber(text), std::nullopt) << '"' << text << '"';
}

TEST(FormatShortestNumber, GivesTheShortestTextThatReadsBack) {
    const double max = std::numeric_limits<double>::max();
    const std::pair<double, const char*> cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {1, "1"},
        {-1, "-1"},
        {1.8, "1.8"},
        {0.1, "0.1"},
        {0.1 + 0.2, "0.3"},  // read to 15 digits
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {100, "100"},
        {1e-4, "0.0001"},
        {1e-5, "1E-05"},
        {0.00012345, "0.00012345"},
        {-2.5e-7, "-2.5E-07"},
        {123456789012345.0, "123456789012345"},
        {1e15, "1E+15"},
        {1e300, "1E+300"},
        {1.79769313486231e308, "1.79769313486231E+308"},
        // Its 15-digit rounding lies beyond the largest double.
        {max, "1.79769313486232E+308"},
        {-max, "-1.79769313486232E+308"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(FormatShortestNumber(value), text) << value;
    EXPECT_EQ(ShortestDecimal(max), max);
    EXPECT_EQ(ShortestDecimal(1.0 / 3), 0.333333333333333);
}

}  // namespace
