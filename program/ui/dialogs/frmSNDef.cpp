#include "ui/dialogs/frmSNDef.h"

#include <QAction>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>

#include <algorithm>

#include "core/message_sink.h"
#include "core/value_line.h"
#include "ui/dialogs/dialog_support.h"
#include "ui/grid/clsSpreadIn.h"
#include "ui/grid/spread_grid.h"
#include "ui/platform/desktop_helpers.h"
#include "ui/platform/modal_dialog_frame.h"
#include "ui/platform/platform_services.h"

namespace {

// Rows a grid offers beyond the table, for names the user adds.
constexpr int kSpareRows = 30;
constexpr int kMinGridRows = 50;

// Columns of both grids.
constexpr int kColName = 1;
constexpr int kColCode = 2;
constexpr int kColGamma = 3;
constexpr int kColFC = 4;
// Store slots: one Long (the code) and a Double per soil constant, numbered
// as the constants are (1 the unit weight, 2 the fines content, 3..14 the
// constants no column shows, which travel with their row all the same).
constexpr int kSlotCode = 1;
constexpr int kSlotGamma = 1;
constexpr int kSlotFC = 2;

struct GridText {
    const char* frame;
    const char* estimate;
    const char* headers[4];
};

const GridText kGridTexts[2] = {
    {"主記号用 土質名登録",
     "推定値",
     {"土質名（主）", "記号", "地下水位以下 土の単位重量γ(kN/m3)", "細粒分含有率 FC(%)"}},
    {"副記号用 土質名登録",
     "推定値の補正",
     {"土質名（副）", "記号", "土の単位重量γ(kN/m3)", "細粒分含有率 FC(%)"}},
};

// The symbol codes of the column 記号 and what they draw in the soil column.
const char* const kMainKey[] = {"（なし）", "表土",   "埋め土", "ローム", "シルト",
                                "粘土",     "砂質土", "砂",     "砂礫",   "礫"};
const char* const kSubKey[] = {"（なし）",   "シルト質", "粘土質",   "砂質",      "シルト混じり",
                               "粘土混じり", "砂混じり", "礫混じり", "玉石混じり"};

constexpr const char* kNoRows = "土質名が１行も入力されていません。";
constexpr const char* kNoName =
    "土質名が入力されていない行があります。土質名を入力するか、行を削除してください。";

}  // namespace

