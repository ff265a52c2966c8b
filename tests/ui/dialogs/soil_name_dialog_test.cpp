#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/soil_names.h"
#include "ui/dialogs/dialog_test_support.h"
#include "ui/dialogs/frmSNDef.h"
#include "ui/grid/clsSpreadIn.h"
#include "ui/grid/spread_grid.h"

namespace {

constexpr const char* kClosePrompt = "データの更新を有効にしますか";

class SoilNameDialog : public ::testing::Test {
  public:
    void SetUp() override {
        EnsureQtApplication();
        SetDefaultSoilNames(settings);
        LayerRecord& topsoil = settings.mainSoilNames[0];
        topsoil.gamma = 16.5;
        topsoil.FC = 40;
        topsoil.CC = 12;  // not shown, kept all the same
        topsoil.Vs = 120;
        settings.subSoilNames[2].gamma = 0.5;
        dialog = std::make_unique<frmSNDef>(settings, services);
        dialog->SetDialogForm();
    }

    SpreadGrid& Grid(int g) { return *dialog->vaSpreadS[g]; }
    QString Cell(int g, int col, int row) { return Grid(g).Text(col, row); }
    // Types text into a cell and moves the cursor on, as the user does.
    void Type(int g, int col, int row, const QString& text) {
        Grid(g).setCurrentCell(row - 1, col - 1);
        Grid(g).SetText(col, row, text);
        Grid(g).setCurrentCell(row, col - 1);
    }
    // Gives the grid the focus, selects rows first..last and runs a menu item.
    void OnRows(int g, int first, int last, QAction* item) {
        Grid(g).setFocus();
        Grid(g).SelectBlock(SpreadBlock{1, first, 4, last});
        item->trigger();
    }
    // Keys typed where the focus is: the first opens the cell's editor.
    static void Keys(const QString& text) {
        for (QChar ch : text)
            QTest::keyClicks(QApplication::focusWidget(), QString(ch));
    }
    void CloseBox() {
        QCloseEvent event;
        QCoreApplication::sendEvent(dialog.get(), &event);
    }
    // The ways the user ends the dialog with what it holds.
    enum class Close { OkCommand, OkClicked, CloseBox };
    static constexpr Close kCloses[] = {Close::OkCommand, Close::OkClicked, Close::CloseBox};
    static const char* Name(Close close) {
        return close == Close::CloseBox    ? "close box"
               : close == Close::OkClicked ? "OK clicked"
                                           : "OK";
    }
    void End(Close close) {
        if (close == Close::CloseBox)
            CloseBox();
        else if (close == Close::OkClicked)
            QTest::mouseClick(dialog->cmdOk, Qt::LeftButton);
        else
            dialog->cmdOk_Click();
    }

