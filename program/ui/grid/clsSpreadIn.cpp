#include "ui/grid/clsSpreadIn.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <functional>
#include <stdexcept>

#include "core/codepage.h"
#include "core/file_io.h"
#include "core/format.h"
#include "core/number_text.h"
#include "core/text_entry.h"
#include "core/text_number.h"
#include "ui/widgets/text_entry_guard.h"

namespace {

// Display patterns by decimals, 13 characters each.
constexpr const char* kPatterns[] = {"############0", "##########0.0", "#########0.00",
                                     "########0.000", "#######0.0000"};
constexpr double kScales[] = {1.0, 10.0, 100.0, 1000.0, 10000.0};

// A typed zero, so that it differs from a blank cell in Double slots.
constexpr double kTypedZero = 1.0E-5;

// A cell whose text, as the core's UTF-8, is half- and full-width spaces or
// nothing: it stores no value. Core's IsBlank is something else, one space or
// tab of a text file.
bool IsBlankCell(const std::string& cellText) {
    return IsBlankCellText(QString::fromStdString(cellText));
}

// The widest line of clipboard text, in cells.
int32_t WidestLine(const std::string& text) {
    int32_t widest = 0;
    for (const QStringList& cells : ParseClipboardText(text))
        widest = std::max(widest, static_cast<int32_t>(cells.size()));
    return widest;
}

// Notes beside the cell when the bell refuses input.
constexpr const char* kNotANumber = "数値を入力してください";
constexpr const char* kPasteRefused = "数値でない値や範囲外の値は貼り付けていません";
constexpr const char* kPasteCut = "入りきらない部分は貼り付けていません";
constexpr const char* kNoRowsSelected = "行番号をクリックして行を選んでください";
constexpr const char* kTableFull = "これ以上行を増やせません";
constexpr const char* kRowNotTaken = "保存できない文字を含む行は貼り付けていません";

// The error box of a paste whose copied block does not fit the selection's
// shape, by rows or by cells.
constexpr const char* kPasteShapeDiffers =
    "コピー領域と貼り付け領域の形が違うため、貼り付けができません。";

template <typename T>
T& At(std::vector<T>& values, int32_t index) {
    if (index < 0 || static_cast<size_t>(index) >= values.size())
        throw std::out_of_range("grid binding index out of range");
    return values[static_cast<size_t>(index)];
}

template <typename T>
const T& At(const std::vector<T>& values, int32_t index) {
    if (index < 0 || static_cast<size_t>(index) >= values.size())
        throw std::out_of_range("grid binding index out of range");
    return values[static_cast<size_t>(index)];
}

int16_t ToInt16(int32_t value) {
    if (value < INT16_MIN || value > INT16_MAX)
        throw std::out_of_range("value does not fit a 16-bit field");
    return static_cast<int16_t>(value);
}

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
    cols_ = Bound().MaxCols();
    rows_ = Bound().MaxRows();
    maxL_ = std::max(lMaxL, 0);
    maxD_ = std::max(lMaxD, 0);
    maxS_ = lMaxS;
    slot_.assign(cols_ + 1, 0);
    decimals_.assign(cols_ + 1, 0);
    min_.assign(cols_ + 1, 0.0);
    max_.assign(cols_ + 1, 0.0);
    zeroShow_.assign(cols_ + 1, 0);
    flag_.assign(rows_ + 1, 0);
    dataL_.assign(maxL_, std::vector<int32_t>(rows_ + 1, 0));
    dataD_.assign(maxD_, std::vector<double>(rows_ + 1, 0.0));
    dataS_.assign(maxS_ > 0 ? rows_ + 1 : 0, std::string());
    blankD_.assign(maxD_, 0.0);
    copiedRows_.clear();
    copiedCells_.clear();
    if (grower_ && grower_ != grid_)
        grower_->SetRowGrower({});
    grower_ = grid_;
    grid_->SetRowGrower([this](int rows) {
        if (rows > kMaxTableRows) {
            RefuseAt(kTableFull);
            return false;
        }
        GrowRows(rows);
        return rows_ >= rows;
    });
}

void clsSpreadIn::ResetSpread(SpreadGrid* vaS1) {
    grid_ = vaS1;
    cols_ = Bound().MaxCols();
    rows_ = Bound().MaxRows();
    ResizeStores();
}

void clsSpreadIn::GrowRows(int32_t rows) {
    rows = std::min(rows, kMaxTableRows);
    if (rows <= rows_)
        return;
    Bound().SetMaxRows(rows);
    rows_ = rows;
    ResizeStores();
}

