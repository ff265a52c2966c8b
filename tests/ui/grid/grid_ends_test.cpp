// The keys that move the cursor at the ends of the data-entry grids: the N-value
// grid, the soil grid and the soil-name definitions dialog's grid. A key never
// carries the cursor round from one end of a grid to the other, where the next
// typed value would overwrite a row the user does not see; at the bottom of a
// grid whose last row holds data it adds a row, so that a long table can be
// typed on.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/project_file.h"
#include "core/settings.h"
#include "core/soil_names.h"
#include "sheets/sheet_context.h"
#include "ui/dialogs/dialog_test_support.h"
#include "ui/dialogs/frmSNDef.h"
#include "ui/example_boring.h"
#include "ui/grid/clsSpreadIn.h"
#include "ui/grid/spread_grid.h"
#include "ui/main_window/frmMain.h"
#include "ui/platform/fake_platform_services.h"

namespace {

constexpr const char* kTableFull = "これ以上行を増やせません";

// Keys typed where the focus is: in a grid the first opens the cell's editor.
// A character that no key names (a kanji from an input method) comes as its
// text alone.
void TypeKeys(const QString& text) {
    for (QChar ch : text) {
        if (ch.unicode() < 0x80) {
            QTest::keyClicks(QApplication::focusWidget(), QString(ch));
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(QApplication::focusWidget(), &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(QApplication::focusWidget(), &release);
    }
}

void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    QApplication::processEvents();
}

// What a grid row shows, cell by cell.
std::vector<QString> RowTexts(const SpreadGrid& grid, int row) {
    std::vector<QString> texts;
    for (int col = 1; col <= grid.MaxCols(); ++col)
        texts.push_back(grid.Text(col, row));
    return texts;
}

int LastShownColumn(const SpreadGrid& grid) {
    for (int col = grid.MaxCols(); col >= 1; --col)
        if (!grid.isColumnHidden(col - 1))
            return col;
    return 1;
}

class GridEnds : public ::testing::Test {
  public:
    void SetUp() override {
        EnsureQtApplication();
        NewDocument(doc);
        SetDefaultSoilNames(settings);
    }

    // The main window over the example boring, shown and active.
    void OpenMainWindow(const Document& boring = ExampleBoring()) {
        dialog.reset();
        form = std::make_unique<frmMain>(doc, settings, canvases, services);
        form->RunModal = [](QDialog&) { return 0; };
        doc = boring;
        form->FormLoad();
        ASSERT_TRUE(ShowActive(*form));
    }

    // The soil-name definitions dialog over the default tables.
    void OpenDefinitions() {
        form.reset();
        dialog = std::make_unique<frmSNDef>(settings, services);
        dialog->SetDialogForm();
        ASSERT_TRUE(ShowActive(*dialog));
    }

    Document doc;
    Settings settings;
    SheetCanvases canvases;
    FakePlatformServices services;
    std::unique_ptr<frmMain> form;
    std::unique_ptr<frmSNDef> dialog;
};

// Where the cursor stands when the key is pressed.
enum class At { FirstCell, LastCell, LastRow };

TEST_F(GridEnds, KeysAtTheEndsStayOrAddARowAndNeverGoRound) {
    struct Grid {
        const char* name;
        std::function<void(GridEnds&)> open;
        std::function<SpreadGrid*(GridEnds&)> grid;
        int firstCol;        // the first column that takes typing
        const char* fill;    // typed into it on the last row, so that the row holds data
        const char* filled;  // what the cell shows then
    };
    const Grid grids[] = {
        {"N-value grid", [](GridEnds& t) { t.OpenMainWindow(); },
         [](GridEnds& t) { return t.form->vaSpreadN; }, 1, "600", "600.00"},
        {"soil grid", [](GridEnds& t) { t.OpenMainWindow(); },
         [](GridEnds& t) { return t.form->vaSpreadS; }, 2, "1", "1.00"},
        {"definitions grid", [](GridEnds& t) { t.OpenDefinitions(); },
         [](GridEnds& t) { return t.dialog->vaSpreadS[frmSNDef::kMainGrid]; }, 1, "砂", "砂"},
    };
    struct Case {
        const char* what;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        At at;
        bool lastRowFull;
        bool typeFill;  // the fill is typed into the cell and left open
        bool grows;     // a row is added and the cursor goes to it
    };
    const Case cases[] = {
        {"Shift+Tab at the first cell", Qt::Key_Backtab, Qt::ShiftModifier, At::FirstCell, false,
         false, false},
        {"Shift+Tab at the first cell of a full grid", Qt::Key_Backtab, Qt::ShiftModifier,
         At::FirstCell, true, false, false},
        {"Up at the first row", Qt::Key_Up, Qt::NoModifier, At::FirstCell, true, false, false},
        {"Tab at the last cell", Qt::Key_Tab, Qt::NoModifier, At::LastCell, false, false, false},
        {"Tab at the last cell of a full grid", Qt::Key_Tab, Qt::NoModifier, At::LastCell, true,
         false, true},
        {"Down at the last row", Qt::Key_Down, Qt::NoModifier, At::LastRow, false, false, false},
        {"Down at the last row of a full grid", Qt::Key_Down, Qt::NoModifier, At::LastRow, true,
         false, true},
        {"Down after typing into the last row", Qt::Key_Down, Qt::NoModifier, At::LastRow, false,
         true, true},
        {"Enter at the last row", Qt::Key_Return, Qt::NoModifier, At::LastRow, false, false, false},
        {"Enter at the last row of a full grid", Qt::Key_Return, Qt::NoModifier, At::LastRow, true,
         false, true},
    };
    for (const Grid& g : grids) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(g.name) + ": " + c.what);
            g.open(*this);
            SpreadGrid* grid = g.grid(*this);
            const int rows = grid->MaxRows();
            grid->setFocus();
            if (c.lastRowFull) {
                grid->SetActiveCell(g.firstCol, rows);
                TypeKeys(QString::fromUtf8(g.fill));
                Press(Qt::Key_Return);
                ASSERT_EQ(grid->Text(g.firstCol, rows).toStdString(), g.filled);
            }
            const std::vector<QString> first = RowTexts(*grid, 1);
            const std::vector<QString> last = RowTexts(*grid, rows);
            const Document before = doc;
            const int col = c.at == At::LastCell ? LastShownColumn(*grid) : g.firstCol;
            const int row = c.at == At::FirstCell ? 1 : rows;
            grid->SetActiveCell(col, row);
            if (c.typeFill)
                TypeKeys(QString::fromUtf8(g.fill));
            services.refusals.clear();

            Press(c.key, c.modifiers);

            EXPECT_EQ(grid->MaxRows(), c.grows ? rows + 1 : rows);
            EXPECT_EQ(grid->ActiveRow(), c.grows ? rows + 1 : row);
            EXPECT_EQ(grid->ActiveCol(), c.grows && c.key == Qt::Key_Tab ? g.firstCol : col);
            EXPECT_TRUE(grid->hasFocus() || grid->isAncestorOf(QApplication::focusWidget()))
                << "the focus stays in the grid";
            EXPECT_EQ(RowTexts(*grid, 1), first) << "the first row is as it was";
            if (c.typeFill) {
                EXPECT_EQ(grid->Text(g.firstCol, rows).toStdString(), g.filled)
                    << "the typed value is taken where it was typed";
            } else {
                EXPECT_EQ(RowTexts(*grid, rows), last) << "the last row is as it was";
                EXPECT_TRUE(doc == before) << "the document is as it was";
            }
            if (c.grows) {
                for (const QString& text : RowTexts(*grid, rows + 1))
                    EXPECT_TRUE(text.isEmpty()) << "the added row is empty";
                // The binding has the row too: a value typed there is taken.
                grid->SetActiveCell(g.firstCol, rows + 1);
                TypeKeys(QString::fromUtf8(g.fill));
                Press(Qt::Key_Return);
                EXPECT_EQ(grid->Text(g.firstCol, rows + 1).toStdString(), g.filled);
            }
            EXPECT_TRUE(services.refusals.empty());
        }
    }
}

