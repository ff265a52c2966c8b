#pragma once

#include <QPointer>
#include <QStringList>
#include <cstdint>
#include <string>
#include <vector>

#include "core/document.h"
#include "core/input_table.h"
#include "ui/grid/spread_grid.h"
#include "ui/platform/platform_services.h"

// True for a cell text of blanks only (half-width or full-width) or none.
bool IsBlankCellText(const QString& text);

// Ties one grid to the typed store of its rows, an InputTable (core), which
// holds, for every grid row 0..R, a data flag and typed values: Long slots
// (value x 10^decimals, rounded), Double slots (the value as typed) and one
// text. Each column says which slot it shows (its slot code), its decimals,
// its valid range and its input length. The binding hands the cells' texts
// to the table when the cursor leaves a cell or a command reads them, writes
// the texts the table shows back into the cells, and carries out the
// clipboard and row commands: the table moves the records, the binding the
// clipboard, the selection, the redraw and the notes.
//
// Blank and zero differ in Double slots: a blank cell stores 0, a typed zero
// 1.0E-5, which shows as zero; a stored 0 is shown blank unless the column's
// zero-show switch is on.
//
// Rows and columns are the grid's (data from 1, 0 the headers); Long and
// Double slot numbers are 1-based as the slot codes give them. An index
// outside the stores throws std::out_of_range.
class clsSpreadIn {
  public:
    // Slot code of a label column: the binding never reads or writes its cells.
    static constexpr int16_t kLabel = InputTable::kLabel;

    // The clipboard, the bell and the paste message go through `services`.
    explicit clsSpreadIn(PlatformServices& services);
    ~clsSpreadIn();
    clsSpreadIn(const clsSpreadIn&) = delete;
    clsSpreadIn& operator=(const clsSpreadIn&) = delete;

    // Binds the grid, reads its size and creates every store empty: `lMaxL`
    // Long and `lMaxD` Double slots per row, a text per row when `lMaxS` > 0.
    // A key that moves past the grid's last row while it holds data gives
    // grid and stores one row more, up to kMaxTableRows; past that the key is
    // refused with a note.
    void SetSpread(SpreadGrid* vaS1, int32_t lMaxL, int32_t lMaxD, int32_t lMaxS);
    // Binds the grid again and resizes the stores to its size, keeping the
    // rows and columns that remain.
    void ResetSpread(SpreadGrid* vaS1);

    // Defines column `lCm`: slot code `lDi` (kLabel; 0 the row's text; k > 0
    // Long slot k; k < 0 Double slot -k), `lFm` decimals (0 to 4), the valid
    // range [dMI, dMA] and the input length `lELen`. The row's text is a
    // quoted value of a file: a text column keeps to the text rules of
    // TakeTextEntry as it is typed and whenever it is read, limited to
    // `lELen` bytes of the file's code page (a full-width character takes
    // two); a text it refuses leaves the stored text in place.
    void CreateCell(int32_t lCm, int32_t lDi, int32_t lFm, double dMI, double dMA, int32_t lELen);
    // As CreateCell, and sets the column's zero-show switch.
    void CreateCell2(int32_t lCm, int32_t lDi, int32_t lFm, double dMI, double dMA, int32_t lELen,
                     int32_t lSw);

    // The store. A flag outside 0..255 throws std::out_of_range.
    void iFG(int32_t lRw, int16_t iData);
    int16_t iFG(int32_t lRw) const;
    void DataL(int32_t lI, int32_t lRw, int32_t lData);
    int32_t DataL(int32_t lI, int32_t lRw) const;
    void DataD(int32_t lI, int32_t lRw, double dData);
    double DataD(int32_t lI, int32_t lRw) const;
    void DataS(int32_t lRw, const std::string& sData);
    const std::string& DataS(int32_t lRw) const;

    // Number of rows 1..R with data, and the last of them (0 when none).
    int32_t CountFG() const;
    int32_t GetMaxFgRow() const;

    // The value Double slot `lI` holds in a blank row: a row the binding adds
    // (a key at the last row, a paste or an insert past it) or empties (row
    // clear, cut, delete, insert, delete to the end). 0 unless set; setting it
    // also writes it into every row without data.
    void SetBlankDataD(int32_t lI, double dData);

    // Shows row `lRow` from the store in every column; 0 shows rows 1..R.
    void PrtSheet(int32_t lRow);

    // Sizes in twips: all columns; rows 0..lRows; columns iN1..iN2.
    int32_t MaxWidth() const;
    int32_t MaxHeight(int32_t lRows) const;
    int32_t CellSumWidth(int16_t iN1, int16_t iN2) const;

