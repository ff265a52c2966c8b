#include "ui/widgets/wrapping_check_box.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>

namespace {

constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextShowMnemonic;

}  // namespace

int WrappingCheckBox::IndicatorWidth() const {
    return style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this);
}

int WrappingCheckBox::IndicatorHeight() const {
    return style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, this);
}

int WrappingCheckBox::TextLeft() const {
    return IndicatorWidth() + style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, this);
}

int WrappingCheckBox::LineHeight() const {
    return std::max(IndicatorHeight(), fontMetrics().height());
}

QRect WrappingCheckBox::TextRect(int width) const {
    // The first line is centred on the indicator, the others follow it.
    int top = (LineHeight() - fontMetrics().height()) / 2;
    return QRect(TextLeft(), top, std::max(1, width - TextLeft()), 100000);
}

int WrappingCheckBox::heightForWidth(int width) const {
    QRect text = TextRect(width);
    QRect lines = fontMetrics().boundingRect(text, kTextFlags, this->text());
    return std::max(LineHeight(), lines.bottom() + 1);
}

QSize WrappingCheckBox::sizeHint() const {
    QSize oneLine = QCheckBox::sizeHint();
    return {oneLine.width(), heightForWidth(width() > 0 ? width() : oneLine.width())};
}

void WrappingCheckBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.rect =
        QRect(0, (LineHeight() - IndicatorHeight()) / 2, IndicatorWidth(), IndicatorHeight());
    style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter, this);

    QRect text = TextRect(width());
    text.setHeight(height() - text.top());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    QRect drawn;
    painter.drawText(text, kTextFlags, this->text(), &drawn);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = drawn.adjusted(-1, 0, 1, 0);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}
