#include "output/print_job.h"

#include <gtest/gtest.h>

#include <QPrinter>

#include <sys/resource.h>

#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "output/fake_printer.h"
#include "output/qt_print_system.h"
#include "support/qt_application.h"
#include "support/recording_sinks.h"

namespace {

constexpr const char* kPrintFailed = "印刷中にエラーが発生しました。印刷を中止します";

bool IsDark(QRgb c) {
    return qRed(c) < 100 && qGreen(c) < 100 && qBlue(c) < 100;
}

QRect InkOf(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (IsDark(image.pixel(x, y)))
                box = box.united(QRect(x, y, 1, 1));
    return box;
}

// Pages by page number (index 0 unused): page 1 a black square, page 2 a
// black square with a white hole, so the two tell apart.
std::vector<clsStrMeta> SquarePages() {
    std::vector<clsStrMeta> pages(3);
    for (int page = 1; page <= 2; ++page) {
        clsStrMeta& meta = pages[page];
        meta.PicStart(20000, 20000, 100, 100, 10, 10, 1.0);
        meta.PicPen(5, 0, 0);
        const double x[] = {0, 100, 100, 0};
        const double y[] = {0, 0, 100, 100};
        meta.PicPolyPaint(4, x, y);
        if (page == 2) {
            meta.PicBrush(0xFFFFFF);
            meta.PicArcPaint(50, 50, 20, 0);
        }
        meta.PicEnd();
    }
    return pages;
}

TEST(MarginToPixels, ConvertsLessTheUnprintableOffset) {
    struct Case {
        double margin, pixelPerMM;
        std::int32_t offset, pixels;
    } cases[] = {
        {20, 600 / 25.4, 100, 372},  // 472 - 100 on a 600-dpi printer
        {20, 600 / 25.4, 0, 472},
        {3, 600 / 25.4, 100, 0},  // margin inside the unprintable area
        {4, 600 / 25.4, 94, 0},   // 94.49 rounds to 94: exactly none left
        {3, 2.5, 0, 8},           // 7.5 goes to the even 8
        {1, 2.5, 0, 2},           // 2.5 goes to the even 2
        {0, 10, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MarginToPixels(c.margin, c.pixelPerMM, c.offset), c.pixels) << c.margin;
}

class PrintJobTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureQtApplication();
        system.answer.emplace();  // OK with all pages
    }
    FakePrintSystem system;
    RecordingMessageSink sink;
    std::vector<clsStrMeta> pages = SquarePages();
    // top, bottom, left, right in millimetres; the fake has 10 pixels a millimetre
    // and unprintable offsets top 20, bottom 40, left 30, right 10.
    std::array<std::int32_t, 4> margins = {5, 2, 10, 3};
};

TEST_F(PrintJobTest, PagesSitInsideTheMarginsLessTheOffsets) {
    clsPrinter printer(system, sink);
    ASSERT_TRUE(PrintPages(printer, pages, margins, sink));
    EXPECT_TRUE(sink.messages.empty());
    FakeDevice& device = *system.lastDevice;
    EXPECT_EQ(device.docName, "Vekt／Quilmorn2008");
    ASSERT_EQ(device.pages.size(), 2u);
    // left 100 - 30, top 50 - 20, right 30 - 10, bottom 20 - 40 → 0: the
    // rectangle (70, 30)-(1070, 1030), square like the page.
    EXPECT_EQ(InkOf(device.pages[0]), QRect(QPoint(70, 30), QPoint(1069, 1029)));
    EXPECT_TRUE(IsDark(device.pages[0].pixel(570, 530)));
    EXPECT_FALSE(IsDark(device.pages[1].pixel(570, 530)));  // page 2's hole
    EXPECT_EQ(device.calls, (std::vector<std::string>{"StartDoc", "StartPage", "EndPage",
                                                      "StartPage", "EndPage", "EndDoc"}));
    ASSERT_EQ(system.requests.size(), 1u);
    EXPECT_EQ(system.requests[0].flags, 0x140104);
    EXPECT_EQ(system.requests[0].minPage, 1);
    EXPECT_EQ(system.requests[0].maxPage, 2);
}

