#include "ui/platform/help_commands.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>
#include <filesystem>
#include <fstream>

#include "support/qt_application.h"
#include "ui/platform/desktop_helpers.h"
#include "ui/platform/fake_platform_services.h"

namespace {

namespace fs = std::filesystem;

class DesktopTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureQtApplication();
        folder = fs::path(QM_TEST_OUTPUT_DIR) / "ui-desktop" /
                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void Touch(const fs::path& path) { std::ofstream(path) << "<html></html>"; }

    FakePlatformServices services;
    fs::path folder;
};

TEST_F(DesktopTest, HelpOpensTheWindowsTopicPageOrTheIndex) {
    Touch(folder / "options.htm");
    QDialog option;
    option.setObjectName("frmOption");
    auto* field = new QLineEdit(&option);
    QDialog other;
    other.setObjectName("frmKihon");

    ShowHelp(services, field, folder.string());
    ShowHelp(services, &other, folder.string());
    ShowHelp(services, nullptr, folder.string());
    ASSERT_EQ(services.helpPages.size(), 3u);
    EXPECT_EQ(services.helpPages[0], (folder / "options.htm").string());
    // A topic whose page is missing falls back to the index.
    EXPECT_EQ(services.helpPages[1], (folder / "index.htm").string());
    EXPECT_EQ(services.helpPages[2], (folder / "index.htm").string());
}

TEST_F(DesktopTest, F1OpensTheHelpOfItsWindow) {
    QDialog dialog;
    dialog.setObjectName("frmYohaku");
    InstallHelpKey(&dialog, services);
    auto* key = dialog.findChild<QShortcut*>();
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->key(), QKeySequence(Qt::Key_F1));
    emit key->activated();
    ASSERT_EQ(services.helpPages.size(), 1u);
    EXPECT_EQ(services.helpPages[0], HelpPagePath(HelpFolder(), "page_setup_margins"));
}

// F1 in a window over the one that installed the key, as in a modal dialog
// over the main window, opens that window's page.
TEST_F(DesktopTest, F1InAnotherWindowOpensThatWindowsHelp) {
    QWidget main;
    main.setObjectName("frmMain");
    InstallHelpKey(&main, services);
    QDialog soilNames;
    soilNames.setObjectName("frmSNDef");
    auto* field = new QLineEdit(&soilNames);
    QDialog unknown;
    auto* other = new QLineEdit(&unknown);

    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QKeyEvent shiftF1(QEvent::KeyPress, Qt::Key_F1, Qt::ShiftModifier);
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QCoreApplication::sendEvent(field, &f1);
    QCoreApplication::sendEvent(field, &shiftF1);
    QCoreApplication::sendEvent(field, &letter);
    QCoreApplication::sendEvent(other, &f1);
    ASSERT_EQ(services.helpPages.size(), 2u);
    EXPECT_EQ(services.helpPages[0], HelpPagePath(HelpFolder(), "soil_names"));
    EXPECT_EQ(services.helpPages[1], HelpPagePath(HelpFolder(), "index"));
    EXPECT_EQ(field->text(), QStringLiteral("a"));
}

TEST_F(DesktopTest, BrowseForFolderKeepsThePathWhenCancelled) {
    std::string path = "/data/borings";
    services.folderAnswers = {std::string("/data/new"), std::nullopt};
    BrowseForFolder(services, "Vekt／Quilmorn2008 データフォルダ", path);
    EXPECT_EQ(path, "/data/new");
    BrowseForFolder(services, "t", path);
    EXPECT_EQ(path, "/data/new");
    ASSERT_EQ(services.folderBrowses.size(), 2u);
    EXPECT_EQ(services.folderBrowses[0].title, "Vekt／Quilmorn2008 データフォルダ");
    EXPECT_EQ(services.folderBrowses[0].initialFolder, "/data/borings");
}

