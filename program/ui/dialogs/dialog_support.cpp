#include "ui/dialogs/dialog_support.h"

#include <QCloseEvent>
#include <QDialog>

#include "core/project_file.h"
#include "ui/platform/desktop_helpers.h"
#include "ui/platform/platform_services.h"

std::string HelpPagePath(const std::string& page) {
    // The dialogs name their page with its extension; the help folder serves
    // the index page for one that is not there.
    std::string topic = page;
    const std::string extension = ".htm";
    if (topic.size() > extension.size() &&
        topic.compare(topic.size() - extension.size(), extension.size(), extension) == 0)
        topic.resize(topic.size() - extension.size());
    return HelpPagePath(HelpFolder(), topic);
}

bool CloseEditedDialog(QDialog& dialog, QCloseEvent* event, bool changed,
                       PlatformServices& services, const std::function<int()>& save) {
    if (!changed)
        return true;
    switch (services.ShowMessage("データの更新を有効にしますか", MessageIcon::Question,
                                 kProgramTitle, MessageButtons::YesNoCancel)) {
        case MessageAnswer::Yes:
            event->ignore();
            if (save() == 0)
                dialog.accept();
            return false;
        case MessageAnswer::No:
            return true;
        default:
            event->ignore();
            return false;
    }
}

void ShowUnreadableTexts(PlatformServices& services, const std::vector<std::string>& unreadable,
                         const std::string& path) {
    if (unreadable.empty())
        return;
    services.ShowMessage(UnreadableTextsMessage(unreadable, path), MessageIcon::Exclamation,
                         kProgramTitle, MessageButtons::Ok);
}
