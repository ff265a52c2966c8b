#pragma once

#include <QDialog>
#include <QString>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/document.h"
#include "core/settings.h"

class QAction;
class QCloseEvent;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QTableWidget;
class PlatformServices;
class SpreadGrid;
class clsSpreadIn;

// The soil-name definitions dialog: the main soil names and the modifiers,
// each table in a grid of its own (name, symbol code, unit weight, fines
// content). The caller makes it, calls SetDialogForm(), shows it with exec()
// and, when Tag() reads "Changed", refreshes the soil-name pick lists. A save
// rewrites both tables from the grids. The soil constants no column shows
// stay with their row through edits and grid commands; a new row has 0 there.
class frmSNDef : public QDialog {
    Q_OBJECT

  public:
    // Grid index: 0 the main soil names, 1 the modifiers.
    static constexpr int kMainGrid = 0;
    static constexpr int kSubGrid = 1;

    frmSNDef(Settings& settings, PlatformServices& services, QWidget* parent = nullptr);
    ~frmSNDef() override;

    // Sets up and fills both grids from the tables, clears the changed flag
    // and empties the tag.
    void SetDialogForm();
    // Writes both grids into the tables; 0 when they were written.
    int Save();

    const QString& Tag() const { return tag_; }
    bool IsChanged() const { return changed_; }
    // The binding of grid 0 or 1.
    clsSpreadIn& Binding(int grid) { return *bindings_.at(grid); }

    // The grid commands on the grid that has the focus, and the pop-up menu
    // over a grid (which first gives that grid the focus).
    void ShowEditMenu(int grid, const QPoint& globalPos);

    std::array<SpreadGrid*, 2> vaSpreadS{};
    std::array<QTableWidget*, 2> vaSpreadK{};
    std::array<QGroupBox*, 2> fraSoilName{};
    std::array<QGroupBox*, 2> fraKey{};
    std::array<QLabel*, 2> lblEstimate{};
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;

    QMenu* mnuEdit = nullptr;
    QAction* mnuEditCopy = nullptr;
    QAction* mnuEditPaste = nullptr;
    QAction* mnuEditCutRow = nullptr;
    QAction* mnuEditCopyRow = nullptr;
    QAction* mnuEditPasteRow = nullptr;
    QAction* mnuEditInsertRow = nullptr;
    QAction* mnuEditClearRow = nullptr;
    QAction* mnuEditDeleteRow = nullptr;
    QAction* mnuEditCopyUnder = nullptr;
    QAction* mnuEditDeleteUnderAll = nullptr;

  public slots:
    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // A grid row's flag and its table row, to tell what a command changed.
    struct Snapshot {
        int16_t flag = 0;
        LayerRecord row;
        bool operator==(const Snapshot&) const = default;
    };
    // The rows of the last row copy or cut of this dialog, with the clipboard
    // text it made; empty entries for rows without data.
    struct CopiedRows {
        std::string text;
        std::vector<std::optional<LayerRecord>> rows;
    };

    void FillGrid(int grid, const std::vector<LayerRecord>& table);
    // A grid row as a table row (all 14 constants), and back.
    LayerRecord RowOf(int grid, int row) const;
    void PutRow(int grid, int row, const LayerRecord& entry);
    std::vector<LayerRecord> TableOf(int grid) const;
    // The first row of the grid that holds a code, γ or FC but no name; 0
    // when there is none.
    int RowWithoutName(int grid) const;
    // Empties rows without data and makes names storable.
    void TidyRows(int grid);
    std::vector<Snapshot> SnapshotOf(int grid) const;
    void CarryCopiedConstants(int grid, int top, int span, const std::vector<Snapshot>& before);
    // False when the cell refused its value (bell).
    bool OnLeaveCell(int grid, int col, int row, int newCol, int newRow);
    // The grid that has the focus; -1 when neither has it.
    int FocusedGrid() const;
    // Before OK and the close box: the cell with the cursor in the focused
    // grid is checked as if it were left (an open editor's text first), since
    // neither moves the focus out of the grid. False when it was refused.
    bool CommitFocusedCell();
    void RunOnFocusedGrid(void (clsSpreadIn::*command)());

    Settings& settings_;
    PlatformServices& services_;
    std::array<std::unique_ptr<clsSpreadIn>, 2> bindings_;
    std::optional<CopiedRows> copiedRows_;
    bool changed_ = false;
    QString tag_;
};
