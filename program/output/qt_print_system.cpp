#include "output/qt_print_system.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

#include "core/file_io.h"
#include "output/printer_setup_dialog.h"

namespace {

QRect PaintRect(const QPrinter& printer) {
    return printer.pageLayout().paintRectPixels(printer.resolution());
}

QRect FullRect(const QPrinter& printer) {
    return printer.pageLayout().fullRectPixels(printer.resolution());
}

bool IsPdf(const QPrinter& printer) {
    return printer.outputFormat() == QPrinter::PdfFormat;
}

// A PDF file that was written to its end: it starts with its header and its
// last bytes hold the end-of-file mark.
bool IsCompletePdf(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly) || file.size() < 16)
        return false;
    if (!file.read(5).startsWith("%PDF-"))
        return false;
    constexpr qint64 kTail = 64;
    if (!file.seek(std::max<qint64>(0, file.size() - kTail)))
        return false;
    QByteArray tail = file.read(kTail);
    while (!tail.isEmpty() && (tail.back() == '\n' || tail.back() == '\r' || tail.back() == ' '))
        tail.chop(1);
    return tail.endsWith("%%EOF");
}

}  // namespace

QtPrinterDevice::QtPrinterDevice(std::unique_ptr<QPrinter> printer)
    : printer_(std::move(printer)) {}

QtPrinterDevice::~QtPrinterDevice() {
    if (painter_)
        AbortDoc();
}

std::int32_t QtPrinterDevice::LogPixelsX() const {
    return printer_->resolution();
}
std::int32_t QtPrinterDevice::HorzRes() const {
    return PaintRect(*printer_).width();
}
std::int32_t QtPrinterDevice::VertRes() const {
    return PaintRect(*printer_).height();
}
std::int32_t QtPrinterDevice::PhysicalWidth() const {
    return FullRect(*printer_).width();
}
std::int32_t QtPrinterDevice::PhysicalHeight() const {
    return FullRect(*printer_).height();
}
std::int32_t QtPrinterDevice::PhysicalOffsetX() const {
    return PaintRect(*printer_).left();
}
std::int32_t QtPrinterDevice::PhysicalOffsetY() const {
    return PaintRect(*printer_).top();
}

std::int32_t QtPrinterDevice::StartDoc(const std::string& docName, const std::string& output) {
    if (painter_)
        return 0;
    printer_->setDocName(QString::fromStdString(docName));
    if (!output.empty())
        printer_->setOutputFileName(QString::fromStdString(output));
    // The PDF output goes to a file of its own beside the target, which stays
    // as it was until the whole document is written and checked.
    if (IsPdf(*printer_) && !printer_->outputFileName().isEmpty()) {
        std::string temporary = MakeTemporaryBeside(printer_->outputFileName().toStdString());
        if (temporary.empty())
            return 0;
        pdfTarget_ = printer_->outputFileName();
        pdfTemporary_ = QString::fromStdString(temporary);
        printer_->setOutputFileName(pdfTemporary_);
    }
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(printer_.get())) {
        DropPdfTemporary();
        return 0;
    }
    painter_ = std::move(painter);
    pagesStarted_ = 0;
    return 1;
}

std::int32_t QtPrinterDevice::StartPage() {
    if (!painter_)
        return 0;
    // The document opens on its first page; every later page is a new one.
    if (pagesStarted_ > 0 && !printer_->newPage())
        return 0;
    ++pagesStarted_;
    return 1;
}

std::int32_t QtPrinterDevice::EndPage() {
    return painter_ && printer_->printerState() != QPrinter::Error ? 1 : 0;
}

std::int32_t QtPrinterDevice::EndDoc() {
    if (!painter_)
        return 0;
    bool ok = painter_->end();
    painter_.reset();
    ok = ok && printer_->printerState() != QPrinter::Error;
    if (!pdfTemporary_.isEmpty()) {
        // Qt's PDF writer does not report a write that failed (a full disk):
        // the file must be whole, up to its end-of-file mark.
        std::string temporary = pdfTemporary_.toStdString();
        std::string target = pdfTarget_.toStdString();
        printer_->setOutputFileName(pdfTarget_);
        pdfTemporary_.clear();
        if (ok && IsCompletePdf(temporary))
            ok = ReplaceWithTemporary(temporary, target);
        else {
            QFile::remove(QString::fromStdString(temporary));
            ok = false;
        }
    }
    return ok ? 1 : 0;
}

