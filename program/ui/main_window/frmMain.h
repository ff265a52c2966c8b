#pragma once

#include <QIcon>
#include <QMainWindow>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "core/condition_box_rule.h"
#include "core/document.h"
#include "core/file_io.h"
#include "core/message_sink.h"
#include "core/program_info.h"
#include "core/quorlith_binding.h"
#include "core/settings.h"
#include "sheets/sheet_context.h"
#include "ui/main_window/twips_layout.h"
#include "ui/platform/platform_services.h"

class QAction;
class QCheckBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPainter;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QStatusBar;
class QTabBar;
class QToolBar;
class SpreadGrid;
class clsSpreadIn;
class clsPrinter;
class PrintSystem;

// The program's one main window: the figure tab with the boring-log figure,
// the calculation conditions and the result grid; the basic-data summary and
// the N-value grid at its right; below a movable splitter the soil grid with
// the soil-name assistant. It holds no data of its own: it shows and edits
// the one Document and Settings the program holds, and draws the figures on
// the program's SheetCanvases.
//
// The window measures in twips (1/1440 inch) like the layout rules it follows;
// `layout` keeps every control's twips geometry.
//
// Member names follow the window's controls and their event handlers:
// `txtMagu_LostFocus` is what runs when txtMagu loses the focus. Tests call
// the handlers directly.
class frmMain : public QMainWindow {
  public:
    // The objects the window works on; all must outlive it. `library` is
    // the judgement library the calculation calls.
    frmMain(Document& doc, Settings& settings, SheetCanvases& canvases, PlatformServices& services,
            QuorlithLibrary& library = ProgramQuorlithLibrary(), QWidget* parent = nullptr);
    ~frmMain() override;

    Document& doc;
    Settings& settings;
    SheetCanvases& canvases;
    PlatformServices& services;
    QuorlithLibrary& library;
    // The values header and footer codes print and the version dialog shows.
    ProgramInfo programInfo;

    // ----- Window state -----
    bool IsChanged = false;
    bool PlacingWindow = false;
    // What the project file held when it was opened or last saved: a Save
    // asks before it replaces a file whose bytes another program changed since.
    std::optional<FileContent> ProjectFileContent;
    // Navigation order of the condition page (MoveFocus); filled when its tab
    // is chosen. Index 0..6: txtMagu, txtKasokudo, txtCalcDepth, chkEkidata(0..3).
    std::array<QWidget*, 7> FocusOrder{};
    PrintItemFlags PrintSelection{};
    int LoadClientWidth = 0;
    int LoadClientHeight = 0;
    int LoadFigureTabWidth = 0;
    int LoadFigureTabHeight = 0;
    int LoadNTabLeft = 0;
    int LoadNTabHeight = 0;
    int LoadSoilTabWidth = 0;
    int LoadSoilTabHeight = 0;
    int SplitToSoilTabGap = 0;
    int LoadLowerPaneHeight = 0;
    int LowerPaneHeight = 0;
    // Text of the condition box that has the focus, as it was when it got it
    // or when its value was last taken.
    QString FocusText;
    bool NGridOutdated = false;
    bool SoilGridOutdated = false;

    TwipsLayout layout;

    // ----- Controls (object names as the member names) -----
    QMenu* mnuFile = nullptr;
    QAction* mnuFileNew = nullptr;
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileBar1 = nullptr;
    QAction* mnuFileSave = nullptr;
    QAction* mnuFileSaveAs = nullptr;
    QAction* mnuFileBar2 = nullptr;
    QAction* mnuFileExport = nullptr;
    QAction* mnuFileBar3 = nullptr;
    QAction* mnuFilePrint = nullptr;
    QAction* mnuFilePreView = nullptr;
    // 0 separator above the entries, 1..5 recent files, 6 separator below.
    std::array<QAction*, 7> mnuFileList{};
    QAction* mnuFileEnd = nullptr;

    QMenu* mnuEdit = nullptr;
    QAction* mnuEditUndo = nullptr;  // never shown
    QAction* mnuEditRedo = nullptr;  // never shown
    QAction* mnuEditBar1 = nullptr;  // never shown
    QAction* mnuEditCut = nullptr;   // never shown
    QAction* mnuEditCopy = nullptr;
    QAction* mnuEditPaste = nullptr;
    QAction* mnuEditClear = nullptr;
    QAction* mnuEditBar2 = nullptr;
    QAction* mnuEditCutRow = nullptr;
    QAction* mnuEditCopyRow = nullptr;
    QAction* mnuEditPasteRow = nullptr;
    QAction* mnuEditInsertRow = nullptr;
    QAction* mnuEditClearRow = nullptr;
    QAction* mnuEditDeleteRow = nullptr;
    QAction* mnuEditBar3 = nullptr;
    QAction* mnuEditCopyUnder = nullptr;
    QAction* mnuEditDeleteUnderAll = nullptr;

