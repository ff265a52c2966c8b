#include "ui/grid/clsSpreadIn.h"

#include <QString>
#include <algorithm>
#include <functional>
#include <stdexcept>

#include "core/codepage.h"
#include "core/file_io.h"
#include "ui/widgets/text_entry_guard.h"

namespace {

// The widest line of clipboard text, in cells.
int32_t WidestLine(const std::string& text) {
    int32_t widest = 0;
    for (const QStringList& cells : ParseClipboardText(text))
        widest = std::max(widest, static_cast<int32_t>(cells.size()));
    return widest;
}

// Notes beside the cell when the bell refuses input.
constexpr const char* kPasteRefused = "数値でない値や範囲外の値は貼り付けていません";
constexpr const char* kPasteCut = "入りきらない部分は貼り付けていません";
constexpr const char* kNoRowsSelected = "行番号をクリックして行を選んでください";
constexpr const char* kTableFull = "これ以上行を増やせません";
constexpr const char* kRowNotTaken = "保存できない文字を含む行は貼り付けていません";

// The error box of a paste whose copied block does not fit the selection's
// shape, by rows or by cells.
constexpr const char* kPasteShapeDiffers =
    "コピー領域と貼り付け領域の形が違うため、貼り付けができません。";

}  // namespace

// Half-width and full-width blanks alike: an input method may type either.
bool IsBlankCellText(const QString& text) {
    for (QChar ch : text)
        if (ch != u' ' && ch != u'　')
            return false;
    return true;
}

clsSpreadIn::clsSpreadIn(PlatformServices& services) : services_(services) {}

clsSpreadIn::~clsSpreadIn() {
    if (grower_)
        grower_->SetRowGrower({});
}

SpreadGrid& clsSpreadIn::Bound() const {
    if (grid_ == nullptr)
        throw std::logic_error("grid binding used before SetSpread");
    return *grid_;
}

void clsSpreadIn::SetSpread(SpreadGrid* vaS1, int32_t lMaxL, int32_t lMaxD, int32_t lMaxS) {
    grid_ = vaS1;
    table_.Reset(Bound().MaxCols(), Bound().MaxRows(), lMaxL, lMaxD, lMaxS);
    // Copied rows outlast a new layout (a column switched, another document):
    // their records hold the values by slot, whatever the columns.
    if (!copiedRows_.empty() && !table_.Fits(copiedRows_.front())) {
        copiedRows_.clear();
        copiedCells_.clear();
        copiedColumns_.clear();
    }
    if (grower_ && grower_ != grid_)
        grower_->SetRowGrower({});
    grower_ = grid_;
    grid_->SetRowGrower([this](int rows) {
        if (rows > kMaxTableRows) {
            RefuseAt(kTableFull);
            return false;
        }
        GrowRows(rows);
        return table_.Rows() >= rows;
    });
}

void clsSpreadIn::ResetSpread(SpreadGrid* vaS1) {
    grid_ = vaS1;
    table_.Resize(Bound().MaxCols(), Bound().MaxRows());
}

void clsSpreadIn::GrowRows(int32_t rows) {
    rows = std::min(rows, kMaxTableRows);
    if (rows <= table_.Rows())
        return;
    Bound().SetMaxRows(rows);
    table_.Resize(table_.Cols(), rows);
}

void clsSpreadIn::CreateCell(int32_t lCm, int32_t lDi, int32_t lFm, double dMI, double dMA,
                             int32_t lELen) {
    table_.DefineColumn(lCm, lDi, lFm, dMI, dMA, lELen);
    if (lDi == kLabel)
        Bound().SetColumnCells(lCm, SpreadCellType::Static, 0, Qt::AlignLeft | Qt::AlignVCenter);
    else if (lDi == 0)
        Bound().SetColumnCells(lCm, SpreadCellType::Edit, lELen, Qt::AlignLeft | Qt::AlignVCenter);
    else
        Bound().SetColumnCells(lCm, SpreadCellType::Edit, lELen, Qt::AlignRight | Qt::AlignVCenter);
    std::function<void(QLineEdit&)> setup;
    if (lDi == 0)
        setup = [&services = services_, grid = grid_, lCm, lELen](QLineEdit& editor) {
            // A text the program put into the cell beyond the column's length
            // (a long name read from a file) opens whole, so that an edit that
            // changes nothing keeps it; a changed one is cut as the cell is
            // left, and told there.
            const int row = grid->ActiveRow();
            const bool longer = row >= 1 && Cp932Length(grid->Text(lCm, row).toStdString()) > lELen;
            GuardTextEntry(editor, services, {true, longer ? 0 : lELen});
        };
    Bound().SetColumnEditorSetup(lCm, std::move(setup));
}