std::int32_t QtPrinterDevice::AbortDoc() {
    if (!painter_)
        return 0;
    printer_->abort();
    painter_->end();
    painter_.reset();
    // The PDF output cannot take a page back: its temporary file goes, the
    // target is left as it was.
    DropPdfTemporary();
    return 1;
}

void QtPrinterDevice::DropPdfTemporary() {
    if (pdfTemporary_.isEmpty())
        return;
    QFile::remove(pdfTemporary_);
    printer_->setOutputFileName(pdfTarget_);
    pdfTemporary_.clear();
}

std::string QtPrinterDevice::FontFace() const {
    return QFont().family().toStdString();
}

std::int32_t QtPrinterDevice::FontHeight() const {
    QFont font;
    return static_cast<std::int32_t>(font.pointSizeF() * printer_->resolution() / 72 + 0.5);
}

std::int32_t QtPrinterDevice::FontWeight() const {
    return 400;
}

std::vector<std::string> QtPrintSystem::SystemPrinters() const {
    std::vector<std::string> names;
    for (const QString& name : QPrinterInfo::availablePrinterNames())
        names.push_back(name.toStdString());
    return names;
}

std::string QtPrintSystem::SystemDefaultPrinter() const {
    return QPrinterInfo::defaultPrinterName().toStdString();
}

std::vector<std::string> QtPrintSystem::InstalledPrinters() const {
    std::vector<std::string> names = SystemPrinters();
    names.push_back(kPdfPrinterName);
    return names;
}

std::string QtPrintSystem::DefaultPrinter() const {
    std::string name = SystemDefaultPrinter();
    if (name.empty()) {
        std::vector<std::string> system = SystemPrinters();
        name = system.empty() ? kPdfPrinterName : system.front();
    }
    return name;
}

std::string QtPrintSystem::DefaultPdfFile() {
    return QDir::home().filePath(QStringLiteral("Quilmorn2008.pdf")).toStdString();
}

std::unique_ptr<QPrinter> QtPrintSystem::MakePrinter(const std::string& printerName,
                                                     const DeviceSettings& settings) const {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (printerName == kPdfPrinterName || printerName.empty()) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setResolution(600);
        printer->setOutputFileName(QString::fromStdString(
            settings.outputFile.empty() ? DefaultPdfFile() : settings.outputFile));
    } else {
        printer->setPrinterName(QString::fromStdString(printerName));
    }
    if (settings.paperSize != 0) {
        QPageSize size(QPageSize::id(settings.paperSize));
        if (size.isValid())
            printer->setPageSize(size);
    } else if (IsPdf(*printer)) {
        printer->setPageSize(QPageSize(QPageSize::A4));
    }
    printer->setPageOrientation(settings.orientation == 2 ? QPageLayout::Landscape
                                                          : QPageLayout::Portrait);
    printer->setCopyCount(std::max(settings.copies, 1));
    printer->setCollateCopies(settings.collate);
    return printer;
}

DeviceSettings QtPrintSystem::SettingsOf(const QPrinter& printer) {
    DeviceSettings settings;
    settings.deviceName = IsPdf(printer) ? kPdfPrinterName : printer.printerName().toStdString();
    if (settings.deviceName.size() >= DeviceSettings::kDeviceNameBytes)
        settings.deviceName.resize(DeviceSettings::kDeviceNameBytes - 1);
    settings.paperSize = printer.pageLayout().pageSize().windowsId();
    settings.orientation = printer.pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
    settings.copies = printer.copyCount();
    settings.collate = printer.collateCopies();
    if (IsPdf(printer))
        settings.outputFile = printer.outputFileName().toStdString();
    return settings;
}

std::optional<DeviceSettings> QtPrintSystem::DefaultSettings() {
    return SettingsOf(*MakePrinter(DefaultPrinter(), DeviceSettings{}));
}

