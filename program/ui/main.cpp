// Quilmorn2008: the liquefaction judgement of one boring.
#include <QApplication>

#include "output/metafile_player.h"
#include "ui/qt_platform_services.h"
#include "ui/startup.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    RegisterPageFontSubstitution();
    QtPlatformServices services;
    ProgramState state;
    StartResult result = StartProgram(state, services, CommandLineText(argc, argv));
    if (result != StartResult::kRunning)
        return result == StartResult::kAlreadyRunning ? 0 : 1;
    services.SetParentWindow(state.form.get());
    return app.exec();
}
