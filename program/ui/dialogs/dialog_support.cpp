#include "ui/dialogs/dialog_support.h"

#include <QCloseEvent>
#include <QDialog>
#include <QEvent>

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

namespace {

// Fixes a dialog's size when it is first shown, after it took its size and
// before the window manager sees it, so that no maximise is offered; a
// window manager that still offers to minimise it gets the dialog back at
// once, since the window behind it waits for its answer.
class ModalFrameKeeper : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Events still come while the dialog is taken apart, when it is no
        // longer a dialog.
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog == nullptr)
            return false;
        if (event->type() == QEvent::Show && !sized_) {
            sized_ = true;
            dialog->setFixedSize(dialog->size());
        } else if (event->type() == QEvent::WindowStateChange && dialog->isMinimized()) {
            QMetaObject::invokeMethod(
                dialog, [dialog] { dialog->showNormal(); }, Qt::QueuedConnection);
        }
        return false;
    }

  private:
    bool sized_ = false;
};

}  // namespace

void UseModalDialogFrame(QDialog& dialog) {
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint);
    dialog.installEventFilter(new ModalFrameKeeper(&dialog));
}

void ShowUnreadableTexts(PlatformServices& services, const std::vector<std::string>& unreadable,
                         const std::string& path) {
    if (unreadable.empty())
        return;
    services.ShowMessage(UnreadableTextsMessage(unreadable, path), MessageIcon::Exclamation,
                         kProgramTitle, MessageButtons::Ok);
}
