#include "output/clsPrinter.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QRect>

#include <algorithm>
#include <iterator>
#include <optional>
#include <vector>

#include "output/fake_printer.h"
#include "support/qt_application.h"
#include "support/recording_sinks.h"

struct clsPrinterTestAccess {
    static void DrawPolyline(clsPrinter& printer, const std::vector<double>& x,
                             const std::vector<double>& y, std::int32_t n) {
        printer.DrawPolyline(x, y, n);
    }
};

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

// What a page shows: the box around everything that is not white, and the
// colour of its darkest pixel.
struct Ink {
    QRect box;
    QColor darkest = Qt::white;
};

Ink InkOn(const QImage& page) {
    Ink ink;
    int darkness = 3 * 255;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            QColor c = page.pixelColor(x, y);
            int sum = c.red() + c.green() + c.blue();
            if (sum == 3 * 255)
                continue;
            ink.box = ink.box.united(QRect(x, y, 1, 1));
            if (sum < darkness) {
                darkness = sum;
                ink.darkest = c;
            }
        }
    }
    return ink;
}

// A printer with an open page to draw on straight; Finish ends page and
// document and gives what the page shows.
class DirectDrawingTest : public PrinterTest {
  protected:
    void SetUp() override {
        PrinterTest::SetUp();
        printer.emplace(system, sink);
        device = system.lastDevice;
        ASSERT_NE(device, nullptr);
        ASSERT_EQ(printer->StartDoc(), 1);
        ASSERT_EQ(printer->StartPage(), 1);
    }
    Ink Finish() {
        printer->EndPage();
        printer->EndDoc();
        return device->pages.empty() ? Ink{} : InkOn(device->pages.back());
    }
    void Line(const std::vector<double>& x, const std::vector<double>& y, std::int32_t n) {
        clsPrinterTestAccess::DrawPolyline(*printer, x, y, n);
    }

    std::optional<clsPrinter> printer;
    FakeDevice* device = nullptr;
};

TEST_F(PrinterTest, DirectDrawingNeedsAPrinterAndAnOpenPage) {
    system.printers.clear();
    clsPrinter none(system, sink);
    none.SetFont("IPAGothic", 40, 700, 0, 0xFF);
    none.ScaleMode(2);
    none.DrawText(10, 10, 0, "HH");
    clsPrinterTestAccess::DrawPolyline(none, {0, 100}, {0, 100}, 2);
    EXPECT_EQ(none.FontName(), "");
    EXPECT_EQ(none.FontSize(), "0");

    system.printers = {"Office Printer"};
    clsPrinter printer(system, sink);
    FakeDevice* device = system.lastDevice;
    printer.DrawText(10, 10, 0, "HH");  // no page yet
    clsPrinterTestAccess::DrawPolyline(printer, {0, 100}, {0, 100}, 2);
    ASSERT_EQ(printer.StartDoc(), 1);
    ASSERT_EQ(printer.StartPage(), 1);
    printer.EndPage();
    printer.DrawText(10, 10, 0, "HH");  // the page is over
    printer.EndDoc();
    ASSERT_EQ(device->pages.size(), 1u);
    EXPECT_TRUE(InkOn(device->pages[0]).box.isEmpty());
}

TEST_F(DirectDrawingTest, SetFontGivesTheTextItsFaceSizeWeightTurnAndColour) {
    printer->SetFont("IPAGothic", 40, 700, 0, 0x0000FF);  // red, as a colour reference
    EXPECT_EQ(printer->FontName(), "IPAGothic");
    EXPECT_EQ(printer->FontSize(), "40");
    EXPECT_EQ(printer->FontWeight(), "700");
    printer->DrawText(100, 100, 0, "HHHH");
    // Turned by 90 degrees: the same text runs upwards from its point.
    printer->SetFont("IPAGothic", 40, 400, 900, 0xFF0000);  // blue
    printer->DrawText(600, 900, 0, "HHHH");
    Ink ink = Finish();
    const QImage& page = device->pages.back();

    Ink upright = InkOn(page.copy(0, 0, 500, 500));
    EXPECT_GT(upright.box.width(), 2 * upright.box.height());
    // Capitals of a 40-pixel font.
    EXPECT_GE(upright.box.height(), 24);
    EXPECT_LE(upright.box.height(), 40);
    EXPECT_GT(upright.darkest.red(), 200);
    EXPECT_LT(upright.darkest.blue(), 60);

    Ink turned = InkOn(page.copy(500, 500, 500, 500));
    EXPECT_GT(turned.box.height(), 2 * turned.box.width());
    EXPECT_LE(turned.box.bottom() + 500, 900);
    EXPECT_GE(turned.box.left() + 500, 600);
    EXPECT_GT(turned.darkest.blue(), 200);
    EXPECT_LT(turned.darkest.red(), 60);
    EXPECT_EQ(ink.box, upright.box.united(turned.box.translated(500, 500)));
}