void clsSpreadIn::ResizeStores() {
    size_t cols = static_cast<size_t>(cols_) + 1;
    size_t rows = static_cast<size_t>(rows_) + 1;
    slot_.resize(cols, 0);
    decimals_.resize(cols, 0);
    min_.resize(cols, 0.0);
    max_.resize(cols, 0.0);
    zeroShow_.resize(cols, 0);
    flag_.resize(rows, 0);
    for (auto& slot : dataL_)
        slot.resize(rows, 0);
    // A row added at the end starts as a blank row does.
    for (size_t k = 0; k < dataD_.size(); ++k)
        dataD_[k].resize(rows, blankD_[k]);
    if (maxS_ > 0)
        dataS_.resize(rows);
}

void clsSpreadIn::CreateCell(int32_t lCm, int32_t lDi, int32_t lFm, double dMI, double dMA,
                             int32_t lELen) {
    if (lFm < 0 || lFm > 4)
        throw std::out_of_range("a grid column has 0 to 4 decimals");
    if (lCm < 1)
        throw std::out_of_range("grid binding index out of range");
    At(slot_, lCm) = ToInt16(lDi);
    At(decimals_, lCm) = ToInt16(lFm);
    At(min_, lCm) = dMI;
    At(max_, lCm) = dMA;
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
    if (iData < 0 || iData > 255)
        throw std::out_of_range("a data flag is a byte");
    At(flag_, lRw) = static_cast<uint8_t>(iData);
}

int16_t clsSpreadIn::iFG(int32_t lRw) const {
    return At(flag_, lRw);
}

void clsSpreadIn::DataL(int32_t lI, int32_t lRw, int32_t lData) {
    At(At(dataL_, lI - 1), lRw) = lData;
}

int32_t clsSpreadIn::DataL(int32_t lI, int32_t lRw) const {
    return At(At(dataL_, lI - 1), lRw);
}

void clsSpreadIn::DataD(int32_t lI, int32_t lRw, double dData) {
    At(At(dataD_, lI - 1), lRw) = dData;
}

double clsSpreadIn::DataD(int32_t lI, int32_t lRw) const {
    return At(At(dataD_, lI - 1), lRw);
}

void clsSpreadIn::DataS(int32_t lRw, const std::string& sData) {
    At(dataS_, lRw) = sData;
}

const std::string& clsSpreadIn::DataS(int32_t lRw) const {
    return At(dataS_, lRw);
}

void clsSpreadIn::SetBlankDataD(int32_t lI, double dData) {
    At(blankD_, lI - 1) = dData;
    for (int32_t row = 0; row <= rows_; ++row)
        if (flag_[row] == 0)
            DataD(lI, row, dData);
}

int32_t clsSpreadIn::CountFG() const {
    int32_t count = 0;
    for (int32_t row = 1; row <= rows_; ++row)
        if (flag_[row] != 0)
            ++count;
    return count;
}

int32_t clsSpreadIn::GetMaxFgRow() const {
    for (int32_t row = rows_; row >= 1; --row)
        if (flag_[row] != 0)
            return row;
    return 0;
}

void clsSpreadIn::PrtSheet(int32_t lRow) {
    if (lRow != 0) {
        ShowRow(lRow, 0);
        return;
    }
    Bound().SetRedraw(false);
    for (int32_t row = 1; row <= rows_; ++row)
        ShowRow(row, 0);
    Bound().SetRedraw(true);
}

