// The help says what the program does. Its sentences on the N value, the
// exclusion limits, the points left out and the depths PL and Dcy reach are
// read from the pages and held against the calculation (with the real
// library), the result grid, the results sheet, the results file and the
// boring log that they speak of.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/calc_driver.h"
#include "core/codepage.h"
#include "core/result_csv.h"
#include "sheets/page_texts.h"
#include "sheets/sheet_composition.h"
#include "sheets/sheet_test_support.h"
#include "support/boring_builder.h"
#include "support/recording_sinks.h"
#include "ui/grid/spread_grid.h"
#include "ui/main_window/main_window_support.h"

namespace {

QString PageSource(const char* page) {
    QFile file(QStringLiteral(QM_TEST_DATA_DIR "/../../program/resources/help/") +
               QString::fromLatin1(page));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << page;
    return QString::fromUtf8(file.readAll());
}

QString WithoutTags(QString html) {
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    return html.remove(tag).simplified();
}

// A page as a reader sees it: no tags, blanks run together.
QString ReadPage(const char* page) {
    return WithoutTags(PageSource(page));
}

// The cells of each row of the page's table with the given id.
std::vector<QStringList> TableRows(const char* page, const QString& id) {
    const QString html = PageSource(page);
    const qsizetype start = html.indexOf(QStringLiteral("<table id=\"") + id + u'"');
    EXPECT_GE(start, 0) << page << " has no table " << id.toStdString();
    if (start < 0)
        return {};
    const QString table = html.mid(start, html.indexOf(QStringLiteral("</table>"), start) - start);
    static const QRegularExpression row(QStringLiteral("<tr>(.*?)</tr>"),
                                        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression cell(QStringLiteral("<t[hd]>(.*?)</t[hd]>"),
                                         QRegularExpression::DotMatchesEverythingOption);
    std::vector<QStringList> rows;
    for (const QRegularExpressionMatch& r : row.globalMatch(table)) {
        QStringList cells;
        for (const QRegularExpressionMatch& c : cell.globalMatch(r.captured(1)))
            cells.append(WithoutTags(c.captured(1)));
        rows.push_back(cells);
    }
    return rows;
}

std::string Utf8(const QString& text) {
    return text.toStdString();
}

// The data lines of a results file, each split into its trimmed columns.
std::vector<std::vector<std::string>> CsvDataLines(const Document& doc) {
    const std::string text = Cp932ToUtf8(ResultCsvBytes(doc, Date{2008, 3, 5}));
    std::vector<std::vector<std::string>> lines;
    bool inTable = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 2;
        if (line.rfind("\"計算深度GL(m)\"", 0) == 0) {
            inTable = true;
            continue;
        }
        if (!inTable || line.rfind("\"(*)", 0) == 0)
            continue;
        std::vector<std::string> columns;
        for (const QString& column : QString::fromStdString(line).split(u','))
            columns.push_back(Utf8(column.trimmed()));
        lines.push_back(columns);
    }
    return lines;
}

// The texts of the printed results sheet, trimmed.
std::set<std::string> ResultSheetTexts(const Document& doc) {
    Settings settings;
    SheetCanvases canvases;
    FakePrinter a4 = A4Printer();
    SheetInputs in(doc, settings, &a4);
    in.clock = [] { return LocalDateTime{Date{2008, 3, 5}, 9, 0, 0}; };
    EXPECT_EQ(PageStatus::kComposed, DrawResultSheetPage(canvases, in));
    std::set<std::string> texts;
    for (const PageText& t : TextsOf(canvases.pageMeta[2]))
        texts.insert(Utf8(QString::fromStdString(t.text).trimmed()));
    return texts;
}

}  // namespace

