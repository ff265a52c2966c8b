// The main window's grids as a user drives them: what is pasted, inserted,
// deleted and saved is what the grid shows.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTest>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/project_file.h"
#include "core/soil_names.h"
#include "ui/dialogs/dialog_test_support.h"
#include "ui/grid/clsSpreadIn.h"
#include "ui/grid/spread_grid.h"
#include "ui/main_window/frmMain.h"
#include "ui/main_window/main_window_support.h"

namespace fs = std::filesystem;

namespace {

const NPoint kBlankPoint{-1, 0, 30, 0};

class GridUse : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureQtApplication();
        folder = PrepareTestFolder("grid_use", settings, doc);
        window = std::make_unique<frmMain>(doc, settings, canvases, services);
        window->RunModal = [](QDialog& dialog) { return dialog.result(); };
        site = folder / "site.qmf";
        fs::copy_file(fs::path(QM_TEST_DATA_DIR) / "golden" / "sand_layers_v16.qmf", site,
                      fs::copy_options::overwrite_existing);
        ASSERT_TRUE(window->OpenProjectPath(site.string()));
        ASSERT_TRUE(ShowActive(*window));
    }
    void TearDown() override {
        if (window)
            window->IsChanged = false;
    }

    void Focus(SpreadGrid* grid, int col1, int row1, int col2, int row2) {
        grid->setFocus();
        grid->SetActiveCell(col1, row1);
        grid->SelectBlock(SpreadBlock{col1, row1, col2, row2});
    }
    // Keys typed where the focus is: in a grid the first opens the editor.
    static void TypeKeys(const QString& text) {
        for (QChar ch : text)
            QTest::keyClicks(QApplication::focusWidget(), QString(ch));
    }
    static void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
        QApplication::processEvents();
    }
    // The selected cells as (col, row) pairs.
    static std::vector<std::pair<int, int>> Selected(const SpreadGrid& grid) {
        std::vector<std::pair<int, int>> cells;
        for (const QModelIndex& index : grid.selectionModel()->selectedIndexes())
            cells.emplace_back(index.column() + 1, index.row() + 1);
        return cells;
    }
    // The soil grid's column showing the heading.
    int SoilColumn(const char* heading) const {
        for (int col = 1; col <= window->vaSpreadS->MaxCols(); ++col)
            if (window->vaSpreadS->Text(col, 0) == QString::fromUtf8(heading))
                return col;
        return 0;
    }

    fs::path folder;
    fs::path site;
    Document doc;
    Settings settings;
    SheetCanvases canvases;
    FakePlatformServices services;
    std::unique_ptr<frmMain> window;
};

