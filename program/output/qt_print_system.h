#pragma once

#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "output/print_system.h"

class QPrinter;
class QPainter;

// A printer device context over a QPrinter: the document is a QPainter begun
// on the printer, each further page a new page of it. A PDF document replaces
// its file only when it was written whole: a failed or aborted document
// leaves the old file as it was.
class QtPrinterDevice final : public PrinterDevice {
  public:
    explicit QtPrinterDevice(std::unique_ptr<QPrinter> printer);
    ~QtPrinterDevice() override;

    std::int32_t LogPixelsX() const override;
    std::int32_t HorzRes() const override;
    std::int32_t VertRes() const override;
    std::int32_t PhysicalWidth() const override;
    std::int32_t PhysicalHeight() const override;
    std::int32_t PhysicalOffsetX() const override;
    std::int32_t PhysicalOffsetY() const override;
    std::int32_t StartDoc(const std::string& docName, const std::string& output) override;
    std::int32_t EndDoc() override;
    std::int32_t AbortDoc() override;
    std::int32_t StartPage() override;
    std::int32_t EndPage() override;
    QPainter* Painter() override { return painter_.get(); }
    std::string FontFace() const override;
    std::int32_t FontHeight() const override;
    std::int32_t FontWeight() const override;

    QPrinter& Printer() { return *printer_; }

  private:
    void DropPdfTemporary();

    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    int pagesStarted_ = 0;
    // While a PDF document is open: the file the user chose and the temporary
    // file beside it that receives the document.
    QString pdfTarget_;
    QString pdfTemporary_;
};

// The printers of the system as Qt sees them (CUPS on Linux), and Qt's PDF
// output, which counts as one more printer and is the default when the system
// has no other.
class QtPrintSystem : public PrintSystem {
  public:
    // The name of the PDF output among the printers.
    static constexpr const char* kPdfPrinterName = "PDF";

    std::vector<std::string> InstalledPrinters() const override;
    std::string DefaultPrinter() const override;
    std::optional<DeviceSettings> DefaultSettings() override;
    std::unique_ptr<PrinterDevice> CreateDevice(const std::string& printerName,
                                                const DeviceSettings& settings) override;
    std::optional<PrintDialogResult> ShowPrintDialog(const PrintDialogRequest& request) override;

    // Where the PDF output goes until a dialog names another file.
    static std::string DefaultPdfFile();

    // The paper sizes the printer setup offers for a printer: those the
    // printer reports, or the common sizes for the PDF output and a printer
    // that reports none.
    static QList<QPageSize> PaperSizesOf(const QString& printerName);
    // Puts the printer setup's choices on the printer: another printer (the
    // PDF output writing to its default file), the paper and the orientation.
    static void ApplyPrinterSetup(QPrinter& printer, const std::string& printerName,
                                  QPageSize::PageSizeId paper,
                                  QPageLayout::Orientation orientation);

  protected:
    // Shows the print dialog (or with PD_PRINTSETUP the page setup) on the
    // printer; true when it is confirmed. Headless tests answer it themselves.
    virtual bool RunDialog(QPrinter& printer, const PrintDialogRequest& request);
    // The printers the system itself has, without the PDF output.
    virtual std::vector<std::string> SystemPrinters() const;
    virtual std::string SystemDefaultPrinter() const;

  private:
    std::unique_ptr<QPrinter> MakePrinter(const std::string& printerName,
                                          const DeviceSettings& settings) const;
    static DeviceSettings SettingsOf(const QPrinter& printer);
};