    QMenu* mnuOption = nullptr;
    QMenu* mnuHelp = nullptr;
    // The pop-up of the result grid, never in the menu bar.
    QMenu* mnuPopCopy = nullptr;
    QAction* mnuCopy1 = nullptr;

    QToolBar* Toolbar1 = nullptr;
    // The toolbar's images and buttons by key ("NEW", "OPEN", ...).
    std::map<QString, QIcon> ImageList1;
    std::map<QString, QAction*> Toolbar1Buttons;
    QStatusBar* StatusBar1 = nullptr;

    QTabBar* tabShow = nullptr;
    // 0 the figure pane, 1 the condition page, 2 the result page.
    std::array<QWidget*, 3> picShow{};
    QScrollBar* VScrollShow = nullptr;
    QGroupBox* frmTeigenShitei = nullptr;
    std::array<QRadioButton*, 2> optTigenShitei1{};
    QLineEdit* txtMagu = nullptr;
    QLabel* lblMagu = nullptr;
    QLineEdit* txtKasokudo = nullptr;
    QLabel* lblKasokudo = nullptr;
    QLineEdit* txtCalcDepth = nullptr;
    QLabel* lblCalcDepth = nullptr;
    QGroupBox* frmEkiCalc1 = nullptr;
    QGroupBox* frmEkiCalc2 = nullptr;
    std::array<QCheckBox*, 4> chkEkidata{};
    SpreadGrid* vaSpreadE = nullptr;
    QLabel* lblCalcComent = nullptr;

    QPlainTextEdit* txtKihon = nullptr;
    QPushButton* cmdKihonData = nullptr;
    QTabBar* tabNchi = nullptr;
    std::array<QWidget*, 2> picNchi{};
    SpreadGrid* vaSpreadN = nullptr;
    QLineEdit* txtNchi = nullptr;
    QLabel* lblNchi = nullptr;
    std::array<QCheckBox*, 2> chkNchi{};

    QWidget* picSplit = nullptr;
    QTabBar* tabSoData = nullptr;
    std::array<QWidget*, 2> picSoData{};
    SpreadGrid* vaSpreadS = nullptr;
    QGroupBox* frmSoilName = nullptr;
    // 0 the modifiers (upper), 1 the main soil names (lower).
    std::array<QListWidget*, 2> lstSoilDef{};
    std::array<QLabel*, 2> lblSoilDef{};
    QPushButton* cmdSoilNameCopy = nullptr;
    std::array<QCheckBox*, 15> chkSodata{};

    // ----- Frame, load and layout -----
    void Form_Load();
    // Start-up's last step: refreshes every view from the document.
    void FormLoad();
    // What both loads and the refresh after New and Open show: the caption,
    // the conditions, the results, the basic data, both input grids and the
    // whole figure, each from the document.
    void ShowDocument();
    void Form_Activate();
    void Form_Resize();
    // A drop of a dragged control at (x, y), twips in the inner area.
    void Form_DragDrop(QWidget* source, int x, int y);
    // Asks about unsaved changes; true when the window may close.
    bool Form_QueryUnload();
    void Form_Unload();
    // The desktop's session is ending (logging out, shutting down). Where the
    // desktop lets the program ask (`mayAsk`), unsaved edits are asked about
    // as closing asks. False when the session end must be cancelled: キャンセル,
    // a cancelled Save As, a failed write or a refused box. Once answered, the
    // close that ends the session does not ask again, unless the user has
    // gone on working (the session end was cancelled elsewhere).
    bool SessionEnding(bool mayAsk);
    void SetToolbar();
    void SetMruMenu();
    void SetEditMenu();
    void MoveFocus(QWidget* control, int step);
    void Toolbar1_ButtonClick(const QString& key);
    void mnuFileEnd_Click();
    // The caption for the current file name; SetCaption puts it on the window.
    QString Caption() const;
    void SetCaption();
    // The control that has the focus in this window (a grid for its cells and
    // editor), or null.
    QWidget* ActiveControl() const;
    // The inner area's size in twips.
    int InnerWidth() const;
    int InnerHeight() const;