// Clipboard texts as spreadsheets and editors write them, pasted at the
// N-value grid's depth cell of row 2, against the document afterwards.
TEST_F(GridUse, ClipboardTextsPastedIntoTheNValueGrid) {
    const std::vector<NPoint> before = doc.nPoints;
    struct Case {
        const char* name;
        const char* clipboard;
        std::vector<NPoint> rows;  // document rows 2.. afterwards
        bool refused;              // the bell and a note
    };
    const Case cases[] = {
        {"CR LF", "5.5\t9\r\n6.5\t7\r\n", {{5.5, 9, 30, 0}, {6.5, 7, 30, 0}}, false},
        {"LF", "5.5\t9\n6.5\t7\n", {{5.5, 9, 30, 0}, {6.5, 7, 30, 0}}, false},
        {"no final line end", "5.5\t9\r\n6.5\t7", {{5.5, 9, 30, 0}, {6.5, 7, 30, 0}}, false},
        {"lone CR", "5.5\t9\r6.5\t7\r", {{5.5, 9, 30, 0}, {6.5, 7, 30, 0}}, false},
        {"empty last cell", "5.15\t\r\n", {{5.15, 0, 30, 0}, before[2]}, false},
        {"TAB ends the text", "5.15\t", {{5.15, 0, 30, 0}, before[2]}, false},
        {"empty first cell", "\t9\r\n", {before[1], before[2]}, true},
        {"blank line between",
         "5.5\t9\r\n\r\n6.5\t7\r\n",
         {{5.5, 9, 30, 0}, kBlankPoint, {6.5, 7, 30, 0}},
         false},
        {"full-width digits", "１２．５\t３\r\n", {{12.5, 3, 30, 0}, before[2]}, false},
        {"quoted numbers", "\"5.5\"\t\"9\"\r\n", {{5.5, 9, 30, 0}, before[2]}, false},
        {"decimal comma", "3,15\t9\r\n", {{before[1].Depth, 9, 30, 0}, before[2]}, true},
        {"thousands comma", "2.5\t1,234\r\n", {{2.5, before[1].N, 30, 0}, before[2]}, true},
        {"percent", "35%\t9\r\n", {{before[1].Depth, 9, 30, 0}, before[2]}, true},
        {"out of range", "1000\t9\r\n", {{before[1].Depth, 9, 30, 0}, before[2]}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        doc.nPoints = before;
        window->SetSpreadN();
        services.refusals.clear();
        services.clipboard = c.clipboard;
        Focus(window->vaSpreadN, 1, 2, 1, 2);
        window->mnuEditPaste->trigger();
        ASSERT_GE(doc.nPoints.size(), c.rows.size() + 1);
        for (size_t i = 0; i < c.rows.size(); ++i) {
            SCOPED_TRACE("row " + std::to_string(i + 2));
            const NPoint& p = doc.nPoints[i + 1];
            EXPECT_DOUBLE_EQ(p.Depth, c.rows[i].Depth);
            EXPECT_EQ(p.N, c.rows[i].N) << "a blank N is 0, not a typed zero";
            EXPECT_DOUBLE_EQ(p.Penetration, c.rows[i].Penetration);
        }
        EXPECT_EQ(doc.nPoints[0], before[0]);
        EXPECT_EQ(services.refusals.size(), c.refused ? 1u : 0u);
        // What the grid shows is what the document holds.
        const NPoint& shown = doc.nPoints[1];
        EXPECT_EQ(window->vaSpreadN->Text(2, 2),
                  shown.N != 0 ? QString::number(shown.N) : QString());
    }
}

// Quoted cells, as spreadsheets write a cell holding a TAB, a line break or a
// quote, are one cell each, pasted at the soil grid's thickness cell.
TEST_F(GridUse, QuotedSpreadsheetCellsPastedIntoTheSoilGrid) {
    const int code = SoilColumn("記号");
    const int gamma = SoilColumn("γ (kN/m3)");
    ASSERT_EQ(code, 4);
    ASSERT_EQ(gamma, 5);
    const std::vector<LayerRecord> before = doc.layers;
    struct Case {
        const char* name;
        const char* clipboard;
        const char* nameStart;
        const char* nameEnd;
    };
    const Case cases[] = {
        {"line break", "1.5\t\"砂\r\n礫\"\t9.00\t18.5\r\n", "砂", "礫"},
        {"LF line break", "1.5\t\"砂\n礫\"\t9.00\t18.5\n", "砂", "礫"},
        {"TAB", "1.5\t\"砂\t礫\"\t9.00\t18.5\r\n", "砂", "礫"},
        {"doubled quotes", "1.5\t\"砂\"\"礫\"\"\"\t9.00\t18.5\r\n", "砂", "\""},
        // The lone quote stays in the name, in the full-width form it is saved in.
        {"no closing quote", "1.5\t\"砂礫\t9.00\t18.5\r\n", "＂砂", "礫"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        doc.layers = before;
        window->SetSpreadS();
        services.clipboard = c.clipboard;
        Focus(window->vaSpreadS, 2, 1, 2, 1);
        window->mnuEditPaste->trigger();
        ASSERT_GE(doc.layers.size(), before.size());
        const LayerRecord& layer = doc.layers[0];
        EXPECT_DOUBLE_EQ(layer.Thickness, 1.5);
        EXPECT_EQ(layer.SoilCode, 900) << "the code after the cell keeps its column";
        EXPECT_DOUBLE_EQ(layer.gamma, 18.5);
        const std::string& soil = layer.SoilName;
        EXPECT_EQ(soil.rfind(c.nameStart, 0), 0u) << soil;
        // A quote may be stored as its full-width form.
        const std::string end = c.nameEnd;
        EXPECT_TRUE(soil.ends_with(end) || (end == "\"" && soil.ends_with("＂"))) << soil;
        EXPECT_EQ(soil.find("\"\""), std::string::npos) << soil;
        EXPECT_EQ(doc.layers[1], before[1]) << "the row is not split";
    }
}

// A value the program stored (a negated default, a saved value beyond a
// column's limit) never holds the cursor or stops a command.
TEST_F(GridUse, StoredDefaultsNeitherHoldTheCursorNorStopSaving) {
    const int gamma = SoilColumn("γ (kN/m3)");
    const int fc = SoilColumn("FC (%)");
    ASSERT_DOUBLE_EQ(doc.layers[0].gamma, -18);
    SpreadGrid* grid = window->vaSpreadS;
    ASSERT_EQ(grid->Text(gamma, 1), QStringLiteral("-18.0"));
    Focus(grid, gamma, 1, gamma, 1);
    Key(Qt::Key_Tab);
    EXPECT_EQ(grid->ActiveCol(), fc) << "the cursor goes on";
    EXPECT_EQ(Selected(*grid), (std::vector<std::pair<int, int>>{{fc, 1}}));

    // Delete right of such a cell clears, and saving writes the file.
    Key(Qt::Key_Delete);
    EXPECT_DOUBLE_EQ(doc.layers[0].FC, 0);
    EXPECT_DOUBLE_EQ(doc.layers[0].gamma, -18);
    grid->SetActiveCell(gamma, 1);
    ASSERT_TRUE(window->IsChanged);
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(window->IsChanged);
    Document back;
    ASSERT_EQ(ReadProjectFile(site.string(), back, services), kProjectFileOk);
    EXPECT_DOUBLE_EQ(back.layers[0].gamma, -18);
    EXPECT_DOUBLE_EQ(back.layers[0].FC, 0);
    EXPECT_EQ(services.beeps, 0);
}

// A value the cell refuses stops a command, and the user sees why.
TEST_F(GridUse, ARefusedValueThatStopsACommandIsExplained) {
    SpreadGrid* grid = window->vaSpreadN;
    Focus(grid, 2, 1, 2, 1);
    TypeKeys(QStringLiteral("abc"));
    Key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(services.refusals.size(), 1u);
    EXPECT_EQ(services.refusals[0], "数値を入力してください");
    Focus(grid, 1, 2, 1, 2);
    TypeKeys(QStringLiteral("1000"));
    Key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(services.refusals.size(), 2u);
    EXPECT_EQ(services.refusals[1], "0.00～999.99の数値を入力してください");
}

// After a refused move the highlight stays on the cell that holds the
// cursor, and what is typed next goes there.
TEST_F(GridUse, TheHighlightStaysOnTheHeldCell) {
    SpreadGrid* grid = window->vaSpreadN;
    Focus(grid, 1, 3, 1, 3);
    TypeKeys(QStringLiteral("1000"));
    Key(Qt::Key_Down);
    EXPECT_EQ(grid->ActiveRow(), 3);
    EXPECT_EQ(Selected(*grid), (std::vector<std::pair<int, int>>{{1, 3}}));
    TypeKeys(QStringLiteral("5"));
    Key(Qt::Key_Return);
    EXPECT_DOUBLE_EQ(doc.nPoints[2].Depth, 5);
    EXPECT_EQ(grid->Text(1, 4), QString()) << "row 4 was never written";
}

// Every way of choosing an Edit command runs it on the grid that had the
// focus, an open cell editor included.
TEST_F(GridUse, AltEAndALetterRunTheCommandWithAnOpenEditor) {
    struct Case {
        const char* name;
        SpreadGrid* grid;
        Qt::Key letter;
        std::function<void()> check;
    };
    const std::vector<NPoint> points = doc.nPoints;
    const std::vector<LayerRecord> layers = doc.layers;
    const Case cases[] = {
        {"N-value insert", window->vaSpreadN, Qt::Key_I,
         [&] {
             ASSERT_EQ(doc.nPoints.size(), points.size() + 1);
             EXPECT_EQ(doc.nPoints[1], kBlankPoint);
             EXPECT_DOUBLE_EQ(doc.nPoints[2].N, 7) << "the typed value moved with its row";
         }},
        {"N-value row delete", window->vaSpreadN, Qt::Key_J,
         [&] {
             ASSERT_EQ(doc.nPoints.size(), points.size() - 1);
             EXPECT_EQ(doc.nPoints[1], points[2]);
         }},
        {"soil row clear", window->vaSpreadS, Qt::Key_K,
         [&] { EXPECT_EQ(doc.layers[1], LayerRecord{}); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        doc.nPoints = points;
        doc.layers = layers;
        window->SetSpreadN();
        window->SetSpreadS();
        window->IsChanged = false;
        Focus(c.grid, 2, 2, 2, 2);
        TypeKeys(QStringLiteral("7"));
        ASSERT_NE(c.grid->indexWidget(c.grid->currentIndex()), nullptr) << "an editor is open";
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::AltModifier);
        QApplication::processEvents();
        QWidget* menu = QApplication::activePopupWidget();
        ASSERT_EQ(menu, window->mnuEdit);
        QTest::keyClick(menu, c.letter);
        QApplication::processEvents();
        c.check();
        EXPECT_TRUE(window->IsChanged);
        EXPECT_TRUE(c.grid->hasFocus() || c.grid->isAncestorOf(QApplication::focusWidget()))
            << "typing goes on in the grid";
    }
    EXPECT_EQ(services.beeps, 0);
}

// A right click on an open cell editor opens the Edit menu, not the text
// box's own.
TEST_F(GridUse, RightClickOnAnOpenEditorOpensTheEditMenu) {
    for (SpreadGrid* grid : {window->vaSpreadN, window->vaSpreadS}) {
        Focus(grid, 2, 2, 2, 2);
        TypeKeys(QStringLiteral("7"));
        auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(grid->currentIndex()));
        ASSERT_NE(editor, nullptr);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2),
                                editor->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(editor, &event);
        QApplication::processEvents();
        EXPECT_EQ(QApplication::activePopupWidget(), window->mnuEdit);
        window->mnuEdit->hide();
        QApplication::processEvents();
    }
}

// A header click names no rows: row delete, row clear and delete to the end
// do nothing there, and say so.
TEST_F(GridUse, RowCommandsOverAHeaderSelectionDoNothingAndSaySo) {
    const std::vector<NPoint> points = doc.nPoints;
    const std::vector<LayerRecord> layers = doc.layers;
    QAction* commands[] = {window->mnuEditDeleteRow, window->mnuEditClearRow,
                           window->mnuEditDeleteUnderAll};
    for (SpreadGrid* grid : {window->vaSpreadN, window->vaSpreadS}) {
        for (QAction* command : commands) {
            SCOPED_TRACE(command->text().toStdString());
            grid->setFocus();
            QHeaderView* header = grid->horizontalHeader();
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(1) + 5, 5));
            ASSERT_TRUE(grid->selectionModel()->isColumnSelected(1, QModelIndex()));
            services.refusals.clear();
            command->trigger();
            EXPECT_EQ(doc.nPoints, points);
            EXPECT_EQ(doc.layers, layers);
            ASSERT_EQ(services.refusals.size(), 1u);
            EXPECT_EQ(services.refusals[0], "行番号をクリックして行を選んでください");
        }
    }
    // The corner button selects the whole grid: the same.
    Focus(window->vaSpreadN, 1, 1, 1, 1);
    window->vaSpreadN->selectAll();
    window->mnuEditDeleteRow->trigger();
    EXPECT_EQ(doc.nPoints, points);
}

