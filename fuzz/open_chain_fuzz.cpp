// The chain a user sets off by opening a file: read the bytes as a project
// file, calculate, write the results file, draw the five screen figures and
// both printed pages on A4. Whatever the bytes, nothing may crash, and the
// work of every page stays bounded by the page (libFuzzer's -rss_limit_mb and
// -timeout catch what grows without bound).
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/calc_driver.h"
#include "core/document.h"
#include "core/project_file.h"
#include "core/quorlith_binding.h"
#include "core/result_csv.h"
#include "core/settings.h"
#include "sheets/sheet_composition.h"
#include "sheets/sheet_context.h"

namespace {

// A4 at 600 dpi with 4 mm that the printer cannot reach on every side.
class A4Printer : public PrinterGeometry {
  public:
    double PixelPerMM() const override { return 600 / 25.4; }
    std::int32_t Width() const override { return 4772; }
    std::int32_t Height() const override { return 6827; }
    std::int32_t PrinterOffsetTop() const override { return 94; }
    std::int32_t PrinterOffsetBottom() const override { return 95; }
    std::int32_t PrinterOffsetLeft() const override { return 94; }
    std::int32_t PrinterOffsetRight() const override { return 95; }
};

class QuietLabel : public CalcMessageSink {
  public:
    void SetCalcMessage(const std::string&) override {}
};

// The judgement library built beside this program.
QuorlithLibrary& Library() {
    static QuorlithLibrary library = [] {
        char self[4096] = {};
        ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
        std::string folder(self, n > 0 ? static_cast<std::size_t>(n) : 0);
        folder = folder.substr(0, folder.find_last_of('/') + 1);
        return QuorlithLibrary(folder + QuorlithLibrary::kFileName);
    }();
    return library;
}

// A recording of this size is no page; 1 MB holds many times a dense one.
constexpr std::size_t kMaxPageBytes = 1u << 20;

void CheckBounded(const clsStrMeta& canvas) {
    if (canvas.PageBits().size() > kMaxPageBytes)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Document doc;
    NewDocument(doc);
    if (ParseProjectFile(bytes, doc) != kProjectFileOk)
        return 0;

    QuietLabel label;
    CalcLiquefaction(doc, label, Library());
    std::string csv = ResultCsvBytes(doc, Date{2024, 5, 13});
    if (csv.empty())
        std::abort();  // the results file always has its head lines

    SheetCanvases canvases;
    DrawViews(canvases, doc, 0);
    for (std::size_t i = 1; i <= 5; ++i)
        CheckBounded(canvases.viewMeta[i]);

    Settings settings;
    A4Printer a4;
    SheetInputs in(doc, settings, &a4);
    in.clock = [] { return LocalDateTime{Date{2024, 5, 13}, 10, 20, 30}; };
    PrintItemFlags items = doc.prevPrintItems;
    for (int& item : items)
        item = item != 0 ? 1 : 0;
    if (DrawLogSheetPage(canvases, in, items) != PageStatus::kComposed ||
        DrawResultSheetPage(canvases, in) != PageStatus::kComposed)
        std::abort();  // an A4 page with the default margins is always composed
    CheckBounded(canvases.pageMeta[1]);
    CheckBounded(canvases.pageMeta[2]);
    return 0;
}
