#include "sheets/log_sheet_panels.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/format.h"
#include "sheets/cell_text.h"
#include "sheets/log_sheet_frame.h"
#include "sheets/segment_clip.h"
#include "sheets/soil_patterns.h"

namespace {

void Line(clsStrMeta& canvas, double x1, double y1, double x2, double y2) {
    const double xs[] = {x1, x2};
    const double ys[] = {y1, y2};
    canvas.PicLineT(2, xs, ys);
}

// The rectangle of the sheet below its head band, in canvas columns and rows.
// Nothing of the data panels is drawn outside it, so that a page's work stays
// bounded by the page whatever depths and thicknesses the document holds.
struct ClipArea {
    double left, right, top, bottom;

    explicit ClipArea(const SheetLayout& layout)
        : left(layout.colX.front()),
          right(layout.colX.back()),
          top(layout.rowY[2]),
          bottom(layout.rowY[3]) {}

    bool HoldsRow(double y) const { return y >= top && y <= bottom; }
    bool Holds(double x, double y) const { return x >= left && x <= right && HoldsRow(y); }

    // Cuts the segment to the part inside; false when nothing of it is.
    bool Clip(double& x1, double& y1, double& x2, double& y2) const {
        return ClipSegment(x1, y1, x2, y2, left, top, right, bottom);
    }
};

// Depth range (whole metres) and tick step for the rows available.
struct DepthScale {
    int range = 0;
    int step = 1;
};

constexpr double kMaxDepthRange = 1000.0;

DepthScale FindDepthScale(double rows, const Document& doc) {
    double dN = 9.5;
    for (const NPoint& p : doc.nPoints)
        dN = std::max(dN, p.Depth);
    dN += 0.5;
    double dL = 0;
    for (const LayerRecord& l : doc.layers)
        if (l.Thickness > 0)
            dL += l.Thickness;
    // A crafted file can hold absurd depths; no boring reaches 1000 m, and the
    // cap keeps the tick count and the integer conversion sane.
    double deepest = std::min(std::max(dN, dL), kMaxDepthRange);
    int range = static_cast<int>(deepest + 0.999);
    double r = rows / range;
    int step = 1;
    if (r < 2)
        step = 2;
    if (2 * r < 2)
        step = 5;
    range = static_cast<int>(static_cast<double>(range) / step + 0.999) * step;
    return {range, step};
}

}  // namespace

VisibleLayer::VisibleLayer(const SheetLayout& layout, double top, double bottom)
    : bottomOnSheet(bottom <= layout.depthRange) {
    double shownBottom = std::min(bottom, static_cast<double>(layout.depthRange));
    yt = layout.DepthRow(top);
    yb = layout.DepthRow(shownBottom);
    ym = layout.DepthRow((top + shownBottom) / 2);
}

int LastDrawnLayer(const Document& doc) {
    for (int i = static_cast<int>(doc.layers.size()) - 1; i >= 0; --i)
        if (doc.layers[static_cast<std::size_t>(i)].Thickness > 0)
            return i;
    return -1;
}

int DrawDepthScale(clsStrMeta& canvas, SheetLayout& layout, const Document& doc) {
    double rows = layout.rowY[3] - layout.rowY[2];
    DepthScale scale = FindDepthScale(rows, doc);
    layout.rowsPerMetre = rows / scale.range;
    int changed = 0;
    if (scale.range != layout.depthRange) {
        layout.depthRange = scale.range;
        changed = -1;
    }

    double x1 = layout.X(1);
    for (int i = 1; i < scale.range / scale.step; ++i) {
        double y = layout.DepthRow(scale.step * i);
        Line(canvas, x1 - 1.2, y, x1, y);
        canvas.PicTextT(x1 - 4.5, y + 0.5, FormatFixed(scale.step * i, "##0"), kBlack);
    }

    double water = doc.basicData.DatumToWaterLevel;
    double yw = layout.DepthRow(water);
    // The mark lies on the sheet or is not drawn.
    if (water != 0 && yw >= layout.rowY[0] && yw <= layout.rowY[3]) {
        double x5 = layout.X(5);
        double x6 = layout.X(6);
        for (int i = 0; i < 3; ++i)
            Line(canvas, x5 + 0.8 * i, yw + 0.2 * i, x6 - 0.8 * i, yw + 0.2 * i);
        double xc = (x5 + x6) / 2;
        double rise = 0.6 * std::sin(std::numbers::pi / 3);
        const double xs[] = {xc, xc + 0.6, xc - 0.6};
        const double ys[] = {yw, yw - rise, yw - rise};
        canvas.PicPolyT(3, xs, ys);
    }
    return changed;
}