// What the pages said before they were read against the program: the N value
// converted to 30 cm for the calculation and the results, and excluded points
// shown as blank rows.
TEST(HelpStatements, NoPageRepeatsAMisstatement) {
    struct Misstatement {
        const char* page;
        const char* words;
    };
    const Misstatement misstatements[] = {
        {"getting_started.htm", "Ｎ値は 30 cm あたりに換算して使われます"},
        {"results.htm", "貫入量を入力したときは 30 cm あたりに換算した値"},
        {"results.htm", "結果の表の値は空欄"},
        {"getting_started.htm", "結果の表では空欄"},
    };
    for (const Misstatement& m : misstatements)
        EXPECT_FALSE(ReadPage(m.page).contains(QString::fromUtf8(m.words)))
            << m.page << ": " << m.words;
}

class HelpStatementsTest : public MainWindowTest {};

// The exclusion table of the results page names, for each switch and each
// source of FC, the quantities compared, the comparison (≧ or ＞) and the
// limit. Each rule read from it is run through the calculation just below,
// at and just above its limit, with the rest of its condition met.
TEST_F(HelpStatementsTest, ExclusionTableStatesTheRulesTheCalculationApplies) {
    // The switches by the captions of their check boxes.
    struct Switch {
        int box;
        std::set<QString> quantities;  // what the rule compares
    };
    const std::map<QString, Switch> switches = {
        {form->chkEkidata[1]->text(), {1, {QStringLiteral("CC")}}},
        {form->chkEkidata[2]->text(), {2, {QStringLiteral("FC")}}},
        {form->chkEkidata[3]->text(),
         {3, {QStringLiteral("FC"), QStringLiteral("CC"), QStringLiteral("Ip")}}},
    };
    const std::vector<QStringList> rows = TableRows("results.htm", QStringLiteral("exclusion"));
    ASSERT_EQ(rows.size(), 4u) << "a head and one row per switch";
    // The head names the source of FC of each column by the N-value panel's switch.
    const QString fcSwitch = QStringLiteral("「細粒分含有率（FC）の入力」");
    ASSERT_EQ(rows[0].size(), 3);
    ASSERT_TRUE(rows[0][1].contains(fcSwitch + QStringLiteral("がオフ")));
    ASSERT_TRUE(rows[0][2].contains(fcSwitch + QStringLiteral("がオン")));
    const int modeOfColumn[3] = {-1, 0, 1};

    static const QRegularExpression rule(QStringLiteral("(FC|CC|Ip) (≧|＞) (\\d+(?:\\.\\d+)?) %"));
    std::set<int> boxesSeen;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        ASSERT_EQ(rows[r].size(), 3) << r;
        QString caption = rows[r][0];
        caption.remove(u'「').remove(u'」');
        ASSERT_TRUE(switches.count(caption)) << Utf8(caption) << " is no exclusion switch";
        const Switch& sw = switches.at(caption);
        boxesSeen.insert(sw.box);
        for (int column = 1; column <= 2; ++column) {
            const int mode = modeOfColumn[column];
            std::map<QString, std::pair<QString, double>> rules;  // quantity → (comparison, limit)
            for (const QRegularExpressionMatch& m : rule.globalMatch(rows[r][column]))
                rules[m.captured(1)] = {m.captured(2), m.captured(3).toDouble()};
            std::set<QString> named;
            for (const auto& [quantity, comparison] : rules)
                named.insert(quantity);
            EXPECT_EQ(named, sw.quantities) << Utf8(caption) << ", column " << column;

            for (const auto& [quantity, comparison] : rules) {
                const auto& [op, limit] = comparison;
                for (double value : {limit - 0.1, limit, limit + 0.1}) {
                    // The other parts of the condition hold; only `quantity` decides.
                    double fc = quantity == QStringLiteral("FC") ? value : 50;
                    double cc = quantity == QStringLiteral("CC") ? value : 0;
                    double ip = quantity == QStringLiteral("Ip") ? value : 0;
                    if (sw.box == 3 && quantity == QStringLiteral("FC"))
                        cc = 30;
                    if (sw.box == 1)
                        fc = 10;
                    BoringBuilder b;
                    b.Layer(2, 18, 10).Layer(3, 18, mode == 1 ? 10 : fc, cc, ip);
                    b.Row(1, 10, 10).Row(3, 10, mode == 1 ? fc : 0);
                    b.doc.fcInputMode = mode;
                    b.doc.calcConditions.excludeClay20 = sw.box == 1;
                    b.doc.calcConditions.excludeFines35 = sw.box == 2;
                    b.doc.calcConditions.excludeFinesPlastic = sw.box == 3;
                    RecordingCalcMessageSink sink;
                    CalcLiquefaction(b.doc, sink);
                    ASSERT_TRUE(sink.messages.empty()) << sink.messages[0];
                    ASSERT_EQ(b.doc.calcPoints.size(), 2u);
                    const bool leftOut = op == QStringLiteral("≧") ? value >= limit : value > limit;
                    EXPECT_EQ(b.doc.calcPoints[1].N == 0, leftOut)
                        << Utf8(caption) << " with FC "
                        << (mode == 1 ? "on the rows" : "of the layers") << ": " << Utf8(quantity)
                        << " " << value << " (the help: " << Utf8(op) << " " << limit << ")";
                }
            }
        }
    }
    EXPECT_EQ(boxesSeen, (std::set<int>{1, 2, 3}));
}

