// Refusals the user must see where they arise, in the N-value grid, the soil
// grid and the soil-name definitions dialog's grid: a refused value holds the
// cursor also at the last row, a note stands beside the cell it is about even
// when the focus has gone on, a refused or empty command leaves the document
// unchanged, and the keys that leave a row or the grid do so alike everywhere.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
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
#include "ui/platform/qt_platform_services.h"

namespace {

constexpr const char* kNotANumber = "数値を入力してください";
constexpr const char* kNoRowsSelected = "行番号をクリックして行を選んでください";
constexpr const char* kTableFull = "これ以上行を増やせません";
constexpr const char* kPasteRefused = "数値でない値や範囲外の値は貼り付けていません";
constexpr const char* kPasteCut = "入りきらない部分は貼り付けていません";

// Keys typed where the focus is; a character that no key names (a kanji from
// an input method) comes as its text alone.
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

int LastShownColumn(const SpreadGrid& grid) {
    for (int col = grid.MaxCols(); col >= 1; --col)
        if (!grid.isColumnHidden(col - 1))
            return col;
    return 1;
}

bool InGrid(const SpreadGrid& grid) {
    QWidget* focus = QApplication::focusWidget();
    return focus == &grid || grid.isAncestorOf(focus);
}

Document LongestBoring() {
    Document longest = ExampleBoring();
    longest.nPoints.clear();
    for (int i = 1; i <= kMaxTableRows; ++i)
        longest.nPoints.push_back(NPoint{i / 100.0, 10, 30, 0});
    return longest;
}

class GridRefusals : public ::testing::Test {
  public:
    void SetUp() override {
        EnsureQtApplication();
        NewDocument(doc);
        SetDefaultSoilNames(settings);
    }

    void OpenMainWindow(const Document& boring = ExampleBoring()) {
        dialog.reset();
        form = std::make_unique<frmMain>(doc, settings, canvases, services);
        form->RunModal = [](QDialog&) { return 0; };
        doc = boring;
        form->FormLoad();
        ASSERT_TRUE(ShowActive(*form));
    }

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

struct Grid {
    const char* name;
    std::function<void(GridRefusals&)> open;
    std::function<SpreadGrid*(GridRefusals&)> grid;
    int firstCol;      // the first column that takes typing
    const char* fill;  // typed into it on the last row, so that the row holds data
    int numberCol;     // a column that takes numbers only
};

const std::vector<Grid>& Grids() {
    static const std::vector<Grid> grids = {
        {"N-value grid", [](GridRefusals& t) { t.OpenMainWindow(); },
         [](GridRefusals& t) { return t.form->vaSpreadN; }, 1, "600", 2},
        {"soil grid", [](GridRefusals& t) { t.OpenMainWindow(); },
         [](GridRefusals& t) { return t.form->vaSpreadS; }, 2, "1", 2},
        {"definitions grid", [](GridRefusals& t) { t.OpenDefinitions(); },
         [](GridRefusals& t) { return t.dialog->vaSpreadS[frmSNDef::kMainGrid]; }, 1, "砂", 2},
    };
    return grids;
}

// At the last row, one that holds data, a key that would add a row first
// takes the value being left: a refused one holds the cursor in its cell as
// it does on every other row, and Shift (which extends the selection) never
// adds a row.
TEST_F(GridRefusals, AtTheLastRowARefusedValueOrShiftHoldsTheCursor) {
    enum class In { NumberCol, LastCol };
    struct Case {
        const char* what;
        In in;
        const char* typed;  // left open in the cell; null: nothing typed
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool refused;
    };
    const Case cases[] = {
        {"abc then Down", In::NumberCol, "abc", Qt::Key_Down, Qt::NoModifier, true},
        {"abc then Tab at the last cell", In::LastCol, "abc", Qt::Key_Tab, Qt::NoModifier, true},
        {"Shift+Down", In::NumberCol, nullptr, Qt::Key_Down, Qt::ShiftModifier, false},
        {"5 then Shift+Down", In::NumberCol, "5", Qt::Key_Down, Qt::ShiftModifier, false},
    };
    for (const Grid& g : Grids()) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(g.name) + ": " + c.what);
            g.open(*this);
            SpreadGrid* grid = g.grid(*this);
            const int rows = grid->MaxRows();
            grid->setFocus();
            grid->SetActiveCell(g.firstCol, rows);
            TypeKeys(QString::fromUtf8(g.fill));
            Press(Qt::Key_Return);
            const int col = c.in == In::LastCol ? LastShownColumn(*grid) : g.numberCol;
            grid->SetActiveCell(col, rows);
            const QString shown = grid->Text(col, rows);
            if (c.typed != nullptr)
                TypeKeys(QString::fromUtf8(c.typed));
            services.refusals.clear();
            services.refusedBeside.clear();

