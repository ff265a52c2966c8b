// The printer setup offers the printer, the paper and the orientation, and
// no margins of its own.
#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>

#include <memory>

#include "output/printer_setup_dialog.h"
#include "output/qt_print_system.h"
#include "support/qt_application.h"

namespace {

QList<QPageSize> Papers(const QString& printer) {
    if (printer == QLatin1String("Office"))
        return {QPageSize(QPageSize::A4), QPageSize(QPageSize::A3)};
    return {QPageSize(QPageSize::A4), QPageSize(QPageSize::B5)};
}

}  // namespace

TEST(PrinterSetupDialog, OpensOnTheCurrentChoicesWithoutMargins) {
    EnsureQtApplication();
    PrinterSetupDialog dialog({"Office", "PDF"}, "PDF", QPageSize::B5, QPageLayout::Landscape,
                              &Papers);
    EXPECT_EQ(dialog.cboPrinter->count(), 2);
    EXPECT_EQ(dialog.Printer(), QStringLiteral("PDF"));
    EXPECT_EQ(dialog.Paper(), QPageSize::B5);
    EXPECT_EQ(dialog.Orientation(), QPageLayout::Landscape);
    EXPECT_TRUE(dialog.findChildren<QAbstractSpinBox*>().isEmpty());
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMaximizeButtonHint);
    // Buttons captioned as in the program's other dialogs.
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    EXPECT_EQ(buttons->button(QDialogButtonBox::Ok)->text(), QStringLiteral("OK"));
    EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("ｷｬﾝｾﾙ"));
}

TEST(PrinterSetupDialog, AnotherPrinterOffersItsPapersKeepingTheChosenOneItTakes) {
    EnsureQtApplication();
    PrinterSetupDialog dialog({"Office", "PDF"}, "PDF", QPageSize::A4, QPageLayout::Portrait,
                              &Papers);
    dialog.cboPrinter->setCurrentIndex(0);
    EXPECT_EQ(dialog.cboPaper->count(), 2);
    EXPECT_EQ(dialog.Paper(), QPageSize::A4);
    dialog.cboPaper->setCurrentIndex(1);
    EXPECT_EQ(dialog.Paper(), QPageSize::A3);
    // Back on a printer without A3: its first paper.
    dialog.cboPrinter->setCurrentIndex(1);
    EXPECT_EQ(dialog.Paper(), QPageSize::A4);
    dialog.optLandscape->setChecked(true);
    EXPECT_EQ(dialog.Orientation(), QPageLayout::Landscape);
}

TEST(PrinterSetupDialog, TheChoicesGoOnThePrinter) {
    EnsureQtApplication();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QStringLiteral("/tmp/kept.pdf"));
    QtPrintSystem::ApplyPrinterSetup(printer, QtPrintSystem::kPdfPrinterName, QPageSize::A3,
                                     QPageLayout::Landscape);
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A3);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    // Staying on the PDF output keeps its file.
    EXPECT_EQ(printer.outputFileName(), QStringLiteral("/tmp/kept.pdf"));
    // The PDF output offers the common papers.
    EXPECT_GE(QtPrintSystem::PaperSizesOf(QtPrintSystem::kPdfPrinterName).size(), 5);
}

// B4 and B5 are the JIS sizes in a Japanese office, as the paper codes of
// those names are.
TEST(PrinterSetupDialog, OffersTheJisB4AndB5) {
    EnsureQtApplication();
    QList<QPageSize> papers = QtPrintSystem::PaperSizesOf(QtPrintSystem::kPdfPrinterName);
    EXPECT_TRUE(papers.contains(QPageSize(QPageSize::JisB4)));
    EXPECT_TRUE(papers.contains(QPageSize(QPageSize::JisB5)));
    EXPECT_FALSE(papers.contains(QPageSize(QPageSize::B4)));
    EXPECT_FALSE(papers.contains(QPageSize(QPageSize::B5)));
    EXPECT_EQ(QPageSize(QPageSize::JisB4).size(QPageSize::Millimeter), QSizeF(257, 364));
    EXPECT_EQ(QPageSize(QPageSize::JisB5).size(QPageSize::Millimeter), QSizeF(182, 257));

    // Chosen in the setup, each travels as the paper code of its name and
    // prints at its size.
    struct Case {
        QPageSize::PageSizeId paper;
        std::int32_t code;
        double widthMM;
    } cases[] = {{QPageSize::JisB4, 12, 257}, {QPageSize::JisB5, 13, 182}};
    QtPrintSystem system;
    for (const Case& c : cases) {
        EXPECT_EQ(QPageSize(c.paper).windowsId(), c.code);
        DeviceSettings settings;
        settings.deviceName = QtPrintSystem::kPdfPrinterName;
        settings.paperSize = c.code;
        settings.outputFile = "/tmp/unused.pdf";
        std::unique_ptr<PrinterDevice> device =
            system.CreateDevice(QtPrintSystem::kPdfPrinterName, settings);
        ASSERT_NE(device, nullptr);
        EXPECT_NEAR(device->PhysicalWidth() * 25.4 / device->LogPixelsX(), c.widthMM, 0.5);
    }
}
