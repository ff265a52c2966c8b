#pragma once

#include <string>

#include "core/document.h"
#include "sheets/sheet_context.h"

// Which pictures are drawn, on which canvas, with which page geometry and in
// which order.

// Redraws screen canvases for a view code (ViewCode). The depth scale is
// redrawn every time; when its depth range changes, the N-value graph, the
// soil column and the FL marks follow. The screen is always drawn in colour.
void DrawViews(SheetCanvases& canvases, const Document& doc, int view);

// Draws the boring-log figure as the screen shows it (frame, depth scale,
// N-value graph, soil column, FL marks; no header block, soil constants,
// header or footer) on a canvas of its own and saves it to path as a placeable
// metafile. False when the file could not be written.
bool SaveLogSheetMetafile(const Document& doc, const std::string& path);

// Composes printed page 1, the boring log with the chosen soil constants and
// the header and footer, into pageMeta[1]. Items chosen whose column is not in
// use are dropped. The page is left untouched when it cannot be composed.
PageStatus DrawLogSheetPage(SheetCanvases& canvases, const SheetInputs& in,
                            const PrintItemFlags& items);

// Composes printed page 2, the results sheet with the header and footer, into
// pageMeta[2]. The page is left untouched when it cannot be composed.
PageStatus DrawResultSheetPage(SheetCanvases& canvases, const SheetInputs& in);
