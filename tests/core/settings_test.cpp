#include "core/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "core/codepage.h"
#include "core/ini_file.h"
#include "core/settings_folder.h"
#include "core/settings_test_support.h"
#include "core/soil_names.h"
#include "core/value_line.h"
#include "support/recording_sinks.h"

namespace {

namespace fs = std::filesystem;

std::string Fixture(const std::string& name) {
    return std::string(QM_TEST_DATA_DIR) + "/settings/" + name;
}

std::string Zeros(int n) {
    std::string text;
    for (int i = 0; i < n; ++i)
        text += ",0";
    return text;
}

void ExpectSameRows(const std::vector<LayerRecord>& expected,
                    const std::vector<LayerRecord>& actual) {
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(FormatSoilNameLine(expected[i]), FormatSoilNameLine(actual[i]))
            << "row " << i + 1;
}

// Settings as start-up builds them: built-in tables, the settings file in a
// temporary configuration folder, never the user's own.
class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetDefaultSoilNames(builtIn);
        ASSERT_EQ(0, GetSettingsFilePath(settings));
        ASSERT_EQ(config.File("varnholt/Quilmorn.ini"), settings.iniFile);
        SetDefaultSoilNames(settings);
    }

    // A fresh start-up reading of the settings file.
    Settings Reload() {
        Settings loaded;
        loaded.iniFile = settings.iniFile;
        SetDefaultSoilNames(loaded);
        Document doc;
        LoadSettings(loaded, doc);
        return loaded;
    }

    void WriteSettingsFile(std::initializer_list<std::string> lines) {
        std::string text;
        for (const std::string& line : lines)
            text += Utf8ToCp932(line) + "\r\n";
        WriteBytes(settings.iniFile, text);
    }

    TempFolder config;
    ScopedEnv xdg{"XDG_CONFIG_HOME", config.path().c_str()};
    Settings builtIn;
    Settings settings;
    Document doc;
};

TEST_F(SettingsTest, FirstStartWithoutSettingsFileTakesEveryDefault) {
    doc.currentFolder = "/somewhere";
    settings.colorPrint = 0;
    LoadSettings(settings, doc);
    EXPECT_FALSE(fs::exists(settings.iniFile));
    EXPECT_EQ("", settings.defaultDataFolder);
    EXPECT_EQ("", doc.currentFolder);
    for (const std::string& path : settings.recentFiles)
        EXPECT_EQ("", path);
    ExpectSameRows(builtIn.subSoilNames, settings.subSoilNames);
    ExpectSameRows(builtIn.mainSoilNames, settings.mainSoilNames);
    EXPECT_EQ((std::array<int32_t, 4>{20, 20, 20, 20}), settings.printMargins);
    EXPECT_EQ((std::array<int16_t, 2>{1, 1}), settings.headerFooterShow);
    EXPECT_EQ((std::array<std::string, 6>{"『&D』", "[&S]", "&V Page-%p", "[&P]", "", "(&U %D3)"}),
              settings.headerFooterText);
    EXPECT_EQ(0, settings.colorPrint);
    const WindowPlacement& w = settings.windowPlacement;
    EXPECT_EQ((std::array<int32_t, 5>{-1, -1, 9060, 7275, 0}),
              (std::array<int32_t, 5>{w.left, w.top, w.width, w.height, w.state}));
    const HeaderFooterCodeTable expectedCodes = {{
        {"%p"},
        {"＆P", "＆p", "＆F", "＆f"},
        {"%D0", "%D1", "%D2", "%D3"},
        {"%T1", "%T2", "%T3"},
        {"&T", "&S", "&U"},
        {"&V", "&D", "&I", "&C", "&N"},
    }};
    EXPECT_EQ(expectedCodes, settings.headerFooterCodes);
}

TEST_F(SettingsTest, ReadsAFileWrittenByHand) {
    fs::copy_file(Fixture("hand_written.ini"), settings.iniFile);
    LoadSettings(settings, doc);

    EXPECT_EQ("/home/user/ボーリング データ", settings.defaultDataFolder);
    EXPECT_EQ(settings.defaultDataFolder, doc.currentFolder);
    EXPECT_EQ((std::array<std::string, 10>{"/data/site1.qmf", "/data/site 2.qmf",
                                           "/data/地盤/site4.qmf"}),
              settings.recentFiles);

    std::vector<LayerRecord> sub = builtIn.subSoilNames;
    sub[0].gamma = 18;
    sub.resize(12);
    sub[11].SoilName = "礫混じり,玉石";
    sub[11].gamma = 19.5;
    sub[11].FC = 0.00001;
    ExpectSameRows(sub, settings.subSoilNames);

    std::vector<LayerRecord> main(builtIn.mainSoilNames.begin(), builtIn.mainSoilNames.begin() + 3);
    main[1] = LayerRecord{};
    main[1].SoilName = "シルト";
    main[1].SoilCode = 400;
    main[1].gamma = 1.8;  // row 3 is not a valid line and keeps the built-in row
    ExpectSameRows(main, settings.mainSoilNames);

    EXPECT_EQ((std::array<int32_t, 4>{15, 20, 12, 20}), settings.printMargins);
    EXPECT_EQ((std::array<int16_t, 2>{0, 1}), settings.headerFooterShow);
    EXPECT_EQ(
        (std::array<std::string, 6>{"  空白つき  ", "[&S]", "＆F", "引用\"付き", "", "(&U %D3)"}),
        settings.headerFooterText);
    EXPECT_EQ(1, settings.colorPrint);
    const WindowPlacement& w = settings.windowPlacement;
    EXPECT_EQ((std::array<int32_t, 5>{0, 300, 10000, 7275, 2}),
              (std::array<int32_t, 5>{w.left, w.top, w.width, w.height, w.state}));
}