void DrawNValueGraph(clsStrMeta& canvas, const SheetLayout& layout, const Document& doc, int mono) {
    int nMax = NAxisMax(doc);
    double x6 = layout.X(6);
    double x7 = layout.X(7);
    double s = (layout.X(8) - x7) / (nMax + 5);
    std::int32_t lineColour = mono == 1 ? kBlack : kBlue;
    canvas.PicBrush(kBlack);
    canvas.PicPen(kPenSolid, 1, kBlack);

    const ClipArea area(layout);
    double prevDepth = -1;
    double prevX = 0;
    double prevY = 0;
    for (const NPoint& p : doc.nPoints) {
        double n = p.N;
        if (doc.nConvert30 == 1 && p.Penetration > 0)
            n = p.N / p.Penetration * 30;
        n = std::min(n, static_cast<double>(nMax));
        // A depth without an N value (stored 0; a typed zero is stored as a tiny
        // positive number) is no reading: no dot, no label, and the line breaks
        // there as at a blank row.
        if (p.Depth > 0 && p.N == 0) {
            prevDepth = -1;
            continue;
        }
        if (p.Depth > 0) {
            double x = x7 + s * n;
            double y = layout.DepthRow(p.Depth);
            bool shown = area.Holds(x, y);
            if (shown)
                canvas.PicArcPaintT(x, y, 0.4);
            double ax = prevX, ay = prevY, bx = x, by = y;
            if (prevDepth > 0 && area.Clip(ax, ay, bx, by)) {
                canvas.PicPen(kPenSolid, 1, lineColour);
                Line(canvas, ax, ay, bx, by);
                canvas.PicPen(kPenSolid, 1, kBlack);
            }
            if (shown && doc.nConvert30 != 0 && std::nearbyint(p.Penetration) != 30) {
                std::string label = FormatFixed(p.N, "##0 /") + FormatFixed(p.Penetration, "##0");
                DrawCellText(canvas, x6 + 0.3, x7 - 0.3, y + 0.5, label);
            } else if (shown) {
                canvas.PicTextT(x7 - 4.5, y + 0.5, FormatFixed(p.N, "##0"), kBlack);
            }
            prevX = x;
            prevY = y;
        }
        prevDepth = p.Depth;
    }
}

void DrawSoilColumn(clsStrMeta& canvas, const SheetLayout& layout, const Document& doc, int mono) {
    int last = LastDrawnLayer(doc);
    double x2 = layout.X(2);
    double x3 = layout.X(3);
    double x4 = layout.X(4);
    double x5 = layout.X(5);
    canvas.PicPen(kPenSolid, 1, kBlack);
    double top = 0;
    for (int i = 0; i <= last; ++i) {
        const LayerRecord& layer = doc.layers[static_cast<std::size_t>(i)];
        if (!(layer.Thickness > 0))
            continue;
        // Layers only grow downwards: once one starts at the foot, nothing
        // more is on the sheet.
        if (!(top < layout.depthRange))
            break;
        double bottom = i == last ? layout.depthRange : top + layer.Thickness;
        VisibleLayer shown(layout, top, bottom);
        if (i != last && shown.EndsOnSheet()) {
            Line(canvas, x2, shown.yb, x5, shown.yb);
            canvas.PicTextT(x2 - 6.5, shown.yb + 0.5, FormatFixed(bottom, "##0.00"), kBlack);
        }
        if (i != last)
            canvas.PicTextT(x3 - 6.5, shown.ym + 0.5, FormatFixed(layer.Thickness, "##0.00"),
                            kBlack);
        canvas.PicPen(kPenSolid, 1, kBlack);
        // Black-and-white marks that take the current brush come out as rings,
        // as they look on their colour fill.
        if (mono != 0)
            canvas.PicBrush(kWhite);
        DrawSoilSymbol(canvas, layer.SoilCode, canvas.ColX(x3), canvas.ColX(x4),
                       canvas.RowY(shown.yt), canvas.RowY(shown.yb), mono);
        DrawCellText(canvas, x4 + 0.3, x5 - 0.3, shown.ym + 0.5, layer.SoilName);
        top = bottom;
    }
}

void DrawFlGraph(clsStrMeta& canvas, const SheetLayout& layout, const Document& doc, int mono) {
    int nMax = NAxisMax(doc);
    double x7 = layout.X(7);
    double x8 = layout.X(8);
    double x9 = layout.X(9);
    double flMax = nMax / 20.0;
    double sF = (x8 - x7) / (flMax + 0.25);
    canvas.PicPen(kPenSolid, 10, mono == 1 ? kBlack : kRed);
    const ClipArea area(layout);
    std::size_t count = std::min(doc.calcPoints.size(), doc.calcResults.size());
    for (std::size_t i = 0; i < count; ++i) {
        const CalcPoint& point = doc.calcPoints[i];
        if (point.N == 0 || point.Depth < 0)
            continue;
        double fl = doc.calcResults[i].fl;
        double y = layout.DepthRow(point.Depth);
        if (!area.HoldsRow(y))
            continue;
        if (fl <= flMax) {
            canvas.PicBrush(mono == 1 ? kWhite : kRed);
            canvas.PicArcPaintT(x7 + fl * sF, y, 0.4);
        }
        DrawCellText(canvas, x8 + 0.5, x9 - 0.5, y + 0.5, FormatFixed(fl, "#0.#0"));
    }
    canvas.PicBrush(kBlack);
    canvas.PicPen(kPenSolid, 1, kBlack);
}
