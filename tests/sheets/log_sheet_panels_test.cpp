#include "sheets/log_sheet_panels.h"

#include <gtest/gtest.h>

#include "core/format.h"
#include "sheets/log_sheet_frame.h"
#include "sheets/sheet_test_support.h"

namespace {

// A screen canvas with the frame laid out and the depth scale drawn, ready
// for one panel.
struct Panel {
    clsStrMeta canvas;
    SheetLayout layout;
    CellSize cell;
    std::vector<DrawOp> ops;
    int changed = 0;
};

template <typename F>
Panel DrawPanel(const Document& doc, F draw) {
    Panel p;
    StartScreenCanvas(p.canvas);
    LayOutLogSheet(p.canvas.lMaxRow, PrintItemFlags{}, false, p.layout);
    p.changed = DrawDepthScale(p.canvas, p.layout, doc);
    draw(p.canvas, p.layout);
    p.canvas.PicEnd();
    p.cell = ScreenCell(p.canvas);
    p.ops = DrawOps(p.canvas);
    return p;
}

Panel DepthScaleOf(const Document& doc) {
    return DrawPanel(doc, [](clsStrMeta&, SheetLayout&) {});
}

NPoint Row(double depth, double n, double penetration = 30) {
    NPoint p;
    p.Depth = depth;
    p.N = n;
    p.Penetration = penetration;
    return p;
}

LayerRecord Layer(double thickness, int code = 0, const char* name = "") {
    LayerRecord l;
    l.Thickness = thickness;
    l.SoilCode = code;
    l.SoilName = name;
    return l;
}

TEST(DepthScale, RangeAndStepFollowTheDeepestDataAndTheRowsAvailable) {
    struct Case {
        const char* name;
        double deepestN;  // < 0: no N rows
        std::vector<double> thicknesses;
        int range;
        int step;
    };
    // On screen the depth axis has 54.8 rows.
    const Case cases[] = {
        {"nothing entered", -1, {}, 10, 1},
        {"deepest N 20.0, layers 18.3", 20.0, {10, 8.3}, 21, 1},
        {"layers deeper than the N rows", 5, {12, 14.6}, 27, 1},
        {"between 1 and 2 rows a metre", 30.0, {}, 32, 2},
        {"below 1 row a metre", 60.0, {}, 65, 5},
        {"300 m", 299.3, {}, 300, 5},
        {"an absurd depth from a crafted file is capped", 1e10, {}, 1000, 5},
        {"absurd layers likewise", 5, {1e12}, 1000, 5},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Document doc;
        if (k.deepestN >= 0) {
            doc.nPoints = {Row(1, 5), Row(-1, 0), Row(k.deepestN, 10)};
        }
        for (double t : k.thicknesses)
            doc.layers.push_back(Layer(t));
        doc.layers.push_back(Layer(-3));  // never counts
        Panel p = DepthScaleOf(doc);
        EXPECT_EQ(p.layout.depthRange, k.range);
        EXPECT_NEAR(p.layout.rowsPerMetre, 54.8 / k.range, 1e-9);
        auto ticks = OpsWhere(p.ops, &DrawOp::IsLine);
        ASSERT_EQ(ticks.size(), static_cast<std::size_t>(k.range / k.step - 1));
        auto labels = OpsWhere(p.ops, &DrawOp::IsText);
        EXPECT_EQ(labels.front().text, FormatFixed(k.step, "##0"));
        EXPECT_NEAR(p.cell.Row(ticks.front().points[0].y), 5.1 + k.step * p.layout.rowsPerMetre,
                    0.01);
        EXPECT_NEAR(p.cell.Col(ticks.front().points[0].x), p.layout.colX[1] - 1.2, 0.01);
    }
}

TEST(DepthScale, ReportsAChangeOfTheRangeOnly) {
    Document doc;
    SheetLayout layout;
    clsStrMeta canvas;
    StartScreenCanvas(canvas);
    LayOutLogSheet(canvas.lMaxRow, PrintItemFlags{}, false, layout);
    EXPECT_EQ(DrawDepthScale(canvas, layout, doc), -1);  // first call
    EXPECT_EQ(DrawDepthScale(canvas, layout, doc), 0);
    doc.nPoints = {Row(9.4, 3)};
    EXPECT_EQ(DrawDepthScale(canvas, layout, doc), 0);  // still 10 m
    doc.nPoints = {Row(12.2, 3)};
    EXPECT_EQ(DrawDepthScale(canvas, layout, doc), -1);
    EXPECT_EQ(layout.depthRange, 13);
    canvas.PicEnd();
}

TEST(DepthScale, WaterMarkAtTheWaterLevel) {
    Document doc;
    Panel none = DepthScaleOf(doc);
    EXPECT_EQ(OpsWhere(none.ops, &DrawOp::IsLine).size(), 9u);  // the ticks only

    doc.basicData.DatumToWaterLevel = 3.0;
    Panel p = DepthScaleOf(doc);
    auto lines = OpsWhere(p.ops, &DrawOp::IsLine);
    ASSERT_EQ(lines.size(), 9u + 3 + 1);
    double yw = p.layout.DepthRow(3.0);
    for (int i = 0; i < 3; ++i) {
        const DrawOp& l = lines[9 + static_cast<std::size_t>(i)];
        EXPECT_NEAR(p.cell.Row(l.points[0].y), yw + 0.2 * i, 0.01);
        EXPECT_NEAR(p.cell.Col(l.points[0].x), p.layout.colX[5] + 0.8 * i, 0.01);
        EXPECT_NEAR(p.cell.Col(l.points[1].x), p.layout.colX[6] - 0.8 * i, 0.01);
    }
    const DrawOp& triangle = lines.back();
    ASSERT_EQ(triangle.points.size(), 4u);  // closed outline
    EXPECT_NEAR(p.cell.Row(triangle.points[0].y), yw, 0.01);
    EXPECT_LT(triangle.points[1].y, triangle.points[0].y);  // tip down on the level
}

TEST(NValueGraph, PlotsClampedValuesLabelsEnteredOnesAndBreaksAtBlankRows) {
    Document doc;
    doc.nGraphMax = 50;
    doc.nConvert30 = 1;
    doc.nPoints = {Row(1.3, 5),      Row(2.3, 60), Row(-1, 0), Row(4.3, 12),
                   Row(5.3, 50, 10), Row(6.3, 50), Row(0, 20), Row(8.3, 7)};
    Panel p = DrawPanel(doc, [&](clsStrMeta& c, SheetLayout& l) { DrawNValueGraph(c, l, doc, 0); });
    double x7 = p.layout.colX[7];
    double s = (p.layout.colX[8] - x7) / 55;

    auto dots = OpsWhere(p.ops, &DrawOp::IsEllipse);
    ASSERT_EQ(dots.size(), 6u);  // blank row and depth 0 are not plotted
    EXPECT_NEAR(p.cell.Col(dots[1].CentreX()), x7 + 50 * s, 0.02);  // 60 clamped to 50
    EXPECT_NEAR(p.cell.Col(dots[3].CentreX()), x7 + 50 * s, 0.02);  // 150 at 30 cm clamped
    EXPECT_NEAR(p.cell.Row(dots[0].CentreY()), p.layout.DepthRow(1.3), 0.01);
    EXPECT_EQ(dots[0].brush, static_cast<std::uint32_t>(kBlack));

    // Lines 1.3-2.3, 4.3-5.3, 5.3-6.3: the blank row and the row at 0 break it.
    std::vector<DrawOp> blue;
    for (const DrawOp& op : OpsWhere(p.ops, &DrawOp::IsLine))
        if (op.pen.color == static_cast<std::uint32_t>(kBlue))
            blue.push_back(op);
    ASSERT_EQ(blue.size(), 3u);
    EXPECT_NEAR(p.cell.Row(blue[1].points[0].y), p.layout.DepthRow(4.3), 0.01);

    auto sixty = TextOps(p.ops, " 60");
    ASSERT_EQ(sixty.size(), 1u);
    EXPECT_NEAR(p.cell.Col(sixty[0].at.x), x7 - 4.5, 0.01);
    auto short10 = TextOps(p.ops, " 50 / 10");
    ASSERT_EQ(short10.size(), 1u);
    EXPECT_GE(p.cell.Col(short10[0].at.x), p.layout.colX[6] + 0.3 - 0.01);
    EXPECT_EQ(TextOps(p.ops, " 50").size(), 1u);  // the row at 30 cm
}

// A depth with a blank N (stored 0) is no reading: it is neither plotted nor
// labelled, and the line breaks there; a typed zero (stored 1.0E-5) is a
// reading of 0 and is drawn like any other.
TEST(NValueGraph, ABlankNIsNotDrawnATypedZeroIs) {
    struct Case {
        const char* name;
        double n;  // of the row at 2.3 m
        std::size_t dots, lines, zeroLabels;
    };
    for (const Case& c : {Case{"blank N", 0, 2, 0, 0}, Case{"typed zero", 1.0E-5, 3, 2, 1},
                          Case{"reading", 4, 3, 2, 0}}) {
        SCOPED_TRACE(c.name);
        for (int convert : {0, 1}) {
            Document doc;
            doc.nGraphMax = 50;
            doc.nConvert30 = convert;
            doc.nPoints = {Row(1.3, 17), Row(2.3, c.n), Row(3.3, 23)};
            Panel p = DrawPanel(doc, [&](clsStrMeta& canvas, SheetLayout& l) {
                DrawNValueGraph(canvas, l, doc, 0);
            });
            EXPECT_EQ(OpsWhere(p.ops, &DrawOp::IsEllipse).size(), c.dots);
            std::size_t blue = 0;
            for (const DrawOp& op : OpsWhere(p.ops, &DrawOp::IsLine))
                blue += op.pen.color == static_cast<std::uint32_t>(kBlue);
            EXPECT_EQ(blue, c.lines);
            EXPECT_EQ(TextOps(p.ops, "  0").size(), c.zeroLabels);
            EXPECT_EQ(TextOps(p.ops, " 17").size(), 1u);
            EXPECT_EQ(TextOps(p.ops, " 23").size(), 1u);
        }
    }
}

TEST(NValueGraph, MonoDrawsTheLineInBlack) {
    Document doc;
    doc.nPoints = {Row(1, 5), Row(2, 6)};
    Panel p = DrawPanel(doc, [&](clsStrMeta& c, SheetLayout& l) { DrawNValueGraph(c, l, doc, 1); });
    for (const DrawOp& op : OpsWhere(p.ops, &DrawOp::IsLine))
        EXPECT_EQ(op.pen.color, static_cast<std::uint32_t>(kBlack));
}

TEST(SoilColumn, LayersBoundariesAndTheLastDrawnLayerReachingTheFoot) {
    Document doc;
    doc.layers = {Layer(2.5, 0, "埋土"), Layer(0, 101, "skip"), Layer(3.25, 405, "砂"),
                  Layer(1.0, 950, "礫"), Layer(0, 0, "")};
    Panel p = DrawPanel(doc, [&](clsStrMeta& c, SheetLayout& l) { DrawSoilColumn(c, l, doc, 0); });
    // Boundaries at 2.5 and 5.75; the last drawn layer (礫) has none.
    EXPECT_EQ(TextOps(p.ops, "  2.50").size(), 2u);  // depth and thickness of layer 1
    EXPECT_EQ(TextOps(p.ops, "  5.75").size(), 1u);
    EXPECT_EQ(TextOps(p.ops, "  3.25").size(), 1u);
    EXPECT_TRUE(TextOps(p.ops, "  1.00").empty());
    EXPECT_TRUE(TextOps(p.ops, "skip").empty());
    auto name = TextOps(p.ops, "礫");
    ASSERT_EQ(name.size(), 1u);
    // 礫 spans 5.75 to the range (10 m): its name in the middle.
    EXPECT_NEAR(name[0].at.y, p.cell.TextRowY(p.layout.DepthRow((5.75 + 10) / 2) + 0.5), 1);

    // Code 0: no fill; 405: green fill, dotted lines, overlay 5 diagonal;
    // 950: yellow fill, no overlay.
    auto fills = OpsWhere(p.ops, &DrawOp::IsPolygon);
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].brush, 0x00FF00u);
    EXPECT_EQ(fills[1].brush, 0x00FFFFu);
    EXPECT_NEAR(p.cell.Row(fills[1].points[2].y), p.layout.rowY[3], 0.01);
}

