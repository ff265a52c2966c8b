#pragma once

#include <QApplication>
#include <QInputDevice>

// One QApplication for a whole test program (fonts and painting need it);
// tests that use Qt call this first. QT_QPA_PLATFORM=offscreen keeps it
// headless.
inline void EnsureQtApplication() {
    if (QCoreApplication::instance())
        return;
    // Qt's registry of input devices must outlive the application, whose
    // destructor deletes the devices that showing windows and simulated
    // clicks create: statics are destroyed in the reverse order of their
    // making, so the registry is made first.
    (void)QInputDevice::devices();
    static int argc = 1;
    static char name[] = "qm-tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}