void clsSpreadIn::CreateCell2(int32_t lCm, int32_t lDi, int32_t lFm, double dMI, double dMA,
                              int32_t lELen, int32_t lSw) {
    CreateCell(lCm, lDi, lFm, dMI, dMA, lELen);
    SetZSW(lCm, lSw);
}

void clsSpreadIn::iFG(int32_t lRw, int16_t iData) {
    table_.iFG(lRw, iData);
}

int16_t clsSpreadIn::iFG(int32_t lRw) const {
    return table_.iFG(lRw);
}

void clsSpreadIn::DataL(int32_t lI, int32_t lRw, int32_t lData) {
    table_.DataL(lI, lRw, lData);
}

int32_t clsSpreadIn::DataL(int32_t lI, int32_t lRw) const {
    return table_.DataL(lI, lRw);
}

void clsSpreadIn::DataD(int32_t lI, int32_t lRw, double dData) {
    table_.DataD(lI, lRw, dData);
}

double clsSpreadIn::DataD(int32_t lI, int32_t lRw) const {
    return table_.DataD(lI, lRw);
}

void clsSpreadIn::DataS(int32_t lRw, const std::string& sData) {
    table_.DataS(lRw, sData);
}

const std::string& clsSpreadIn::DataS(int32_t lRw) const {
    return table_.DataS(lRw);
}

void clsSpreadIn::SetBlankDataD(int32_t lI, double dData) {
    InputRecord blank = table_.BlankRecord();
    if (lI < 1 || static_cast<size_t>(lI) > blank.doubles.size())
        throw std::out_of_range("grid binding index out of range");
    blank.doubles[static_cast<size_t>(lI - 1)] = dData;
    table_.SetBlankRecord(blank);
    for (int32_t row = 0; row <= table_.Rows(); ++row)
        if (table_.iFG(row) == 0)
            table_.DataD(lI, row, dData);
}

int32_t clsSpreadIn::CountFG() const {
    return table_.CountFG();
}

int32_t clsSpreadIn::GetMaxFgRow() const {
    return table_.GetMaxFgRow();
}

void clsSpreadIn::PrtSheet(int32_t lRow) {
    if (lRow != 0) {
        ShowRow(lRow, 0);
        return;
    }
    Bound().SetRedraw(false);
    for (int32_t row = 1; row <= table_.Rows(); ++row)
        ShowRow(row, 0);
    Bound().SetRedraw(true);
}

int32_t clsSpreadIn::MaxWidth() const {
    const SpreadGrid& grid = Bound();
    int32_t width = 0;
    for (int col = 0; col <= table_.Cols(); ++col)
        width += grid.ColWidthTwips(col);
    width += grid.ScrollBarWidthTwips();
    width += (table_.Cols() + 2) * grid.BorderWidthTwips();
    return width;
}

int32_t clsSpreadIn::MaxHeight(int32_t lRows) const {
    const SpreadGrid& grid = Bound();
    int32_t height = 0;
    for (int row = 0; row <= lRows; ++row)
        height += grid.RowHeightTwips(row);
    height += grid.ScrollBarHeightTwips();
    height += (lRows + 2) * grid.BorderHeightTwips();
    return height;
}

int32_t clsSpreadIn::CellSumWidth(int16_t iN1, int16_t iN2) const {
    const SpreadGrid& grid = Bound();
    int32_t width = 0;
    for (int col = iN1; col <= iN2; ++col)
        width += grid.ColWidthTwips(col);
    width += (iN2 - iN1 + 1) * grid.BorderWidthTwips();
    return width;
}

std::string clsSpreadIn::Clipboard() {
    return services_.ClipboardText();
}

