#include "output/clsPrinter.h"

#include <gtest/gtest.h>

#include "output/fake_printer.h"
#include "support/qt_application.h"
#include "support/recording_sinks.h"

namespace {

class PrinterTest : public ::testing::Test {
  protected:
    void SetUp() override { EnsureQtApplication(); }
    FakePrintSystem system;
    RecordingMessageSink sink;
};

TEST_F(PrinterTest, WithoutAPrinterItStaysEmptyAndSaysWhy) {
    system.printers.clear();
    clsPrinter printer(system, sink);
    EXPECT_EQ(printer.hDC(), nullptr);
    EXPECT_EQ(printer.PixelPerMM(), 0.0);
    EXPECT_EQ(printer.Width(), 0);
    EXPECT_EQ(printer.Height(), 0);
    EXPECT_EQ(printer.StartDoc(), 0);
    EXPECT_EQ(printer.DocName(), "");

    EXPECT_FALSE(printer.ShowPrintDlg(0));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(
        sink.messages[0].text,
        "印刷する前に、プリンタをインストールする必要があります。\r"
        "インストールするには、[スタート]メニューの[設定]をポイントし、[プリンタ]をクリックして、\r"
        "[プリンタの追加]をダブルクリックしてください。");
    EXPECT_EQ(sink.messages[0].title, "印刷エラー");
    EXPECT_EQ(sink.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(sink.messages[0].buttons, MessageButtons::Ok);
    EXPECT_TRUE(system.requests.empty());

    EXPECT_FALSE(printer.ExistPrinter());
    ASSERT_EQ(sink.messages.size(), 2u);
    EXPECT_EQ(sink.messages[1].text, "通常使うﾌﾟﾘﾝﾀがありません。");
    EXPECT_EQ(sink.messages[1].icon, MessageIcon::Exclamation);

    // A printer installed later is taken up; the document name set meanwhile stays.
    printer.DocName("kept");
    system.printers = {"Office Printer"};
    EXPECT_TRUE(printer.ExistPrinter());
    EXPECT_EQ(sink.messages.size(), 2u);
    ASSERT_NE(printer.hDC(), nullptr);
    EXPECT_EQ(printer.DocName(), "kept");
    EXPECT_EQ(printer.DeviceName(), "Office Printer");
    EXPECT_DOUBLE_EQ(printer.PixelPerMM(), 10.0);
}

TEST_F(PrinterTest, ConstructionTakesTheDefaultPrinter) {
    clsPrinter printer(system, sink);
    EXPECT_EQ(printer.DocName(), "VARNHOLT SYSTEM APPLICATION");
    EXPECT_EQ(printer.StartPageNo(), 1);
    EXPECT_EQ(printer.EndPageNo(), 1);
    EXPECT_EQ(printer.Copy(), 1);
    EXPECT_EQ(printer.PaperSize(), 9);
    EXPECT_EQ(printer.Orientation(), 1);
    EXPECT_EQ(printer.FontName(), "Courier");
    EXPECT_EQ(printer.FontSize(), "50");
    EXPECT_EQ(printer.FontWeight(), "400");
    EXPECT_EQ(printer.Width(), 1090);
    EXPECT_EQ(printer.Height(), 1030);
    std::int32_t top = -1, bottom = -1, left = -1, right = -1;
    printer.GetPrinterOffset(top, bottom, left, right);
    EXPECT_EQ(top, 20);
    EXPECT_EQ(bottom, 40);
    EXPECT_EQ(left, 30);
    EXPECT_EQ(right, 10);
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(PrinterTest, RangeGivesTheChosenPages) {
    clsPrinter printer(system, sink);
    printer.StartPageNo(1);
    printer.EndPageNo(2);
    // Range 1 after construction: a selection.
    EXPECT_EQ(printer.FromPage(), -1);
    EXPECT_EQ(printer.ToPage(), -1);
    EXPECT_EQ(printer.PrintMode(), 2);

    struct Case {
        std::int32_t flags;
        std::int32_t from, to, mode;
        bool collate;
    };
    const Case cases[] = {
        {PD_PAGENUMS, 2, 2, 3, false},
        {PD_PAGENUMS | PD_COLLATE, 2, 2, 3, true},
        {0, 1, 2, 1, false},  // all pages: the document's first and last
        {PD_SELECTION, -1, -1, 2, false},
    };
    for (const Case& c : cases) {
        system.answer.emplace();
        system.answer->flags = c.flags;
        system.answer->fromPage = 2;
        system.answer->toPage = 2;
        system.answer->copies = 3;
        system.answer->settings = {"Office Printer", 8, 2, 3, false, {}};
        ASSERT_TRUE(printer.ShowPrintDlg(0x140104));
        EXPECT_EQ(printer.FromPage(), c.from) << c.flags;
        EXPECT_EQ(printer.ToPage(), c.to) << c.flags;
        EXPECT_EQ(printer.PrintMode(), c.mode) << c.flags;
        EXPECT_EQ(printer.PrintCollect(), c.collate) << c.flags;
        EXPECT_EQ(printer.Copy(), 3);
        EXPECT_EQ(printer.PaperSize(), 8);
        EXPECT_EQ(printer.Orientation(), 2);
    }
    const PrintDialogRequest& asked = system.requests.back();
    EXPECT_EQ(asked.flags, 0x140104);  // the flags as given; PD_RETURNDC already among them
    EXPECT_EQ(asked.minPage, 1);
    EXPECT_EQ(asked.maxPage, 2);
    EXPECT_EQ(asked.fromPage, 1);
    EXPECT_EQ(asked.toPage, 1);
    EXPECT_EQ(asked.deviceName, "Office Printer");
    EXPECT_EQ(asked.flags & PD_NOPAGENUMS, 0);

    EXPECT_TRUE(printer.ShowPrintSetupDlg());
    EXPECT_EQ(system.requests.back().flags, PD_PRINTSETUP | PD_RETURNDC);
}

TEST_F(PrinterTest, CancelledDialogKeepsThePrinter) {
    clsPrinter printer(system, sink);
    PrinterDevice* before = printer.hDC();
    system.answer.reset();
    EXPECT_FALSE(printer.ShowPrintDlg(0));
    EXPECT_EQ(printer.hDC(), before);
    EXPECT_EQ(printer.DeviceName(), "Office Printer");
    EXPECT_EQ(printer.FromPage(), -1);
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(PrinterTest, CutDeviceNameResolvesToTheLastMatchingPrinter) {
    const std::string longName = "Building Department Colour Laser Printer 4";
    system.printers = {"Plotter", longName};
    system.defaults.deviceName = longName.substr(0, 31);
    {
        clsPrinter printer(system, sink);
        EXPECT_EQ(printer.DeviceName(), longName);
    }
    // Both match: the later one in the collection wins.
    system.printers = {longName, "Plotter", longName.substr(0, 35)};
    clsPrinter printer(system, sink);
    EXPECT_EQ(printer.DeviceName(), longName.substr(0, 35));
}

TEST_F(PrinterTest, SixteenBitFieldsRefuseLargerValues) {
    clsPrinter printer(system, sink);
    EXPECT_THROW(printer.EndPageNo(40000), std::overflow_error);
    EXPECT_THROW(printer.FromPage(-40000), std::overflow_error);
    printer.EndPageNo(32767);
    EXPECT_EQ(printer.EndPageNo(), 32767);
}

}  // namespace
