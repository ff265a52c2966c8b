#include "ui/platform/desktop_helpers.h"

#include <unistd.h>

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QShortcut>
#include <QVariant>
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

std::span<const HelpTopic> HelpTopics() {
    static constexpr HelpTopic kTopics[] = {
        {"frmMain", "index"},
        {"frmKihon", "basic_data"},
        {"frmOption", "options"},
        {"frmYohaku", "page_setup_margins"},
        {"frmHF", "header_footer_codes"},
        {"frmSNDef", "soil_names"},
        {"frmPreviewSet", "print_items"},
        {"frmPreview", "preview"},
        {"PrinterSetupDialog", "printer_setup"},
        {"fdlgVersion", "index"},
    };
    return kTopics;
}

std::string HelpTopicOf(const std::string& window) {
    for (const HelpTopic& topic : HelpTopics())
        if (window == topic.window)
            return topic.page;
    return "index";
}

void ShowHelp(PlatformServices& services, const QWidget* window, const std::string& helpFolder) {
    std::string topic;
    if (window != nullptr) {
        const QWidget* top = window->window();
        const QVariant page = top->property(kHelpPageProperty);
        topic = page.isValid() ? page.toString().toStdString()
                               : HelpTopicOf(top->objectName().toStdString());
    }
    services.OpenHelp(HelpPagePath(helpFolder, topic));
}

namespace {

// F1 in the windows other than the one that installed it. A shortcut of the
// main window does not reach a modal dialog over it, and some windows (the
// printer setup) are built below the layer that knows the help.
class HelpKeyFilter : public QObject {
  public:
    HelpKeyFilter(QWidget* owner, PlatformServices& services)
        : QObject(owner), owner_(owner), services_(services) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->window() == owner_)
            return false;  // the owner's own shortcut answers
        ShowHelp(services_, widget);
        return true;
    }

  private:
    QWidget* owner_;
    PlatformServices& services_;
};

}  // namespace

void InstallHelpKey(QWidget* window, PlatformServices& services) {
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window);
    key->setContext(Qt::WindowShortcut);
    QObject::connect(key, &QShortcut::activated, window,
                     [window, &services] { ShowHelp(services, window); });
    if (qApp != nullptr)
        qApp->installEventFilter(new HelpKeyFilter(window, services));
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