// A boring with a point of each kind the results page lists as left out
// (blank N, blank depth, excluded) between two calculated ones: none of them
// reaches the result grid, the results sheet or the results file.
TEST_F(HelpStatementsTest, PointsLeftOutHaveNoRowInTheGridTheSheetOrTheFile) {
    const QString page = ReadPage("results.htm");
    EXPECT_TRUE(page.contains(QStringLiteral(
        "「液状化判定結果」タブの表、印刷される液状化判定結果の表、計算結果ファイル（CSV）の"
        "いずれにも行が出ません")));
    for (const char* kind : {"Ｎ値が空欄の行", "深度が空欄の行", "「土質定数による対象除外条件」"})
        EXPECT_TRUE(page.contains(QString::fromUtf8(kind))) << kind;
    EXPECT_TRUE(ReadPage("getting_started.htm")
                    .contains(QStringLiteral("外した点は計算されず、結果の表、印刷される液状化"
                                             "判定結果、計算結果ファイルに載りません")));

    BoringBuilder b;
    b.Layer(3.5, 18, 10).Layer(1, 18, 40).Layer(2, 18, 10).Water(1);
    b.Row(1.3, 6).Row(2.3, 0).Row(-1, 0).Row(4.1, 6).Row(5.3, 6);
    b.doc.calcConditions.excludeFines35 = 1;
    Load(b.doc);
    ASSERT_EQ(doc.calcPoints.size(), 5u);

    ASSERT_FALSE(form->vaSpreadE->isHidden());
    ASSERT_EQ(form->vaSpreadE->MaxRows(), 3) << "two points and the ∑ row";
    EXPECT_EQ(form->vaSpreadE->Text(1, 1), QStringLiteral("1.30"));
    EXPECT_EQ(form->vaSpreadE->Text(1, 2), QStringLiteral("5.30"));

    const auto lines = CsvDataLines(doc);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0][0], "1.30");
    EXPECT_EQ(lines[1][0], "5.30");

    const std::set<std::string> sheet = ResultSheetTexts(doc);
    EXPECT_TRUE(sheet.count("1.30"));
    EXPECT_TRUE(sheet.count("5.30"));
    for (const char* depth : {"2.30", "4.10"})
        EXPECT_FALSE(sheet.count(depth)) << depth;
}