bool clsSpreadIn::ClipShape(int32_t& rows, int32_t& cols) {
    rows = 0;
    cols = 0;
    // Read as the paste reads it: quoted cells are one cell each, whatever
    // TABs and line breaks they hold, and any line end counts.
    std::vector<QStringList> lines = ParseClipboardText(Clipboard());
    if (lines.empty())
        return false;
    rows = static_cast<int32_t>(lines.size());
    cols = std::max<int32_t>(static_cast<int32_t>(lines.front().size()), 1);
    return true;
}

QString clsSpreadIn::ShownText(int32_t lRow, int32_t lCol) const {
    return QString::fromStdString(table_.ShownText(lRow, lCol));
}

void clsSpreadIn::ShowRow(int32_t lRow, int32_t lCol) {
    SpreadGrid& grid = Bound();
    int32_t first = lCol == 0 ? 1 : lCol;
    int32_t last = lCol == 0 ? table_.Cols() : lCol;
    // A row without data shows blank.
    for (int32_t col = first; col <= last; ++col)
        if (table_.Slot(col) != kLabel)
            grid.SetText(col, lRow, ShownText(lRow, col));
}

RowTakeResult clsSpreadIn::ReadRow(int32_t lRow, int32_t lCol, bool readOn) {
    const SpreadGrid& grid = Bound();
    std::vector<std::string> texts(static_cast<size_t>(table_.Cols()) + 1);
    const int32_t first = lCol == 0 ? 1 : lCol;
    const int32_t last = lCol == 0 ? table_.Cols() : lCol;
    for (int32_t col = first; col <= last; ++col)
        if (table_.Slot(col) != kLabel)
            texts[static_cast<size_t>(col)] = grid.Text(col, lRow).toStdString();
    RowTakeResult taken = table_.TakeRow(lRow, texts, lCol, readOn);
    for (const std::string& note : taken.entryNotes)
        NoteEntry(note);
    return taken;
}

void clsSpreadIn::NoteEntry(const std::string& note) {
    if (std::find(entryNotes_.begin(), entryNotes_.end(), note) == entryNotes_.end())
        entryNotes_.push_back(note);
}

void clsSpreadIn::TellEntryNotes(int32_t col, int32_t row) {
    if (entryNotes_.empty())
        return;
    std::string note;
    for (const std::string& each : entryNotes_)
        note += (note.empty() ? "" : "\n") + each;
    entryNotes_.clear();
    RefuseAt(note, col, row);
}

void clsSpreadIn::RefuseAt(const std::string& note, int32_t col, int32_t row) {
    SpreadGrid& grid = Bound();
    if (col < 1 || row < 1 || col > grid.MaxCols() || row > grid.MaxRows()) {
        col = grid.ActiveCol();
        row = grid.ActiveRow();
    }
    const bool inGrid = col >= 1 && row >= 1 && col <= grid.MaxCols() && row <= grid.MaxRows();
    services_.RefuseBeside(note, &grid, inGrid ? grid.CellRect(col, row) : QRect());
}

bool clsSpreadIn::CarriesCopiedRows(const std::string& text) const {
    // Compared cell by cell: the desktop's clipboard may hand the text back
    // with other line ends.
    return !copiedRows_.empty() && ParseClipboardText(text) == copiedCells_;
}

void clsSpreadIn::CarryCopiedRows(int32_t top, int32_t rows) {
    std::vector<InputRecord> records;
    for (int32_t i = 0; i < rows && top + i <= table_.Rows(); ++i)
        records.push_back(copiedRows_[static_cast<size_t>(i) % copiedRows_.size()]);
    table_.PasteRows(top, records);
}

bool clsSpreadIn::CopiedColumnsStand() const {
    if (copiedColumns_.size() != static_cast<size_t>(table_.Cols()))
        return false;
    for (int32_t col = 1; col <= table_.Cols(); ++col)
        if (copiedColumns_[static_cast<size_t>(col) - 1] != table_.Slot(col))
            return false;
    return true;
}

void clsSpreadIn::PasteCopiedRecords(int32_t top, int32_t rows) {
    SpreadGrid& grid = Bound();
    CarryCopiedRows(top, rows);
    grid.SetRedraw(false);
    for (int32_t row = top; row < top + rows && row <= table_.Rows(); ++row)
        ShowRow(row, 0);
    grid.SetRedraw(true);
}

