#include "ui/widgets/scroll_input.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <cmath>

namespace {

// One notch of a wheel turns the angle by 120 units; a finer wheel or a
// touchpad reports parts of a notch, which move the bar in proportion.
constexpr double kNotch = 120.0;

bool MoveBy(QScrollBar* bar, double notches) {
    if (bar == nullptr || !bar->isEnabled() || notches == 0)
        return false;
    // Turning the wheel away from the user scrolls towards the top.
    int step = static_cast<int>(std::lround(notches * bar->singleStep()));
    if (step == 0)
        step = notches > 0 ? 1 : -1;
    bar->setValue(bar->value() - step);
    return true;
}

}  // namespace

ScrollInputFilter::ScrollInputFilter(QObject* parent, QScrollBar* vertical, QScrollBar* horizontal)
    : QObject(parent), vertical_(vertical), horizontal_(horizontal) {}

bool ScrollInputFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        QPoint angle = wheel->angleDelta();
        bool moved = false;
        if ((wheel->modifiers() & Qt::ShiftModifier) && angle.x() == 0)
            moved = MoveBy(horizontal_, angle.y() / kNotch);
        else
            moved = MoveBy(vertical_, angle.y() / kNotch) | MoveBy(horizontal_, angle.x() / kNotch);
        if (moved) {
            wheel->accept();
            return true;
        }
    } else if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (vertical_ != nullptr && vertical_->isEnabled() && key->modifiers() == Qt::NoModifier &&
            (key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown)) {
            int page = vertical_->pageStep();
            vertical_->setValue(vertical_->value() + (key->key() == Qt::Key_PageUp ? -page : page));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
