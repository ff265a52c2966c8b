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
#include <cassert>
#include <cmath>
#include <optional>
#include <string>

#include "core/format.h"
#include "core/n_value_rows.h"
#include "core/number_text.h"
#include "core/text_number.h"
#include "ui/dialogs/dialog_support.h"
#include "ui/dialogs/frmKihon.h"
#include "ui/grid/clsSpreadIn.h"
#include "ui/grid/spread_grid.h"
#include "ui/main_window/frmMain.h"

namespace {

// A condition box's rule, which leaving the box and the check before a
// command both apply: the range its number must lie in and the pattern the
// number is shown with. The N-value limit is a whole number of the document
// that only redraws the figure: it has its range here and no pattern or
// condition.
struct ConditionBoxRule {
    QLineEdit* frmMain::*box;
    QLabel* frmMain::*label;        // its caption, which the note names
    double CalcConditions::*value;  // null for the N-value limit
    double min;
    double max;
    const char* pattern;
};

constexpr ConditionBoxRule kConditionBoxes[] = {
    {&frmMain::txtMagu, &frmMain::lblMagu, &CalcConditions::magnitude, 2, 9.99, "#0.0"},
    {&frmMain::txtKasokudo, &frmMain::lblKasokudo, &CalcConditions::surfaceAccel, 0, 999, "##0"},
    {&frmMain::txtCalcDepth, &frmMain::lblCalcDepth, &CalcConditions::calcDepth, 0, 99, "#0"},
    {&frmMain::txtNchi, &frmMain::lblNchi, nullptr, 10, 100, nullptr},
};

// The rule of a control, null for a control that is no condition box.
const ConditionBoxRule* RuleOf(const frmMain& w, const QWidget* control) {
    for (const ConditionBoxRule& rule : kConditionBoxes)
        if (control != nullptr && w.*rule.box == control)
            return &rule;
    return nullptr;
}

// The rule of a box that is one of the table's.
const ConditionBoxRule& BoxRule(const frmMain& w, const QLineEdit* box) {
    const ConditionBoxRule* rule = RuleOf(w, box);
    assert(rule != nullptr);
    return *rule;
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

// The note of a refused condition box: its caption and the range it takes,
// so that the note reads as this box's wherever it stands.
std::string RangeNote(const QLabel& caption, double min, double max) {
    return "「" + caption.text().toStdString() + "」には" + NumberText(min) + "～" +
           NumberText(max) + "の数値を入力してください";
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

std::optional<double> frmMain::ConditionBoxNumber(QLineEdit* box) {
    const ConditionBoxRule& rule = BoxRule(*this, box);
    // A text without a number is refused like one out of range, not read as 0.
    std::optional<double> number =
        ReadLeadingNumber(HalfWidthNumberText(box->text().toStdString()));
    if (!number || *number > rule.max || *number < rule.min) {
        box->setText(FocusText);
        services.RefuseBeside(RangeNote(*(this->*rule.label), rule.min, rule.max), box);
        return std::nullopt;
    }
    return number;
}

bool frmMain::ConditionBoxLostFocus(QLineEdit* box) {
    const ConditionBoxRule& rule = BoxRule(*this, box);
    const double min = rule.min;
    const double max = rule.max;
    std::optional<double> number = ConditionBoxNumber(box);
    if (!number)
        return false;
    const double x = *number;
    std::string text = FormatNumber(x, rule.pattern);
    // The pattern's rounding must not carry a value out of its range (9.96
    // as "10.0"): such a value shows, and is kept, with two decimals.
    if (double shown = LeadingNumber(text); shown > max || shown < min)
        text = FormatNumber(x, "#0.00");
    box->setText(QString::fromStdString(text));
    doc.calcConditions.*rule.value = LeadingNumber(text);
    FocusText = box->text();
    RecalculateAndRedraw();
    return true;
}

bool frmMain::CommitConditionBox() {
    QWidget* control = lastFocusControl_.data();
    const ConditionBoxRule* rule = RuleOf(*this, control);
    if (rule == nullptr)
        return true;
    QLineEdit* box = this->*rule->box;
    const bool taken = rule->value != nullptr ? ConditionBoxLostFocus(box) : txtNchi_LostFocus();
    if (!taken)
        box->selectAll();
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
    ConditionBoxLostFocus(txtMagu);
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
    ConditionBoxLostFocus(txtKasokudo);
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
    ConditionBoxLostFocus(txtCalcDepth);
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
    std::optional<double> x = ConditionBoxNumber(txtNchi);
    if (!x)
        return false;
    const int limit = static_cast<int>(std::nearbyint(*x));
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
    // The switches are results' conditions like any other: the screen follows
    // at once. Showing a document sets them all and refreshes once itself.
    if (!settingConditions_)
        RecalculateAndRedraw();
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
    int sub = SelectedRow(lstSoilDef[0]);
    int main = SelectedRow(lstSoilDef[1]) + 1;
    if (main <= 0 || main > static_cast<int>(settings.mainSoilNames.size()))
        return;
    int row = vaSpreadS->ActiveRow();
    if (row <= 0)
        return;
    int count = static_cast<int>(doc.layers.size());
    if (row == count + 1)
        doc.layers.resize(static_cast<size_t>(row));
    if (row > static_cast<int>(doc.layers.size()))
        return;

    LayerRecord& layer = doc.layers[static_cast<size_t>(row - 1)];
    const LayerRecord& m = settings.mainSoilNames[static_cast<size_t>(main - 1)];
    const LayerRecord* s = sub > 0 && sub <= static_cast<int>(settings.subSoilNames.size())
                               ? &settings.subSoilNames[static_cast<size_t>(sub - 1)]
                               : nullptr;
    layer.SoilName = s != nullptr ? s->SoilName + m.SoilName : m.SoilName;
    layer.SoilCode = s != nullptr ? m.SoilCode + s->SoilCode : m.SoilCode;
    for (int item = 1; item <= kSoilConstantCount; ++item) {
        if (layer.Constant(item) > 0)
            continue;
        const double fromTables = m.Constant(item) + (s != nullptr ? s->Constant(item) : 0.0);
        // Negating a default of 0 would give a negative zero, which the
        // project file would hold as "-0".
        layer.Constant(item) = fromTables == 0 ? 0.0 : -fromTables;
    }
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
