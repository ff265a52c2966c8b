#pragma once

#include <cstdint>

#include "canvas/clsStrMeta.h"
#include "core/document.h"
#include "sheets/sheet_context.h"

// The fixed part of the boring-log sheet: outer frame, column rules, column
// heads, the N-value and FL axis and, on the printed page, the header block
// with the project data and the heads of the soil-constant columns.

// Lays out the sheet's columns and rows on a canvas of maxRow rows: the
// screen sheet (withTable false) has 9 columns, the printed one (withTable
// true) 9 plus the soil-constant columns of the effective item choice.
void LayOutLogSheet(std::int32_t maxRow, const PrintItemFlags& effectiveItems, bool withTable,
                    SheetLayout& layout);

// Lays out the sheet for the canvas (colX and rowY of layout) and draws its
// frame. withTable is 1 on the printed page 1, 0 on screen and in the saved
// figure. Leaves a thin solid black pen (width 10).
void DrawLogSheetFrame(clsStrMeta& canvas, SheetLayout& layout, const Document& doc,
                       const PrintItemFlags& items, int withTable);

// The N-axis maximum the sheet draws with: the document's, held to 10..100.
int NAxisMax(const Document& doc);
