// The Edit menu of the main window and the grids' right-button menus: the
// clipboard and row commands on the grid that has the focus.
#include <QMenu>

#include "core/n_value_rows.h"
#include "ui/grid/clsSpreadIn.h"
#include "ui/grid/spread_grid.h"
#include "ui/main_window/frmMain.h"
#include "ui/main_window/input_grid_slots.h"

namespace {

using GridCommand = void (clsSpreadIn::*)();

// Rows that a command added to the N-value grid, or inserted blank, start
// as its other blank rows do, with the standard penetration where nothing was
// pasted.
void StandardPenetrationInNewRows(frmMain& w, int firstNew) {
    clsSpreadIn& bind = w.SpreadInN();
    for (int row = 1; row <= w.vaSpreadN->MaxRows(); ++row) {
        if (NRowTakesStandardPenetration(row, firstNew, bind.iFG(row) != 0,
                                         bind.DataD(kNSlotPenetration, row))) {
            bind.DataD(kNSlotPenetration, row, kStandardPenetration);
            bind.PrtSheet(row);
        }
    }
}

// A command that changes the N-value or the soil grid, then the chain that
// takes the whole grid into the document and recalculates. On a grid the
// document counts as changed only when its rows did change: a command that
// was refused (a row command on whole columns, an insert into a full table)
// or found nothing to do (a paste whose every cell was refused) leaves no
// save question behind. With the focus elsewhere it counts as changed. A
// value still in the cell's editor is taken first, so the rows the command
// moves carry it; a value the cell refuses keeps the command from running.
void RunChangingCommand(frmMain& w, GridCommand command) {
    if (!w.CommitGridCell())
        return;
    QWidget* active = w.ActiveControl();
    // A command chosen from the menu bar by the keyboard leaves the focus
    // there: the grid takes it back first, so that a note on the command
    // shows beside it and typing goes on there.
    if ((active == w.vaSpreadN || active == w.vaSpreadS) && w.focusWidget() != active &&
        !active->isAncestorOf(w.focusWidget()))
        active->setFocus(Qt::OtherFocusReason);
    bool changed = false;
    if (active != nullptr && active == w.vaSpreadN) {
        const std::vector<NPoint> before = w.doc.nPoints;
        const int rows = w.vaSpreadN->MaxRows();
        (w.SpreadInN().*command)();
        StandardPenetrationInNewRows(w, rows + 1);
        w.SettleNRowsWithoutDepth(0, false);
        w.GetNchiData(0);
        changed = w.doc.nPoints != before;
        w.DrawViews(kViewNValues);
    } else if (active != nullptr && active == w.vaSpreadS) {
        const std::vector<LayerRecord> before = w.doc.layers;
        (w.SpreadInS().*command)();
        w.GetSoilData(0);
        changed = w.doc.layers != before;
        w.DrawViews(kViewSoilColumn);
    } else {
        w.IsChanged = true;
        return;
    }
    w.RecalculateAndRedraw();
    if (changed)
        w.IsChanged = true;
}

}  // namespace

// The commands that are kept in the menu but never shown.
void frmMain::mnuEditUndo_Click() {}
void frmMain::mnuEditRedo_Click() {}
void frmMain::mnuEditCut_Click() {}

void frmMain::mnuEditCopy_Click() {
    if (!CommitGridCell())
        return;
    QWidget* active = ActiveControl();
    if (active != nullptr && active == vaSpreadN) {
        SpreadInN().ClipCelCopy();
    } else if (active != nullptr && active == vaSpreadS) {
        SpreadInS().ClipCelCopy();
    } else if (active != nullptr && active == vaSpreadE) {
        // The result grid is always copied whole, whatever is selected.
        const int col = vaSpreadE->ActiveCol();
        const int row = vaSpreadE->ActiveRow();
        const SpreadBlock whole{-1, -1, -1, -1};
        vaSpreadE->SelectBlock(whole);
        services.SetClipboardText(vaSpreadE->BlockText(whole));
        vaSpreadE->SelectBlock(SpreadBlock{col, row, col, row});
        vaSpreadE->viewport()->update();
    }
    SetEditMenu();
}

void frmMain::mnuEditCopyRow_Click() {
    if (!CommitGridCell())
        return;
    QWidget* active = ActiveControl();
    if (active != nullptr && active == vaSpreadN)
        SpreadInN().ClipRowCopy();
    else if (active != nullptr && active == vaSpreadS)
        SpreadInS().ClipRowCopy();
    SetEditMenu();
}

void frmMain::mnuEditPaste_Click() {
    RunChangingCommand(*this, &clsSpreadIn::ClipCelPaste);
}

void frmMain::mnuEditClear_Click() {
    RunChangingCommand(*this, &clsSpreadIn::CelClear);
}

void frmMain::mnuEditCutRow_Click() {
    RunChangingCommand(*this, &clsSpreadIn::ClipRowCut);
}

void frmMain::mnuEditPasteRow_Click() {
    RunChangingCommand(*this, &clsSpreadIn::ClipRowPaste);
}

void frmMain::mnuEditInsertRow_Click() {
    RunChangingCommand(*this, &clsSpreadIn::RowInsort);
}

void frmMain::mnuEditClearRow_Click() {
    RunChangingCommand(*this, &clsSpreadIn::RowClear);
}

void frmMain::mnuEditDeleteRow_Click() {
    RunChangingCommand(*this, &clsSpreadIn::RowDelete);
}

void frmMain::mnuEditCopyUnder_Click() {
    RunChangingCommand(*this, &clsSpreadIn::UnderCopy);
}

void frmMain::mnuEditDeleteUnderAll_Click() {
    RunChangingCommand(*this, &clsSpreadIn::DeleteAll);
}

void frmMain::mnuCopy1_Click() {
    mnuEditCopy_Click();
}

void frmMain::vaSpreadN_MouseDown(Qt::MouseButton button, const QPoint& globalPos) {
    if (button != Qt::RightButton)
        return;
    vaSpreadN->setFocus(Qt::MouseFocusReason);
    mnuEdit->popup(globalPos);
}

void frmMain::vaSpreadS_MouseDown(Qt::MouseButton button, const QPoint& globalPos) {
    if (button != Qt::RightButton)
        return;
    vaSpreadS->setFocus(Qt::MouseFocusReason);
    mnuEdit->popup(globalPos);
}

void frmMain::vaSpreadE_MouseDown(Qt::MouseButton button, const QPoint& globalPos) {
    if (button != Qt::RightButton)
        return;
    vaSpreadE->setFocus(Qt::MouseFocusReason);
    mnuPopCopy->popup(globalPos);
}
