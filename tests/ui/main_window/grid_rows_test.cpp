// What a row command leaves in the input grids and the soil-name definitions:
// a row the grid shows empty holds nothing that a value typed into it later
// brings back, a row moved or copied as a row takes its whole record along
// (the columns switched off included), a long stored name read back unchanged
// stays whole, every new row starts as an inserted one does, and a pasted row
// whose name is refused keeps the row it lands on. Each case is read from the
// file the document would be saved as.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/codepage.h"
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

constexpr const char* kDepthFirst = "先に深度を入力してください";
constexpr const char* kRowNotTaken = "保存できない文字を含む行は貼り付けていません";
// A character CP932 cannot hold.
constexpr const char* kUnstorable = "\xF0\xA0\xAE\xB7";

// Keys typed where the focus is: in a grid the first opens the cell's editor.
// A character that no key names comes as its text alone.
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

void Press(Qt::Key key) {
    QTest::keyClick(QApplication::focusWidget(), key);
    QApplication::processEvents();
}

// A click on a cell, as the user makes it.
void ClickCell(SpreadGrid& grid, int col, int row) {
    grid.scrollTo(grid.model()->index(row - 1, col - 1));
    const QRect rect = grid.visualRect(grid.model()->index(row - 1, col - 1));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, rect.center());
    QApplication::processEvents();
}

// The lines of a section of the file, the count line after its head skipped
// for the N values and kept for the layers as the file has it.
std::vector<std::string> Section(const std::string& text, const std::string& head) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '@') {
            inside = line == head;
            continue;
        }
        if (inside)
            lines.push_back(line);
    }
    return lines;
}

class GridRows : public ::testing::Test {
  public:
    void SetUp() override {
        EnsureQtApplication();
        NewDocument(doc);
        SetDefaultSoilNames(settings);
    }

    void OpenMainWindow(const Document& boring = ExampleBoring()) {
        form = std::make_unique<frmMain>(doc, settings, canvases, services);
        form->RunModal = [](QDialog&) { return 0; };
        doc = boring;
        form->FormLoad();
        ASSERT_TRUE(ShowActive(*form));
    }

    // The file's N-value row `row` (1-based) and layer line `row`.
    std::string FileText() const { return Cp932ToUtf8(ProjectFileBytes(doc)); }
    std::string NLine(int row) const {
        std::vector<std::string> lines = Section(FileText(), "@Ｎ値データ");
        return static_cast<size_t>(row) < lines.size() ? lines[static_cast<size_t>(row)] : "-";
    }
    std::string LayerLine(int row) const {
        std::vector<std::string> lines = Section(FileText(), "@地層データ");
        return static_cast<size_t>(row) < lines.size() ? lines[static_cast<size_t>(row)] : "-";
    }
    // Selects whole rows, as a click on the row headers does.
    void SelectRows(SpreadGrid* grid, int row1, int row2) {
        grid->setFocus();
        grid->SetActiveCell(1, row1);
        grid->SelectBlock({1, row1, grid->MaxCols(), row2});
    }

    Document doc;
    Settings settings;
    SheetCanvases canvases;
    FakePlatformServices services;
    std::unique_ptr<frmMain> form;
};

