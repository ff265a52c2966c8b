#include <gtest/gtest.h>

#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include <cmath>
#include <memory>
#include <vector>

#include "output/clsPrinter.h"
#include "output/fake_printer.h"
#include "sheets/sample_boring.h"
#include "support/recording_sinks.h"
#include "ui/dialogs/dialog_test_support.h"
#include "ui/dialogs/frmPreview.h"
#include "ui/dialogs/frmYohaku.h"

namespace {

int Nearest(double v) {
    return static_cast<int>(std::nearbyint(v));
}

std::vector<std::uint8_t> Bits(const clsStrMeta& meta) {
    auto bits = meta.PageBits();
    return {bits.begin(), bits.end()};
}

// A portrait printer of 600 dpi whose printable area is 4760 x 6814 pixels.
class PreviewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureQtApplication();
        system.device.dpi = 600;
        system.device.horzRes = 4760;
        system.device.vertRes = 6814;
        doc = SampleBoring();
        doc.layerColumnUsed[1] = 1;  // unit weight
        items[0] = 1;
    }
    clsPrinter& Printer() {
        if (!printer)
            printer = std::make_unique<clsPrinter>(system, printerMessages);
        return *printer;
    }
    std::unique_ptr<frmPreview> MakePreview() {
        return std::make_unique<frmPreview>(
            doc, settings, canvases, program, [this]() -> clsPrinter& { return Printer(); },
            services, items);
    }
    // Resizes the window so that its viewport is w x h pixels.
    static void SetViewport(frmPreview& preview, int w, int h) {
        QSize now = preview.picPreview[0]->size();
        preview.resize(preview.size() + QSize(w - now.width(), h - now.height()));
        preview.Form_Resize();
        ASSERT_EQ(preview.picPreview[0]->size(), QSize(w, h));
    }
    static int Bar(const frmPreview& preview) { return preview.VScrollPreView->width(); }

    Document doc;
    Settings settings;
    SheetCanvases canvases;
    ProgramInfo program;
    PrintItemFlags items{};
    FakePrintSystem system;
    RecordingMessageSink printerMessages;
    std::unique_ptr<clsPrinter> printer;
    FakePlatformServices services;
};

TEST_F(PreviewTest, BuildsBothPagesWhenItLoads) {
    canvases.pageMeta[1].PicDelete();
    canvases.pageMeta[2].PicDelete();
    auto preview = MakePreview();
    EXPECT_TRUE(canvases.pageMeta[1].HasPage());
    EXPECT_TRUE(canvases.pageMeta[2].HasPage());
    EXPECT_EQ(preview->windowTitle(), "Vekt/Quilmorn");
    EXPECT_EQ(preview->CurrentPage(), 0);
    EXPECT_EQ(preview->Zoom(), 1);
    EXPECT_FALSE(preview->cmdPreviouspage->isEnabled());
    EXPECT_TRUE(preview->cmdNextpage->isEnabled());
    EXPECT_FALSE(preview->cmdScaledown->isEnabled());
    EXPECT_TRUE(preview->cmdScaleup->isEnabled());
    const char* captions[][2] = {
        {"cmdPrintDlg", "印刷..."},   {"cmdSetupPRT", "ﾌﾟﾘﾝﾀ設定..."},
        {"cmdYohaku", "余白設定..."}, {"cmdScaleup", "拡大"},
        {"cmdScaledown", "全体表示"}, {"cmdPreviouspage", "前ページ"},
        {"cmdNextpage", "次ページ"},  {"cmdClose", "閉じる"},
    };
    int lastLeft = -1;
    for (auto& [name, caption] : captions) {
        auto* button = preview->findChild<QPushButton*>(name);
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(button->text(), QString::fromUtf8(caption));
        EXPECT_GT(button->x(), lastLeft) << name;  // one row, in this order
        lastLeft = button->x();
    }
}

