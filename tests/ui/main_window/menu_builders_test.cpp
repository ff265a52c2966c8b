#include "ui/main_window/menu_builders.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QWidget>
#include <string>
#include <utility>
#include <vector>

#include "support/qt_application.h"
#include "ui/platform/desktop_helpers.h"
#include "ui/platform/fake_platform_services.h"
#include "ui/platform/help_commands.h"

namespace {

TEST(HelpMenu, ItemsCarryTheirNamesAndCaptionsAndRunTheirCommands) {
    EnsureQtApplication();
    FakePlatformServices fake;
    QMenu menu;
    QWidget mainWindow;
    mainWindow.setObjectName("frmMain");
    int versions = 0;
    BuildHelpMenu(&menu, fake, &mainWindow, [&] { ++versions; });
    EXPECT_EQ(menu.objectName(), "mnuHelp");
    EXPECT_EQ(menu.title(), "ﾍﾙﾌﾟ(&H)");

    std::vector<std::pair<QString, QString>> items;
    for (QAction* action : menu.actions())
        items.emplace_back(action->objectName(), action->text());
    std::vector<std::pair<QString, QString>> expected = {
        {"mnuHelpIndex", "トピックの検索(&H)"},
        {"mnuHelpManual", "PDF解説書(&P)"},
        {"mnuHelpBar1", ""},
        {"mnuHelpHomePage", "ヴァルンホルト ホームページ(&W)"},
        {"mnuHelpQASite", "Webサイト  Q&&Aページ(&Q)"},
        {"mnuHelpBar2", ""},
        {"mnuHelpAboutMe", "バージョン情報(&A)..."},
    };
    EXPECT_EQ(items, expected);

    menu.findChild<QAction*>("mnuHelpHomePage")->trigger();
    menu.findChild<QAction*>("mnuHelpQASite")->trigger();
    EXPECT_EQ(fake.desktopOpens, (std::vector<std::string>{kMakerHomePage, kMakerQAPage}));
    menu.findChild<QAction*>("mnuHelpIndex")->trigger();
    ASSERT_EQ(fake.helpPages.size(), 1u);
    EXPECT_EQ(fake.helpPages[0], HelpPagePath(HelpFolder(), "frmMain"));
    menu.findChild<QAction*>("mnuHelpAboutMe")->trigger();
    EXPECT_EQ(versions, 1);
}

TEST(OptionMenu, ItemsRunTheMainWindowsCommands) {
    EnsureQtApplication();
    QMenu menu;
    std::string ran;
    BuildOptionMenu(&menu, {[&] { ran += "P"; }, [&] { ran += "Y"; }, [&] { ran += "D"; }});
    EXPECT_EQ(menu.title(), "設定(&O)");
    ASSERT_EQ(menu.actions().size(), 3);
    EXPECT_EQ(menu.actions()[0]->text(), "動作設定(&P)...");
    EXPECT_EQ(menu.actions()[1]->text(), "余白の設定(&Y)...");
    EXPECT_EQ(menu.actions()[2]->text(), "土質名入力設定(&D)...");
    for (QAction* action : menu.actions())
        action->trigger();
    EXPECT_EQ(ran, "PYD");
    EXPECT_NE(menu.findChild<QAction*>("mnuOptionSoName"), nullptr);
}

}  // namespace
