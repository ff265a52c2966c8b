#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include <filesystem>

#include "ui/dialogs/dialog_test_support.h"
#include "ui/dialogs/frmOption.h"

namespace {

namespace fs = std::filesystem;

class OptionsDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureQtApplication();
        root = fs::path(QM_TEST_OUTPUT_DIR) / "options_dialog" /
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(root);
        fs::create_directories(root);
        settings.defaultDataFolder = root.string();
        settings.colorPrint = 0;
        doc.currentFolder = "/old";
    }

    Settings settings;
    Document doc;
    FakePlatformServices services;
    fs::path root;
};

TEST_F(OptionsDialog, ShowsItsTextsAndTheSettings) {
    settings.colorPrint = 1;
    frmOption dialog(settings, doc, services);
    EXPECT_EQ(dialog.windowTitle(), "動作設定");
    EXPECT_EQ(dialog.Check1->text(), "印刷時にカラー出力を行う");
    EXPECT_EQ(dialog.fraFolder->title(), "データを開くときの最初のフォルダ");
    EXPECT_EQ(dialog.cmdRef->text(), "参照...");
    EXPECT_EQ(dialog.cmdHelp->text(), "ﾍﾙﾌﾟ");
    EXPECT_EQ(dialog.Text1->text().toStdString(), root.string());
    EXPECT_TRUE(dialog.Check1->isChecked());
    EXPECT_TRUE(dialog.cmdOk->isEnabled());
}

TEST_F(OptionsDialog, OkIsEnabledOnlyWithAFolder) {
    frmOption dialog(settings, doc, services);
    dialog.Text1->clear();
    EXPECT_FALSE(dialog.cmdOk->isEnabled());
    QTest::keyClicks(dialog.Text1, "a");
    EXPECT_TRUE(dialog.cmdOk->isEnabled());
    // Blanks only, half- or full-width, name no folder.
    for (const char* blanks : {" ", "   ", "　", " 　 "}) {
        dialog.Text1->setText(QString::fromUtf8(blanks));
        EXPECT_FALSE(dialog.cmdOk->isEnabled()) << blanks;
    }
}

TEST_F(OptionsDialog, AFolderOfBlanksIsNeitherCreatedNorStored) {
    frmOption dialog(settings, doc, services);
    ASSERT_TRUE(ShowActive(dialog));
    dialog.Text1->setFocus();
    dialog.Text1->setText(QStringLiteral(" 　"));
    QTest::keyClick(dialog.Text1, Qt::Key_Return);
    dialog.cmdOk_Click();
    EXPECT_TRUE(services.messages.empty());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(settings.defaultDataFolder, root.string());
    EXPECT_EQ(doc.currentFolder, "/old");
}

