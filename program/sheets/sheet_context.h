#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "canvas/clsStrMeta.h"
#include "canvas/printer_geometry.h"
#include "core/date.h"
#include "core/document.h"
#include "core/program_info.h"
#include "core/settings.h"

// The state the report sheets share: the canvases they draw on, the layout of
// the boring-log sheet and the inputs every sheet procedure reads.

// Where the boring-log sheet lies on one canvas, in canvas columns and rows.
// Every canvas that shows the sheet lays it out for itself (the frame fills
// colX and rowY, the depth scale depthRange and rowsPerMetre), so composing a
// printed page never changes how the next screen redraw looks.
struct SheetLayout {
    // Column boundaries 0..n: n = 9 on screen, 9 + the number of soil-constant
    // columns on the printed page. Column k lies between colX[k] and colX[k + 1]
    // (0 depth scale, 1 depths, 2 thicknesses, 3 soil symbol, 4 soil name,
    // 5 water level, 6 N values, 7 N-value graph, 8 FL values, 9.. constants).
    std::vector<double> colX;
    // Row boundaries: 0 top of the sheet, 1 foot of the title band over the
    // graph columns, 2 foot of the head band (depth 0), 3 bottom of the sheet.
    std::array<double, 4> rowY{};
    // Depth range of the sheet in whole metres, a multiple of the tick step;
    // 0 before the first depth scale, so that the first one reports a change.
    int depthRange = 0;
    // Canvas rows per metre of depth: depth d lies at row rowY[2] + d × rowsPerMetre.
    double rowsPerMetre = 0;

    double X(std::size_t k) const { return colX.at(k); }
    // The row of a depth in metres below the base point.
    double DepthRow(double depth) const { return rowY[2] + depth * rowsPerMetre; }
};

// The view codes of DrawViews (sheets/sheet_composition.h): what a redraw of
// the screen figure covers. Codes 1 to 5 are also the indexes of the screen
// canvases in SheetCanvases::viewMeta.
enum ViewCode : int {
    kViewWhole = 0,       // the whole figure
    kViewFrame = 1,       // the sheet frame
    kViewDepthScale = 2,  // only the depth scale
    kViewNValues = 3,     // the N-value graph
    kViewSoilColumn = 4,  // the soil column
    kViewFlMarks = 5,     // the FL marks
};

// The canvases of the sheets, held for the whole run by the main window.
struct SheetCanvases {
    // Screen canvases by view code (DrawViews): 1 sheet frame, 2 depth scale,
    // 3 N-value graph, 4 soil column, 5 FL marks; the figure pane replays them
    // on top of each other in this order. Index 0 is not used.
    std::array<clsStrMeta, 6> viewMeta;
    // Printed pages by page number: 1 boring log, 2 results sheet. Index 0 is
    // not used.
    std::array<clsStrMeta, 3> pageMeta;
    // The layout of the screen figure; its depth range is kept between redraws
    // so that DrawViews can tell when the depth-dependent panels must follow.
    SheetLayout screenLayout;
};

// A moment of the local clock, as the date and time codes print it.
struct LocalDateTime {
    Date date;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The program-wide values that header and footer codes print.
using ProgramValues = ProgramInfo;

// What the printed pages are composed from. The screen figures read only the
// document.
struct SheetInputs {
    SheetInputs(const Document& document, const Settings& userSettings,
                const PrinterGeometry* printerGeometry = nullptr)
        : doc(document), settings(userSettings), printer(printerGeometry) {}

    const Document& doc;
    const Settings& settings;
    // The printer's page geometry; null, or a resolution of 0, means there is
    // no printer device and no page can be composed.
    const PrinterGeometry* printer = nullptr;
    ProgramValues program;
    // The clock for the date and time codes; empty reads the local clock.
    std::function<LocalDateTime()> clock;
};

// Why a printed page could not be composed; the caller reports it.
enum class PageStatus {
    kComposed,
    kNoPrinter,        // no printer geometry, or a resolution of 0 pixels per mm
    kNoPrintableArea,  // the margins leave no printable area on the paper
};

// Page geometry handed to PicStart.
inline constexpr std::int32_t kMetaMaxSize = 20000;  // logical units each way
inline constexpr double kScreenViewWidth = 190.0;    // mm
inline constexpr double kScreenViewHeight = 267.0;   // mm
inline constexpr std::int32_t kScreenNeedCol = 100;
inline constexpr std::int32_t kScreenNeedRow = 60;
inline constexpr std::int32_t kPageNeedCol = 140;
inline constexpr std::int32_t kPageNeedRow = 70;
inline constexpr double kSheetRowSize = 1.2;  // a row is 1.2 nominal font heights

// Colours (Windows colour values 0x00BBGGRR).
inline constexpr std::int32_t kBlack = 0x000000;
inline constexpr std::int32_t kWhite = 0xFFFFFF;
inline constexpr std::int32_t kBlue = 0xFF0000;
inline constexpr std::int32_t kRed = 0x0000FF;

// Pen styles.
inline constexpr std::int32_t kPenSolid = 0;
inline constexpr std::int32_t kPenDot = 2;

// PicStart with the geometry of the screen figures and the saved figure
// (102 columns by 60 rows).
void StartScreenCanvas(clsStrMeta& canvas);

// The printable size of the paper in millimetres less the user's margins.
struct PrintedPageSize {
    double width = 0;
    double height = 0;
};
PageStatus PrintablePageSize(const PrinterGeometry* printer, const Settings& settings,
                             PrintedPageSize& size);

// PicStart with the printed geometry (at least 140 columns by 70 rows). Leaves
// the canvas untouched and gives the reason when no page can be formed.
PageStatus StartPrintedPage(clsStrMeta& canvas, const SheetInputs& in);
