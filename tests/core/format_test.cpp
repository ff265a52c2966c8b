#include "core/format.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct FormatCase {
    double value;
    const char* pattern;
    const char* text;
};

// Every pattern the sheets, the results file and the windows use.
const FormatCase kFormatCases[] = {
    {0.125, "##0.#0", "  0.13"},
    {2.675, "##0.#0", "  2.68"},
    {1.005, "##0.#0", "  1.01"},
    {1.5, "##0.#0", "  1.50"},
    {0, "##0.#0", "  0.00"},
    {123.456, "##0.#0", "123.46"},
    {99.995, "##0.#0", "100.00"},
    {1234.5, "##0.#0", "1234.50"},
    {-2.5, "##0.#0", " -2.50"},
    {0.0625, "#0.##0", " 0.063"},
    {1.2345, "#0.##0", " 1.235"},
    {-0.0005, "#0.##0", "-0.001"},
    {1.5, "##0.0", "  1.5"},
    {0, "##0.0", "  0.0"},
    {0.05, "##0.0", "  0.1"},
    {-0.04, "##0.0", " -0.0"},
    {123456, "##0", "123456"},
    {-0.5, "##0", " -1"},
    {0.5, "##0", "  1"},
    {0.49, "##0", "  0"},
    {2.5, "##0", "  3"},
    {7.25, "#0.0", " 7.3"},
    {3, "#0", " 3"},
    {0, "#0", " 0"},
    {0.5, "#.000", " .500"},
    {12.3456, "#.000", "12.346"},
    {0.5, "(#0.0)", " (0.5)"},
    {2.5, "(#0.0)", " (2.5)"},
    {50, "##0 /", " 50 /"},
    {1.5, "###0.00#", "    1.50"},
    {1.2345, "###0.00#", "   1.235"},
    {-12.5, "###0.00#m", "  -12.50m"},
    {3.25, "##0.00", "  3.25"},
    {0.675, "#0.#0", " 0.68"},
    {0.3, "#0.000", " 0.300"},
    {12.25, "###0.0", "  12.3"},
    {20000, "#####0", " 20000"},
    {0.125, "0.00", "0.13"},
    {0.0625, "0.000", "0.063"},
    {100.05, "####0.0", "  100.1"},
    {0.7, "#.000", " .700"},
    {1.6, "#0.00", " 1.60"},
    {3.5, "###0.00", "   3.50"},
    {2.5, "############0", "            3"},
    {2.25, "##########0.0", "          2.3"},
    {0.125, "#########0.00", "         0.13"},
    {1.0005, "########0.000", "        1.001"},
    {-0.00005, "#######0.0000", "      -0.0001"},
    {5, "##0.", "   5"},
    {1e20, "##0", "100000000000000000000"},
    {std::numeric_limits<double>::infinity(), "##0", "   "},  // no number: blank
};

TEST(FormatFixed, ReproducesTheRunTimePatterns) {
    for (const FormatCase& c : kFormatCases)
        EXPECT_EQ(FormatFixed(c.value, c.pattern), c.text) << c.value << " " << c.pattern;
}

TEST(FormatFixed, FormatsDatesAndBlanksTheZeroDate) {
    Date date{2008, 3, 5};
    EXPECT_EQ(FormatFixed(date, "yyyy/mm/dd"), "2008/03/05");
    EXPECT_EQ(FormatFixed(date, "yyyy年mm月dd日"), "2008年03月05日");
    EXPECT_EQ(FormatFixed(date, "\"調査年月日: \"yyyy/mm/dd\"～\""), "調査年月日: 2008/03/05～");
    EXPECT_EQ(FormatFixed(date, "yy/m/d"), "08/3/5");
    EXPECT_EQ(FormatFixed(Date{}, "yyyy/mm/dd"), "");
    EXPECT_EQ(FormatFixedBlankZero(Date{}, "yyyy/mm/dd", 0), "");
}

TEST(FormatFixedBlankZero, BlanksOnlyAZeroWithFlagOne) {
    EXPECT_EQ(FormatFixedBlankZero(0, "##0.0", 1), "");
    EXPECT_EQ(FormatFixedBlankZero(0, "##0.0", 0), "  0.0");
    EXPECT_EQ(FormatFixedBlankZero(0.001, "##0.#0", 1), "  0.00");
    EXPECT_EQ(FormatFixedBlankZero(2.5, "##0.#0", 1), "  2.50");
}

TEST(FormatNumber, AddsNoPadding) {
    EXPECT_EQ(FormatNumber(5, "##0."), "5.");
    EXPECT_EQ(FormatNumber(0, "#"), "");
    EXPECT_EQ(FormatNumber(1.6, "#0.00"), "1.60");
    EXPECT_EQ(FormatFixed(2.5, "#0.0ｍ"), " 2.5ｍ");
}

// An infinity or a NaN is never shown or written as a number: the grid, the
// results file and the sheets all format through these.
TEST(FormatNumber, ANonFiniteValueIsNoNumber) {
    const double values[] = {std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN()};
    for (double value : values) {
        EXPECT_EQ(FormatNumber(value, "##0.#0"), "") << value;
        EXPECT_EQ(FormatFixed(value, "##0.#0"), "      ") << value;
        EXPECT_EQ(FormatFixedBlankZero(value, "#0.##0", 1), "      ") << value;
    }
}

TEST(StrOfNumber, FollowsTheRunTimeStr) {
    const std::pair<double, const char*> cases[] = {
        {0, " 0"},           {0.5, " .5"},     {-0.5, "-.5"},
        {1.3, " 1.3"},       {-12, "-12"},     {0.0001, " .0001"},
        {0.00001, " 1E-05"}, {1e15, " 1E+15"}, {123456789012345, " 123456789012345"},
        {0.1 + 0.2, " .3"},  {-0.0, " 0"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(StrOfNumber(value), text) << value;
}

TEST(RoundToString, RoundsByModeAndPadsDecimals) {
    struct Case {
        double value;
        int digits;
        int mode;
        const char* text;
    };
    const Case cases[] = {
        {1.25, 1, 0, " 1.3"},
        {3, 2, 2, " 3.00"},
        {-0.5, 1, 0, "-0.5"},
        {0.5, 1, 0, " 0.5"},
        {-1.25, 1, 0, "-1.3"},
        {1.2, 0, 1, " 2"},
        {3.000001, 0, 1, " 3"},
        {-1.2, 0, 1, "-2"},
        {1.99, 0, 2, " 1"},
        {-1.99, 0, 2, "-1"},
        {1.234, 2, 7, " 1.234"},
        {0, 2, 0, " 0.00"},
        {2.5, 12, 0, " 2.50000000000"},
        {0.00001, 5, 0, " 0.00001"},
        {2e15, 1, 0, " 2000000000000000.0"},
        // A negative value that rounds to zero shows no sign.
        {-0.04, 1, 0, " 0.0"},
        {-0.99, 0, 2, " 0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RoundToString(c.value, c.digits, c.mode), c.text)
            << c.value << " " << c.digits << " " << c.mode;
}

}  // namespace