// A row that a command inserts is blank in every slot, hidden ones included.
TEST_F(GridUse, AnInsertedRowBringsBackNothingWhenTyped) {
    SpreadGrid* n = window->vaSpreadN;
    Focus(n, 1, 2, 1, 2);
    window->mnuEditInsertRow->trigger();
    TypeKeys(QStringLiteral("2.5"));
    Key(Qt::Key_Tab);
    EXPECT_EQ(doc.nPoints[1], (NPoint{2.5, 0, 30, 0}));
    EXPECT_EQ(n->Text(2, 2), QString());

    // The soil grid, with a column switched off that the moved row fills.
    doc.layers[1].Vs = 150;
    window->SetSpreadS();
    const LayerRecord moved = doc.layers[1];
    SpreadGrid* s = window->vaSpreadS;
    Focus(s, 2, 2, 2, 2);
    window->mnuEditInsertRow->trigger();
    TypeKeys(QStringLiteral("1"));
    Key(Qt::Key_Tab);
    LayerRecord typed;
    typed.Thickness = 1;
    EXPECT_EQ(doc.layers[1], typed);
    EXPECT_EQ(doc.layers[2], moved);
    for (int col = 3; col <= s->MaxCols(); ++col)
        EXPECT_EQ(s->Text(col, 2), QString()) << "column " << col;
    ASSERT_TRUE(window->mnuFileSave->isEnabled());
    window->mnuFileSave->trigger();
    Document back;
    ASSERT_EQ(ReadProjectFile(site.string(), back, services), kProjectFileOk);
    EXPECT_EQ(back.layers[1].SoilName, "");
    EXPECT_DOUBLE_EQ(back.layers[1].Vs, 0);
    EXPECT_DOUBLE_EQ(back.nPoints[1].N, 0);
}

