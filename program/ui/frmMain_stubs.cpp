// Placeholders for the File and Edit commands until they are built.
#include "ui/frmMain.h"

void frmMain::mnuFileNew_Click() {}
void frmMain::mnuFileOpen_Click() {}
void frmMain::mnuFileList_Click(int) {}
void frmMain::mnuFileSave_Click() {}
void frmMain::mnuFileSaveAs_Click() {}
void frmMain::mnuFileExport_Click() {}
void frmMain::mnuFilePrint_Click() {}
void frmMain::mnuFilePreView_Click() {}
bool frmMain::OpenProjectPath(const std::string&) {
    return false;
}
void frmMain::WriteProjectPath(const std::string&) {}
void frmMain::DocumentRefresh() {}

void frmMain::mnuEditUndo_Click() {}
void frmMain::mnuEditRedo_Click() {}
void frmMain::mnuEditCut_Click() {}
void frmMain::mnuEditCopy_Click() {}
void frmMain::mnuEditPaste_Click() {}
void frmMain::mnuEditClear_Click() {}
void frmMain::mnuEditCutRow_Click() {}
void frmMain::mnuEditCopyRow_Click() {}
void frmMain::mnuEditPasteRow_Click() {}
void frmMain::mnuEditInsertRow_Click() {}
void frmMain::mnuEditClearRow_Click() {}
void frmMain::mnuEditDeleteRow_Click() {}
void frmMain::mnuEditCopyUnder_Click() {}
void frmMain::mnuEditDeleteUnderAll_Click() {}
void frmMain::mnuCopy1_Click() {}
void frmMain::vaSpreadN_MouseDown(Qt::MouseButton, const QPoint&) {}
void frmMain::vaSpreadS_MouseDown(Qt::MouseButton, const QPoint&) {}
void frmMain::vaSpreadE_MouseDown(Qt::MouseButton, const QPoint&) {}
