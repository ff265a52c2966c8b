#include "core/result_csv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "core/codepage.h"
#include "core/file_io.h"
#include "core/format.h"
#include "support/boring_builder.h"
#include "support/recording_sinks.h"

namespace {

namespace fs = std::filesystem;

const Date kDay{2024, 3, 5};

std::vector<std::string> Lines(const Document& doc) {
    const std::string utf8 = Cp932ToUtf8(ResultCsvBytes(doc, kDay));
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = utf8.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(utf8.substr(start, end - start));
    EXPECT_EQ(start, utf8.size()) << "every line ends with CR LF";
    return lines;
}

const char* kHeader =
    "\"計算深度GL(m)\",\"N値(回)\",\"細粒分含有率FC(%)\",\"全土被り圧σz(kN/m2)\","
    "\"有効土被り圧σ'z(kN/m2)\",\"補正係数γn\",\"低減係数γd\",\"応力振幅τd(kN/m2)\","
    "\"応力比τd/σ'z\",\"換算N値係数CN\",\"換算N値N1\",\"補正N値増分ΔNf\",\"補正N値Na\","
    "\"液状化抵抗τl(kN/m2)\",\"抵抗比τl/σ'z\",\"安全率Fl(*)\",\"繰返し⊿変位⊿Dcy(cm)\","
    "\"危険度指標⊿PL\",\"水平地盤反力係数の低減係数β\",\"地盤剛性低下率G/Go\",\"水圧上昇比u\",";
const char* kFootnote =
    "\"(*)Fl値が1より大きい土層は液状化発生の可能性がないものと判断し、"
    "逆に1以下はその可能性があると判断する.\"";

// A document holding the given points and results as if calculated.
Document Calculated(std::vector<CalcPoint> points, std::vector<CalcResult> results) {
    Document doc;
    NewDocument(doc);
    doc.calcPoints = std::move(points);
    doc.calcResults = std::move(results);
    return doc;
}

TEST(ResultCsv, NoPointsGivesConditionsHeaderAndFootnote) {
    Document doc;
    NewDocument(doc);
    EXPECT_EQ((std::vector<std::string>{
                  "\"液状化結果出力\",\"2024/03/05\"",
                  "\"(計算条件)\",\"マグニチュード\",\"7.5\"",
                  "\"\",\"設計用水平加速度\",\"200\",\"(cm/s2)\"",
                  "\"\",\"基点-計算深さ\",\"20\",\"(m)\"",
                  "\"(計算範囲条件)\",\"地下水位以浅は計算しない\"",
                  "\"(地盤反力係数の低減率)\",\"建築基礎構造設計指針 2001年版による\"",
                  "\"(液状化の安全率)\",\"Fl値が1未満の層はなくFl値からは液状化の可能性はないと判断"
                  "できる\"",
                  "\"\"",
                  kHeader,
                  kFootnote,
              }),
              Lines(doc));
}

TEST(ResultCsv, ConditionLinesFollowTheSwitches) {
    Document doc;
    NewDocument(doc);
    CalcConditions& c = doc.calcConditions;
    c.magnitude = 8;
    c.surfaceAccel = 350.5;
    c.calcDepth = 0.5;
    c.calcRange = 1;
    c.guideEdition = 0;
    c.excludeClay20 = 1;
    c.excludeFinesPlastic = 1;
    std::vector<std::string> lines = Lines(doc);
    ASSERT_GE(lines.size(), 9u);
    EXPECT_EQ("\"(計算条件)\",\"マグニチュード\",\"8\"", lines[1]);
    EXPECT_EQ("\"\",\"設計用水平加速度\",\"350.5\",\"(cm/s2)\"", lines[2]);
    EXPECT_EQ("\"\",\"基点-計算深さ\",\"0.5\",\"(m)\"", lines[3]);
    EXPECT_EQ("\"(計算範囲条件)\",\"計算深さまでの全域を対象として計算を行う\"", lines[4]);
    EXPECT_EQ("\"(地盤反力係数の低減率)\",\"建築基礎構造設計指針 1988年版による\"", lines[5]);
    EXPECT_EQ("\"(土質定数による対象除外条件)\",\"粘土含有率20%以上の層は対象外とする\"", lines[6]);
    EXPECT_EQ(
        "\"\",\"細粒分含有率35%以上で粘土含有率10%以上あるいは塑性指数15%以上の層は対象外とする"
        "\"",
        lines[7]);
    EXPECT_EQ(0u, lines[8].rfind("\"(液状化の安全率)\",", 0)) << lines[8];

    c.excludeClay20 = 0;
    c.excludeFinesPlastic = 0;
    c.excludeFines35 = 1;
    lines = Lines(doc);
    EXPECT_EQ("\"(土質定数による対象除外条件)\",\"細粒分含有率35%以上の全ての層は対象外とする\"",
              lines[6]);
    EXPECT_EQ(0u, lines[7].rfind("\"(液状化の安全率)\",", 0)) << lines[7];
}

TEST(ResultCsv, GradesOfDcyAndPl) {
    struct Case {
        double dcy;
        const char* dcyLine;
        double pl;
        const char* plLine;
    };
    const Case cases[] = {
        {0, "\"Dcy=0.00(cm) \",\"液状化の程度はなし\"", 0,
         "\"PL=0.00\",\"液状化の危険度はかなり小さい\""},
        {0.001, "\"Dcy=0.00(cm) \",\"液状化の程度は軽微\"", 0.001,
         "\"PL=0.00\",\"液状化の危険度は低い\""},
        {5, "\"Dcy=5.00(cm) \",\"液状化の程度は軽微\"", 5, "\"PL=5.00\",\"液状化の危険度は低い\""},
        {10, "\"Dcy=10.00(cm) \",\"液状化の程度は小\"", 5.01,
         "\"PL=5.01\",\"液状化の危険度は高い\""},
        {15, "\"Dcy=15.00(cm) \",\"液状化の程度は中\"", 15,
         "\"PL=15.00\",\"液状化の危険度は高い\""},
        {20, "\"Dcy=20.00(cm) \",\"液状化の程度は中\"", 15.5,
         "\"PL=15.50\",\"液状化の危険度は極めて高い\""},
        {20.5, "\"Dcy=20.50(cm) \",\"液状化の程度は大\"", 100,
         "\"PL=100.00\",\"液状化の危険度は極めて高い\""},
        {40, "\"Dcy=40.00(cm) \",\"液状化の程度は大\"", 2.76,
         "\"PL=2.76\",\"液状化の危険度は低い\""},
        {40.004, "\"Dcy=40.00(cm) \",\"液状化の程度は甚大\"", 0, nullptr},
        {1234.5, "\"Dcy=1234.50(cm) \",\"液状化の程度は甚大\"", 0, nullptr},
    };
    for (const Case& c : cases) {
        CalcResult last;
        last.DcyTotal = c.dcy;
        last.PLTotal = c.pl;
        // The totals are read from the last point, whatever the others hold.
        CalcResult first;
        first.DcyTotal = 99;
        first.PLTotal = 99;
        const std::vector<std::string> lines = Lines(Calculated({{}, {}}, {first, last}));
        ASSERT_GE(lines.size(), 9u);
        EXPECT_EQ(std::string("\"(液状化の程度)\",") + c.dcyLine, lines[7]);
        if (c.plLine) {
            EXPECT_EQ(std::string("\"(液状化危険度指標)\",") + c.plLine, lines[8]);
        }
    }
}

TEST(ResultCsv, DataLinesOfCalculatedPointsOnly) {
    CalcPoint kept{12, 3.5, 61.25, 40.5, 8, 0, 0};
    CalcPoint dropped{0, 4.5, 80, 50, 40, 0, 0};
    CalcResult liquefies{0.65,  0.9475, 5.3, 0.1309, 1.5556, 18.667, 3.6,  22.267, 0.25, 10.125,
                         0.953, 0.3125, 0.9, 2.5,    1.75,   1,      0.05, 0,      0};
    CalcResult safe = liquefies;
    safe.fl = 1.5;
    safe.plShare = 0;
    safe.gammaCy = 0;
    safe.dcyShare = 0;
    safe.gRatio = 1;
    safe.ru = 0;  // a zero ru or G/G0 is blank, as the shares are
    safe.beta = 1;
    CalcResult ignored = liquefies;
    ignored.fl = 0.2;  // not calculated, so it does not count as liquefying
    CalcPoint second = kept;
    second.Depth = 5.125;
    second.N = 7;

    Document doc = Calculated({kept, dropped, second}, {safe, ignored, liquefies});
    std::vector<std::string> lines = Lines(doc);
    ASSERT_EQ(14u, lines.size());
    EXPECT_EQ("\"(液状化の安全率)\",\"Fl値が1未満の層があり液状化の可能性がある\"", lines[6]);
    EXPECT_EQ(kHeader, lines[10]);
    // The shares of a point with FL above 1 are 0, so blank.
    EXPECT_EQ(
        "  3.50, 12,  8.0, 61.3, 40.5,  0.65,  0.95,  5.30, 0.131, 1.556, 18.67,  3.60, 22.27,"
        " 10.13, 0.250,  1.50,,, 1.000,  1.00,,",
        lines[11]);
    EXPECT_EQ(
        "  5.13,  7,  8.0, 61.3, 40.5,  0.65,  0.95,  5.30, 0.131, 1.556, 18.67,  3.60, 22.27,"
        " 10.13, 0.250,  0.95,  1.75,  0.90, 0.313,  0.05,  1.00,",
        lines[12]);
    EXPECT_EQ(kFootnote, lines[13]);

    // Only the liquefying point is calculated no more: no layer below 1.
    doc.calcPoints[2].N = 0;
    lines = Lines(doc);
    EXPECT_EQ(
        "\"(液状化の安全率)\",\"Fl値が1未満の層はなくFl値からは液状化の可能性はないと判断できる\"",
        lines[6]);
}

TEST(ResultCsv, ClayAndPlasticityColumnsWhenTheLayerTableUsesThem) {
    CalcPoint point{10, 2, 30, 20, 40, 12.5, 0};
    Document doc = Calculated({point}, {CalcResult{}});
    doc.layerColumnUsed[3] = 1;
    std::vector<std::string> lines = Lines(doc);
    EXPECT_NE(std::string::npos,
              lines[10].find("\"細粒分含有率FC(%)\",\"粘土含有率CC(%)\",\"全土"));
    EXPECT_EQ("  2.00, 10, 40.0, 12.5, 30.0, 20.0,", lines[11].substr(0, 35));

    doc.layerColumnUsed[4] = 1;
    lines = Lines(doc);
    EXPECT_NE(std::string::npos,
              lines[10].find("\"粘土含有率CC(%)\",\"塑性指数Ip(%)\",\"全土被り圧σz(kN/m2)\","));
    // Blank only in the share, G/G0 and ru columns; CC and Ip print their zeros.
    doc.calcPoints[0].CC = 0;
    lines = Lines(doc);
    EXPECT_EQ("  2.00, 10, 40.0,  0.0,  0.0, 30.0, 20.0,", lines[11].substr(0, 41));

    doc.layerColumnUsed[3] = 0;
    lines = Lines(doc);
    EXPECT_EQ(std::string::npos, lines[10].find("粘土含有率"));
    EXPECT_NE(std::string::npos, lines[10].find("塑性指数"));
}

TEST(ResultCsv, WrittenInCodePage932) {
    const std::string bytes = ResultCsvBytes(Calculated({}, {}), kDay);
    EXPECT_EQ(std::string::npos, bytes.find('?')) << "every character must exist in CP932";
    // "液状化結果出力" in CP932.
    EXPECT_EQ(std::string("\"\x89\x74\x8F\xF3\x89\xBB\x8C\x8B\x89\xCA\x8F\x6F\x97\xCD\""),
              bytes.substr(0, 16));
    // The right-triangle sign of the share headings.
    EXPECT_NE(std::string::npos, bytes.find("\x87\x99"));
}

TEST(ResultCsvPath, NamesTheFileBesideTheProjectFile) {
    const std::pair<const char*, const char*> cases[] = {
        {"/data/site.qmf", "/data/site.CSV"},
        {"/data/site.QMF", "/data/site.CSV"},
        {"/data/site.backup.qmf", "/data/site.backup.CSV"},
        {"/data/v1.2/site.qmf", "/data/v1.2/site.CSV"},
        {"/data/v1.2/site", "/data/v1.2/site.CSV"},
        {"/data/site", "/data/site.CSV"},
        {"/data/site.", "/data/site.CSV"},
        {"site.qmf", "site.CSV"},
        {"C:\\old.data\\site", "C:\\old.data\\site.CSV"},
        // A project named .CSV keeps its file: the results take a name of their own.
        {"/data/site.CSV", "/data/site.CSV.CSV"},
        {"/data/site.csv", "/data/site.csv.CSV"},
        {"/data/site.Csv", "/data/site.Csv.CSV"},
    };
    for (auto [project, results] : cases)
        EXPECT_EQ(results, ResultCsvPath(project)) << project;
}

class SaveResultCsvTest : public testing::Test {
  protected:
    void SetUp() override {
        // One folder per test: ctest runs the tests of this suite side by side.
        folder_ = fs::path(QM_TEST_OUTPUT_DIR) / "result_csv" /
                  testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    fs::path folder_;
};

TEST_F(SaveResultCsvTest, RecalculatesAndWrites) {
    BoringBuilder b;
    b.Layer(10, 18, 10).Water(1).Row(2, 4).Row(3, 6);
    b.doc.calcPoints.clear();  // as never calculated
    RecordingMessageSink messages;
    RecordingCalcMessageSink calcMessages;
    const std::string path = (folder_ / "site.CSV").string();
    SaveResultCsv(path, b.doc, messages, calcMessages);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_TRUE(calcMessages.messages.empty());
    ASSERT_EQ(2u, b.doc.calcPoints.size());

    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    const std::string text = Cp932ToUtf8(bytes);
    EXPECT_EQ("\"液状化結果出力\",\"" + FormatDate(Today(), "yyyy/mm/dd") + "\"\r\n",
              text.substr(0, text.find('\n') + 1));
    EXPECT_NE(std::string::npos, text.find("\r\n  2.00,  4, 10.0, 36.0, 26.2,"));
    EXPECT_NE(std::string::npos, text.find("\r\n  3.00,  6, 10.0, 54.0, 34.4,"));
}

TEST_F(SaveResultCsvTest, FailedCheckStillWritesTheConditions) {
    BoringBuilder b;
    b.Layer(2, 18, 10).Row(3, 4);
    RecordingMessageSink messages;
    RecordingCalcMessageSink calcMessages;
    const std::string path = (folder_ / "deep.CSV").string();
    SaveResultCsv(path, b.doc, messages, calcMessages);
    EXPECT_EQ(1u, calcMessages.messages.size());
    EXPECT_TRUE(messages.messages.empty());
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    EXPECT_EQ(ResultCsvBytes(b.doc, Today()), bytes);
}

TEST_F(SaveResultCsvTest, FailureIsReportedAndLeavesNoFile) {
    BoringBuilder b;
    b.Layer(10, 18, 10).Row(2, 4);
    RecordingMessageSink messages;
    RecordingCalcMessageSink calcMessages;
    const fs::path path = folder_ / "no-such-folder" / "site.CSV";
    SaveResultCsv(path.string(), b.doc, messages, calcMessages);
    ASSERT_EQ(1u, messages.messages.size());
    // The message names the file, why, and what the user can do.
    EXPECT_EQ("CSVﾌｧｲﾙの書き込みに失敗しました\r\n\r\n" + path.string() + "\r\n\r\nフォルダ " +
                  path.parent_path().string() +
                  " が見つからないため、保存できません。\r\n"
                  "「名前を付けて保存」で別の場所に保存してください。",
              messages.messages[0].text);
    EXPECT_EQ(MessageIcon::None, messages.messages[0].icon);
    EXPECT_EQ(MessageButtons::Ok, messages.messages[0].buttons);
    EXPECT_EQ(kProgramTitle, messages.messages[0].title);
    EXPECT_FALSE(fs::exists(path));

    // A folder in the way of the file: the folder stays as it was.
    const fs::path blocked = folder_ / "blocked.CSV";
    fs::create_directories(blocked / "inside");
    SaveResultCsv(blocked.string(), b.doc, messages, calcMessages);
    ASSERT_EQ(2u, messages.messages.size());
    EXPECT_NE(messages.messages[1].text.find(blocked.string() +
                                             "\r\n\r\n保存先に同じ名前のフォルダがあるため"),
              std::string::npos)
        << messages.messages[1].text;
    EXPECT_TRUE(fs::is_directory(blocked / "inside"));
    EXPECT_EQ(1u, std::distance(fs::directory_iterator(folder_), fs::directory_iterator{}))
        << "no temporary file is left behind";
}

// The results of site.qmf go to site.CSV only when that name is free or holds
// results already; any other file of that name is kept and both are named.
TEST_F(SaveResultCsvTest, BesideAProjectReplacesOnlyAResultsFile) {
    const std::string title = Utf8ToCp932("\"液状化結果出力\"");
    struct Case {
        const char* what;
        std::optional<std::string> before;  // the file at site.CSV, or none
        bool written;
    } cases[] = {
        {"no file", std::nullopt, true},
        {"an older results file", title + ",\"2008/03/05\"\r\n\"(計算条件)\"\r\n", true},
        {"a results file of one line", title, true},
        {"a project file named site.CSV", "\"Quilmorn2008\",\"1.6\"\r\n" + title, false},
        {"an empty file", "", false},
        {"the title in UTF-8", "\"液状化結果出力\",\"2008/03/05\"\r\n", false},
        {"a longer first value", title.substr(0, title.size() - 1) + "2\",\r\n", false},
        {"the title followed by more", title + "x\r\n", false},
    };
    for (const Case& c : cases) {
        BoringBuilder b;
        b.Layer(10, 18, 10).Water(1).Row(2, 4);
        b.doc.calcPoints.clear();
        RecordingMessageSink messages;
        RecordingCalcMessageSink calcMessages;
        const fs::path project = folder_ / "site.qmf";
        const fs::path results = folder_ / "site.CSV";
        fs::remove(results);
        if (c.before)
            std::ofstream(results, std::ios::binary) << *c.before;
        SaveResultCsvBeside(project.string(), b.doc, messages, calcMessages);
        EXPECT_EQ(1u, b.doc.calcPoints.size()) << c.what << ": recalculated either way";
        std::string bytes;
        ASSERT_TRUE(ReadWholeFile(results.string(), bytes)) << c.what;
        if (c.written) {
            EXPECT_EQ(ResultCsvBytes(b.doc, Today()), bytes) << c.what;
            EXPECT_TRUE(messages.messages.empty()) << c.what;
        } else {
            EXPECT_EQ(*c.before, bytes) << c.what;
            ASSERT_EQ(1u, messages.messages.size()) << c.what;
            EXPECT_NE(std::string::npos, messages.messages[0].text.find(results.string()));
            EXPECT_NE(std::string::npos, messages.messages[0].text.find(project.string()));
        }
    }
}

// A results file that cannot be made or looked at is named with the reason;
// it is never called "not a results file".
TEST_F(SaveResultCsvTest, BesideAProjectNamesWhyTheResultsCouldNotBeWritten) {
    struct Case {
        const char* what;
        std::string projectName;
        std::string reason;
    } cases[] = {
        // 255 bytes, the longest name the file system takes; its results
        // file would be 259.
        {"a name too long for its results file", std::string(255, 'k'), "ファイル名が長すぎて"},
        {"a link that points at itself", "loop.qmf", "シンボリックリンクが循環しています"},
    };
    fs::create_symlink("loop.CSV", folder_ / "loop.CSV");
    for (const Case& c : cases) {
        BoringBuilder b;
        b.Layer(10, 18, 10).Water(1).Row(2, 4);
        b.doc.calcPoints.clear();
        RecordingMessageSink messages;
        RecordingCalcMessageSink calcMessages;
        const fs::path project = folder_ / c.projectName;
        SaveResultCsvBeside(project.string(), b.doc, messages, calcMessages);
        EXPECT_EQ(1u, b.doc.calcPoints.size()) << c.what << ": recalculated either way";
        ASSERT_EQ(1u, messages.messages.size()) << c.what;
        const std::string& text = messages.messages[0].text;
        EXPECT_NE(std::string::npos, text.find(ResultCsvPath(project.string()))) << c.what;
        EXPECT_NE(std::string::npos, text.find(c.reason)) << c.what << "\n" << text;
        EXPECT_EQ(std::string::npos, text.find("結果ファイルではない")) << c.what;
        EXPECT_EQ(MessageIcon::Exclamation, messages.messages[0].icon) << c.what;
    }
    EXPECT_TRUE(fs::is_symlink(folder_ / "loop.CSV")) << "the link is kept";
}

}  // namespace
