#include "output/clsPrinter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "output/print_job.h"

namespace {

constexpr const char* kDefaultDocName = "VARNHOLT SYSTEM APPLICATION";
constexpr const char* kNoPrinterInstalled =
    "印刷する前に、プリンタをインストールする必要があります。\r"
    "インストールするには、[スタート]メニューの[設定]をポイントし、[プリンタ]をクリックして、\r"
    "[プリンタの追加]をダブルクリックしてください。";
constexpr const char* kNoPrinterTitle = "印刷エラー";
constexpr const char* kNoDefaultPrinter = "通常使うﾌﾟﾘﾝﾀがありません。";

// The dialog's page numbers and copies are 16-bit.
std::int32_t Narrow16(std::int64_t value) {
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max())
        throw std::overflow_error("value outside the 16-bit range");
    return static_cast<std::int32_t>(value);
}

std::int32_t Narrow32(std::int64_t value) {
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        throw std::overflow_error("value outside the 32-bit range");
    return static_cast<std::int32_t>(value);
}

QColor ColorOf(std::int32_t colorRef) {
    return QColor(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

}  // namespace

clsPrinter::clsPrinter(PrintSystem& system, MessageSink& messages)
    : system_(system), messages_(messages) {
    Construct();
}

clsPrinter::~clsPrinter() {
    // A document still open at the end is dropped, never half-printed.
    if (device_ && device_->Painter())
        device_->AbortDoc();
}

void clsPrinter::Construct() {
    if (!PrintersInstalled())
        return;
    device_.reset();
    range_ = 1;
    startPage_ = 1;
    endPage_ = 1;
    copies_ = 1;
    docName_ = kDefaultDocName;
    output_.clear();

    settings_ = system_.DefaultSettings();
    if (settings_) {
        device_ = system_.CreateDevice(system_.DefaultPrinter(), *settings_);
        deviceName_ = ResolveDeviceName(settings_->deviceName);
        paperSize_ = settings_->paperSize;
        orientation_ = settings_->orientation;
    }
    if (device_) {
        fontSize_ = device_->FontHeight();
        fontWeight_ = device_->FontWeight();
        fontFace_ = device_->FontFace();
    }
}

bool clsPrinter::PrintersInstalled() const {
    return !system_.InstalledPrinters().empty();
}

bool clsPrinter::ExistPrinter() {
    bool installed = PrintersInstalled();
    if (installed && !device_) {
        std::string docName = docName_;
        Construct();
        docName_ = docName;
    }
    if (!installed)
        messages_.ShowMessage(kNoDefaultPrinter, MessageIcon::Exclamation);
    return installed;
}

std::int32_t clsPrinter::PrintMode() const {
    if (range_ & PD_SELECTION)
        return 2;
    if (range_ & PD_PAGENUMS)
        return 3;
    return 1;
}

bool clsPrinter::PrintCollect() const {
    return (range_ & PD_COLLATE) != 0;
}

void clsPrinter::EndPageNo(std::int32_t lEndPage) {
    endPage_ = Narrow16(lEndPage);
}

std::int32_t clsPrinter::FromPage() const {
    if (range_ & PD_SELECTION)
        return -1;
    if (range_ & PD_PAGENUMS)
        return fromPage_;
    return startPage_;
}

void clsPrinter::FromPage(std::int32_t lFromPage) {
    fromPage_ = Narrow16(lFromPage);
}

std::int32_t clsPrinter::ToPage() const {
    if (range_ & PD_SELECTION)
        return -1;
    if (range_ & PD_PAGENUMS)
        return toPage_;
    return endPage_;
}

void clsPrinter::ToPage(std::int32_t lToPage) {
    toPage_ = Narrow16(lToPage);
}

double clsPrinter::PixelPerMM() const {
    return device_ ? device_->LogPixelsX() / 25.4 : 0.0;
}

std::int32_t clsPrinter::StartDoc() {
    return device_ ? device_->StartDoc(docName_, output_) : 0;
}

std::int32_t clsPrinter::EndDoc() {
    return device_ ? device_->EndDoc() : 0;
}

std::int32_t clsPrinter::AbortDoc() {
    return device_ ? device_->AbortDoc() : 0;
}

std::int32_t clsPrinter::StartPage() {
    return device_ ? device_->StartPage() : 0;
}

std::int32_t clsPrinter::EndPage() {
    return device_ ? device_->EndPage() : 0;
}

void clsPrinter::ScaleMode(std::int32_t lMode) {
    if (device_ && lMode >= 1 && lMode <= 8)
        mapMode_ = lMode;
}

std::int32_t clsPrinter::Width() const {
    return device_ ? device_->HorzRes() : 0;
}

std::int32_t clsPrinter::Height() const {
    return device_ ? device_->VertRes() : 0;
}

void clsPrinter::GetPrinterOffset(std::int32_t& lTop, std::int32_t& lBottom, std::int32_t& lLeft,
                                  std::int32_t& lRight) const {
    if (!device_)
        return;
    lTop = PrinterOffsetTop();
    lBottom = PrinterOffsetBottom();
    lLeft = PrinterOffsetLeft();
    lRight = PrinterOffsetRight();
}

std::int32_t clsPrinter::PrinterOffsetTop() const {
    return device_ ? device_->PhysicalOffsetY() : 0;
}

std::int32_t clsPrinter::PrinterOffsetBottom() const {
    if (!device_)
        return 0;
    return Narrow32(static_cast<std::int64_t>(device_->PhysicalHeight()) -
                    device_->PhysicalOffsetY() - device_->VertRes());
}

std::int32_t clsPrinter::PrinterOffsetLeft() const {
    return device_ ? device_->PhysicalOffsetX() : 0;
}

std::int32_t clsPrinter::PrinterOffsetRight() const {
    if (!device_)
        return 0;
    return Narrow32(static_cast<std::int64_t>(device_->PhysicalWidth()) -
                    device_->PhysicalOffsetX() - device_->HorzRes());
}

void clsPrinter::ApplyMapping() const {
    QPainter* painter = device_ ? device_->Painter() : nullptr;
    if (!painter)
        return;
    // Logical units per inch of the fixed mapping modes; y grows upwards in them.
    static constexpr double kUnitsPerInch[] = {0, 0, 254, 2540, 100, 1000, 1440};
    painter->resetTransform();
    if (mapMode_ >= 2 && mapMode_ <= 6) {
        double s = device_->LogPixelsX() / kUnitsPerInch[mapMode_];
        painter->scale(s, -s);
    }
}

void clsPrinter::SetFont(const std::string& sFontName, std::int32_t lFontSize,
                         std::int32_t lFontWeight, std::int32_t lFontEscapement,
                         std::int32_t lFontColor) {
    if (!device_)
        return;
    fontFace_ = sFontName;
    fontSize_ = lFontSize;
    fontWeight_ = lFontWeight;
    fontEscapement_ = lFontEscapement;
    fontColor_ = lFontColor;
    fontMade_ = true;
}

void clsPrinter::DrawText(std::int32_t lX, std::int32_t lY, std::int32_t lAlign,
                          const std::string& sText) {
    QPainter* painter = device_ ? device_->Painter() : nullptr;
    if (!painter)
        return;
    painter->save();
    ApplyMapping();
    QFont font(QString::fromStdString(fontFace_));
    font.setPixelSize(std::max(1, std::abs(fontSize_)));
    font.setWeight(fontWeight_ >= 600 ? QFont::Bold : QFont::Normal);
    QFontMetricsF metrics(font);
    QString text = QString::fromStdString(sText);
    painter->translate(lX, lY);
    if (mapMode_ >= 2 && mapMode_ <= 6)
        painter->scale(1, -1);  // text stands upright whatever the mapping
    if (fontEscapement_ != 0)
        painter->rotate(-fontEscapement_ / 10.0);
    double width = metrics.horizontalAdvance(text);
    double x = (lAlign & 6) == 6 ? -width / 2 : (lAlign & 2) ? -width : 0;
    double y = (lAlign & 24) == 24 ? 0 : (lAlign & 8) ? -metrics.descent() : metrics.ascent();
    painter->setFont(font);
    painter->setPen(fontMade_ ? ColorOf(fontColor_) : QColor(Qt::black));
    painter->drawText(QPointF(x, y), text);
    painter->restore();
}

void clsPrinter::SelectPen(std::int32_t lStyle, std::int32_t lWidth, std::int32_t lColor) {
    if (!device_)
        return;
    penStyle_ = lStyle;
    penWidth_ = lWidth;
    penColor_ = lColor;
}

void clsPrinter::DrawPolyline(std::span<const double> x, std::span<const double> y,
                              std::int32_t n) {
    QPainter* painter = device_ ? device_->Painter() : nullptr;
    if (!painter || n <= 0)
        return;
    std::size_t count = std::min({static_cast<std::size_t>(n), x.size(), y.size()});
    QPolygonF points;
    for (std::size_t i = 0; i < count; ++i)
        points.append(QPointF(x[i], y[i]));
    painter->save();
    ApplyMapping();
    static constexpr Qt::PenStyle kStyles[] = {Qt::SolidLine,   Qt::DashLine,       Qt::DotLine,
                                               Qt::DashDotLine, Qt::DashDotDotLine, Qt::NoPen};
    QPen pen(ColorOf(penColor_));
    pen.setWidth(std::max(penWidth_, 1));
    pen.setStyle(kStyles[penStyle_ >= 0 && penStyle_ <= 5 ? penStyle_ : 0]);
    painter->setPen(pen);
    painter->drawPolyline(points);
    painter->restore();
}

bool clsPrinter::ShowPrintSetupDlg() {
    return ShowPrintDlg(PD_PRINTSETUP | PD_RETURNDC);
}

bool clsPrinter::ShowPrintDlg(std::int32_t lOption) {
    if (!PrintersInstalled()) {
        messages_.ShowMessage(kNoPrinterInstalled, MessageIcon::Exclamation, kNoPrinterTitle);
        return false;
    }
    PrintDialogRequest request;
    request.flags = lOption | PD_RETURNDC;
    if (IsOsVersion40())
        request.flags |= PD_NOPAGENUMS;
    // The dialog opens on the first document page as its whole range.
    request.fromPage = Narrow16(startPage_);
    request.toPage = request.fromPage;
    request.minPage = request.fromPage;
    request.maxPage = endPage_;
    request.deviceName = deviceName_;
    if (settings_)
        request.settings = *settings_;

    std::optional<PrintDialogResult> result = system_.ShowPrintDialog(request);
    if (!result)
        return false;

    device_ = std::move(result->device);
    settings_ = result->settings;
    range_ = (result->flags & PD_SELECTION) ? 1 : (result->flags & PD_PAGENUMS) ? 2 : 0;
    if (result->flags & PD_COLLATE)
        range_ += 0x10;
    fromPage_ = Narrow16(result->fromPage);
    toPage_ = Narrow16(result->toPage);
    copies_ = Narrow16(result->copies);
    orientation_ = settings_->orientation;
    paperSize_ = settings_->paperSize;
    deviceName_ = ResolveDeviceName(settings_->deviceName);
    return true;
}

std::string clsPrinter::TrimAtNull(const std::string& text) {
    return text.substr(0, text.find('\0'));
}

bool clsPrinter::SamePrefix(const std::string& a, const std::string& b, std::size_t n) {
    return a.size() >= n && b.size() >= n && a.compare(0, n, b, 0, n) == 0;
}

std::string clsPrinter::ResolveDeviceName(const std::string& name) const {
    if (name.empty())
        return {};
    std::string result = TrimAtNull(name);
    // The last installed printer whose name begins with the cut name wins.
    for (const std::string& printer : system_.InstalledPrinters()) {
        std::size_t n = std::min(printer.size(), result.size());
        if (SamePrefix(printer, result, n))
            result = printer;
    }
    return result;
}
