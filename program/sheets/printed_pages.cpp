#include "sheets/printed_pages.h"

#include "sheets/sheet_composition.h"

void RecordPrintedPages(SheetCanvases& canvases, const Document& doc, const Settings& settings,
                        const PrinterGeometry& printer, const ProgramInfo& program,
                        const PrintItemFlags& items) {
    SheetInputs in(doc, settings, &printer);
    in.program = program;
    if (DrawLogSheetPage(canvases, in, items) != PageStatus::kComposed)
        canvases.pageMeta[1].PicDelete();
    if (DrawResultSheetPage(canvases, in) != PageStatus::kComposed)
        canvases.pageMeta[2].PicDelete();
}