    // ----- File and output commands -----
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    // index 1..5
    void mnuFileList_Click(int index);
    // Both true when the document was written; false after a refused
    // condition box, a cancelled dialog or a failed write.
    bool mnuFileSave_Click();
    bool mnuFileSaveAs_Click();
    void mnuFileExport_Click();
    void mnuFilePrint_Click();
    void mnuFilePreView_Click();
    // Open's steps after the dialog: read, record, refresh; true when read.
    bool OpenProjectPath(const std::string& path);
    // Writes the project file `name` in `folder`; only when that succeeded
    // does the document take the name and write its results file beside it.
    // A failure is reported; true when written.
    bool WriteProjectPath(const std::string& folder, const std::string& name);
    // The question before the document is closed, replaced or the window
    // shut: true when the caller may go on (no unsaved changes, いいえ, or a
    // save that succeeded); false on キャンセル, a cancelled Save As, a failed
    // write or a refused condition box.
    bool SaveChangesFirst();
    // The refresh after New, Open and a recent-file open.
    void DocumentRefresh();

    // ----- Grid editing commands -----
    void mnuEditUndo_Click();
    void mnuEditRedo_Click();
    void mnuEditCut_Click();
    void mnuEditCopy_Click();
    void mnuEditPaste_Click();
    void mnuEditClear_Click();
    void mnuEditCutRow_Click();
    void mnuEditCopyRow_Click();
    void mnuEditPasteRow_Click();
    void mnuEditInsertRow_Click();
    void mnuEditClearRow_Click();
    void mnuEditDeleteRow_Click();
    void mnuEditCopyUnder_Click();
    void mnuEditDeleteUnderAll_Click();
    void mnuCopy1_Click();
    // A mouse button pressed over a grid at `globalPos` (screen pixels).
    void vaSpreadN_MouseDown(Qt::MouseButton button, const QPoint& globalPos);
    void vaSpreadS_MouseDown(Qt::MouseButton button, const QPoint& globalPos);
    void vaSpreadE_MouseDown(Qt::MouseButton button, const QPoint& globalPos);

    // ----- Settings and help menus -----
    void mnuOptionPath_Click();
    void mnuOptionYohaku_Click();
    void mnuOptionSoName_Click();
    void mnuHelpAboutMe_Click();

    // ----- Grid/data binding and result grid -----
    // The bindings of the three grids, made at their first use.
    clsSpreadIn& SpreadInN();
    clsSpreadIn& SpreadInS();
    clsSpreadIn& SpreadInE();
    void SetSoilDefList();
    void SetKihonText();
    void SetSpreadN();
    void SetSpreadS();
    // Before a new or opened document is shown: both input grids drop the
    // rows they grew by and go back to their first cell.
    void ResetInputGrids();
    void SetDepthColumn();
    // row 0 = every row
    void PutNchiData(int32_t row);
    void GetNchiData(int32_t row);
    // The document holds an N-value row without a depth as the blank row.
    // Rows of the binding (row, or every row for 0) that have data but no
    // depth are brought in line with that: a row that holds values (or, with
    // `typedValue`, one whose just-typed cell is not blank) is refused with
    // the bell and shows the document's row again; an empty one loses its
    // flag. Returns whether a row was refused.
    bool SettleNRowsWithoutDepth(int32_t row, bool typedValue);
    void PutSoilData(int32_t row);
    void GetSoilData(int32_t row);
    void SetCalcCondition();
    void ShowResult();
    void SetSpreadE();

    // ----- Calculation-condition and option panels -----
    void txtMagu_Change();
    void txtMagu_GotFocus();
    void txtMagu_KeyDown(int key);
    void txtMagu_LostFocus();
    void txtKasokudo_Change();
    void txtKasokudo_GotFocus();
    void txtKasokudo_KeyDown(int key);
    void txtKasokudo_LostFocus();
    void txtCalcDepth_Change();
    void txtCalcDepth_GotFocus();
    void txtCalcDepth_KeyDown(int key);
    void txtCalcDepth_LostFocus();
    void txtNchi_Change();
    void txtNchi_GotFocus();
    // Checks the limit as the condition boxes are checked; true when taken.
    bool txtNchi_LostFocus();
    void txtKihon_GotFocus();
    void chkEkidata_Click(int index);
    void chkEkidata_GotFocus(int index);
    void chkEkidata_KeyDown(int index, int key);
    void optTigenShitei1_Click(int index);
    void chkNchi_Click(int index);
    void chkNchi_GotFocus(int index);
    void chkSodata_Click(int index);
    void chkSodata_GotFocus(int index);
    void tabNchi_Click();
    void tabNchi_GotFocus();
    void tabSoData_Click();
    void tabSoData_GotFocus();
    void cmdKihonData_Click();
    void cmdKihonData_GotFocus();
    void cmdSoilNameCopy_GotFocus();
    // The cursor leaves cell (col, row) for (newCol, newRow); -1, -1 when it
    // goes to no other cell. False when the cell refused its value (bell).
    bool vaSpreadN_LeaveCell(int col, int row, int newCol, int newRow);
    bool vaSpreadS_LeaveCell(int col, int row, int newCol, int newRow);

