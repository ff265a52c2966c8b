#include "core/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/codepage.h"
#include "core/settings_test_support.h"

namespace {

// Lines in UTF-8, written as the CP932 file with CR LF line ends.
std::string Cp932Lines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines)
        text += Utf8ToCp932(line) + "\r\n";
    return text;
}

class IniFileTest : public ::testing::Test {
  protected:
    TempFolder folder;
    std::string file = folder.File("test.ini");
};

TEST_F(IniFileTest, ReadsValuesAsTheWindowsProfileDoes) {
    WriteBytes(file, Cp932Lines({
                         "top=before any section",
                         "; a comment=not a key",
                         "  [ Data ]  ; trailing words",
                         "Name=  plain value  ",
                         "  QUOTED  = \" keeps inner blanks \"",
                         "inner=\"a\"b\"",
                         "lone=\"",
                         "empty=",
                         "emptyquotes=\"\"",
                         "novalue",
                         "Name=second of the same key",
                         "japanese=地盤データ",
                         "ア=katakana a",
                         "[data]",
                         "later=the second section of that name is not read",
                     }));
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"Data", "name", "plain value"},
        {"DATA", "Quoted", " keeps inner blanks "},
        {"data", "inner", "a\"b"},
        {"data", "lone", "\""},
        {"data", "empty", "default"},
        {"data", "emptyquotes", "default"},
        {"data", "novalue", "default"},
        {"data", "japanese", "地盤データ"},
        {"data", "ア", "katakana a"},
        // CP932 8361 differs from 8341 only by a letter's case bit in its second byte.
        {"data", "ヂ", "default"},
        {"data", "later", "default"},
        {"data", "top", "default"},
        {"data", "; a comment", "default"},
        {"missing", "name", "default"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, GetIni(c.section, c.key, "default", file))
            << "[" << c.section << "] " << c.key;
    EXPECT_EQ("default", GetIni("data", "name", "default", folder.File("missing.ini")));
}

TEST_F(IniFileTest, CutsAValueAt254BytesNeverInsideADoubleByteCharacter) {
    std::string full;
    for (int i = 0; i < 127; ++i)
        full += "地";  // 254 bytes in CP932
    struct Case {
        std::string value;
        std::string expected;
    } cases[] = {
        {std::string(254, 'a'), std::string(254, 'a')},
        {std::string(300, 'b'), std::string(254, 'b')},
        {full, full},
        {full + "x", full},
        {std::string(253, 'c') + "地", std::string(253, 'c')},
        {std::string(252, 'd') + "地地", std::string(252, 'd') + "地"},
    };
    for (const Case& c : cases) {
        WriteBytes(file, Cp932Lines({"[s]", "k=" + c.value}));
        EXPECT_EQ(c.expected, GetIni("s", "k", "", file)) << c.value.size();
    }
}

TEST_F(IniFileTest, WritingReplacesInPlaceAndKeepsEveryOtherLine) {
    std::string before = Cp932Lines({
        "; settings",
        "[First]",
        "  Alpha = 1",
        "; comment inside",
        "Beta=2",
        "",
        "[Second]",
        "Gamma=3",
    });
    // The last line has no line end, and one ends with LF alone.
    before.pop_back();
    before.pop_back();
    before.replace(before.find("Beta=2\r\n"), 8, "Beta=2\n");
    WriteBytes(file, before);

    EXPECT_NE(0, WriteIni("first", "ALPHA", "一", file));
    EXPECT_NE(0, WriteIni("First", "Delta", "4", file));
    EXPECT_NE(0, WriteIni("second", "Epsilon", "5", file));
    EXPECT_NE(0, WriteIni("Third", "Zeta", "6", file));
    // Each line keeps its own end, and the file still ends without one.
    std::string after = Cp932Lines({
        "; settings",
        "[First]",
        "  Alpha =一",
        "; comment inside",
        "Beta=2",
        "Delta=4",
        "",
        "[Second]",
        "Gamma=3",
        "Epsilon=5",
        "[Third]",
        "Zeta=6",
    });
    after.replace(after.find("Beta=2\r\n"), 8, "Beta=2\n");
    after.resize(after.size() - 2);
    EXPECT_EQ(after, ReadBytes(file));
}

TEST_F(IniFileTest, WritingCreatesAMissingFileAndLeavesNoTemporaryFile) {
    EXPECT_NE(0, WriteIni("S", "k", "v", file));
    EXPECT_EQ("[S]\r\nk=v\r\n", ReadBytes(file));
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path()))
        ++entries;
    EXPECT_EQ(1, entries);
    EXPECT_EQ(0, WriteIni("S", "k", "v", folder.File("no-such-folder/test.ini")));
}

TEST_F(IniFileTest, ValuesThatReadingWouldChangeRoundTripWhole) {
    const char* values[] = {
        " leading blank", "trailing blank ", "\"quoted\"", "\"",         "a \"b\" c", "『&D』",
        "[&P]",           "(&U %D3)",        "x=y=z",      "semi;colon",
    };
    for (const char* value : values) {
        ASSERT_NE(0, WriteIni("S", "k", value, file));
        EXPECT_EQ(value, GetIni("S", "k", "default", file));
    }
    // A line break cannot be stored; it must not break the file either.
    ASSERT_NE(0, WriteIni("S", "k", "two\r\nlines", file));
    EXPECT_EQ("two  lines", GetIni("S", "k", "", file));
    EXPECT_EQ(Cp932Lines({"[S]", "k=two  lines"}), ReadBytes(file));
}

}  // namespace
