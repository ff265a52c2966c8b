#include "sheets/soil_const_table.h"

#include <gtest/gtest.h>

#include "sheets/log_sheet_frame.h"
#include "sheets/log_sheet_panels.h"
#include "sheets/sheet_test_support.h"

namespace {

PrintItemFlags Items(std::initializer_list<int> chosen) {
    PrintItemFlags items{};
    for (int item : chosen)
        items[static_cast<std::size_t>(item - 1)] = 1;
    return items;
}

struct Table {
    clsStrMeta canvas;
    SheetLayout layout;
    CellSize cell;
    std::vector<DrawOp> ops;  // the table's records only
};

Table DrawTable(const Document& doc, const PrintItemFlags& items) {
    static FakePrinter a4 = A4Printer();
    static Settings settings;
    Table t;
    SheetInputs in(doc, settings, &a4);
    EXPECT_EQ(StartPrintedPage(t.canvas, in), PageStatus::kComposed);
    DrawLogSheetFrame(t.canvas, t.layout, doc, items, 1);
    DrawDepthScale(t.canvas, t.layout, doc);
    t.canvas.PicEnd();
    std::size_t before = DrawOps(t.canvas).size();
    // Record again with the table drawn after the same steps.
    EXPECT_EQ(StartPrintedPage(t.canvas, in), PageStatus::kComposed);
    DrawLogSheetFrame(t.canvas, t.layout, doc, items, 1);
    DrawDepthScale(t.canvas, t.layout, doc);
    DrawSoilConstTable(t.canvas, t.layout, doc, items);
    t.canvas.PicEnd();
    auto all = DrawOps(t.canvas);
    t.ops.assign(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
    t.cell = PageCell(t.canvas, a4, settings.printMargins);
    return t;
}

// Column of the cell a value is written in.
std::size_t ColumnOf(const Table& t, const DrawOp& text) {
    double x = t.cell.Col(text.at.x);
    for (std::size_t k = 0; k + 1 < t.layout.colX.size(); ++k)
        if (x >= t.layout.colX[k] && x < t.layout.colX[k + 1])
            return k;
    return 99;
}

LayerRecord Layer(double thickness) {
    LayerRecord l;
    l.Thickness = thickness;
    return l;
}

Document TwoLayers() {
    Document doc;
    doc.layerColumnUsed.fill(1);
    doc.layers = {Layer(3), Layer(4)};
    doc.layers[0].FC = 12.5;
    doc.layers[0].gamma = -18.0;
    doc.layers[0].CC = -12.0;
    doc.layers[0].Vs = 150;
    doc.layers[1].FC = 30;
    doc.layers[1].gamma = 0;  // blank cell
    doc.layers[1].Vs = 210;
    return doc;
}

TEST(SoilConstTable, NoItemDrawsNothing) {
    EXPECT_TRUE(DrawTable(TwoLayers(), Items({})).ops.empty());
}

TEST(SoilConstTable, ValuesStandUnderTheirHeads) {
    Table t = DrawTable(TwoLayers(), Items({1, 2, 3, 7}));
    struct Value {
        const char* text;
        std::size_t column;
    };
    // Columns: 9 FC, 10 unit weight, 11 CC, 12 Vs.
    for (Value v : {Value{" 12.5", 9}, Value{" 18.0", 10}, Value{"-12.0", 11}, Value{" 150.0", 12},
                    Value{" 30.0", 9}, Value{" 210.0", 12}}) {
        auto found = TextOps(t.ops, v.text);
        ASSERT_EQ(found.size(), 1u) << v.text;
        EXPECT_EQ(ColumnOf(t, found[0]), v.column) << v.text;
    }
    // The second layer has no unit weight and no CC: blank cells, nothing moves.
    EXPECT_EQ(OpsWhere(t.ops, &DrawOp::IsText).size(), 6u);  // 4 + 2
    // One rule per layer across the table; the last lies on the foot.
    auto rules = OpsWhere(t.ops, &DrawOp::IsLine);
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_NEAR(t.cell.Col(rules[0].points[0].x), t.layout.colX[9], 0.01);
    EXPECT_NEAR(t.cell.Col(rules[0].points[1].x), t.layout.colX[13], 0.01);
    EXPECT_NEAR(t.cell.Row(rules[1].points[0].y), t.layout.rowY[3], 0.01);
}

TEST(SoilConstTable, ItemWhoseColumnIsOffIsDroppedWithItsHead) {
    Document doc = TwoLayers();
    doc.layerColumnUsed[3] = 0;  // CC off
    Table t = DrawTable(doc, Items({1, 3, 7}));
    EXPECT_EQ(t.layout.colX.size(), 12u);  // unit weight and Vs
    auto vs = TextOps(t.ops, " 150.0");
    ASSERT_EQ(vs.size(), 1u);
    EXPECT_EQ(ColumnOf(t, vs[0]), 10u);
    EXPECT_TRUE(TextOps(t.ops, "-12.0").empty());
}

TEST(SoilConstTable, FinesContentFromTheNRows) {
    Document doc = TwoLayers();
    doc.fcInputMode = 1;
    doc.layerColumnUsed[2] = 0;
    NPoint a;
    a.Depth = 1.3;
    a.FC = 8.5;
    NPoint blank;  // depth -1
    blank.FC = 9;
    NPoint none;
    none.Depth = 2.3;
    doc.nPoints = {a, blank, none};

    Table both = DrawTable(doc, Items({2, 7}));
    auto fc = TextOps(both.ops, "  8.5");
    ASSERT_EQ(fc.size(), 1u);
    EXPECT_EQ(ColumnOf(both, fc[0]), 9u);
    EXPECT_NEAR(fc[0].at.y, both.cell.TextRowY(both.layout.DepthRow(1.3) + 0.5), 1);
    EXPECT_TRUE(TextOps(both.ops, " 12.5").empty());  // layer FC not shown
    auto vs = TextOps(both.ops, " 150.0");
    ASSERT_EQ(vs.size(), 1u);
    EXPECT_EQ(ColumnOf(both, vs[0]), 10u);
    auto rules = OpsWhere(both.ops, &DrawOp::IsLine);
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_NEAR(both.cell.Col(rules[0].points[0].x), both.layout.colX[10], 0.01);

    // Only FC chosen: no layer rules, only the N rows' values. The layer FC
    // column switched on as well changes nothing: the rows are the source.
    doc.layerColumnUsed[2] = 1;
    Table only = DrawTable(doc, Items({2}));
    EXPECT_TRUE(OpsWhere(only.ops, &DrawOp::IsLine).empty());
    EXPECT_EQ(OpsWhere(only.ops, &DrawOp::IsText).size(), 1u);
}

}  // namespace
