#include "sheets/log_sheet_frame.h"

#include <gtest/gtest.h>

#include "sheets/sheet_test_support.h"
#include "sheets/soil_const_items.h"

namespace {

PrintItemFlags Items(std::initializer_list<int> chosen) {
    PrintItemFlags items{};
    for (int item : chosen)
        items[static_cast<std::size_t>(item - 1)] = 1;
    return items;
}

Document AllColumnsInUse() {
    Document doc;
    doc.layerColumnUsed.fill(1);
    return doc;
}

struct Drawn {
    clsStrMeta canvas;
    SheetLayout layout;
    CellSize cell;
    std::vector<DrawOp> ops;
};

Drawn ScreenFrame(const Document& doc, const PrintItemFlags& items = {}) {
    Drawn d;
    StartScreenCanvas(d.canvas);
    DrawLogSheetFrame(d.canvas, d.layout, doc, items, 0);
    d.canvas.PicEnd();
    d.cell = ScreenCell(d.canvas);
    d.ops = DrawOps(d.canvas);
    return d;
}

Drawn PageFrame(const Document& doc, const PrintItemFlags& items) {
    static FakePrinter a4 = A4Printer();
    static Settings settings;
    Drawn d;
    SheetInputs in(doc, settings, &a4);
    EXPECT_EQ(StartPrintedPage(d.canvas, in), PageStatus::kComposed);
    DrawLogSheetFrame(d.canvas, d.layout, doc, items, 1);
    d.canvas.PicEnd();
    d.cell = PageCell(d.canvas, a4, settings.printMargins);
    d.ops = DrawOps(d.canvas);
    return d;
}

// The vertical rules of a frame: x column → first row.
std::vector<std::pair<double, double>> VerticalRules(const Drawn& d, int width) {
    std::vector<std::pair<double, double>> out;
    for (const DrawOp& op : OpsWhere(d.ops, &DrawOp::IsLine))
        if (op.points.size() == 2 && op.points[0].x == op.points[1].x && op.pen.width == width &&
            op.pen.style == kPenSolid)
            out.push_back({d.cell.Col(op.points[0].x), d.cell.Row(op.points[0].y)});
    return out;
}

TEST(LogSheetFrame, ScreenLayoutIgnoresTheItemChoice) {
    const double cols[] = {0.3, 5.3, 12.3, 19.3, 28.3, 49.3, 54.3, 62.3, 94.8, 100.0};
    Drawn d = ScreenFrame(AllColumnsInUse(), Items({1, 2, 3, 4, 5, 6, 7, 8}));
    ASSERT_EQ(d.layout.colX.size(), 10u);
    for (std::size_t k = 0; k < 10; ++k)
        EXPECT_NEAR(d.layout.colX[k], cols[k], 1e-9) << k;
    EXPECT_NEAR(d.layout.rowY[0], 0.1, 1e-9);
    EXPECT_NEAR(d.layout.rowY[1], 1.7, 1e-9);
    EXPECT_NEAR(d.layout.rowY[2], 5.1, 1e-9);
    EXPECT_NEAR(d.layout.rowY[3], 59.9, 1e-9);
    // Nothing above the sheet on screen.
    for (const DrawOp& op : OpsWhere(d.ops, &DrawOp::IsText))
        EXPECT_GE(d.cell.Row(op.at.y), 0.0) << op.text;
    EXPECT_TRUE(TextOps(d.ops, "FC").empty());
}

TEST(LogSheetFrame, PaperLayoutStretchesByTheNumberOfItems) {
    struct Case {
        PrintItemFlags items;
        std::size_t columns;
        double right;
    };
    const Case cases[] = {
        {Items({}), 9, 0.3 + 99.7 * 139.4 / 99.4},
        {Items({1, 2}), 11, 0.3 + 109.7 * 139.4 / 109.4},
        {Items({1, 2, 3, 4, 5, 6, 7, 8}), 17, 140.0},
    };
    for (const Case& k : cases) {
        Drawn d = PageFrame(AllColumnsInUse(), k.items);
        ASSERT_EQ(d.layout.colX.size(), k.columns + 1);
        EXPECT_NEAR(d.layout.colX.back(), k.right, 1e-9);
        EXPECT_NEAR(d.layout.colX[1] - d.layout.colX[0],
                    5 * 139.4 / (99.4 + 5.0 * static_cast<double>(k.columns - 9)), 1e-9);
        EXPECT_NEAR(d.layout.rowY[0], 6.5, 1e-9);
        EXPECT_NEAR(d.layout.rowY[2], 11.5, 1e-9);
        EXPECT_NEAR(d.layout.rowY[3], d.canvas.lMaxRow - 2.0, 1e-9);
    }
}

TEST(LogSheetFrame, ColumnHeadsStandInTheirCellsInTheirOrder) {
    struct Head {
        std::size_t from, to;  // the cell spans colX[from] .. colX[to]
        double inset;
        const char* text;
        double row;  // offset from the top of the sheet
    };
    const Head heads[] = {
        {0, 1, 0, "標", 1.5},
        {0, 1, 0, "尺", 3.0},
        {0, 1, 0, "(m)", 4.5},
        {1, 2, 0, "深", 1.5},
        {1, 2, 0, "度", 3.0},
        {1, 2, 0, "(m)", 4.5},
        {2, 3, 0, "層", 1.5},
        {2, 3, 0, "厚", 3.0},
        {2, 3, 0, "(m)", 4.5},
        {3, 4, 0, "土", 1.5},
        {3, 4, 0, "質", 2.5},
        {3, 4, 0, "記", 3.5},
        {3, 4, 0, "号", 4.5},
        {4, 5, 0, "土", 1.5},
        {4, 5, 0, "質", 3.0},
        {4, 5, 0, "名", 4.5},
        {5, 6, 0, "孔", 1.5},
        {5, 6, 0, "内", 2.5},
        {5, 6, 0, "水", 3.5},
        {5, 6, 0, "位", 4.5},
        {6, 9, 0, "標 準 貫 入 試 験 (液 状 化 判 定)", 1.5},
        {6, 7, 0, "Ｎ", 3.5},
        {6, 7, 0, "値", 4.5},
        {8, 9, 0.4, "(Fl値)", 4.0},
    };
    Document doc = AllColumnsInUse();
    struct Mode {
        const char* name;
        Drawn d;
        std::size_t firstHead;  // texts drawn before the heads
    };
    Mode modes[] = {{"screen", ScreenFrame(doc), 0}, {"paper", PageFrame(doc, Items({1, 2})), 8}};
    for (const Mode& mode : modes) {
        SCOPED_TRACE(mode.name);
        const Drawn& d = mode.d;
        auto texts = OpsWhere(d.ops, &DrawOp::IsText);
        ASSERT_GE(texts.size(), mode.firstHead + std::size(heads));
        for (std::size_t i = 0; i < std::size(heads); ++i) {
            const Head& h = heads[i];
            const DrawOp& t = texts[mode.firstHead + i];
            SCOPED_TRACE(h.text);
            ASSERT_EQ(t.text, h.text);
            double x1 = d.layout.colX[h.from] + h.inset;
            double x2 = d.layout.colX[h.to] - h.inset;
            double n = Cp932Length(h.text);
            // Centred when it fits, condensed from the left edge when not.
            double left = n <= x2 - x1 ? x1 + (x2 - x1 - n) / 2 : x1;
            EXPECT_NEAR(d.cell.Col(t.at.x), left, 0.02);
            EXPECT_NEAR(t.at.y, d.cell.TextRowY(d.layout.rowY[0] + h.row), 1);
        }
    }
}

TEST(LogSheetFrame, RulesOfTheGraphColumnsStartUnderTheTitleAndConstantRulesAreThin) {
    Drawn d = PageFrame(AllColumnsInUse(), Items({1, 2, 7}));
    auto thick = VerticalRules(d, 40);
    ASSERT_EQ(thick.size(), 9u);  // x1..x9
    for (const auto& [col, row] : thick) {
        bool graph =
            std::abs(col - d.layout.colX[7]) < 0.01 || std::abs(col - d.layout.colX[8]) < 0.01;
        EXPECT_NEAR(row, graph ? d.layout.rowY[1] : d.layout.rowY[0], 0.01) << col;
    }
    auto thin = VerticalRules(d, 10);
    ASSERT_EQ(thin.size(), 2u);  // x10 and x11
    EXPECT_NEAR(thin[0].first, d.layout.colX[10], 0.01);
    EXPECT_NEAR(thin[1].first, d.layout.colX[11], 0.01);
}

TEST(LogSheetFrame, AxisLabelsArePlainTextCentredOnTheirRules) {
    struct Case {
        int nMax;
        std::vector<std::string> labels;
        std::vector<std::string> flLabels;
        std::size_t rules;
    };
    const Case cases[] = {
        {50, {"10", "20", "30", "40", "50"}, {"(0.5)", "(1.0)", "(1.5)", "(2.0)", "(2.5)"}, 5},
        {45, {"10", "20", "30", "40"}, {"(0.5)", "(1.0)", "(1.5)", "(2.0)"}, 5},
        {100, {"10", "20", "30", "40", "50", "60", "70", "80", "90", "100"}, {}, 10},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.nMax);
        Document doc;
        doc.nGraphMax = k.nMax;
        Drawn d = ScreenFrame(doc);
        double x7 = d.layout.colX[7];
        double s = (d.layout.colX[8] - x7) / (k.nMax + 5);
        for (std::size_t i = 0; i < k.labels.size(); ++i) {
            auto n = TextOps(d.ops, k.labels[i]);
            ASSERT_EQ(n.size(), 1u) << k.labels[i];
            EXPECT_NEAR(d.cell.Col(n[0].at.x), x7 + 10.0 * (i + 1) * s - 1, 0.01);
            EXPECT_NEAR(n[0].at.y, d.cell.TextRowY(d.layout.rowY[2] - 0.2), 1);
        }
        for (std::size_t i = 0; i < k.flLabels.size(); ++i) {
            auto fl = TextOps(d.ops, k.flLabels[i]);
            ASSERT_EQ(fl.size(), 1u) << k.flLabels[i];
            EXPECT_NEAR(d.cell.Col(fl[0].at.x), x7 + 10.0 * (i + 1) * s - 2.5, 0.01);
        }
        std::vector<double> dotted;
        for (const DrawOp& op : OpsWhere(d.ops, &DrawOp::IsLine))
            if (op.pen.style == kPenDot)
                dotted.push_back(d.cell.Col(op.points[0].x));
        ASSERT_EQ(dotted.size(), k.rules);
        EXPECT_NEAR(dotted.back(), x7 + k.nMax * s, 0.01);
    }
}