TEST_F(DesktopTest, OpenWithAssociatedProgramSaysWhyItCannotOpen) {
    Touch(folder / "pdf.htm");
    struct Case {
        std::string folder;
        std::string file;
        bool desktopWorks;
        const char* message;  // none when opened
    } cases[] = {
        {folder.string(), "pdf.htm", true, nullptr},
        {(folder / "missing").string(), "pdf.htm", true, "パスが見つかりません。"},
        {folder.string(), "other.htm", true, "ファイルが見つかりません。"},
        {folder.string(), "pdf.htm", false, "関連付けが指定されていません。"},
    };
    for (const Case& c : cases) {
        FakePlatformServices fake;
        fake.desktopOpenSucceeds = c.desktopWorks;
        OpenWithAssociatedProgram(fake, c.file, c.folder);
        SCOPED_TRACE(c.folder + "/" + c.file);
        if (c.message == nullptr) {
            EXPECT_TRUE(fake.messages.empty());
            ASSERT_EQ(fake.desktopOpens.size(), 1u);
            EXPECT_EQ(fake.desktopOpens[0], c.folder + "/" + c.file);
        } else {
            ASSERT_EQ(fake.messages.size(), 1u);
            EXPECT_EQ(fake.messages[0].text, c.message);
            EXPECT_EQ(fake.messages[0].icon, MessageIcon::Exclamation);
            EXPECT_EQ(fake.messages[0].title, kProgramTitle);
        }
    }
}

TEST_F(DesktopTest, HelpManualOpensThePdfIndexPageOfTheManualFolder) {
    fs::create_directories(folder / "manual");
    Touch(folder / "manual" / "pdf.htm");
    HelpManual(services, folder.string());
    ASSERT_EQ(services.desktopOpens.size(), 1u);
    EXPECT_EQ(services.desktopOpens[0], (folder / "manual" / "pdf.htm").string());
}

TEST(OpenDocument, FallsBackOnTheProgramRegisteredForHtm) {
    struct Case {
        bool desktopWorks;
        std::optional<std::string> htmExec;  // none: nothing registered
        bool result;
        const char* warning;
    } cases[] = {
        {true, std::nullopt, true, nullptr},
        {false, std::nullopt, false,
         "拡張子 htm に関連づけられたアプリケーションを見つけることができませんでした。"},
        {false, std::string(), false,
         "拡張子 htm にアプリケーションが関連づけされていないため、起動することができません。"},
        {false, std::string("browser --new %u"), true, nullptr},
    };
    for (const Case& c : cases) {
        FakePlatformServices fake;
        fake.desktopOpenSucceeds = c.desktopWorks;
        if (c.htmExec)
            fake.associations["htm"] = RegisteredProgram{*c.htmExec, "Browser", "", ""};
        EXPECT_EQ(OpenDocument(fake, kMakerHomePage), c.result);
        EXPECT_EQ(fake.desktopOpens, std::vector<std::string>{kMakerHomePage});
        if (c.warning) {
            ASSERT_EQ(fake.messages.size(), 1u);
            EXPECT_EQ(fake.messages[0].text, c.warning);
            EXPECT_EQ(fake.messages[0].icon, MessageIcon::Exclamation);
            EXPECT_EQ(fake.messages[0].title, "Vekt／Quilmorn2008");
            EXPECT_EQ(fake.messages[0].buttons, MessageButtons::Ok);
        } else {
            EXPECT_TRUE(fake.messages.empty());
        }
        if (c.result && !c.desktopWorks)
            EXPECT_EQ(
                fake.startedPrograms,
                (std::vector<std::vector<std::string>>{{"browser", "--new", kMakerHomePage}}));
        else
            EXPECT_TRUE(fake.startedPrograms.empty());
    }
}

TEST(OpenDocument, EmptyTargetStartsNothingAndFailedStartIsReported) {
    FakePlatformServices fake;
    EXPECT_TRUE(OpenDocument(fake, ""));
    EXPECT_TRUE(fake.desktopOpens.empty());

    fake.desktopOpenSucceeds = false;
    fake.startSucceeds = false;
    fake.associations["htm"] = RegisteredProgram{"browser", "", "", ""};
    EXPECT_FALSE(OpenDocument(fake, "/help/a b.htm"));
    EXPECT_EQ(fake.startedPrograms,
              (std::vector<std::vector<std::string>>{{"browser", "/help/a b.htm"}}));
    EXPECT_TRUE(fake.messages.empty());
}

}  // namespace
