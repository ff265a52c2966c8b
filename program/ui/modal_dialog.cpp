#include "ui/modal_dialog.h"

#include <QDialog>

namespace {

ModalRunner& Runner() {
    static ModalRunner runner;
    return runner;
}

}  // namespace

void RunModal(QDialog& dialog) {
    if (Runner())
        Runner()(dialog);
    else
        dialog.exec();
}

ModalRunner SetModalRunner(ModalRunner runner) {
    ModalRunner previous = std::move(Runner());
    Runner() = std::move(runner);
    return previous;
}
