#pragma once

#include "canvas/clsStrMeta.h"
#include "core/document.h"
#include "sheets/sheet_context.h"

// The data panels of the boring-log sheet, placed with the layout that the
// frame laid out on the same canvas. DrawDepthScale fixes the sheet's vertical
// scale and must run before the other panels. mono 1 draws without colour
// (the printed page with colour printing off), 0 in colour.

// Finds the depth range and scale (depthRange and rowsPerMetre of layout),
// draws the depth ticks and labels and the groundwater mark. -1 when the depth
// range differs from the one the layout held before, else 0.
int DrawDepthScale(clsStrMeta& canvas, SheetLayout& layout, const Document& doc);

// The N values as dots joined by a line, broken at blank rows, with the values
// written beside the graph.
void DrawNValueGraph(clsStrMeta& canvas, const SheetLayout& layout, const Document& doc, int mono);

// Layer boundaries, depths, thicknesses, soil symbols and soil names.
void DrawSoilColumn(clsStrMeta& canvas, const SheetLayout& layout, const Document& doc, int mono);

// The FL marks of the calculation points on the N axis, with the FL values.
void DrawFlGraph(clsStrMeta& canvas, const SheetLayout& layout, const Document& doc, int mono);

// The rows of a layer from `top` to `bottom` metres as far as the sheet shows
// it: a layer reaching past the foot of the depth axis is cut there, and its
// middle is the middle of the part shown.
struct VisibleLayer {
    VisibleLayer(const SheetLayout& layout, double top, double bottom);
    // True when the layer's bottom boundary lies on the sheet.
    bool EndsOnSheet() const { return bottomOnSheet; }

    double yt = 0;  // rows of the top, the bottom shown and the middle
    double yb = 0;
    double ym = 0;
    bool bottomOnSheet = true;
};

// The last layer with a thickness above 0, which reaches down to the foot of
// the sheet; -1 when there is none.
int LastDrawnLayer(const Document& doc);