frmSNDef::frmSNDef(Settings& settings, PlatformServices& services, QWidget* parent)
    : QDialog(parent), settings_(settings), services_(services) {
    setObjectName("frmSNDef");
    setWindowTitle(QStringLiteral("土質名入力設定"));
    UseModalDialogFrame(*this);
    resize(800, 600);

    for (int g = 0; g < 2; ++g) {
        const int top = 8 + g * 262;
        auto* frame = new QGroupBox(QString::fromUtf8(kGridTexts[g].frame), this);
        frame->setObjectName(g == kMainGrid ? "fraMainName" : "fraSubName");
        frame->setGeometry(8, top, 784, 254);
        fraSoilName[g] = frame;

        auto* estimate = new QLabel(QString::fromUtf8(kGridTexts[g].estimate), frame);
        estimate->setObjectName(QStringLiteral("lblEstimate%1").arg(g));
        estimate->setGeometry(330, 20, 200, 18);
        lblEstimate[g] = estimate;

        auto* grid = new SpreadGrid(frame);
        grid->setObjectName(QStringLiteral("vaSpreadS%1").arg(g));
        grid->setGeometry(8, 40, 560, 206);
        UseDataEntryRows(*grid);
        // Two header lines, so that the long unit-weight heading shows whole.
        grid->horizontalHeader()->setDefaultAlignment(
            Qt::Alignment(Qt::AlignCenter | Qt::TextWordWrap));
        grid->horizontalHeader()->setFixedHeight(2 * grid->fontMetrics().height() + 6);
        grid->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(grid, &QWidget::customContextMenuRequested, this, [this, g, grid](QPoint pos) {
            ShowEditMenu(g, grid->viewport()->mapToGlobal(pos));
        });
        connect(grid, &SpreadGrid::LeaveCell, this,
                [this, g](int col, int row, int newCol, int newRow) {
                    OnLeaveCell(g, col, row, newCol, newRow);
                });
        vaSpreadS[g] = grid;

        auto* keyFrame = new QGroupBox(QStringLiteral("記号"), frame);
        keyFrame->setObjectName(QStringLiteral("fraKey%1").arg(g));
        keyFrame->setGeometry(576, 16, 200, 230);
        fraKey[g] = keyFrame;
        auto* key = new QTableWidget(keyFrame);
        key->setObjectName(QStringLiteral("vaSpreadK%1").arg(g));
        key->setGeometry(6, 20, 188, 202);
        UseDataEntryRows(*key);
        key->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        key->setEditTriggers(QAbstractItemView::NoEditTriggers);
        key->setSelectionMode(QAbstractItemView::NoSelection);
        key->setFocusPolicy(Qt::NoFocus);
        key->verticalHeader()->hide();
        key->setColumnCount(2);
        key->setHorizontalHeaderLabels({QStringLiteral("記号"), QStringLiteral("土質")});
        key->setColumnWidth(0, 40);
        key->horizontalHeader()->setStretchLastSection(true);
        const int entries = g == kMainGrid ? static_cast<int>(std::size(kMainKey))
                                           : static_cast<int>(std::size(kSubKey));
        key->setRowCount(entries);
        for (int code = 0; code < entries; ++code) {
            key->setItem(code, 0, new QTableWidgetItem(QString::number(code)));
            key->setItem(code, 1,
                         new QTableWidgetItem(
                             QString::fromUtf8(g == kMainGrid ? kMainKey[code] : kSubKey[code])));
        }
        vaSpreadK[g] = key;
    }

    cmdOk = new QPushButton(QStringLiteral("OK"), this);
    cmdOk->setObjectName("cmdOk");
    cmdOk->setGeometry(480, 560, 96, 28);
    cmdCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cmdCancel->setObjectName("cmdCancel");
    cmdCancel->setGeometry(588, 560, 96, 28);
    cmdHelp = new QPushButton(QStringLiteral("ﾍﾙﾌﾟ(&H)"), this);
    cmdHelp->setObjectName("cmdHelp");
    cmdHelp->setGeometry(696, 560, 96, 28);
    for (QPushButton* button : {cmdOk, cmdCancel, cmdHelp})
        button->setAutoDefault(false);
    // A click on OK leaves the focus in the grid, so that OK checks the cell
    // being edited: a refused value keeps the dialog open with its note, as
    // the close box does, rather than being dropped as the focus moved.
    cmdOk->setFocusPolicy(Qt::TabFocus);
    connect(cmdOk, &QPushButton::clicked, this, &frmSNDef::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSNDef::cmdCancel_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmSNDef::cmdHelp_Click);

    // The grid commands; the menu is only ever shown as a pop-up over a grid.
    mnuEdit = new QMenu(QStringLiteral("Popup"), this);
    mnuEdit->setObjectName("mnuEdit");
    struct Item {
        QAction*& action;
        const char* name;
        const char* caption;
        void (clsSpreadIn::*command)();
        bool separatorBefore;
    };
    const Item items[] = {
        {mnuEditCopy, "mnuEditCopy", "コピー(&C)", &clsSpreadIn::ClipCelCopy, false},
        {mnuEditPaste, "mnuEditPaste", "貼り付け(&P)", &clsSpreadIn::ClipCelPaste, false},
        {mnuEditCutRow, "mnuEditCutRow", "行切り取り(&R)", &clsSpreadIn::ClipRowCut, true},
        {mnuEditCopyRow, "mnuEditCopyRow", "行ｺﾋﾟｰ(&F)", &clsSpreadIn::ClipRowCopy, false},
        {mnuEditPasteRow, "mnuEditPasteRow", "行貼り付け(&G)", &clsSpreadIn::ClipRowPaste, false},
        {mnuEditInsertRow, "mnuEditInsertRow", "行挿入(&I)", &clsSpreadIn::RowInsort, false},
        {mnuEditClearRow, "mnuEditClearRow", "行クリア(&K)", &clsSpreadIn::RowClear, false},
        {mnuEditDeleteRow, "mnuEditDeleteRow", "行削除(&J)", &clsSpreadIn::RowDelete, false},
        {mnuEditCopyUnder, "mnuEditCopyUnder", "下方へｺﾋﾟｰ(&D)", &clsSpreadIn::UnderCopy, true},
        {mnuEditDeleteUnderAll, "mnuEditDeleteUnderAll", "以降すべて削除(&A)",
         &clsSpreadIn::DeleteAll, false},
    };
    for (const Item& item : items) {
        if (item.separatorBefore)
            mnuEdit->addSeparator()->setObjectName(
                item.name == std::string("mnuEditCutRow") ? "mnuEditBar2" : "mnuEditBar3");
        item.action = mnuEdit->addAction(QString::fromUtf8(item.caption));
        item.action->setObjectName(item.name);
        auto command = item.command;
        connect(item.action, &QAction::triggered, this,
                [this, command] { RunOnFocusedGrid(command); });
    }
    // The keys of the main window's grids work here too: the shortcuts of
    // the pop-up's commands, and Delete or BackSpace to clear the cells.
    const std::pair<QAction*, QKeySequence> shortcuts[] = {
        {mnuEditCopy, QKeySequence(Qt::CTRL | Qt::Key_C)},
        {mnuEditPaste, QKeySequence(Qt::CTRL | Qt::Key_V)},
        {mnuEditCopyUnder, QKeySequence(Qt::CTRL | Qt::Key_D)},
    };
    for (auto [action, keys] : shortcuts) {
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    for (SpreadGrid* grid : vaSpreadS)
        connect(grid, &SpreadGrid::ClearKeyPressed, this,
                [this] { RunOnFocusedGrid(&clsSpreadIn::CelClear); });
}

frmSNDef::~frmSNDef() {
    // Closing hides the window and moves the focus, which makes a grid report
    // a leave-cell; by then the bindings are gone.
    for (SpreadGrid* grid : vaSpreadS)
        QObject::disconnect(grid, &SpreadGrid::LeaveCell, this, nullptr);
}

void frmSNDef::SetDialogForm() {
    FillGrid(kMainGrid, settings_.mainSoilNames);
    FillGrid(kSubGrid, settings_.subSoilNames);
    changed_ = false;
    tag_.clear();
}

void frmSNDef::FillGrid(int g, const std::vector<LayerRecord>& table) {
    SpreadGrid* grid = vaSpreadS[g];
    // Never a row past the most a table can hold: a name typed there could
    // not be kept.
    const int rows = std::min(std::max(static_cast<int>(table.size()) + kSpareRows, kMinGridRows),
                              static_cast<int>(kMaxTableRows));
    grid->SetMaxCols(4);
    grid->SetMaxRows(rows);
    for (int col = 1; col <= 4; ++col)
        grid->SetText(col, 0, QString::fromUtf8(kGridTexts[g].headers[col - 1]));
    for (int row = 1; row <= rows; ++row)
        grid->SetText(0, row, QString::number(row));

    if (!bindings_[g])
        bindings_[g] = std::make_unique<clsSpreadIn>(services_);
    clsSpreadIn& binding = *bindings_[g];
    binding.SetSpread(grid, 1, kSoilConstantCount, 1);
    binding.CreateCell(kColName, 0, 0, 0, 0, 99);
    binding.CreateCell(kColCode, kSlotCode, 0, 0, 99, 2);
    binding.CreateCell(kColGamma, -kSlotGamma, 1, 0, 999.9, 5);
    binding.CreateCell(kColFC, -kSlotFC, 0, 0, 99, 3);
    grid->setColumnWidth(kColName - 1, 150);
    grid->setColumnWidth(kColCode - 1, 44);
    grid->setColumnWidth(kColGamma - 1, 170);
    grid->setColumnWidth(kColFC - 1, 120);
    const int widthPixels =
        static_cast<int>(binding.MaxWidth() / std::max(grid->TwipsPerPixelX(), 1.0));
    grid->resize(std::min(widthPixels, fraKey[g]->x() - grid->x() - 8), grid->height());

    for (int i = 0; i < static_cast<int>(table.size()); ++i) {
        const int row = i + 1;
        binding.iFG(row, 1);
        PutRow(g, row, table[static_cast<size_t>(i)]);
    }
    binding.PrtSheet(0);
}

LayerRecord frmSNDef::RowOf(int g, int row) const {
    const clsSpreadIn& binding = *bindings_[g];
    LayerRecord entry;
    entry.SoilName = binding.DataS(row);
    const int code = binding.DataL(kSlotCode, row);
    entry.SoilCode = g == kMainGrid ? code * 100 : code;
    for (int item = 1; item <= kSoilConstantCount; ++item)
        entry.Constant(item) = binding.DataD(item, row);
    return entry;
}

void frmSNDef::PutRow(int g, int row, const LayerRecord& entry) {
    clsSpreadIn& binding = *bindings_[g];
    binding.DataS(row, entry.SoilName);
    binding.DataL(kSlotCode, row, g == kMainGrid ? entry.SoilCode / 100 : entry.SoilCode);
    for (int item = 1; item <= kSoilConstantCount; ++item)
        binding.DataD(item, row, entry.Constant(item));
}

std::vector<LayerRecord> frmSNDef::TableOf(int g) const {
    const clsSpreadIn& binding = *bindings_[g];
    std::vector<LayerRecord> table;
    table.reserve(static_cast<size_t>(binding.CountFG()));
    const int last = binding.GetMaxFgRow();
    for (int row = 1; row <= last; ++row)
        // A row without a name is no entry (Save refuses one with values).
        if (binding.iFG(row) != 0 && !IsBlankCellText(QString::fromStdString(binding.DataS(row))))
            table.push_back(RowOf(g, row));
    return table;
}

int frmSNDef::RowWithoutName(int g) const {
    // A row is its name: one whose cells were all cleared is no row, but a
    // code or a value without a name would be an entry no list can offer.
    const clsSpreadIn& binding = *bindings_[g];
    const int last = binding.GetMaxFgRow();
    for (int row = 1; row <= last; ++row) {
        if (binding.iFG(row) == 0 || !IsBlankCellText(QString::fromStdString(binding.DataS(row))))
            continue;
        if (binding.DataL(kSlotCode, row) != 0 || binding.DataD(kSlotGamma, row) != 0 ||
            binding.DataD(kSlotFC, row) != 0)
            return row;
    }
    return 0;
}

void frmSNDef::TidyRows(int g) {
    clsSpreadIn& binding = *bindings_[g];
    const int rows = vaSpreadS[g]->MaxRows();
    for (int row = 1; row <= rows; ++row) {
        if (binding.iFG(row) == 0) {
            // A row without data keeps nothing, so that a row typed or pasted
            // there later starts with 0 for the constants it does not show.
            if (!(RowOf(g, row) == LayerRecord{}))
                PutRow(g, row, LayerRecord{});
        } else if (binding.DataS(row).find('"') != std::string::npos) {
            // The settings line cannot hold a double quote in a name.
            binding.DataS(row, StorableText(binding.DataS(row)));
            binding.PrtSheet(row);
        }
    }
}

int frmSNDef::Save() {
    if (!bindings_[kMainGrid] || !bindings_[kSubGrid])
        return 1;
    // A row with values but no name keeps the dialog open on its name cell.
    for (int g : {kMainGrid, kSubGrid}) {
        if (const int row = RowWithoutName(g); row > 0) {
            services_.ShowMessage(kNoName, MessageIcon::Exclamation, kProgramTitle,
                                  MessageButtons::Ok);
            vaSpreadS[g]->setFocus();
            vaSpreadS[g]->SetActiveCell(kColName, row);
            return 1;
        }
    }
    std::vector<LayerRecord> mainTable = TableOf(kMainGrid);
    std::vector<LayerRecord> subTable = TableOf(kSubGrid);
    // A table without rows could not be read back from the settings file (the
    // built-in rows would return), so the save is refused and nothing changes.
    for (int g : {kMainGrid, kSubGrid}) {
        if ((g == kMainGrid ? mainTable : subTable).empty()) {
            services_.ShowMessage(kNoRows, MessageIcon::Exclamation, kProgramTitle,
                                  MessageButtons::Ok);
            vaSpreadS[g]->setFocus();
            return 1;
        }
    }
    settings_.mainSoilNames = std::move(mainTable);
    settings_.subSoilNames = std::move(subTable);
    tag_ = kTagChanged;
    return 0;
}

bool frmSNDef::OnLeaveCell(int g, int col, int row, int newCol, int newRow) {
    if (!bindings_[g])
        return true;
    SpreadGrid* grid = vaSpreadS[g];
    if (col == kColName && row >= 1 && row <= grid->MaxRows()) {
        const std::string typed = grid->Text(col, row).toStdString();
        if (typed.find('"') != std::string::npos)
            grid->SetText(col, row, QString::fromStdString(StorableText(typed)));
    }
    int32_t act = 0;
    const bool taken = bindings_[g]->EventLeaveCell(col, row, newCol, newRow, act);
    TidyRows(g);
    if (act == 1)
        changed_ = true;
    return taken;
}

bool frmSNDef::CommitFocusedCell() {
    const int g = FocusedGrid();
    if (g < 0 || vaSpreadS[g]->ActiveCol() == 0)
        return true;
    SpreadGrid* grid = vaSpreadS[g];
    grid->CommitEditor();
    return OnLeaveCell(g, grid->ActiveCol(), grid->ActiveRow(), -1, -1);
}

int frmSNDef::FocusedGrid() const {
    QWidget* focus = focusWidget();
    for (int g : {kMainGrid, kSubGrid}) {
        SpreadGrid* grid = vaSpreadS[g];
        if (focus != nullptr && (focus == grid || grid->isAncestorOf(focus)))
            return bindings_[g] ? g : -1;
    }
    return -1;
}

void frmSNDef::RunOnFocusedGrid(void (clsSpreadIn::*command)()) {
    const int g = FocusedGrid();
    // A value still in the cell's editor goes with the rows the command moves.
    if (g < 0 || !CommitFocusedCell())
        return;
    clsSpreadIn& binding = *bindings_[g];
    const SpreadBlock sel = vaSpreadS[g]->SelBlock();
    const int first = sel.row1 < 0 ? 1 : sel.row1;
    const int last = sel.row1 < 0 ? vaSpreadS[g]->MaxRows() : sel.row2;
    const std::vector<Snapshot> before = SnapshotOf(g);
    const bool copiesRows =
        command == &clsSpreadIn::ClipRowCopy || command == &clsSpreadIn::ClipRowCut;
    std::vector<std::optional<LayerRecord>> copied;
    if (copiesRows)
        for (int row = first; row <= last; ++row)
            copied.push_back(binding.iFG(row) != 0 ? std::optional(RowOf(g, row)) : std::nullopt);

    (binding.*command)();

    if (copiesRows) {
        copiedRows_ = CopiedRows{services_.ClipboardText(), std::move(copied)};
    } else {
        const bool pastesWholeRows =
            command == &clsSpreadIn::ClipRowPaste ||
            (command == &clsSpreadIn::ClipCelPaste && sel.col1 == kColName);
        if (pastesWholeRows && copiedRows_ && !copiedRows_->rows.empty() &&
            services_.ClipboardText() == copiedRows_->text)
            CarryCopiedConstants(
                g, first, std::max(last - first + 1, static_cast<int>(copiedRows_->rows.size())),
                before);
    }
    TidyRows(g);
    if (!(SnapshotOf(g) == before))
        changed_ = true;
}

std::vector<frmSNDef::Snapshot> frmSNDef::SnapshotOf(int g) const {
    const int rows = vaSpreadS[g]->MaxRows();
    std::vector<Snapshot> rowsNow(static_cast<size_t>(rows) + 1);
    for (int row = 1; row <= rows; ++row)
        rowsNow[static_cast<size_t>(row)] = {bindings_[g]->iFG(row), RowOf(g, row)};
    return rowsNow;
}

void frmSNDef::CarryCopiedConstants(int g, int top, int span, const std::vector<Snapshot>& before) {
    // Rows copied or cut in this dialog come back with the constants that no
    // column shows: a row moved by cut and paste keeps them all.
    const clsSpreadIn& binding = *bindings_[g];
    const int rows = vaSpreadS[g]->MaxRows();
    const std::vector<std::optional<LayerRecord>>& copied = copiedRows_->rows;
    for (int row = top; row < top + span && row <= rows; ++row) {
        const std::optional<LayerRecord>& source =
            copied[static_cast<size_t>(row - top) % copied.size()];
        if (!source || binding.iFG(row) == 0 || binding.DataS(row) != source->SoilName)
            continue;
        const bool pasted =
            static_cast<size_t>(row) >= before.size() ||
            !(before[static_cast<size_t>(row)] == Snapshot{binding.iFG(row), RowOf(g, row)});
        if (!pasted)
            continue;
        LayerRecord entry = RowOf(g, row);
        for (int item = 1; item <= kSoilConstantCount; ++item)
            if (item != kSlotGamma && item != kSlotFC)
                entry.Constant(item) = source->Constant(item);
        PutRow(g, row, entry);
    }
}

void frmSNDef::ShowEditMenu(int g, const QPoint& globalPos) {
    vaSpreadS.at(g)->setFocus(Qt::MouseFocusReason);
    mnuEdit->popup(globalPos);
}

void frmSNDef::cmdOk_Click() {
    if (CommitFocusedCell() && Save() == 0)
        accept();
}

void frmSNDef::cmdCancel_Click() {
    reject();
}

void frmSNDef::cmdHelp_Click() {
    ShowHelp(services_, this);
}

void frmSNDef::closeEvent(QCloseEvent* event) {
    if (!CommitFocusedCell()) {
        event->ignore();
        return;
    }
    if (CloseEditedDialog(*this, event, changed_, services_, [this] { return Save(); }))
        QDialog::closeEvent(event);
}
