#include "core/input_table.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>

#include "core/document.h"
#include "core/format.h"
#include "core/number_text.h"
#include "core/text_entry.h"
#include "core/text_number.h"

namespace {

// Display patterns by decimals, 13 characters each.
constexpr const char* kPatterns[] = {"############0", "##########0.0", "#########0.00",
                                     "########0.000", "#######0.0000"};
constexpr double kScales[] = {1.0, 10.0, 100.0, 1000.0, 10000.0};

constexpr const char* kNotANumber = "数値を入力してください";

template <typename T>
T& At(std::vector<T>& values, int32_t index) {
    if (index < 0 || static_cast<size_t>(index) >= values.size())
        throw std::out_of_range("input table index out of range");
    return values[static_cast<size_t>(index)];
}

template <typename T>
const T& At(const std::vector<T>& values, int32_t index) {
    if (index < 0 || static_cast<size_t>(index) >= values.size())
        throw std::out_of_range("input table index out of range");
    return values[static_cast<size_t>(index)];
}

int16_t ToInt16(int32_t value) {
    if (value < INT16_MIN || value > INT16_MAX)
        throw std::out_of_range("value does not fit a 16-bit field");
    return static_cast<int16_t>(value);
}

// The number a cell's text holds, read as typed: full-width digits count as
// half-width ones, and infinities or NaN are no number.
std::optional<double> CellNumber(const std::string& text) {
    std::optional<double> number = ParseNumber(HalfWidthNumberText(text));
    if (!number || !std::isfinite(*number))
        return std::nullopt;
    return number;
}

void AddOnce(std::vector<std::string>& notes, const std::string& note) {
    if (!note.empty() && std::find(notes.begin(), notes.end(), note) == notes.end())
        notes.push_back(note);
}

}  // namespace

bool IsBlankCellEntry(std::string_view text) {
    static constexpr std::string_view kWideBlank = "　";
    for (size_t i = 0; i < text.size();) {
        if (text[i] == ' ') {
            ++i;
        } else if (text.substr(i).starts_with(kWideBlank)) {
            i += kWideBlank.size();
        } else {
            return false;
        }
    }
    return true;
}

InputRecord InputTable::BlankOfSize() const {
    InputRecord record = blank_;
    record.flag = 0;
    record.longs.resize(static_cast<size_t>(maxL_), 0);
    record.doubles.resize(static_cast<size_t>(maxD_), 0.0);
    if (maxS_ <= 0)
        record.text.clear();
    return record;
}

void InputTable::Reset(int32_t cols, int32_t rows, int32_t longSlots, int32_t doubleSlots,
                       int32_t textSlot) {
    cols_ = std::max(cols, 0);
    rows_ = std::clamp(rows, 0, kMaxTableRows);
    maxL_ = std::max(longSlots, 0);
    maxD_ = std::max(doubleSlots, 0);
    maxS_ = textSlot;
    const size_t columns = static_cast<size_t>(cols_) + 1;
    slot_.assign(columns, 0);
    decimals_.assign(columns, 0);
    min_.assign(columns, 0.0);
    max_.assign(columns, 0.0);
    length_.assign(columns, 0);
    zeroShow_.assign(columns, 0);
    blank_ = BlankOfSize();
    records_.assign(static_cast<size_t>(rows_) + 1, blank_);
}

void InputTable::Resize(int32_t cols, int32_t rows) {
    cols_ = std::max(cols, 0);
    rows_ = std::clamp(rows, 0, kMaxTableRows);
    const size_t columns = static_cast<size_t>(cols_) + 1;
    slot_.resize(columns, 0);
    decimals_.resize(columns, 0);
    min_.resize(columns, 0.0);
    max_.resize(columns, 0.0);
    length_.resize(columns, 0);
    zeroShow_.resize(columns, 0);
    records_.resize(static_cast<size_t>(rows_) + 1, blank_);
}

void InputTable::DefineColumn(int32_t col, int32_t slot, int32_t decimals, double min, double max,
                              int32_t length) {
    if (decimals < 0 || decimals > 4)
        throw std::out_of_range("a grid column has 0 to 4 decimals");
    if (col < 1)
        throw std::out_of_range("input table index out of range");
    At(slot_, col) = ToInt16(slot);
    At(decimals_, col) = ToInt16(decimals);
    At(min_, col) = min;
    At(max_, col) = max;
    At(length_, col) = length;
}