    // ----- Soil-name assistant -----
    void cmdSoilNameCopy_Click();

    // ----- Figure display -----
    // index 0 the figure pane; 1 and 2 are ignored.
    void picShow_Paint(int index);
    void picShow_Resize(int index);
    void VScrollShow_Change();
    void tabShow_Click();
    void tabShow_GotFocus();
    // Replays the five screen canvases onto the pane's painter.
    void PaintFigurePane(QPainter& painter);
    // The help topics of the figure tab's pages.
    static constexpr int kHelpFigureAndResults = 100;
    static constexpr int kHelpConditions = 20;
    // The help topic of the page shown.
    int HelpContextID = kHelpFigureAndResults;

    // ----- Shared steps -----
    // Checks the condition box (or the N-value limit) that has the focus as
    // if it were left, before a command that saves, prints, previews or
    // closes. False when the box refused its text: the refusal and its note
    // have been shown, the focus stays in the box and the command must not
    // run.
    bool CommitConditionBox();
    // The same for the cell with the cursor in the input grid that has the
    // focus: an open editor's text goes into the cell, which is then checked
    // as if it were left. False when the cell refused it: the bell has
    // sounded, the cursor stays in the cell and the command must not run.
    bool CommitGridCell();
    // Both of the above, for the control that has the focus.
    bool CommitFocusedInput();
    // CalcLiquefaction with the message label as its sink.
    void Recalculate();
    // DrawViews on the screen canvases; `view` is a ViewCode.
    void DrawViews(int view);
    // The refresh after an edit: recalculates, shows the results, redraws
    // the FL marks (which every calculation moves) and repaints the figure
    // pane. An edit that changed a panel of its own (the N-value graph, the
    // soil column) has the caller redraw that panel first.
    void RecalculateAndRedraw();
    // The program's printer, made at its first use.
    clsPrinter& Printer();
    // Replaces the printing system (before the first use of Printer()).
    void SetPrintSystem(std::unique_ptr<PrintSystem> system);
    // The message label as the calculation's sink.
    CalcMessageSink& CalcMessages();
    // Shows a modal dialog and returns its result; tests replace it to answer
    // dialogs without a nested event loop.
    std::function<int(QDialog&)> RunModal;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    class LabelSink;
    void BuildMenus();
    void BuildControls();
    void ConnectHandlers();
    // Places the condition page's rows and frames for the font in use.
    void ArrangeConditionPage();
    void FocusChanged(QWidget* old, QWidget* now);
    bool ConditionKey(QWidget* control, int key);
    // The control a focus widget belongs to (a grid for its cell editor).
    QWidget* ControlOf(QWidget* w) const;
    void ConditionBoxChange();
    void ConditionBoxGotFocus(QLineEdit* box);
    // The number of a condition box's text when it lies in the box's range;
    // otherwise the box shows its text from before and the refusal and its
    // note are shown.
    std::optional<double> ConditionBoxNumber(ConditionBox which);
    // Checks the text of a condition box as leaving it does; true when the
    // value was taken.
    bool ConditionBoxLostFocus(ConditionBox which);
    // Stores the check box's value in its switch (chkEkidata(index)).
    void StoreConditionSwitch(int index);

    std::unique_ptr<LabelSink> labelSink_;
    std::unique_ptr<clsSpreadIn> spreadInN_;
    std::unique_ptr<clsSpreadIn> spreadInS_;
    std::unique_ptr<clsSpreadIn> spreadInE_;
    std::unique_ptr<PrintSystem> printSystem_;
    std::unique_ptr<clsPrinter> printer_;
    bool unloaded_ = false;
    // The save question was answered for an ending session; the user's next
    // key or mouse press anywhere in the program clears it.
    bool sessionAnswered_ = false;
    std::unique_ptr<QObject> sessionInputWatch_;
    bool loading_ = false;
    // Set while SetCalcCondition puts a document's switches into the boxes:
    // their clicks store the values, and the caller refreshes once.
    bool settingConditions_ = false;
    QPointer<QWidget> lastFocusControl_;
    // The condition page's controls lie on this content of its scroll area.
    QWidget* conditionContent_ = nullptr;
};
