#include "ui/platform/desktop_helpers.h"

#include <unistd.h>

#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

#include "core/path_helpers.h"
#include "core/program_folder.h"

std::string HelpFolder() {
    return ProgramFolder() + "/HELP";
}

std::string HelpPagePath(const std::string& helpFolder, const std::string& topic) {
    if (!topic.empty()) {
        std::string page = helpFolder + "/" + topic + ".htm";
        if (FileExists(page))
            return page;
    }
    return helpFolder + "/index.htm";
}

void ShowHelp(PlatformServices& services, const QWidget* window, const std::string& helpFolder) {
    std::string topic;
    if (window != nullptr)
        topic = window->window()->objectName().toStdString();
    services.OpenHelp(HelpPagePath(helpFolder, topic));
}

void InstallHelpKey(QWidget* window, PlatformServices& services) {
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window);
    key->setContext(Qt::WindowShortcut);
    QObject::connect(key, &QShortcut::activated, window,
                     [window, &services] { ShowHelp(services, window); });
}

void BrowseForFolder(PlatformServices& services, const std::string& title, std::string& path) {
    if (std::optional<std::string> chosen = services.BrowseForFolder(title, path))
        path = *chosen;
}

void OpenWithAssociatedProgram(PlatformServices& services, const std::string& file,
                               const std::string& folder) {
    // The document goes to the desktop as one path, so blanks in folder or
    // file names need no quoting.
    std::string path = RemoveTrailingBackslash(folder) + "/" + file;
    const char* message = nullptr;
    if (!FolderExists(folder))
        message = "パスが見つかりません。";
    else if (!FileExists(path))
        message = "ファイルが見つかりません。";
    else if (access(path.c_str(), R_OK) != 0)
        message = "アクセスは拒否されました。";
    else if (!services.OpenWithDesktop(path))
        message = "関連付けが指定されていません。";
    if (message != nullptr)
        services.ShowMessage(message, MessageIcon::Exclamation, kProgramTitle, MessageButtons::Ok);
}
