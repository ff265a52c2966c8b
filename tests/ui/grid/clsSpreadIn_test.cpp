#include "ui/grid/clsSpreadIn.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>

#include "core/codepage.h"
#include "support/qt_application.h"
#include "ui/platform/fake_platform_services.h"

namespace {

constexpr int kD = 1;      // Double slot 1, two decimals, 0 to 100
constexpr int kL = 2;      // Long slot 1, one decimal, 0 to 50
constexpr int kT = 3;      // text
constexpr int kLabel = 4;  // label
constexpr int kRows = 6;
constexpr const char* kShapeMessage =
    "コピー領域と貼り付け領域の形が違うため、貼り付けができません。";

class SpreadInTest : public ::testing::Test {
  protected:
    void SetUp() override {
        grid.SetMaxCols(4);
        grid.SetMaxRows(kRows);
        spread.SetSpread(&grid, 1, 1, 1);
        spread.CreateCell(kD, -1, 2, 0, 100, 8);
        spread.CreateCell(kL, 1, 1, 0, 50, 6);
        spread.CreateCell(kT, 0, 0, 0, 0, 10);
        spread.CreateCell(kLabel, clsSpreadIn::kLabel, 0, 0, 0, 0);
        for (int row = 1; row <= kRows; ++row)
            grid.SetText(kLabel, row, "L" + QString::number(row));
    }

    std::string Text(int col, int row) { return grid.Text(col, row).toStdString(); }
    std::vector<std::string> TextColumn();

    // Types into a cell and moves the cursor on; returns Act.
    int Type(int col, int row, const QString& text, int newCol = -2, int newRow = -2) {
        grid.SetText(col, row, text);
        return Leave(col, row, newCol == -2 ? col + 1 : newCol, newRow == -2 ? row : newRow);
    }
    int Leave(int col, int row, int newCol, int newRow) {
        int act = -1;
        lastNewCol = newCol;
        lastNewRow = newRow;
        spread.EventLeaveCell(col, row, lastNewCol, lastNewRow, act);
        return act;
    }
    // Shows the grid with its leave-cell check bound, as a window does.
    void ShowWithLeaveCheck() {
        QObject::connect(&grid, &SpreadGrid::LeaveCell,
                         [&](int col, int row, int newCol, int newRow) {
                             int act = 0;
                             spread.EventLeaveCell(col, row, newCol, newRow, act);
                         });
        grid.resize(400, 300);
        grid.show();
    }
    // Fills rows 1..n with D = row, L = row / 10, T = "t<row>".
    void FillRows(int n) {
        for (int row = 1; row <= n; ++row) {
            spread.iFG(row, 1);
            spread.DataD(1, row, row);
            spread.DataL(1, row, row);
            spread.DataS(row, "t" + std::to_string(row));
        }
        spread.PrtSheet(0);
    }
    void Select(int col1, int row1, int col2, int row2) {
        grid.SetActiveCell(col1, row1);
        grid.SelectBlock({col1, row1, col2, row2});
    }

