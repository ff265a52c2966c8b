#include "ui/main_window/menu_builders.h"

#include <QAction>
#include <QMenu>

#include "core/program_folder.h"
#include "ui/platform/help_commands.h"

namespace {

QAction* AddItem(QMenu* menu, const char* name, const QString& caption,
                 std::function<void()> command) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    QObject::connect(action, &QAction::triggered, menu, [command = std::move(command)] {
        if (command)
            command();
    });
    return action;
}

void AddSeparator(QMenu* menu, const char* name) {
    menu->addSeparator()->setObjectName(QString::fromLatin1(name));
}

}  // namespace

void BuildHelpMenu(QMenu* mnuHelp, PlatformServices& services, QWidget* mainWindow,
                   std::function<void()> showVersion) {
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelp->setTitle(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    AddItem(mnuHelp, "mnuHelpIndex", QStringLiteral("トピックの検索(&H)"),
            [&services, mainWindow] { HelpIndex(services, mainWindow); });
    AddItem(mnuHelp, "mnuHelpManual", QStringLiteral("PDF解説書(&P)"),
            [&services] { HelpManual(services, ProgramFolder()); });
    AddSeparator(mnuHelp, "mnuHelpBar1");
    AddItem(mnuHelp, "mnuHelpHomePage",
            QString::fromUtf8(kMakerName) + QStringLiteral(" ホームページ(&W)"),
            [&services] { HelpHomePage(services); });
    AddItem(mnuHelp, "mnuHelpQASite", QStringLiteral("Webサイト  Q&&Aページ(&Q)"),
            [&services] { HelpQASite(services); });
    AddSeparator(mnuHelp, "mnuHelpBar2");
    AddItem(mnuHelp, "mnuHelpAboutMe", QStringLiteral("バージョン情報(&A)..."),
            std::move(showVersion));
}

void BuildOptionMenu(QMenu* mnuOption, OptionMenuCommands commands) {
    mnuOption->setObjectName(QStringLiteral("mnuOption"));
    mnuOption->setTitle(QStringLiteral("設定(&O)"));
    AddItem(mnuOption, "mnuOptionPath", QStringLiteral("動作設定(&P)..."),
            std::move(commands.path));
    AddItem(mnuOption, "mnuOptionYohaku", QStringLiteral("余白の設定(&Y)..."),
            std::move(commands.yohaku));
    AddItem(mnuOption, "mnuOptionSoName", QStringLiteral("土質名入力設定(&D)..."),
            std::move(commands.soName));
}