    // The Edit menu's commands on the grid's selection. A row command works on
    // whole records: a row it clears, cuts, deletes or inserts is blank in
    // every slot, the ones no column shows included, so a value typed there
    // later brings nothing back; rows copied or cut here and pasted as rows
    // (a row paste, or a paste at column 1) arrive whole, while the clipboard
    // still holds what that copy put there. A pasted row whose text is refused
    // keeps its whole old record, and the note says it was not taken. None of
    // them loses a row with data: a paste that reaches below the last row and an insert
    // that would push rows with data off the end give the grid more rows. A
    // paste wider than the grid pastes what fits; a pasted cell that is not a
    // number or out of range keeps its value while the rest of its row is
    // taken; either is told with the bell and a note. An insert over whole
    // columns (every row selected) inserts one row at the top; row clear, row
    // delete and delete to the end do nothing there and say so.
    void ClipRowCopy();
    void ClipCelCopy();
    void ClipRowCut();
    void ClipRowPaste();
    void ClipCelPaste();
    void CelClear();
    void RowClear();
    void RowDelete();
    void RowInsort();
    void UnderCopy();
    void DeleteAll();

    // The check when the cursor leaves cell (Col, Row) for (NewCol, NewRow)
    // (-1, -1 when it goes to no other cell). May hold the cursor in the cell
    // by changing NewCol and NewRow. Act becomes 1 when the row's stored
    // values or its flag changed, so that the caller copies it into the
    // document and recalculates. Returns false when the cell's text was
    // refused: the bell has sounded and the cell shows the stored value again.
    bool EventLeaveCell(int32_t Col, int32_t Row, int32_t& NewCol, int32_t& NewRow, int32_t& Act);

    // Writes the header and the rows with data as comma-separated text (code
    // page 932, CR LF), replacing the file whole or not at all. Shows nothing;
    // false when the file cannot be written.
    bool SaveCsvFile(const std::string& strSaveFile);

    // Sets the zero-show switch of column lCm (0..C).
    void SetZSW(int32_t lCm, int32_t SW);

    SpreadGrid* Grid() const { return grid_; }
    // The store itself, for the rules that read whole rows.
    const InputTable& Table() const { return table_; }

  private:
    bool ClipShape(int32_t& rows, int32_t& cols);
    void ShowRow(int32_t lRow, int32_t lCol);
    // The text that ShowRow puts into the cell.
    QString ShownText(int32_t lRow, int32_t lCol) const;
    // Hands the row's cell texts (every column for lCol 0, else that one) to
    // the table, the notes of its text cells to NoteEntry, and returns what
    // the table made of them (InputTable::TakeRow; `readOn` for a paste).
    RowTakeResult ReadRow(int32_t lRow, int32_t lCol, bool readOn = false);
    // Whether `text` is what the last row copy or cut of this binding put on
    // the clipboard, so that a paste of it may carry the whole records.
    bool CarriesCopiedRows(const std::string& text) const;
    // Before a paste of the copied rows into rows `top`.. : each target row
    // takes the whole record of its copied row.
    void CarryCopiedRows(int32_t top, int32_t rows);
    // Whether the grid shows the columns it showed when the rows were copied,
    // so that the copied texts fall into the columns they came from.
    bool CopiedColumnsStand() const;
    // A paste of the copied rows into a grid laid out anew: the records go
    // in whole and are shown; their texts would land in other columns.
    void PasteCopiedRecords(int32_t top, int32_t rows);
    // True for a selection that names no rows (none, or whole columns); the
    // latter is told to the user.
    bool NamesNoRows(const SpreadBlock& sel);

    // Selects the selected rows in every column and copies them; returns the
    // first of them.
    int32_t CopySelectedRows();
    std::string Clipboard();
    // Reads the pasted rows into the store and shows them; true when a cell
    // was refused.
    bool PasteFixUp(int32_t row1, int32_t row2);
    void RestoreSelection(int32_t col, int32_t row);
    // Gives the grid and the stores `rows` rows when they have fewer, at most
    // kMaxTableRows: a longer table could not be saved.
    void GrowRows(int32_t rows);
    SpreadGrid& Bound() const;
    // Notes on text cells that reading refused or cut, told once at the end
    // of the command that read them.
    void NoteEntry(const std::string& note);
    // Tells them beside cell (col, row); 0, 0: the current cell.
    void TellEntryNotes(int32_t col = 0, int32_t row = 0);
    // The bell and `note` beside cell (col, row) of the grid, the cell it is
    // about even when the focus has gone on to another control; 0, 0: the
    // current cell.
    void RefuseAt(const std::string& note, int32_t col = 0, int32_t row = 0);

    PlatformServices& services_;
    SpreadGrid* grid_ = nullptr;
    // The grid that asks this binding for rows, while both live.
    QPointer<SpreadGrid> grower_;
    // The rows, as many as the grid has, and its columns.
    InputTable table_;
    // The rows of the last row copy or cut, the clipboard cells it made and
    // the slot each column showed then.
    std::vector<InputRecord> copiedRows_;
    std::vector<QStringList> copiedCells_;
    std::vector<int16_t> copiedColumns_;
    std::vector<std::string> entryNotes_;
};
