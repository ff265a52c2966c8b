#include "core/soil_names.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::string Zeros(int n) {
    std::string text;
    for (int i = 0; i < n; ++i)
        text += ",0";
    return text;
}

TEST(SoilNames, BuiltInTables) {
    Settings settings;
    settings.subSoilNames.resize(3);
    SetDefaultSoilNames(settings);
    ASSERT_EQ(11u, settings.subSoilNames.size());
    ASSERT_EQ(16u, settings.mainSoilNames.size());
    EXPECT_EQ("シルト質", settings.subSoilNames[0].SoilName);
    EXPECT_EQ(1, settings.subSoilNames[0].SoilCode);
    EXPECT_EQ("玉石混じり", settings.subSoilNames[7].SoilName);
    EXPECT_EQ(8, settings.subSoilNames[7].SoilCode);
    EXPECT_EQ("礫混じり砂質", settings.subSoilNames[10].SoilName);
    EXPECT_EQ(0, settings.subSoilNames[10].SoilCode);
    EXPECT_EQ("砂礫(礫質土)", settings.mainSoilNames[10].SoilName);
    EXPECT_EQ(800, settings.mainSoilNames[10].SoilCode);
    EXPECT_EQ("火山灰", settings.mainSoilNames[15].SoilName);
    std::vector<int> mainCodes;
    for (const LayerRecord& row : settings.mainSoilNames) {
        mainCodes.push_back(row.SoilCode);
        for (int item = 1; item <= kSoilConstantCount; ++item)
            EXPECT_EQ(0, row.Constant(item));
        EXPECT_EQ(0, row.Thickness);
    }
    EXPECT_EQ(
        (std::vector<int>{100, 200, 300, 400, 500, 600, 700, 700, 700, 700, 800, 900, 0, 0, 0, 0}),
        mainCodes);
}

TEST(SoilNames, FormatsTheNameQuotedAndEachNumberShortest) {
    Settings settings;
    SetDefaultSoilNames(settings);
    EXPECT_EQ("\"シルト質\",1" + Zeros(14), FormatSoilNameLine(settings.subSoilNames[0]));

    LayerRecord row;
    row.SoilName = "a,b";
    row.SoilCode = -700;
    const double constants[kSoilConstantCount] = {
        1.8,      0.00001, 0.0001,  1e15,  123456789012345, -18, 0.1 + 0.2,
        2.5e-300, 1e300,   1.0 / 3, -0.35, 12345.678,       100, 0};
    for (int item = 1; item <= kSoilConstantCount; ++item)
        row.Constant(item) = constants[item - 1];
    EXPECT_EQ(
        "\"a,b\",-700,1.8,1E-05,0.0001,1E+15,123456789012345,-18,0.3,2.5E-300,1E+300,"
        "0.333333333333333,-0.35,12345.678,100,0",
        FormatSoilNameLine(row));

    // A double quote would end the name early: it is kept as the full-width one.
    row.SoilName = "5\"砂";
    const std::string quoted = "\"5＂砂\",";
    EXPECT_EQ(FormatSoilNameLine(row).substr(0, quoted.size()), quoted);
    EXPECT_EQ(ParseSoilNameLine(FormatSoilNameLine(row))->SoilName, "5＂砂");
}

TEST(SoilNames, ParsesLinesFieldByField) {
    struct Case {
        std::string line;
        std::string name;
        int32_t code;
        std::vector<double> constants;  // the first constants; the rest are 0
    } cases[] = {
        {"\"砂\",600", "砂", 600, {}},
        {"シルト,400,1.8", "シルト", 400, {1.8}},
        {"\"a,b\",1", "a,b", 1, {}},
        {"\"a,b,c\",2,3", "a,b,c", 2, {3}},
        {"\"x\"y,5", "x", 5, {}},
        {"pre\"x\"post,5", "x", 5, {}},
        {"\"open,5,6", "\"open,5,6", 0, {}},  // the quote never closes: all of it is the name
        {"lone\",7", "lone\",7", 0, {}},      // a quote that never closes takes in the rest
        {"", "", 0, {}},
        {"\"\",0", "", 0, {}},
        {"n, 12 , +3.5 ,-1E-05, .5", "n", 12, {3.5, -0.00001, 0.5}},
        {"n,2.5", "n", 2, {}},  // a code takes the nearest integer, halves to even
        {"n,1" + Zeros(14) + ",99,98,97,96", "n", 1, std::vector<double>(14, 0)},
        {"n,1,1,2,3,4,5,6,7,8,9,10,11,12,13,14",
         "n",
         1,
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
    };
    for (const Case& c : cases) {
        std::optional<LayerRecord> row = ParseSoilNameLine(c.line);
        ASSERT_TRUE(row) << c.line;
        EXPECT_EQ(c.name, row->SoilName) << c.line;
        EXPECT_EQ(c.code, row->SoilCode) << c.line;
        for (int item = 1; item <= kSoilConstantCount; ++item) {
            double expected =
                item <= static_cast<int>(c.constants.size()) ? c.constants[item - 1] : 0;
            EXPECT_EQ(expected, row->Constant(item)) << c.line << " item " << item;
        }
    }
}

TEST(SoilNames, RefusesANumericFieldThatIsNotANumber) {
    for (const char* line : {"\"砂\",abc", "\"砂\",600,", "\"砂\",600,1.8x", "\"砂\",,1",
                             "\"砂\",1e99999", "\"砂\",600,1,2,3,4,5,6,7,8,9,10,11,12,13,nan",
                             "\"砂\",600,inf", "\"砂\",3000000000", "\"砂\",0x10"})
        EXPECT_FALSE(ParseSoilNameLine(line)) << line;
}

TEST(SoilNames, FormattedRowsParseBackUnchanged) {
    Settings settings;
    SetDefaultSoilNames(settings);
    std::vector<LayerRecord> rows = settings.subSoilNames;
    rows.insert(rows.end(), settings.mainSoilNames.begin(), settings.mainSoilNames.end());
    LayerRecord odd;
    odd.SoilName = "礫混じり,砂,シルト";
    odd.SoilCode = 907;
    for (int item = 1; item <= kSoilConstantCount; ++item)
        odd.Constant(item) = item % 2 ? -(item * 11) / 10.0 : item / 1e7;
    rows.push_back(odd);
    for (const LayerRecord& row : rows) {
        std::optional<LayerRecord> back = ParseSoilNameLine(FormatSoilNameLine(row));
        ASSERT_TRUE(back) << row.SoilName;
        EXPECT_EQ(row.SoilName, back->SoilName);
        EXPECT_EQ(row.SoilCode, back->SoilCode);
        for (int item = 1; item <= kSoilConstantCount; ++item)
            EXPECT_EQ(row.Constant(item), back->Constant(item)) << item;
    }
}

// A double quote would end the name early and spoil the row's numbers; it is
// stored as the full-width mark, as in the project file.
TEST(SoilNames, ADoubleQuoteInTheNameIsStoredFullWidth) {
    LayerRecord row;
    row.SoilName = "\"砂\",5";
    row.SoilCode = 7;
    row.gamma = 18;
    std::optional<LayerRecord> back = ParseSoilNameLine(FormatSoilNameLine(row));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->SoilName, "＂砂＂,5");
    EXPECT_EQ(back->SoilCode, 7);
    EXPECT_EQ(back->gamma, 18);
}

}  // namespace