void InputTable::SetZSW(int32_t col, int32_t sw) {
    At(zeroShow_, col) = sw;
}

int16_t InputTable::Slot(int32_t col) const {
    return At(slot_, col);
}

int16_t InputTable::Decimals(int32_t col) const {
    return At(decimals_, col);
}

double InputTable::Min(int32_t col) const {
    return At(min_, col);
}

double InputTable::Max(int32_t col) const {
    return At(max_, col);
}

int32_t InputTable::Length(int32_t col) const {
    return At(length_, col);
}

int32_t InputTable::ZeroShow(int32_t col) const {
    return At(zeroShow_, col);
}

InputRecord& InputTable::Row(int32_t row) {
    return At(records_, row);
}

const InputRecord& InputTable::Row(int32_t row) const {
    return At(records_, row);
}

void InputTable::iFG(int32_t row, int16_t flag) {
    if (flag < 0 || flag > 255)
        throw std::out_of_range("a data flag is a byte");
    Row(row).flag = static_cast<uint8_t>(flag);
}

int16_t InputTable::iFG(int32_t row) const {
    return Row(row).flag;
}

void InputTable::DataL(int32_t slot, int32_t row, int32_t value) {
    At(Row(row).longs, slot - 1) = value;
}

int32_t InputTable::DataL(int32_t slot, int32_t row) const {
    return At(Row(row).longs, slot - 1);
}

void InputTable::DataD(int32_t slot, int32_t row, double value) {
    At(Row(row).doubles, slot - 1) = value;
}

double InputTable::DataD(int32_t slot, int32_t row) const {
    return At(Row(row).doubles, slot - 1);
}

void InputTable::DataS(int32_t row, const std::string& text) {
    if (maxS_ <= 0)
        throw std::out_of_range("the table holds no text");
    Row(row).text = text;
}

const std::string& InputTable::DataS(int32_t row) const {
    if (maxS_ <= 0)
        throw std::out_of_range("the table holds no text");
    return Row(row).text;
}

bool InputTable::Fits(const InputRecord& record) const {
    return record.longs.size() == static_cast<size_t>(maxL_) &&
           record.doubles.size() == static_cast<size_t>(maxD_) &&
           (maxS_ > 0 || record.text.empty());
}

void InputTable::CheckShape(const InputRecord& record) const {
    if (!Fits(record))
        throw std::out_of_range("a record of another table");
}

const InputRecord& InputTable::Record(int32_t row) const {
    return Row(row);
}

void InputTable::SetRecord(int32_t row, const InputRecord& record) {
    CheckShape(record);
    Row(row) = record;
}

void InputTable::SetBlankRecord(const InputRecord& record) {
    CheckShape(record);
    blank_ = record;
    blank_.flag = 0;
}

int32_t InputTable::CountFG() const {
    int32_t count = 0;
    for (int32_t row = 1; row <= rows_; ++row)
        if (records_[static_cast<size_t>(row)].flag != 0)
            ++count;
    return count;
}

int32_t InputTable::GetMaxFgRow() const {
    for (int32_t row = rows_; row >= 1; --row)
        if (records_[static_cast<size_t>(row)].flag != 0)
            return row;
    return 0;
}

std::string InputTable::ShownText(int32_t row, int32_t col) const {
    const int16_t slot = Slot(col);
    if (Row(row).flag == 0 || slot == kLabel)
        return std::string();
    if (slot == 0)
        return DataS(row);
    const int16_t decimals = decimals_[static_cast<size_t>(col)];
    const double value = slot > 0 ? DataL(slot, row) / kScales[decimals] : DataD(-slot, row);
    if (value != 0 || zeroShow_[static_cast<size_t>(col)] != 0)
        return FormatNumber(value, kPatterns[decimals]);
    return std::string();
}

std::string InputTable::RangeNote(int32_t col) const {
    const char* pattern = kPatterns[Decimals(col)];
    return FormatNumber(Min(col), pattern) + "～" + FormatNumber(Max(col), pattern) +
           "の数値を入力してください";
}