TEST(LogSheetFrame, HeaderBlockOnlyOnPaper) {
    Document doc = AllColumnsInUse();
    doc.basicData.ProjectName = "工事A";
    doc.basicData.SurveyFrom = {2008, 3, 5};
    doc.basicData.SurveyTo = {2008, 4, 1};
    doc.basicData.DatumToGL = 0.5;
    doc.basicData.DatumToWaterLevel = 2;
    doc.basicData.DatumToDiluvium = 14.25;
    Drawn paper = PageFrame(doc, Items({}));
    const char* expected[] = {"工事名： 工事A",
                              "略　称： ",
                              "調査地： ",
                              "調査年月日: 2008/03/05～",
                              "2008/04/01",
                              "基点-設計GL：0.5(m)",
                              "基点-孔内水位レベル：2(m)",
                              "基点-洪積層始点：14.25(m)"};
    for (const char* text : expected) {
        auto t = TextOps(paper.ops, text);
        ASSERT_EQ(t.size(), 1u) << text;
        EXPECT_LT(paper.cell.Row(t[0].at.y), paper.layout.rowY[0]) << text;
    }
    Drawn screen = ScreenFrame(doc);
    EXPECT_TRUE(TextOps(screen.ops, "工事名： 工事A").empty());
}

// The column whose cell a head text is centred in.
std::size_t ColumnOf(const Drawn& d, const DrawOp& text) {
    double x = d.cell.Col(text.at.x);
    for (std::size_t k = 0; k + 1 < d.layout.colX.size(); ++k)
        if (x >= d.layout.colX[k] && x < d.layout.colX[k + 1])
            return k;
    return 99;
}

