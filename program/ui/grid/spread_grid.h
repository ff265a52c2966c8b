#pragma once

#include <QString>
#include <QTableWidget>
#include <functional>
#include <map>
#include <string>
#include <vector>

class QLineEdit;

// The spreadsheet-like grid control of the data-entry windows, over
// QTableWidget. It speaks in the grid's own coordinates: data columns 1..C
// and data rows 1..R; column 0 is the row-header column and row 0 the
// column-header row, (0, 0) the header corner.
//
// Cells are either editable text cells with a maximum input length or static
// label cells. Static cells belong to the grid's owner: pasting, clearing and
// moving blocks change only editable cells, so labels stay as the owner wrote
// them.

// A block of cells, inclusive. -1 in a first row or column means that there
// is none (for SelBlock) or the whole extent of that axis (for the block
// commands).
struct SpreadBlock {
    int col1 = -1;
    int row1 = -1;
    int col2 = -1;
    int row2 = -1;
};

enum class SpreadCellType { Edit, Static };

// A column heading as it is shown in a header cell `width` pixels wide with
// the font `metrics`: a heading that fits stays on one line; one that does
// not breaks before the "(" of its unit ("γ (kN/m3)" shows "γ" over
// "(kN/m3)"), so that a unit is never split; the part before it wraps as it
// must.
QString HeadingLines(const QString& heading, const QFontMetrics& metrics, int width);

// Clipboard text as rows of cells, read as spreadsheets write it: TAB between
// cells; a line ends with CR LF, a lone LF or a lone CR, and a final line end
// adds no row; a cell that begins with a double quote is quoted: up to its
// closing quote it may hold TABs and line breaks, and a doubled quote inside
// stands for one. A quote that is never closed is taken as it stands.
std::vector<QStringList> ParseClipboardText(const std::string& text);

// The data-entry grids' font and rows: nine points, rows one line of it tall
// (270 twips, never under 240), the same in every window.
void UseDataEntryRows(QTableWidget& grid);

class SpreadGrid : public QTableWidget {
    Q_OBJECT

  public:
    explicit SpreadGrid(QWidget* parent = nullptr);
    ~SpreadGrid() override;

    int MaxCols() const { return columnCount(); }
    int MaxRows() const { return rowCount(); }
    void SetMaxCols(int cols);
    void SetMaxRows(int rows);

    // Text of a data, header or corner cell; a cell outside the grid throws
    // std::out_of_range.
    QString Text(int col, int row) const;
    void SetText(int col, int row, const QString& text);

    // Sets every cell of data column `col`: its kind, its maximum input length
    // in characters (0: no limit) and its alignment.
    void SetColumnCells(int col, SpreadCellType type, int maxLength, Qt::Alignment alignment);
    SpreadCellType ColumnType(int col) const;
    int ColumnMaxLength(int col) const;
    // Hands every editor the grid opens in data column `col` to `setup`, once
    // its maximum length is set, so that the owner can check what is typed
    // there; an empty `setup` ends that.
    void SetColumnEditorSetup(int col, std::function<void(QLineEdit&)> setup);
    void SetUpEditor(int col, QLineEdit& editor) const;

    // The current cell; 0 when there is none.
    int ActiveCol() const;
    int ActiveRow() const;
    // Makes (col, row) the current cell and selects it, ending edit mode,
    // without reporting a LeaveCell.
    void SetActiveCell(int col, int row);
    // Ends edit mode: an open editor's text goes into its cell. No LeaveCell
    // is reported; the owner checks the cell itself.
    void CommitEditor();

    // The user's selected block: the bounding block of the selection, the
    // current cell when nothing is selected, all -1 when there is neither. A
    // selection of whole rows or columns is reported with its real extent.
    SpreadBlock SelBlock() const;
    void SelectBlock(const SpreadBlock& block);

    // The block as clipboard text: TAB between cells, CR LF after every row;
    // hidden columns are left out, and a cell holding a TAB, a line break or
    // a double quote is quoted as spreadsheets quote it.
    std::string BlockText(const SpreadBlock& block) const;
    // Writes clipboard text (ParseClipboardText) into the editable cells of
    // the block from its top-left cell on; a line shorter than the widest one
    // leaves the rest of its width empty. What lies outside the block or the
    // grid is dropped.
    void PasteText(const SpreadBlock& block, const std::string& text);
    // Empties the editable cells of the block.
    void ClearBlock(const SpreadBlock& block);
    // Moves the texts of the block's editable cells so that its top-left cell
    // lands on (destCol, destRow); the source cells become empty. Cells that
    // would land outside the grid are dropped.
    void MoveBlock(const SpreadBlock& block, int destCol, int destRow);