// A row a command emptied takes a value typed into it as a fresh row does:
// without a depth an N is refused, and nothing of the old row returns.
TEST_F(GridRows, AnEmptiedRowBringsNothingBack) {
    struct Case {
        const char* what;
        std::function<void(GridRows&)> command;
        int col, row;  // the cell then clicked
        const char* typed;
        Qt::Key key;
        const char* refusal;   // "" for none
        const char* fileLine;  // the N-value line of that row
    };
    const Case cases[] = {
        {"row clear of row 5, N 7",
         [](GridRows& t) {
             t.SelectRows(t.form->vaSpreadN, 5, 5);
             t.form->mnuEditClearRow_Click();
         },
         2, 5, "7", Qt::Key_Return, kDepthFirst, "-1,0,30,"},
        {"delete to the end at row 15, Tab from the empty depth",
         [](GridRows& t) {
             t.SelectRows(t.form->vaSpreadN, 15, 15);
             t.form->mnuEditDeleteUnderAll_Click();
         },
         1, 15, "", Qt::Key_Tab, "", "15.15,0,30,"},
        {"rows 3-4 cut, pasted at 10, row 1 deleted, N 7 in row 2",
         [](GridRows& t) {
             t.SelectRows(t.form->vaSpreadN, 3, 4);
             t.form->mnuEditCutRow_Click();
             t.SelectRows(t.form->vaSpreadN, 10, 10);
             t.form->mnuEditPasteRow_Click();
             t.SelectRows(t.form->vaSpreadN, 1, 1);
             t.form->mnuEditDeleteRow_Click();
         },
         2, 2, "7", Qt::Key_Return, kDepthFirst, "-1,0,30,"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OpenMainWindow();
        c.command(*this);
        services.refusals.clear();
        ClickCell(*form->vaSpreadN, c.col, c.row);
        TypeKeys(QString::fromUtf8(c.typed));
        Press(c.key);
        EXPECT_EQ(NLine(c.row), c.fileLine);
        const std::vector<std::string> told =
            *c.refusal != 0 ? std::vector<std::string>{c.refusal} : std::vector<std::string>{};
        EXPECT_EQ(services.refusals, told);
    }
    // The rows moved by the cut stand where they were pasted, one up.
    EXPECT_EQ(NLine(9), "3.15,6,30,");
    EXPECT_EQ(NLine(10), "4.15,8,30,");

    // The soil grid: a cleared layer given a name holds that name alone, and
    // the layers below keep their depths.
    OpenMainWindow();
    SelectRows(form->vaSpreadS, 3, 3);
    form->mnuEditClearRow_Click();
    ClickCell(*form->vaSpreadS, 3, 3);
    TypeKeys("X");
    Press(Qt::Key_Return);
    EXPECT_EQ(doc.layers[2], (LayerRecord{.SoilName = "X"}));
    EXPECT_THAT(LayerLine(3), ::testing::StartsWith("5,0,\"X\",0,"));
    EXPECT_THAT(LayerLine(4), ::testing::StartsWith("7.5,2.5,\"シルト\",400,"));
}

// A layer moved or copied as a row keeps the constant whose column is switched
// off: fine sand's Vs 250 goes with it, onto medium sand (Vs 400) and onto an
// empty row. Its N-value counterpart: the hidden FC of a point.
TEST_F(GridRows, ARowMovedOrCopiedTakesItsHiddenColumnsAlong) {
    Document boring = ExampleBoring();
    boring.layers[2].Vs = 250;
    boring.layers[4].Vs = 400;
    ASSERT_EQ(boring.layerColumnUsed[7], 0);
    boring.nPoints[1].FC = 12;
    ASSERT_EQ(boring.fcInputMode, 0);
    struct Case {
        const char* what;
        SpreadGrid* frmMain::*grid;
        void (frmMain::*copy)();
        int from, to;
        std::function<std::string(const GridRows&)> line;
        const char* expected;
    };
    const Case cases[] = {
        {"fine sand cut, pasted over medium sand", &frmMain::vaSpreadS,
         &frmMain::mnuEditCutRow_Click, 3, 5, [](const GridRows& t) { return t.LayerLine(5); },
         "12,4.5,\"細砂\",700,18.5,8,0,0,,,250,,,,,,,"},
        {"fine sand copied onto the empty row 7", &frmMain::vaSpreadS,
         &frmMain::mnuEditCopyRow_Click, 3, 7, [](const GridRows& t) { return t.LayerLine(7); },
         "24.5,4.5,\"細砂\",700,18.5,8,0,0,,,250,,,,,,,"},
        {"point 2 cut, pasted over point 6", &frmMain::vaSpreadN, &frmMain::mnuEditCutRow_Click, 2,
         6, [](const GridRows& t) { return t.NLine(6); }, "2.15,4,30,12"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OpenMainWindow(boring);
        SpreadGrid* grid = form.get()->*c.grid;
        SelectRows(grid, c.from, c.from);
        (form.get()->*c.copy)();
        SelectRows(grid, c.to, c.to);
        form->mnuEditPasteRow_Click();
        EXPECT_EQ(c.line(*this), c.expected);
    }
}

// Rows copied or cut stay whole records when the grid is laid out anew before
// the paste (a column switched on or off, another document): the paste gives
// the target row the copied layer whole, never the copied texts in columns
// that now mean other constants, nor the target's own hidden values.
TEST_F(GridRows, CopiedRowsStayWholeWhenTheGridIsLaidOutAnewBeforeThePaste) {
    Document boring = ExampleBoring();
    boring.layers[2].Vs = 250;
    boring.layers[4].Vs = 400;
    boring.layers[4].nu = 0.45;
    boring.nPoints[1].FC = 12;
    boring.nPoints[5].FC = 40;
    // Layer 5's line: its bottom depth, then the layer as the file holds it.
    const std::string fineSandAt5 = "16.5,4.5,\"細砂\",700,18.5,8,0,0,,,250,,,,,,,";
    const std::string fineSandCutTo5 = "12,4.5,\"細砂\",700,18.5,8,0,0,,,250,,,,,,,";
    struct Case {
        const char* what;
        SpreadGrid* frmMain::*grid;
        void (frmMain::*copy)();
        std::function<void(frmMain&)> between;
        bool cellPaste;  // Ctrl+V at column 1 rather than 行貼り付け
        int from, to;
        std::function<std::string(const GridRows&)> line;
        std::string expected;
    };
    const auto soilColumn = [](int k, bool on) {
        return [k, on](frmMain& w) {
            w.tabSoData->setCurrentIndex(1);
            w.chkSodata[static_cast<size_t>(k)]->setChecked(on);
            w.tabSoData->setCurrentIndex(0);
        };
    };
    const auto layer5 = [](const GridRows& t) { return t.LayerLine(5); };
    const Case cases[] = {
        {"fine sand copied, γ switched off", &frmMain::vaSpreadS, &frmMain::mnuEditCopyRow_Click,
         soilColumn(1, false), false, 3, 5, layer5, fineSandAt5},
        {"fine sand cut, Vs switched on", &frmMain::vaSpreadS, &frmMain::mnuEditCutRow_Click,
         soilColumn(7, true), false, 3, 5, layer5, fineSandCutTo5},
        {"fine sand copied, ν switched on, pasted at column 1", &frmMain::vaSpreadS,
         &frmMain::mnuEditCopyRow_Click, soilColumn(6, true), true, 3, 5, layer5,
         "16.5,4.5,\"細砂\",700,18.5,8,0,0,,0,250,,,,,,,"},
        {"point 2 cut, FC switched on", &frmMain::vaSpreadN, &frmMain::mnuEditCutRow_Click,
         [](frmMain& w) {
             w.tabNchi->setCurrentIndex(1);
             w.chkNchi[1]->setChecked(true);
             w.tabNchi->setCurrentIndex(0);
         },
         false, 2, 6, [](const GridRows& t) { return t.NLine(6); }, "2.15,4,30,12"},
        {"fine sand copied, then New", &frmMain::vaSpreadS, &frmMain::mnuEditCopyRow_Click,
         [](frmMain& w) { w.mnuFileNew_Click(); }, false, 3, 1,
         [](const GridRows& t) { return t.LayerLine(1); },
         // A new document shows no CC or Ip column: their zeros are written blank.
         "4.5,4.5,\"細砂\",700,18.5,8,,,,,250,,,,,,,"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OpenMainWindow(boring);
        SpreadGrid* grid = form.get()->*c.grid;
        SelectRows(grid, c.from, c.from);
        (form.get()->*c.copy)();
        services.messageAnswers = {MessageAnswer::No};  // New: the cut is not saved
        c.between(*form);
        grid = form.get()->*c.grid;
        SelectRows(grid, c.to, c.to);
        if (c.cellPaste) {
            grid->SelectBlock({1, c.to, 1, c.to});
            form->mnuEditPaste_Click();
        } else {
            form->mnuEditPasteRow_Click();
        }
        EXPECT_EQ(c.line(*this), c.expected);
        EXPECT_TRUE(services.refusals.empty()) << services.refusals.front();
        services.refusals.clear();
    }
}

// A stored name longer than the column takes is kept through F2 and Return
// without a change, half-width or full-width.
TEST_F(GridRows, ALongStoredNameReadBackUnchangedStaysWhole) {
    std::string fullWidth;
    for (int i = 0; i < 60; ++i)
        fullWidth += "砂";
    for (const std::string& name : {std::string(120, 'a'), fullWidth}) {
        Document boring = ExampleBoring();
        boring.layers[2].SoilName = name;
        OpenMainWindow(boring);
        services.refusals.clear();
        ClickCell(*form->vaSpreadS, 3, 3);
        Press(Qt::Key_F2);
        Press(Qt::Key_Return);
        EXPECT_EQ(doc.layers[2].SoilName, name);
        EXPECT_THAT(LayerLine(3), ::testing::HasSubstr("\"" + name + "\""));
        EXPECT_EQ(services.refusals, std::vector<std::string>{});
    }
}

// A row a key adds at the end starts with the standard penetration, as an
// inserted row does, with the penetration column shown or not.
TEST_F(GridRows, ARowAddedByAKeyStartsWithTheStandardPenetration) {
    for (int nConvert30 : {0, 1}) {
        SCOPED_TRACE(nConvert30);
        Document boring = ExampleBoring();
        boring.nConvert30 = nConvert30;
        OpenMainWindow(boring);
        SpreadGrid* grid = form->vaSpreadN;
        const int rows = grid->MaxRows();
        // The last row given data, then Down there adds a row.
        ClickCell(*grid, 1, rows);
        TypeKeys("600");
        Press(Qt::Key_Tab);
        TypeKeys("1");
        Press(Qt::Key_Return);
        ClickCell(*grid, 2, rows);
        Press(Qt::Key_Down);
        ASSERT_EQ(grid->MaxRows(), rows + 1);
        ClickCell(*grid, 1, rows + 1);
        TypeKeys("601");
        Press(Qt::Key_Tab);
        TypeKeys("5");
        Press(Qt::Key_Return);
        EXPECT_EQ(NLine(rows + 1), "601,5,30,");
    }
}

// A pasted row whose name is refused keeps the whole row it lands on, in the
// soil grid and in the definitions dialog, and says so.
TEST_F(GridRows, APastedRowWithARefusedNameKeepsTheOldRow) {
    OpenMainWindow();
    const std::string before = LayerLine(2);
    services.clipboard = std::string("\t3\t礫混じり砂質") + kUnstorable + "\t4\t1\t2\r\n";
    SelectRows(form->vaSpreadS, 2, 2);
    services.refusals.clear();
    form->mnuEditPasteRow_Click();
    EXPECT_EQ(LayerLine(2), before);
    ASSERT_EQ(services.refusals.size(), 1u);
    EXPECT_THAT(services.refusals[0], ::testing::HasSubstr(kRowNotTaken));
    form.reset();

    frmSNDef dialog(settings, services);
    dialog.SetDialogForm();
    ASSERT_TRUE(ShowActive(dialog));
    const LayerRecord first = settings.mainSoilNames[0];
    services.clipboard = std::string("礫混じり砂質") + kUnstorable + "\t4\t1\t2\r\n";
    SpreadGrid* grid = dialog.vaSpreadS[frmSNDef::kMainGrid];
    grid->setFocus();
    grid->SetActiveCell(1, 1);
    grid->SelectBlock({1, 1, 4, 1});
    services.refusals.clear();
    dialog.mnuEditPasteRow->trigger();
    ASSERT_EQ(services.refusals.size(), 1u);
    EXPECT_THAT(services.refusals[0], ::testing::HasSubstr(kRowNotTaken));
    ASSERT_EQ(dialog.Save(), 0);
    EXPECT_EQ(settings.mainSoilNames[0].SoilName, first.SoilName);
    EXPECT_EQ(settings.mainSoilNames[0].SoilCode, first.SoilCode);
    EXPECT_EQ(settings.mainSoilNames[0].gamma, first.gamma);
    EXPECT_EQ(settings.mainSoilNames[0].FC, first.FC);
}

// A definitions row holding a code, γ or FC but no name is not written: OK
// says why and puts the cursor on its name. A row whose cells were all
// cleared is no row at all.
TEST_F(GridRows, ADefinitionsRowWithValuesButNoNameIsRefused) {
    const std::vector<LayerRecord> table = settings.mainSoilNames;
    frmSNDef dialog(settings, services);
    dialog.SetDialogForm();
    ASSERT_TRUE(ShowActive(dialog));
    SpreadGrid* grid = dialog.vaSpreadS[frmSNDef::kMainGrid];
    const int empty = static_cast<int>(table.size()) + 2;
    grid->setFocus();
    ClickCell(*grid, 3, empty);
    TypeKeys("18");
    Press(Qt::Key_Return);
    ASSERT_EQ(dialog.Binding(frmSNDef::kMainGrid).iFG(empty), 1);
    dialog.cmdOk_Click();
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text,
              "土質名が入力されていない行があります。土質名を入力するか、行を削除してください。");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(settings.mainSoilNames, table);
    EXPECT_EQ(grid->ActiveCol(), 1);
    EXPECT_EQ(grid->ActiveRow(), empty);

    // Cleared again, the row is nothing, and OK writes the table as it was.
    grid->SetActiveCell(3, empty);
    grid->SelectBlock({3, empty, 3, empty});
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(dialog.Save(), 0);
    EXPECT_EQ(settings.mainSoilNames, table);
}

// After New the N-value grid is the designed grid again, at its top: the rows
// it grew by and where it was scrolled to belonged to the document before.
TEST_F(GridRows, NewStartsOnGridsOfTheirDesignedSizeAtTheTop) {
    OpenMainWindow();
    SpreadGrid* grid = form->vaSpreadN;
    const int designed = grid->MaxRows();
    services.clipboard = "600\t5\r\n601\t6\r\n602\t7\r\n";
    SelectRows(grid, designed, designed);
    form->mnuEditPasteRow_Click();
    ASSERT_EQ(grid->MaxRows(), designed + 2);
    grid->scrollToBottom();
    ASSERT_GT(grid->verticalScrollBar()->value(), 0);

    services.messageAnswers = {MessageAnswer::No};
    form->mnuFileNew_Click();
    EXPECT_EQ(grid->MaxRows(), designed);
    EXPECT_EQ(grid->verticalScrollBar()->value(), 0);
    EXPECT_EQ(form->vaSpreadS->verticalScrollBar()->value(), 0);
}

}  // namespace