// As the user reported them: Ctrl+End, 7, Tab, 9, Return in the N-value grid,
// and Shift+Tab from layer 1's thickness and a typed 3 in the soil grid.
TEST_F(GridEnds, TheReportedKeystrokesLeaveTheFirstRowAndTheLayerCount) {
    OpenMainWindow();
    SpreadGrid* n = form->vaSpreadN;
    n->setFocus();
    n->SetActiveCell(1, 1);
    Press(Qt::Key_End, Qt::ControlModifier);
    ASSERT_EQ(n->ActiveRow(), n->MaxRows());
    TypeKeys(QStringLiteral("7"));
    Press(Qt::Key_Tab);
    TypeKeys(QStringLiteral("9"));
    Press(Qt::Key_Return);
    // The 7 has no depth and is refused where it was typed; so is the 9,
    // typed into the same cell: nothing reaches the boring.
    EXPECT_EQ(n->MaxRows(), 500);
    EXPECT_EQ(doc.nPoints.size(), 20u);
    EXPECT_EQ(n->Text(1, 1).toStdString(), "1.15");
    EXPECT_DOUBLE_EQ(doc.nPoints[0].Depth, 1.15);
    EXPECT_DOUBLE_EQ(doc.nPoints[0].N, 3);

    SpreadGrid* s = form->vaSpreadS;
    s->setFocus();
    s->SetActiveCell(2, 1);
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(s->ActiveRow(), 1);
    TypeKeys(QStringLiteral("3"));
    Press(Qt::Key_Return);
    EXPECT_EQ(doc.layers.size(), 6u);
    for (int row = 7; row <= s->MaxRows(); ++row)
        for (const QString& text : RowTexts(*s, row))
            ASSERT_TRUE(text.isEmpty()) << "row " << row;
}

