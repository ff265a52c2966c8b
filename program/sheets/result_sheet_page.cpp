#include "sheets/header_footer.h"
#include "sheets/result_sheet.h"
#include "sheets/sheet_composition.h"

PageStatus DrawResultSheetPage(SheetCanvases& canvases, const SheetInputs& in) {
    clsStrMeta& page = canvases.pageMeta[2];
    PageStatus status = StartPrintedPage(page, in);
    if (status != PageStatus::kComposed)
        return status;
    ResultSheetLayout layout = DrawResultSheetFrame(page, in.doc);
    DrawResultTable(page, in.doc, layout);
    DrawHeaderFooter(page, in, 1);
    page.PicEnd();
    return PageStatus::kComposed;
}