    Settings settings;
    FakePlatformServices services;
    std::unique_ptr<frmSNDef> dialog;
};

TEST_F(SoilNameDialog, ShowsBothTablesWithTheirKeys) {
    EXPECT_EQ(dialog->windowTitle(), "土質名入力設定");
    EXPECT_EQ(dialog->fraSoilName[0]->title(), "主記号用 土質名登録");
    EXPECT_EQ(dialog->fraSoilName[1]->title(), "副記号用 土質名登録");
    EXPECT_EQ(dialog->lblEstimate[0]->text(), "推定値");
    EXPECT_EQ(dialog->lblEstimate[1]->text(), "推定値の補正");
    EXPECT_EQ(dialog->cmdOk->text(), "OK");
    EXPECT_EQ(dialog->cmdCancel->text(), "ｷｬﾝｾﾙ");
    EXPECT_EQ(dialog->cmdHelp->text(), "ﾍﾙﾌﾟ(&H)");
    EXPECT_EQ(Cell(0, 1, 0), "土質名（主）");
    EXPECT_EQ(Cell(1, 1, 0), "土質名（副）");
    EXPECT_EQ(Cell(0, 3, 0), "地下水位以下 土の単位重量γ(kN/m3)");
    EXPECT_EQ(Cell(1, 3, 0), "土の単位重量γ(kN/m3)");
    EXPECT_EQ(Cell(1, 4, 0), "細粒分含有率 FC(%)");
    for (int g = 0; g < 2; ++g)
        EXPECT_EQ(dialog->vaSpreadK[g]->item(0, 1)->text(), "（なし）");

    // The main codes in hundreds, the modifiers' as they are; zero is blank.
    EXPECT_EQ(Cell(0, 1, 1), "表土");
    EXPECT_EQ(Cell(0, 2, 1), "1");
    EXPECT_EQ(Cell(0, 3, 1), "16.5");
    EXPECT_EQ(Cell(0, 4, 1), "40");
    EXPECT_EQ(Cell(0, 2, 12), "9");
    EXPECT_EQ(Cell(0, 1, 16), "火山灰");
    EXPECT_EQ(Cell(0, 2, 16), "");
    EXPECT_EQ(Cell(0, 1, 17), "");
    EXPECT_EQ(Cell(1, 1, 3), "砂質");
    EXPECT_EQ(Cell(1, 2, 3), "3");
    EXPECT_EQ(Cell(1, 3, 3), "0.5");
    EXPECT_EQ(dialog->Binding(0).CountFG(), 16);
    EXPECT_EQ(dialog->Binding(1).CountFG(), 11);
    EXPECT_FALSE(dialog->IsChanged());
    EXPECT_TRUE(dialog->Tag().isEmpty());
}

TEST_F(SoilNameDialog, OkWithoutEditsKeepsEveryConstantOfEveryRow) {
    Settings before = settings;
    dialog->cmdOk_Click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->Tag(), "Changed");
    EXPECT_EQ(settings.mainSoilNames, before.mainSoilNames);
    EXPECT_EQ(settings.subSoilNames, before.subSoilNames);
    EXPECT_EQ(settings.mainSoilNames[0].CC, 12);
    EXPECT_EQ(settings.mainSoilNames[0].Vs, 120);
}

