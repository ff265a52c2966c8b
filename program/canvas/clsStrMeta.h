#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "canvas/play_target.h"
#include "canvas/wmf_recorder.h"

// The page canvas: one page (a screen figure, a printed page or a saved figure)
// recorded as a Windows metafile in a fixed logical space, addressed either in
// view units (millimetres on the page) or in the cells of a text grid laid over
// the page. Logical units have their origin at the top-left corner, x to the
// right, y downwards; colours are Windows colour values (0x00BBGGRR). Every real
// that becomes a logical unit takes the nearest integer, a half going to the
// even neighbour.
//
// A canvas has no construction step: PicStart sets it up, PicEnd closes the
// page, which can then be replayed (PicPlay) or saved (SaveTheMetafile) any
// number of times until the next PicStart or PicDelete. Drawing operations
// outside PicStart..PicEnd record nothing.
class clsStrMeta {
  public:
    // Set by PicStart only.
    std::int32_t lMaxCol = 0;  // whole text columns on the page, at least those asked for
    std::int32_t lMaxRow = 0;  // whole text rows on the page, at least those asked for
    std::int32_t lXM = 0;      // page width in logical units
    std::int32_t lYM = 0;      // page height in logical units

    // The most points a polyline or polygon takes (the closed outlines add
    // their closing point to these).
    static constexpr std::int32_t kMaxPoints = 30;

    // Begins a new page of dViewSizeX × dViewSizeY view units fitted into at
    // most lMetaMaxSizeX × lMetaMaxSizeY logical units, with a text grid of at
    // least lNeedCol × lNeedRow cells whose row is dRowSize nominal font heights
    // high. Discards the previous page. Selects a solid black pen of width 1, a
    // solid black brush and the font "ＭＳ ゴシック" one cell wide and two cell
    // widths high; the text colour is black and the background mode opaque.
    void PicStart(std::int32_t lMetaMaxSizeX, std::int32_t lMetaMaxSizeY, double dViewSizeX,
                  double dViewSizeY, std::int32_t lNeedCol, std::int32_t lNeedRow, double dRowSize);
    // dCol columns, dRow rows in view units (also after PicEnd).
    double ColX(double dCol) const;
    double RowY(double dRow) const;
    // The page's width and height in view units.
    double ViewWidth() const { return scale_ > 0 ? lXM / scale_ : 0; }
    double ViewHeight() const { return scale_ > 0 ? lYM / scale_ : 0; }
    // Closes the recording; the recording becomes the page.
    void PicEnd();
    // Discards the page.
    void PicDelete();

    // A pen of the Windows pen style lStyle (0 solid, 1 dash, 2 dot, 3 dash-dot,
    // 4 dash-dot-dot, 5 none), lWidth logical units wide, colour lColor.
    void PicPen(std::int32_t lStyle, std::int32_t lWidth, std::int32_t lColor);
    // A solid brush of colour lColor.
    void PicBrush(std::int32_t lColor);
    // A font relative to the cell: face sFName (UTF-8; empty keeps the current
    // face), width nearest(cell width × dFRasioX), height nearest(2 × cell width
    // × dFRasioY), angle dFAngle degrees counter-clockwise. Makes no new font
    // when all four equal the current ones.
    void PicFont(const std::string& sFName, double dFRasioX, double dFRasioY, double dFAngle);

    // Point lists: the first lN elements of dX and dY (index 0 is the first
    // point), lN at most kMaxPoints. lN of 0 or less draws nothing. More than
    // kMaxPoints points, or arrays shorter than lN, throw std::out_of_range
    // before anything is recorded.
    // Open polyline in view units (PicLine) or cell units (PicLineT: x in
    // columns, y in rows).
    void PicLine(std::int32_t lN, std::span<const double> dX, std::span<const double> dY);
    void PicLineT(std::int32_t lN, std::span<const double> dX, std::span<const double> dY);
    // Closed outline (the points and the first point again), not filled.
    void PicPoly(std::int32_t lN, std::span<const double> dX, std::span<const double> dY);
    void PicPolyT(std::int32_t lN, std::span<const double> dX, std::span<const double> dY);
    // Polygon filled with the current brush (alternate filling), outlined with
    // the current pen.
    void PicPolyPaint(std::int32_t lN, std::span<const double> dX, std::span<const double> dY);
    void PicPolyPaintT(std::int32_t lN, std::span<const double> dX, std::span<const double> dY);

