#include "ui/platform/modal_dialog_frame.h"

#include <QDialog>
#include <QEvent>

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