CellTakeResult InputTable::TakeText(int32_t row, int32_t col, const std::string& text) {
    const int16_t slot = Slot(col);
    InputRecord& record = Row(row);
    if (slot == kLabel || (record.flag != 0 && text == ShownText(row, col)))
        return {CellTake::Kept, false, {}};
    if (slot == 0) {
        // A pasted text is taken as a typed one would be, so that the cell
        // shows what the file will hold.
        TextEntry entry = TakeTextEntry(text, {true, Length(col)});
        if (!entry.refused.empty())
            return {CellTake::Refused, false, entry.note};
        const bool changed = entry.text != DataS(row);
        if (!entry.text.empty())
            record.flag = 1;
        record.text = std::move(entry.text);
        return {CellTake::Stored, changed, entry.note};
    }
    double value = 0;
    if (!IsBlankCellEntry(text)) {
        std::optional<double> number = CellNumber(text);
        if (!number)
            return {CellTake::Refused, false, kNotANumber};
        value = *number == 0 ? kTypedZero : *number;
    }
    // A value whose scaled integer does not fit its Long slot is refused
    // like one out of range.
    std::optional<int32_t> scaled;
    if (slot > 0)
        scaled = RoundToInt32(value * kScales[Decimals(col)]);
    if (value < Min(col) || value > Max(col) || (slot > 0 && !scaled))
        return {CellTake::Refused, false, RangeNote(col)};
    bool changed = false;
    if (slot < 0) {
        changed = DataD(-slot, row) != value;
        DataD(-slot, row, value);
    } else {
        changed = DataL(slot, row) != *scaled;
        DataL(slot, row, *scaled);
    }
    if (!text.empty())
        record.flag = 1;
    return {CellTake::Stored, changed, {}};
}

RowTakeResult InputTable::TakeRow(int32_t row, const std::vector<std::string>& texts, int32_t col,
                                  bool readOn) {
    RowTakeResult taken;
    const InputRecord before = Row(row);
    const int32_t first = col == 0 ? 1 : col;
    const int32_t last = col == 0 ? cols_ : col;
    int32_t refusedText = 0;
    for (int32_t c = first; c <= last; ++c) {
        const int16_t slot = Slot(c);
        if (slot == kLabel)
            continue;
        CellTakeResult cell = TakeText(row, c, At(texts, c));
        if (cell.outcome == CellTake::Kept)
            continue;
        if (cell.outcome == CellTake::Stored) {
            if (cell.changed)
                taken.result = 0;
            AddOnce(taken.entryNotes, cell.note);
            continue;
        }
        if (slot == 0) {
            AddOnce(taken.entryNotes, cell.note);
            if (refusedText == 0)
                refusedText = c;
            continue;
        }
        if (taken.refusalNote.empty())
            taken.refusalNote = cell.note;
        if (!readOn) {
            taken.result = c;
            return taken;
        }
        taken.refusedAny = true;
    }
    // A pasted row whose text was refused is not a row of the clipboard: it
    // keeps everything it held rather than mixing the two.
    if (readOn && refusedText > 0) {
        taken.rowKept = !(Row(row) == before);
        Row(row) = before;
    }
    if (refusedText > 0)
        taken.result = refusedText;
    return taken;
}

CellLeaveResult InputTable::LeaveCell(int32_t row, int32_t col, const std::string& text) {
    CellLeaveResult leave;
    const int16_t oldFlag = Row(row).flag;
    if (text.empty() && oldFlag == 0)
        return leave;
    int32_t showLast = col;
    if (text == "=" && row > 1) {
        if (!CopyFromAbove(row, col))
            return leave;
        leave.outcome = CellLeave::Copied;
        leave.changed = true;
        showLast = cols_;
    } else {
        std::vector<std::string> texts(static_cast<size_t>(cols_) + 1);
        At(texts, col) = text;
        RowTakeResult taken = TakeRow(row, texts, col);
        const bool flagChanged = Row(row).flag != oldFlag;
        leave.outcome = CellLeave::Read;
        leave.refused = taken.result > 0;
        leave.changed = !leave.refused && (flagChanged || taken.result != -1);
        leave.refusalNote = std::move(taken.refusalNote);
        leave.entryNotes = std::move(taken.entryNotes);
        if (flagChanged) {
            col = 1;
            showLast = cols_;
        }
    }
    for (int32_t c = col; c <= showLast; ++c)
        if (Slot(c) != kLabel)
            leave.shown.push_back({c, ShownText(row, c)});
    return leave;
}

