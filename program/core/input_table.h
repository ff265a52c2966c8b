#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The typed rows behind one input grid, without the grid: per row a data flag
// and its Long slots (value x 10^decimals, rounded), Double slots (the value
// as typed) and one text; per column the slot it shows, its decimals, its
// valid range, its input length and its zero-show switch. The cells' texts
// are derived from the table (ShownText) and read back into it (TakeText,
// TakeRow); the row commands work on whole records, hidden slots included.
//
// Blank and zero differ in Double slots: a blank cell stores 0, a typed zero
// kTypedZero, which shows as zero; a stored 0 is shown blank unless the
// column's zero-show switch is on.
//
// Rows and columns are counted as the grid counts them: data from 1, row and
// column 0 exist (column 0 only for its switch) but are never read or shown.
// Long and Double slot numbers are 1-based. An index outside the table throws
// std::out_of_range.

// One row: its flag (non-zero: the row holds data) and every slot.
struct InputRecord {
    uint8_t flag = 0;
    std::vector<int32_t> longs;   // Long slot k at [k - 1]
    std::vector<double> doubles;  // Double slot k at [k - 1]
    std::string text;

    bool operator==(const InputRecord&) const = default;
};

// What taking one cell's text did.
enum class CellTake {
    Kept,     // the cell shows what the row holds: nothing was read
    Stored,   // the text was read into its slot
    Refused,  // the text was not taken: the slot keeps its value
};

struct CellTakeResult {
    CellTake outcome = CellTake::Kept;
    // Stored: the slot's value changed (a flag set by the reading aside).
    bool changed = false;
    // Refused: why ("数値を入力してください", the column's range, the characters
    // a file cannot hold). Stored: that the text was cut, or empty.
    std::string note;
};

// What taking a row's texts did, as the grid binding reports it.
struct RowTakeResult {
    // -1 nothing changed, 0 a value changed, or the first refused column.
    int32_t result = -1;
    // Reading on past refusals: a number cell was refused and kept its value.
    bool refusedAny = false;
    // Reading on past refusals: a text was refused and the other cells would
    // have changed the row, so it was kept whole as it was before the reading.
    // (A refused text in a row that is otherwise as it was is only noted.)
    bool rowKept = false;
    // The notes of text cells refused or cut, each once, in column order.
    std::vector<std::string> entryNotes;
    // The note of the first refused number cell (its range, or not a number).
    std::string refusalNote;
};

// What leaving a cell after an edit did to its row.
enum class CellLeave {
    Nothing,  // the cell held nothing to read: the row is as it was
    Copied,   // "=": the row above was copied from the cell's column on
    Read,     // the cell's text was taken (or refused)
};

struct ShownCell {
    int32_t col = 0;
    std::string text;

    bool operator==(const ShownCell&) const = default;
};

struct CellLeaveResult {
    CellLeave outcome = CellLeave::Nothing;
    // The row's values or its flag changed.
    bool changed = false;
    // The text was refused and the slot keeps its value.
    bool refused = false;
    // A refused number's note (its range, or not a number); empty when a
    // text was refused, whose note is in entryNotes.
    std::string refusalNote;
    // The notes of a text refused or cut.
    std::vector<std::string> entryNotes;
    // The cells to show again, each with the text it shows now: the cell,
    // the copied columns, or the whole row when its flag changed (label
    // columns aside).
    std::vector<ShownCell> shown;
};

// True for a cell text of half-width or full-width blanks only, or none: such
// a cell holds no value.
bool IsBlankCellEntry(std::string_view text);

class InputTable {
  public:
    // Slot code of a label column: the table never reads or shows its cells.
    static constexpr int16_t kLabel = 9999;
    // What a typed 0 stores in a Double slot, so that it differs from a blank.
    static constexpr double kTypedZero = 1.0E-5;

    // Columns 1..cols and rows 1..rows, all blank: `longSlots` Long and
    // `doubleSlots` Double slots per row, a text per row when `textSlot` > 0.
    // Every row starts as the blank record (SetBlankRecord), which keeps its
    // values in the slots that remain.
    void Reset(int32_t cols, int32_t rows, int32_t longSlots, int32_t doubleSlots,
               int32_t textSlot);
    // New sizes, keeping the rows and columns that remain; rows added start
    // as the blank record. Rows are at most kMaxTableRows.
    void Resize(int32_t cols, int32_t rows);
    int32_t Cols() const { return cols_; }
    int32_t Rows() const { return rows_; }
    int32_t LongSlots() const { return maxL_; }
    int32_t DoubleSlots() const { return maxD_; }
    bool HasText() const { return maxS_ > 0; }

    // Defines column `col` (1..C): slot code `slot` (kLabel; 0 the row's text;
    // k > 0 Long slot k; k < 0 Double slot -k), `decimals` (0 to 4), the valid
    // range [min, max] and the input length: for a text column the most bytes
    // its text takes in the file's code page (a full-width character two).
    void DefineColumn(int32_t col, int32_t slot, int32_t decimals, double min, double max,
                      int32_t length);
    // The zero-show switch of column `col` (0..C).
    void SetZSW(int32_t col, int32_t sw);
    int16_t Slot(int32_t col) const;
    int16_t Decimals(int32_t col) const;
    double Min(int32_t col) const;
    double Max(int32_t col) const;
    int32_t Length(int32_t col) const;
    int32_t ZeroShow(int32_t col) const;

