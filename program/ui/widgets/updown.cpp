#include "ui/widgets/updown.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "core/number_text.h"
#include "core/text_number.h"

UpDown::UpDown(QLineEdit* buddy, int minimum, int maximum, QWidget* parent)
    : QWidget(parent),
      buddy_(buddy),
      up_(new QToolButton(this)),
      down_(new QToolButton(this)),
      minimum_(minimum),
      maximum_(maximum),
      value_(minimum) {
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {up_, down_}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedHeight(buddy->sizeHint().height() / 2);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
    connect(up_, &QToolButton::clicked, this, &UpDown::StepUp);
    connect(down_, &QToolButton::clicked, this, &UpDown::StepDown);
}

void UpDown::Step(int delta) {
    std::optional<double> typed = ParseNumber(HalfWidthNumberText(buddy_->text().toStdString()));
    if (typed && std::isfinite(*typed) && *typed == std::trunc(*typed))
        value_ = static_cast<int>(
            std::clamp(*typed, static_cast<double>(minimum_), static_cast<double>(maximum_)));
    value_ = std::clamp(value_ + delta, minimum_, maximum_);
    buddy_->setText(QString::number(value_));
}