TEST_F(SettingsTest, SavedDefaultsInTheOrderOfTheFile) {
    LoadSettings(settings, doc);
    ASSERT_TRUE(SaveSettings(settings));
    EXPECT_EQ(ReadBytes(Fixture("defaults_saved.ini")), ReadBytes(settings.iniFile));
}

TEST_F(SettingsTest, EveryKeyRoundTrips) {
    LoadSettings(settings, doc);
    settings.defaultDataFolder = "/home/技師/データ";
    for (int i = 0; i < kRecentFileCount; ++i)
        settings.recentFiles[i] = "/data/現場" + std::to_string(i) + ".qmf";
    settings.recentFiles[9] = "/data/ blank around.qmf ";
    settings.subSoilNames.resize(2);
    settings.subSoilNames[1].SoilName = "混じり,合い";
    settings.subSoilNames[1].beta = 0.00001;
    settings.mainSoilNames.resize(18);
    settings.mainSoilNames[17].SoilName = "新しい土";
    settings.mainSoilNames[17].SoilCode = 900;
    for (int item = 1; item <= kSoilConstantCount; ++item)
        settings.mainSoilNames[17].Constant(item) = -item * 1.25;
    settings.printMargins = {5, 10, 15, 25};
    settings.headerFooterShow = {0, 0};
    settings.headerFooterText = {"\"引用\"", " 左 ", "&T", "%D1", "中央", ""};
    settings.colorPrint = 1;
    settings.windowPlacement = {120, 240, 12000, 9000, 2};
    ASSERT_TRUE(SaveSettings(settings));

    Settings loaded = Reload();
    EXPECT_EQ(settings.defaultDataFolder, loaded.defaultDataFolder);
    EXPECT_EQ(settings.recentFiles, loaded.recentFiles);
    ExpectSameRows(settings.subSoilNames, loaded.subSoilNames);
    ExpectSameRows(settings.mainSoilNames, loaded.mainSoilNames);
    EXPECT_EQ(settings.printMargins, loaded.printMargins);
    EXPECT_EQ(settings.headerFooterShow, loaded.headerFooterShow);
    // An empty footer text is written empty and reads back as its default.
    std::array<std::string, 6> texts = settings.headerFooterText;
    texts[5] = "(&U %D3)";
    EXPECT_EQ(texts, loaded.headerFooterText);
    EXPECT_EQ(1, loaded.colorPrint);
    const WindowPlacement& w = loaded.windowPlacement;
    EXPECT_EQ((std::array<int32_t, 5>{120, 240, 12000, 9000, 2}),
              (std::array<int32_t, 5>{w.left, w.top, w.width, w.height, w.state}));

    // Saving what was read changes nothing.
    std::string first = ReadBytes(settings.iniFile);
    loaded.headerFooterText[5] = "";
    ASSERT_TRUE(SaveSettings(loaded));
    EXPECT_EQ(first, ReadBytes(settings.iniFile));
}

TEST_F(SettingsTest, ClearedHeaderTextReadsBackAsItsDefault) {
    LoadSettings(settings, doc);
    settings.headerFooterText[0] = "";
    ASSERT_TRUE(SaveSettings(settings));
    EXPECT_NE(std::string::npos, ReadBytes(settings.iniFile).find("\r\nHeaderLeft=\r\n"));
    EXPECT_EQ("『&D』", Reload().headerFooterText[0]);
}

TEST_F(SettingsTest, SavingKeepsForeignLinesOldRowsAndTheStateOfAMinimisedWindow) {
    WriteSettingsFile({
        "; kept comment",
        "[Other Program]",
        "Key=kept",
        "[Default SoilNames0]",
        "Count=13",
        "12=\"old row\",0",
        "13=\"old row\",0",
        "[Window]",
        "WindowStyle=2",
    });
    LoadSettings(settings, doc);
    settings.subSoilNames.resize(11);
    settings.windowPlacement.state = 1;
    ASSERT_TRUE(SaveSettings(settings));

    EXPECT_EQ("kept", GetIni("other program", "key", "", settings.iniFile));
    EXPECT_EQ(0u, ReadBytes(settings.iniFile).find("; kept comment\r\n[Other Program]\r\n"));
    EXPECT_EQ("11", GetIni("Default SoilNames0", "Count", "", settings.iniFile));
    EXPECT_EQ("\"old row\",0", GetIni("Default SoilNames0", "13", "", settings.iniFile));
    EXPECT_EQ(2, Reload().windowPlacement.state);
    EXPECT_EQ(11u, Reload().subSoilNames.size());
}

