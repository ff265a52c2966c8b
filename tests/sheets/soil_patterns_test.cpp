#include "sheets/soil_patterns.h"

#include <gtest/gtest.h>

#include "sheets/sheet_context.h"
#include "sheets/sheet_test_support.h"

namespace {

// The records a soil symbol draws into a cell given in millimetres.
std::vector<DrawOp> Symbol(int code, double w, double h, int mono = 0) {
    clsStrMeta canvas;
    StartScreenCanvas(canvas);
    DrawSoilSymbol(canvas, code, 10, 10 + w, 20, 20 + h, mono);
    canvas.PicEnd();
    return DrawOps(canvas);
}

std::size_t Count(const std::vector<DrawOp>& ops, bool (DrawOp::*kind)() const) {
    return OpsWhere(ops, kind).size();
}

TEST(SoilPatterns, CodesOutsideTheirRangesDrawNothing) {
    for (int code : {0, 1000, 1100, -405, 9, 99})
        EXPECT_TRUE(Symbol(code, 16, 10).empty()) << code;
    // 5: no primary pattern, only the overlay's diagonal.
    auto five = Symbol(5, 16, 10);
    EXPECT_EQ(Count(five, &DrawOp::IsLine), 1u);
    EXPECT_EQ(Count(five, &DrawOp::IsPolygon), 0u);
    // 950: pattern 9 without overlay; 109: pattern 1 without overlay.
    EXPECT_EQ(Count(Symbol(109, 16, 10), &DrawOp::IsLine), 2u);
}

TEST(SoilPatterns, MarkAndLineCountsFollowTheCellSize) {
    struct Case {
        const char* name;
        int code;
        double w, h;
        std::size_t lines;
        std::size_t marks;
    };
    const Case cases[] = {
        {"cross", 100, 16, 10, 2, 0},
        {"band of 0.3", 200, 16, 10, 3, 0},
        // nx 16, ny 10: strokes at f = 2, 6, 10, 14 and g = 4, 8, 12, 16, rows 2..10.
        {"zig-zags", 300, 16, 10, 8 * 5, 0},
        {"dotted lines every 1.5", 400, 16, 10, 6, 0},
        {"solid lines every 1.5", 500, 16, 10, 6, 0},
        {"dots every 2", 600, 16, 10, 0, 8 * 5},
        // 4.9 high: 49 / 15 = 3, rest 4 < 5, so 2 rows; 16 wide: 10 columns.
        {"checker dots margin", 700, 16, 4.9, 0, 5 * 1 + 5 * 1},
        {"rings every 2", 800, 16, 10, 0, 8 * 5},
        // Height 6 (even): 2 rows; height 7: 3 rows; width 16 (even): 7 columns.
        {"checker rings even", 900, 16, 6, 0, 4 * 1 + 3 * 1},
        {"checker rings odd", 900, 16, 7, 0, 4 * 2 + 3 * 1},
        {"dotted band", 1, 16, 10, 3, 0},
        {"band", 2, 16, 10, 3, 0},
        {"rising diagonal dotted", 4, 16, 10, 1, 0},
        {"rising diagonal", 5, 16, 10, 1, 0},
        // Overlay 6: sqrt(15² + 9²) = 17.49, 17 / 2 = 8 steps, 9 marks.
        {"row of dots", 6, 16, 10, 0, 9},
        // Overlay 7: sqrt(14² + 8²) = 16.12, 16 / 2 = 8 steps.
        {"row of rings", 7, 16, 10, 0, 9},
        // Overlay 8: sqrt(12² + 6²) = 13.4, 13 / 5 = 2 steps.
        {"row of flat rings", 8, 16, 10, 0, 3},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        auto ops = Symbol(k.code, k.w, k.h, 1);
        EXPECT_EQ(Count(ops, &DrawOp::IsLine), k.lines);
        EXPECT_EQ(Count(ops, &DrawOp::IsEllipse), k.marks);
        EXPECT_EQ(Count(ops, &DrawOp::IsPolygon), 0u);  // no fill in black and white
    }
}

TEST(SoilPatterns, ThinLayerGetsItsFillButNoMarks) {
    for (int code : {300, 600, 700, 800, 900}) {
        auto ops = Symbol(code, 16, 0.9);
        EXPECT_EQ(Count(ops, &DrawOp::IsPolygon), 1u) << code;
        EXPECT_EQ(Count(ops, &DrawOp::IsEllipse), 0u) << code;
        EXPECT_EQ(Count(ops, &DrawOp::IsLine), 0u) << code;
    }
    for (int code : {400, 500})
        EXPECT_EQ(Count(Symbol(code, 16, 1.4), &DrawOp::IsLine), 0u) << code;
}

TEST(SoilPatterns, OverlayWhoseStepCountIsZeroDrawsOneMark) {
    // Overlay 8 in a 5 × 5 cell: sqrt(1 + 1) / 5 gives 0 steps.
    auto eight = Symbol(8, 5, 5);
    auto rings = OpsWhere(eight, &DrawOp::IsEllipse);
    ASSERT_EQ(rings.size(), 1u);
    // Overlay 6 in a 1.5 × 1.5 cell and overlay 7 in a 2.5 × 2.5 cell.
    EXPECT_EQ(Count(Symbol(6, 1.5, 1.5), &DrawOp::IsEllipse), 1u);
    EXPECT_EQ(Count(Symbol(7, 2.5, 2.5), &DrawOp::IsEllipse), 1u);
    // Overlay 3 on a 3 × 3 cell: the band lines, 0.83 long after trimming,
    // get one mark each; the diagonal (2.83) two.
    EXPECT_EQ(Count(Symbol(3, 3, 3), &DrawOp::IsEllipse), 1u + 1 + 2);
}

TEST(SoilPatterns, OverlayThreeStopsAtTheFirstShortBandLine) {
    // Wide and low: L1 reaches less than 1 mm in height, so no marks at all.
    EXPECT_EQ(Count(Symbol(3, 20, 1.5), &DrawOp::IsEllipse), 0u);
}

TEST(SoilPatterns, ColoursAndRingBrushes) {
    struct Case {
        int code;
        std::uint32_t fill;
    };
    for (Case k : {Case{100, 0xFFFF00}, Case{200, 0xFFFF00}, Case{300, 0x00FF00},
                   Case{400, 0x00FF00}, Case{500, 0x00FF00}, Case{600, 0x00FFFF},
                   Case{700, 0x00FFFF}, Case{800, 0x00FFFF}, Case{900, 0x00FFFF}}) {
        auto fills = OpsWhere(Symbol(k.code, 16, 10), &DrawOp::IsPolygon);
        ASSERT_EQ(fills.size(), 1u) << k.code;
        EXPECT_EQ(fills[0].brush, k.fill) << k.code;
    }
    for (int code : {800, 900, 7, 8}) {
        for (int mono : {0, 1}) {
            auto rings = OpsWhere(Symbol(code, 16, 10, mono), &DrawOp::IsEllipse);
            ASSERT_FALSE(rings.empty()) << code;
            for (const DrawOp& r : rings) {
                EXPECT_EQ(r.brush, mono ? 0xFFFFFFu : 0x00FFFFu) << code;
                EXPECT_EQ(r.pen.width, 10) << code;
            }
        }
    }
    auto dots = OpsWhere(Symbol(700, 16, 10), &DrawOp::IsEllipse);
    EXPECT_EQ(dots[0].brush, 0u);
}

TEST(SoilPatterns, LeaveTheThinSolidBlackPen) {
    for (int code : {300, 400, 600, 700, 800, 900, 1, 7, 8}) {
        clsStrMeta canvas;
        StartScreenCanvas(canvas);
        DrawSoilSymbol(canvas, code, 10, 26, 20, 30, 0);
        const double xs[] = {0, 1};
        const double ys[] = {0, 1};
        canvas.PicLine(2, xs, ys);
        canvas.PicEnd();
        auto lines = OpsWhere(DrawOps(canvas), &DrawOp::IsLine);
        EXPECT_EQ(lines.back().pen, (PenState{0, 1, 0})) << code;
    }
}

}  // namespace