TEST_F(PrintJobTest, PageRangePrintsOnlyPagesThatExist) {
    struct Case {
        std::int32_t from, to;
        std::size_t printed;
        bool firstHasHole;
    } cases[] = {{2, 2, 1, true}, {1, 1, 1, false}, {1, 9, 2, false}, {0, 0, 1, false}};
    for (const Case& c : cases) {
        system.answer->flags = PD_PAGENUMS;
        system.answer->fromPage = c.from;
        system.answer->toPage = c.to;
        clsPrinter printer(system, sink);
        ASSERT_TRUE(PrintPages(printer, pages, margins, sink));
        const auto& printed = system.lastDevice->pages;
        ASSERT_EQ(printed.size(), c.printed) << c.from << "-" << c.to;
        EXPECT_EQ(!IsDark(printed[0].pixel(570, 530)), c.firstHasHole) << c.from << "-" << c.to;
    }
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(PrintJobTest, APageThatWasNotComposedIsRefusedNotPrintedBlank) {
    struct Case {
        const char* what;
        bool firstRecorded, secondRecorded;
        std::int32_t from, to;  // 0, 0: all pages
        bool refused;
    } cases[] = {
        {"second page missing", true, false, 0, 0, true},
        {"first page missing", false, true, 0, 0, true},
        {"missing page outside the range", true, false, 1, 1, false},
        {"missing page inside the range", true, false, 2, 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sink.messages.clear();
        std::vector<clsStrMeta> recorded = pages;
        if (!c.firstRecorded)
            recorded[1].PicDelete();
        if (!c.secondRecorded)
            recorded[2].PicDelete();
        system.answer->flags = c.from != 0 ? PD_PAGENUMS : 0;
        system.answer->fromPage = c.from;
        system.answer->toPage = c.to;
        clsPrinter printer(system, sink);
        EXPECT_EQ(PrintPages(printer, recorded, margins, sink), !c.refused);
        FakeDevice& device = *system.lastDevice;
        if (c.refused) {
            EXPECT_TRUE(device.calls.empty());  // no document was started
            ASSERT_EQ(sink.messages.size(), 1u);
            EXPECT_EQ(sink.messages[0].text,
                      "印刷するページを作成できませんでした。余白の設定を確認してください。");
        } else {
            EXPECT_EQ(device.pages.size(), 1u);
            EXPECT_TRUE(sink.messages.empty());
        }
    }
    // A page beyond the canvases is refused too.
    sink.messages.clear();
    std::vector<clsStrMeta> onlyFirst(2);
    onlyFirst[1] = pages[1];
    clsPrinter printer(system, sink);
    EXPECT_FALSE(PrintPages(printer, onlyFirst, margins, sink));
    EXPECT_EQ(sink.messages.size(), 1u);
}

// A smaller paper chosen in the dialog: pages composed before it would land
// outside its printable area (a white sheet), so they are composed after it
// for that paper, or refused when the margins leave that paper no room.
TEST_F(PrintJobTest, PagesAreComposedForThePaperTheDialogChose) {
    clsPrinter printer(system, sink);
    // The dialog chooses a paper about A6: 105 x 148 mm at 10 pixels a mm.
    system.device.horzRes = 1010;
    system.device.vertRes = 1420;
    system.device.physWidth = 1050;
    system.device.physHeight = 1480;

    // 60 mm left and right fit the paper before the dialog, not this one.
    const std::array<std::int32_t, 4> wide = {10, 10, 60, 60};
    EXPECT_FALSE(PrintPages(printer, pages, wide, sink));
    EXPECT_TRUE(system.lastDevice->calls.empty());  // no document, no white sheet
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text,
              "印刷するページを作成できませんでした。余白の設定を確認してください。");

    // The composer runs once, after the dialog, on the chosen printer.
    sink.messages.clear();
    int composed = 0;
    std::size_t dialogsBefore = 0;
    std::vector<clsStrMeta> recorded(3);
    auto compose = [&] {
        ++composed;
        dialogsBefore = system.requests.size();
        for (int page = 1; page <= 2; ++page) {
            // A page filling the printable width less the margins (10 mm a side).
            double w = printer.Width() / printer.PixelPerMM() - 20;
            double h = printer.Height() / printer.PixelPerMM() - 20;
            clsStrMeta& meta = recorded[page];
            meta.PicStart(20000, 20000, w, h, 10, 10, 1.0);
            const double x[] = {0, w, w, 0};
            const double y[] = {0, 0, h, h};
            meta.PicPolyPaint(4, x, y);
            meta.PicEnd();
        }
    };
    const std::array<std::int32_t, 4> narrow = {10, 10, 10, 10};
    std::size_t dialogs = system.requests.size();
    ASSERT_TRUE(PrintPages(printer, recorded, narrow, sink, compose));
    EXPECT_EQ(composed, 1);
    EXPECT_EQ(dialogsBefore, dialogs + 1);
    EXPECT_TRUE(sink.messages.empty());
    ASSERT_EQ(system.lastDevice->pages.size(), 2u);
    // The page fills the small paper inside the margins less the offsets,
    // (70, 80) to (920, 1360), not a corner of it nor nothing.
    QRect ink = InkOf(system.lastDevice->pages[0]);
    EXPECT_EQ(ink.topLeft(), QPoint(70, 80));
    EXPECT_GT(ink.width(), 800);
    EXPECT_GT(ink.height(), 1200);

    // A composer that cannot fit the pages on the paper: refused, not printed.
    sink.messages.clear();
    auto fails = [&] {
        recorded[1].PicDelete();
        recorded[2].PicDelete();
    };
    EXPECT_FALSE(PrintPages(printer, recorded, wide, sink, fails));
    EXPECT_EQ(sink.messages.size(), 1u);

    // Cancelled: nothing is composed.
    composed = 0;
    system.answer.reset();
    EXPECT_FALSE(PrintPages(printer, recorded, narrow, sink, compose));
    EXPECT_EQ(composed, 0);
}

TEST_F(PrintJobTest, CancelPrintsNothingAndSaysNothing) {
    system.answer.reset();
    clsPrinter printer(system, sink);
    EXPECT_FALSE(PrintPages(printer, pages, margins, sink));
    EXPECT_TRUE(printer.hDC() != nullptr);
    EXPECT_TRUE(static_cast<FakeDevice*>(printer.hDC())->calls.empty());
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(PrintJobTest, FailureAbortsTheWholeDocumentAndSaysSo) {
    for (bool failDoc : {false, true}) {
        system.device.failStartPage = failDoc ? 0 : 2;
        system.device.failStartDoc = failDoc;
        sink.messages.clear();
        clsPrinter printer(system, sink);
        EXPECT_FALSE(PrintPages(printer, pages, margins, sink));
        FakeDevice& device = *system.lastDevice;
        EXPECT_TRUE(device.pages.empty());
        if (!failDoc) {
            EXPECT_EQ(device.calls, (std::vector<std::string>{"StartDoc", "StartPage", "EndPage",
                                                              "StartPage", "AbortDoc"}));
        }
        ASSERT_EQ(sink.messages.size(), 1u);
        EXPECT_EQ(sink.messages[0].text, kPrintFailed);
        EXPECT_EQ(sink.messages[0].icon, MessageIcon::None);
        EXPECT_EQ(sink.messages[0].buttons, MessageButtons::Ok);
        EXPECT_EQ(sink.messages[0].title, "Vekt／Quilmorn2008");
    }
}

// Qt's PDF output standing in for a printer, its dialog answered by the test.
struct PdfOnlySystem : QtPrintSystem {
    std::string file;
    int from = 0, to = 0;

    bool RunDialog(QPrinter& printer, const PrintDialogRequest&) override {
        printer.setOutputFileName(QString::fromStdString(file));
        if (from) {
            printer.setPrintRange(QPrinter::PageRange);
            printer.setFromTo(from, to);
        }
        return true;
    }
    std::vector<std::string> SystemPrinters() const override { return {}; }
    std::string SystemDefaultPrinter() const override { return {}; }
};

int PdfPageCount(const std::filesystem::path& pdf) {
    std::string command = "pdfinfo '" + pdf.string() + "' 2>/dev/null";
    if (FILE* pipe = popen(command.c_str(), "r")) {
        std::string out;
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        std::size_t at = out.find("Pages:");
        if (pclose(pipe) == 0 && at != std::string::npos)
            return std::atoi(out.c_str() + at + 6);
    }
    // Without poppler: count the page objects.
    std::ifstream in(pdf, std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    int pages = 0;
    for (std::size_t at = text.find("/Type /Page"); at != std::string::npos;
         at = text.find("/Type /Page", at + 1))
        pages += text.compare(at, 12, "/Type /Pages") != 0;
    return pages;
}

TEST_F(PrintJobTest, TwoPagesToAPdfFile) {
    std::filesystem::create_directories(QM_TEST_OUTPUT_DIR);
    auto pdf = std::filesystem::path(QM_TEST_OUTPUT_DIR) / "print_job_two_pages.pdf";
    std::filesystem::remove(pdf);
    PdfOnlySystem pdfSystem;
    pdfSystem.file = pdf.string();
    clsPrinter printer(pdfSystem, sink);
    EXPECT_EQ(printer.DeviceName(), "PDF");
    EXPECT_GT(printer.PixelPerMM(), 0);
    EXPECT_TRUE(printer.ExistPrinter());
    ASSERT_TRUE(PrintPages(printer, pages, margins, sink));
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(PdfPageCount(pdf), 2);

    auto one = std::filesystem::path(QM_TEST_OUTPUT_DIR) / "print_job_page_two.pdf";
    pdfSystem.file = one.string();
    pdfSystem.from = pdfSystem.to = 2;
    ASSERT_TRUE(PrintPages(printer, pages, margins, sink));
    EXPECT_EQ(PdfPageCount(one), 1);
}

// A file size limit makes every write past it fail, as on a full disk.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

  private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A PDF replaces the old file only when it was written whole; otherwise the
// old file stays, nothing half-written is left, and the failure is shown.
TEST_F(PrintJobTest, APdfThatCannotBeWrittenWholeKeepsTheOldFile) {
    namespace fs = std::filesystem;
    fs::path folder = fs::path(QM_TEST_OUTPUT_DIR) / "print_job_pdf_failures";
    fs::remove_all(folder);
    fs::create_directories(folder);
    struct Case {
        const char* name;
        rlim_t sizeLimit;  // 0: none
        fs::perms mode;
        bool printed;
    };
    const Case cases[] = {
        {"written whole", 0, fs::perms(0644), true},
        {"disk full", 1024, fs::perms(0644), false},
        {"read-only file", 0, fs::perms(0444), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::path pdf = folder / (std::string(c.name) + ".pdf");
        std::ofstream(pdf, std::ios::binary) << "the old PDF";
        fs::permissions(pdf, c.mode);
        PdfOnlySystem pdfSystem;
        pdfSystem.file = pdf.string();
        RecordingMessageSink messages;
        clsPrinter printer(pdfSystem, messages);
        bool printed = false;
        {
            std::optional<FileSizeLimit> limit;
            if (c.sizeLimit)
                limit.emplace(c.sizeLimit);
            printed = PrintPages(printer, pages, margins, messages);
        }
        EXPECT_EQ(printed, c.printed);
        if (c.printed) {
            EXPECT_TRUE(messages.messages.empty());
            EXPECT_EQ(PdfPageCount(pdf), 2);
            EXPECT_EQ(fs::status(pdf).permissions(), c.mode);
        } else {
            ASSERT_EQ(messages.messages.size(), 1u);
            EXPECT_EQ(messages.messages[0].text, kPrintFailed);
            EXPECT_EQ(FileText(pdf), "the old PDF");
        }
        fs::permissions(pdf, fs::perms(0644));
    }
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
        ++files;
    EXPECT_EQ(files, 3);  // no temporary file left behind
}

}  // namespace