TEST_F(SettingsTest, NumbersThatAreNotNumbers) {
    struct Case {
        const char* text;
        int32_t strict;   // OffSetTop: the whole text must be a number
        int32_t leading;  // WindowLeft: the number the text starts with
    } cases[] = {
        {"15", 15, 15},
        {" 15 ", 15, 15},
        {"\"15\"", 15, 15},
        {"abc", 20, 0},
        {"12abc", 20, 12},
        {"-7", 20, -7},  // a negative margin is one the page-setup dialog refuses
        {"2.5", 2, 2},
        {"3.5", 4, 4},
        {"1e2", 100, 100},
        {"+4", 4, 4},
        {"99999999999", 20, -1},
        {"", 20, -1},
        {"1,5", 20, 1},
        {".5", 0, 0},
        {"-", 20, 0},
    };
    for (const Case& c : cases) {
        WriteSettingsFile({"[Print Setting]", std::string("OffSetTop=") + c.text, "[Window]",
                           std::string("WindowLeft=") + c.text});
        Settings loaded = Reload();
        EXPECT_EQ(c.strict, loaded.printMargins[0]) << c.text;
        EXPECT_EQ(c.leading, loaded.windowPlacement.left) << c.text;
    }
    // Margins the page-setup dialog would never store read as their default:
    // a negative one would stretch the page far beyond the paper.
    struct MarginCase {
        const char* text;
        int32_t margin;
    } margins[] = {
        {"0", 0}, {"1000", 1000}, {"-1", 20}, {"-1000000", 20}, {"1001", 20}, {"2147483647", 20},
    };
    for (const MarginCase& c : margins) {
        WriteSettingsFile({"[Print Setting]", std::string("OffSetTop=") + c.text,
                           std::string("OffSetBottom=") + c.text,
                           std::string("OffSetLeft=") + c.text,
                           std::string("OffSetRight=") + c.text});
        std::array<int32_t, 4> expected{c.margin, c.margin, c.margin, c.margin};
        EXPECT_EQ(expected, Reload().printMargins) << c.text;
    }
    // A 16-bit setting out of its range is not a number either.
    WriteSettingsFile(
        {"[Print Setting]", "Header=40000", "[PrintOut Color]", "OutColorType=40000"});
    settings.colorPrint = 1;
    Document unused;
    LoadSettings(settings, unused);
    EXPECT_EQ(1, settings.headerFooterShow[0]);
    EXPECT_EQ(1, settings.colorPrint);  // the colour setting defaults to what it was
}

TEST_F(SettingsTest, SoilNameCounts) {
    std::vector<LayerRecord> three(builtIn.subSoilNames.begin(), builtIn.subSoilNames.begin() + 3);
    struct Case {
        std::string count;
        std::vector<LayerRecord> expected;
    } cases[] = {
        {"20", builtIn.subSoilNames},  // a count beyond the rows there are keeps those
        {"1000000000", builtIn.subSoilNames}, {"3", three},
        {"0", builtIn.subSoilNames},          {"-3", builtIn.subSoilNames},
        {"abc", builtIn.subSoilNames},        {"", builtIn.subSoilNames},
    };
    for (const Case& c : cases) {
        WriteSettingsFile({"[Default SoilNames0]", "Count=" + c.count});
        ExpectSameRows(c.expected, Reload().subSoilNames);
    }

    // The largest count the table can number, and counts beyond it, which
    // count the rows present instead: the start ends, no row is written outside
    // the table (a key "0" is no row), and the settings after the table are
    // still read.
    for (const char* count : {"32767", "32768", "40000", "1e300"}) {
        WriteSettingsFile({"[Default SoilNames0]", std::string("Count=") + count, "0=\"zero\",7",
                           "1=\"first\",1", "32767=\"last\",8", "[Print Setting]", "OffSetTop=15"});
        Settings loaded = Reload();
        const bool counted = count == std::string("32767");
        ASSERT_EQ(counted ? 32767u : 11u, loaded.subSoilNames.size()) << count;
        EXPECT_EQ("first", loaded.subSoilNames.front().SoilName);
        EXPECT_EQ("粘土質", loaded.subSoilNames[1].SoilName);  // built-in row 2 kept
        EXPECT_EQ(counted ? "last" : "礫混じり砂質", loaded.subSoilNames.back().SoilName);
        EXPECT_EQ(counted ? 8 : 0, loaded.subSoilNames.back().SoilCode);
        EXPECT_EQ(15, loaded.printMargins[0]) << count;
    }

    // A count of 20 with rows 1 to 11 built in and row 14 in the file: the
    // table holds 14 rows, 12 and 13 empty, and no row beyond 14 is written.
    WriteSettingsFile({"[Default SoilNames0]", "Count=20", "14=\"fourteen\",14"});
    LoadSettings(settings, doc);
    ASSERT_EQ(14u, settings.subSoilNames.size());
    ASSERT_TRUE(SaveSettings(settings));
    EXPECT_EQ("14", GetIni("Default SoilNames0", "Count", "", settings.iniFile));
    EXPECT_EQ("\"\",0" + Zeros(14), GetIni("Default SoilNames0", "12", "", settings.iniFile));
    EXPECT_EQ("\"fourteen\",14" + Zeros(14),
              GetIni("Default SoilNames0", "14", "", settings.iniFile));
    EXPECT_EQ("", GetIni("Default SoilNames0", "15", "", settings.iniFile));
    EXPECT_EQ("\"礫混じり砂質\",0" + Zeros(14),
              GetIni("Default SoilNames0", "11", "", settings.iniFile));
    ExpectSameRows(settings.subSoilNames, Reload().subSoilNames);
}

TEST_F(SettingsTest, LongSoilNameLinesAreReadWhole) {
    LoadSettings(settings, doc);
    LayerRecord& row = settings.mainSoilNames[0];
    row.SoilName = std::string(100, 'n') + "長い名前";
    for (int item = 1; item <= kSoilConstantCount; ++item)
        row.Constant(item) = 1.23456789012345 * item;
    ASSERT_GT(Utf8ToCp932(FormatSoilNameLine(row)).size(), kIniValueLimit);
    ASSERT_TRUE(SaveSettings(settings));
    ExpectSameRows(settings.mainSoilNames, Reload().mainSoilNames);
}