TEST_F(PreviewTest, PageOneShowsTheChosenItemsAndTheOtherButtonShowsPageTwo) {
    auto preview = MakePreview();
    std::vector<std::uint8_t> withGamma = Bits(canvases.pageMeta[1]);
    items = {};
    auto without = MakePreview();
    EXPECT_NE(Bits(canvases.pageMeta[1]), withGamma);

    QImage page1 = without->picPreview[1]->grab().toImage();
    without->cmdNextpage_Click();
    EXPECT_EQ(without->CurrentPage(), 1);
    EXPECT_TRUE(without->cmdPreviouspage->isEnabled());
    EXPECT_FALSE(without->cmdNextpage->isEnabled());
    QImage page2 = without->picPreview[1]->grab().toImage();
    EXPECT_NE(page1, page2);
    without->cmdPreviouspage_Click();
    EXPECT_EQ(without->CurrentPage(), 0);
    EXPECT_FALSE(without->cmdPreviouspage->isEnabled());
    EXPECT_TRUE(without->cmdNextpage->isEnabled());
    EXPECT_EQ(without->picPreview[1]->grab().toImage(), page1);
}

TEST_F(PreviewTest, FitsThePageIntoTheViewport) {
    auto preview = MakePreview();
    SetViewport(*preview, 600, 400);
    const int bar = Bar(*preview);
    const double height = 400 - bar - 20;
    const double width = std::min(600.0 - bar - 20, height * 4760 / 6814);
    EXPECT_DOUBLE_EQ(preview->PageBoxHeight(), height);
    EXPECT_DOUBLE_EQ(preview->PageBoxWidth(), width);
    EXPECT_DOUBLE_EQ(preview->PageBoxLeft(), (600 - bar - width) / 2);
    EXPECT_DOUBLE_EQ(preview->PageBoxTop(), 10);
    EXPECT_EQ(preview->BaseWidth(), Nearest(width));
    EXPECT_EQ(preview->BaseHeight(), Nearest(height));
    if (bar == 16) {
        EXPECT_EQ(preview->BaseWidth(), 254);
        EXPECT_EQ(preview->BaseHeight(), 364);
    }
    // At zoom 1 nothing is clipped: the bars do not move the page.
    EXPECT_FALSE(preview->ClippedHorizontally());
    EXPECT_FALSE(preview->ClippedVertically());
    EXPECT_EQ(preview->HScrollPreView->value(), 0);
    EXPECT_EQ(preview->VScrollPreView->geometry(), QRect(600 - bar, 0, bar, 400 - bar));
    EXPECT_EQ(preview->HScrollPreView->geometry(), QRect(0, 400 - bar, 600 - bar, bar));
    auto before = preview->PlayRect();
    preview->VScrollPreView->setValue(preview->VScrollPreView->maximum());
    EXPECT_EQ(preview->PlayRect(), before);
}

TEST_F(PreviewTest, PlaysThePageInsideTheMarginsWithoutTheUnprintableOffsets) {
    settings.printMargins = {10, 20, 15, 5};  // top, bottom, left, right
    auto preview = MakePreview();
    SetViewport(*preview, 600, 400);
    const double m = (600 / 25.4) * (preview->BaseWidth() / 4760.0);
    auto rect = preview->PlayRect();
    ASSERT_TRUE(rect);
    const int x0 = Nearest(-15 * m);
    const int y0 = Nearest(-10 * m);
    EXPECT_EQ(rect->x1, -x0);
    EXPECT_EQ(rect->y1, -y0);
    EXPECT_EQ(rect->x2, Nearest(preview->PageBoxWidth() - 20 * m) - x0);
    EXPECT_EQ(rect->y2, Nearest(preview->PageBoxHeight() - 30 * m) - y0);
}

