#include "ui/dialogs/frmPreview.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QWidget>

#include <algorithm>
#include <cmath>

#include "output/clsPrinter.h"
#include "output/metafile_player.h"
#include "output/print_job.h"
#include "sheets/printed_pages.h"
#include "ui/dialogs/frmYohaku.h"
#include "ui/platform/platform_services.h"
#include "ui/widgets/scroll_input.h"

namespace {

// The window as designed; the viewport follows every change of its size.
constexpr int kFormWidth = 760;
constexpr int kFormHeight = 600;
constexpr int kButtonTop = 6;
constexpr int kButtonHeight = 26;
constexpr int kButtonWidth = 88;
constexpr int kButtonGap = 4;
constexpr int kViewportLeft = 6;
constexpr int kViewportTop = kButtonTop + kButtonHeight + 8;

int Nearest(double value) {
    return static_cast<int>(std::nearbyint(value));
}

}  // namespace

// The page box: it asks the window to paint it.
class frmPreview::PageBox : public QWidget {
  public:
    PageBox(frmPreview& owner, QWidget* parent) : QWidget(parent), owner_(owner) {}

  protected:
    void paintEvent(QPaintEvent*) override { owner_.PaintPageBox(*this); }

  private:
    frmPreview& owner_;
};

frmPreview::frmPreview(Document& doc, Settings& settings, SheetCanvases& canvases,
                       const ProgramInfo& program, PrinterAccess printer,
                       PlatformServices& services, const PrintItemFlags& printItems,
                       QWidget* parent)
    : QDialog(parent),
      doc_(doc),
      settings_(settings),
      canvases_(canvases),
      program_(program),
      printer_(std::move(printer)),
      services_(services),
      printItems_(printItems) {
    setObjectName("frmPreview");
    setWindowTitle(QStringLiteral("Vekt/Quilmorn"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    RunModal = [](QDialog& dialog) { return dialog.exec(); };
    resize(kFormWidth, kFormHeight);

    struct ButtonDef {
        QPushButton*& button;
        const char* name;
        const char* caption;
        void (frmPreview::*slot)();
    };
    const ButtonDef buttons[] = {
        {cmdPrintDlg, "cmdPrintDlg", "印刷...", &frmPreview::cmdPrintDlg_Click},
        {cmdSetupPRT, "cmdSetupPRT", "ﾌﾟﾘﾝﾀ設定...", &frmPreview::cmdSetupPRT_Click},
        {cmdYohaku, "cmdYohaku", "余白設定...", &frmPreview::cmdYohaku_Click},
        {cmdScaleup, "cmdScaleup", "拡大", &frmPreview::cmdScaleup_Click},
        {cmdScaledown, "cmdScaledown", "全体表示", &frmPreview::cmdScaledown_Click},
        {cmdPreviouspage, "cmdPreviouspage", "前ページ", &frmPreview::cmdPreviouspage_Click},
        {cmdNextpage, "cmdNextpage", "次ページ", &frmPreview::cmdNextpage_Click},
        {cmdClose, "cmdClose", "閉じる", &frmPreview::cmdClose_Click},
    };
    int left = kViewportLeft;
    for (const ButtonDef& def : buttons) {
        def.button = new QPushButton(QString::fromUtf8(def.caption), this);
        def.button->setObjectName(def.name);
        def.button->setAutoDefault(false);
        def.button->setGeometry(left, kButtonTop, kButtonWidth, kButtonHeight);
        connect(def.button, &QPushButton::clicked, this, def.slot);
        left += kButtonWidth + kButtonGap;
    }
    cmdPreviouspage->setEnabled(false);

    auto* viewport = new QWidget(this);
    viewport->setObjectName("picPreview0");
    viewport->setAutoFillBackground(true);
    QPalette shade = viewport->palette();
    shade.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    viewport->setPalette(shade);
    viewport->setGeometry(kViewportLeft, kViewportTop, kFormWidth - 2 * kViewportLeft,
                          kFormHeight - kViewportTop - kViewportLeft);
    picPreview[0] = viewport;
    auto* box = new PageBox(*this, viewport);
    box->setObjectName("picPreview1");
    picPreview[1] = box;
    VScrollPreView = new QScrollBar(Qt::Vertical, viewport);
    VScrollPreView->setObjectName("VScrollPreView");
    HScrollPreView = new QScrollBar(Qt::Horizontal, viewport);
    HScrollPreView->setObjectName("HScrollPreView");
    connect(VScrollPreView, &QScrollBar::valueChanged, this, [this] { Paint(); });
    connect(HScrollPreView, &QScrollBar::valueChanged, this, [this] { Paint(); });

    // Loading: both pages are built now, with the print items given.
    loadFormSize_ = size();
    loadViewportSize_ = viewport->size();
    currentPage_ = 0;
    RecordPages();
    cmdScaledown->setEnabled(false);

    // The wheel and the page keys scroll the page wherever the pointer or
    // the focus is in the window; the layout follows the opening size.
    installEventFilter(new ScrollInputFilter(this, VScrollPreView, HScrollPreView));
    if (QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen())
        resize(OpeningSize(screen->availableGeometry().size()));
    Form_Resize();
}

QSize frmPreview::OpeningSize(const QSize& available) {
    // Most of the screen's height, so that a page is readable at zoom 1, and
    // as wide as the design's proportions give, within the screen.
    int height = std::max(kFormHeight, available.height() * 9 / 10);
    int width = std::max(kFormWidth,
                         std::min(available.width() * 9 / 10, height * kFormWidth / kFormHeight));
    return {width, height};
}

frmPreview::~frmPreview() = default;

void frmPreview::RecordPages() {
    RecordPrintedPages(canvases_, doc_, settings_, printer_(), program_, printItems_);
}

int frmPreview::BarExtent() const {
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, VScrollPreView);
}

int frmPreview::ViewportWidth() const {
    return picPreview[0]->width();
}

int frmPreview::ViewportHeight() const {
    return picPreview[0]->height();
}

bool frmPreview::ClippedHorizontally() const {
    return boxWidth_ == ViewportWidth() - BarExtent();
}

bool frmPreview::ClippedVertically() const {
    return boxHeight_ == ViewportHeight() - BarExtent() - 10;
}

void frmPreview::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Form_Resize();
}

