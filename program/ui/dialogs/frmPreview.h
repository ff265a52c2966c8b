#pragma once

#include <QDialog>
#include <QSize>

#include <array>
#include <functional>
#include <optional>

#include "core/document.h"
#include "core/program_info.h"
#include "core/settings.h"
#include "sheets/sheet_context.h"

class QPushButton;
class QScrollBar;
class QWidget;
class clsPrinter;
class PlatformServices;

// The print preview: builds both printed pages when it is made, shows one of
// them inside the printable area of the chosen printer, zooms in twice (x2, x4)
// with scrolling, and offers printing, the printer setup (after which both
// pages are built again) and the margins dialog. The caller makes it with the
// print items, shows it with exec() and deletes it afterwards.
//
// Scroll values are printer device pixels: the vertical bar runs over the
// printable height, the horizontal one over the printable width.
// Where a page is replayed in the page box: the corners (x1, y1)-(x2, y2) in
// the page box's pixels.
struct PreviewPlayRect {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    bool operator==(const PreviewPlayRect&) const = default;
};

class frmPreview : public QDialog {
    Q_OBJECT

  public:
    // The program's printer, made at its first use.
    using PrinterAccess = std::function<clsPrinter&()>;

    frmPreview(Document& doc, Settings& settings, SheetCanvases& canvases,
               const ProgramInfo& program, PrinterAccess printer, PlatformServices& services,
               const PrintItemFlags& printItems, QWidget* parent = nullptr);
    ~frmPreview() override;

    // The soil-constant columns that page 1 prints; a new choice is used the
    // next time the pages are built.
    const PrintItemFlags& PrintItems() const { return printItems_; }
    void SetPrintItems(const PrintItemFlags& items) { printItems_ = items; }

    // 0 page 1 (boring log), 1 page 2 (results).
    int CurrentPage() const { return currentPage_; }
    double Zoom() const { return zoom_; }
    // The page box at zoom 1, in screen pixels.
    int BaseWidth() const { return baseWidth_; }
    int BaseHeight() const { return baseHeight_; }
    // The page box inside the viewport (left, top, width, height).
    double PageBoxLeft() const { return boxLeft_; }
    double PageBoxTop() const { return boxTop_; }
    double PageBoxWidth() const { return boxWidth_; }
    double PageBoxHeight() const { return boxHeight_; }
    bool ClippedHorizontally() const;
    bool ClippedVertically() const;
    // Where the shown page is replayed inside the page box; none without a
    // printer.
    std::optional<PreviewPlayRect> PlayRect() const;

    // The size the window opens at on a screen whose free area is `available`.
    static QSize OpeningSize(const QSize& available);

    // The window's resize steps (zoom 1, the page box fitted into the
    // viewport); also run by every resize of the window.
    void Form_Resize();

    // Shows the margins dialog modally and returns its result; tests replace
    // it to answer the dialog without a nested event loop.
    std::function<int(QDialog&)> RunModal;
    // Lays the scroll bars out along the viewport's edges, sets their ranges
    // and steps and repaints; run whenever the viewport or the page box
    // changes size.
    void LayoutBars();

    QPushButton* cmdPrintDlg = nullptr;
    QPushButton* cmdSetupPRT = nullptr;
    QPushButton* cmdYohaku = nullptr;
    QPushButton* cmdScaleup = nullptr;
    QPushButton* cmdScaledown = nullptr;
    QPushButton* cmdPreviouspage = nullptr;
    QPushButton* cmdNextpage = nullptr;
    QPushButton* cmdClose = nullptr;
    // 0 the viewport, 1 the page box inside it.
    std::array<QWidget*, 2> picPreview{};
    QScrollBar* VScrollPreView = nullptr;
    QScrollBar* HScrollPreView = nullptr;

  public slots:
    void cmdPrintDlg_Click();
    void cmdSetupPRT_Click();
    void cmdYohaku_Click();
    void cmdScaleup_Click();
    void cmdScaledown_Click();
    void cmdPreviouspage_Click();
    void cmdNextpage_Click();
    void cmdClose_Click();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    class PageBox;

    void RecordPages();
    void PaintPageBox(QWidget& box);
    void PlacePageBox();
    void Paint();
    int BarExtent() const;
    int ViewportWidth() const;
    int ViewportHeight() const;

    Document& doc_;
    Settings& settings_;
    SheetCanvases& canvases_;
    ProgramInfo program_;
    PrinterAccess printer_;
    PlatformServices& services_;
    PrintItemFlags printItems_;

    QSize loadFormSize_;
    QSize loadViewportSize_;
    int currentPage_ = 0;
    double zoom_ = 1;
    int baseWidth_ = 0;
    int baseHeight_ = 0;
    double boxLeft_ = 0;
    double boxTop_ = 0;
    double boxWidth_ = 0;
    double boxHeight_ = 0;
};