TEST_F(PreviewTest, ZoomsInTwiceAndScrollsTheClippedPage) {
    auto preview = MakePreview();
    SetViewport(*preview, 600, 400);
    const int bar = Bar(*preview);
    const int base = preview->BaseWidth();

    preview->cmdScaleup_Click();
    EXPECT_EQ(preview->Zoom(), 2);
    EXPECT_TRUE(preview->cmdScaleup->isEnabled());
    EXPECT_TRUE(preview->cmdScaledown->isEnabled());
    // Twice the height no longer fits, twice the width still does.
    EXPECT_TRUE(preview->ClippedVertically());
    EXPECT_FALSE(preview->ClippedHorizontally());
    EXPECT_DOUBLE_EQ(preview->PageBoxWidth(), 2.0 * base);
    EXPECT_DOUBLE_EQ(preview->PageBoxLeft(), (600 - bar - 2.0 * base) / 2);

    preview->cmdScaleup_Click();
    EXPECT_EQ(preview->Zoom(), 4);
    EXPECT_FALSE(preview->cmdScaleup->isEnabled());
    EXPECT_TRUE(preview->ClippedVertically());
    EXPECT_TRUE(preview->ClippedHorizontally());
    EXPECT_DOUBLE_EQ(preview->PageBoxLeft(), 0);
    EXPECT_DOUBLE_EQ(preview->PageBoxTop(), 10);
    EXPECT_DOUBLE_EQ(preview->PageBoxWidth(), 600 - bar);
    EXPECT_DOUBLE_EQ(preview->PageBoxHeight(), 400 - bar - 10);

    // The bars measure the viewport in printer pixels, one scale both ways;
    // the view starts centred across.
    const int vLarge = Nearest((400.0 - bar) * 4760 / (base * 4.0));
    const int hLarge = Nearest((600.0 - bar) * 6814 / (preview->BaseHeight() * 4.0));
    EXPECT_EQ(preview->VScrollPreView->pageStep(), vLarge);
    EXPECT_EQ(preview->VScrollPreView->singleStep(), Nearest(vLarge / 10.0));
    EXPECT_EQ(preview->VScrollPreView->maximum(), 6814 - vLarge);
    EXPECT_EQ(preview->HScrollPreView->pageStep(), hLarge);
    EXPECT_EQ(preview->HScrollPreView->maximum(), 4760 - hLarge);
    EXPECT_EQ(preview->HScrollPreView->value(), Nearest((4760 - hLarge) / 2.0));

    // Scrolling to the bottom moves the page up by the page's height less the
    // part that shows.
    auto top = preview->PlayRect();
    preview->VScrollPreView->setValue(preview->VScrollPreView->maximum());
    auto bottom = preview->PlayRect();
    ASSERT_TRUE(top && bottom);
    const double yScroll = (6814.0 - vLarge) * Nearest(preview->BaseHeight() * 4.0) / 6814;
    EXPECT_NEAR(top->y1 - bottom->y1, yScroll, 1);

    // A further click changes nothing.
    preview->cmdScaleup_Click();
    EXPECT_EQ(preview->Zoom(), 4);

    preview->cmdScaledown_Click();
    EXPECT_EQ(preview->Zoom(), 1);
    EXPECT_TRUE(preview->cmdScaleup->isEnabled());
    EXPECT_FALSE(preview->cmdScaledown->isEnabled());
    EXPECT_FALSE(preview->ClippedHorizontally());
}

TEST_F(PreviewTest, TextStandsOnThePaperNotOnTheViewportsGrey) {
    auto preview = MakePreview();
    SetViewport(*preview, 600, 400);
    preview->cmdNextpage_Click();  // the results: mostly text
    preview->cmdScaleup_Click();
    preview->cmdScaleup_Click();
    const QRgb grey = preview->picPreview[0]->palette().color(QPalette::Window).rgb();
    ASSERT_NE(grey, qRgb(255, 255, 255));
    const QImage page =
        preview->picPreview[1]->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int greyPixels = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            greyPixels += page.pixel(x, y) == grey;
    // A few edge pixels of drawn text may happen to match the grey.
    EXPECT_LT(greyPixels, page.width() * page.height() / 1000);
}

TEST_F(PreviewTest, AResizeReturnsToZoomOneAndLeavesTheButtons) {
    auto preview = MakePreview();
    SetViewport(*preview, 600, 400);
    preview->cmdScaleup_Click();
    preview->cmdScaleup_Click();
    SetViewport(*preview, 700, 500);
    EXPECT_EQ(preview->Zoom(), 1);
    EXPECT_FALSE(preview->cmdScaleup->isEnabled());
    EXPECT_TRUE(preview->cmdScaledown->isEnabled());
    EXPECT_DOUBLE_EQ(preview->PageBoxHeight(), 500 - Bar(*preview) - 20);
}