    struct QtApp {
        QtApp() { EnsureQtApplication(); }
    } qtApp;
    FakePlatformServices services;
    SpreadGrid grid;
    clsSpreadIn spread{services};
    int lastNewCol = 0;
    int lastNewRow = 0;
};

TEST_F(SpreadInTest, TypedZeroDiffersFromBlankInDoubleColumns) {
    EXPECT_EQ(Type(kD, 1, "0"), 1);
    EXPECT_DOUBLE_EQ(spread.DataD(1, 1), 1.0E-5);
    EXPECT_EQ(Text(kD, 1), "0.00");
    EXPECT_EQ(spread.iFG(1), 1);

    EXPECT_EQ(Type(kD, 1, ""), 1);
    EXPECT_EQ(spread.DataD(1, 1), 0.0);
    EXPECT_EQ(Text(kD, 1), "");
    EXPECT_EQ(spread.iFG(1), 1) << "reading never clears the flag";

    spread.SetZSW(kD, 1);
    spread.PrtSheet(1);
    EXPECT_EQ(Text(kD, 1), "0.00");
}

TEST_F(SpreadInTest, TypedZeroInLongColumnIsBlank) {
    EXPECT_EQ(Type(kL, 1, "0"), 1);
    EXPECT_EQ(spread.DataL(1, 1), 0);
    EXPECT_EQ(Text(kL, 1), "");
    EXPECT_EQ(spread.iFG(1), 1);
}

TEST_F(SpreadInTest, NumbersAreStoredScaledAndShownInTheColumnFormat) {
    struct Case {
        int col;
        const char* typed;
        double stored;  // Double slot value, or the Long slot's integer
        const char* shown;
    } cases[] = {
        {kD, "12.345", 12.345, "12.35"}, {kD, " 7 ", 7, "7.00"},  {kD, "1e1", 10, "10.00"},
        {kD, "１２．５", 12.5, "12.50"}, {kL, "2.25", 22, "2.2"},  // ties go to the even neighbour
        {kL, "2.35", 24, "2.4"},         {kL, "50", 500, "50.0"},
    };
    for (const Case& c : cases) {
        Type(c.col, 1, c.typed);
        double stored = c.col == kD ? spread.DataD(1, 1) : spread.DataL(1, 1);
        EXPECT_DOUBLE_EQ(stored, c.stored) << c.typed;
        EXPECT_EQ(Text(c.col, 1), c.shown) << c.typed;
    }
    EXPECT_EQ(services.beeps, 0);
}

TEST_F(SpreadInTest, RangeLimitsAreInclusiveAndRefusalsHoldOnlyForwardMoves) {
    struct Case {
        const char* typed;
        int newCol, newRow;
        bool valid;
        bool held;
    } cases[] = {
        {"0", kD + 1, 2, true, false},      {"100", kD + 1, 2, true, false},
        {"100.01", kD + 1, 2, false, true},                                // right
        {"-0.01", kD, 3, false, true},                                     // down
        {"abc", kD + 1, 2, false, true},    {"101", kD, 1, false, false},  // up
        {"101", -1, -1, false, false},                                     // leaves the grid
    };
    for (const Case& c : cases) {
        spread.DataD(1, 2, 42);
        spread.iFG(2, 1);
        int beeps = services.beeps;
        int act = Type(kD, 2, c.typed, c.newCol, c.newRow);
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(act, c.valid ? 1 : 0);
        EXPECT_EQ(services.beeps - beeps, c.valid ? 0 : 1);
        if (!c.valid) {
            EXPECT_DOUBLE_EQ(spread.DataD(1, 2), 42);
            EXPECT_EQ(Text(kD, 2), "42.00") << "a refused text gives way to the stored value";
        }
        if (c.held) {
            EXPECT_EQ(lastNewCol, kD);
            EXPECT_EQ(lastNewRow, 2);
            EXPECT_EQ(grid.ActiveCol(), kD);
            EXPECT_EQ(grid.ActiveRow(), 2);
        } else {
            EXPECT_EQ(lastNewCol, c.newCol);
            EXPECT_EQ(lastNewRow, c.newRow);
        }
    }
}

TEST_F(SpreadInTest, BlankIsReadAsZeroAndRefusedAboveAPositiveMinimum) {
    spread.CreateCell(kD, -1, 2, 1, 100, 8);
    FillRows(1);
    grid.SetText(kD, 1, "");
    Leave(kD, 1, kD + 1, 1);
    EXPECT_EQ(services.beeps, 1);
    EXPECT_DOUBLE_EQ(spread.DataD(1, 1), 1);
    EXPECT_EQ(Text(kD, 1), "1.00");
}

// An input method types full-width blanks; they are blanks like half-width ones.
TEST_F(SpreadInTest, FullWidthBlanksAreBlankLikeHalfWidthOnes) {
    FillRows(kRows);
    const char* blanks[] = {"", " ", "　", "　　", " 　 "};
    for (int row = 1; row <= 5; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(Type(kD, row, QString::fromUtf8(blanks[row - 1])), 1);
        EXPECT_EQ(Type(kL, row, QString::fromUtf8(blanks[row - 1])), 1);
        EXPECT_EQ(spread.DataD(1, row), 0.0);
        EXPECT_EQ(spread.DataL(1, row), 0);
        EXPECT_EQ(Text(kD, row), "");
    }
    EXPECT_EQ(services.beeps, 0);
    EXPECT_TRUE(IsBlankCellText(QStringLiteral("　 ")));
    EXPECT_FALSE(IsBlankCellText(QStringLiteral("　1")));
}

// Tab on a refused value holds the cursor in the cell; no editor may open in
// the next cell, where what is typed would be shown but never read.
TEST_F(SpreadInTest, TabOnARefusedValueOpensNoEditorOutsideTheHeldCell) {
    ShowWithLeaveCheck();
    grid.activateWindow();
    grid.setFocus();
    grid.SetActiveCell(kD, 1);
    // The cells with an open editor, as (column, row).
    auto editors = [&] {
        std::vector<std::pair<int, int>> open;
        for (int row = 1; row <= kRows; ++row)
            for (int col = 1; col <= 4; ++col)
                if (grid.indexWidget(grid.model()->index(row - 1, col - 1)) != nullptr)
                    open.emplace_back(col, row);
        return open;
    };
    using Cells = std::vector<std::pair<int, int>>;
    // Typing opens an editor in the current cell.
    auto type = [&](const char* keys) {
        QTest::keyClick(&grid, keys[0]);
        QWidget* editor = grid.indexWidget(grid.currentIndex());
        ASSERT_NE(editor, nullptr);
        QTest::keyClicks(editor, keys + 1);
    };
    auto tab = [&] { QTest::keyClick(grid.indexWidget(grid.currentIndex()), Qt::Key_Tab); };
    type("abc");
    ASSERT_EQ(editors(), (Cells{{kD, 1}}));
    tab();
    EXPECT_EQ(services.beeps, 1);
    EXPECT_EQ(grid.ActiveCol(), kD);
    EXPECT_EQ(grid.ActiveRow(), 1);
    EXPECT_EQ(editors(), Cells{});

    // What is typed now goes into the held cell, and Tab then moves on.
    type("7");
    ASSERT_EQ(editors(), (Cells{{kD, 1}}));
    tab();
    EXPECT_DOUBLE_EQ(spread.DataD(1, 1), 7);
    EXPECT_EQ(Text(kD, 1), "7.00");
    EXPECT_EQ(grid.ActiveCol(), kL);
    EXPECT_EQ(editors(), (Cells{{kL, 1}})) << "a taken value edits the next cell";
}

TEST_F(SpreadInTest, LeavingAnEmptyCellOfARowWithoutDataDoesNothing) {
    EXPECT_EQ(Leave(kD, 3, kD + 1, 3), 0);
    EXPECT_EQ(Leave(0, 3, 1, 3), 0);  // a header
    EXPECT_EQ(spread.iFG(3), 0);
    EXPECT_EQ(spread.CountFG(), 0);
    EXPECT_EQ(spread.GetMaxFgRow(), 0);
}

TEST_F(SpreadInTest, TextColumnKeepsTheTextAsTyped) {
    EXPECT_EQ(Type(kT, 2, " 砂質土 "), 1);
    EXPECT_EQ(spread.DataS(2), " 砂質土 ");
    EXPECT_EQ(spread.iFG(2), 1);
    EXPECT_EQ(Type(kT, 2, " 砂質土 "), 0) << "nothing changed";
}

TEST_F(SpreadInTest, EqualsSignCopiesTheRowAboveFromTheColumnOn) {
    // Row 1: "=" is read like any text, so a number column refuses it.
    Type(kD, 1, "=");
    EXPECT_EQ(services.beeps, 1);
    EXPECT_EQ(spread.iFG(1), 0);

    // Below a row without data the "=" stays and nothing changes.
    EXPECT_EQ(Type(kL, 3, "="), 0);
    EXPECT_EQ(Text(kL, 3), "=");
    EXPECT_EQ(spread.iFG(3), 0);

    FillRows(1);
    spread.DataD(1, 2, 99);  // kept value of a row without data
    EXPECT_EQ(Type(kL, 2, "=", kL + 1, 2), 1);
    EXPECT_EQ(spread.iFG(2), 1);
    EXPECT_EQ(lastNewCol, kL);
    EXPECT_EQ(lastNewRow, 2);
    EXPECT_EQ(spread.DataL(1, 2), 1);
    EXPECT_EQ(spread.DataS(2), "t1");
    EXPECT_EQ(Text(kL, 2), "0.1");
    EXPECT_EQ(Text(kT, 2), "t1");
    EXPECT_DOUBLE_EQ(spread.DataD(1, 2), 99) << "columns left of the cell are not touched";
    EXPECT_EQ(Text(kLabel, 2), "L2");
}

// A binding with a Double slot that no column shows (as the soil grid's
// constants whose columns are switched off), filled with D = row, L = row / 10,
// T = "t<row>" and the hidden slot 100 x row.
class SpreadInHiddenSlotTest : public SpreadInTest {
  protected:
    static constexpr int kHidden = 2;  // Double slot 2, shown nowhere
    void SetUp() override {
        SpreadInTest::SetUp();
        spread.SetSpread(&grid, 1, 2, 1);
        spread.CreateCell(kD, -1, 2, 0, 100, 8);
        spread.CreateCell(kL, 1, 1, 0, 50, 6);
        spread.CreateCell(kT, 0, 0, 0, 0, 10);
        spread.CreateCell(kLabel, clsSpreadIn::kLabel, 0, 0, 0, 0);
    }
    void FillRowsWithHidden(int n) {
        FillRows(n);
        for (int row = 1; row <= n; ++row)
            spread.DataD(kHidden, row, 100.0 * row);
    }
    // The row's whole record: flag, D, L, T and the hidden slot.
    std::string Record(int row) {
        std::ostringstream out;
        out << spread.iFG(row) << "|" << spread.DataD(1, row) << "|" << spread.DataL(1, row) << "|"
            << spread.DataS(row) << "|" << spread.DataD(kHidden, row);
        return out.str();
    }
};

// A row that a command empties is empty in every slot: one value typed into it
// afterwards brings back none of the old ones, shown or hidden. The hidden
// slot's blank value is the one the owner gave (the N-value grid's standard
// penetration); a row a key adds at the end starts with it too.
TEST_F(SpreadInHiddenSlotTest, ARowACommandEmptiedTakesATypedValueAlone) {
    struct Case {
        const char* command;
        std::function<void()> run;
        int row;  // the emptied row typed into
        int col;
        const char* typed;
        const char* record;
    };
    const Case cases[] = {
        {"row clear",
         [this] {
             Select(kD, 3, kD, 3);
             spread.RowClear();
         },
         3, kT, "x", "1|0|0|x|30"},
        {"row cut",
         [this] {
             Select(kD, 3, kD, 4);
             spread.ClipRowCut();
         },
         4, kL, "7", "1|0|70||30"},
        {"delete to the end",
         [this] {
             Select(kD, 3, kD, 3);
             spread.DeleteAll();
         },
         5, kD, "9", "1|9|0||30"},
        // Row 6 is vacated when row 1 goes: it held a copy of row 6 before.
        {"row delete",
         [this] {
             Select(kD, 1, kD, 1);
             spread.RowDelete();
         },
         6, kT, "y", "1|0|0|y|30"},
        {"row insert",
         [this] {
             Select(kD, 2, kD, 2);
             spread.RowInsort();
         },
         2, kD, "5", "1|5|0||30"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        SetUp();
        FillRowsWithHidden(kRows);
        spread.SetBlankDataD(kHidden, 30);
        c.run();
        EXPECT_EQ(spread.iFG(c.row), 0);
        EXPECT_EQ(Record(c.row), "0|0|0||30");
        EXPECT_EQ(Type(c.col, c.row, c.typed), 1);
        EXPECT_EQ(Record(c.row), c.record);
        for (int col : {kD, kL, kT}) {
            if (col != c.col) {
                EXPECT_EQ(Text(col, c.row), "") << col;
            }
        }
    }

    // A row a key adds below the last one starts as a blank row.
    SetUp();
    FillRowsWithHidden(kRows);
    spread.SetBlankDataD(kHidden, 30);
    ShowWithLeaveCheck();
    grid.activateWindow();
    grid.setFocus();
    grid.SetActiveCell(kD, kRows);
    QTest::keyClick(&grid, Qt::Key_Down);
    ASSERT_EQ(grid.MaxRows(), kRows + 1);
    EXPECT_EQ(Record(kRows + 1), "0|0|0||30");
}

// Rows cut or copied here and pasted as rows carry their whole record, the
// slot no column shows included, while the clipboard holds what the copy put
// there (whatever line ends the desktop gives it back with). Another text
// pasted over a row leaves that row's hidden slot as it was.
TEST_F(SpreadInHiddenSlotTest, RowsPastedAsRowsCarryTheirHiddenSlots) {
    struct Case {
        const char* what;
        std::function<void()> copy;
        std::function<void()> paste;
        int row;
        const char* record;
    };
    auto rowPaste = [this](int row) {
        return [this, row] {
            Select(kD, row, kD, row);
            spread.ClipRowPaste();
        };
    };
    const Case cases[] = {
        {"cut row 2, row paste over row 3",
         [this] {
             Select(kD, 2, kD, 2);
             spread.ClipRowCut();
         },
         rowPaste(3), 3, "1|2|2|t2|200"},
        {"copy row 2, row paste on the empty row 6",
         [this] {
             Select(kD, 2, kD, 2);
             spread.ClipRowCopy();
         },
         rowPaste(6), 6, "1|2|2|t2|200"},
        {"copy rows 1-2, cell paste at column 1 of row 5",
         [this] {
             Select(kD, 1, kD, 2);
             spread.ClipRowCopy();
         },
         [this] {
             Select(kD, 5, kD, 5);
             spread.ClipCelPaste();
         },
         6, "1|2|2|t2|200"},
        {"copy row 2, line ends changed on the way",
         [this] {
             Select(kD, 2, kD, 2);
             spread.ClipRowCopy();
             services.clipboard =
                 services.clipboard.substr(0, services.clipboard.size() - 2) + "\n";
         },
         rowPaste(4), 4, "1|2|2|t2|200"},
        {"a text of its own over row 3",
         [this] {
             Select(kD, 2, kD, 2);
             spread.ClipRowCopy();
             services.clipboard = "2.00\t0.2\tt2\r\n";
         },
         rowPaste(3), 3, "1|2|2|t2|300"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        FillRowsWithHidden(4);
        services.refusals.clear();
        c.copy();
        c.paste();
        EXPECT_EQ(Record(c.row), c.record);
        EXPECT_EQ(Text(kT, c.row), "t2");
        EXPECT_TRUE(services.refusals.empty());
    }
}

// A pasted row whose text (the row's name) is refused keeps its whole old
// record: the number cells that came with that name are not taken either, and
// the note says so. The other pasted rows are taken.
TEST_F(SpreadInHiddenSlotTest, APastedRowWhoseTextIsRefusedKeepsItsWholeRecord) {
    for (bool rowPaste : {true, false}) {
        SCOPED_TRACE(rowPaste ? "row paste" : "cell paste");
        SetUp();
        services.refusals.clear();
        FillRowsWithHidden(3);
        services.clipboard = "4\t1\tname\xF0\xA0\xAE\xB7\r\n5\t2\tnext\r\n";
        Select(kD, 2, kD, 2);
        rowPaste ? spread.ClipRowPaste() : spread.ClipCelPaste();
        EXPECT_EQ(Record(2), "1|2|2|t2|200");
        EXPECT_EQ(Text(kD, 2), "2.00");
        EXPECT_EQ(Text(kL, 2), "0.2");
        EXPECT_EQ(Text(kT, 2), "t2");
        EXPECT_EQ(Record(3), "1|5|20|next|300");
        ASSERT_EQ(services.refusals.size(), 1u);
        EXPECT_THAT(
            services.refusals[0],
            ::testing::HasSubstr("「\xF0\xA0\xAE\xB7」(U+20BB7)はファイルに保存できない文字です"));
        EXPECT_THAT(services.refusals[0],
                    ::testing::HasSubstr("保存できない文字を含む行は貼り付けていません"));
    }
}

// A stored text longer than the column takes (a name read from a file) opens
// whole in the cell's editor: F2 and Return without a change keep it, with no
// note; an edit of it is cut to the column's length as the cell is left, and
// told.
TEST_F(SpreadInTest, AnEditorOpensALongStoredTextWholeAndKeepsItUnchanged) {
    const std::string halfWidth(24, 'a');
    std::string fullWidth;
    for (int i = 0; i < 12; ++i)
        fullWidth += "砂";
    ShowWithLeaveCheck();
    grid.activateWindow();
    for (const std::string& stored : {halfWidth, fullWidth}) {
        SCOPED_TRACE(stored);
        services.refusals.clear();
        FillRows(2);
        spread.DataS(1, stored);
        spread.PrtSheet(1);
        grid.setFocus();
        grid.SetActiveCell(kT, 1);
        QTest::keyClick(&grid, Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(grid.indexWidget(grid.currentIndex()));
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->text().toStdString(), stored);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();  // the editor's commit is queued
        grid.SetActiveCell(kT, 1);
        EXPECT_EQ(spread.DataS(1), stored);
        EXPECT_EQ(Text(kT, 1), stored);
        EXPECT_TRUE(services.refusals.empty());

        QTest::keyClick(&grid, Qt::Key_F2);
        editor = qobject_cast<QLineEdit*>(grid.indexWidget(grid.currentIndex()));
        ASSERT_NE(editor, nullptr);
        QTest::keyClick(editor, Qt::Key_End);
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();  // the editor's commit is queued
        EXPECT_EQ(Cp932Length(spread.DataS(1)), 10);
        EXPECT_EQ(spread.DataS(1), stored.substr(0, stored == halfWidth ? 10 : 15));
        EXPECT_EQ(
            services.refusals,
            std::vector<std::string>{"全角5文字・半角10文字までです。超えた分は切り捨てました"});
    }
}

TEST_F(SpreadInTest, CopiesPutTabAndCrLfTextOnTheClipboard) {
    FillRows(2);
    Select(kD, 1, kL, 2);
    spread.ClipCelCopy();
    EXPECT_EQ(services.clipboard, "1.00\t0.1\r\n2.00\t0.2\r\n");
    EXPECT_EQ(grid.SelBlock().row2, 1) << "the selection shrinks to the first row";

    Select(kL, 2, kL, 2);
    spread.ClipRowCopy();
    EXPECT_EQ(services.clipboard, "2.00\t0.2\tt2\tL2\r\n");
}

// Clipboard text is read as spreadsheets write it.
TEST(ClipboardText, ReadsLinesCellsAndQuotedCellsAsSpreadsheetsMeanThem) {
    using Rows = std::vector<std::vector<std::string>>;
    struct Case {
        const char* text;
        Rows rows;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {{"a"}}},
        {"a\tb\r\nc\td\r\n", {{"a", "b"}, {"c", "d"}}},
        {"a\tb\nc\td", {{"a", "b"}, {"c", "d"}}},
        {"a\rb\r", {{"a"}, {"b"}}},
        {"a\t\r\n", {{"a", ""}}},
        {"a\t", {{"a", ""}}},
        {"\r\n", {{""}}},
        {"a\r\n\r\nb\r\n", {{"a"}, {""}, {"b"}}},
        {"\"x\ty\"\tz\r\n", {{"x\ty", "z"}}},
        {"\"x\r\ny\"\tz\r\n", {{"x\r\ny", "z"}}},
        {"\"say \"\"hi\"\"\"\t1", {{"say \"hi\"", "1"}}},
        {"\"\"\t1", {{"", "1"}}},
        {"a\"b\t\"c", {{"a\"b", "\"c"}}},  // a quote inside, an unclosed one
        {"\"x\"y\tz", {{"xy", "z"}}},      // text after the closing quote
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Rows rows;
        for (const QStringList& line : ParseClipboardText(c.text)) {
            rows.emplace_back();
            for (const QString& cell : line)
                rows.back().push_back(cell.toStdString());
        }
        EXPECT_EQ(rows, c.rows);
    }
}

// A copied cell that holds a TAB, a line break or a quote is quoted, so that
// a spreadsheet, and this grid, read it back as one cell.
TEST_F(SpreadInTest, CopiedTextCellsComeBackWhole) {
    FillRows(1);
    spread.DataS(1, "a\tb\"c\"\nd");
    spread.PrtSheet(1);
    Select(kL, 1, kT, 1);
    spread.ClipCelCopy();
    EXPECT_EQ(services.clipboard, "0.1\t\"a\tb\"\"c\"\"\nd\"\r\n");
    Select(kL, 3, kL, 3);
    spread.ClipCelPaste();
    // One cell again, which the file's rules for a text then take as typed:
    // TAB and line break as blanks, the quotes in their full-width form.
    EXPECT_EQ(spread.DataS(3), "a b＂c＂ d");
    EXPECT_EQ(spread.DataL(1, 3), 1);
    EXPECT_EQ(Text(kLabel, 3), "L3");
}

// What the program itself stored (a negated default, a value beyond the
// column's limit, more decimals than the column shows) is kept as it is when
// the cell is left or its row is read: it holds no cursor and stops nothing.
TEST_F(SpreadInTest, StoredValuesThatTheCellStillShowsAreKept) {
    struct Case {
        const char* name;
        double stored;
        const char* shown;
    };
    const Case cases[] = {
        {"negated default", -19, "-19.00"},
        {"above the maximum", 1234.5, "1234.50"},
        {"more decimals than shown", 18.555, "18.56"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        services.beeps = 0;
        FillRows(2);
        spread.DataD(1, 1, c.stored);
        spread.PrtSheet(1);
        ASSERT_EQ(Text(kD, 1), c.shown);
        EXPECT_EQ(Leave(kD, 1, kL, 1), 0);
        EXPECT_EQ(lastNewCol, kL) << "the cursor goes on";
        EXPECT_EQ(spread.DataD(1, 1), c.stored);

        // A paste or a clear right of it reads its row without stopping.
        services.clipboard = "7\tpasted\r\n";
        Select(kL, 1, kL, 1);
        spread.ClipCelPaste();
        EXPECT_EQ(spread.DataL(1, 1), 70);
        EXPECT_EQ(spread.DataS(1), "pasted");
        Select(kL, 1, kL, 1);
        spread.CelClear();
        EXPECT_EQ(spread.DataL(1, 1), 0);
        EXPECT_EQ(spread.DataD(1, 1), c.stored);
        EXPECT_EQ(services.beeps, 0);

        // A value typed over it is checked as any other.
        EXPECT_EQ(Type(kD, 1, "-19"), 0);
        ASSERT_FALSE(services.refusals.empty());
        EXPECT_EQ(services.refusals.back(), "0.00～100.00の数値を入力してください");
        EXPECT_EQ(spread.DataD(1, 1), c.stored);
    }
}

// A name a file brought that is longer than typing allows (the text column
// takes 10 bytes: five full-width characters) is kept while its cell shows
// it, through a leave and a clear beside it; one typed is cut, and told.
TEST_F(SpreadInTest, AStoredNameLongerThanTypingAllowsIsKept) {
    const std::string stored = "シルト質細砂";  // 12 bytes
    FillRows(1);
    spread.DataS(1, stored);
    spread.PrtSheet(1);
    EXPECT_EQ(Leave(kT, 1, kT, 2), 0) << "nothing changed";
    Select(kD, 1, kD, 1);
    spread.CelClear();
    EXPECT_EQ(spread.DataS(1), stored);
    EXPECT_EQ(Text(kT, 1), stored);
    EXPECT_TRUE(services.refusals.empty());

    EXPECT_EQ(Type(kT, 1, "シルト質細砂礫"), 1);
    EXPECT_EQ(spread.DataS(1), "シルト質細");
    EXPECT_EQ(services.refusals,
              std::vector<std::string>{"全角5文字・半角10文字までです。超えた分は切り捨てました"});
}

// A pasted cell that is not a number, or is out of range, keeps the value it
// had; the other cells of its row are taken, and the user is told.
TEST_F(SpreadInTest, APastedCellThatIsRefusedKeepsItsValueAndTheRestIsTaken) {
    FillRows(2);
    services.clipboard = "3,15\t9\tnew\r\n200\t4\tnext\r\n";
    Select(kD, 1, kD, 1);
    spread.ClipCelPaste();
    EXPECT_DOUBLE_EQ(spread.DataD(1, 1), 1);
    EXPECT_EQ(Text(kD, 1), "1.00");
    EXPECT_EQ(spread.DataL(1, 1), 90);
    EXPECT_EQ(spread.DataS(1), "new");
    EXPECT_DOUBLE_EQ(spread.DataD(1, 2), 2);
    EXPECT_EQ(spread.DataL(1, 2), 40);
    EXPECT_EQ(spread.DataS(2), "next");
    EXPECT_EQ(services.refusals,
              std::vector<std::string>{"数値でない値や範囲外の値は貼り付けていません"});
}

// An inserted row is blank in every slot: typing into it brings back nothing
// of the row that moved down.
TEST_F(SpreadInTest, AnInsertedRowIsBlankInEverySlot) {
    FillRows(3);
    Select(kD, 2, kD, 2);
    spread.RowInsort();
    EXPECT_EQ(spread.DataS(3), "t2");
    EXPECT_EQ(Type(kD, 2, "5"), 1);
    EXPECT_EQ(Text(kL, 2), "");
    EXPECT_EQ(Text(kT, 2), "");
    EXPECT_EQ(spread.DataL(1, 2), 0);
    EXPECT_EQ(spread.DataS(2), "");
}

// A header click selects every row: row clear, row delete and delete to the
// end name no rows there and do nothing, with a note; rows selected by hand
// are cleared and deleted as ever.
TEST_F(SpreadInTest, RowCommandsOverWholeColumnsDoNothing) {
    FillRows(kRows);
    for (void (clsSpreadIn::*command)() :
         {&clsSpreadIn::RowClear, &clsSpreadIn::RowDelete, &clsSpreadIn::DeleteAll}) {
        services.refusals.clear();
        Select(kD, 1, kD, kRows);
        (spread.*command)();
        EXPECT_EQ(spread.CountFG(), kRows);
        EXPECT_EQ(services.refusals,
                  std::vector<std::string>{"行番号をクリックして行を選んでください"});
    }
    Select(kD, 1, kD, kRows - 1);
    spread.RowDelete();
    EXPECT_EQ(spread.CountFG(), 1);
}

TEST_F(SpreadInTest, RowCutAndPasteRoundTrip) {
    FillRows(2);
    Select(kD, 1, kD, 1);
    spread.ClipRowCut();
    EXPECT_EQ(spread.iFG(1), 0);
    EXPECT_EQ(Text(kD, 1), "");

    Select(kD, 5, kD, 5);
    spread.ClipRowPaste();
    EXPECT_EQ(spread.iFG(5), 1);
    EXPECT_DOUBLE_EQ(spread.DataD(1, 5), 1);
    EXPECT_EQ(spread.DataL(1, 5), 1);
    EXPECT_EQ(spread.DataS(5), "t1");
    EXPECT_EQ(Text(kLabel, 5), "L5") << "labels are not pasted over";
    EXPECT_EQ(grid.ActiveRow(), 5);
}

TEST_F(SpreadInTest, RowCutClearsEverySelectedRow) {
    FillRows(4);
    Select(kL, 2, kL, 3);
    spread.ClipRowCut();
    EXPECT_EQ(services.clipboard, "2.00\t0.2\tt2\tL2\r\n3.00\t0.3\tt3\tL3\r\n");
    EXPECT_EQ(spread.iFG(2), 0);
    EXPECT_EQ(spread.iFG(3), 0);
    EXPECT_EQ(Text(kD, 3), "");
    EXPECT_EQ(Text(kLabel, 3), "L3");
    EXPECT_EQ(spread.iFG(4), 1);
    EXPECT_EQ(grid.SelBlock().row2, 2) << "the selection shrinks to the first row";
}

TEST_F(SpreadInTest, RowPasteRepeatsOverAWholeMultipleOfTheClipboardRows) {
    services.clipboard = "1\t2\r\n3\t4\r\n";
    Select(kD, 1, kD, 4);
    spread.ClipRowPaste();
    for (int row = 1; row <= 4; ++row) {
        SCOPED_TRACE(row);
        EXPECT_DOUBLE_EQ(spread.DataD(1, row), row % 2 == 1 ? 1 : 3);
        EXPECT_EQ(spread.DataL(1, row), row % 2 == 1 ? 20 : 40);
    }
    EXPECT_TRUE(services.messages.empty());

    services.clipboard = "7\t8\r\n9\t9\r\n";
    Select(kD, 1, kD, 3);
    spread.ClipRowPaste();
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, kShapeMessage);
    EXPECT_EQ(services.messages[0].title, "エラー");
    EXPECT_EQ(services.messages[0].icon, MessageIcon::Critical);
    EXPECT_DOUBLE_EQ(spread.DataD(1, 1), 1) << "a refused paste changes nothing";
    EXPECT_EQ(Text(kD, 1), "1.00");
}

TEST_F(SpreadInTest, RowPasteStopsAtTheLastGridRow) {
    services.clipboard = "1\r\n2\r\n3\r\n";
    Select(kD, kRows - 1, kD, kRows - 1);
    spread.ClipRowPaste();
    EXPECT_DOUBLE_EQ(spread.DataD(1, kRows - 1), 1);
    EXPECT_DOUBLE_EQ(spread.DataD(1, kRows), 2);
}

TEST_F(SpreadInTest, CellPasteRepeatsDownwardAndRefusesOtherShapes) {
    services.clipboard = "5\t0.5\r\n";
    Select(kD, 2, kL, 4);
    spread.ClipCelPaste();
    for (int row = 2; row <= 4; ++row) {
        EXPECT_EQ(Text(kD, row), "5.00");
        EXPECT_EQ(spread.DataL(1, row), 5);
    }
    EXPECT_EQ(spread.iFG(1), 0);
    EXPECT_EQ(spread.iFG(5), 0);

    Select(kD, 1, kT, 2);
    spread.ClipCelPaste();
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, kShapeMessage);
    EXPECT_EQ(spread.iFG(1), 0);
}

TEST_F(SpreadInTest, CellPasteIntoOneCellAndIntoARowOfBlocks) {
    services.clipboard = "3";  // one character: 1 x 1
    Select(kL, 2, kL, 2);
    spread.ClipCelPaste();
    EXPECT_EQ(spread.DataL(1, 2), 30);

    services.clipboard = "8\r\n";
    Select(kD, 3, kL, 3);  // one row, two columns: two blocks to the right
    spread.ClipCelPaste();
    EXPECT_DOUBLE_EQ(spread.DataD(1, 3), 8);
    EXPECT_EQ(spread.DataL(1, 3), 80);
}

// A pasted empty cell is blank, as a cleared one is: never a typed zero.
TEST_F(SpreadInTest, EmptyNumberCellsOfAPastedBlockAreBlank) {
    FillRows(1);
    services.clipboard = "\t\tabc\r\n";
    grid.SetText(kLabel, 1, "");  // a label left empty by its owner stays so
    Select(kD, 1, kD, 1);
    spread.ClipRowPaste();
    EXPECT_EQ(Text(kLabel, 1), "");
    EXPECT_EQ(spread.iFG(1), 1);
    EXPECT_EQ(spread.DataD(1, 1), 0.0);
    EXPECT_EQ(spread.DataL(1, 1), 0);
    EXPECT_EQ(Text(kD, 1), "");
    EXPECT_EQ(Text(kL, 1), "");
    EXPECT_EQ(spread.DataS(1), "abc");
}

TEST_F(SpreadInTest, PastedInvalidTextGivesWayToTheStoredValue) {
    FillRows(1);
    services.clipboard = "x\t9\r\n";
    Select(kD, 1, kD, 1);
    spread.ClipCelPaste();
    EXPECT_DOUBLE_EQ(spread.DataD(1, 1), 1);
    EXPECT_EQ(Text(kD, 1), "1.00");
}

TEST_F(SpreadInTest, ClipboardWithBareLineFeedsPastesAsRows) {
    services.clipboard = "1\n2\n";
    Select(kD, 1, kD, 2);
    spread.ClipCelPaste();
    EXPECT_DOUBLE_EQ(spread.DataD(1, 1), 1);
    EXPECT_DOUBLE_EQ(spread.DataD(1, 2), 2);
}

TEST_F(SpreadInTest, CellClearKeepsFlagsWithBlankValues) {
    FillRows(2);
    Select(kD, 1, kT, 1);
    spread.CelClear();
    EXPECT_EQ(spread.iFG(1), 1);
    EXPECT_EQ(spread.DataD(1, 1), 0.0);
    EXPECT_EQ(spread.DataL(1, 1), 0);
    EXPECT_EQ(spread.DataS(1), "");
    EXPECT_EQ(Text(kD, 2), "2.00");
}

TEST_F(SpreadInTest, RowDeleteMovesRowsUpAndClearsTheVacatedOnes) {
    FillRows(5);
    Select(kD, 2, kD, 3);
    spread.RowDelete();
    EXPECT_EQ(spread.DataS(2), "t4");
    EXPECT_EQ(spread.DataS(3), "t5");
    EXPECT_EQ(Text(kT, 2), "t4");
    EXPECT_EQ(Text(kD, 3), "5.00");
    EXPECT_EQ(spread.iFG(4), 0);
    EXPECT_EQ(Text(kT, 4), "");
    EXPECT_EQ(spread.GetMaxFgRow(), 3);
    EXPECT_EQ(spread.CountFG(), 3);
    EXPECT_EQ(Text(kLabel, 4), "L4");

    Select(kD, kRows - 1, kD, kRows);  // the last rows
    FillRows(kRows);
    spread.RowDelete();
    EXPECT_EQ(spread.iFG(kRows), 0);
    EXPECT_EQ(spread.iFG(kRows - 1), 0);
    EXPECT_EQ(Text(kD, kRows), "");
    EXPECT_EQ(Text(kT, kRows - 1), "");
}

// The text column of every grid row; each row shows what its store holds.
std::vector<std::string> SpreadInTest::TextColumn() {
    std::vector<std::string> texts;
    for (int row = 1; row <= grid.MaxRows(); ++row) {
        EXPECT_EQ(Text(kT, row), spread.iFG(row) != 0 ? spread.DataS(row) : "") << "row " << row;
        texts.push_back(Text(kT, row));
    }
    return texts;
}

TEST_F(SpreadInTest, RowInsertNeverLosesARowWithData) {
    using Rows = std::vector<std::string>;
    struct Case {
        const char* name;
        int filled;  // rows 1..filled hold t1, t2, ...
        int row1, row2;
        Rows after;
    };
    const Case cases[] = {
        {"rows pushed off the end grow the grid",
         6,
         2,
         3,
         {"t1", "", "", "t2", "t3", "t4", "t5", "t6"}},
        {"a whole column inserts one row at the top",
         6,
         1,
         kRows,
         {"", "t1", "t2", "t3", "t4", "t5", "t6"}},
        {"blank rows at the end make room", 3, 2, 3, {"t1", "", "", "t2", "t3", ""}},
        {"below the data nothing moves", 3, 5, 6, {"t1", "t2", "t3", "", "", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        grid.SetMaxRows(kRows);
        spread.ResetSpread(&grid);
        for (int row = 1; row <= kRows; ++row)
            spread.iFG(row, 0);
        FillRows(c.filled);
        Select(kT, c.row1, kT, c.row2);
        spread.RowInsort();
        EXPECT_EQ(TextColumn(), c.after);
        EXPECT_EQ(spread.CountFG(), c.filled);
    }
    EXPECT_EQ(services.beeps, 0);
}

// A click on a column header selects every row of the column; an insert
// there makes room for one row and keeps the rest.
TEST_F(SpreadInTest, RowInsertAfterAColumnHeaderClickKeepsEveryRow) {
    FillRows(kRows);
    grid.resize(400, 300);
    grid.show();
    QHeaderView* header = grid.horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(kT - 1) + 5, 5));
    SpreadBlock sel = grid.SelBlock();
    ASSERT_EQ(std::vector<int>({sel.row1, sel.row2}), std::vector<int>({1, kRows}));
    spread.RowInsort();
    EXPECT_EQ(TextColumn(), (std::vector<std::string>{"", "t1", "t2", "t3", "t4", "t5", "t6"}));
}

TEST_F(SpreadInTest, PastesNeverDropRowsAndPasteWhatFitsOfWiderBlocks) {
    struct Case {
        const char* name;
        const char* clipboard;
        bool rowPaste;
        int col, row;  // the one selected cell
        int gridRows;
        int beeps;
        std::vector<std::string> lastRow;  // the texts of the grid's last row, columns 1..3
    };
    const Case cases[] = {
        {"row paste below the last row",
         "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n",
         true,
         kD,
         1,
         8,
         0,
         {"8.00", "", ""}},
        {"cell paste below the last row",
         "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n",
         false,
         kD,
         3,
         10,
         0,
         {"8.00", "", ""}},
        {"cell paste wider than the grid",
         "1\t2\tx\ty\tz\r\n3\t4\r\n",
         false,
         kD,
         kRows,
         kRows + 1,
         1,
         {"3.00", "4.0", ""}},
        {"row paste wider than the grid",
         "1\t2\tx\ty\tz\r\n",
         true,
         kL,
         kRows,
         kRows,
         1,
         {"1.00", "2.0", "x"}},
        {"a ragged line wider than the first",
         "1\r\n2\t3\r\n",
         false,
         kD,
         kRows - 1,
         kRows,
         1,
         {"2.00", "", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        grid.SetMaxRows(kRows);
        spread.ResetSpread(&grid);
        for (int row = 1; row <= kRows; ++row)
            spread.iFG(row, 0);
        spread.PrtSheet(0);
        services.beeps = 0;
        services.clipboard = c.clipboard;
        Select(c.col, c.row, c.col, c.row);
        if (c.rowPaste)
            spread.ClipRowPaste();
        else
            spread.ClipCelPaste();
        ASSERT_EQ(grid.MaxRows(), c.gridRows);
        EXPECT_EQ(spread.GetMaxFgRow(), c.gridRows);
        EXPECT_EQ(std::vector<std::string>(
                      {Text(kD, c.gridRows), Text(kL, c.gridRows), Text(kT, c.gridRows)}),
                  c.lastRow);
        EXPECT_EQ(services.beeps, c.beeps);
        EXPECT_EQ(Text(kLabel, kRows), "L6") << "labels are the owner's";
    }
}

// The grid grows no further than a saved table can hold: the rest of a
// longer paste is cut with the bell, and an insert that would push a row with
// data past that is refused with the bell.
TEST_F(SpreadInTest, GridsGrowNoFurtherThanASavedTableCanHold) {
    std::string lines;
    for (int i = 0; i < 4; ++i)
        lines += "9\r\n";
    for (bool rowPaste : {true, false}) {
        SCOPED_TRACE(rowPaste ? "row paste" : "cell paste");
        grid.SetMaxRows(kMaxTableRows - 2);
        spread.ResetSpread(&grid);
        services.beeps = 0;
        services.clipboard = lines;
        Select(kD, kMaxTableRows - 2, kD, kMaxTableRows - 2);
        if (rowPaste)
            spread.ClipRowPaste();
        else
            spread.ClipCelPaste();
        EXPECT_EQ(grid.MaxRows(), kMaxTableRows);
        EXPECT_EQ(Text(kD, kMaxTableRows), "9.00");
        EXPECT_EQ(services.beeps, 1);
    }

    services.beeps = 0;
    Select(kT, 1, kT, 1);
    spread.RowInsort();
    EXPECT_EQ(services.beeps, 1);
    EXPECT_EQ(grid.MaxRows(), kMaxTableRows);
    EXPECT_EQ(Text(kD, kMaxTableRows), "9.00") << "the last row stays where it was";
}

TEST_F(SpreadInTest, UnderCopyWritesTheFirstRowIntoTheOthers) {
    FillRows(1);
    Select(kD, 1, kL, 3);
    spread.UnderCopy();
    for (int row = 2; row <= 3; ++row) {
        EXPECT_DOUBLE_EQ(spread.DataD(1, row), 1);
        EXPECT_EQ(spread.DataL(1, row), 1);
        EXPECT_EQ(spread.iFG(row), 1);
        EXPECT_EQ(Text(kT, row), "") << "columns outside the selection are not copied";
    }

    Select(kD, 4, kD, 4);  // one row: nothing
    spread.UnderCopy();
    EXPECT_EQ(spread.iFG(4), 0);
}

TEST_F(SpreadInTest, DeleteAllClearsFromTheCurrentRowOn) {
    FillRows(kRows);
    Select(kL, 3, kL, 3);
    spread.DeleteAll();
    EXPECT_EQ(spread.GetMaxFgRow(), 2);
    EXPECT_EQ(Text(kD, 3), "");
    EXPECT_EQ(Text(kLabel, 3), "L3");
    EXPECT_EQ(Text(kD, 2), "2.00");
}

TEST_F(SpreadInTest, SaveCsvFileWritesHeaderAndRowsWithData) {
    grid.SetText(0, 0, "No");
    grid.SetText(kD, 0, "深度");
    grid.SetText(kL, 0, "N");
    grid.SetText(kT, 0, "土質");
    grid.SetText(kLabel, 0, "備考");
    FillRows(1);
    spread.iFG(3, 1);
    spread.DataS(3, "a\"b");
    spread.PrtSheet(3);
    std::filesystem::path path = std::filesystem::path(QM_TEST_OUTPUT_DIR) / "ui-grid-export.csv";
    ASSERT_TRUE(spread.SaveCsvFile(path.string()));
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(Cp932ToUtf8(bytes.str()),
              "No,\"深度\",\"N\",\"土質\",\"備考\"\r\n"
              "1,1.00,0.1,\"t1\",\"L1\"\r\n"
              "3,,,\"a\"\"b\",\"L3\"\r\n");

    EXPECT_FALSE(spread.SaveCsvFile("/nonexistent-folder/x.csv"));
}

TEST_F(SpreadInTest, ResetSpreadKeepsTheRowsThatRemain) {
    FillRows(kRows);
    grid.SetMaxRows(kRows + 2);
    spread.ResetSpread(&grid);
    EXPECT_EQ(spread.DataS(kRows), "t6");
    EXPECT_EQ(spread.iFG(kRows + 2), 0);
    grid.SetMaxRows(3);
    spread.ResetSpread(&grid);
    EXPECT_EQ(spread.GetMaxFgRow(), 3);
    EXPECT_THROW(spread.iFG(4), std::out_of_range);
}

TEST_F(SpreadInTest, IndexesOutsideTheStoresThrow) {
    EXPECT_THROW(spread.DataD(2, 1), std::out_of_range);
    EXPECT_THROW(spread.DataL(0, 1), std::out_of_range);
    EXPECT_THROW(spread.DataS(kRows + 1), std::out_of_range);
    EXPECT_THROW(spread.iFG(1, 256), std::out_of_range);
    EXPECT_THROW(spread.CreateCell(1, -1, 5, 0, 1, 4), std::out_of_range);
    clsSpreadIn noText(services);
    noText.SetSpread(&grid, 0, 1, 0);
    EXPECT_THROW(noText.DataS(1), std::out_of_range);
}

TEST_F(SpreadInTest, SizesAddUpColumnsRowsAndBorders) {
    grid.setColumnWidth(kD - 1, 40);
    grid.setColumnWidth(kL - 1, 60);
    double tpp = grid.TwipsPerPixelX();
    int border = grid.BorderWidthTwips();
    EXPECT_EQ(spread.CellSumWidth(kD, kL), static_cast<int>(std::nearbyint(40 * tpp)) +
                                               static_cast<int>(std::nearbyint(60 * tpp)) +
                                               2 * border);
    int width = grid.ScrollBarWidthTwips() + 6 * border;
    for (int col = 0; col <= 4; ++col)
        width += grid.ColWidthTwips(col);
    EXPECT_EQ(spread.MaxWidth(), width);
    EXPECT_GT(spread.MaxHeight(10), spread.MaxHeight(5));

    // A header row of fixed height counts with that height.
    grid.horizontalHeader()->setFixedHeight(50);
    grid.setRowHeight(0, 20);
    double tppY = grid.TwipsPerPixelY();
    EXPECT_EQ(spread.MaxHeight(1), static_cast<int>(std::nearbyint(50 * tppY)) +
                                       static_cast<int>(std::nearbyint(20 * tppY)) +
                                       grid.ScrollBarHeightTwips() + 3 * grid.BorderHeightTwips());
}

// The grid reports moves of its current cell; wired to the binding, a refused
// value holds the cursor in its cell.
TEST_F(SpreadInTest, GridLeaveCellEventsDriveTheBinding) {
    std::vector<int> acts;
    QObject::connect(&grid, &SpreadGrid::LeaveCell, [&](int col, int row, int newCol, int newRow) {
        int act = 0;
        spread.EventLeaveCell(col, row, newCol, newRow, act);
        acts.push_back(act);
    });
    grid.SetActiveCell(kD, 1);
    grid.SetText(kD, 1, "500");
    grid.setCurrentCell(0, kL - 1);
    EXPECT_EQ(grid.ActiveCol(), kD);
    EXPECT_EQ(grid.ActiveRow(), 1);
    EXPECT_EQ(services.beeps, 1);

    grid.SetText(kD, 1, "50");
    grid.setCurrentCell(1, kD - 1);
    EXPECT_EQ(grid.ActiveRow(), 2);
    EXPECT_THAT(acts, ::testing::ElementsAre(0, 1));
    EXPECT_EQ(Text(kD, 1), "50.00");
}

// A refused value holds the cursor against a mouse click too; the selection,
// where the Edit commands work, stays with the cursor, also while dragging.
TEST_F(SpreadInTest, MouseClickHeldInARefusedCellKeepsTheSelectionThere) {
    ShowWithLeaveCheck();
    grid.setFocus();
    grid.SetActiveCell(kD, 1);
    grid.SetText(kD, 1, "500");
    QPoint target = grid.visualItemRect(grid.item(2, kL - 1)).center();
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, target);
    QTest::mouseMove(grid.viewport(), grid.visualItemRect(grid.item(3, kT - 1)).center());
    EXPECT_EQ(services.beeps, 1);
    EXPECT_EQ(grid.ActiveCol(), kD);
    EXPECT_EQ(grid.ActiveRow(), 1);
    SpreadBlock sel = grid.SelBlock();
    EXPECT_EQ(std::vector<int>({sel.col1, sel.row1, sel.col2, sel.row2}),
              std::vector<int>({kD, 1, kD, 1}));
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, target);

    grid.SetText(kD, 1, "5");
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, target);
    EXPECT_EQ(grid.ActiveCol(), kL);
    EXPECT_EQ(grid.ActiveRow(), 3);
    EXPECT_EQ(grid.SelBlock().row1, 3);
    EXPECT_EQ(Text(kD, 1), "5.00");
}

TEST(SpreadGrid, AFocusedGridIsTakenDownSafely) {
    EnsureQtApplication();
    auto* grid = new SpreadGrid;
    grid->SetMaxCols(2);
    grid->SetMaxRows(2);
    grid->show();
    grid->activateWindow();
    grid->setFocus();
    grid->SetActiveCell(1, 1);
    QApplication::processEvents();
    delete grid;
}

}  // namespace