TEST_F(DirectDrawingTest, DrawTextPlacesTheTextByItsAlignment) {
    printer->SetFont("IPAGothic", 40, 400, 0, 0);
    // Each alignment in a square of its own, at the square's centre.
    enum Across { kLeftEdge, kRightEdge, kCentre };
    enum Down { kTopEdge, kBottomEdge, kBaseline };
    struct Case {
        std::int32_t align;
        Across across;
        Down down;
    };
    const Case cases[] = {
        {0, kLeftEdge, kTopEdge},    {2, kRightEdge, kTopEdge},  {6, kCentre, kTopEdge},
        {8, kLeftEdge, kBottomEdge}, {24, kLeftEdge, kBaseline}, {10, kRightEdge, kBottomEdge},
        {14, kCentre, kBottomEdge},  {30, kCentre, kBaseline},
    };
    constexpr int kSquare = 250;
    auto square = [&](int k) {
        return QRect((k % 4) * kSquare, (k / 4) * kSquare, kSquare, kSquare);
    };
    for (int k = 0; k < static_cast<int>(std::size(cases)); ++k)
        printer->DrawText(square(k).center().x(), square(k).center().y(), cases[k].align, "HH");
    Finish();

    for (int k = 0; k < static_cast<int>(std::size(cases)); ++k) {
        const Case& c = cases[k];
        QRect box = InkOn(device->pages.back().copy(square(k))).box;
        QPoint at = square(k).center() - square(k).topLeft();
        ASSERT_FALSE(box.isEmpty()) << c.align;
        EXPECT_GT(box.width(), box.height()) << c.align;
        switch (c.across) {
            case kLeftEdge:
                EXPECT_NEAR(box.left(), at.x(), 3) << c.align;
                break;
            case kRightEdge:
                EXPECT_NEAR(box.right(), at.x(), 3) << c.align;
                break;
            case kCentre:
                EXPECT_NEAR(box.center().x(), at.x(), 3) << c.align;
                break;
        }
        switch (c.down) {
            case kTopEdge:  // the cell's top: the letters start a little below
                EXPECT_GE(box.top(), at.y()) << c.align;
                EXPECT_LT(box.top(), at.y() + 12) << c.align;
                break;
            case kBottomEdge:  // below the letters lies the descent
                EXPECT_LT(box.bottom(), at.y() - 2) << c.align;
                EXPECT_GT(box.bottom(), at.y() - 15) << c.align;
                break;
            case kBaseline:  // the letters stand on it
                EXPECT_NEAR(box.bottom(), at.y() - 1, 2) << c.align;
                break;
        }
    }
}

TEST_F(DirectDrawingTest, ScaleModeMapsTheLogicalUnits) {
    // The fixture's printer has 254 pixels per inch, 10 per millimetre.
    printer->ScaleMode(1);  // device pixels
    Line({50, 150}, {50, 50}, 2);
    printer->ScaleMode(2);  // 0.1 mm, y upwards
    printer->ScaleMode(0);  // out of range: mode 2 stays
    printer->ScaleMode(9);
    Line({100, 300}, {-200, -200}, 2);
    printer->DrawText(600, -100, 0, "HHHH");  // upright, below its point as in mode 1
    printer->ScaleMode(4);                    // 0.01 inch
    Line({100, 200}, {-300, -300}, 2);
    printer->ScaleMode(6);  // twips
    Line({2880, 5760}, {-5760, -5760}, 2);
    Finish();

    struct Expected {
        QRect strip;  // where the line lies alone
        int left, right, y;
    };
    const Expected lines[] = {
        {{0, 0, 500, 100}, 50, 150, 50},
        {{0, 150, 500, 100}, 100, 300, 200},
        {{0, 700, 1090, 120}, 254, 508, 762},
        {{0, 960, 1090, 70}, 508, 1016, 1016},
    };
    for (const Expected& e : lines) {
        QRect box = InkOn(device->pages.back().copy(e.strip)).box.translated(e.strip.topLeft());
        ASSERT_FALSE(box.isEmpty()) << e.y;
        EXPECT_NEAR(box.left(), e.left, 3) << e.y;
        EXPECT_NEAR(box.right(), e.right, 3) << e.y;
        EXPECT_NEAR(box.center().y(), e.y, 3) << e.y;
    }
    QRect text = InkOn(device->pages.back().copy(550, 50, 500, 100)).box.translated(550, 50);
    ASSERT_FALSE(text.isEmpty());
    EXPECT_NEAR(text.left(), 600, 3);
    EXPECT_GE(text.top(), 100);
    EXPECT_LT(text.bottom(), 160);
}

TEST_F(DirectDrawingTest, DrawPolylineJoinsTheFirstPointsWithTheSelectedPen) {
    printer->SelectPen(0, 3, 0x0000FF);         // solid, 3 pixels, red
    Line({100, 400, 400}, {100, 100, 400}, 2);  // the first two points only
    printer->SelectPen(0, 1, 0x00FF00);         // green
    Line({600, 900, 900}, {100, 100, 400}, 5);  // no more points than are given
    Line({100, 400}, {600, 600}, 0);            // none
    printer->SelectPen(5, 1, 0);                // no pen
    Line({600, 900}, {600, 600}, 2);
    Finish();
    const QImage& page = device->pages.back();

    Ink first = InkOn(page.copy(0, 0, 500, 500));
    EXPECT_NEAR(first.box.left(), 100, 2);
    EXPECT_NEAR(first.box.right(), 400, 2);
    EXPECT_NEAR(first.box.center().y(), 100, 1);
    EXPECT_EQ(first.box.height(), 3);
    EXPECT_EQ(first.darkest, QColor(255, 0, 0));

    Ink second = InkOn(page.copy(500, 0, 500, 500));
    EXPECT_EQ(second.box, QRect(100, 100, 301, 301));
    EXPECT_EQ(second.darkest, QColor(0, 255, 0));

    EXPECT_TRUE(InkOn(page.copy(0, 500, 1090, 530)).box.isEmpty());
}

}  // namespace
