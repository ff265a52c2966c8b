// The main window's input controls that are not grids: the condition page, the
// input-setting pages of the N-value and soil panels, the basic-data button,
// the two grids' cell-leave handlers, the soil-name assistant and the focus
// handling that runs the controls' GotFocus and LostFocus steps.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <cstddef>
#include <iterator>
#include <optional>
#include <string>

#include "core/condition_box_rule.h"
#include "core/format.h"
#include "core/n_value_rows.h"
#include "core/soil_name_composition.h"
#include "core/text_number.h"
#include "ui/dialogs/dialog_support.h"
#include "ui/dialogs/frmKihon.h"
#include "ui/grid/clsSpreadIn.h"
#include "ui/grid/spread_grid.h"
#include "ui/main_window/frmMain.h"

namespace {

// The widgets of each condition box, in the order of ConditionBox: the box
// and its caption, which the note of a refusal names.
struct ConditionBoxWidgets {
    QLineEdit* frmMain::*box;
    QLabel* frmMain::*label;
};

constexpr ConditionBoxWidgets kConditionBoxes[] = {
    {&frmMain::txtMagu, &frmMain::lblMagu},
    {&frmMain::txtKasokudo, &frmMain::lblKasokudo},
    {&frmMain::txtCalcDepth, &frmMain::lblCalcDepth},
    {&frmMain::txtNchi, &frmMain::lblNchi},
};
static_assert(std::size(kConditionBoxes) == kConditionBoxCount);

const ConditionBoxWidgets& WidgetsOf(ConditionBox which) {
    return kConditionBoxes[static_cast<size_t>(which)];
}

// The condition box a control is, none for a control that is no such box.
std::optional<ConditionBox> ConditionBoxOf(const frmMain& w, const QWidget* control) {
    for (int i = 0; i < kConditionBoxCount; ++i)
        if (control != nullptr && w.*kConditionBoxes[i].box == control)
            return static_cast<ConditionBox>(i);
    return std::nullopt;
}

bool IsMoveKey(int key, int& step) {
    switch (key) {
        case Qt::Key_Up:
            step = -1;
            return true;
        case Qt::Key_Down:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            step = 1;
            return true;
        default:
            return false;
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// Condition text boxes

// A keystroke only marks the document: the value reaches it when the box is
// left (or committed before a command) with a text that passes the check.
void frmMain::ConditionBoxChange() {
    IsChanged = true;
}

void frmMain::ConditionBoxGotFocus(QLineEdit* box) {
    SetEditMenu();
    box->selectAll();
    FocusText = box->text();
}

std::optional<double> frmMain::ConditionBoxNumber(ConditionBox which) {
    QLineEdit* box = this->*WidgetsOf(which).box;
    std::optional<double> number = ReadConditionNumber(which, box->text().toStdString());
    if (!number) {
        box->setText(FocusText);
        const QLabel& caption = *(this->*WidgetsOf(which).label);
        services.RefuseBeside(ConditionRangeNote(which, caption.text().toStdString()), box);
    }
    return number;
}

bool frmMain::ConditionBoxLostFocus(ConditionBox which) {
    const ConditionBoxRule& rule = ConditionRule(which);
    if (rule.value == nullptr)
        return txtNchi_LostFocus();
    std::optional<double> number = ConditionBoxNumber(which);
    if (!number)
        return false;
    QLineEdit* box = this->*WidgetsOf(which).box;
    const std::string text = ConditionNumberText(which, *number);
    box->setText(QString::fromStdString(text));
    doc.calcConditions.*rule.value = LeadingNumber(text);
    FocusText = box->text();
    RecalculateAndRedraw();
    return true;
}

bool frmMain::CommitConditionBox() {
    std::optional<ConditionBox> which = ConditionBoxOf(*this, lastFocusControl_.data());
    if (!which)
        return true;
    const bool taken = ConditionBoxLostFocus(*which);
    if (!taken)
        (this->*WidgetsOf(*which).box)->selectAll();
    return taken;
}

bool frmMain::CommitGridCell() {
    QWidget* control = lastFocusControl_.data();
    SpreadGrid* grid =
        control == vaSpreadN || control == vaSpreadS ? static_cast<SpreadGrid*>(control) : nullptr;
    if (grid == nullptr || grid->ActiveCol() == 0)
        return true;
    grid->CommitEditor();
    const int col = grid->ActiveCol();
    const int row = grid->ActiveRow();
    // A value taken here leaves the binding's store equal to the cell, so a
    // later leave of the cell finds nothing to take and does not act again.
    return grid == vaSpreadN ? vaSpreadN_LeaveCell(col, row, -1, -1)
                             : vaSpreadS_LeaveCell(col, row, -1, -1);
}

bool frmMain::CommitFocusedInput() {
    return CommitConditionBox() && CommitGridCell();
}

void frmMain::txtMagu_Change() {
    ConditionBoxChange();
}
void frmMain::txtMagu_GotFocus() {
    ConditionBoxGotFocus(txtMagu);
}
void frmMain::txtMagu_KeyDown(int key) {
    if (int step = 0; IsMoveKey(key, step))
        MoveFocus(txtMagu, step);
}
void frmMain::txtMagu_LostFocus() {
    ConditionBoxLostFocus(ConditionBox::Magnitude);
}

void frmMain::txtKasokudo_Change() {
    ConditionBoxChange();
}
void frmMain::txtKasokudo_GotFocus() {
    ConditionBoxGotFocus(txtKasokudo);
}
void frmMain::txtKasokudo_KeyDown(int key) {
    if (int step = 0; IsMoveKey(key, step))
        MoveFocus(txtKasokudo, step);
}
void frmMain::txtKasokudo_LostFocus() {
    ConditionBoxLostFocus(ConditionBox::SurfaceAccel);
}

void frmMain::txtCalcDepth_Change() {
    ConditionBoxChange();
}
void frmMain::txtCalcDepth_GotFocus() {
    ConditionBoxGotFocus(txtCalcDepth);
}
void frmMain::txtCalcDepth_KeyDown(int key) {
    if (int step = 0; IsMoveKey(key, step))
        MoveFocus(txtCalcDepth, step);
}
void frmMain::txtCalcDepth_LostFocus() {
    ConditionBoxLostFocus(ConditionBox::CalcDepth);
}

// A keystroke changes nothing: the limit is taken when the box is left (or
// committed before a command), so the figures and the file never hold a
// value that was only on its way to the one typed.
void frmMain::txtNchi_Change() {}

void frmMain::txtNchi_GotFocus() {
    SetEditMenu();
    txtNchi->selectAll();
    FocusText = txtNchi->text();
}

bool frmMain::txtNchi_LostFocus() {
    std::optional<double> x = ConditionBoxNumber(ConditionBox::NGraphLimit);
    if (!x)
        return false;
    const int limit = NGraphLimit(*x);
    txtNchi->setText(QString::number(limit));
    FocusText = txtNchi->text();
    // The limit is saved with the project: a new one is an edit.
    if (limit != doc.nGraphMax) {
        doc.nGraphMax = limit;
        IsChanged = true;
    }
    DrawViews(kViewFrame);
    DrawViews(kViewNValues);
    picShow_Paint(0);
    return true;
}

void frmMain::txtKihon_GotFocus() {
    SetEditMenu();
}

// ---------------------------------------------------------------------------
// Check boxes, options and tabs

void frmMain::chkEkidata_Click(int index) {
    QCheckBox* fines = chkEkidata[2];
    QCheckBox* plastic = chkEkidata[3];
    // A document may hold both fines exclusions (a file of another writer):
    // showing it keeps both, and SetCalcCondition sets the boxes' enabling.
    if (settingConditions_) {
        StoreConditionSwitch(index);
        return;
    }
    if (fines->isChecked()) {
        plastic->setEnabled(false);
        plastic->setChecked(false);
    } else {
        plastic->setEnabled(true);
    }
    if (plastic->isChecked()) {
        fines->setEnabled(false);
        fines->setChecked(false);
    } else {
        fines->setEnabled(true);
    }
    StoreConditionSwitch(index);
    // The switches are results' conditions like any other: the screen follows
    // at once. Showing a document sets them all and refreshes once itself.
    RecalculateAndRedraw();
}

void frmMain::StoreConditionSwitch(int index) {
    int value = chkEkidata[static_cast<size_t>(index)]->isChecked() ? 1 : 0;
    CalcConditions& c = doc.calcConditions;
    switch (index) {
        case 0:
            c.calcRange = value;
            break;
        case 1:
            c.excludeClay20 = value;
            break;
        case 2:
            c.excludeFines35 = value;
            break;
        case 3:
            c.excludeFinesPlastic = value;
            break;
        default:
            break;
    }
    IsChanged = true;
}

void frmMain::chkEkidata_GotFocus(int) {
    SetEditMenu();
}

void frmMain::chkEkidata_KeyDown(int index, int key) {
    if (int step = 0; IsMoveKey(key, step))
        MoveFocus(chkEkidata[static_cast<size_t>(index)], step);
}

void frmMain::optTigenShitei1_Click(int index) {
    doc.calcConditions.guideEdition = index == 0 ? 1 : 0;
    IsChanged = true;
    if (!settingConditions_)
        RecalculateAndRedraw();
}

void frmMain::chkNchi_Click(int index) {
    int value = chkNchi[static_cast<size_t>(index)]->isChecked() ? 1 : 0;
    if (index == 0) {
        doc.nConvert30 = value;
    } else {
        doc.fcInputMode = value;
        chkSodata[2]->setEnabled(value == 0);
        if (chkSodata[2]->isChecked())
            SetSpreadS();
    }
    IsChanged = true;
    RecalculateAndRedraw();
    NGridOutdated = true;
}

void frmMain::chkNchi_GotFocus(int) {
    SetEditMenu();
}

void frmMain::chkSodata_Click(int index) {
    doc.layerColumnUsed[static_cast<size_t>(index)] =
        chkSodata[static_cast<size_t>(index)]->isChecked() ? 1 : 0;
    IsChanged = true;
    SoilGridOutdated = true;
    // The result grid shows or hides the columns a switch governs before the
    // results fill it: one fill, after the grid is set up anew.
    SetSpreadE();
    RecalculateAndRedraw();
}

void frmMain::chkSodata_GotFocus(int) {
    SetEditMenu();
}

void frmMain::tabNchi_Click() {
    bool data = tabNchi->tabData(tabNchi->currentIndex()).toString() == QLatin1String("Data");
    picNchi[0]->setVisible(data);
    picNchi[1]->setVisible(!data);
    if (data && NGridOutdated)
        SetSpreadN();
}

void frmMain::tabNchi_GotFocus() {
    SetEditMenu();
}

void frmMain::tabSoData_Click() {
    bool data = tabSoData->tabData(tabSoData->currentIndex()).toString() == QLatin1String("Data");
    picSoData[0]->setVisible(data);
    picSoData[1]->setVisible(!data);
    if (data && SoilGridOutdated)
        SetSpreadS();
}

void frmMain::tabSoData_GotFocus() {
    SetEditMenu();
}

void frmMain::cmdKihonData_Click() {
    frmKihon dialog(doc, services, this);
    dialog.SetDialogForm();
    RunModal(dialog);
    if (dialog.Tag() == kTagChanged) {
        SetKihonText();
        IsChanged = true;
        RecalculateAndRedraw();
    }
}

void frmMain::cmdKihonData_GotFocus() {
    SetEditMenu();
}

void frmMain::cmdSoilNameCopy_GotFocus() {
    SetEditMenu();
}

// ---------------------------------------------------------------------------
// Leaving a grid cell

bool frmMain::vaSpreadN_LeaveCell(int col, int row, int newCol, int newRow) {
    if (col > 0 && row > 0 && col <= vaSpreadN->MaxCols() && row <= vaSpreadN->MaxRows()) {
        QString text = vaSpreadN->Text(col, row);
        if (col == 1 && text.isEmpty() && newCol == 2 && newRow == row) {
            if (std::optional<double> depth = NewNRowDepth(doc.nPoints, row))
                vaSpreadN->SetText(col, row,
                                   QString::fromStdString(FormatNumber(*depth, "###0.00")));
        }
    }
    bool inGrid = col > 0 && row > 0 && col <= vaSpreadN->MaxCols() && row <= vaSpreadN->MaxRows();
    bool typedValue = inGrid && col != 1 && !IsBlankCellText(vaSpreadN->Text(col, row));
    int32_t act = 0;
    int32_t nc = newCol;
    int32_t nr = newRow;
    if (!SpreadInN().EventLeaveCell(col, row, nc, nr, act))
        return false;
    if (act != 0 && SettleNRowsWithoutDepth(row, typedValue)) {
        // Refused like an invalid value: a forward move is held in the cell.
        vaSpreadN->RefuseLeave();
        bool leaving = newCol == -1 && newRow == -1;
        bool backward = newRow < row || (newRow == row && newCol < col);
        if (!leaving && !backward)
            vaSpreadN->SetActiveCell(col, row);
        return false;
    }
    if (act != 0) {
        GetNchiData(row);
        PutNchiData(row);
        IsChanged = true;
        DrawViews(kViewNValues);
        RecalculateAndRedraw();
    }
    return true;
}

bool frmMain::vaSpreadS_LeaveCell(int col, int row, int newCol, int newRow) {
    int32_t act = 0;
    int32_t nc = newCol;
    int32_t nr = newRow;
    const bool taken = SpreadInS().EventLeaveCell(col, row, nc, nr, act);
    if (act != 0) {
        GetSoilData(row);
        PutSoilData(row);
        if (col == 2)
            SetDepthColumn();
        IsChanged = true;
        DrawViews(kViewSoilColumn);
        RecalculateAndRedraw();
    }
    // The depth column is computed: the cursor goes on to the thickness.
    if (nc == 1 && nr > 0)
        vaSpreadS->SetActiveCell(2, nr);
    return taken;
}

// ---------------------------------------------------------------------------
// Soil-name assistant

namespace {

// The position of the list's selected entry, -1 when none is selected. The
// current entry alone does not count: a list given the focus by the keyboard
// has one without the user having chosen it.
int SelectedRow(const QListWidget* list) {
    const QList<QListWidgetItem*> items = list->selectedItems();
    return items.isEmpty() ? -1 : list->row(items.first());
}

}  // namespace

void frmMain::cmdSoilNameCopy_Click() {
    const LayerRecord* main = ChosenMainSoil(settings, SelectedRow(lstSoilDef[1]));
    if (main == nullptr)
        return;
    int row = vaSpreadS->ActiveRow();
    if (row <= 0)
        return;
    int count = static_cast<int>(doc.layers.size());
    if (row == count + 1)
        doc.layers.resize(static_cast<size_t>(row));
    if (row > static_cast<int>(doc.layers.size()))
        return;
    const LayerRecord* modifier = ChosenModifier(settings, SelectedRow(lstSoilDef[0]));
    ComposeSoilName(doc.layers[static_cast<size_t>(row - 1)], *main, modifier);
    // A new soil name is an edit like any other: closing must ask about it.
    IsChanged = true;

    // A layer without a thickness still shows, as a row being entered.
    PutSoilData(row);
    vaSpreadS->SetActiveCell(3, row);
    vaSpreadS->setFocus();
    DrawViews(kViewSoilColumn);
    RecalculateAndRedraw();
}

// ---------------------------------------------------------------------------
// Focus

QWidget* frmMain::ControlOf(QWidget* w) const {
    for (QWidget* p = w; p != nullptr && p != this; p = p->parentWidget()) {
        if (p == vaSpreadN || p == vaSpreadS || p == vaSpreadE || p == lstSoilDef[0] ||
            p == lstSoilDef[1] || p == txtKihon)
            return p;
    }
    return w;
}

void frmMain::FocusChanged(QWidget*, QWidget* now) {
    if (now == nullptr || now->window() != this)
        return;
    // The menu bar holds the focus only while a menu is chosen from the
    // keyboard: the control before it stays the one the commands act on.
    if (qobject_cast<QMenuBar*>(now) != nullptr)
        return;
    QWidget* control = ControlOf(now);
    QWidget* previous = lastFocusControl_.data();
    if (control == previous)
        return;
    lastFocusControl_ = control;

    if (previous == txtMagu)
        txtMagu_LostFocus();
    else if (previous == txtKasokudo)
        txtKasokudo_LostFocus();
    else if (previous == txtCalcDepth)
        txtCalcDepth_LostFocus();
    else if (previous == txtNchi)
        txtNchi_LostFocus();

    if (control == txtMagu)
        txtMagu_GotFocus();
    else if (control == txtKasokudo)
        txtKasokudo_GotFocus();
    else if (control == txtCalcDepth)
        txtCalcDepth_GotFocus();
    else if (control == txtNchi)
        txtNchi_GotFocus();
    else if (control == txtKihon)
        txtKihon_GotFocus();
    else if (control == tabNchi)
        tabNchi_GotFocus();
    else if (control == tabSoData)
        tabSoData_GotFocus();
    else if (control == tabShow)
        tabShow_GotFocus();
    else if (control == cmdKihonData)
        cmdKihonData_GotFocus();
    else if (control == cmdSoilNameCopy)
        cmdSoilNameCopy_GotFocus();
    else if (control == vaSpreadN || control == vaSpreadS || control == vaSpreadE ||
             control == lstSoilDef[0] || control == lstSoilDef[1])
        SetEditMenu();
    else {
        for (int i = 0; i < 4; ++i)
            if (control == chkEkidata[static_cast<size_t>(i)])
                chkEkidata_GotFocus(i);
        for (int i = 0; i < 2; ++i)
            if (control == chkNchi[static_cast<size_t>(i)])
                chkNchi_GotFocus(i);
        for (int i = 0; i < 15; ++i)
            if (control == chkSodata[static_cast<size_t>(i)])
                chkSodata_GotFocus(i);
    }
}

bool frmMain::ConditionKey(QWidget* control, int key) {
    int step = 0;
    if (!IsMoveKey(key, step))
        return false;
    if (control == txtMagu)
        txtMagu_KeyDown(key);
    else if (control == txtKasokudo)
        txtKasokudo_KeyDown(key);
    else if (control == txtCalcDepth)
        txtCalcDepth_KeyDown(key);
    else {
        for (int i = 0; i < 4; ++i)
            if (control == chkEkidata[static_cast<size_t>(i)]) {
                chkEkidata_KeyDown(i, key);
                return true;
            }
        return false;
    }
    return true;
}
