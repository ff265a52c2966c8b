// Every golden boring (tests/data/golden/NAME.qmf) is read, calculated and
// drawn: test-output/NAME.screen.wmf is the saved figure, NAME.page1.wmf and
// NAME.page2.wmf the printed pages on A4 through the PDF printer with the
// default margins and the boring's own print items, and each of them is
// replayed at 150 dpi into a PNG beside it, for people to look at.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "canvas/wmf_format.h"
#include "core/calc_driver.h"
#include "core/file_io.h"
#include "core/program_info.h"
#include "core/project_file.h"
#include "output/clsPrinter.h"
#include "output/metafile_player.h"
#include "output/qt_print_system.h"
#include "sheets/sheet_composition.h"
#include "sheets/sheet_context.h"
#include "support/qt_application.h"
#include "support/recording_sinks.h"

namespace {

namespace fs = std::filesystem;

const fs::path kGoldenFolder = fs::path(QM_TEST_DATA_DIR) / "golden";
const fs::path kOutput = fs::path(QM_TEST_OUTPUT_DIR);
constexpr double kDpi = 150;

std::vector<std::string> GoldenBorings() {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(kGoldenFolder))
        if (entry.path().extension() == ".qmf")
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Qt's PDF output as the only printer; nothing is printed here, only its page
// geometry is read.
struct PdfOnlySystem : QtPrintSystem {
    std::vector<std::string> SystemPrinters() const override { return {}; }
    std::string SystemDefaultPrinter() const override { return {}; }
};

int Pixels(double mm) {
    return static_cast<int>(std::lround(mm / 25.4 * kDpi));
}

QImage WhitePage(double widthMM, double heightMM) {
    QImage image(Pixels(widthMM), Pixels(heightMM), QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// The share of the image's pixels that are dark: ink on the page.
double InkShare(const QImage& image) {
    long dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    return static_cast<double>(dark) / (static_cast<double>(image.width()) * image.height());
}

// Replays a saved placeable metafile as a reader of the file would: the
// bounding box of its header is the page.
QImage PlaySavedFigure(const std::string& bytes, double widthMM, double heightMM) {
    std::span<const std::uint8_t> file(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                       bytes.size());
    std::int32_t right = wmf::ReadS16(file, 10);
    std::int32_t bottom = wmf::ReadS16(file, 12);
    QImage image = WhitePage(widthMM, heightMM);
    QPainter painter(&image);
    PainterTarget(painter).PlayMetafile(file.subspan(wmf::kPlaceableBytes), right - 1, bottom - 1,
                                        0, 0, image.width(), image.height());
    return image;
}

QImage PlayPage(const clsStrMeta& page, const PrintedPageSize& size) {
    QImage image = WhitePage(size.width, size.height);
    QPainter painter(&image);
    page.PicPlay(PainterTarget(painter), 0, 0, image.width(), image.height());
    return image;
}

class GoldenOutput : public testing::TestWithParam<std::string> {
  protected:
    void SetUp() override { EnsureQtApplication(); }
};

TEST_P(GoldenOutput, ScreenFigureAndBothPrintedPages) {
    const std::string name = GetParam();
    Document doc;
    NewDocument(doc);
    RecordingMessageSink messages;
    ASSERT_EQ(kProjectFileOk,
              ReadProjectFile((kGoldenFolder / (name + ".qmf")).string(), doc, messages));
    doc.currentFolder = kGoldenFolder.string();
    doc.currentFileName = name + ".qmf";
    RecordingCalcMessageSink calcMessages;
    CalcLiquefaction(doc, calcMessages);

    const fs::path screen = kOutput / (name + ".screen.wmf");
    fs::remove(screen);
    ASSERT_TRUE(SaveLogSheetMetafile(doc, screen.string()));
    std::string figure;
    ASSERT_TRUE(ReadWholeFile(screen.string(), figure));
    QImage screenImage = PlaySavedFigure(figure, kScreenViewWidth, kScreenViewHeight);
    EXPECT_GT(InkShare(screenImage), 0.005);
    EXPECT_TRUE(
        screenImage.save(QString::fromStdString((kOutput / (name + ".screen.png")).string())));

    PdfOnlySystem system;
    clsPrinter printer(system, messages);
    ASSERT_EQ("PDF", printer.DeviceName());
    Settings settings;  // default margins and header and footer
    SheetInputs in(doc, settings, &printer);
    in.program = CurrentProgramInfo();
    PrintedPageSize size;
    ASSERT_EQ(PageStatus::kComposed, PrintablePageSize(&printer, settings, size));
    // A4 less the margins of 20 mm and whatever the printer cannot reach.
    EXPECT_NEAR(170, size.width, 15);
    EXPECT_NEAR(257, size.height, 15);

    SheetCanvases canvases;
    ASSERT_EQ(PageStatus::kComposed, DrawLogSheetPage(canvases, in, doc.prevPrintItems));
    ASSERT_EQ(PageStatus::kComposed, DrawResultSheetPage(canvases, in));
    for (int page : {1, 2}) {
        const std::string stem = name + ".page" + std::to_string(page);
        const clsStrMeta& canvas = canvases.pageMeta[page];
        ASSERT_TRUE(canvas.SaveTheMetafile((kOutput / (stem + ".wmf")).string()));
        QImage image = PlayPage(canvas, size);
        EXPECT_GT(InkShare(image), 0.005) << stem;
        EXPECT_TRUE(image.save(QString::fromStdString((kOutput / (stem + ".png")).string())));
    }
    EXPECT_TRUE(messages.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Borings, GoldenOutput, testing::ValuesIn(GoldenBorings()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             return info.param;
                         });

}  // namespace