void frmPreview::Form_Resize() {
    if (isMinimized())
        return;
    QSize viewport = loadViewportSize_ + (size() - loadFormSize_);
    picPreview[0]->resize(std::max(viewport.width(), 0), std::max(viewport.height(), 0));

    zoom_ = 1;
    const clsPrinter& printer = printer_();
    const double W = printer.Width();
    const double H = printer.Height();
    const int bar = BarExtent();
    boxHeight_ = ViewportHeight() - bar - 20;
    // Without a printer there is no page geometry: the page box stays empty.
    boxWidth_ =
        W > 0 && H > 0 ? std::min<double>(ViewportWidth() - bar - 20, boxHeight_ * W / H) : 0;
    boxLeft_ = (ViewportWidth() - bar - boxWidth_) / 2;
    boxTop_ = 10;
    baseHeight_ = Nearest(boxHeight_);
    baseWidth_ = Nearest(boxWidth_);
    PlacePageBox();
    LayoutBars();
}

void frmPreview::PlacePageBox() {
    picPreview[1]->setGeometry(Nearest(boxLeft_), Nearest(boxTop_), std::max(Nearest(boxWidth_), 0),
                               std::max(Nearest(boxHeight_), 0));
}

void frmPreview::LayoutBars() {
    const int bar = BarExtent();
    const int vw = ViewportWidth();
    const int vh = ViewportHeight();
    VScrollPreView->setGeometry(vw - bar, 0, bar, std::max(vh - bar, 0));
    HScrollPreView->setGeometry(0, vh - bar, std::max(vw - bar, 0), bar);

    const clsPrinter& printer = printer_();
    const int W = printer.Width();
    const int H = printer.Height();
    if (W <= 0 || H <= 0 || baseWidth_ <= 0 || baseHeight_ <= 0 || boxWidth_ <= 0 ||
        boxHeight_ <= 0) {
        VScrollPreView->setRange(0, 0);
        HScrollPreView->setRange(0, 0);
        Paint();
        return;
    }

    // Each large change is the viewport's length in printer pixels, at one
    // scale for both directions.
    const double vBar = std::max(vh - bar, 0);
    int vLarge = ClippedVertically() ? Nearest(vBar * W / (baseWidth_ * zoom_))
                                     : Nearest(vBar * W / boxWidth_);
    vLarge = std::min(vLarge, H);
    VScrollPreView->setPageStep(vLarge);
    VScrollPreView->setSingleStep(Nearest(vLarge / 10.0));
    VScrollPreView->setRange(0, H - vLarge);

    const double hBar = std::max(vw - bar, 0);
    int hLarge = ClippedHorizontally() ? Nearest(hBar * H / (baseHeight_ * zoom_))
                                       : Nearest(hBar * H / boxHeight_);
    hLarge = std::min(hLarge, W);
    HScrollPreView->setPageStep(hLarge);
    HScrollPreView->setSingleStep(Nearest(hLarge / 10.0));
    HScrollPreView->setRange(0, W - hLarge);
    // A zoomed page wider than the viewport is first shown from its middle.
    HScrollPreView->setValue(ClippedHorizontally() ? Nearest((W - hLarge) / 2.0) : 0);
    Paint();
}

