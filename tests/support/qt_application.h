#pragma once

#include <QApplication>

// One QApplication for a whole test program (fonts and painting need it);
// tests that use Qt call this first. QT_QPA_PLATFORM=offscreen keeps it
// headless.
inline void EnsureQtApplication() {
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "qm-tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}
