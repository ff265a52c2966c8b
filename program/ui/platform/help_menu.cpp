#include "ui/platform/help_menu.h"

#include <QAction>
#include <QMenu>

#include "core/program_folder.h"
#include "ui/platform/desktop_helpers.h"

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

bool GetAssocApp(PlatformServices& services, const std::string& ext, RegisteredProgram& program) {
    std::optional<RegisteredProgram> registered = services.AssociatedProgram(ext);
    if (registered && !registered->exec.empty()) {
        program = *registered;
        return true;
    }
    std::string text = "拡張子 " + ext;
    if (registered)
        text += " にアプリケーションが関連づけされていないため、起動することができません。";
    else
        text += " に関連づけられたアプリケーションを見つけることができませんでした。";
    services.ShowMessage(text, MessageIcon::Exclamation, kProgramTitle, MessageButtons::Ok);
    return false;
}

bool OpenDocument(PlatformServices& services, const std::string& target) {
    if (target.empty())
        return true;
    if (services.OpenWithDesktop(target))
        return true;
    RegisteredProgram program;
    if (!GetAssocApp(services, "htm", program))
        return false;
    std::vector<std::string> arguments = DesktopEntryArguments(program, target);
    return !arguments.empty() && services.StartProgram(arguments);
}

void HelpIndex(PlatformServices& services, const QWidget* mainWindow) {
    ShowHelp(services, mainWindow);
}

void HelpManual(PlatformServices& services, const std::string& programFolder) {
    OpenWithAssociatedProgram(services, "pdf.htm", programFolder + "/manual");
}

void HelpHomePage(PlatformServices& services) {
    OpenDocument(services, kMakerHomePage);
}

void HelpQASite(PlatformServices& services) {
    OpenDocument(services, kMakerQAPage);
}

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