// The constants no column shows go with their row through every edit and
// grid command, and a row entered new has 0 for them.
TEST_F(SoilNameDialog, HiddenConstantsTravelWithTheirRows) {
    struct Expect {
        const char* name;
        double CC;
        double Ip;
    };
    struct Case {
        const char* what;
        std::function<void(SoilNameDialog&)> edit;
        size_t rows;  // of the saved main table
        std::vector<Expect> expects;
    } cases[] = {
        {"typed name",
         [](SoilNameDialog& t) { t.Type(0, 1, 1, "盛土"); },
         16,
         {{"盛土", 12, 0}, {"埋め土", 0, 7}}},
        {"insert, then a new row typed",
         [](SoilNameDialog& t) {
             t.OnRows(0, 1, 1, t.dialog->mnuEditInsertRow);
             t.Type(0, 1, 1, "盛土");
         },
         17,
         {{"盛土", 0, 0}, {"表土", 12, 0}, {"埋め土", 0, 7}, {"火山灰", 3, 0}}},
        {"delete, then the freed last row typed",
         [](SoilNameDialog& t) {
             t.OnRows(0, 1, 1, t.dialog->mnuEditDeleteRow);
             t.Type(0, 1, 16, "盛土");
         },
         16,
         {{"埋め土", 0, 7}, {"火山灰", 3, 0}, {"盛土", 0, 0}}},
        {"cut and row paste below",
         [](SoilNameDialog& t) {
             t.OnRows(0, 1, 1, t.dialog->mnuEditCutRow);
             t.OnRows(0, 20, 20, t.dialog->mnuEditPasteRow);
         },
         16,
         {{"表土", 12, 0}, {"埋め土", 0, 7}}},
        {"row copy into the other table",
         [](SoilNameDialog& t) {
             t.OnRows(0, 2, 2, t.dialog->mnuEditCopyRow);
             t.OnRows(1, 12, 12, t.dialog->mnuEditPasteRow);
         },
         16,
         {{"埋め土", 0, 7}}},
        {"clear, then a new name typed",
         [](SoilNameDialog& t) {
             t.OnRows(0, 1, 1, t.dialog->mnuEditClearRow);
             t.Type(0, 1, 1, "盛土");
             EXPECT_EQ(t.Cell(0, 3, 1), "");  // nothing of the cleared row comes back
         },
         16,
         {{"盛土", 0, 0}}},
        {"pasted text onto a row and onto an empty row",
         [](SoilNameDialog& t) {
             t.services.clipboard = "盛土\t2\r\n";
             for (int row : {2, 20}) {
                 t.Grid(0).setFocus();
                 t.Grid(0).SelectBlock(SpreadBlock{1, row, 1, row});
                 t.dialog->mnuEditPaste->trigger();
             }
         },
         17,
         {{"表土", 12, 0}, {"盛土", 0, 7}, {"盛土", 0, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        settings.mainSoilNames[1].Ip = 7;
        settings.mainSoilNames[15].CC = 3;
        dialog->SetDialogForm();
        ASSERT_TRUE(ShowActive(*dialog));
        c.edit(*this);
        dialog->cmdOk_Click();
        if (c.what == std::string("row copy into the other table")) {
            ASSERT_EQ(settings.subSoilNames.size(), 12u);
            EXPECT_EQ(settings.subSoilNames[11].SoilName, "埋め土");
            EXPECT_EQ(settings.subSoilNames[11].Ip, 7);
        }
        ASSERT_EQ(settings.mainSoilNames.size(), c.rows);
        std::vector<LayerRecord> rows = settings.mainSoilNames;
        for (const Expect& e : c.expects) {
            auto it = std::find_if(rows.begin(), rows.end(),
                                   [&](const LayerRecord& r) { return r.SoilName == e.name; });
            ASSERT_NE(it, rows.end()) << e.name;
            EXPECT_EQ(it->CC, e.CC) << e.name;
            EXPECT_EQ(it->Ip, e.Ip) << e.name;
            rows.erase(it);  // a name expected twice is two rows
        }
    }
}

TEST_F(SoilNameDialog, TypedValuesAreCheckedAndTheMainCodeIsStoredInHundreds) {
    Type(0, 2, 1, "7");
    EXPECT_TRUE(dialog->IsChanged());
    Type(0, 3, 1, "18.25");
    Type(0, 4, 1, "100");  // above 99: refused with the bell
    EXPECT_EQ(services.beeps, 1);
    Type(1, 1, 12, "礫質");  // a new modifier below the table
    Type(1, 2, 12, "7");
    dialog->cmdOk_Click();
    EXPECT_EQ(settings.mainSoilNames[0].SoilCode, 700);
    EXPECT_DOUBLE_EQ(settings.mainSoilNames[0].gamma, 18.25);
    EXPECT_EQ(settings.mainSoilNames[0].FC, 40);
    ASSERT_EQ(settings.subSoilNames.size(), 12u);
    EXPECT_EQ(settings.subSoilNames[11].SoilName, "礫質");
    EXPECT_EQ(settings.subSoilNames[11].SoilCode, 7);
}

TEST_F(SoilNameDialog, ClearedRowsLeaveTheTableWhichClosesUp) {
    ASSERT_TRUE(ShowActive(*dialog));
    OnRows(0, 3, 3, dialog->mnuEditClearRow);
    OnRows(1, 1, 2, dialog->mnuEditDeleteRow);
    dialog->cmdOk_Click();
    ASSERT_EQ(settings.mainSoilNames.size(), 15u);
    EXPECT_EQ(settings.mainSoilNames[1].SoilName, "埋め土");
    EXPECT_EQ(settings.mainSoilNames[2].SoilName, "シルト");
    ASSERT_EQ(settings.subSoilNames.size(), 9u);
    EXPECT_EQ(settings.subSoilNames[0].SoilName, "砂質");
}

TEST_F(SoilNameDialog, EditMenuWorksOnTheGridThatHasTheFocusOnly) {
    ASSERT_TRUE(ShowActive(*dialog));
    dialog->cmdOk->setFocus();
    dialog->mnuEditDeleteUnderAll->trigger();
    EXPECT_EQ(dialog->Binding(0).CountFG(), 16);
    EXPECT_EQ(dialog->Binding(1).CountFG(), 11);

    // Copy a row of the modifiers and paste it into row 20.
    OnRows(1, 1, 1, dialog->mnuEditCopyRow);
    EXPECT_EQ(services.clipboard.substr(0, services.clipboard.find('\t')), "シルト質");
    OnRows(1, 20, 20, dialog->mnuEditPasteRow);
    EXPECT_EQ(Cell(1, 1, 20), "シルト質");
    EXPECT_EQ(Cell(1, 2, 20), "1");
    EXPECT_EQ(dialog->Binding(1).CountFG(), 12);
    EXPECT_EQ(dialog->Binding(0).CountFG(), 16);
}

// Every menu command that changes a grid counts as a change, so that the
// close box asks before it throws the edit away; the copies change nothing.
TEST_F(SoilNameDialog, EditMenuChangesMakeTheCloseBoxAsk) {
    struct Case {
        const char* what;
        std::function<void(SoilNameDialog&)> command;
        bool changes;
    } cases[] = {
        {"copy", [](SoilNameDialog& t) { t.OnRows(0, 1, 1, t.dialog->mnuEditCopy); }, false},
        {"row copy", [](SoilNameDialog& t) { t.OnRows(0, 1, 1, t.dialog->mnuEditCopyRow); }, false},
        {"paste",
         [](SoilNameDialog& t) {
             t.services.clipboard = "盛土";
             t.Grid(0).setFocus();
             t.Grid(0).SelectBlock(SpreadBlock{1, 20, 1, 20});
             t.dialog->mnuEditPaste->trigger();
         },
         true},
        {"row paste",
         [](SoilNameDialog& t) {
             t.services.clipboard = "盛土\t3\t\t\r\n";
             t.OnRows(1, 20, 20, t.dialog->mnuEditPasteRow);
         },
         true},
        {"row cut", [](SoilNameDialog& t) { t.OnRows(0, 2, 2, t.dialog->mnuEditCutRow); }, true},
        {"row insert", [](SoilNameDialog& t) { t.OnRows(0, 2, 2, t.dialog->mnuEditInsertRow); },
         true},
        {"row clear", [](SoilNameDialog& t) { t.OnRows(1, 2, 2, t.dialog->mnuEditClearRow); },
         true},
        {"row delete", [](SoilNameDialog& t) { t.OnRows(0, 2, 3, t.dialog->mnuEditDeleteRow); },
         true},
        {"copy down", [](SoilNameDialog& t) { t.OnRows(0, 1, 3, t.dialog->mnuEditCopyUnder); },
         true},
        {"delete to the end",
         [](SoilNameDialog& t) {
             t.Grid(0).setFocus();
             t.Grid(0).SetActiveCell(1, 5);
             t.dialog->mnuEditDeleteUnderAll->trigger();
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        ASSERT_TRUE(ShowActive(*dialog));
        c.command(*this);
        EXPECT_EQ(dialog->IsChanged(), c.changes);
        services.messages.clear();
        services.messageAnswers = {MessageAnswer::No};
        CloseBox();
        ASSERT_EQ(services.messages.size(), c.changes ? 1u : 0u);
        if (c.changes) {
            EXPECT_EQ(services.messages[0].text, kClosePrompt);
        }
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(settings.mainSoilNames[0].SoilName, "表土");  // No: nothing saved
    }
}

// The settings line cannot hold a double quote in a name: typed or pasted, it
// becomes the full-width one, as in the project file.
TEST_F(SoilNameDialog, ADoubleQuoteInANameBecomesFullWidth) {
    ASSERT_TRUE(ShowActive(*dialog));
    Type(0, 1, 1, "5\"砂");
    EXPECT_EQ(Cell(0, 1, 1), "5＂砂");
    // Quoted as spreadsheets write it: the cell's text is "礫" with its quotes.
    services.clipboard = "\"\"\"礫\"\"\"\t3\r\n";
    Grid(1).setFocus();
    Grid(1).SelectBlock(SpreadBlock{1, 12, 1, 12});
    dialog->mnuEditPaste->trigger();
    EXPECT_EQ(Cell(1, 1, 12), "＂礫＂");
    dialog->cmdOk_Click();
    EXPECT_EQ(settings.mainSoilNames[0].SoilName, "5＂砂");
    ASSERT_EQ(settings.subSoilNames.size(), 12u);
    EXPECT_EQ(settings.subSoilNames[11].SoilName, "＂礫＂");
    EXPECT_EQ(settings.subSoilNames[11].SoilCode, 3);
}

TEST_F(SoilNameDialog, RightButtonGivesTheGridTheFocusAndOpensTheMenu) {
    ASSERT_TRUE(ShowActive(*dialog));
    Grid(0).setFocus();
    dialog->ShowEditMenu(1, dialog->mapToGlobal(QPoint(20, 300)));
    EXPECT_TRUE(Grid(1).hasFocus());
    EXPECT_TRUE(dialog->mnuEdit->isVisible());
    dialog->mnuEdit->close();
    QStringList captions;
    for (QAction* action : dialog->mnuEdit->actions())
        captions << (action->isSeparator() ? "-" : action->text());
    EXPECT_EQ(captions.join("|"),
              "コピー(&C)|貼り付け(&P)|-|行切り取り(&R)|行ｺﾋﾟｰ(&F)|行貼り付け(&G)|行挿入(&I)|"
              "行クリア(&K)|行削除(&J)|-|下方へｺﾋﾟｰ(&D)|以降すべて削除(&A)");
}

TEST_F(SoilNameDialog, CloseBoxAsksAboutChanges) {
    struct Case {
        MessageAnswer answer;
        bool saved;
        bool open;
    } cases[] = {
        {MessageAnswer::Yes, true, false},
        {MessageAnswer::No, false, false},
        {MessageAnswer::Cancel, false, true},
    };
    for (const Case& c : cases) {
        SetUp();
        ASSERT_TRUE(ShowActive(*dialog));
        Type(0, 1, 1, "盛土");
        services.messageAnswers = {c.answer};
        CloseBox();
        ASSERT_EQ(services.messages.size(), 1u);
        EXPECT_EQ(services.messages[0].text, kClosePrompt);
        EXPECT_EQ(services.messages[0].icon, MessageIcon::Question);
        EXPECT_EQ(services.messages[0].buttons, MessageButtons::YesNoCancel);
        EXPECT_EQ(services.messages[0].title, "Vekt／Quilmorn2008");
        EXPECT_EQ(settings.mainSoilNames[0].SoilName == "盛土", c.saved);
        EXPECT_EQ(dialog->Tag() == "Changed", c.saved);
        EXPECT_EQ(dialog->isVisible(), c.open);
        services.messages.clear();
    }
}

// OK and the close box take what was typed into the cell with the cursor,
// whether Return ended the edit or the editor is still open.
TEST_F(SoilNameDialog, OkAndTheCloseBoxTakeTheCellWithTheCursor) {
    for (bool withReturn : {true, false}) {
        for (Close close : kCloses) {
            SCOPED_TRACE(std::string(withReturn ? "18.5 Return, " : "18.5 typed, ") + Name(close));
            SetUp();
            ASSERT_TRUE(ShowActive(*dialog));
            Grid(0).setFocus();
            Grid(0).SetActiveCell(3, 1);
            Keys(QStringLiteral("18.5"));
            if (withReturn) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                QApplication::processEvents();  // the editor closes
                EXPECT_TRUE(dialog->IsChanged());
            }
            services.messageAnswers = {MessageAnswer::Yes};
            End(close);
            EXPECT_EQ(services.messages.size(), close == Close::CloseBox ? 1u : 0u);
            EXPECT_EQ(dialog->Tag(), "Changed");
            EXPECT_DOUBLE_EQ(settings.mainSoilNames[0].gamma, 18.5);
            EXPECT_EQ(settings.mainSoilNames[0].CC, 12);
            services.messages.clear();
        }
    }
    EXPECT_EQ(services.beeps, 0);
}

// A refused value keeps the dialog open, as leaving the cell would, also
// when OK is clicked with the mouse while the cell's editor is open.
TEST_F(SoilNameDialog, ARefusedCellKeepsTheDialogOpen) {
    for (Close close : kCloses) {
        SCOPED_TRACE(Name(close));
        SetUp();
        ASSERT_TRUE(ShowActive(*dialog));
        Grid(0).setFocus();
        Grid(0).SetActiveCell(4, 1);
        Keys(QStringLiteral("100"));  // an FC above 99
        ASSERT_NE(Grid(0).indexWidget(Grid(0).currentIndex()), nullptr) << "an editor is open";
        End(close);
        EXPECT_EQ(services.beeps, 1);
        EXPECT_TRUE(services.messages.empty());
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_TRUE(dialog->Tag().isEmpty());
        services.beeps = 0;
    }
}

// A row command chosen while a cell's editor is open takes the typed value
// first, so the row it moves down carries it.
TEST_F(SoilNameDialog, ARowCommandTakesTheOpenEditorFirst) {
    ASSERT_TRUE(ShowActive(*dialog));
    const LayerRecord first = settings.mainSoilNames[0];
    Grid(0).setFocus();
    Grid(0).SetActiveCell(3, 1);
    Keys(QStringLiteral("18.5"));
    ASSERT_NE(Grid(0).indexWidget(Grid(0).currentIndex()), nullptr) << "an editor is open";
    dialog->mnuEditInsertRow->trigger();
    QApplication::processEvents();
    EXPECT_EQ(Cell(0, 1, 2).toStdString(), first.SoilName);
    EXPECT_EQ(Cell(0, 3, 2), QStringLiteral("18.5"));
    EXPECT_TRUE(Cell(0, 1, 1).isEmpty());
    dialog->cmdOk_Click();
    // The blank row is not a name: the table keeps its order without it.
    ASSERT_FALSE(settings.mainSoilNames.empty());
    EXPECT_EQ(settings.mainSoilNames[0].SoilName, first.SoilName);
    EXPECT_DOUBLE_EQ(settings.mainSoilNames[0].gamma, 18.5);
    EXPECT_EQ(services.beeps, 0);
}

TEST_F(SoilNameDialog, CancelLeavesTheTablesWithoutAsking) {
    Type(0, 1, 1, "盛土");
    dialog->cmdCancel_Click();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(settings.mainSoilNames[0].SoilName, "表土");
    EXPECT_TRUE(services.messages.empty());
    EXPECT_TRUE(dialog->Tag().isEmpty());
}

TEST_F(SoilNameDialog, ATableWithoutRowsIsNotSaved) {
    ASSERT_TRUE(ShowActive(*dialog));
    Grid(1).setFocus();
    Grid(1).SetActiveCell(1, 1);
    dialog->mnuEditDeleteUnderAll->trigger();
    EXPECT_EQ(dialog->Binding(1).CountFG(), 0);
    dialog->cmdOk_Click();
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->Tag().isEmpty());
    EXPECT_EQ(settings.subSoilNames.size(), 11u);
}

// The keys of the main window's grids: Ctrl+V pastes, Ctrl+C copies, Delete
// and BackSpace clear the selected cells.
TEST_F(SoilNameDialog, PasteCopyAndClearKeysWorkAsInTheMainGrids) {
    ASSERT_TRUE(ShowActive(*dialog));
    SpreadGrid& grid = Grid(1);
    grid.setFocus();
    grid.SetActiveCell(1, 20);
    services.clipboard = "礫質\t4\t0.5\t3\r\n";
    QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Cell(1, 1, 20), "礫質");
    EXPECT_EQ(Cell(1, 2, 20), "4");
    EXPECT_EQ(Cell(1, 4, 20), "3");
    EXPECT_TRUE(dialog->IsChanged());

    grid.SetActiveCell(1, 1);
    grid.SelectBlock(SpreadBlock{1, 1, 2, 1});
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(services.clipboard, "シルト質\t1\r\n");

    for (Qt::Key key : {Qt::Key_Delete, Qt::Key_Backspace}) {
        const int row = key == Qt::Key_Delete ? 20 : 1;
        grid.SetActiveCell(3, row);
        grid.SelectBlock(SpreadBlock{3, row, 4, row});
        QTest::keyClick(&grid, key);
        EXPECT_EQ(Cell(1, 3, row), "") << row;
        EXPECT_EQ(Cell(1, 4, row), "") << row;
        EXPECT_EQ(dialog->Binding(1).DataD(1, row), 0.0);
        EXPECT_FALSE(Cell(1, 1, row).isEmpty()) << "the name stays";
    }
    dialog->cmdOk_Click();
    ASSERT_EQ(settings.subSoilNames.size(), 12u);
    EXPECT_EQ(settings.subSoilNames[11].SoilName, "礫質");
    EXPECT_EQ(settings.subSoilNames[11].SoilCode, 4);
    EXPECT_DOUBLE_EQ(settings.subSoilNames[11].gamma, 0);
    EXPECT_DOUBLE_EQ(settings.subSoilNames[0].FC, 0);
}

}  // namespace
