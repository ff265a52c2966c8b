#include "core/input_table.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "core/codepage.h"
#include "core/document.h"
#include "core/n_value_rows.h"
#include "core/text_entry.h"

namespace {

// Columns as the main window's grids define them.
constexpr int kDepthCol = 1;  // Double 1, 2 decimals, 0..999.99
constexpr int kNCol = 2;      // Double 2, 0 decimals, 0..9999
constexpr int kPenCol = 3;    // Double 3, 1 decimal
constexpr int kFCCol = 4;     // Double 4, 1 decimal, 0..100

// An N-value table: four Double slots, every column shown.
InputTable NTable(int rows = 10) {
    InputTable table;
    table.Reset(4, rows, 0, 4, 0);
    table.DefineColumn(kDepthCol, -1, 2, 0, 999.99, 6);
    table.DefineColumn(kNCol, -2, 0, 0, 9999, 4);
    table.DefineColumn(kPenCol, -3, 1, 0, 999.9, 5);
    table.DefineColumn(kFCCol, -4, 1, 0, 100, 5);
    return table;
}

// A soil table: a depth label, the thickness, the name, the code (Long slot 1,
// two decimals) and γ (Double 2); Double slot 8 (Vs) has no column, as when
// its column is switched off.
constexpr int kSoilDepthCol = 1;
constexpr int kThicknessCol = 2;
constexpr int kNameCol = 3;
constexpr int kCodeCol = 4;
constexpr int kGammaCol = 5;
constexpr int kVsSlot = 8;
constexpr int kNameBytes = 99;

InputTable SoilTable(int rows = 10) {
    InputTable table;
    table.Reset(5, rows, 1, 15, 1);
    table.DefineColumn(kSoilDepthCol, InputTable::kLabel, 2, 0, 999.99, 6);
    table.DefineColumn(kThicknessCol, -1, 2, 0, 999.99, 6);
    table.DefineColumn(kNameCol, 0, 0, 0, 0, kNameBytes);
    table.DefineColumn(kCodeCol, 1, 2, 0, 99.99, 6);
    table.DefineColumn(kGammaCol, -2, 1, 0, 999.9, 6);
    return table;
}

void FillSoilRow(InputTable& table, int row, double thickness, const std::string& name, int code,
                 double gamma, double vs) {
    table.iFG(row, 1);
    table.DataD(1, row, thickness);
    table.DataS(row, name);
    table.DataL(1, row, code);
    table.DataD(2, row, gamma);
    table.DataD(kVsSlot, row, vs);
}

void FillNRow(InputTable& table, int row, double depth, double n, double pen = 30, double fc = 0) {
    table.iFG(row, 1);
    table.DataD(1, row, depth);
    table.DataD(2, row, n);
    table.DataD(3, row, pen);
    table.DataD(4, row, fc);
}

std::vector<std::string> ShownRow(const InputTable& table, int row) {
    std::vector<std::string> texts;
    for (int col = 1; col <= table.Cols(); ++col)
        texts.push_back(table.ShownText(row, col));
    return texts;
}

// The texts a row's cells would hold, indexed by column (0 unused).
std::vector<std::string> Texts(std::vector<std::string> cells) {
    cells.insert(cells.begin(), std::string());
    return cells;
}

TEST(InputTable, TakesANumberCellByItsColumnsRules) {
    struct Case {
        const char* what;
        int col;
        std::string text;
        CellTake outcome;
        double stored;  // the Double slot afterwards
        std::string shown;
        std::string note;
    };
    const std::string depthRange = "0.00～999.99の数値を入力してください";
    const Case cases[] = {
        {"plain", kDepthCol, "1.5", CellTake::Stored, 1.5, "1.50", ""},
        {"full-width digits", kDepthCol, "１２．２５", CellTake::Stored, 12.25, "12.25", ""},
        {"full-width sign", kNCol, "－１", CellTake::Refused, 3, "3",
         "0～9999の数値を入力してください"},
        {"blanks around", kNCol, " 12 ", CellTake::Stored, 12, "12", ""},
        {"typed zero", kDepthCol, "0", CellTake::Stored, InputTable::kTypedZero, "0.00", ""},
        {"typed zero as 0.00", kNCol, "0.00", CellTake::Stored, InputTable::kTypedZero, "0", ""},
        {"the maximum", kDepthCol, "999.99", CellTake::Stored, 999.99, "999.99", ""},
        {"above the maximum", kDepthCol, "1000", CellTake::Refused, 3, "3.00", depthRange},
        {"below the minimum", kDepthCol, "-0.01", CellTake::Refused, 3, "3.00", depthRange},
        {"not a number", kDepthCol, "abc", CellTake::Refused, 3, "3.00", "数値を入力してください"},
        {"infinity", kDepthCol, "inf", CellTake::Refused, 3, "3.00", "数値を入力してください"},
        {"blank is 0, shown blank", kNCol, "", CellTake::Stored, 0, "", ""},
        {"full-width blank", kNCol, "　", CellTake::Stored, 0, "", ""},
        {"more decimals than shown", kDepthCol, "1.234", CellTake::Stored, 1.234, "1.23", ""},
    };
    for (const Case& c : cases) {
        InputTable table = NTable();
        FillNRow(table, 2, 3, 3);
        const CellTakeResult taken = table.TakeText(2, c.col, c.text);
        EXPECT_EQ(taken.outcome, c.outcome) << c.what;
        EXPECT_EQ(taken.note, c.note) << c.what;
        EXPECT_DOUBLE_EQ(table.DataD(-table.Slot(c.col), 2), c.stored) << c.what;
        EXPECT_EQ(table.ShownText(2, c.col), c.shown) << c.what;
        EXPECT_EQ(taken.changed, c.outcome == CellTake::Stored && c.stored != 3) << c.what;
    }
}

TEST(InputTable, ScalesLongSlotsAndRefusesWhatTheSlotCannotHold) {
    struct Case {
        std::string text;
        CellTake outcome;
        int32_t stored;
        std::string shown;
    };
    const Case cases[] = {
        {"4.05", CellTake::Stored, 405, "4.05"},
        {"４．０５", CellTake::Stored, 405, "4.05"},
        {"0.125", CellTake::Stored, 12, "0.12"},  // a half goes to the even neighbour
        {"0.135", CellTake::Stored, 14, "0.14"},
        {"0", CellTake::Stored, 0, ""},  // a typed zero is a blank in a Long slot
        {"99.99", CellTake::Stored, 9999, "99.99"},
        {"100", CellTake::Refused, 7, "0.07"},
    };
    for (const Case& c : cases) {
        InputTable table = SoilTable();
        FillSoilRow(table, 1, 2, "砂", 7, 18, 250);
        EXPECT_EQ(table.TakeText(1, kCodeCol, c.text).outcome, c.outcome) << c.text;
        EXPECT_EQ(table.DataL(1, 1), c.stored) << c.text;
        EXPECT_EQ(table.ShownText(1, kCodeCol), c.shown) << c.text;
    }

    // A value in range whose scaled integer does not fit 32 bits.
    InputTable wide;
    wide.Reset(1, 2, 1, 0, 0);
    wide.DefineColumn(1, 1, 4, 0, 1e12, 12);
    const CellTakeResult taken = wide.TakeText(1, 1, "1000000");
    EXPECT_EQ(taken.outcome, CellTake::Refused);
    EXPECT_EQ(taken.note, wide.RangeNote(1));
    EXPECT_EQ(wide.iFG(1), 0);
}

TEST(InputTable, TakesATextByTheFilesRules) {
    const std::string longName(150, 'a');
    struct Case {
        const char* what;
        std::string text;
        CellTake outcome;
        std::string stored;
        std::string note;
    };
    const Case cases[] = {
        {"a name", "細砂", CellTake::Stored, "細砂", ""},
        {"kept as typed", " 細砂 ", CellTake::Stored, " 細砂 ", ""},
        {"a TAB becomes a blank", "a\tb", CellTake::Stored, "a b", ""},
        {"a quote", "5\"砂", CellTake::Stored, "5＂砂", ""},
        {"too long: cut and told", longName, CellTake::Stored, std::string(99, 'a'),
         CutEntryNote(kNameBytes)},
        {"a character no file holds", "砂𠮷", CellTake::Refused, "粘土",
         RefusedCharactersNote({"𠮷"})},
    };
    for (const Case& c : cases) {
        InputTable table = SoilTable();
        FillSoilRow(table, 1, 2, "粘土", 0, 0, 0);
        const CellTakeResult taken = table.TakeText(1, kNameCol, c.text);
        EXPECT_EQ(taken.outcome, c.outcome) << c.what;
        EXPECT_EQ(table.DataS(1), c.stored) << c.what;
        EXPECT_EQ(taken.note, c.note) << c.what;
    }
}

TEST(InputTable, ACellThatShowsWhatTheRowHoldsKeepsIt) {
    // What the program put into a row, beyond what typing could give, stays.
    InputTable soil = SoilTable();
    const std::string longName = std::string(60, 'x') + std::string(30, 'y') + "砂質シルト混じり";
    ASSERT_GT(longName.size(), static_cast<size_t>(kNameBytes));
    FillSoilRow(soil, 1, 1.234, longName, 405, 1000.5, 250);
    for (int col = kThicknessCol; col <= kGammaCol; ++col) {
        const CellTakeResult taken = soil.TakeText(1, col, soil.ShownText(1, col));
        EXPECT_EQ(taken.outcome, CellTake::Kept) << col;
        EXPECT_TRUE(taken.note.empty()) << col;
    }
    EXPECT_EQ(soil.DataS(1), longName);
    EXPECT_DOUBLE_EQ(soil.DataD(1, 1), 1.234);
    EXPECT_DOUBLE_EQ(soil.DataD(2, 1), 1000.5);  // above γ's maximum

    // An edit of it is a new text: cut to the limit, and told.
    const CellTakeResult edited = soil.TakeText(1, kNameCol, longName + "z");
    EXPECT_EQ(edited.outcome, CellTake::Stored);
    EXPECT_EQ(edited.note, CutEntryNote(kNameBytes));
    EXPECT_EQ(Cp932Length(soil.DataS(1)), kNameBytes - 1);  // a full-width character does not fit

    // A row without data shows nothing, so its cells are read.
    InputTable n = NTable();
    n.DataD(1, 1, 5);
    EXPECT_EQ(n.TakeText(1, kDepthCol, "").outcome, CellTake::Stored);
    EXPECT_EQ(n.DataD(1, 1), 0);
    EXPECT_EQ(n.iFG(1), 0);  // an empty cell sets no flag
}

TEST(InputTable, ShowsEachColumnInItsFormat) {
    InputTable table;
    table.Reset(7, 3, 1, 5, 0);
    for (int d = 0; d <= 4; ++d)
        table.DefineColumn(d + 1, -(d + 1), d, 0, 1e6, 13);
    table.DefineColumn(6, 1, 3, 0, 1e6, 13);
    table.DefineColumn(7, InputTable::kLabel, 0, 0, 0, 0);
    table.iFG(1, 1);
    for (int s = 1; s <= 5; ++s)
        table.DataD(s, 1, 1234.56789);
    table.DataL(1, 1, 2500);
    EXPECT_EQ(ShownRow(table, 1), (std::vector<std::string>{"1235", "1234.6", "1234.57", "1234.568",
                                                            "1234.5679", "2.500", ""}));

    // A stored 0 shows blank unless the zero switch is on; a typed zero
    // always shows as 0.
    table.iFG(2, 1);
    table.DataD(1, 2, InputTable::kTypedZero);
    table.DataD(3, 2, InputTable::kTypedZero);
    EXPECT_EQ(ShownRow(table, 2), (std::vector<std::string>{"0", "", "0.00", "", "", "", ""}));
    table.SetZSW(2, 1);
    table.SetZSW(6, 1);
    EXPECT_EQ(ShownRow(table, 2),
              (std::vector<std::string>{"0", "0.0", "0.00", "", "", "0.000", ""}));

    // A row without data shows nothing, whatever it holds.
    table.iFG(2, 0);
    EXPECT_EQ(ShownRow(table, 2), std::vector<std::string>(7));
}

TEST(InputTable, ReadsARowUpToItsFirstRefusalOrOnPastIt) {
    // Not a paste: the first refused number ends the reading.
    InputTable table = NTable();
    FillNRow(table, 1, 3, 3, 30, 3);
    RowTakeResult taken = table.TakeRow(1, Texts({"4.00", "x", "20.0", "5.0"}));
    EXPECT_EQ(taken.result, kNCol);
    EXPECT_EQ(taken.refusalNote, "数値を入力してください");
    EXPECT_FALSE(taken.refusedAny);
    EXPECT_EQ(NGridRowOf(table, 1).values, (NPoint{4, 3, 30, 3}));

    // A paste reads on, each refused cell keeping its value.
    taken = table.TakeRow(1, Texts({"5.00", "x", "20.0", "500"}), 0, true);
    EXPECT_TRUE(taken.refusedAny);
    EXPECT_EQ(taken.refusalNote, "数値を入力してください");
    EXPECT_EQ(NGridRowOf(table, 1).values, (NPoint{5, 3, 20, 3}));

    // One column alone; nothing changed is -1.
    EXPECT_EQ(table.TakeRow(1, Texts({"", "8", "", ""}), kNCol).result, 0);
    EXPECT_EQ(table.DataD(1, 1), 5);
    EXPECT_EQ(table.TakeRow(1, Texts({"", "8", "", ""}), kNCol).result, -1);
    EXPECT_THROW(table.TakeRow(1, Texts({"1"})), std::out_of_range);
}

TEST(InputTable, APastedRowWhoseNameIsRefusedKeepsTheWholeOldRow) {
    InputTable table = SoilTable();
    FillSoilRow(table, 2, 4.5, "細砂", 405, 18.5, 250);
    const InputRecord before = table.Record(2);
    RowTakeResult pasted = table.TakeRow(2, Texts({"", "1.00", "礫𠮷", "4", "1.0"}), 0, true);
    EXPECT_TRUE(pasted.rowKept);
    EXPECT_EQ(pasted.result, kNameCol);
    EXPECT_EQ(pasted.entryNotes, std::vector<std::string>{RefusedCharactersNote({"𠮷"})});
    EXPECT_EQ(table.Record(2), before);

    // Typed (not a paste), a refused name leaves the cells right of it read,
    // as each cell is typed on its own.
    RowTakeResult typed = table.TakeRow(2, Texts({"", "1.00", "礫𠮷", "4", "1.0"}));
    EXPECT_FALSE(typed.rowKept);
    EXPECT_EQ(typed.result, kNameCol);
    EXPECT_EQ(table.DataS(2), "細砂");
    EXPECT_EQ(table.DataL(1, 2), 400);

    // A pasted row that is taken keeps its hidden constant.
    pasted = table.TakeRow(2, Texts({"", "2.00", "礫", "4.01", "19.0"}), 0, true);
    EXPECT_FALSE(pasted.rowKept);
    EXPECT_EQ(pasted.result, 0);
    EXPECT_EQ(table.DataS(2), "礫");
    EXPECT_EQ(table.DataD(kVsSlot, 2), 250);

    // A refused name in a row the paste leaves as it was keeps nothing back:
    // only the refusal is told, not that the row was not taken.
    const InputRecord same = table.Record(2);
    pasted = table.TakeRow(2, Texts({"", "2.00", "礫𠮷", "4.01", "19.0"}), 0, true);
    EXPECT_FALSE(pasted.rowKept);
    EXPECT_EQ(pasted.result, kNameCol);
    EXPECT_EQ(pasted.entryNotes, std::vector<std::string>{RefusedCharactersNote({"𠮷"})});
    EXPECT_EQ(table.Record(2), same);
}

TEST(InputTable, AClearedRowBringsNothingBack) {
    // Every way of clearing a row, then one value typed into it: the other
    // cells stay blank, on the screen and in the slots.
    struct Case {
        const char* command;
        void (*clear)(InputTable&);
    };
    const Case cases[] = {
        {"clear", [](InputTable& t) { t.ClearRows(5, 5); }},
        {"cut", [](InputTable& t) { (void)t.CutRows(4, 5); }},
        {"delete to the end", [](InputTable& t) { t.ClearFrom(5); }},
        {"delete, the end filled", [](InputTable& t) { t.DeleteRows(1, 6); }},
    };
    for (const Case& c : cases) {
        InputTable table = NTable(6);
        for (int row = 1; row <= 6; ++row)
            FillNRow(table, row, row + 0.15, 20 + row, 30, 9);
        c.clear(table);
        ASSERT_EQ(table.iFG(5), 0) << c.command;
        EXPECT_EQ(table.TakeText(5, kNCol, "7").outcome, CellTake::Stored) << c.command;
        EXPECT_EQ(ShownRow(table, 5), (std::vector<std::string>{"", "7", "", ""})) << c.command;
        EXPECT_EQ(table.Record(5).doubles, (std::vector<double>{0, 7, 0, 0})) << c.command;
    }
}

TEST(InputTable, InsertsBlankRowsAndGrowsToKeepEveryRowWithData) {
    InputTable table = SoilTable(4);
    for (int row = 1; row <= 4; ++row)
        FillSoilRow(table, row, row, "層" + std::to_string(row), row, 18, 100.0 * row);
    const std::vector<InputRecord> old = table.CopyRows(1, 4);

    ASSERT_TRUE(table.InsertRows(2, 2));
    EXPECT_EQ(table.Rows(), 6);
    EXPECT_EQ(table.Record(1), old[0]);
    EXPECT_EQ(table.Record(2), table.BlankRecord());
    EXPECT_EQ(table.Record(3), table.BlankRecord());
    for (int row = 4; row <= 6; ++row)
        EXPECT_EQ(table.Record(row), old[static_cast<size_t>(row - 3)]) << row;
    EXPECT_EQ(table.CountFG(), 4);
    EXPECT_EQ(table.GetMaxFgRow(), 6);

    // Below the last row with data nothing needs room: the table keeps its size.
    table.Resize(5, 8);
    ASSERT_TRUE(table.InsertRows(7, 1));
    EXPECT_EQ(table.Rows(), 8);
    EXPECT_EQ(table.GetMaxFgRow(), 6);

    // Rows past the most a table holds are refused, and nothing changes.
    InputTable full = NTable(kMaxTableRows);
    FillNRow(full, kMaxTableRows, 1, 1);
    EXPECT_FALSE(full.InsertRows(1, 1));
    EXPECT_EQ(full.GetMaxFgRow(), kMaxTableRows);
    EXPECT_FALSE(full.InsertRows(kMaxTableRows, 1));
    EXPECT_EQ(full.CountFG(), 1);
}

TEST(InputTable, DeletesRowsAndMovesTheRestUp) {
    InputTable table = SoilTable(5);
    for (int row = 1; row <= 5; ++row)
        FillSoilRow(table, row, row, "層" + std::to_string(row), row, 18, 100.0 * row);
    const std::vector<InputRecord> old = table.CopyRows(1, 5);
    table.DeleteRows(2, 2);
    EXPECT_EQ(table.Rows(), 5);
    EXPECT_EQ(table.CopyRows(1, 3), (std::vector<InputRecord>{old[0], old[3], old[4]}));
    EXPECT_EQ(table.CopyRows(4, 5),
              (std::vector<InputRecord>{table.BlankRecord(), table.BlankRecord()}));
    table.DeleteRows(3, 99);  // past the end: to the end
    EXPECT_EQ(table.GetMaxFgRow(), 2);
}

TEST(InputTable, CutAndPasteMoveWholeRecords) {
    // Vs has no column: it moves with its layer all the same.
    InputTable table = SoilTable(6);
    FillSoilRow(table, 3, 4.5, "細砂", 405, 18.5, 250);
    FillSoilRow(table, 5, 2, "中砂", 406, 19, 400);
    const InputRecord fineSand = table.Record(3);
    const std::vector<InputRecord> cut = table.CutRows(3, 3);
    EXPECT_EQ(table.Record(3), table.BlankRecord());
    EXPECT_EQ(table.PasteRows(5, cut), 1);
    EXPECT_EQ(table.Record(5), fineSand);
    EXPECT_EQ(table.DataD(kVsSlot, 5), 250);

    // A copy onto an empty row arrives whole, hidden slots too.
    EXPECT_EQ(table.PasteRows(1, table.CopyRows(5, 5)), 1);
    EXPECT_EQ(table.Record(1), fineSand);

    // Rows past the end give the table more rows, up to the most it holds.
    EXPECT_EQ(table.PasteRows(6, table.CopyRows(4, 6)), 3);
    EXPECT_EQ(table.Rows(), 8);
    EXPECT_EQ(table.Record(7), fineSand);
    InputTable nearlyFull = SoilTable(kMaxTableRows - 1);
    EXPECT_EQ(nearlyFull.PasteRows(kMaxTableRows - 1, {fineSand, fineSand, fineSand}), 2);
    EXPECT_EQ(nearlyFull.Rows(), kMaxTableRows);

    // A record of another table is a programming error.
    EXPECT_THROW(table.PasteRows(1, NTable().CopyRows(1, 1)), std::out_of_range);
}

TEST(InputTable, CopiesDownWhatTheFirstRowShows) {
    InputTable table = SoilTable(5);
    const std::string longName(120, 'n');
    FillSoilRow(table, 1, 1.234, longName, 405, 18.5, 250);
    FillSoilRow(table, 3, 9, "粘土", 700, 17, 150);
    const std::vector<std::string> notes = table.CopyDown(1, 4, kThicknessCol, kCodeCol);
    EXPECT_EQ(notes, std::vector<std::string>{CutEntryNote(kNameBytes)});
    EXPECT_EQ(table.Record(1).doubles[0], 1.234);  // the first row keeps its own
    EXPECT_EQ(table.DataS(1), longName);
    for (int row = 2; row <= 4; ++row) {
        EXPECT_EQ(table.iFG(row), 1) << row;
        EXPECT_EQ(table.DataD(1, row), 1.23) << row;  // as it is shown
        EXPECT_EQ(table.DataS(row), std::string(kNameBytes, 'n')) << row;
        EXPECT_EQ(table.DataL(1, row), 405) << row;
    }
    // Columns outside the copy keep their values.
    EXPECT_EQ(table.DataD(2, 3), 17);
    EXPECT_EQ(table.DataD(kVsSlot, 3), 150);
    EXPECT_EQ(table.iFG(5), 0);

    // One row is no copy.
    EXPECT_TRUE(table.CopyDown(3, 3, 1, 5).empty());
    EXPECT_EQ(table.DataS(3), std::string(kNameBytes, 'n'));
}

TEST(InputTable, TheEqualsSignCopiesTheRowAboveFromItsColumnOn) {
    InputTable table = NTable(4);
    FillNRow(table, 2, 2.15, 12, 25, 8);
    EXPECT_FALSE(table.CopyFromAbove(1, 1));  // no row above
    EXPECT_FALSE(table.CopyFromAbove(2, 1));  // the row above holds nothing
    EXPECT_EQ(table.iFG(2), 1);
    FillNRow(table, 3, 3.15, 0, 0, 0);
    ASSERT_TRUE(table.CopyFromAbove(3, kNCol));
    EXPECT_EQ(NGridRowOf(table, 3).values, (NPoint{3.15, 12, 25, 8}));
    ASSERT_TRUE(table.CopyFromAbove(4, kPenCol));
    EXPECT_EQ(table.iFG(4), 1);
    EXPECT_EQ(ShownRow(table, 4), (std::vector<std::string>{"", "", "25.0", "8.0"}));
}

TEST(InputTable, LeavingACellTakesItsTextAndSaysWhichCellsToShowAgain) {
    using Shown = std::vector<ShownCell>;
    const std::string nRange = "0～9999の数値を入力してください";
    struct Case {
        const char* what;
        int row;
        int col;
        std::string text;
        CellLeave outcome;
        bool changed;
        bool refused;
        std::string refusalNote;
        Shown shown;
    };
    // Row 2 holds 2.15 m, N 12, 25 cm, FC 8; rows 1, 3 and 4 hold nothing.
    const Case cases[] = {
        {"blank cell of an empty row", 3, kNCol, "", CellLeave::Nothing, false, false, "", {}},
        {"the row's shown text", 2, kNCol, "12", CellLeave::Read, false, false, "", {{2, "12"}}},
        {"a new value", 2, kNCol, "7", CellLeave::Read, true, false, "", {{2, "7"}}},
        {"a cleared value", 2, kNCol, "", CellLeave::Read, true, false, "", {{2, ""}}},
        {"a first value shows the whole row",
         3,
         kNCol,
         "7",
         CellLeave::Read,
         true,
         false,
         "",
         {{1, ""}, {2, "7"}, {3, ""}, {4, ""}}},
        {"out of range", 2, kNCol, "10000", CellLeave::Read, false, true, nRange, {{2, "12"}}},
        {"not a number",
         2,
         kNCol,
         "x",
         CellLeave::Read,
         false,
         true,
         "数値を入力してください",
         {{2, "12"}}},
        {"refused in an empty row",
         3,
         kNCol,
         "x",
         CellLeave::Read,
         false,
         true,
         "数値を入力してください",
         {{2, ""}}},
        {"= copies the row above from the column on",
         3,
         kPenCol,
         "=",
         CellLeave::Copied,
         true,
         false,
         "",
         {{3, "25.0"}, {4, "8.0"}}},
        {"= below an empty row copies nothing",
         4,
         kNCol,
         "=",
         CellLeave::Nothing,
         false,
         false,
         "",
         {}},
        {"= on the first row is no number",
         1,
         kNCol,
         "=",
         CellLeave::Read,
         false,
         true,
         "数値を入力してください",
         {{2, ""}}},
    };
    for (const Case& c : cases) {
        InputTable table = NTable(4);
        FillNRow(table, 2, 2.15, 12, 25, 8);
        const InputRecord before = table.Record(c.row);
        const CellLeaveResult leave = table.LeaveCell(c.row, c.col, c.text);
        EXPECT_EQ(leave.outcome, c.outcome) << c.what;
        EXPECT_EQ(leave.changed, c.changed) << c.what;
        EXPECT_EQ(leave.refused, c.refused) << c.what;
        EXPECT_EQ(leave.refusalNote, c.refusalNote) << c.what;
        EXPECT_TRUE(leave.entryNotes.empty()) << c.what;
        EXPECT_EQ(leave.shown, c.shown) << c.what;
        EXPECT_EQ(table.Record(c.row) == before, !c.changed) << c.what;
        for (const ShownCell& cell : leave.shown)
            EXPECT_EQ(cell.text, table.ShownText(c.row, cell.col)) << c.what;
    }
}

TEST(InputTable, LeavingATextCellTellsARefusalOrACutAsAnEntryNote) {
    InputTable table = SoilTable(3);
    FillSoilRow(table, 1, 2.5, "砂", 405, 18.0, 250);
    // A refused name keeps the row; its note is an entry note, not a number's.
    CellLeaveResult leave = table.LeaveCell(1, kNameCol, "礫𠮷");
    EXPECT_TRUE(leave.refused);
    EXPECT_EQ(leave.refusalNote, "");
    EXPECT_EQ(leave.entryNotes, (std::vector<std::string>{RefusedCharactersNote({"𠮷"})}));
    EXPECT_EQ(leave.shown, (std::vector<ShownCell>{{kNameCol, "砂"}}));
    // A long name is cut, stored and told.
    leave = table.LeaveCell(1, kNameCol, std::string(kNameBytes + 3, 'n'));
    EXPECT_FALSE(leave.refused);
    EXPECT_TRUE(leave.changed);
    EXPECT_EQ(leave.entryNotes, (std::vector<std::string>{CutEntryNote(kNameBytes)}));
    EXPECT_EQ(table.DataS(1), std::string(kNameBytes, 'n'));
    // A label column is never read and never written; a first value elsewhere
    // shows the row but the label.
    leave = table.LeaveCell(2, kSoilDepthCol, "5");
    EXPECT_EQ(leave.outcome, CellLeave::Read);
    EXPECT_FALSE(leave.changed);
    EXPECT_TRUE(leave.shown.empty());
    leave = table.LeaveCell(2, kThicknessCol, "1.5");
    ASSERT_EQ(leave.shown.size(), 4u);
    EXPECT_EQ(leave.shown.front().col, kThicknessCol);
    EXPECT_EQ(table.DataD(kVsSlot, 2), 0.0);
}

TEST(InputTable, NewRowsStartAsTheBlankRecord) {
    InputRecord blank = NTable().BlankRecord();
    blank.doubles[2] = 30;
    blank.flag = 1;  // never a flag
    struct Case {
        const char* how;
        int row;
        void (*make)(InputTable&);
    };
    const Case cases[] = {
        {"a key at the last row", 4, [](InputTable& t) { t.Resize(4, 4); }},
        {"insert", 2, [](InputTable& t) { ASSERT_TRUE(t.InsertRows(2, 1)); }},
        {"delete", 3, [](InputTable& t) { t.DeleteRows(1, 1); }},
        {"clear", 1, [](InputTable& t) { t.ClearRows(1, 1); }},
        {"paste past the end", 4,
         [](InputTable& t) { EXPECT_EQ(t.PasteRows(5, t.CopyRows(1, 1)), 1); }},
    };
    for (const Case& c : cases) {
        InputTable table = NTable(3);
        table.SetBlankRecord(blank);
        for (int row = 1; row <= 3; ++row)
            FillNRow(table, row, row, 5, 0, 0);
        c.make(table);
        EXPECT_EQ(table.iFG(c.row), 0) << c.how;
        EXPECT_EQ(table.Record(c.row).doubles, (std::vector<double>{0, 0, 30, 0})) << c.how;
    }
    // The blank record outlives a new layout of the same table.
    InputTable table = NTable(3);
    table.SetBlankRecord(blank);
    table.Reset(2, 5, 0, 4, 0);
    EXPECT_EQ(table.Record(5).doubles, (std::vector<double>{0, 0, 30, 0}));
}

TEST(InputTable, CountsRowsAndRefusesIndexesOutsideIt) {
    InputTable table = SoilTable(5);
    EXPECT_EQ(table.CountFG(), 0);
    EXPECT_EQ(table.GetMaxFgRow(), 0);
    table.iFG(0, 1);  // row 0 exists but never counts
    table.iFG(2, 1);
    table.iFG(4, 3);
    EXPECT_EQ(table.CountFG(), 2);
    EXPECT_EQ(table.GetMaxFgRow(), 4);

    EXPECT_THROW(table.iFG(6, 1), std::out_of_range);
    EXPECT_THROW(table.iFG(1, 256), std::out_of_range);
    EXPECT_THROW(table.DataL(0, 1), std::out_of_range);
    EXPECT_THROW(table.DataL(2, 1), std::out_of_range);
    EXPECT_THROW(table.DataD(16, 1, 0), std::out_of_range);
    EXPECT_THROW(table.DefineColumn(1, -1, 5, 0, 1, 1), std::out_of_range);
    EXPECT_THROW(table.DefineColumn(0, -1, 0, 0, 1, 1), std::out_of_range);
    EXPECT_THROW(table.ShownText(1, 6), std::out_of_range);
    EXPECT_THROW(NTable().DataS(1), std::out_of_range);
    EXPECT_THROW(table.SetRecord(1, NTable().Record(1)), std::out_of_range);
}

TEST(InputTable, ResizingKeepsWhatRemains) {
    InputTable table = SoilTable(3);
    FillSoilRow(table, 3, 4.5, "細砂", 405, 18.5, 250);
    table.SetZSW(kGammaCol, 1);
    table.Resize(6, 5);
    EXPECT_EQ(table.Slot(kNameCol), 0);
    EXPECT_EQ(table.ZeroShow(kGammaCol), 1);
    EXPECT_EQ(table.Slot(6), 0);
    EXPECT_EQ(table.DataS(3), "細砂");
    table.Resize(6, 2);
    EXPECT_EQ(table.GetMaxFgRow(), 0);
    table.Resize(6, kMaxTableRows + 5);
    EXPECT_EQ(table.Rows(), kMaxTableRows);
}

TEST(InputTable, BlankCellsAreHalfOrFullWidthBlanks) {
    for (const char* text : {"", " ", "　", " 　 "})
        EXPECT_TRUE(IsBlankCellEntry(text)) << text;
    for (const char* text : {"0", "\t", " a", "\xE3\x80"})
        EXPECT_FALSE(IsBlankCellEntry(text)) << text;
}

}  // namespace
