#include "core/value_line.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/codepage.h"

namespace {

TEST(ValueLine, FormatsEveryKindOfValue) {
    using V = LineValue;
    EXPECT_EQ(FormatValueLine({V::Text("a,b"), V::Number(0.1), V::Integer(-3), V::Blank(),
                               V::DateValue(Date{2008, 3, 5}), V::NumberOrEmpty(0),
                               V::NumberOrEmpty(-2.5), V::Unquoted(" 1.50")}),
              "\"a,b\",0.1,-3,,#2008-03-05#,,-2.5, 1.50");
    EXPECT_EQ(FormatValueLine({V::Number(1), V::Blank()}), "1,");
    EXPECT_EQ(FormatValueLine({V::Text("say \"hi\"")}), "\"say ＂hi＂\"");
    EXPECT_EQ(FormatValueLine({}), "");
}

TEST(ValueLine, ShortestNumberTextReadsBackExactly) {
    const double values[] = {0,      0.1,     1.0 / 3,   -2.675, 1e-7, 123456789012345678.0,
                             5e-324, 1.7e308, 0.1 + 0.2, 20,     -0.35};
    for (double value : values) {
        std::string text = ShortestNumberText(value);
        ValueReader in(text);
        EXPECT_EQ(in.ReadNumber(), value) << text;
    }
    EXPECT_EQ(ShortestNumberText(20), "20");
    EXPECT_EQ(ShortestNumberText(-0.0), "0");  // a default of 0 stored negated
    EXPECT_EQ(ShortestNumberText(std::numeric_limits<double>::quiet_NaN()), "");
    EXPECT_EQ(ShortestNumberText(-std::numeric_limits<double>::infinity()), "");
}

TEST(ValueReader, ReadsValuesAcrossCommasAndLineEnds) {
    ValueReader in(
        Utf8ToCp932("\"工事, その1\",  12.5 ,,\r\n"
                    "@section\r\n"
                    "\"\",#2008-03-05#,#1999-1-2 10:20:30#,\n"
                    "  plain text  ,-1.5E+2,.5,+3,1e-3\r"
                    "2.5,3.5,-2.5,32767,\"x\" junk,7"));
    EXPECT_EQ(in.ReadText(), "工事, その1");
    EXPECT_EQ(in.ReadNumber(), 12.5);
    EXPECT_EQ(in.ReadNumber(), 0);
    EXPECT_EQ(in.ReadText(), "");  // the empty value before the line end
    EXPECT_EQ(in.ReadText(), "@section");
    EXPECT_EQ(in.ReadText(), "");
    EXPECT_EQ(in.ReadDate(), (Date{2008, 3, 5}));
    EXPECT_EQ(in.ReadDate(), (Date{1999, 1, 2}));
    EXPECT_EQ(in.ReadDate(), Date{});
    EXPECT_EQ(in.ReadText(), "plain text");
    EXPECT_EQ(in.ReadNumber(), -150);
    EXPECT_EQ(in.ReadNumber(), 0.5);
    EXPECT_EQ(in.ReadNumber(), 3);
    EXPECT_EQ(in.ReadNumber(), 0.001);
    // Whole numbers round halves to even.
    EXPECT_EQ(in.ReadInteger(), 2);
    EXPECT_EQ(in.ReadInteger(), 4);
    EXPECT_EQ(in.ReadInteger(), -2);
    EXPECT_EQ(in.ReadInteger(), 32767);
    EXPECT_EQ(in.ReadText(), "x");
    EXPECT_EQ(in.ReadLong(), 7);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_THROW(in.ReadText(), ValueReadError);

    // A last line without its line end, ending in an empty value.
    ValueReader last("1,");
    EXPECT_EQ(last.ReadNumber(), 1);
    EXPECT_EQ(last.ReadNumber(), 0);
    EXPECT_THROW(last.ReadNumber(), ValueReadError);
}

TEST(ValueReader, RejectsValuesThatAreNotWhatIsAsked) {
    struct Case {
        const char* text;
        int kind;  // 0 number, 1 integer, 2 long, 3 date, 4 text
    };
    const Case cases[] = {
        {"abc", 0},          {"\"12\"", 0},     {"nan", 0},
        {"inf", 0},          {"1e999", 0},      {"0x10", 0},
        {"1.5e5", 1},        {"--1", 0},        {"1.2.3", 0},
        {"32768", 1},        {"-32769", 1},     {"2147483648", 2},
        {"#2008-02-30#", 3}, {"2008-01-01", 3}, {"\"#2008-01-01#\"", 3},
        {"#2008-01#", 3},    {"\"open", 4},     {"", 4},
    };
    for (const Case& c : cases) {
        ValueReader in(c.text);
        auto read = [&] {
            switch (c.kind) {
                case 0:
                    in.ReadNumber();
                    break;
                case 1:
                    in.ReadInteger();
                    break;
                case 2:
                    in.ReadLong();
                    break;
                case 3:
                    in.ReadDate();
                    break;
                default:
                    in.ReadText();
                    break;
            }
        };
        EXPECT_THROW(read(), ValueReadError) << c.text;
    }
}

}  // namespace