// A grid at the most rows a table holds adds none: the key is refused with
// a note, and the grid never offers a row past it for typing or pasting.
TEST_F(GridEnds, AtTheTableLimitAKeyOrAPasteAddsNoRowAndSaysSo) {
    SpreadGrid grid;
    clsSpreadIn bind(services);
    grid.SetMaxCols(2);
    grid.SetMaxRows(kMaxTableRows - 1);
    bind.SetSpread(&grid, 0, 2, 0);
    bind.CreateCell(1, -1, 2, 0, 999.99, 6);
    bind.CreateCell(2, -2, 0, 0, 9999, 4);
    QObject::connect(&grid, &SpreadGrid::LeaveCell, [&](int col, int row, int newCol, int newRow) {
        int act = 0;
        bind.EventLeaveCell(col, row, newCol, newRow, act);
    });
    grid.resize(300, 200);
    ASSERT_TRUE(ShowActive(grid));
    grid.setFocus();
    auto typeInto = [&](int row, const char* text) {
        grid.SetActiveCell(1, row);
        TypeKeys(QString::fromUtf8(text));
        Press(Qt::Key_Return);
    };
    typeInto(kMaxTableRows - 1, "5");
    Press(Qt::Key_Down);
    ASSERT_EQ(grid.MaxRows(), kMaxTableRows) << "one row short of the limit, a row is added";
    ASSERT_EQ(grid.ActiveRow(), kMaxTableRows);
    typeInto(kMaxTableRows, "6");
    EXPECT_EQ(bind.iFG(kMaxTableRows), 1);
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Return}) {
        services.refusals.clear();
        grid.SetActiveCell(1, kMaxTableRows);
        Press(key);
        EXPECT_EQ(grid.MaxRows(), kMaxTableRows);
        EXPECT_EQ(grid.ActiveRow(), kMaxTableRows);
        EXPECT_EQ(services.refusals, std::vector<std::string>{kTableFull});
    }
    services.refusals.clear();
    grid.SetActiveCell(2, kMaxTableRows);
    Press(Qt::Key_Tab);
    EXPECT_EQ(grid.MaxRows(), kMaxTableRows);
    EXPECT_EQ(grid.ActiveCol(), 2);
    EXPECT_EQ(services.refusals, std::vector<std::string>{kTableFull});

    // Three rows pasted at the last row: the first is taken, the others have
    // nowhere to go, and the note says so.
    services.refusals.clear();
    services.clipboard = "7\t1\r\n8\t2\r\n9\t3\r\n";
    grid.SetActiveCell(1, kMaxTableRows);
    grid.SelectBlock({1, kMaxTableRows, 1, kMaxTableRows});
    bind.ClipRowPaste();
    EXPECT_EQ(grid.MaxRows(), kMaxTableRows);
    EXPECT_EQ(grid.Text(1, kMaxTableRows).toStdString(), "7.00");
    EXPECT_DOUBLE_EQ(bind.DataD(1, kMaxTableRows), 7);
    EXPECT_EQ(services.refusals, std::vector<std::string>{"入りきらない部分は貼り付けていません"});
}

// The longest boring a file holds fills its grid to the table limit and no
// further: a key at its last row is refused with a note, a paste there keeps
// only what fits, and the boring can still be saved.
TEST_F(GridEnds, ALongestBoringsGridEndsAtTheTableLimit) {
    Document longest = ExampleBoring();
    longest.nPoints.clear();
    for (int i = 1; i <= kMaxTableRows; ++i)
        longest.nPoints.push_back(NPoint{i / 100.0, 10, 30, 0});
    OpenMainWindow(longest);
    SpreadGrid* grid = form->vaSpreadN;
    ASSERT_EQ(grid->MaxRows(), kMaxTableRows);
    grid->setFocus();
    grid->SetActiveCell(2, kMaxTableRows);
    services.refusals.clear();
    Press(Qt::Key_Down);
    EXPECT_EQ(grid->MaxRows(), kMaxTableRows);
    EXPECT_EQ(services.refusals, std::vector<std::string>{kTableFull});

    services.refusals.clear();
    services.clipboard = "400\t7\r\n401\t8\r\n402\t9\r\n";
    grid->SetActiveCell(1, kMaxTableRows);
    grid->SelectBlock({1, kMaxTableRows, 1, kMaxTableRows});
    form->mnuEditPasteRow_Click();
    EXPECT_EQ(grid->MaxRows(), kMaxTableRows);
    EXPECT_EQ(grid->Text(1, kMaxTableRows).toStdString(), "400.00");
    ASSERT_EQ(doc.nPoints.size(), static_cast<size_t>(kMaxTableRows));
    EXPECT_DOUBLE_EQ(doc.nPoints.back().Depth, 400);
    EXPECT_EQ(services.refusals, std::vector<std::string>{"入りきらない部分は貼り付けていません"});
    EXPECT_EQ(UnstorableReason(doc), "");
}

}  // namespace