int32_t clsSpreadIn::MaxWidth() const {
    const SpreadGrid& grid = Bound();
    int32_t width = 0;
    for (int col = 0; col <= cols_; ++col)
        width += grid.ColWidthTwips(col);
    width += grid.ScrollBarWidthTwips();
    width += (cols_ + 2) * grid.BorderWidthTwips();
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

std::string clsSpreadIn::RangeNote(int32_t col) const {
    const char* pattern = kPatterns[decimals_[col]];
    return FormatNumber(min_[col], pattern) + "～" + FormatNumber(max_[col], pattern) +
           "の数値を入力してください";
}

QString clsSpreadIn::ShownText(int32_t lRow, int32_t lCol) const {
    int16_t slot = slot_[lCol];
    if (At(flag_, lRow) == 0 || slot == kLabel)
        return QString();
    if (slot == 0)
        return QString::fromStdString(DataS(lRow));
    int16_t decimals = decimals_[lCol];
    double value = slot > 0 ? DataL(slot, lRow) / kScales[decimals] : DataD(-slot, lRow);
    if (value != 0 || zeroShow_[lCol] != 0)
        return QString::fromStdString(FormatNumber(value, kPatterns[decimals]));
    return QString();
}

void clsSpreadIn::ShowRow(int32_t lRow, int32_t lCol) {
    SpreadGrid& grid = Bound();
    int32_t first = lCol == 0 ? 1 : lCol;
    int32_t last = lCol == 0 ? cols_ : lCol;
    // A row without data shows blank.
    for (int32_t col = first; col <= last; ++col)
        if (At(slot_, col) != kLabel)
            grid.SetText(col, lRow, ShownText(lRow, col));
}

int32_t clsSpreadIn::ReadRow(int32_t lRow, int32_t lCol, bool* refusedAny) {
    SpreadGrid& grid = Bound();
    int32_t result = -1;
    int32_t refusedText = 0;
    int32_t first = lCol == 0 ? 1 : lCol;
    int32_t last = lCol == 0 ? cols_ : lCol;
    for (int32_t col = first; col <= last; ++col) {
        int16_t slot = At(slot_, col);
        if (slot == kLabel)
            continue;
        QString cell = grid.Text(col, lRow);
        // A cell that still shows its stored value holds what the program
        // put there (a negated default, a saved value beyond the column's
        // limit, one with more decimals than it shows, a name from a file
        // longer than typing allows): it is kept as stored, never refused,
        // rounded or cut.
        if (At(flag_, lRow) != 0 && cell == ShownText(lRow, col))
            continue;
        std::string text = cell.toStdString();
        if (slot == 0) {
            // A pasted text is taken as a typed one would be, so that the cell
            // shows what the file will hold.
            const int maxBytes = grid.ColumnMaxLength(col);
            TextEntry entry = TakeTextEntry(text, {true, maxBytes});
            if (!entry.refused.empty()) {
                NoteEntry(RefusedCharactersNote(entry.refused));
                if (refusedText == 0)
                    refusedText = col;
                continue;
            }
            if (entry.cut)
                NoteEntry(CutEntryNote(maxBytes));
            text = std::move(entry.text);
            if (!text.empty())
                At(flag_, lRow) = 1;
            if (text != DataS(lRow))
                result = 0;
            DataS(lRow, text);
            continue;
        }
        // The first refused cell ends the reading; a paste reads on past it
        // (refusedAny), keeping that cell's stored value.
        auto refuse = [&] {
            if (refusedAny == nullptr)
                return true;
            *refusedAny = true;
            return false;
        };
        double value = 0;
        if (!IsBlankCell(text)) {
            if (!ToDouble(text, value)) {
                if (refuse())
                    return col;
                continue;
            }
            if (value == 0)
                value = kTypedZero;
        }
        if (value < min_[col] || value > max_[col]) {
            if (refuse())
                return col;
            continue;
        }
        if (slot < 0) {
            if (!text.empty())
                At(flag_, lRow) = 1;
            if (DataD(-slot, lRow) != value)
                result = 0;
            DataD(-slot, lRow, value);
        } else {
            // A value whose scaled integer does not fit the slot is refused
            // like one out of range.
            std::optional<int32_t> scaled = RoundToInt32(value * kScales[decimals_[col]]);
            if (!scaled) {
                if (refuse())
                    return col;
                continue;
            }
            if (!text.empty())
                At(flag_, lRow) = 1;
            if (DataL(slot, lRow) != *scaled)
                result = 0;
            DataL(slot, lRow, *scaled);
        }
    }
    return refusedText > 0 ? refusedText : result;
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

void clsSpreadIn::CopyRowData(int32_t from, int32_t to) {
    At(flag_, to) = At(flag_, from);
    if (maxS_ > 0)
        DataS(to, DataS(from));
    for (auto& slot : dataL_)
        At(slot, to) = At(slot, from);
    for (auto& slot : dataD_)
        At(slot, to) = At(slot, from);
}

void clsSpreadIn::ClearRowData(int32_t row) {
    At(flag_, row) = 0;
    if (maxS_ > 0)
        DataS(row, std::string());
    for (auto& slot : dataL_)
        At(slot, row) = 0;
    for (size_t k = 0; k < dataD_.size(); ++k)
        At(dataD_[k], row) = blankD_[k];
}

clsSpreadIn::StoredRow clsSpreadIn::RowData(int32_t row) const {
    StoredRow data;
    data.flag = At(flag_, row);
    for (const auto& slot : dataL_)
        data.longs.push_back(At(slot, row));
    for (const auto& slot : dataD_)
        data.doubles.push_back(At(slot, row));
    if (maxS_ > 0)
        data.text = DataS(row);
    return data;
}

void clsSpreadIn::PutRowData(int32_t row, const StoredRow& data) {
    At(flag_, row) = data.flag;
    for (size_t k = 0; k < dataL_.size() && k < data.longs.size(); ++k)
        At(dataL_[k], row) = data.longs[k];
    for (size_t k = 0; k < dataD_.size() && k < data.doubles.size(); ++k)
        At(dataD_[k], row) = data.doubles[k];
    if (maxS_ > 0)
        DataS(row, data.text);
}

bool clsSpreadIn::CarriesCopiedRows(const std::string& text) const {
    // Compared cell by cell: the desktop's clipboard may hand the text back
    // with other line ends.
    return !copiedRows_.empty() && ParseClipboardText(text) == copiedCells_;
}

void clsSpreadIn::CarryCopiedRows(int32_t top, int32_t rows) {
    for (int32_t i = 0; i < rows && top + i <= rows_; ++i)
        PutRowData(top + i, copiedRows_[static_cast<size_t>(i) % copiedRows_.size()]);
}

bool clsSpreadIn::ToDouble(const std::string& text, double& value) {
    std::optional<double> number = ParseNumber(HalfWidthNumberText(text));
    if (!number || !std::isfinite(*number))
        return false;
    value = *number;
    return true;
}

void clsSpreadIn::RestoreSelection(int32_t col, int32_t row) {
    if (col >= 1 && row >= 1)
        Bound().SelectBlock({col, row, col, row});
}

bool clsSpreadIn::PasteFixUp(int32_t row1, int32_t row2) {
    SpreadGrid& grid = Bound();
    row2 = std::min(row2, rows_);
    // A pasted empty cell is blank, as a cleared one is, never a typed zero.
    // A cell that is not a number, or out of range, keeps its stored value
    // while the rest of its row is taken. A refused text (the row's name)
    // leaves the whole row as it was: its other cells belong to that name.
    bool refused = false;
    grid.SetRedraw(false);
    for (int32_t row = row1; row <= row2; ++row) {
        const StoredRow before = RowData(row);
        if (ReadRow(row, 0, &refused) > 0 && !(RowData(row) == before)) {
            PutRowData(row, before);
            NoteEntry(kRowNotTaken);
        }
        ShowRow(row, 0);
    }
    grid.SetRedraw(true);
    return refused;
}

int32_t clsSpreadIn::CopySelectedRows() {
    SpreadGrid& grid = Bound();
    SpreadBlock sel = grid.SelBlock();
    int32_t row1 = sel.row1 < 0 ? 1 : sel.row1;
    int32_t row2 = sel.row1 < 0 ? rows_ : sel.row2;
    SpreadBlock block{1, row1, cols_, row2};
    grid.SelectBlock(block);
    const std::string text = grid.BlockText(block);
    services_.SetClipboardText(text);
    // The whole records go with the text, for a paste of it as rows.
    copiedRows_.clear();
    for (int32_t row = row1; row <= std::min(row2, rows_); ++row)
        copiedRows_.push_back(RowData(row));
    copiedCells_ = ParseClipboardText(text);
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
                      sel.col1 < 0 ? cols_ : sel.col2, sel.row1 < 0 ? rows_ : sel.row2};
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
    // Clipboard rows beyond the last grid row get new rows rather than being
    // dropped; repeats stay inside the selection, which lies in the grid.
    if (n == 1)
        GrowRows(s + rows - 1);
    for (int32_t k = 1; k <= repeats; ++k) {
        int32_t top = s + (k - 1) * rows;
        if (top > rows_)
            break;
        SpreadBlock block{1, top, cols_, std::min(top + rows - 1, rows_)};
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
    if (WidestLine(text) > cols_ || (n == 1 && s + rows - 1 > rows_))
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
    bool cut = WidestLine(text) > cols || c1 + colRepeats * cols - 1 > cols_ ||
               s1 + rowRepeats * rows - 1 > rows_;
    // Copied rows pasted from column 1 are pasted as rows.
    const bool carry = c1 == 1 && CarriesCopiedRows(text);
    int32_t lastRow = s1;
    for (int32_t i = 1; i <= colRepeats; ++i) {
        for (int32_t j = 1; j <= rowRepeats; ++j) {
            SpreadBlock block{c1 + (i - 1) * cols, s1 + (j - 1) * rows, 0, 0};
            block.col2 = std::min(block.col1 + cols - 1, cols_);
            block.row2 = std::min(block.row1 + rows - 1, rows_);
            if (block.col1 > cols_ || block.row1 > rows_)
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
                      sel.col1 < 0 ? cols_ : sel.col2, sel.row1 < 0 ? rows_ : sel.row2};
    grid.ClearBlock(block);
    // Showing the rows again keeps the grid true to the store where a blank
    // was refused (a column whose minimum is above 0 keeps its value).
    grid.SetRedraw(false);
    bool refused = false;
    for (int32_t row = block.row1; row <= std::min(block.row2, rows_); ++row) {
        ReadRow(row, 0, &refused);
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
    if (rows_ > 1 && sel.row1 <= 1 && sel.row2 >= rows_) {
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
    grid.ClearBlock({1, sel.row1, cols_, sel.row2});
    // Every slot, not only the flag: a value typed into the row later must
    // not bring the cleared ones back.
    for (int32_t row = sel.row1; row <= std::min(sel.row2, rows_); ++row)
        ClearRowData(row);
    RestoreSelection(grid.ActiveCol(), sel.row1);
}

void clsSpreadIn::RowDelete() {
    SpreadGrid& grid = Bound();
    SpreadBlock sel = grid.SelBlock();
    if (NamesNoRows(sel))
        return;
    int32_t n = sel.row2 - sel.row1 + 1;
    grid.SetRedraw(false);
    grid.MoveBlock({1, sel.row2 + 1, cols_, rows_}, 1, sel.row1);
    grid.ClearBlock({1, std::max(rows_ - n + 1, sel.row1), cols_, rows_});
    for (int32_t i = sel.row1; i <= rows_ - n; ++i)
        CopyRowData(i + n, i);
    for (int32_t row = std::max(rows_ - n + 1, 1); row <= rows_; ++row)
        ClearRowData(row);
    grid.SetRedraw(true);
    RestoreSelection(grid.ActiveCol(), grid.ActiveRow());
}

void clsSpreadIn::RowInsort() {
    SpreadGrid& grid = Bound();
    SpreadBlock sel = grid.SelBlock();
    if (sel.row1 < 0 || sel.col1 < 0)
        return;
    int32_t first = sel.row1;
    int32_t last = std::min(sel.row2, rows_);
    // A selection of whole columns or of the whole grid names no rows to
    // make room for: it inserts one row at its top.
    if (rows_ > 1 && first == 1 && last == rows_)
        last = first;
    int32_t n = last - first + 1;
    // Rows pushed past the last grid row would be lost: the grid grows so
    // that every row with data moves down with the rest, and an insert that
    // would need more rows than a table can hold is refused.
    if (GetMaxFgRow() >= first) {
        if (GetMaxFgRow() + n > kMaxTableRows) {
            RefuseAt(kTableFull);
            return;
        }
        GrowRows(GetMaxFgRow() + n);
    }
    grid.SetRedraw(false);
    grid.MoveBlock({1, first, cols_, rows_ - n}, 1, first + n);
    grid.ClearBlock({1, first, cols_, last});
    for (int32_t i = rows_ - n; i >= first; --i)
        CopyRowData(i, i + n);
    // An inserted row is blank in every slot, the hidden ones too: a value
    // typed into it must not bring back those of the row that moved down.
    for (int32_t row = first; row <= last; ++row)
        ClearRowData(row);
    grid.SetRedraw(true);
    RestoreSelection(grid.ActiveCol(), grid.ActiveRow());
}

void clsSpreadIn::UnderCopy() {
    SpreadGrid& grid = Bound();
    SpreadBlock sel = grid.SelBlock();
    if (sel.row1 < 1 || sel.row2 <= sel.row1)
        return;
    int32_t col1 = sel.col1 < 1 ? 1 : sel.col1;
    int32_t col2 = sel.col1 < 1 ? cols_ : sel.col2;
    std::vector<QString> texts;
    for (int32_t col = col1; col <= col2; ++col)
        texts.push_back(grid.Text(col, sel.row1));
    grid.SetRedraw(false);
    for (int32_t row = sel.row1; row <= sel.row2; ++row) {
        for (int32_t col = col1; col <= col2; ++col) {
            if (slot_[col] == kLabel)
                continue;
            grid.SetText(col, row, texts[col - col1]);
            ReadRow(row, col);
        }
        ShowRow(row, 0);
    }
    grid.SetRedraw(true);
    RestoreSelection(grid.ActiveCol(), grid.ActiveRow());
    TellEntryNotes();
}

void clsSpreadIn::DeleteAll() {
    SpreadGrid& grid = Bound();
    if (NamesNoRows(grid.SelBlock()))
        return;
    grid.SetRedraw(false);
    for (int32_t row = std::max(grid.ActiveRow(), 1); row <= rows_; ++row) {
        ClearRowData(row);
        ShowRow(row, 0);
    }
    grid.SetRedraw(true);
    RestoreSelection(grid.ActiveCol(), grid.ActiveRow());
}

bool clsSpreadIn::EventLeaveCell(int32_t Col, int32_t Row, int32_t& NewCol, int32_t& NewRow,
                                 int32_t& Act) {
    Act = 0;
    if (Row < 1 || Col < 1)
        return true;
    SpreadGrid& grid = Bound();
    bool leaving = NewCol == -1 && NewRow == -1;
    bool backward = !leaving && (NewRow < Row || (NewRow == Row && NewCol < Col));
    QString text = grid.Text(Col, Row);
    if (text.isEmpty() && At(flag_, Row) == 0)
        return true;

    bool refused = false;
    if (text == QStringLiteral("=") && Row > 1) {
        // Copies the row above from this column to the last.
        if (flag_[Row - 1] == 0)
            return true;
        Act = 1;
        flag_[Row] = 1;
        NewCol = Col;
        NewRow = Row;
        for (int32_t col = Col; col <= cols_; ++col) {
            int16_t slot = slot_[col];
            if (slot == kLabel)
                continue;
            if (slot == 0)
                DataS(Row, DataS(Row - 1));
            else if (slot > 0)
                DataL(slot, Row, DataL(slot, Row - 1));
            else
                DataD(-slot, Row, DataD(-slot, Row - 1));
            ShowRow(Row, col);
        }
    } else {
        uint8_t oldFlag = flag_[Row];
        int32_t r = ReadRow(Row, Col);
        refused = r > 0;
        bool flagChanged = flag_[Row] != oldFlag;
        if (flagChanged || r != -1) {
            if (r > 0) {
                // A refused text has its own note, told below.
                double value = 0;
                if (entryNotes_.empty())
                    RefuseAt(ToDouble(text.toStdString(), value) || IsBlankCellText(text)
                                 ? RangeNote(Col)
                                 : kNotANumber,
                             Col, Row);
            } else {
                Act = 1;
            }
        }
        if (r > 0 && !backward && !leaving) {
            NewCol = Col;
            NewRow = Row;
        }
        ShowRow(Row, flagChanged ? 0 : Col);
    }

    if (refused)
        grid.RefuseLeave();
    if (NewCol > 0 && NewRow > 0)
        grid.SetActiveCell(NewCol, NewRow);
    // A refused or cut text says why, in place of the bell alone.
    TellEntryNotes(Col, Row);
    return !refused;
}

bool clsSpreadIn::SaveCsvFile(const std::string& strSaveFile) {
    SpreadGrid& grid = Bound();
    // A quote inside a text is doubled, so that the text keeps its column.
    auto quoted = [](QString text) {
        text.replace(u'"', QStringLiteral("\"\""));
        return u'"' + text + u'"';
    };
    QString out = grid.Text(0, 0);
    for (int32_t col = 1; col <= cols_; ++col)
        out += u',' + quoted(grid.Text(col, 0));
    out += QStringLiteral("\r\n");
    for (int32_t row = 1; row <= rows_; ++row) {
        if (flag_[row] == 0)
            continue;
        out += grid.Text(0, row);
        for (int32_t col = 1; col <= cols_; ++col) {
            QString cell = grid.Text(col, row);
            bool number = slot_[col] != 0 && slot_[col] != kLabel;
            out += u',' + (number ? cell : quoted(cell));
        }
        out += QStringLiteral("\r\n");
    }
    return static_cast<bool>(WriteFileReplacing(strSaveFile, Utf8ToCp932(out.toStdString())));
}

void clsSpreadIn::SetZSW(int32_t lCm, int32_t SW) {
    At(zeroShow_, lCm) = SW;
}
