#pragma once

#include "canvas/clsStrMeta.h"
#include "core/document.h"
#include "sheets/sheet_context.h"

// Fills the soil-constant columns of the printed boring log: per layer the
// values of the chosen constants between the layer's rules, and the fines
// contents of the N rows at their depths when they are entered there. Uses the
// same effective item choice as the frame's heads, and the layout and depth
// scale of the same canvas.
void DrawSoilConstTable(clsStrMeta& canvas, const SheetLayout& layout, const Document& doc,
                        const PrintItemFlags& items);
