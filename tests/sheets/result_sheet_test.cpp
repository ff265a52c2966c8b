#include "sheets/result_sheet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/codepage.h"
#include "sheets/cell_text.h"
#include "sheets/header_footer.h"
#include "sheets/page_texts.h"
#include "sheets/sheet_composition.h"
#include "sheets/sheet_context.h"
#include "sheets/sheet_test_support.h"

namespace {

// A document with `n` calculated points, 1 m apart; every value of a point
// differs, so each cell of the table can be told apart.
Document WithPoints(int n) {
    Document doc;
    for (int i = 0; i < n; ++i) {
        CalcPoint p;
        p.N = 10 + i;
        p.Depth = 1.3 + i;
        p.SigmaZ = 20.5 + i;
        p.SigmaZe = 15.5 + i;
        p.FC = 12.5;
        p.CC = 8.5;
        p.Ip = 7.5;
        doc.calcPoints.push_back(p);
        CalcResult r;
        r.rn = 0.8;
        r.rd = 0.95;
        r.tauD = 11.25;
        r.tauDRatio = 0.234;
        r.cn = 1.456;
        r.n1 = 14.5;
        r.deltaNf = 3.25;
        r.na = 17.75;
        r.tauLRatio = 0.321;
        r.tauL = 4.98;
        r.fl = 1.37;
        r.beta = 0.667;
        r.plShare = 0;
        r.dcyShare = 0.42;
        doc.calcResults.push_back(r);
    }
    if (n > 0) {
        doc.calcResults.back().DcyTotal = 12.345;
        doc.calcResults.back().PLTotal = 5;
    }
    return doc;
}

TEST(ResultSheetLayout, ColumnSetsFollowTheClayAndPlasticityColumns) {
    struct Case {
        int cc;
        int ip;
        int lastCol;
        double firstWidth;
        double width;
        std::array<int, 7> groups;
        int stressCol;
    };
    const Case cases[] = {
        {0, 0, 19, 7.46, 7.33, {3, 9, 15, 16, 17, 18, 19}, 3},
        {1, 0, 20, 7.1, 6.97, {4, 10, 16, 17, 18, 19, 20}, 4},
        {0, 1, 20, 7.1, 6.97, {4, 10, 16, 17, 18, 19, 20}, 4},
        {1, 1, 21, 6.74, 6.61, {5, 11, 17, 18, 19, 20, 21}, 5},
    };
    for (const Case& c : cases) {
        Document doc;
        doc.layerColumnUsed[3] = c.cc;
        doc.layerColumnUsed[4] = c.ip;
        ResultSheetLayout layout = LayoutResultSheet(doc, 70);
        SCOPED_TRACE(testing::Message() << "CC " << c.cc << " Ip " << c.ip);
        ASSERT_EQ(c.lastCol, layout.lastCol);
        ASSERT_EQ(static_cast<std::size_t>(c.lastCol + 1), layout.colX.size());
        EXPECT_EQ(c.groups, layout.groupCol);
        EXPECT_EQ(c.stressCol, layout.StressCol());
        EXPECT_DOUBLE_EQ(0.3, layout.colX[0]);
        EXPECT_NEAR(0.3 + c.firstWidth, layout.colX[1], 1e-9);
        for (int k = 2; k <= c.lastCol; ++k)
            EXPECT_NEAR(c.width, layout.colX[k] - layout.colX[k - 1], 1e-9);
        EXPECT_GT(layout.colX.back(), 139.0);
        EXPECT_LT(layout.colX.back(), 140.0);
    }
}

TEST(ResultSheetLayout, RowsOfShownPointsWithAndWithoutExclusions) {
    Document doc = WithPoints(4);
    doc.calcPoints[1].N = 0;  // excluded: no row
    EXPECT_EQ((std::vector<double>{10.5, 12.5, 19, 21, 23, 25}), LayoutResultSheet(doc, 70).rowY);

    for (int flag = 0; flag < 3; ++flag) {
        Document excluded = doc;
        CalcConditions& c = excluded.calcConditions;
        (flag == 0 ? c.excludeClay20 : flag == 1 ? c.excludeFines35 : c.excludeFinesPlastic) = 1;
        EXPECT_EQ((std::vector<double>{13.5, 15.5, 22, 24, 26, 28}),
                  LayoutResultSheet(excluded, 70).rowY);
    }

    EXPECT_EQ((std::vector<double>{10.5, 12.5, 19}), LayoutResultSheet(Document{}, 70).rowY);
    Document allExcluded = WithPoints(3);
    for (CalcPoint& p : allExcluded.calcPoints)
        p.N = 0;
    EXPECT_EQ((std::vector<double>{10.5, 12.5, 19}), LayoutResultSheet(allExcluded, 70).rowY);
}

// Rows that do not fit share the space above row maxRow - 11 and are never
// taller than 2 rows, so the table and its note stay clear of the footer.
TEST(ResultSheetLayout, CompressedRowsNeverGrowAndStayAboveTheFooter) {
    EXPECT_DOUBLE_EQ(59, LayoutResultSheet(WithPoints(20), 70).Bottom());
    ResultSheetLayout fitted = LayoutResultSheet(WithPoints(21), 70);
    EXPECT_NEAR(40.0 / 21, fitted.rowY[3] - fitted.rowY[2], 1e-12);
    EXPECT_DOUBLE_EQ(59, fitted.Bottom());

    for (int exclusion : {0, 1}) {
        for (int n : {1, 19, 20, 21, 22, 35, 60, 300, 1000}) {
            Document doc = WithPoints(n);
            doc.calcConditions.excludeFines35 = exclusion;
            for (int maxRow : {70, 88}) {
                ResultSheetLayout layout = LayoutResultSheet(doc, maxRow);
                SCOPED_TRACE(testing::Message() << "n " << n << " maxRow " << maxRow);
                ASSERT_EQ(static_cast<std::size_t>(n + 3), layout.rowY.size());
                for (int r = 3; r <= n + 2; ++r) {
                    double pitch = layout.rowY[r] - layout.rowY[r - 1];
                    ASSERT_GT(pitch, 0);
                    ASSERT_LE(pitch, 2 + 1e-12);
                }
                EXPECT_LE(layout.Bottom(), maxRow - 11 + 1e-9);
            }
        }
    }
}

TEST(ResultSheetJudgement, GradeBoundariesBelongToTheLowerGrade) {
    const std::pair<double, const char*> dcy[] = {
        {0, "なし"},   {0.01, "軽微"}, {5, "軽微"},   {5.01, "小"}, {10, "小"},
        {10.01, "中"}, {20, "中"},     {20.01, "大"}, {40, "大"},   {40.01, "甚大"},
    };
    for (const auto& [d, grade] : dcy)
        EXPECT_STREQ(grade, DcyGrade(d)) << d;
    const std::pair<double, const char*> pl[] = {
        {-0.83, "低い"}, {0, "かなり小さい"}, {0.01, "低い"},        {5, "低い"},
        {5.01, "高い"},  {15, "高い"},        {15.01, "極めて高い"},
    };
    for (const auto& [p, grade] : pl)
        EXPECT_STREQ(grade, PlGrade(p)) << p;

    EXPECT_EQ("Dcy= 12.35(cm)  液状化の程度は中", DcySentence(12.345));
    EXPECT_EQ("PL =  0.00      液状化の危険度はかなり小さい", PlSentence(0));
    // The sheet and the results file grade one total alike.
    EXPECT_EQ("PL = -0.83      液状化の危険度は低い", PlSentence(-0.834));
}

TEST(ResultSheetJudgement, OnlyShownPointsBelowOneCount) {
    const std::string yes = "Fl値が1未満の層があり液状化の可能性がある";
    const std::string no = "Fl値が1未満の層はなくFl値からは液状化の可能性はないと判断できる";
    EXPECT_EQ(no, FlJudgement(Document{}));
    Document doc = WithPoints(3);
    for (CalcResult& r : doc.calcResults)
        r.fl = 1.0;
    EXPECT_EQ(no, FlJudgement(doc));
    doc.calcResults[1].fl = 0.99;
    EXPECT_EQ(yes, FlJudgement(doc));
    doc.calcPoints[1].N = 0;
    EXPECT_EQ(no, FlJudgement(doc));
}

struct ResultPage {
    explicit ResultPage(const Document& document) : doc(document) {
        EXPECT_EQ(PageStatus::kComposed, StartPrintedPage(blank, SheetInputs(doc, settings, &a4)));
        clsStrMeta canvas = blank;
        layout = DrawResultSheetFrame(canvas, doc);
        DrawResultTable(canvas, doc, layout);
        canvas.PicEnd();
        texts = TextsOf(canvas);
        ops = DrawOps(canvas);
    }
    // Where the page would have placed the text at the cell position.
    PageText At(double column, double row, const std::string& text) const {
        return TextPlaced(blank, column, row, text);
    }
    // Where DrawCellText centres a text that fits in its column.
    PageText Centred(int k, double row, const std::string& text) const {
        double x1 = layout.colX[k];
        double x2 = layout.colX[k + 1];
        return At(x1 + ((x2 - x1) - Cp932Length(text)) / 2, row, text);
    }
    // Where DrawCellText or DrawCellTextB puts the text on this page.
    PageText InCell(double x1, double x2, double row, const std::string& text) const {
        clsStrMeta copy = blank;
        DrawCellText(copy, x1, x2, row, text);
        copy.PicEnd();
        return TextsOf(copy).back();
    }
    PageText Raised(double column, double row, const std::string& text) const {
        clsStrMeta copy = blank;
        DrawCellTextB(copy, column, row, text);
        copy.PicEnd();
        return TextsOf(copy).back();
    }
    CellSize Cell() const { return PageCell(blank, a4, settings.printMargins); }
    bool Has(const PageText& text) const {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
    double RowOfText(const std::string& text) const {
        for (const PageText& t : texts)
            if (t.text == text)
                for (double row = 0; row < 100; row += 0.5)
                    if (At(0.8, row, text).y == t.y)
                        return row;
        return -1;
    }

    Document doc;
    Settings settings;
    FakePrinter a4 = A4Printer();
    clsStrMeta blank;
    ResultSheetLayout layout;
    std::vector<PageText> texts;
    std::vector<DrawOp> ops;
};

// The outline and the rule under the column heads are thick; the rule under
// the group heads stops where the four full-height heads begin; a vertical
// rule is thick from the table's top at a group boundary, thin from the foot
// of the group heads elsewhere.
TEST(ResultSheetPage, FrameRulesByGroup) {
    for (int both : {0, 1}) {
        Document doc = WithPoints(3);
        doc.layerColumnUsed[3] = both;
        doc.layerColumnUsed[4] = both;
        ResultPage page(doc);
        SCOPED_TRACE(both);
        const ResultSheetLayout& l = page.layout;
        const int w = l.lastCol;
        const CellSize cell = page.Cell();
        auto col = [&](std::int32_t x) { return cell.Col(x); };
        auto row = [&](std::int32_t y) { return cell.Row(y); };
        constexpr double kTol = 0.02;

        std::vector<DrawOp> lines = OpsWhere(page.ops, &DrawOp::IsLine);
        ASSERT_EQ(static_cast<std::size_t>(3 + w - 1), lines.size());

        const DrawOp& outline = lines[0];
        ASSERT_EQ(5u, outline.points.size());
        EXPECT_EQ(40, outline.pen.width);
        EXPECT_EQ(outline.points[0].x, outline.points[4].x);
        EXPECT_EQ(outline.points[0].y, outline.points[4].y);
        EXPECT_NEAR(l.colX[0], col(outline.points[0].x), kTol);
        EXPECT_NEAR(l.rowY[0], row(outline.points[0].y), kTol);
        EXPECT_NEAR(l.colX[w], col(outline.points[2].x), kTol);
        EXPECT_NEAR(l.Bottom(), row(outline.points[2].y), kTol);

        struct Rule {
            double x1, y1, x2, y2;
            int pen;
        };
        std::vector<Rule> expected = {
            {l.colX[0], l.rowY[2], l.colX[w], l.rowY[2], 40},
            {l.colX[0], l.rowY[1], l.colX[w - 4], l.rowY[1], 10},
        };
        for (int k = 1; k <= w - 1; ++k) {
            bool group =
                std::find(l.groupCol.begin(), l.groupCol.begin() + 6, k) != l.groupCol.begin() + 6;
            expected.push_back(
                {l.colX[k], l.rowY[group ? 0 : 1], l.colX[k], l.Bottom(), group ? 40 : 10});
        }
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const DrawOp& line = lines[i + 1];
            const Rule& e = expected[i];
            SCOPED_TRACE(i);
            ASSERT_EQ(2u, line.points.size());
            EXPECT_EQ(e.pen, line.pen.width);
            EXPECT_NEAR(e.x1, col(line.points[0].x), kTol);
            EXPECT_NEAR(e.y1, row(line.points[0].y), kTol);
            EXPECT_NEAR(e.x2, col(line.points[1].x), kTol);
            EXPECT_NEAR(e.y2, row(line.points[1].y), kTol);
        }
    }
}

TEST(ResultSheetPage, GroupHeadsFullHeightHeadsAndRaisedMarks) {
    for (int both : {0, 1}) {
        Document doc = WithPoints(1);
        doc.layerColumnUsed[3] = both;
        doc.layerColumnUsed[4] = both;
        ResultPage page(doc);
        SCOPED_TRACE(both);
        const std::vector<double>& x = page.layout.colX;
        const double y0 = page.layout.rowY[0];
        const double y1 = page.layout.rowY[1];
        const std::array<int, 7>& g = page.layout.groupCol;
        const int c = page.layout.StressCol();

        EXPECT_TRUE(page.Has(page.InCell(x[0], x[g[0]], y0 + 1.5, "計算条件")));
        EXPECT_TRUE(page.Has(page.InCell(x[g[0]], x[g[1]], y0 + 1.5, "等価繰返しせん断応力比")));
        EXPECT_TRUE(page.Has(page.InCell(x[g[1]], x[g[2]], y0 + 1.5, "液状化抵抗比")));
        EXPECT_TRUE(page.Has(page.InCell(x[g[2]], x[g[3]], y0 + 3.5, "安全率")));
        EXPECT_TRUE(page.Has(page.InCell(x[g[3]], x[g[4]], y0 + 3.5, "繰返し")));
        EXPECT_TRUE(page.Has(page.InCell(x[g[4]], x[g[5]], y0 + 3.5, "危険度")));
        EXPECT_TRUE(page.Has(page.InCell(x[g[5]] + 0.3, x[g[6]] - 0.3, y0 + 2, "水平地盤")));

        // The β column's description hangs from the table's top.
        const double b1 = x[c + 15] + 0.3;
        const double b2 = x[c + 16] - 0.3;
        EXPECT_TRUE(page.Has(page.InCell(b1, b2, y0 + 3, "反力係数")));
        EXPECT_TRUE(page.Has(page.InCell(b1, b2, y0 + 4, "の低減")));
        EXPECT_TRUE(page.Has(page.InCell(b1, b2, y0 + 5, "係数")));
        EXPECT_TRUE(page.Has(page.InCell(x[c + 15], x[c + 16], y1 + 5, "β")));
        EXPECT_TRUE(page.Has(page.InCell(x[c + 13] + 0.3, x[c + 14] - 0.3, y1 + 3, "⊿変位")));
        EXPECT_TRUE(page.Has(page.InCell(x[c + 8], x[c + 9], y1 + 5, "ΔNf")));

        // The "2" of every (kN/m ) stands on the unit's blank; the FL column
        // carries the note's mark.
        for (int k : {c, c + 1, c + 4, c + 10}) {
            SCOPED_TRACE(k);
            EXPECT_TRUE(page.Has(page.InCell(x[k] + 0.3, x[k + 1] - 0.3, y1 + 6, "(kN/m )")));
            double centre = (x[k] + x[k + 1]) / 2;
            double shift = 1.5 * std::min(1.0, (x[k + 1] - x[k] - 0.6) / 7);
            EXPECT_TRUE(page.Has(page.Raised(centre + shift, y1 + 6, "2")));
        }
        EXPECT_EQ(5u, std::count_if(page.texts.begin(), page.texts.end(),
                                    [](const PageText& t) { return t.text == "2"; }));
        EXPECT_TRUE(page.Has(page.Raised((x[c + 12] + x[c + 13]) / 2 + 1.2, y1 + 5, "(*)")));
        EXPECT_TRUE(page.Has(page.Raised(3.8, page.layout.Bottom() + 1.5, "(*)")));
    }
}

TEST(ResultSheetPage, ValuesStandUnderTheirHeadsInEveryColumnSet) {
    for (int cc : {0, 1}) {
        for (int ip : {0, 1}) {
            Document doc = WithPoints(2);
            doc.calcPoints[0].N = 0;  // the second point takes the first row
            doc.layerColumnUsed[3] = cc;
            doc.layerColumnUsed[4] = ip;
            ResultPage page(doc);
            SCOPED_TRACE(testing::Message() << "CC " << cc << " Ip " << ip);
            const double y1 = page.layout.rowY[1];
            const double row = (page.layout.rowY[2] + page.layout.rowY[3]) / 2 + 0.5;
            const int c = page.layout.StressCol();
            EXPECT_TRUE(page.Has(page.Centred(0, y1 + 6, "(m)")));
            EXPECT_TRUE(page.Has(page.Centred(0, row, "  2.30")));
            EXPECT_TRUE(page.Has(page.Centred(1, row, " 11")));
            EXPECT_TRUE(page.Has(page.Centred(2, row, " 12.5")));
            EXPECT_EQ(cc == 1, page.Has(page.Centred(3, row, "  8.5")));
            EXPECT_EQ(ip == 1, page.Has(page.Centred(3 + cc, row, "  7.5")));
            EXPECT_TRUE(page.Has(page.Centred(c, y1 + 5, "σz")));
            EXPECT_TRUE(page.Has(page.Centred(c, row, " 21.5")));
            EXPECT_TRUE(page.Has(page.Centred(c + 1, row, " 16.5")));
            EXPECT_TRUE(page.Has(page.Centred(c + 5, y1 + 1.5, "応力比")));
            EXPECT_TRUE(page.Has(page.Centred(c + 5, row, " 0.234")));
            EXPECT_TRUE(page.Has(page.Centred(c + 6, row, " 1.456")));
            EXPECT_TRUE(page.Has(page.Centred(c + 12, y1 + 5, "Fl")));
            EXPECT_TRUE(page.Has(page.Centred(c + 12, row, "  1.37")));
            EXPECT_TRUE(page.Has(page.Centred(c + 13, row, "  0.42")));
            EXPECT_TRUE(page.Has(page.Centred(c + 15, y1 + 5, "β")));
            EXPECT_TRUE(page.Has(page.Centred(c + 15, row, " 0.667")));
            // The ⊿PL share of 0 leaves its cell empty; no other value is blank.
            int values = 0;
            for (const PageText& t : page.texts)
                values += t.y == page.At(0, row, "x").y ? 1 : 0;
            EXPECT_EQ(c + 15, values);
        }
    }
}

TEST(ResultSheetPage, SentenceRowsFollowTheExclusionRows) {
    struct Case {
        int flags;  // how many exclusion flags are set
        double flRow;
    };
    for (const Case& c : {Case{0, 8}, Case{1, 10}, Case{3, 12}}) {
        Document doc = WithPoints(1);
        doc.calcConditions.excludeClay20 = c.flags >= 1 ? 1 : 0;
        doc.calcConditions.excludeFines35 = c.flags >= 2 ? 1 : 0;
        doc.calcConditions.excludeFinesPlastic = c.flags >= 3 ? 1 : 0;
        ResultPage page(doc);
        SCOPED_TRACE(c.flags);
        EXPECT_DOUBLE_EQ(c.flRow, page.RowOfText("(液状化の安全率)"));
        EXPECT_DOUBLE_EQ(c.flRow + 1, page.RowOfText("(液状化の程度)"));
        EXPECT_DOUBLE_EQ(c.flRow + 2, page.RowOfText("(液状化危険度指標)"));
        EXPECT_TRUE(page.Has(page.At(25.8, c.flRow + 1, DcySentence(12.345))));
        EXPECT_TRUE(page.Has(page.At(25.8, c.flRow + 2, "PL =  5.00      液状化の危険度は低い")));
        EXPECT_EQ(c.flags > 0, page.RowOfText("(土質定数による対象除外条件)") == 8);
    }
}

TEST(ResultSheetPage, NoPointsDrawsTheFrameWithoutTotals) {
    ResultPage page{Document{}};
    EXPECT_EQ(3u, page.layout.rowY.size());
    EXPECT_DOUBLE_EQ(8, page.RowOfText("(液状化の安全率)"));
    EXPECT_EQ(-1, page.RowOfText("(液状化の程度)"));
    EXPECT_EQ(-1, page.RowOfText("(液状化危険度指標)"));
    std::string note =
        " Fl値が1より大きい土層は液状化発生の可能性がないものと判断し、"
        "逆に1以下はその可能性があると判断する.";
    EXPECT_TRUE(page.Has(page.At(4.8, 19 + 1.5, note)));
}

TEST(ResultSheetPage, ConditionBlock) {
    Document doc;
    doc.calcConditions.surfaceAccel = 350;
    doc.calcConditions.calcDepth = 20.25;
    doc.calcConditions.calcRange = 1;
    doc.calcConditions.guideEdition = 0;
    ResultPage page(doc);
    EXPECT_TRUE(page.Has(page.At(48.8, 3, "7.5")));
    EXPECT_TRUE(page.Has(page.At(48.8, 4, "350(cm/s )")));
    EXPECT_TRUE(page.Has(page.At(48.8, 5, "20.25(m)")));
    EXPECT_TRUE(page.Has(page.At(25.8, 6, "計算深さまでの全域を対象として計算を行う")));
    EXPECT_TRUE(
        page.Has(page.At(25.8, 7, "建築基礎構造設計指針：□2001年版  ■1988年版 （■に準拠）")));
    // The superscript of s² stands on the blank inside the unit.
    clsStrMeta raised = page.blank;
    DrawCellTextB(raised, 48.8 + 3 + 5, 4, "2");
    raised.PicEnd();
    EXPECT_TRUE(page.Has(TextsOf(raised).back()));
}

TEST(ResultSheetPage, PrintedPageWithoutPrinterIsAnErrorAndLeavesThePage) {
    Document doc = WithPoints(3);
    Settings settings;
    SheetCanvases canvases;
    FakePrinter none(0, 0, 0);
    EXPECT_EQ(PageStatus::kNoPrinter, DrawResultSheetPage(canvases, SheetInputs(doc, settings)));
    EXPECT_EQ(PageStatus::kNoPrinter,
              DrawResultSheetPage(canvases, SheetInputs(doc, settings, &none)));
    EXPECT_FALSE(canvases.pageMeta[2].HasPage());

    FakePrinter a4 = A4Printer();
    SheetInputs in(doc, settings, &a4);
    in.clock = [] { return LocalDateTime{Date{2008, 3, 5}, 9, 0, 0}; };
    ASSERT_EQ(PageStatus::kComposed, DrawResultSheetPage(canvases, in));
    ASSERT_TRUE(canvases.pageMeta[2].HasPage());
    std::vector<PageText> texts = TextsOf(canvases.pageMeta[2]);
    EXPECT_EQ("『地盤データ及び液状化判定』", texts[texts.size() - 5].text);
    EXPECT_EQ("( 2008/03/05)", texts.back().text);
    EXPECT_NE(std::string::npos, texts[texts.size() - 3].text.find("Page-2"));

    EXPECT_EQ(PageStatus::kNoPrinter,
              DrawResultSheetPage(canvases, SheetInputs(doc, settings, &none)));
    EXPECT_TRUE(canvases.pageMeta[2].HasPage());
}

}  // namespace