void clsSpreadIn::RestoreSelection(int32_t col, int32_t row) {
    if (col >= 1 && row >= 1)
        Bound().SelectBlock({col, row, col, row});
}

bool clsSpreadIn::PasteFixUp(int32_t row1, int32_t row2) {
    SpreadGrid& grid = Bound();
    row2 = std::min(row2, table_.Rows());
    // A pasted empty cell is blank, as a cleared one is, never a typed zero.
    // A cell that is not a number, or out of range, keeps its stored value
    // while the rest of its row is taken. A refused text (the row's name)
    // leaves the whole row as it was: its other cells belong to that name.
    bool refused = false;
    grid.SetRedraw(false);
    for (int32_t row = row1; row <= row2; ++row) {
        const RowTakeResult taken = ReadRow(row, 0, true);
        refused = taken.refusedAny || refused;
        if (taken.rowKept)
            NoteEntry(kRowNotTaken);
        ShowRow(row, 0);
    }
    grid.SetRedraw(true);
    return refused;
}

int32_t clsSpreadIn::CopySelectedRows() {
    SpreadGrid& grid = Bound();
    SpreadBlock sel = grid.SelBlock();
    int32_t row1 = sel.row1 < 0 ? 1 : sel.row1;
    int32_t row2 = sel.row1 < 0 ? table_.Rows() : sel.row2;
    SpreadBlock block{1, row1, table_.Cols(), row2};
    grid.SelectBlock(block);
    const std::string text = grid.BlockText(block);
    services_.SetClipboardText(text);
    // The whole records go with the text, for a paste of it as rows.
    copiedRows_ = table_.CopyRows(row1, row2);
    copiedCells_ = ParseClipboardText(text);
    copiedColumns_.clear();
    for (int32_t col = 1; col <= table_.Cols(); ++col)
        copiedColumns_.push_back(table_.Slot(col));
    return row1;
}

void clsSpreadIn::ClipRowCopy() {
    int32_t row1 = CopySelectedRows();
    RestoreSelection(Bound().ActiveCol(), row1);
}

void clsSpreadIn::ClipCelCopy() {
    SpreadGrid& grid = Bound();
    SpreadBlock sel = grid.SelBlock();
    SpreadBlock block{sel.col1 < 0 ? 1 : sel.col1, sel.row1 < 0 ? 1 : sel.row1,
                      sel.col1 < 0 ? table_.Cols() : sel.col2,
                      sel.row1 < 0 ? table_.Rows() : sel.row2};
    grid.SelectBlock(block);
    services_.SetClipboardText(grid.BlockText(block));
    RestoreSelection(grid.ActiveCol(), block.row1);
    grid.viewport()->update();
}

void clsSpreadIn::ClipRowCut() {
    // The copied rows stay selected, so that all of them are cleared.
    CopySelectedRows();
    RowClear();
}

void clsSpreadIn::ClipRowPaste() {
    SpreadGrid& grid = Bound();
    SpreadBlock sel = grid.SelBlock();
    int32_t rows = 0;
    int32_t cols = 0;
    if (sel.row1 < 0 || sel.col1 < 0 || !ClipShape(rows, cols))
        return;
    int32_t n = sel.row2 - sel.row1 + 1;
    int32_t s = sel.row1;
    int32_t activeCol = grid.ActiveCol();
    int32_t activeRow = grid.ActiveRow();
    if (n > 1 && n % rows != 0) {
        services_.ShowMessage(kPasteShapeDiffers, MessageIcon::Critical, "エラー",
                              MessageButtons::Ok);
        return;
    }
    std::string text = Clipboard();
    int32_t repeats = n == 1 ? 1 : n / rows;
    bool refused = false;
    const bool carry = CarriesCopiedRows(text);
    const bool asRecords = carry && !CopiedColumnsStand();
    // Clipboard rows beyond the last grid row get new rows rather than being
    // dropped; repeats stay inside the selection, which lies in the grid.
    if (n == 1)
        GrowRows(s + rows - 1);
    for (int32_t k = 1; k <= repeats; ++k) {
        int32_t top = s + (k - 1) * rows;
        if (top > table_.Rows())
            break;
        if (asRecords) {
            PasteCopiedRecords(top, rows);
            continue;
        }
        SpreadBlock block{1, top, table_.Cols(), std::min(top + rows - 1, table_.Rows())};
        if (carry)
            CarryCopiedRows(top, rows);
        grid.SelectBlock(block);
        grid.PasteText(block, text);
        refused = PasteFixUp(block.row1, block.row2) || refused;
    }
    RestoreSelection(activeCol, activeRow);
    // Cells right of the last column, or rows past the most a table can
    // hold, have nowhere to go: the note tells.
    if (refused)
        NoteEntry(kPasteRefused);
    if ((!asRecords && WidestLine(text) > table_.Cols()) ||
        (n == 1 && s + rows - 1 > table_.Rows()))
        NoteEntry(kPasteCut);
    TellEntryNotes();
}