            Press(c.key, c.modifiers);

            EXPECT_EQ(grid->MaxRows(), rows) << "no row is added";
            EXPECT_EQ(grid->ActiveRow(), rows);
            EXPECT_EQ(grid->ActiveCol(), col);
            if (c.refused) {
                EXPECT_EQ(grid->Text(col, rows), shown) << "the cell shows what it holds";
                EXPECT_EQ(services.refusals, std::vector<std::string>{kNotANumber});
                EXPECT_EQ(services.refusedBeside, std::vector<QWidget*>{grid});
            } else {
                EXPECT_TRUE(services.refusals.empty());
            }
        }
    }
}

// Shift+Tab at a row's first cell that takes typing goes to the last cell of
// the row above, and Tab from a row's last cell to the next row's first one,
// in every grid: the soil grid's computed depth column is passed over.
TEST_F(GridRefusals, TabAndShiftTabLeaveTheRowAlikeInEveryGrid) {
    for (const Grid& g : Grids()) {
        for (bool editing : {false, true}) {
            SCOPED_TRACE(std::string(g.name) + (editing ? ", editing" : ""));
            g.open(*this);
            SpreadGrid* grid = g.grid(*this);
            grid->setFocus();
            grid->SetActiveCell(g.firstCol, 3);
            if (editing)
                Press(Qt::Key_F2);
            Press(Qt::Key_Backtab, Qt::ShiftModifier);
            EXPECT_EQ(grid->ActiveRow(), 2);
            EXPECT_EQ(grid->ActiveCol(), LastShownColumn(*grid));
            if (editing)
                Press(Qt::Key_F2);
            Press(Qt::Key_Tab);
            EXPECT_EQ(grid->ActiveRow(), 3);
            EXPECT_EQ(grid->ActiveCol(), g.firstCol);
            EXPECT_TRUE(InGrid(*grid));
        }
    }
}

// Ctrl+Tab and Ctrl+Shift+Tab take the focus out of the grid, to the next
// and the previous control, with and without an open editor; a value typed
// there is taken as any leave takes it.
TEST_F(GridRefusals, CtrlTabLeavesTheGridAndTakesTheValue) {
    for (const Grid& g : Grids()) {
        for (Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers(Qt::ControlModifier),
                                                Qt::ControlModifier | Qt::ShiftModifier}) {
            for (bool typed : {false, true}) {
                SCOPED_TRACE(std::string(g.name) + (modifiers & Qt::ShiftModifier ? " back" : "") +
                             (typed ? ", typed" : ""));
                g.open(*this);
                SpreadGrid* grid = g.grid(*this);
                grid->setFocus();
                grid->SetActiveCell(g.numberCol, 1);
                if (typed)
                    TypeKeys(QStringLiteral("7"));
                const Qt::Key key = modifiers & Qt::ShiftModifier ? Qt::Key_Backtab : Qt::Key_Tab;
                Press(key, modifiers);
                EXPECT_FALSE(InGrid(*grid)) << "the focus left the grid";
                EXPECT_NE(QApplication::focusWidget(), nullptr);
                EXPECT_EQ(grid->ActiveRow(), 1);
                EXPECT_EQ(grid->ActiveCol(), g.numberCol);
                if (typed) {
                    EXPECT_EQ(grid->Text(g.numberCol, 1).left(1), QStringLiteral("7"));
                }
                if (typed && form) {
                    EXPECT_TRUE(form->IsChanged);
                }
            }
        }
    }
}