// The N value is taken as typed: the penetration reaches only the boring
// log's N chart, which plots N converted to 30 cm and labels "N / cm". A
// converted N typed with the standard penetration lands where the chart put
// the unconverted one.
TEST_F(HelpStatementsTest, NValueIsTakenAsTypedAndOnlyTheChartConvertsIt) {
    const QString start = ReadPage("getting_started.htm");
    EXPECT_TRUE(start.contains(QStringLiteral("計算には、入力したＮ値がそのまま使われます")));
    EXPECT_TRUE(
        start.contains(QStringLiteral("貫入量が使われるのは「土質柱状図」のＮ値のグラフだけです")));
    EXPECT_TRUE(start.contains(
        QStringLiteral("換算した値を「Ｎ値」に入力し、貫入量は 30 のままにしてください")));
    EXPECT_TRUE(ReadPage("results.htm")
                    .contains(QStringLiteral("入力したＮ値そのものです。貫入量を入力しても 30 cm "
                                             "あたりには換算しません")));

    auto boring = [](double n, double penetration) {
        BoringBuilder b;
        b.Layer(6, 18, 10).Water(1);
        b.Row(2, 8).Row(3, n).Row(4, 8);
        b.doc.nConvert30 = 1;
        b.doc.nPoints[1].Penetration = penetration;
        b.doc.nGraphMax = 100;
        return b.doc;
    };
    // 20 blows over 10 cm, as typed; the same blows over 30 cm; 60 typed, the 20 converted.
    Document typed = boring(20, 10);
    Document standard = boring(20, 30);
    Document converted = boring(60, 30);
    RecordingCalcMessageSink sink;
    for (Document* d : {&typed, &standard, &converted})
        CalcLiquefaction(*d, sink);
    ASSERT_TRUE(sink.messages.empty());
    EXPECT_EQ(typed.calcPoints[1].N, 20);
    EXPECT_EQ(typed.calcResults[1].n1, standard.calcResults[1].n1);
    EXPECT_EQ(typed.calcResults[1].fl, standard.calcResults[1].fl);
    EXPECT_EQ(converted.calcPoints[1].N, 60);
    EXPECT_NE(converted.calcResults[1].n1, typed.calcResults[1].n1);

    EXPECT_EQ(CsvDataLines(typed)[1][1], "20");
    EXPECT_TRUE(ResultSheetTexts(typed).count("20"));
    EXPECT_FALSE(ResultSheetTexts(typed).count("60"));
    Load(typed);
    EXPECT_EQ(form->vaSpreadE->Text(2, 2), QStringLiteral("20"));

    // The chart: the 20 over 10 cm plots at 60 and says so.
    auto chart = [](const Document& d) {
        SheetCanvases canvases;
        DrawViews(canvases, d, kViewWhole);
        return DrawOps(canvases.viewMeta[3]);
    };
    const std::vector<DrawOp> typedChart = chart(typed);
    const std::vector<DrawOp> convertedChart = chart(converted);
    const std::vector<DrawOp> typedDots = OpsWhere(typedChart, &DrawOp::IsEllipse);
    const std::vector<DrawOp> convertedDots = OpsWhere(convertedChart, &DrawOp::IsEllipse);
    ASSERT_EQ(typedDots.size(), 3u);
    ASSERT_EQ(convertedDots.size(), 3u);
    EXPECT_EQ(typedDots[1].CentreX(), convertedDots[1].CentreX());
    EXPECT_NE(typedDots[1].CentreX(), OpsWhere(chart(standard), &DrawOp::IsEllipse)[1].CentreX());
    EXPECT_EQ(TextOps(typedChart, " 20 / 10").size(), 1u);
}