// The result grid's copy holds what it shows: hidden columns are left out.
TEST_F(GridUse, ResultCopyHoldsTheShownColumnsOnly) {
    for (bool shown : {false, true}) {
        SCOPED_TRACE(shown ? "CC and Ip shown" : "CC and Ip hidden");
        doc.layerColumnUsed[3] = shown ? 1 : 0;
        doc.layerColumnUsed[4] = shown ? 1 : 0;
        window->SetSpreadE();
        for (int i = 0; i < window->tabShow->count(); ++i)
            if (window->tabShow->tabData(i).toString() == QLatin1String("Ekiout"))
                window->tabShow->setCurrentIndex(i);
        SpreadGrid* e = window->vaSpreadE;
        ASSERT_TRUE(e->isVisible());
        Focus(e, 2, 1, 2, 1);
        window->mnuEditCopy->trigger();
        const QString copied = QString::fromStdString(services.clipboard);
        const QString first = copied.section(QStringLiteral("\r\n"), 0, 0);
        EXPECT_EQ(first.count(u'\t') + 1, shown ? 21 : 19);
        // The FL column follows the depth at its shown place.
        EXPECT_EQ(first.section(u'\t', 0, 0), e->Text(1, 1));
        EXPECT_EQ(first.section(u'\t', shown ? 17 : 15, shown ? 17 : 15), e->Text(18, 1));
    }
}

// Paste follows the clipboard while the window stays active.
TEST_F(GridUse, PasteIsEnabledWhenTheClipboardFills) {
    services.clipboard.clear();
    Focus(window->vaSpreadN, 1, 1, 1, 1);
    window->SetEditMenu();
    ASSERT_FALSE(window->mnuEditPaste->isEnabled());
    services.clipboard = "1.5\t3\r\n";
    QGuiApplication::clipboard()->setText(QStringLiteral("1.5\t3\r\n"));
    QApplication::processEvents();
    EXPECT_TRUE(window->mnuEditPaste->isEnabled());
    EXPECT_TRUE(window->mnuEditPasteRow->isEnabled());
}

}  // namespace