void clsSpreadIn::ClipCelPaste() {
    SpreadGrid& grid = Bound();
    SpreadBlock sel = grid.SelBlock();
    int32_t rows = 0;
    int32_t cols = 0;
    if (sel.row1 < 0 || sel.col1 < 0 || !ClipShape(rows, cols))
        return;
    int32_t c1 = sel.col1;
    int32_t s1 = sel.row1;
    int32_t nc = sel.col2 - sel.col1 + 1;
    int32_t nr = sel.row2 - sel.row1 + 1;
    int32_t activeCol = grid.ActiveCol();
    int32_t activeRow = grid.ActiveRow();
    int32_t kc = (nc >= cols && nc % cols == 0) ? nc / cols : 0;
    int32_t kr = (nr >= rows && nr % rows == 0) ? nr / rows : 0;

    int32_t colRepeats = 0;
    int32_t rowRepeats = 0;
    if (nr == 1 && nc == 1) {
        colRepeats = 1;
        rowRepeats = 1;
    } else if (kc >= 1 && kr >= 1) {
        colRepeats = kc;
        rowRepeats = kr;
    } else if (nc == 1 && kr >= 1) {
        colRepeats = 1;
        rowRepeats = kr;
    } else if (nr == 1 && kc >= 1) {
        colRepeats = kc;
        rowRepeats = 1;
    } else {
        services_.ShowMessage(kPasteShapeDiffers, MessageIcon::Critical, "エラー",
                              MessageButtons::Ok);
        return;
    }

    std::string text = Clipboard();
    // Blocks that reach below the last grid row get new rows rather than
    // being cut; cells right of the last column are cut, and the bell tells.
    GrowRows(s1 + (rowRepeats - 1) * rows + rows - 1);
    bool cut = WidestLine(text) > cols || c1 + colRepeats * cols - 1 > table_.Cols() ||
               s1 + rowRepeats * rows - 1 > table_.Rows();
    // Copied rows pasted from column 1 are pasted as rows.
    const bool carry = c1 == 1 && CarriesCopiedRows(text);
    if (carry && !CopiedColumnsStand()) {
        for (int32_t j = 1; j <= rowRepeats && s1 + (j - 1) * rows <= table_.Rows(); ++j)
            PasteCopiedRecords(s1 + (j - 1) * rows, rows);
        RestoreSelection(activeCol, activeRow);
        if (s1 + rowRepeats * rows - 1 > table_.Rows())
            NoteEntry(kPasteCut);
        TellEntryNotes();
        return;
    }
    int32_t lastRow = s1;
    for (int32_t i = 1; i <= colRepeats; ++i) {
        for (int32_t j = 1; j <= rowRepeats; ++j) {
            SpreadBlock block{c1 + (i - 1) * cols, s1 + (j - 1) * rows, 0, 0};
            block.col2 = std::min(block.col1 + cols - 1, table_.Cols());
            block.row2 = std::min(block.row1 + rows - 1, table_.Rows());
            if (block.col1 > table_.Cols() || block.row1 > table_.Rows())
                continue;
            if (carry && block.col1 == 1)
                CarryCopiedRows(block.row1, rows);
            grid.SelectBlock(block);
            grid.PasteText(block, text);
            lastRow = std::max(lastRow, block.row2);
        }
    }
    bool refused = PasteFixUp(s1, lastRow);
    RestoreSelection(activeCol, activeRow);
    if (refused)
        NoteEntry(kPasteRefused);
    if (cut)
        NoteEntry(kPasteCut);
    TellEntryNotes();
}