// PL weighs the top 20 m only; Dcy adds every calculated point down to the
// calculation depth. A boring that liquefies only below 20 m has PL 0
// (かなり小さい) beside a Dcy of its own, as the results page says.
TEST(HelpStatements, DcyCountsBelowTwentyMetresWherePlDoesNot) {
    const QString page = ReadPage("results.htm");
    for (const char* words :
         {"PL は上から 20 m までだけで決まります",
          "Dcy は 20 m で打ち切らず、「計算深さ(m)」までのすべての計算点を合計します",
          "20 m 以深の計算点も含め、「計算深さ(m)」までのすべての計算点が加わります",
          "Dcy は 20 m で打ち切らず、計算深さまでのすべての点を合計します"})
        EXPECT_TRUE(page.contains(QString::fromUtf8(words))) << words;

    // Dense sand to 20 m, loose sand below; a row every metre.
    BoringBuilder b;
    b.Layer(20, 18, 10).Layer(13, 18, 10).Water(1);
    for (int z = 2; z <= 20; ++z)
        b.Row(z, 40);
    for (int z = 21; z <= 32; ++z)
        b.Row(z, 2);
    b.doc.calcConditions.calcDepth = 40;
    RecordingCalcMessageSink sink;
    CalcLiquefaction(b.doc, sink);
    ASSERT_TRUE(sink.messages.empty());
    const std::vector<CalcResult>& r = b.doc.calcResults;
    ASSERT_EQ(r.size(), 31u);
    for (std::size_t p = 0; p < r.size(); ++p)
        ASSERT_EQ(r[p].fl<1, b.doc.calcPoints[p].Depth> 20) << "row " << p;
    EXPECT_EQ(r.back().PLTotal, 0);
    EXPECT_GT(r.back().DcyTotal, 40) << "甚大";

    const std::string csv = Cp932ToUtf8(ResultCsvBytes(b.doc, Date{2008, 3, 5}));
    EXPECT_NE(csv.find("液状化の危険度はかなり小さい"), std::string::npos);
    EXPECT_NE(csv.find("液状化の程度は甚大"), std::string::npos);

    // A liquefying point at 20 m itself adds to Dcy and not to PL.
    BoringBuilder at20;
    at20.Layer(22, 18, 10).Water(1).Row(19, 40).Row(20, 2);
    at20.doc.calcConditions.calcDepth = 30;
    CalcLiquefaction(at20.doc, sink);
    ASSERT_TRUE(sink.messages.empty());
    ASSERT_LT(at20.doc.calcResults[1].fl, 1);
    EXPECT_EQ(at20.doc.calcResults[1].plShare, 0);
    EXPECT_GT(at20.doc.calcResults[1].dcyShare, 0);

    // The calculation depth bounds Dcy: cut at 24 m, the points below it drop out.
    const double whole = r.back().DcyTotal;
    b.doc.calcConditions.calcDepth = 24;
    CalcLiquefaction(b.doc, sink);
    EXPECT_EQ(b.doc.calcResults.back().PLTotal, 0);
    EXPECT_LT(b.doc.calcResults.back().DcyTotal, whole);
    EXPECT_GT(b.doc.calcResults.back().DcyTotal, 0);
}

// A soil column taken off the grid keeps its values, and the calculation
// still judges by them: hidden clay content still leaves a point out.
TEST_F(HelpStatementsTest, AHiddenSoilColumnStillCounts) {
    EXPECT_TRUE(ReadPage("getting_started.htm")
                    .contains(QStringLiteral(
                        "列を表に出さないようにしても、入力してある値は消えずに計算に使われます")));

    BoringBuilder b;
    b.Layer(2, 18, 10).Layer(3, 18, 10, 25).Row(1, 10).Row(3, 10);
    b.doc.calcConditions.excludeClay20 = 1;
    b.doc.layerColumnUsed[3] = 1;
    Load(b.doc);
    ASSERT_EQ(doc.calcPoints.size(), 2u);
    EXPECT_EQ(doc.calcPoints[1].N, 0);

    form->chkSodata[3]->setChecked(false);
    form->chkSodata_Click(3);
    ASSERT_EQ(doc.layerColumnUsed[3], 0);
    EXPECT_EQ(doc.layers[1].CC, 25);
    ASSERT_EQ(doc.calcPoints.size(), 2u);
    EXPECT_EQ(doc.calcPoints[1].N, 0) << "the hidden clay content still excludes the point";
    EXPECT_NE(doc.calcPoints[0].N, 0);
}
