#include "ui/main_window/splitter_bar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>
#include <algorithm>

namespace {

// The drag outline: a hatched grey band the height of the bar, drawn over
// the window's controls.
class DragOutline : public QWidget {
  public:
    explicit DragOutline(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setObjectName(QStringLiteral("picSplitOutline"));
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QBrush(Qt::darkGray, Qt::Dense4Pattern));
        painter.setPen(Qt::black);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

}  // namespace

SplitterBar::SplitterBar(QWidget* parent, std::function<void(QPoint)> drop)
    : QWidget(parent), drop_(std::move(drop)) {
    setCursor(Qt::SplitVCursor);
    setAutoFillBackground(true);
}

QWidget* SplitterBar::DragOutline() const {
    return outline_ != nullptr && outline_->isVisible() ? outline_.data() : nullptr;
}

void SplitterBar::paintEvent(QPaintEvent*) {
    // A raised bar a shade darker than the window, light above and shadowed
    // below, with a grip of dots in the middle of the window's width.
    QPainter painter(this);
    const QPalette& pal = palette();
    painter.fillRect(rect(), pal.button().color().darker(112));
    painter.setPen(pal.light().color());
    painter.drawLine(0, 0, width() - 1, 0);
    painter.setPen(pal.shadow().color());
    painter.drawLine(0, height() - 1, width() - 1, height() - 1);
    if (parentWidget() != nullptr && height() >= 3) {
        int middle = mapFromParent(QPoint(parentWidget()->width() / 2, 0)).x();
        painter.setPen(pal.dark().color());
        for (int dot = -5; dot <= 5; ++dot)
            painter.drawPoint(middle + 4 * dot, height() / 2);
    }
}

void SplitterBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || parentWidget() == nullptr)
        return;
    grabOffset_ = event->position().toPoint().y();
    if (outline_ == nullptr)
        outline_ = new ::DragOutline(parentWidget());
    MoveOutline(event->globalPosition().toPoint());
    outline_->show();
    outline_->raise();
}

void SplitterBar::mouseMoveEvent(QMouseEvent* event) {
    if (DragOutline() != nullptr)
        MoveOutline(event->globalPosition().toPoint());
}

void SplitterBar::mouseReleaseEvent(QMouseEvent* event) {
    if (DragOutline() == nullptr || event->button() != Qt::LeftButton)
        return;
    outline_->hide();
    drop_(event->globalPosition().toPoint());
}

void SplitterBar::MoveOutline(QPoint global) {
    QWidget* area = parentWidget();
    int top = area->mapFromGlobal(global).y() - grabOffset_;
    top = std::clamp(top, 0, std::max(0, area->height() - height()));
    outline_->setGeometry(0, top, area->width(), height());
}