void clsSpreadIn::CelClear() {
    SpreadGrid& grid = Bound();
    SpreadBlock sel = grid.SelBlock();
    SpreadBlock block{sel.col1 < 0 ? 1 : sel.col1, sel.row1 < 0 ? 1 : sel.row1,
                      sel.col1 < 0 ? table_.Cols() : sel.col2,
                      sel.row1 < 0 ? table_.Rows() : sel.row2};
    grid.ClearBlock(block);
    // Showing the rows again keeps the grid true to the store where a blank
    // was refused (a column whose minimum is above 0 keeps its value).
    grid.SetRedraw(false);
    bool refused = false;
    for (int32_t row = block.row1; row <= std::min(block.row2, table_.Rows()); ++row) {
        refused = ReadRow(row, 0, true).refusedAny || refused;
        ShowRow(row, 0);
    }
    grid.SetRedraw(true);
    RestoreSelection(grid.ActiveCol(), grid.ActiveRow());
    TellEntryNotes();
}

bool clsSpreadIn::NamesNoRows(const SpreadBlock& sel) {
    if (sel.row1 < 0 || sel.col1 < 0)
        return true;
    // Whole columns or the whole grid (a header click) name no rows: a row
    // command there would wipe every row, so it does nothing and says why.
    if (table_.Rows() > 1 && sel.row1 <= 1 && sel.row2 >= table_.Rows()) {
        RefuseAt(kNoRowsSelected);
        return true;
    }
    return false;
}

void clsSpreadIn::RowClear() {
    SpreadGrid& grid = Bound();
    SpreadBlock sel = grid.SelBlock();
    if (NamesNoRows(sel))
        return;
    grid.ClearBlock({1, sel.row1, table_.Cols(), sel.row2});
    // Every slot, not only the flag: a value typed into the row later must
    // not bring the cleared ones back.
    table_.ClearRows(sel.row1, sel.row2);
    RestoreSelection(grid.ActiveCol(), sel.row1);
}

void clsSpreadIn::RowDelete() {
    SpreadGrid& grid = Bound();
    SpreadBlock sel = grid.SelBlock();
    if (NamesNoRows(sel))
        return;
    int32_t n = sel.row2 - sel.row1 + 1;
    grid.SetRedraw(false);
    grid.MoveBlock({1, sel.row2 + 1, table_.Cols(), table_.Rows()}, 1, sel.row1);
    grid.ClearBlock({1, std::max(table_.Rows() - n + 1, sel.row1), table_.Cols(), table_.Rows()});
    table_.DeleteRows(sel.row1, n);
    grid.SetRedraw(true);
    RestoreSelection(grid.ActiveCol(), grid.ActiveRow());
}

void clsSpreadIn::RowInsort() {
    SpreadGrid& grid = Bound();
    SpreadBlock sel = grid.SelBlock();
    if (sel.row1 < 0 || sel.col1 < 0)
        return;
    int32_t first = sel.row1;
    int32_t last = std::min(sel.row2, table_.Rows());
    // A selection of whole columns or of the whole grid names no rows to
    // make room for: it inserts one row at its top.
    if (table_.Rows() > 1 && first == 1 && last == table_.Rows())
        last = first;
    int32_t n = last - first + 1;
    // Rows pushed past the last grid row would be lost: the grid grows so
    // that every row with data moves down with the rest, and an insert that
    // would need more rows than a table can hold is refused.
    // An inserted row is blank in every slot, the hidden ones too: a value
    // typed into it must not bring back those of the row that moved down.
    if (!table_.InsertRows(first, n)) {
        RefuseAt(kTableFull);
        return;
    }
    if (table_.Rows() > grid.MaxRows())
        grid.SetMaxRows(table_.Rows());
    grid.SetRedraw(false);
    grid.MoveBlock({1, first, table_.Cols(), table_.Rows() - n}, 1, first + n);
    grid.ClearBlock({1, first, table_.Cols(), last});
    grid.SetRedraw(true);
    RestoreSelection(grid.ActiveCol(), grid.ActiveRow());
}