TEST_F(SettingsTest, LongHeaderAndFooterTextsAreReadWhole) {
    LoadSettings(settings, doc);
    std::string text;
    for (int i = 0; i < 150; ++i)
        text += "担";
    settings.headerFooterText[2] = "&D " + text;
    settings.headerFooterText[5] = std::string(300, 'f');
    ASSERT_GT(Utf8ToCp932(settings.headerFooterText[2]).size(), kIniValueLimit);
    ASSERT_TRUE(SaveSettings(settings));
    Settings loaded = Reload();
    EXPECT_EQ(settings.headerFooterText[2], loaded.headerFooterText[2]);
    EXPECT_EQ(settings.headerFooterText[5], loaded.headerFooterText[5]);
}

TEST_F(SettingsTest, SaveFailsWithoutTouchingWhatCannotBeReadOrWritten) {
    settings.iniFile = config.File("no-such-folder/Quilmorn.ini");
    EXPECT_FALSE(SaveSettings(settings));
    EXPECT_FALSE(fs::exists(settings.iniFile));

    settings.iniFile = config.File("a-folder");
    fs::create_directory(settings.iniFile);
    EXPECT_FALSE(SaveSettings(settings));
    EXPECT_TRUE(fs::is_directory(settings.iniFile));

    // A read-only settings file stays as it is.
    settings.iniFile = config.File("read-only.ini");
    WriteBytes(settings.iniFile, "[Path]\r\nQuilmornData=/old\r\n");
    fs::permissions(settings.iniFile, fs::perms(0444));
    settings.defaultDataFolder = "/new";
    EXPECT_FALSE(SaveSettings(settings));
    EXPECT_EQ(ReadBytes(settings.iniFile), "[Path]\r\nQuilmornData=/old\r\n");
}

// Inputs the settings fuzz target once failed on, kept under settings/fuzz/:
// what each reads as is saved, into a fresh file and over the file itself as
// the program saves, and read back unchanged.
TEST_F(SettingsTest, FuzzFindingsReadBackAsSaved) {
    fs::path folder = fs::path(QM_TEST_DATA_DIR) / "settings" / "fuzz";
    for (const auto& entry : fs::directory_iterator(folder))
        for (bool over : {false, true}) {
            SCOPED_TRACE(entry.path().string() + (over ? " saved over itself" : ""));
            fs::copy_file(entry.path(), settings.iniFile, fs::copy_options::overwrite_existing);
            Settings read = Reload();
            if (!over)
                fs::remove(settings.iniFile);
            ASSERT_TRUE(SaveSettings(read));
            Settings back = Reload();
            // A name with a quote is stored with "＂", unless its line is
            // kept as it was in the file saved over; a fresh file is CP932,
            // which holds what CP932 can.
            auto stored = [&](const std::string& name) {
                return over ? StorableText(name) : Cp932ToUtf8(Utf8ToCp932(StorableText(name)));
            };
            auto kept = [&](const char* section, size_t row) {
                return over && std::any_of(read.unreadSettings.begin(), read.unreadSettings.end(),
                                           [&](const UnreadSetting& line) {
                                               return line.section == section &&
                                                      line.key == std::to_string(row + 1);
                                           });
            };
            for (size_t i = 0; i < read.subSoilNames.size(); ++i)
                if (!kept("Default SoilNames0", i))
                    read.subSoilNames[i].SoilName = stored(read.subSoilNames[i].SoilName);
            for (size_t i = 0; i < read.mainSoilNames.size(); ++i)
                if (!kept("Default SoilNames1", i))
                    read.mainSoilNames[i].SoilName = stored(read.mainSoilNames[i].SoilName);
            ExpectSameRows(read.subSoilNames, back.subSoilNames);
            ExpectSameRows(read.mainSoilNames, back.mainSoilNames);
            // Only the paths that read back as the same file are stored, in order.
            std::vector<std::string> recent;
            for (const std::string& path : read.recentFiles)
                if (IsStorableRecentFile(path))
                    recent.push_back(path);
            recent.resize(read.recentFiles.size());
            EXPECT_EQ(recent,
                      std::vector<std::string>(back.recentFiles.begin(), back.recentFiles.end()));
            EXPECT_EQ(read.headerFooterText, back.headerFooterText);
        }
}

TEST_F(SettingsTest, AFailedWriteAtTheEndIsToldNamingTheFile) {
    RecordingMessageSink messages;
    SaveSettingsReportingFailure(settings, messages);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_TRUE(fs::exists(settings.iniFile));

    settings.iniFile = config.File("no-such-folder/Quilmorn.ini");
    SaveSettingsReportingFailure(settings, messages);
    ASSERT_EQ(1u, messages.messages.size());
    EXPECT_NE(std::string::npos, messages.messages[0].text.find(settings.iniFile));
    EXPECT_NE(std::string::npos, messages.messages[0].text.find("書き込みに失敗しました"));
    EXPECT_EQ(MessageIcon::Exclamation, messages.messages[0].icon);
}

