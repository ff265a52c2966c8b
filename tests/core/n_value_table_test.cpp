// The N-value row rules over the table that holds the grid's rows.
#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/document.h"
#include "core/input_table.h"
#include "core/n_value_rows.h"

namespace {

constexpr int kDepthCol = 1;
constexpr int kNCol = 2;

// The N-value grid's table as the main window lays it out, with the
// penetration column (nConvert30 1) and without the FC one (fcInputMode 0):
// FC keeps its slot, unseen. Rows 1..20 hold the boring 1.15, 2.15, …
InputTable BoringTable(int rows = 30) {
    InputTable table;
    table.Reset(3, rows, 0, kNTableDoubleSlots, 0);
    StartNRowsBlank(table);
    table.DefineColumn(kDepthCol, -1, 2, 0, 999.99, 6);
    table.DefineColumn(kNCol, -2, 0, 0, 9999, 4);
    table.DefineColumn(3, -3, 1, 0, 999.9, 5);
    for (int row = 1; row <= 20; ++row) {
        table.iFG(row, 1);
        table.DataD(1, row, row + 0.15);
        table.DataD(2, row, 10 + row);
        table.DataD(3, row, 30);
        table.DataD(4, row, row);
    }
    return table;
}

std::vector<NPoint> Points(const InputTable& table) {
    std::vector<NGridRow> rows;
    for (int row = 1; row <= table.GetMaxFgRow(); ++row)
        rows.push_back(NGridRowOf(table, row));
    std::vector<NPoint> points;
    TakeNRows(points, rows);
    return points;
}

TEST(NValueTable, ARowClearedByACommandIsAFreshRow) {
    // Each command, then a value typed into the row it emptied: it is refused
    // for want of a depth, as on a row never used, and nothing old returns.
    struct Case {
        const char* command;
        void (*run)(InputTable&);
        int row;
    };
    const Case cases[] = {
        {"行クリア", [](InputTable& t) { t.ClearRows(5, 5); }, 5},
        {"行切り取り", [](InputTable& t) { (void)t.CutRows(5, 5); }, 5},
        {"以降すべて削除", [](InputTable& t) { t.ClearFrom(15); }, 15},
        {"行切り取り 3-4, 行貼り付け at 10, 行削除 of 1",
         [](InputTable& t) {
             t.PasteRows(10, t.CutRows(3, 4));
             t.DeleteRows(1, 1);
         },
         2},
        {"a row never used", [](InputTable&) {}, 25},
    };
    for (const Case& c : cases) {
        InputTable table = BoringTable();
        c.run(table);
        ASSERT_EQ(table.TakeText(c.row, kNCol, "7").outcome, CellTake::Stored) << c.command;
        const NGridRow typed = NGridRowOf(table, c.row);
        EXPECT_EQ(typed.values, (NPoint{0, 7, kStandardPenetration, 0})) << c.command;
        EXPECT_EQ(SettleNRow(typed, true, 1, 0), NRowWithoutDepth::Refuse) << c.command;
        EXPECT_EQ(KeptNPoint(typed), kBlankNPoint) << c.command;
    }
}

TEST(NValueTable, TheOfferedDepthOfAnEmptiedRowBringsNoOldN) {
    InputTable table = BoringTable();
    table.ClearFrom(15);
    std::vector<NPoint> points = Points(table);
    ASSERT_EQ(points.size(), 14u);
    // Tab from the empty depth: the window offers the next depth.
    const std::optional<double> offered = NewNRowDepth(points, 15);
    ASSERT_TRUE(offered);
    EXPECT_DOUBLE_EQ(*offered, 15.15);
    ASSERT_EQ(table.TakeText(15, kDepthCol, "15.15").outcome, CellTake::Stored);
    TakeNRow(points, 15, NGridRowOf(table, 15));
    EXPECT_EQ(points.back(), (NPoint{15.15, 0, kStandardPenetration, 0}));
    EXPECT_FALSE(NRowHoldsValues(points.back(), 1, 1));
}

TEST(NValueTable, ARowAddedAtTheEndStartsWithTheStandardPenetration) {
    InputTable table = BoringTable(20);
    table.Resize(table.Cols(), 21);  // Down at the last row
    EXPECT_FALSE(NRowTakesStandardPenetration(21, 22, false, table.DataD(3, 21)));
    ASSERT_EQ(table.TakeText(21, kDepthCol, "601").outcome, CellTake::Stored);
    ASSERT_EQ(table.TakeText(21, kNCol, "5").outcome, CellTake::Stored);
    EXPECT_EQ(table.ShownText(21, 3), "30.0");
    EXPECT_EQ(Points(table).back(), (NPoint{601, 5, kStandardPenetration, 0}));
    ASSERT_TRUE(table.InsertRows(3, 1));
    EXPECT_FALSE(NGridRowOf(table, 3).filled);
    EXPECT_EQ(NGridRowOf(table, 3).values, (NPoint{0, 0, kStandardPenetration, 0}));
    EXPECT_EQ(Points(table)[2], kBlankNPoint);
}

TEST(NValueTable, AMovedRowKeepsItsHiddenFC) {
    InputTable table = BoringTable();
    const NPoint row3 = NGridRowOf(table, 3).values;
    ASSERT_EQ(row3.FC, 3);
    table.PasteRows(25, table.CutRows(3, 3));
    std::vector<NPoint> points = Points(table);
    ASSERT_EQ(points.size(), 25u);
    EXPECT_EQ(points[2], kBlankNPoint);
    EXPECT_EQ(points[24], row3);

    // Typing over the moved row's shown cells leaves its FC where it was.
    ASSERT_EQ(table.TakeRow(25, {"", "3.50", "9", "30.0"}).result, 0);
    EXPECT_EQ(NGridRowOf(table, 25).values, (NPoint{3.5, 9, 30, 3}));
}

TEST(NValueTable, TheTableNeedsTheNGridsSlots) {
    InputTable soil;
    soil.Reset(3, 5, 1, 3, 1);
    EXPECT_THROW(StartNRowsBlank(soil), std::out_of_range);
    EXPECT_THROW(NGridRowOf(soil, 1), std::out_of_range);
}

}  // namespace
