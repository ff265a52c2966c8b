#include "sheets/sheet_context.h"

#include <cmath>

void StartScreenCanvas(clsStrMeta& canvas) {
    canvas.PicStart(kMetaMaxSize, kMetaMaxSize, kScreenViewWidth, kScreenViewHeight, kScreenNeedCol,
                    kScreenNeedRow, kSheetRowSize);
}

PageStatus PrintablePageSize(const PrinterGeometry* printer, const Settings& settings,
                             PrintedPageSize& size) {
    if (printer == nullptr)
        return PageStatus::kNoPrinter;
    double perMM = printer->PixelPerMM();
    if (!(perMM > 0) || !std::isfinite(perMM))
        return PageStatus::kNoPrinter;
    const auto& m = settings.printMargins;  // top, bottom, left, right
    double width = printer->Width() / perMM - m[2] - m[3];
    double height = printer->Height() / perMM - m[0] - m[1];
    if (!(width > 0) || !(height > 0))
        return PageStatus::kNoPrintableArea;
    size = {width, height};
    return PageStatus::kComposed;
}

PageStatus StartPrintedPage(clsStrMeta& canvas, const SheetInputs& in) {
    PrintedPageSize size;
    PageStatus status = PrintablePageSize(in.printer, in.settings, size);
    if (status != PageStatus::kComposed)
        return status;
    canvas.PicStart(kMetaMaxSize, kMetaMaxSize, size.width, size.height, kPageNeedCol, kPageNeedRow,
                    kSheetRowSize);
    return PageStatus::kComposed;
}