std::optional<PreviewPlayRect> frmPreview::PlayRect() const {
    const clsPrinter& printer = printer_();
    const double p = printer.PixelPerMM();
    const double W = printer.Width();
    const double H = printer.Height();
    if (p <= 0 || W <= 0 || H <= 0 || baseWidth_ <= 0 || baseHeight_ <= 0)
        return std::nullopt;

    // Screen pixels per millimetre of margin. Unlike printing, the printer's
    // unprintable offsets are not taken off: the box is the printable area.
    const double m = p * (baseWidth_ / W) * zoom_;
    const double top = settings_.printMargins[0];
    const double bottom = settings_.printMargins[1];
    const double left = settings_.printMargins[2];
    const double right = settings_.printMargins[3];

    int x2 = 0;
    double xScroll = 0;
    if (ClippedHorizontally()) {
        x2 = Nearest(baseWidth_ * zoom_ - (left + right) * m);
        xScroll = HScrollPreView->value() * Nearest(baseWidth_ * zoom_) / W;
    } else {
        x2 = Nearest(boxWidth_ - (left + right) * m);
    }
    const int x0 = Nearest(xScroll - left * m);

    int y2 = 0;
    double yScroll = 0;
    if (ClippedVertically()) {
        y2 = Nearest(baseHeight_ * zoom_ - (top + bottom) * m);
        yScroll = VScrollPreView->value() * Nearest(baseHeight_ * zoom_) / H;
    } else {
        y2 = Nearest(boxHeight_ - (top + bottom) * m);
    }
    const int y0 = Nearest(yScroll - top * m);

    return PreviewPlayRect{-x0, -y0, x2 - x0, y2 - y0};
}

void frmPreview::Paint() {
    picPreview[1]->update();
}

void frmPreview::PaintPageBox(QWidget& box) {
    QPainter painter(&box);
    painter.fillRect(box.rect(), Qt::white);
    // Opaque text boxes take the painter's background, which would otherwise
    // be the grey of the viewport around the page.
    painter.setBackground(Qt::white);
    std::optional<PreviewPlayRect> rect = PlayRect();
    if (!rect)
        return;
    canvases_.pageMeta[currentPage_ + 1].PicPlay(PainterTarget(painter), rect->x1, rect->y1,
                                                 rect->x2, rect->y2);
}

void frmPreview::cmdNextpage_Click() {
    currentPage_ = 1;
    Paint();
    cmdPreviouspage->setEnabled(true);
    cmdNextpage->setEnabled(false);
}

void frmPreview::cmdPreviouspage_Click() {
    currentPage_ = 0;
    Paint();
    cmdNextpage->setEnabled(true);
    cmdPreviouspage->setEnabled(false);
}

void frmPreview::cmdScaleup_Click() {
    if (zoom_ > 3)
        return;
    zoom_ *= 2;
    cmdScaleup->setEnabled(zoom_ != 4);
    cmdScaledown->setEnabled(true);
    const int bar = BarExtent();
    boxWidth_ = std::min<double>(baseWidth_ * zoom_, ViewportWidth() - bar);
    boxHeight_ = std::min<double>(baseHeight_ * zoom_, ViewportHeight() - bar - 10);
    boxLeft_ = ClippedHorizontally() ? 0 : (ViewportWidth() - bar - boxWidth_) / 2;
    PlacePageBox();
    LayoutBars();
}

void frmPreview::cmdScaledown_Click() {
    Form_Resize();
    cmdScaleup->setEnabled(true);
    cmdScaledown->setEnabled(false);
}

void frmPreview::cmdPrintDlg_Click() {
    // The dialog may choose another paper: the pages are composed for it, and
    // the preview then shows what was printed.
    bool recomposed = false;
    PrintPages(printer_(), canvases_.pageMeta, settings_.printMargins, services_, [&] {
        RecordPages();
        recomposed = true;
    });
    if (recomposed) {
        Form_Resize();
        cmdScaleup->setEnabled(true);
    }
}

void frmPreview::cmdSetupPRT_Click() {
    if (!printer_().ShowPrintSetupDlg())
        return;
    RecordPages();
    Form_Resize();
    cmdScaleup->setEnabled(true);
}

void frmPreview::cmdYohaku_Click() {
    {
        frmYohaku dialog(settings_, doc_, program_, printer_, services_, this);
        RunModal(dialog);
    }
    // The pages are not built again: the recording is fitted into the new
    // margins.
    Paint();
}

void frmPreview::cmdClose_Click() {
    hide();
}