TEST(SoilColumn, BlackAndWhiteDotsOfCodeSixAreRingsWhateverCameBefore) {
    Document doc;
    // Overlay 3 of the first layer leaves a black brush behind.
    doc.layers = {Layer(4, 103, "砂"), Layer(4, 600, "礫")};
    Panel p = DrawPanel(doc, [&](clsStrMeta& c, SheetLayout& l) { DrawSoilColumn(c, l, doc, 1); });
    std::size_t rings = 0;
    for (const DrawOp& op : OpsWhere(p.ops, &DrawOp::IsEllipse)) {
        if (op.pen.width != 10)
            continue;  // the overlay's dots
        EXPECT_EQ(op.brush, static_cast<std::uint32_t>(kWhite));
        ++rings;
    }
    EXPECT_GT(rings, 0u);
    EXPECT_TRUE(OpsWhere(p.ops, &DrawOp::IsPolygon).empty());  // no fill without colour
}

TEST(FlGraph, MarksOnTheAxisValuesAlways) {
    Document doc;
    doc.nGraphMax = 20;  // axis to FL 1.0
    for (double fl : {0.5, 1.0, 1.2}) {
        doc.calcPoints.push_back(CalcPoint{10, 2 + fl});
        doc.calcResults.push_back(CalcResult{});
        doc.calcResults.back().fl = fl;
    }
    doc.calcPoints.push_back(CalcPoint{0, 5});  // not calculated
    doc.calcResults.push_back(CalcResult{});
    for (int mono : {0, 1}) {
        SCOPED_TRACE(mono);
        Panel p =
            DrawPanel(doc, [&](clsStrMeta& c, SheetLayout& l) { DrawFlGraph(c, l, doc, mono); });
        auto marks = OpsWhere(p.ops, &DrawOp::IsEllipse);
        ASSERT_EQ(marks.size(), 2u);  // 1.2 lies beyond the axis
        double x7 = p.layout.colX[7];
        double sF = (p.layout.colX[8] - x7) / 1.25;
        EXPECT_NEAR(p.cell.Col(marks[1].CentreX()), x7 + sF, 0.02);
        EXPECT_EQ(marks[0].brush, static_cast<std::uint32_t>(mono ? kWhite : kRed));
        EXPECT_EQ(marks[0].pen.color, static_cast<std::uint32_t>(mono ? kBlack : kRed));
        EXPECT_EQ(TextOps(p.ops, " 1.20").size(), 1u);
        EXPECT_EQ(TextOps(p.ops, " 0.50").size(), 1u);
        EXPECT_EQ(OpsWhere(p.ops, &DrawOp::IsText).size(), 3u + 9);  // values and depth labels
    }
}

}  // namespace