    // The header row's height in pixels that shows the headings of the shown
    // columns whole at their present widths and the grid's font.
    int HeadingsHeight() const;
    // Makes the header row `height` pixels tall, or taller where the
    // headings need it; it grows and shrinks back with its headings and
    // column widths from then on.
    void SetHeaderRowHeight(int height);

    // Suspends (false) and resumes (true) redrawing.
    void SetRedraw(bool redraw);

    // A key that moves the cursor past the last row (Down, Enter outside
    // editing, Tab at the last cell) adds a row when the last row holds
    // something, so that a long table can be typed on at its bottom: `grow`
    // is asked for the new row count and answers whether the grid has it now
    // (the owner keeps its stores in step, and refuses past its limit).
    // Without it, or in a grid that is not edited, the cursor stays there.
    // Tab and Shift+Tab never go round from one end of the grid to the other;
    // they pass over static cells, so that at a row's first cell that takes
    // typing Shift+Tab goes to the row above, and Tab from a row's last cell
    // to the next row's first one that takes typing. A key with Shift (which
    // extends the selection) never adds a row; Ctrl+Tab and Ctrl+Shift+Tab
    // take the focus to the next and the previous control.
    void SetRowGrower(std::function<bool(int rows)> grow);
    // Called by the owner while it handles LeaveCell: it refused the value
    // of the cell being left. A key that would add a row below that cell
    // holds the cursor there instead, as a refused value holds it anywhere.
    void RefuseLeave() { leaveRefused_ = true; }
    // The focus goes to the next (or previous) control, the value in an open
    // editor taken as the focus leaving takes it (Ctrl+Tab, Ctrl+Shift+Tab).
    void FocusNextControl(bool next);

    // Where cell (col, row) is, in the grid's own coordinates (a refusal's
    // note stands under it).
    QRect CellRect(int col, int row) const;

    // Sizes in twips; column 0 is the row-header column, row 0 the header row;
    // a column or row beyond the grid has the default size.
    double TwipsPerPixelX() const;
    double TwipsPerPixelY() const;
    int ColWidthTwips(int col) const;
    int RowHeightTwips(int row) const;
    int ScrollBarWidthTwips() const;
    int ScrollBarHeightTwips() const;
    int BorderWidthTwips() const;
    int BorderHeightTwips() const;

  signals:
    // The cursor leaves cell (col, row) for (newCol, newRow); newCol and
    // newRow are -1 when it goes to no other cell: the focus leaves the grid,
    // or Return ends an edit, which takes the value as leaving would. The
    // owner hands this to its binding (clsSpreadIn::EventLeaveCell).
    void LeaveCell(int col, int row, int newCol, int newRow);
    // Delete or BackSpace was pressed on the selected cells outside editing;
    // the owner clears them as its Clear command does.
    void ClearKeyPressed();

  protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    struct Column {
        SpreadCellType type = SpreadCellType::Edit;
        int maxLength = 0;
        Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    };

    void CheckCell(int col, int row) const;
    int HeaderRowHeight() const;
    void RefitHeaderRow();
    SpreadBlock Resolved(const SpreadBlock& block) const;
    QTableWidgetItem* Cell(int col, int row);
    void ApplyColumn(int col, int row);
    void OnFocusChanged(QWidget* old, QWidget* now);
    bool Owns(const QWidget* widget) const;
    // Whether the last row shows a text, or its open editor holds one.
    bool LastRowHoldsData() const;
    // Adds a row below the last one when the last row holds data and the
    // owner agrees; true when it was added.
    bool GrowByOneRow();
    // The first column that is shown and takes typing; 0-based, 0 when none.
    int FirstEditableColumn() const;
    // The cell that Tab (forward) or Shift+Tab goes to from `from`: the next
    // shown cell that takes typing in reading order; invalid at an end.
    QModelIndex TabStep(const QModelIndex& from, bool forward) const;

    std::vector<Column> columns_;  // index 0 unused: data columns are 1-based
    std::map<int, std::function<void(QLineEdit&)>> editorSetups_;
    std::function<bool(int)> rowGrower_;
    QString corner_;
    int headerRowHeight_ = -1;  // the owner's height for the header row; -1: none
    bool inLeaveCell_ = false;
    // The owner held the cursor in its cell against a mouse press; until the
    // button is released the press neither selects nor drags.
    bool heldByPress_ = false;
    // The owner held the cursor in its cell against a key press.
    bool heldByKey_ = false;
    // The owner refused the value of the cell being left (RefuseLeave).
    bool leaveRefused_ = false;
};
