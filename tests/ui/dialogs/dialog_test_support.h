#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>

#include "support/qt_application.h"
#include "ui/platform/fake_platform_services.h"

// Shows a dialog without a modal loop and makes it the active window, so that
// focus moves and key presses reach its controls as they would for the user.
inline bool ShowActive(QWidget& dialog) {
    dialog.show();
    dialog.activateWindow();
    return QTest::qWaitForWindowActive(&dialog);
}