TEST_F(OptionsDialog, EnterInTheFolderBoxConfirmsTheDialog) {
    frmOption dialog(settings, doc, services);
    ASSERT_TRUE(ShowActive(dialog));
    dialog.Text1->setFocus();
    QTest::keyClick(dialog.Text1, Qt::Key_Return);
    EXPECT_TRUE(services.folderBrowses.empty());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(OptionsDialog, OkStoresTheTrimmedFolderAndColour) {
    frmOption dialog(settings, doc, services);
    dialog.Text1->setText(QString::fromStdString("　 " + root.string() + " 　"));
    QTest::mouseClick(dialog.Check1, Qt::LeftButton);
    QTest::mouseClick(dialog.cmdOk, Qt::LeftButton);
    EXPECT_TRUE(services.messages.empty());  // the folder exists
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(settings.defaultDataFolder, root.string());
    EXPECT_EQ(settings.colorPrint, 1);
}

TEST_F(OptionsDialog, TheCurrentFolderFollowsOnlyForADocumentWithoutFile) {
    for (bool saved : {true, false}) {
        doc.currentFileName = saved ? "site.qmf" : "";
        doc.currentFolder = "/old";
        frmOption dialog(settings, doc, services);
        QTest::mouseClick(dialog.cmdOk, Qt::LeftButton);
        EXPECT_EQ(doc.currentFolder, saved ? "/old" : root.string()) << saved;
    }
}

TEST_F(OptionsDialog, MissingFolderIsCreatedOnlyAfterYes) {
    const fs::path missing = root / "new";
    for (MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
        services.messages.clear();
        services.messageAnswers = {answer};
        frmOption dialog(settings, doc, services);
        dialog.Text1->setText(QString::fromStdString(missing.string()));
        QTest::mouseClick(dialog.cmdOk, Qt::LeftButton);

        ASSERT_EQ(services.messages.size(), 1u);
        EXPECT_EQ(services.messages[0].text, "指定されたフォルダ " + missing.string() +
                                                 " が存在しません。\r" + missing.string() +
                                                 " を作成してもよろしいですか。");
        EXPECT_EQ(services.messages[0].icon, MessageIcon::Question);
        EXPECT_EQ(services.messages[0].buttons, MessageButtons::YesNo);
        EXPECT_EQ(services.messages[0].title, "Vekt／Quilmorn2008");
        EXPECT_EQ(fs::is_directory(missing), answer == MessageAnswer::Yes);
        EXPECT_EQ(settings.defaultDataFolder, missing.string());
    }
}

TEST_F(OptionsDialog, FailedCreationIsReportedAndTheFolderStoredAllTheSame) {
    const fs::path deep = root / "no" / "such";
    services.messageAnswers = {MessageAnswer::Yes};
    frmOption dialog(settings, doc, services);
    dialog.Text1->setText(QString::fromStdString(deep.string()));
    QTest::mouseClick(dialog.Check1, Qt::LeftButton);
    QTest::mouseClick(dialog.cmdOk, Qt::LeftButton);
    ASSERT_EQ(services.messages.size(), 2u);
    EXPECT_EQ(services.messages[1].icon, MessageIcon::Exclamation);
    EXPECT_EQ(services.messages[1].title, "Vekt／Quilmorn2008");
    EXPECT_EQ(
        services.messages[1].text,
        "フォルダ " + deep.string() + " を作成できませんでした。\n上位のフォルダが存在しません。");
    EXPECT_FALSE(fs::exists(deep));
    EXPECT_EQ(settings.defaultDataFolder, deep.string());
    EXPECT_EQ(settings.colorPrint, 1);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(OptionsDialog, CancelStoresNothing) {
    frmOption dialog(settings, doc, services);
    dialog.Text1->setText("/elsewhere");
    QTest::mouseClick(dialog.Check1, Qt::LeftButton);
    QTest::mouseClick(dialog.cmdCancel, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(settings.defaultDataFolder, root.string());
    EXPECT_EQ(settings.colorPrint, 0);
    EXPECT_EQ(doc.currentFolder, "/old");
}

TEST_F(OptionsDialog, BrowseStartsAtTheTypedFolderAndWritesTheChoiceBack) {
    frmOption dialog(settings, doc, services);
    dialog.Text1->setText("/start");
    services.folderAnswers = {std::string("/chosen"), std::nullopt};
    QTest::mouseClick(dialog.cmdRef, Qt::LeftButton);
    EXPECT_EQ(dialog.Text1->text(), "/chosen");
    QTest::mouseClick(dialog.cmdRef, Qt::LeftButton);  // cancelled
    EXPECT_EQ(dialog.Text1->text(), "/chosen");
    ASSERT_EQ(services.folderBrowses.size(), 2u);
    EXPECT_EQ(services.folderBrowses[0].title, "Vekt／Quilmorn2008 データフォルダ");
    EXPECT_EQ(services.folderBrowses[0].initialFolder, "/start");
    EXPECT_EQ(services.folderBrowses[1].initialFolder, "/chosen");
}

}  // namespace