void InputTable::ClearRows(int32_t first, int32_t last) {
    for (int32_t row = std::max(first, 1); row <= std::min(last, rows_); ++row)
        records_[static_cast<size_t>(row)] = blank_;
}

void InputTable::ClearFrom(int32_t first) {
    ClearRows(first, rows_);
}

bool InputTable::InsertRows(int32_t first, int32_t count) {
    if (first < 1 || first > rows_ || count < 1)
        return true;
    // Rows pushed past the last row would be lost: the table grows so that
    // every row with data moves down with the rest.
    const int32_t lastFilled = GetMaxFgRow();
    if (lastFilled >= first) {
        if (lastFilled + count > kMaxTableRows)
            return false;
        if (lastFilled + count > rows_)
            Resize(cols_, lastFilled + count);
    }
    count = std::min(count, rows_ - first + 1);
    const auto at = records_.begin() + first;
    records_.insert(at, static_cast<size_t>(count), blank_);
    records_.resize(static_cast<size_t>(rows_) + 1);
    return true;
}

void InputTable::DeleteRows(int32_t first, int32_t count) {
    if (first < 1 || first > rows_ || count < 1)
        return;
    count = std::min(count, rows_ - first + 1);
    const auto at = records_.begin() + first;
    records_.erase(at, at + count);
    records_.resize(static_cast<size_t>(rows_) + 1, blank_);
}

std::vector<InputRecord> InputTable::CopyRows(int32_t first, int32_t last) const {
    std::vector<InputRecord> copied;
    for (int32_t row = std::max(first, 1); row <= std::min(last, rows_); ++row)
        copied.push_back(records_[static_cast<size_t>(row)]);
    return copied;
}

std::vector<InputRecord> InputTable::CutRows(int32_t first, int32_t last) {
    std::vector<InputRecord> cut = CopyRows(first, last);
    ClearRows(first, last);
    return cut;
}

int32_t InputTable::PasteRows(int32_t first, const std::vector<InputRecord>& records) {
    if (first < 1 || records.empty())
        return 0;
    for (const InputRecord& record : records)
        CheckShape(record);
    const int64_t end = static_cast<int64_t>(first) + static_cast<int64_t>(records.size()) - 1;
    if (end > rows_)
        Resize(cols_, static_cast<int32_t>(std::min<int64_t>(end, kMaxTableRows)));
    int32_t written = 0;
    for (int32_t row = first; row <= rows_ && static_cast<size_t>(written) < records.size();
         ++row, ++written)
        records_[static_cast<size_t>(row)] = records[static_cast<size_t>(written)];
    return written;
}

std::vector<std::string> InputTable::CopyDown(int32_t first, int32_t last, int32_t col1,
                                              int32_t col2) {
    std::vector<std::string> notes;
    if (first < 1 || last <= first)
        return notes;
    col1 = std::max(col1, 1);
    col2 = std::min(col2, cols_);
    std::vector<std::string> texts(static_cast<size_t>(cols_) + 1);
    for (int32_t col = col1; col <= col2; ++col)
        texts[static_cast<size_t>(col)] = ShownText(first, col);
    // Each cell is read as if typed there; a refused one keeps its value.
    // Only the text cells' notes are told, as a typed text's would be.
    for (int32_t row = first; row <= std::min(last, rows_); ++row) {
        for (int32_t col = col1; col <= col2; ++col) {
            const int16_t slot = Slot(col);
            if (slot == kLabel)
                continue;
            CellTakeResult cell = TakeText(row, col, texts[static_cast<size_t>(col)]);
            if (slot == 0)
                AddOnce(notes, cell.note);
        }
    }
    return notes;
}

bool InputTable::CopyFromAbove(int32_t row, int32_t col) {
    if (row <= 1 || Row(row - 1).flag == 0)
        return false;
    InputRecord& record = Row(row);
    const InputRecord& above = Row(row - 1);
    record.flag = 1;
    for (int32_t c = std::max(col, 1); c <= cols_; ++c) {
        const int16_t slot = Slot(c);
        if (slot == kLabel)
            continue;
        if (slot == 0)
            DataS(row, above.text);
        else if (slot > 0)
            DataL(slot, row, DataL(slot, row - 1));
        else
            DataD(-slot, row, DataD(-slot, row - 1));
    }
    return true;
}
