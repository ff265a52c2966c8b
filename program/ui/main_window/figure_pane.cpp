#include "ui/main_window/figure_pane.h"

#include <QPainter>

FigurePane::FigurePane(QWidget* parent, std::function<void(QPainter&)> paint,
                       std::function<void()> resized)
    : QWidget(parent), paint_(std::move(paint)), resized_(std::move(resized)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FigurePane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paint_(painter);
}

void FigurePane::resizeEvent(QResizeEvent*) {
    resized_();
}
