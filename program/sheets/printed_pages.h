#pragma once

#include "canvas/printer_geometry.h"
#include "core/document.h"
#include "core/program_info.h"
#include "core/settings.h"
#include "sheets/sheet_context.h"

// Records both printed pages for Print and the preview: page 1 (the boring
// log with the chosen soil constants) and page 2 (the results) on the page
// canvases. A page that cannot be composed (no printer, or margins that leave
// no room) is emptied, so that it never shows or prints what an earlier
// document left on its canvas.
void RecordPrintedPages(SheetCanvases& canvases, const Document& doc, const Settings& settings,
                        const PrinterGeometry& printer, const ProgramInfo& program,
                        const PrintItemFlags& items);
