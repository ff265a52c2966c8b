// The figure tab: switching its pages, and the figure pane that replays the
// five screen canvases at the pane's width under its vertical scroll bar.
#include <QCheckBox>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <cmath>

#include "output/metafile_player.h"
#include "ui/main_window/frmMain.h"

namespace {

int Nearest(double v) {
    return static_cast<int>(std::nearbyint(v));
}

int ScrollBarWidth(const QWidget* w) {
    return w->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, w);
}

}  // namespace

void frmMain::picShow_Resize(int index) {
    if (index == 0) {
        QWidget* pane = picShow[0];
        int barWidth = ScrollBarWidth(VScrollShow);
        int left = pane->width() - barWidth;
        VScrollShow->setGeometry(left, 0, barWidth, pane->height());
        const clsStrMeta& sheet = canvases.viewMeta[kViewFrame];
        // A pane narrower than its scroll bar, or no figure yet, leaves the
        // scroll bar as it is.
        if (left > 0 && sheet.lXM > 0) {
            int page = Nearest(static_cast<double>(VScrollShow->height()) * sheet.lXM / left);
            if (sheet.lYM < page)
                page = sheet.lYM;
            VScrollShow->setPageStep(page);
            VScrollShow->setSingleStep(std::max(1, Nearest(page / 10.0)));
            VScrollShow->setMinimum(0);
            VScrollShow->setMaximum(std::max(0, sheet.lYM - page));
        }
    }
    picShow_Paint(index);
}

void frmMain::picShow_Paint(int index) {
    if (index == 0)
        picShow[0]->update();
}

void frmMain::PaintFigurePane(QPainter& painter) {
    QWidget* pane = picShow[0];
    int w = pane->width() - ScrollBarWidth(VScrollShow);
    int h = pane->height();
    painter.fillRect(pane->rect(), Qt::white);
    const clsStrMeta& sheet = canvases.viewMeta[kViewFrame];
    if (w <= 0 || sheet.lXM <= 0)
        return;
    int offset = Nearest(static_cast<double>(VScrollShow->value()) * w / sheet.lXM);
    double full = static_cast<double>(sheet.lYM) * w / sheet.lXM;
    if (full > h)
        h = Nearest(full);
    painter.setBackground(Qt::white);
    PainterTarget target(painter);
    for (size_t view = kViewFrame; view <= kViewFlMarks; ++view)
        canvases.viewMeta[view].PicPlay(target, 0, -offset, w, h);
}

void frmMain::VScrollShow_Change() {
    picShow_Paint(0);
}

void frmMain::tabShow_Click() {
    QString key = tabShow->tabData(tabShow->currentIndex()).toString();
    picShow[0]->setVisible(key == QLatin1String("Zu"));
    picShow[1]->setVisible(key == QLatin1String("Eki"));
    picShow[2]->setVisible(key == QLatin1String("Ekiout"));
    if (key == QLatin1String("Eki")) {
        FocusOrder =
            std::array<QWidget*, 7>{txtMagu,       txtKasokudo,   txtCalcDepth, chkEkidata[0],
                                    chkEkidata[1], chkEkidata[2], chkEkidata[3]};
        txtMagu->setFocus(Qt::OtherFocusReason);
        HelpContextID = kHelpConditions;
    } else {
        HelpContextID = kHelpFigureAndResults;
    }
    RecalculateAndRedraw();
}

void frmMain::tabShow_GotFocus() {
    SetEditMenu();
}