TEST(LogSheetFrame, SoilConstantHeadsFollowTheEffectiveItems) {
    struct Case {
        const char* name;
        PrintItemFlags items;
        std::array<int, 15> used;
        int fcInputMode;
        std::vector<std::pair<std::string, std::size_t>> heads;  // text → column
        std::size_t columns;
    };
    std::array<int, 15> all{};
    all.fill(1);
    std::array<int, 15> noFc = all;
    noFc[2] = 0;
    std::array<int, 15> noCc = all;
    noCc[3] = 0;
    const Case cases[] = {
        {"FC before unit weight", Items({1, 2}), all, 0, {{"FC", 9}, {"単位", 10}}, 11},
        {"FC on the N rows", Items({2, 7}), noFc, 1, {{"FC", 9}, {"Vs", 10}}, 11},
        {"FC off everywhere is dropped", Items({2, 7}), noFc, 0, {{"Vs", 9}}, 10},
        {"column off is dropped", Items({1, 3, 4}), noCc, 0, {{"単位", 9}, {"Ip", 10}}, 11},
        // A file may choose all 14: the page has room for 8, the first in the
        // print-item dialog's order, as that dialog keeps them.
        {"all 14 keep the first 8",
         Items({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}),
         all,
         0,
         {{"FC", 9}, {"単位", 10}, {"CC", 11}, {"Vp", 16}},
         17},
        {"all 14 with CC off keep Eo as the eighth",
         Items({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}),
         noCc,
         0,
         {{"Ip", 11}, {"Eo", 16}},
         17},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Document doc;
        doc.layerColumnUsed = k.used;
        doc.fcInputMode = k.fcInputMode;
        Drawn d = PageFrame(doc, k.items);
        EXPECT_EQ(d.layout.colX.size(), k.columns + 1);
        for (const auto& [text, column] : k.heads) {
            auto t = TextOps(d.ops, text);
            ASSERT_EQ(t.size(), 1u) << text;
            EXPECT_EQ(ColumnOf(d, t[0]), column) << text;
        }
    }
}