TEST_F(PreviewTest, PrinterSetupRebuildsThePagesForTheNewPrinter) {
    auto preview = MakePreview();
    SetViewport(*preview, 600, 400);
    preview->cmdScaleup_Click();
    preview->cmdScaleup_Click();
    std::vector<std::uint8_t> page1 = Bits(canvases.pageMeta[1]);

    // Cancelled: nothing changes.
    system.answer.reset();
    preview->cmdSetupPRT_Click();
    EXPECT_EQ(preview->Zoom(), 4);
    EXPECT_EQ(Bits(canvases.pageMeta[1]), page1);

    // A landscape sheet: both pages are recorded anew and shown whole.
    system.device.horzRes = 6814;
    system.device.vertRes = 4760;
    system.answer.emplace();
    preview->cmdSetupPRT_Click();
    ASSERT_EQ(system.requests.size(), 2u);
    EXPECT_NE(system.requests.back().flags & PD_PRINTSETUP, 0);
    EXPECT_NE(Bits(canvases.pageMeta[1]), page1);
    EXPECT_EQ(preview->Zoom(), 1);
    EXPECT_TRUE(preview->cmdScaleup->isEnabled());
    EXPECT_DOUBLE_EQ(preview->PageBoxWidth(), preview->PageBoxHeight() * 6814 / 4760);
}

TEST_F(PreviewTest, TheMarginsDialogRefitsTheSameRecording) {
    auto preview = MakePreview();
    SetViewport(*preview, 600, 400);
    std::vector<std::uint8_t> page1 = Bits(canvases.pageMeta[1]);
    auto before = preview->PlayRect();
    int shown = 0;
    preview->RunModal = [&](QDialog& dialog) {
        auto& margins = dynamic_cast<frmYohaku&>(dialog);
        ++shown;
        margins.txtYohakuleft->setText("40");
        margins.cmdOk_Click();
        return margins.result();
    };
    preview->cmdYohaku_Click();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(settings.printMargins[2], 40);
    EXPECT_EQ(Bits(canvases.pageMeta[1]), page1);
    auto after = preview->PlayRect();
    ASSERT_TRUE(before && after);
    EXPECT_GT(after->x1, before->x1);
}

TEST_F(PreviewTest, PrintsBothRecordedPages) {
    auto preview = MakePreview();
    system.answer.emplace();
    preview->cmdPrintDlg_Click();
    ASSERT_NE(system.lastDevice, nullptr);
    EXPECT_EQ(system.lastDevice->pages.size(), 2u);
    EXPECT_EQ(system.lastDevice->docName, "Vekt／Quilmorn2008");
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(PreviewTest, PrintingOnAnotherPaperComposesAndShowsThePagesForIt) {
    auto preview = MakePreview();
    SetViewport(*preview, 600, 400);
    std::vector<std::uint8_t> page1 = Bits(canvases.pageMeta[1]);
    // The print dialog chooses a landscape sheet.
    system.device.horzRes = 6814;
    system.device.vertRes = 4760;
    system.answer.emplace();
    preview->cmdPrintDlg_Click();
    ASSERT_NE(system.lastDevice, nullptr);
    EXPECT_EQ(system.lastDevice->pages.size(), 2u);
    EXPECT_TRUE(services.messages.empty());
    EXPECT_NE(Bits(canvases.pageMeta[1]), page1);
    EXPECT_DOUBLE_EQ(preview->PageBoxWidth(), preview->PageBoxHeight() * 6814 / 4760);
}

TEST_F(PreviewTest, WithoutAPrinterTheViewportStaysEmpty) {
    system.printers.clear();
    canvases.pageMeta[1].PicStart(20000, 20000, 100, 100, 10, 10, 1.0);
    canvases.pageMeta[1].PicEnd();  // an old page must not show
    auto preview = MakePreview();
    SetViewport(*preview, 600, 400);
    EXPECT_FALSE(canvases.pageMeta[1].HasPage());
    EXPECT_FALSE(canvases.pageMeta[2].HasPage());
    EXPECT_FALSE(preview->PlayRect());
    preview->cmdScaleup_Click();
    preview->cmdNextpage_Click();
    EXPECT_FALSE(preview->PlayRect());
    preview->picPreview[1]->grab();
}

TEST_F(PreviewTest, CloseHidesTheWindow) {
    auto preview = MakePreview();
    ASSERT_TRUE(ShowActive(*preview));
    preview->cmdClose_Click();
    EXPECT_FALSE(preview->isVisible());
}

}  // namespace