TEST(RecentFiles, AddAndRemove) {
    using Slots = std::array<std::string, 10>;
    const Slots full = {"/a", "/b", "/c", "/Site.qmf", "/e", "/f", "/g", "/h", "/i", "/j"};
    struct Case {
        const char* what;
        Slots before;
        bool add;
        std::string path;
        Slots after;
    } cases[] = {
        {"add to an empty list", {}, true, "/x", {"/x"}},
        {"add a new path to a full list",
         full,
         true,
         "/x",
         {"/x", "/a", "/b", "/c", "/Site.qmf", "/e", "/f", "/g", "/h", "/i"}},
        {"add the path of slot 4",
         full,
         true,
         "/Site.qmf",
         {"/Site.qmf", "/a", "/b", "/c", "/e", "/f", "/g", "/h", "/i", "/j"}},
        {"add the name of slot 4 in another case: another file",
         full,
         true,
         "/site.qmf",
         {"/site.qmf", "/a", "/b", "/c", "/Site.qmf", "/e", "/f", "/g", "/h", "/i"}},
        {"add the path of slot 1", full, true, "/a", full},
        {"add a path that is twice in the list",
         {"/a", "/b", "/a", "/c"},
         true,
         "/a",
         {"/a", "/a", "/b", "/c"}},
        {"add to a short list", {"/a", "/b"}, true, "/c", {"/c", "/a", "/b"}},
        {"add an empty path", {"/a"}, true, "", {"/a"}},
        {"remove slot 3",
         full,
         false,
         "/c",
         {"/a", "/b", "/Site.qmf", "/e", "/f", "/g", "/h", "/i", "/j", ""}},
        {"remove the name of slot 4 in another case", full, false, "/SITE.QMF", full},
        {"remove slot 10",
         full,
         false,
         "/j",
         {"/a", "/b", "/c", "/Site.qmf", "/e", "/f", "/g", "/h", "/i", ""}},
        {"remove a path not in the list", full, false, "/x", full},
        {"remove an empty path", {"/a"}, false, "", {"/a"}},
        {"remove a path that is twice in the list",
         {"/a", "/b", "/a", "/c"},
         false,
         "/a",
         {"/a", "/b", "/c"}},
    };
    for (const Case& c : cases) {
        Settings settings;
        settings.recentFiles = c.before;
        if (c.add)
            AddRecentFile(settings, c.path);
        else
            RemoveRecentFile(settings, c.path);
        EXPECT_EQ(c.after, settings.recentFiles) << c.what;
    }
}

// Every path the list shows in this run is either stored so that it reads
// back as the same path, or left out of the file; none comes back as another
// name. Long paths and folders are read back whole.
TEST_F(SettingsTest, PathsReadBackAsTheSameFileOrAreNotStored) {
    const std::string longFolder = "/home/user/" + std::string(300, 'd');
    const std::string longFile = longFolder + "/" + std::string(240, 'f') + ".qmf";
    struct Case {
        std::string path;
        bool stored;
    } cases[] = {
        {"/data/site.qmf", true},
        {"/data/Site.qmf", true},
        {"/data/地盤/ボーリング１.qmf", true},
        {"/data/a\\b ~.qmf", true},
        {longFile, true},
        {"/data/sité.qmf", false},
        {"/data/𠮷野家.qmf", false},
        {"/data/\x83\x5c\x83\x8b.qmf", false},  // CP932 bytes, not UTF-8
        {"relative/site.qmf", false},
        {"/data/two\nlines.qmf", false},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        settings.recentFiles[std::size(cases) - 1 - i] = cases[i].path;
    settings.defaultDataFolder = longFolder;
    ASSERT_TRUE(SaveSettings(settings));

    Settings loaded = Reload();
    std::vector<std::string> expected;
    for (size_t i = std::size(cases); i-- > 0;) {
        EXPECT_EQ(cases[i].stored, IsStorableRecentFile(cases[i].path)) << cases[i].path;
        if (cases[i].stored)
            expected.push_back(cases[i].path);
    }
    // A NUL would be written as a blank, naming another file.
    EXPECT_FALSE(IsStorableRecentFile(std::string("/data/site.q\0f", 15)));
    expected.resize(kRecentFileCount);
    EXPECT_EQ(expected,
              std::vector<std::string>(loaded.recentFiles.begin(), loaded.recentFiles.end()));
    EXPECT_EQ(longFolder, loaded.defaultDataFolder);
}

}  // namespace

namespace {

// The settings file as an editor of another machine may leave it: the saved
// defaults with a soil row and a header text of the user's own, in UTF-8.
std::string EditedSettingsText() {
    std::string text = Cp932ToUtf8(ReadBytes(Fixture("defaults_saved.ini")));
    auto replace = [&](const std::string& from, const std::string& to) {
        const size_t at = text.find(from);
        EXPECT_NE(std::string::npos, at) << from;
        if (at != std::string::npos)
            text.replace(at, from.size(), to);
    };
    replace("2=\"埋め土\",200,0,0,0,", "2=\"埋め土\",200,17,30,0,");
    replace("HeaderLeft=『&D』", "HeaderLeft=AB&P &D");
    return text;
}

std::string WithLineEnds(std::string text, const std::string& lineEnd) {
    std::string out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        out += text.substr(start, end - start) + lineEnd;
        start = end + 2;
    }
    return out;
}

}  // namespace