TEST(LogSheetFrame, AChoiceOfMoreThanEightKeepsTheFirstEightInTheDialogsOrder) {
    Document doc;
    doc.layerColumnUsed.fill(1);
    PrintItemFlags all;
    all.fill(1);
    EXPECT_EQ(EffectiveItems(doc, all), Items({1, 2, 3, 4, 5, 6, 7, 8}));
    Drawn d = PageFrame(doc, all);
    EXPECT_TRUE(TextOps(d.ops, "Eo").empty());
    EXPECT_TRUE(TextOps(d.ops, "Es").empty());
}

TEST(LogSheetFrame, UnitSuperscriptFillsTheBlankOfTheUnit) {
    Document doc = AllColumnsInUse();
    Drawn d = PageFrame(doc, Items({1}));
    double xa = d.layout.colX[9];
    double xb = d.layout.colX[10];
    auto unit = TextOps(d.ops, "(kN/m )");
    auto sup = TextOps(d.ops, "3");
    ASSERT_EQ(unit.size(), 1u);
    ASSERT_EQ(sup.size(), 1u);
    double p = std::min(1.0, (xb - xa - 0.8) / 7);
    EXPECT_NEAR(d.cell.Col(sup[0].at.x), (xa + xb) / 2 + 1.5 * p, 0.01);
    // The blank is the sixth of seven bytes of the unit text.
    EXPECT_NEAR(d.cell.Col(unit[0].at.x) + 5 * p, d.cell.Col(sup[0].at.x), 0.05);
    EXPECT_NEAR(sup[0].font.width, d.cell.width / 2, 0.5);
}

}  // namespace