    // The store, slot by slot. A flag outside 0..255 throws.
    void iFG(int32_t row, int16_t flag);
    int16_t iFG(int32_t row) const;
    void DataL(int32_t slot, int32_t row, int32_t value);
    int32_t DataL(int32_t slot, int32_t row) const;
    void DataD(int32_t slot, int32_t row, double value);
    double DataD(int32_t slot, int32_t row) const;
    void DataS(int32_t row, const std::string& text);
    const std::string& DataS(int32_t row) const;

    // A whole row. A record whose slot counts differ from the table's throws.
    const InputRecord& Record(int32_t row) const;
    // Whether `record` has this table's slot counts.
    bool Fits(const InputRecord& record) const;
    void SetRecord(int32_t row, const InputRecord& record);
    // What every new, inserted or cleared row starts as: no flag and, unless
    // set otherwise, every slot blank. The N-value grid's rows start with the
    // standard penetration (StartNRowsBlank). Its flag is always 0.
    void SetBlankRecord(const InputRecord& record);
    const InputRecord& BlankRecord() const { return blank_; }

    // Number of rows 1..R with data, and the last of them (0 when none).
    int32_t CountFG() const;
    int32_t GetMaxFgRow() const;

    // The text cell (row, col) shows: nothing for a row without data or a
    // label column; the row's text; a number in the column's format (a Long
    // slot divided by 10^decimals), a stored 0 only with the zero-show switch.
    std::string ShownText(int32_t row, int32_t col) const;
    // The note for a value out of column `col`'s range.
    std::string RangeNote(int32_t col) const;

    // Takes the text of cell (row, col). A text the cell shows already is
    // kept as stored, never refused, rounded or cut (a negated default, a
    // saved value beyond the column's limit or with more decimals than it
    // shows, a name longer than typing allows). A number column reads
    // full-width digits as half-width ones; a blank is 0, a typed 0 is
    // kTypedZero in a Double slot; the value must lie in the range, and a
    // Long slot's scaled value must fit. A text column takes the text by the
    // text rules of a quoted file value within the column's length, telling
    // a cut. A non-empty cell sets the row's flag; reading never clears it.
    CellTakeResult TakeText(int32_t row, int32_t col, const std::string& text);
    // Takes the cells of row `row` from `texts` (indexed by column, 0..C):
    // every column for `col` 0, else column `col` alone, left to right. The
    // first refused number cell ends the reading and its column is the result;
    // a refused text is noted and the reading goes on. With `readOn` (a paste)
    // the reading goes on past refused numbers, each keeping its value, but a
    // refused text keeps the whole row as it was.
    RowTakeResult TakeRow(int32_t row, const std::vector<std::string>& texts, int32_t col = 0,
                          bool readOn = false);

    // Leaving cell (row, col) that holds `text`: a blank cell of a row
    // without data is nothing to read; "=" below a row with data copies that
    // row from column `col` on; any other text is taken as TakeRow takes one
    // column.
    CellLeaveResult LeaveCell(int32_t row, int32_t col, const std::string& text);

    // The row commands. Rows outside 1..R are left out.
    // Rows first..last become the blank record.
    void ClearRows(int32_t first, int32_t last);
    // Rows first..R become the blank record (delete to the end).
    void ClearFrom(int32_t first);
    // `count` blank rows at `first`; the rows from there move down. The table
    // grows so that every row with data moves with them; false, and nothing
    // changes, when that would need more than kMaxTableRows rows.
    bool InsertRows(int32_t first, int32_t count);
    // Deletes `count` rows at `first`; the rows below move up and blank rows
    // fill the end.
    void DeleteRows(int32_t first, int32_t count);
    // The records of rows first..last, hidden slots included; CutRows also
    // clears them.
    std::vector<InputRecord> CopyRows(int32_t first, int32_t last) const;
    std::vector<InputRecord> CutRows(int32_t first, int32_t last);
    // Writes `records` from row `first` on, growing the table as far as
    // kMaxTableRows; returns how many rows were written.
    int32_t PasteRows(int32_t first, const std::vector<InputRecord>& records);
    // Copy down: the texts row `first` shows in columns col1..col2 are taken
    // into that row and every row down to `last`, cell by cell; returns the
    // notes of text cells refused or cut, each once.
    std::vector<std::string> CopyDown(int32_t first, int32_t last, int32_t col1, int32_t col2);
    // The "=" of a cell: when the row above holds data, its slots from column
    // `col` to the last go into row `row`, which gets the flag; false, and
    // nothing changes, on row 1 or below a row without data.
    bool CopyFromAbove(int32_t row, int32_t col);

  private:
    InputRecord& Row(int32_t row);
    const InputRecord& Row(int32_t row) const;
    InputRecord BlankOfSize() const;
    void CheckShape(const InputRecord& record) const;

    int32_t cols_ = 0;  // C
    int32_t rows_ = 0;  // R
    int32_t maxL_ = 0;
    int32_t maxD_ = 0;
    int32_t maxS_ = 0;
    // Per column 0..C.
    std::vector<int16_t> slot_;
    std::vector<int16_t> decimals_;
    std::vector<double> min_;
    std::vector<double> max_;
    std::vector<int32_t> length_;
    std::vector<int32_t> zeroShow_;
    // Rows 0..R.
    std::vector<InputRecord> records_;
    InputRecord blank_;
};
