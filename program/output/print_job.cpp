#include "output/print_job.h"

#include <algorithm>
#include <cmath>

#include "output/metafile_player.h"

namespace {

constexpr const char* kDocumentName = "Vekt／Quilmorn2008";
constexpr const char* kPrintFailed = "印刷中にエラーが発生しました。印刷を中止します";
constexpr const char* kPageNotComposed =
    "印刷するページを作成できませんでした。余白の設定を確認してください。";
// PD_NOSELECTION, PD_RETURNDC, PD_USEDEVMODECOPIESANDCOLLATE, PD_HIDEPRINTTOFILE
constexpr std::int32_t kPrintDialogFlags = 0x140104;
constexpr std::int32_t kFirstPage = 1;
constexpr std::int32_t kLastPage = 2;

std::int32_t MarginSlot(std::span<const std::int32_t> printMargins, std::size_t slot) {
    return slot < printMargins.size() ? printMargins[slot] : 0;
}

struct PageRect {
    std::int32_t left, top, right, bottom;
};

// Where a page goes on the printer: inside the user's margins, less the
// printer's unprintable offsets.
PageRect TargetRect(const clsPrinter& printer, std::span<const std::int32_t> printMargins) {
    double p = printer.PixelPerMM();
    std::int32_t left = MarginToPixels(MarginSlot(printMargins, 2), p, printer.PrinterOffsetLeft());
    std::int32_t right =
        MarginToPixels(MarginSlot(printMargins, 3), p, printer.PrinterOffsetRight());
    std::int32_t top = MarginToPixels(MarginSlot(printMargins, 0), p, printer.PrinterOffsetTop());
    std::int32_t bottom =
        MarginToPixels(MarginSlot(printMargins, 1), p, printer.PrinterOffsetBottom());
    return {left, top, printer.Width() - right, printer.Height() - bottom};
}

// A page that could not be composed (margins leaving no room, say) has no
// recording, and margins wider than the paper leave a recorded page nowhere
// to go; printed, either would be a white sheet reported as a success.
bool PagesPrintable(const clsPrinter& printer, std::span<const clsStrMeta> pageMeta,
                    std::int32_t first, std::int32_t last,
                    std::span<const std::int32_t> printMargins) {
    for (std::int32_t page = first; page <= last; ++page)
        if (static_cast<std::size_t>(page) >= pageMeta.size() || !pageMeta[page].HasPage())
            return false;
    // Without a device the document cannot start, which reports itself.
    if (printer.hDC() == nullptr)
        return true;
    PageRect target = TargetRect(printer, printMargins);
    return target.right > target.left && target.bottom > target.top;
}

}  // namespace

bool IsOsVersion40() {
    return false;
}

std::int32_t MarginToPixels(double marginMM, double pixelPerMM, std::int32_t printerOffset) {
    double pixels = std::nearbyint(marginMM * pixelPerMM) - printerOffset;
    return pixels > 0 ? static_cast<std::int32_t>(pixels) : 0;
}

bool PrintPage(clsPrinter& printer, std::span<const clsStrMeta> pageMeta, std::int32_t page,
               std::span<const std::int32_t> printMargins) {
    if (printer.StartPage() < 1)
        return false;
    PageRect target = TargetRect(printer, printMargins);
    if (page >= 0 && static_cast<std::size_t>(page) < pageMeta.size()) {
        QPainter* painter = printer.hDC() ? printer.hDC()->Painter() : nullptr;
        if (painter)
            pageMeta[page].PicPlay(PainterTarget(*painter), target.left, target.top, target.right,
                                   target.bottom);
    }
    return printer.EndPage() > 0;
}

bool PrintPages(clsPrinter& printer, std::span<const clsStrMeta> pageMeta,
                std::span<const std::int32_t> printMargins, MessageSink& messages,
                const std::function<void()>& composePages) {
    printer.StartPageNo(kFirstPage);
    printer.EndPageNo(kLastPage);
    printer.DocName(kDocumentName);
    if (!printer.ShowPrintDlg(kPrintDialogFlags))
        return false;
    // The dialog may have chosen another printer or paper.
    if (composePages)
        composePages();

    // Only pages that exist are printed, whatever range the dialog gave.
    std::int32_t last = std::clamp(printer.ToPage(), kFirstPage, kLastPage);
    std::int32_t first = std::clamp(printer.FromPage(), kFirstPage, kLastPage);
    if (first > last)
        std::swap(first, last);
    if (!PagesPrintable(printer, pageMeta, first, last, printMargins)) {
        messages.ShowMessage(kPageNotComposed, MessageIcon::None);
        return false;
    }
    if (printer.StartDoc() > 0) {
        bool pagesDone = true;
        for (std::int32_t page = first; page <= last && pagesDone; ++page)
            pagesDone = PrintPage(printer, pageMeta, page, printMargins);
        if (pagesDone && printer.EndDoc() > 0)
            return true;
        // A document with a failed page never reaches the printer in part.
        if (!pagesDone)
            printer.AbortDoc();
    }
    messages.ShowMessage(kPrintFailed, MessageIcon::None);
    return false;
}