void clsSpreadIn::UnderCopy() {
    SpreadGrid& grid = Bound();
    SpreadBlock sel = grid.SelBlock();
    if (sel.row1 < 1 || sel.row2 <= sel.row1)
        return;
    int32_t col1 = sel.col1 < 1 ? 1 : sel.col1;
    int32_t col2 = sel.col1 < 1 ? table_.Cols() : sel.col2;
    grid.SetRedraw(false);
    for (const std::string& note : table_.CopyDown(sel.row1, sel.row2, col1, col2))
        NoteEntry(note);
    for (int32_t row = sel.row1; row <= std::min(sel.row2, table_.Rows()); ++row)
        ShowRow(row, 0);
    grid.SetRedraw(true);
    RestoreSelection(grid.ActiveCol(), grid.ActiveRow());
    TellEntryNotes();
}

void clsSpreadIn::DeleteAll() {
    SpreadGrid& grid = Bound();
    if (NamesNoRows(grid.SelBlock()))
        return;
    grid.SetRedraw(false);
    table_.ClearFrom(std::max(grid.ActiveRow(), 1));
    for (int32_t row = std::max(grid.ActiveRow(), 1); row <= table_.Rows(); ++row)
        ShowRow(row, 0);
    grid.SetRedraw(true);
    RestoreSelection(grid.ActiveCol(), grid.ActiveRow());
}

bool clsSpreadIn::EventLeaveCell(int32_t Col, int32_t Row, int32_t& NewCol, int32_t& NewRow,
                                 int32_t& Act) {
    Act = 0;
    if (Row < 1 || Col < 1)
        return true;
    SpreadGrid& grid = Bound();
    const bool leaving = NewCol == -1 && NewRow == -1;
    const bool backward = !leaving && (NewRow < Row || (NewRow == Row && NewCol < Col));
    const CellLeaveResult leave = table_.LeaveCell(Row, Col, grid.Text(Col, Row).toStdString());
    if (leave.outcome == CellLeave::Nothing)
        return true;
    Act = leave.changed ? 1 : 0;
    // A copied row, and a refused value as the cursor moves on, keep the
    // cursor in the cell.
    if (leave.outcome == CellLeave::Copied || (leave.refused && !backward && !leaving)) {
        NewCol = Col;
        NewRow = Row;
    }
    for (const std::string& note : leave.entryNotes)
        NoteEntry(note);
    // A refused text has its own note.
    if (entryNotes_.empty() && !leave.refusalNote.empty())
        NoteEntry(leave.refusalNote);

    for (const ShownCell& cell : leave.shown)
        grid.SetText(cell.col, Row, QString::fromStdString(cell.text));
    if (leave.refused)
        grid.RefuseLeave();
    if (NewCol > 0 && NewRow > 0)
        grid.SetActiveCell(NewCol, NewRow);
    // A refused or cut text says why, in place of the bell alone.
    TellEntryNotes(Col, Row);
    return !leave.refused;
}

bool clsSpreadIn::SaveCsvFile(const std::string& strSaveFile) {
    SpreadGrid& grid = Bound();
    // A quote inside a text is doubled, so that the text keeps its column.
    auto quoted = [](QString text) {
        text.replace(u'"', QStringLiteral("\"\""));
        return u'"' + text + u'"';
    };
    QString out = grid.Text(0, 0);
    for (int32_t col = 1; col <= table_.Cols(); ++col)
        out += u',' + quoted(grid.Text(col, 0));
    out += QStringLiteral("\r\n");
    for (int32_t row = 1; row <= table_.Rows(); ++row) {
        if (table_.iFG(row) == 0)
            continue;
        out += grid.Text(0, row);
        for (int32_t col = 1; col <= table_.Cols(); ++col) {
            QString cell = grid.Text(col, row);
            const int16_t slot = table_.Slot(col);
            bool number = slot != 0 && slot != kLabel;
            out += u',' + (number ? cell : quoted(cell));
        }
        out += QStringLiteral("\r\n");
    }
    return static_cast<bool>(WriteFileReplacing(strSaveFile, Utf8ToCp932(out.toStdString())));
}

void clsSpreadIn::SetZSW(int32_t lCm, int32_t SW) {
    table_.SetZSW(lCm, SW);
}
