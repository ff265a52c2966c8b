#include <gtest/gtest.h>

#include <QAction>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>

#include <memory>

#include "core/soil_names.h"
#include "ui/clsSpreadIn.h"
#include "ui/dialog_test_support.h"
#include "ui/frmSNDef.h"
#include "ui/spread_grid.h"

namespace {

constexpr const char* kClosePrompt = "データの更新を有効にしますか";

class SoilNameDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureQtApplication();
        SetDefaultSoilNames(settings);
        LayerRecord& topsoil = settings.mainSoilNames[0];
        topsoil.gamma = 16.5;
        topsoil.FC = 40;
        topsoil.CC = 12;  // not shown: a save drops it
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
    void CloseBox() {
        QCloseEvent event;
        QCoreApplication::sendEvent(dialog.get(), &event);
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

TEST_F(SoilNameDialog, OkKeepsNameCodeAndEstimatesAndDropsTheOtherConstants) {
    Settings before = settings;
    dialog->cmdOk_Click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->Tag(), "Changed");
    ASSERT_EQ(settings.mainSoilNames.size(), before.mainSoilNames.size());
    ASSERT_EQ(settings.subSoilNames.size(), before.subSoilNames.size());
    for (std::size_t i = 0; i < settings.mainSoilNames.size(); ++i) {
        const LayerRecord& row = settings.mainSoilNames[i];
        EXPECT_EQ(row.SoilName, before.mainSoilNames[i].SoilName);
        EXPECT_EQ(row.SoilCode, before.mainSoilNames[i].SoilCode);
        EXPECT_EQ(row.gamma, before.mainSoilNames[i].gamma);
        EXPECT_EQ(row.FC, before.mainSoilNames[i].FC);
    }
    EXPECT_EQ(settings.mainSoilNames[0].CC, 0);
    EXPECT_EQ(settings.mainSoilNames[0].Vs, 0);
    EXPECT_EQ(settings.subSoilNames[2].gamma, 0.5);
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
    // The menu commands do not count as changes.
    EXPECT_FALSE(dialog->IsChanged());
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
    // A paste is not a change: closing asks nothing and saves nothing.
    CloseBox();
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(settings.subSoilNames.size(), 11u);
    EXPECT_FALSE(dialog->isVisible());
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

}  // namespace