    // Circular arc, centre (dX, dY) and radius dR in view units, from the ray at
    // dSAngle to the ray at dEAngle (degrees; 0 points right, 90 down), drawn
    // counter-clockwise as seen on the page.
    void PicArc(double dX, double dY, double dR, double dSAngle, double dEAngle);
    // Elliptic arc with horizontal radius dRX and vertical radius dRY.
    void PicArcD(double dX, double dY, double dRX, double dRY, double dSAngle, double dEAngle);
    // Filled ellipse in view units, horizontal radius dR, vertical radius dR1;
    // dR1 = 0 gives a circle of radius dR.
    void PicArcPaint(double dX, double dY, double dR, double dR1);
    // Filled circle in cell units; the radius is counted in column widths.
    void PicArcPaintT(double dX, double dY, double dR);

    // Text (UTF-8, written in code page 932, one byte per column) whose top-left
    // corner lies at the view-unit point (dX1, dY1) moved by (dX2, dY2) cells,
    // in colour lFColor, on an opaque background box.
    void PicText(double dX1, double dY1, double dX2, double dY2, const std::string& strText,
                 std::int32_t lFColor);
    // Text at column dX of text row dY (row 1 is the top row), centred in the
    // row for the nominal font height.
    void PicTextT(double dX, double dY, const std::string& strText, std::int32_t lFColor);

    // Replays the page into the rectangle (lX1, lY1)-(lX2, lY2) of the target's
    // device pixels, as large as fits with the aspect kept, anchored at the
    // top-left corner. Does nothing when there is no page.
    void PicPlay(const PlayTarget& hDC, std::int32_t lX1, std::int32_t lY1, std::int32_t lX2,
                 std::int32_t lY2) const;

    // Writes the page to FileName as a placeable metafile whose header gives
    // the page's size in millimetres, with the page's records as other readers
    // need them (PortableRecords). False, with the file
    // untouched, when there is no page or the file cannot be written.
    [[nodiscard]] bool SaveTheMetafile(const std::string& FileName) const;

    // True when a finished page exists.
    bool HasPage() const { return page_.has_value(); }
    // The finished page as a standard metafile (META_HEADER and records);
    // empty when there is no page.
    std::span<const std::uint8_t> PageBits() const;

  private:
    double FitRatio(double w, double h) const;
    void MakeFont(WmfRecorder& recording, const std::string& face, std::int32_t width,
                  std::int32_t height, double angle);
    void SelectNew(std::uint16_t& current, std::uint16_t made);
    void RecordPoints(std::uint16_t function, std::int32_t lN, std::span<const double> dX,
                      std::span<const double> dY, double unitX, double unitY, bool close);
    void Text(std::int32_t x, std::int32_t y, const std::string& strText, std::int32_t lFColor);

    double scale_ = 0;
    std::optional<WmfRecorder> recording_;
    std::optional<std::vector<std::uint8_t>> page_;
    double cellWidth_ = 0;
    double cellHeight_ = 0;
    std::uint16_t font_ = 0;  // object slots of the current font, pen and brush
    std::uint16_t pen_ = 0;
    std::uint16_t brush_ = 0;
    std::string fontFace_;
    std::int32_t textColor_ = 0;
    std::int32_t fontWidth_ = 0;
    std::int32_t fontHeight_ = 0;
    double fontAngle_ = 0;
};
