// The Settings menu's dialogs and the version dialog of the Help menu.
#include "output/clsPrinter.h"
#include "ui/dialogs/dialog_support.h"
#include "ui/dialogs/fdlgVersion.h"
#include "ui/dialogs/frmOption.h"
#include "ui/dialogs/frmSNDef.h"
#include "ui/dialogs/frmYohaku.h"
#include "ui/main_window/frmMain.h"

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
    if (dialog.Tag() == kTagChanged) {
        SetSoilDefList();
        RecalculateAndRedraw();
    }
}

void frmMain::mnuHelpAboutMe_Click() {
    fdlgVersion dialog(programInfo, this);
    RunModal(dialog);
}
