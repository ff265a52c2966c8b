// The Settings menu's dialogs and the version dialog of the Help menu.
#include "output/clsPrinter.h"
#include "ui/fdlgVersion.h"
#include "ui/frmMain.h"
#include "ui/frmOption.h"
#include "ui/frmSNDef.h"
#include "ui/frmYohaku.h"

void frmMain::mnuOptionPath_Click() {
    frmOption dialog(settings, doc, services, this);
    RunModal(dialog);
}

void frmMain::mnuOptionYohaku_Click() {
    frmYohaku dialog(
        settings, doc, programInfo, [this]() -> clsPrinter& { return Printer(); }, services, this);
    RunModal(dialog);
}

void frmMain::mnuOptionSoName_Click() {
    frmSNDef dialog(settings, services, this);
    dialog.SetDialogForm();
    RunModal(dialog);
    // The tables stay in memory; the settings file takes them at the end.
    if (dialog.Tag() == QLatin1String("Changed")) {
        SetSoilDefList();
        Recalculate();
        ShowResult();
        DrawViews(5);
        picShow_Paint(0);
    }
}

void frmMain::mnuHelpAboutMe_Click() {
    fdlgVersion dialog(programInfo, this);
    RunModal(dialog);
}