// A file edited elsewhere is read as the form it is in, and the file written
// at close is in that same form, every line but the changed one as it was.
TEST_F(SettingsTest, FilesInOtherFormsAreReadAsWhatTheyAreAndWrittenBackInTheirForm) {
    const std::string utf8 = EditedSettingsText();
    auto utf16 = [](const std::string& text, bool big) {
        return (big ? std::string("\xFE\xFF") : std::string("\xFF\xFE")) + Utf8ToUtf16(text, big);
    };
    struct Case {
        const char* form;
        std::function<std::string(const std::string&)> encode;  // UTF-8 with CR LF to the file
    } cases[] = {
        {"UTF-8", [](const std::string& t) { return t; }},
        {"UTF-8 with its mark and LF",
         [](const std::string& t) { return "\xEF\xBB\xBF" + WithLineEnds(t, "\n"); }},
        {"UTF-16 little-endian", [&](const std::string& t) { return utf16(t, false); }},
        {"UTF-16 big-endian with CR",
         [&](const std::string& t) { return utf16(WithLineEnds(t, "\r"), true); }},
        {"CP932 with CR alone",
         [](const std::string& t) { return Utf8ToCp932(WithLineEnds(t, "\r")); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form);
        WriteBytes(settings.iniFile, c.encode(utf8));
        Settings loaded = Reload();
        ExpectSameRows(builtIn.subSoilNames, loaded.subSoilNames);
        std::vector<LayerRecord> main = builtIn.mainSoilNames;
        main[1].gamma = 17;
        main[1].FC = 30;
        ExpectSameRows(main, loaded.mainSoilNames);
        EXPECT_EQ("AB&P &D", loaded.headerFooterText[0]);
        EXPECT_EQ("[&S]", loaded.headerFooterText[1]);

        loaded.printMargins[0] = 25;
        ASSERT_TRUE(SaveSettings(loaded));
        std::string expected = utf8;
        expected.replace(expected.find("OffSetTop=20"), 12, "OffSetTop=25");
        EXPECT_EQ(c.encode(expected), ReadBytes(settings.iniFile));
        EXPECT_TRUE(loaded.keptCopy.empty());
    }
}

// A byte that is no character (a stray lead byte, a broken UTF-8 byte) costs
// only itself: the row's other fields and the header's codes are read, and
// the line is written back as it stood unless its setting is changed.
TEST_F(SettingsTest, ALineWithAStrayByteKeepsItsFieldsAndIsNotWrittenBackGarbled) {
    struct Case {
        const char* form;
        std::string row;     // the file's bytes of main row 2
        std::string header;  // of HeaderLeft
        std::string (*encode)(const std::string&);
    } cases[] = {
        {"CP932", "2=\"\x96\x84\x82\xDF\x93\x79\x81\",200,17,30", "HeaderLeft=AB\x81&P &D",
         [](const std::string& t) { return Utf8ToCp932(t); }},
        {"UTF-8", "2=\"埋め土\x81\",200,17,30", "HeaderLeft=AB\xE3\x81&P &D",
         [](const std::string& t) { return t; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form);
        std::string text = c.encode(EditedSettingsText());
        auto put = [&](const std::string& prefix, const std::string& line) {
            const std::string from = c.encode(prefix);
            const size_t at = text.find(from);
            ASSERT_NE(std::string::npos, at);
            text.replace(at, text.find("\r\n", at) - at, line);
        };
        put("2=\"埋め土\",200", c.row);
        put("HeaderLeft=", c.header);
        WriteBytes(settings.iniFile, text);

        Settings loaded = Reload();
        const LayerRecord& row = loaded.mainSoilNames[1];
        EXPECT_EQ("埋め土?", row.SoilName);
        EXPECT_EQ(200, row.SoilCode);
        EXPECT_EQ(17, row.gamma);
        EXPECT_EQ(30, row.FC);
        EXPECT_EQ("ローム", loaded.mainSoilNames[2].SoilName);
        EXPECT_EQ(c.form == std::string("CP932") ? "AB?&P &D" : "AB??&P &D",
                  loaded.headerFooterText[0]);

        // Closed unchanged: the file is as it was, the two lines included.
        ASSERT_TRUE(SaveSettings(loaded));
        EXPECT_EQ(text, ReadBytes(settings.iniFile));

        // A header typed anew replaces its line; the row stays as it was.
        loaded.headerFooterText[0] = "[&P]";
        ASSERT_TRUE(SaveSettings(loaded));
        std::string changed = text;
        const size_t at = changed.find(c.header);
        changed.replace(at, c.header.size(), "HeaderLeft=[&P]");
        EXPECT_EQ(changed, ReadBytes(settings.iniFile));
    }
}

// A soil-name row that does not parse keeps the built-in row for this run and
// its own line in the file.
TEST_F(SettingsTest, ARowThatDoesNotParseStaysInTheFile) {
    WriteSettingsFile({"[Default SoilNames1]", "Count=16", "3=\"ローム\",3OO,1.8"});
    Settings loaded = Reload();
    ExpectSameRows(builtIn.mainSoilNames, loaded.mainSoilNames);
    ASSERT_TRUE(SaveSettings(loaded));
    EXPECT_EQ("\"ローム\",3OO,1.8", GetIni("Default SoilNames1", "3", "", settings.iniFile));
    // Once the row is edited, the edit is what is stored.
    loaded.mainSoilNames[2].SoilCode = 300;
    loaded.mainSoilNames[2].gamma = 1.8;
    ASSERT_TRUE(SaveSettings(loaded));
    EXPECT_EQ("\"ローム\",300,1.8" + Zeros(13),
              GetIni("Default SoilNames1", "3", "", settings.iniFile));
}

// A file that claims UTF-16 but does not follow it cannot be read as anything:
// it is kept beside as a copy, start-up says so once, and a fresh file takes
// its place at close.
TEST_F(SettingsTest, AFileThatCannotBeReadIsKeptAsACopyAndToldOnce) {
    // A lone high surrogate.
    const std::string broken =
        std::string("\xFF\xFE[\0P\0", 6) + std::string("\x00\xD8", 2) + std::string("]\0", 2);
    WriteBytes(settings.iniFile, broken);
    Settings loaded = Reload();
    EXPECT_EQ(settings.iniFile + ".orig", loaded.keptCopy);
    EXPECT_EQ(broken, ReadBytes(loaded.keptCopy));
    const std::string note = KeptCopyNote(loaded);
    EXPECT_NE(std::string::npos, note.find(settings.iniFile));
    EXPECT_NE(std::string::npos, note.find(loaded.keptCopy));
    ExpectSameRows(builtIn.mainSoilNames, loaded.mainSoilNames);
    ASSERT_TRUE(SaveSettings(loaded));
    EXPECT_EQ("16", GetIni("Default SoilNames1", "Count", "", settings.iniFile));
    EXPECT_EQ(broken, ReadBytes(loaded.keptCopy));
    // A second unreadable file does not replace the first copy.
    WriteBytes(settings.iniFile, broken + "x");
    EXPECT_EQ(settings.iniFile + ".orig2", Reload().keptCopy);
    EXPECT_EQ(broken, ReadBytes(loaded.keptCopy));
    // A readable file keeps no copy and needs no note.
    WriteSettingsFile({"[Path]"});
    EXPECT_EQ("", KeptCopyNote(Reload()));
}

// Settings another machine's file may hold that would make this start odd.
TEST_F(SettingsTest, AMinimisedStateRelativeAndRepeatedRecentFilesAreIgnored) {
    WriteSettingsFile({"[Recent Files]", "1=p.qmf", "2=/data/a.qmf", "3=/data/b.qmf",
                       "4=/data/a.qmf", "5=./c.qmf", "6=/data/A.qmf", "[Window]", "WindowStyle=1"});
    Settings loaded = Reload();
    EXPECT_EQ(0, loaded.windowPlacement.state);
    EXPECT_EQ((std::array<std::string, 10>{"/data/a.qmf", "/data/b.qmf", "/data/A.qmf"}),
              loaded.recentFiles);
    for (const char* state : {"2", "3", "-1"}) {
        WriteSettingsFile({"[Window]", std::string("WindowStyle=") + state});
        EXPECT_EQ(state == std::string("2") ? 2 : 0, Reload().windowPlacement.state) << state;
    }
}

namespace {

// A settings file in every form another tool may leave, each holding a data
// folder, a 33 mm top margin, a header text and a soil row of the user's
// (tests/data/settings/forms). Whatever the form, those are read, the file
// comes back byte for byte when nothing changed, and a changed setting
// replaces its own line alone.
TEST_F(SettingsTest, EveryFormIsReadAndWrittenBackByteForByte) {
    enum Code { kBytes, kLittle, kBig };
    struct Case {
        const char* file;
        Code code;               // of the file's text
        const char* marginLine;  // the bytes of the top margin's line, in ASCII
        size_t marginLength;
    } cases[] = {
        {"nul_first.ini", kBytes, "OffSetTop=33", 12},
        {"nul_second.ini", kBytes, "OffSetTop=33", 12},
        {"utf16be_mark_cp932.ini", kBytes, "OffSetTop=33", 12},
        {"utf16le_mark_cp932.ini", kBytes, "OffSetTop=33", 12},
        {"utf8_mark_cp932.ini", kBytes, "OffSetTop=33", 12},
        {"utf16le_two_marks.ini", kLittle, "OffSetTop=33", 12},
        {"nul_in_value.ini", kBytes, "OffSetTop=33\0", 13},
        {"utf16le_no_mark.ini", kLittle, "OffSetTop=33", 12},
        {"utf16be_no_mark_lf.ini", kBig, "OffSetTop=33", 12},
        {"mixed_ends.ini", kBytes, "OffSetTop=33", 12},
        {"cr_cr_lf.ini", kBytes, "OffSetTop=33", 12},
        {"no_final_end.ini", kBytes, "OffSetTop=33", 12},
        {"utf16be_mixed_no_final_end.ini", kBig, "OffSetTop=33", 12},
        {"utf8_mark_lf_no_final_end.ini", kBytes, "OffSetTop=33", 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        auto encode = [&](const std::string& ascii) {
            return c.code == kBytes ? ascii : Utf8ToUtf16(ascii, c.code == kBig);
        };
        const std::string bytes = ReadBytes(Fixture(std::string("forms/") + c.file));
        ASSERT_FALSE(bytes.empty());
        WriteBytes(settings.iniFile, bytes);
        Settings loaded = Reload();
        EXPECT_TRUE(loaded.keptCopy.empty());
        EXPECT_EQ("/home/user/地盤", loaded.defaultDataFolder);
        EXPECT_EQ(33, loaded.printMargins[0]);
        EXPECT_EQ(20, loaded.printMargins[1]);
        EXPECT_EQ("工事名 &T", loaded.headerFooterText[0]);
        EXPECT_EQ("[&S]", loaded.headerFooterText[1]);
        ASSERT_EQ(16u, loaded.mainSoilNames.size());
        EXPECT_EQ("埋め土", loaded.mainSoilNames[1].SoilName);
        EXPECT_EQ(17, loaded.mainSoilNames[1].gamma);
        EXPECT_EQ("火山灰", loaded.mainSoilNames[15].SoilName);

        ASSERT_TRUE(SaveSettings(loaded));
        EXPECT_EQ(bytes, ReadBytes(settings.iniFile));
        EXPECT_FALSE(fs::exists(settings.iniFile + ".orig"));

        loaded.printMargins[0] = 25;
        ASSERT_TRUE(SaveSettings(loaded));
        std::string expected = bytes;
        const std::string margin = encode(std::string(c.marginLine, c.marginLength));
        const size_t at = expected.find(margin);
        ASSERT_NE(std::string::npos, at);
        expected.replace(at, margin.size(), encode("OffSetTop=25"));
        EXPECT_EQ(expected, ReadBytes(settings.iniFile));
        EXPECT_EQ(25, Reload().printMargins[0]);
    }
}

// Where the form cannot be told (it looks like UTF-16 without a mark, but
// neither reading finds a settings file), the file is copied aside and the
// start says so, however many copies stand there already.
TEST_F(SettingsTest, AFileOfNoFormIsCopiedAsideEvenWhenManyCopiesStand) {
    const std::string bytes = ReadBytes(Fixture("forms/form_unknown.ini"));
    WriteBytes(settings.iniFile, bytes);
    Settings loaded = Reload();
    EXPECT_EQ(settings.iniFile + ".orig", loaded.keptCopy);
    EXPECT_EQ(bytes, ReadBytes(loaded.keptCopy));

    for (int i = 2; i <= 99; ++i)
        WriteBytes(settings.iniFile + ".orig" + std::to_string(i), "older copy");
    WriteBytes(settings.iniFile, bytes);
    loaded = Reload();
    EXPECT_EQ(settings.iniFile + ".orig100", loaded.keptCopy);
    EXPECT_EQ(bytes, ReadBytes(loaded.keptCopy));
    EXPECT_NE(std::string::npos, KeptCopyNote(loaded).find(loaded.keptCopy));
    ASSERT_TRUE(SaveSettings(loaded));
    EXPECT_EQ("20", GetIni("Print Setting", "OffSetTop", "", settings.iniFile));
    EXPECT_EQ("older copy", ReadBytes(settings.iniFile + ".orig99"));
}

// A row read leniently (its name's quote never closes, so the name holds a
// quote no line can store) stays in the file as it was until it is edited.
TEST_F(SettingsTest, ALenientlyReadRowIsKeptUntilItIsEdited) {
    WriteSettingsFile({"[Default SoilNames1]", "Count=16", "13=\"unterminated,1,2,3"});
    const std::string before = ReadBytes(settings.iniFile);
    Settings loaded = Reload();
    EXPECT_EQ("\"unterminated,1,2,3", loaded.mainSoilNames[12].SoilName);
    ASSERT_TRUE(SaveSettings(loaded));
    EXPECT_EQ("\"unterminated,1,2,3", GetIni("Default SoilNames1", "13", "", settings.iniFile));
    loaded.mainSoilNames[12].SoilName = "固結土";
    ASSERT_TRUE(SaveSettings(loaded));
    EXPECT_EQ("\"固結土\",0" + Zeros(14), GetIni("Default SoilNames1", "13", "", settings.iniFile));
}

// A count beyond what a table can number is no count the program wrote: the
// table takes the rows present, and no empty rows are written up to a far one.
TEST_F(SettingsTest, ACountBeyondTheTableCountsTheRowsPresent) {
    WriteSettingsFile({"[Default SoilNames0]", "Count=32768", "1=\"first\",1", "12=\"twelfth\",2",
                       "13=\"thirteenth\",3", "32767=\"far\",8", "[Print Setting]",
                       "OffSetTop=15"});
    Settings loaded = Reload();
    ASSERT_EQ(13u, loaded.subSoilNames.size());
    EXPECT_EQ("first", loaded.subSoilNames[0].SoilName);
    EXPECT_EQ("粘土質", loaded.subSoilNames[1].SoilName);
    EXPECT_EQ("thirteenth", loaded.subSoilNames[12].SoilName);
    EXPECT_EQ(15, loaded.printMargins[0]);
    ASSERT_TRUE(SaveSettings(loaded));
    EXPECT_LT(fs::file_size(settings.iniFile), 4000u);
    EXPECT_EQ("", GetIni("Default SoilNames0", "14", "", settings.iniFile));
    ExpectSameRows(loaded.subSoilNames, Reload().subSoilNames);
}

// "/d/x.qmf", "/d//x.qmf", "/d/./x.qmf" and "/d/../d/x.qmf" are one file: the
// list holds it once, from the file or from the commands, and leaves no empty
// slot where a spelling was left out.
TEST_F(SettingsTest, SpellingsOfOnePathAreOneRecentFile) {
    WriteSettingsFile({"[Recent Files]", "1=/d/x.qmf", "2=/d//x.qmf", "3=relative.qmf",
                       "4=/d/./x.qmf", "5=/d/../d/x.qmf", "6=/d/y.qmf", "7=/d/X.qmf"});
    Settings loaded = Reload();
    EXPECT_EQ((std::array<std::string, 10>{"/d/x.qmf", "/d/y.qmf", "/d/X.qmf"}),
              loaded.recentFiles);
    for (const char* spelling : {"/d//x.qmf", "/d/./x.qmf", "/d/../d/x.qmf", "/d/x.qmf"}) {
        Settings list = loaded;
        AddRecentFile(list, "/d/y.qmf");
        AddRecentFile(list, spelling);
        EXPECT_EQ((std::array<std::string, 10>{spelling, "/d/y.qmf", "/d/X.qmf"}), list.recentFiles)
            << spelling;
        RemoveRecentFile(list, "/d/./../d/x.qmf");
        EXPECT_EQ((std::array<std::string, 10>{"/d/y.qmf", "/d/X.qmf"}), list.recentFiles)
            << spelling;
    }
}

// A file whose name the settings file cannot hold is listed for this run and
// told once, when it enters the list.
TEST(RecentFiles, ANameTheSettingsCannotHoldIsToldOnce) {
    Settings settings;
    RecordingMessageSink messages;
    const std::string site = "/data/sité𠮷.qmf";
    AddRecentFileReporting(settings, "/data/site.qmf", messages);
    EXPECT_TRUE(messages.messages.empty());
    AddRecentFileReporting(settings, site, messages);
    EXPECT_EQ(site, settings.recentFiles[0]);
    ASSERT_EQ(1u, messages.messages.size());
    EXPECT_NE(std::string::npos, messages.messages[0].text.find(site));
    AddRecentFileReporting(settings, "/data/site.qmf", messages);
    AddRecentFileReporting(settings, site, messages);
    EXPECT_EQ(1u, messages.messages.size());
    AddRecentFileReporting(settings, "/data/other𠮷.qmf", messages);
    EXPECT_EQ(2u, messages.messages.size());
}

}  // namespace