std::unique_ptr<PrinterDevice> QtPrintSystem::CreateDevice(const std::string& printerName,
                                                           const DeviceSettings& settings) {
    auto printer = MakePrinter(printerName, settings);
    if (!printer->isValid())
        return nullptr;
    return std::make_unique<QtPrinterDevice>(std::move(printer));
}

QList<QPageSize> QtPrintSystem::PaperSizesOf(const QString& printerName) {
    QList<QPageSize> sizes;
    if (printerName != QLatin1String(kPdfPrinterName))
        sizes = QPrinterInfo::printerInfo(printerName).supportedPageSizes();
    if (sizes.isEmpty()) {
        // B4 and B5 of a Japanese office are the JIS sizes (257 x 364 and
        // 182 x 257 mm, the paper codes 12 and 13), not the ISO ones.
        for (QPageSize::PageSizeId id :
             {QPageSize::A3, QPageSize::A4, QPageSize::A5, QPageSize::JisB4, QPageSize::JisB5,
              QPageSize::Letter, QPageSize::Legal})
            sizes.append(QPageSize(id));
    }
    return sizes;
}

void QtPrintSystem::ApplyPrinterSetup(QPrinter& printer, const std::string& printerName,
                                      QPageSize::PageSizeId paper,
                                      QPageLayout::Orientation orientation) {
    if (printerName == kPdfPrinterName) {
        if (!IsPdf(printer)) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setResolution(600);
            printer.setOutputFileName(QString::fromStdString(DefaultPdfFile()));
        }
    } else {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(QString::fromStdString(printerName));
    }
    printer.setPageSize(QPageSize(paper));
    printer.setPageOrientation(orientation);
}

bool QtPrintSystem::RunDialog(QPrinter& printer, const PrintDialogRequest& request) {
    if (request.flags & PD_PRINTSETUP) {
        QStringList printers;
        for (const std::string& name : InstalledPrinters())
            printers << QString::fromStdString(name);
        QString current =
            IsPdf(printer) ? QString::fromLatin1(kPdfPrinterName) : printer.printerName();
        PrinterSetupDialog dialog(printers, current, printer.pageLayout().pageSize().id(),
                                  printer.pageLayout().orientation(), &PaperSizesOf,
                                  QApplication::activeWindow());
        if (dialog.exec() != QDialog::Accepted)
            return false;
        ApplyPrinterSetup(printer, dialog.Printer().toStdString(), dialog.Paper(),
                          dialog.Orientation());
        return true;
    }
    QPrintDialog dialog(&printer);
    // The PDF output is one of the printers here, so printing to a file stays
    // offered whatever the flags say.
    QAbstractPrintDialog::PrintDialogOptions options = QAbstractPrintDialog::PrintToFile |
                                                       QAbstractPrintDialog::PrintCollateCopies |
                                                       QAbstractPrintDialog::PrintShowPageSize;
    if (!(request.flags & PD_NOPAGENUMS))
        options |= QAbstractPrintDialog::PrintPageRange;
    if (!(request.flags & PD_NOSELECTION))
        options |= QAbstractPrintDialog::PrintSelection;
    dialog.setOptions(options);
    dialog.setMinMax(request.minPage, request.maxPage);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<PrintDialogResult> QtPrintSystem::ShowPrintDialog(const PrintDialogRequest& request) {
    auto printer = MakePrinter(request.deviceName, request.settings);
    printer->setPrintRange(QPrinter::AllPages);
    printer->setFromTo(0, 0);
    if (!RunDialog(*printer, request))
        return std::nullopt;

    PrintDialogResult result;
    switch (printer->printRange()) {
        case QPrinter::Selection:
            result.flags |= PD_SELECTION;
            break;
        case QPrinter::PageRange:
            result.flags |= PD_PAGENUMS;
            break;
        default:
            break;
    }
    if (printer->collateCopies())
        result.flags |= PD_COLLATE;
    result.fromPage = printer->fromPage();
    result.toPage = printer->toPage();
    result.copies = printer->copyCount();
    result.settings = SettingsOf(*printer);
    result.device = std::make_unique<QtPrinterDevice>(std::move(printer));
    return result;
}
