// Quilmorn2008: the liquefaction judgement of one boring.
#include <QLibraryInfo>
#include <QTranslator>

#include "output/metafile_player.h"
#include "ui/main_window/program_application.h"
#include "ui/main_window/program_style.h"
#include "ui/main_window/startup.h"
#include "ui/main_window/toolbar_images.h"
#include "ui/platform/qt_platform_services.h"

int main(int argc, char** argv) {
    // A fault that escapes an event handler is reported, and the program
    // goes on, so that the user can save.
    ProgramApplication app(argc, argv);
    // Every text of the program is Japanese; Qt's own buttons ("はい", "キャンセル")
    // and dialogs follow suit whatever the desktop's language.
    QTranslator qtTexts;
    if (qtTexts.load("qtbase_ja", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTexts);
    app.setWindowIcon(ProgramIcon());
    UseProgramStyle(app);
    UseProgramFonts(app);
    RegisterPageFontSubstitution();
    QtPlatformServices services;
    app.SetFaultMessages(&services);
    ProgramState state;
    StartResult result = StartProgram(state, services, CommandLineText(argc, argv));
    int code = result == StartResult::kAlreadyRunning ? 0 : 1;
    if (result == StartResult::kRunning) {
        services.SetParentWindow(state.form.get());
        code = app.exec();
    }
    // The windows and the services go before the application does.
    app.SetFaultMessages(nullptr);
    return code;
}
