// Quilmorn2008: the liquefaction judgement of one boring.
#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "output/metafile_player.h"
#include "ui/program_style.h"
#include "ui/qt_platform_services.h"
#include "ui/startup.h"
#include "ui/toolbar_images.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
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
    ProgramState state;
    StartResult result = StartProgram(state, services, CommandLineText(argc, argv));
    if (result != StartResult::kRunning)
        return result == StartResult::kAlreadyRunning ? 0 : 1;
    services.SetParentWindow(state.form.get());
    return app.exec();
}