// A value refused as the focus leaves a grid is told beside the grid's cell,
// not beside the control that takes the focus.
TEST_F(GridRefusals, AValueRefusedAsTheFocusLeavesIsToldBesideItsCell) {
    struct Case {
        const char* what;
        bool soil;
        int col;
        int row;
        const char* typed;
        const char* note;
        int noteCol;  // the cell the note stands under
    };
    const Case cases[] = {
        {"abc in N", false, 2, 3, "abc", kNotANumber, 2},
        {"an N without depth", false, 2, 21, "7", "先に深度を入力してください", 1},
        {"abc as a thickness", true, 2, 2, "abc", kNotANumber, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OpenMainWindow();
        SpreadGrid* grid = c.soil ? form->vaSpreadS : form->vaSpreadN;
        grid->setFocus();
        grid->SetActiveCell(c.col, c.row);
        TypeKeys(QString::fromUtf8(c.typed));
        services.refusals.clear();
        form->txtMagu->setFocus();
        QApplication::processEvents();
        ASSERT_EQ(services.refusals, std::vector<std::string>{c.note});
        EXPECT_EQ(services.refusedBeside.back(), grid);
        EXPECT_EQ(services.refusedAreas.back(), grid->CellRect(c.noteCol, c.row));
    }
}

// A refused or empty command leaves the document as it was and does not mark
// it changed, so that no save question follows; one that changes the rows does.
TEST_F(GridRefusals, ARefusedOrEmptyCommandDoesNotMarkTheDocumentChanged) {
    using Command = void (frmMain::*)();
    struct Case {
        const char* what;
        bool soil;
        bool longest;        // the N-value grid at the most rows a table holds
        SpreadBlock select;  // col1 -1: the whole column 2
        const char* clipboard;
        Command command;
        const char* note;  // null: none
        bool changed;
    };
    const SpreadBlock column{2, -1, 2, -1};
    const Case cases[] = {
        {"行削除 on a column, N", false, false, column, "", &frmMain::mnuEditDeleteRow_Click,
         kNoRowsSelected, false},
        {"行削除 on a column, soil", true, false, column, "", &frmMain::mnuEditDeleteRow_Click,
         kNoRowsSelected, false},
        {"行クリア on a column, N", false, false, column, "", &frmMain::mnuEditClearRow_Click,
         kNoRowsSelected, false},
        {"以降すべて削除 on a column, soil", true, false, column, "",
         &frmMain::mnuEditDeleteUnderAll_Click, kNoRowsSelected, false},
        {"a paste with every cell refused, N",
         false,
         false,
         {2, 1, 2, 1},
         "abc\r\nxyz\r\n",
         &frmMain::mnuEditPaste_Click,
         kPasteRefused,
         false},
        {"a paste with every cell refused, soil",
         true,
         false,
         {2, 1, 2, 1},
         "abc\r\n",
         &frmMain::mnuEditPaste_Click,
         kPasteRefused,
         false},
        {"行挿入 at the full table",
         false,
         true,
         {1, 5, 1, 5},
         "",
         &frmMain::mnuEditInsertRow_Click,
         kTableFull,
         false},
        {"行削除 of a row",
         false,
         false,
         {1, 5, 1, 5},
         "",
         &frmMain::mnuEditDeleteRow_Click,
         nullptr,
         true},
        {"a paste of a number",
         false,
         false,
         {2, 1, 2, 1},
         "9\r\n",
         &frmMain::mnuEditPaste_Click,
         nullptr,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OpenMainWindow(c.longest ? LongestBoring() : ExampleBoring());
        SpreadGrid* grid = c.soil ? form->vaSpreadS : form->vaSpreadN;
        grid->setFocus();
        grid->SetActiveCell(c.select.col1, c.select.row1 < 0 ? 1 : c.select.row1);
        grid->SelectBlock(c.select);
        services.clipboard = c.clipboard;
        services.refusals.clear();
        form->IsChanged = false;
        const Document before = doc;
        (form.get()->*c.command)();
        EXPECT_EQ(form->IsChanged, c.changed);
        EXPECT_EQ(doc.nPoints == before.nPoints && doc.layers == before.layers, !c.changed);
        if (c.note != nullptr) {
            EXPECT_EQ(services.refusals, std::vector<std::string>{c.note});
        } else {
            EXPECT_TRUE(services.refusals.empty());
        }
    }
}

// A paste that has both a refused cell and a part that does not fit says
// both, by cells and by rows.
TEST_F(GridRefusals, APasteWithARefusedCellAndACutSaysBoth) {
    struct Case {
        const char* what;
        bool rows;  // 行貼り付け; else 貼り付け
        const char* clipboard;
    };
    const Case cases[] = {
        {"cells wider than the grid", false, "abc\t1\t9\r\n"},
        {"rows wider than the grid", true, "abc\t1\t9\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SpreadGrid grid;
        clsSpreadIn bind(services);
        grid.SetMaxCols(2);
        grid.SetMaxRows(5);
        bind.SetSpread(&grid, 0, 2, 0);
        bind.CreateCell(1, -1, 2, 0, 999.99, 6);
        bind.CreateCell(2, -2, 0, 0, 9999, 4);
        grid.SetActiveCell(1, 2);
        grid.SelectBlock({1, 2, 1, 2});
        services.clipboard = c.clipboard;
        services.refusals.clear();
        if (c.rows)
            bind.ClipRowPaste();
        else
            bind.ClipCelPaste();
        EXPECT_DOUBLE_EQ(bind.DataD(2, 2), 1) << "the rest of the row is taken";
        EXPECT_EQ(services.refusals,
                  std::vector<std::string>{std::string(kPasteRefused) + "\n" + kPasteCut});
    }
}

// Every way of choosing 行挿入 at a full table shows its note in the real
// services: the right-button menu, the Edit menu by Alt+E I, the menu item.
TEST(GridRefusalNote, InsertRowAtAFullTableShowsItsNoteWhicheverWayItIsChosen) {
    EnsureQtApplication();
    enum class Way { RightButtonMenu, AltEI, Trigger };
    for (Way way : {Way::RightButtonMenu, Way::AltEI, Way::Trigger}) {
        SCOPED_TRACE(static_cast<int>(way));
        Document doc = LongestBoring();
        Settings settings;
        SetDefaultSoilNames(settings);
        SheetCanvases canvases;
        QtPlatformServices services;
        frmMain form(doc, settings, canvases, services);
        services.SetParentWindow(&form);
        form.RunModal = [](QDialog&) { return 0; };
        form.FormLoad();
        ASSERT_TRUE(ShowActive(form));
        SpreadGrid* grid = form.vaSpreadN;
        grid->setFocus();
        grid->SetActiveCell(1, 5);
        QApplication::processEvents();
        if (way == Way::RightButtonMenu) {
            form.vaSpreadN_MouseDown(Qt::RightButton, grid->mapToGlobal(QPoint(40, 40)));
            QTest::qWait(50);
            QWidget* menu = QApplication::activePopupWidget();
            ASSERT_NE(menu, nullptr);
            QTest::keyClick(menu, Qt::Key_I);
        } else if (way == Way::AltEI) {
            QTest::keyClick(&form, Qt::Key_E, Qt::AltModifier);
            QTest::qWait(50);
            QWidget* menu = QApplication::activePopupWidget();
            ASSERT_NE(menu, nullptr);
            QTest::keyClick(menu, Qt::Key_I);
        } else {
            form.mnuEditInsertRow->trigger();
        }
        QTest::qWait(50);
        QWidget* note = ShownRefusalNote();
        ASSERT_NE(note, nullptr);
        EXPECT_TRUE(note->isVisible());
        EXPECT_EQ(note->window(), &form);
        EXPECT_EQ(grid->MaxRows(), kMaxTableRows);
        EXPECT_FALSE(form.IsChanged);
        QTest::keyClick(grid, Qt::Key_Down);
        EXPECT_EQ(ShownRefusalNote(), nullptr);
    }
}

}  // namespace
