#include "ui/main_window/twips_layout.h"

#include <QWidget>
#include <algorithm>
#include <cmath>

namespace {

int Nearest(double v) {
    return static_cast<int>(std::nearbyint(v));
}

}  // namespace

TwipsRect TwipsLayout::Get(const QWidget* w) const {
    if (auto it = rects_.find(w); it != rects_.end())
        return it->second;
    QRect g = w->geometry();
    return {ToTwipsX(g.x()), ToTwipsY(g.y()), ToTwipsX(g.width()), ToTwipsY(g.height())};
}

void TwipsLayout::Set(QWidget* w, const TwipsRect& r) {
    rects_[w] = r;
    Apply(w, r);
}

void TwipsLayout::SetLeft(QWidget* w, int v) {
    TwipsRect r = Get(w);
    r.left = v;
    Set(w, r);
}

void TwipsLayout::SetTop(QWidget* w, int v) {
    TwipsRect r = Get(w);
    r.top = v;
    Set(w, r);
}

void TwipsLayout::SetWidth(QWidget* w, int v) {
    TwipsRect r = Get(w);
    r.width = v;
    Set(w, r);
}

void TwipsLayout::SetHeight(QWidget* w, int v) {
    TwipsRect r = Get(w);
    r.height = v;
    Set(w, r);
}

int TwipsLayout::ToTwipsX(double px) const {
    return Nearest(px * tppX_);
}

int TwipsLayout::ToTwipsY(double px) const {
    return Nearest(px * tppY_);
}

int TwipsLayout::ToPixelsX(double twips) const {
    return Nearest(twips / tppX_);
}

int TwipsLayout::ToPixelsY(double twips) const {
    return Nearest(twips / tppY_);
}

void TwipsLayout::Apply(QWidget* w, const TwipsRect& r) const {
    // A negative size (a window shrunk below what a rule expects) shows
    // nothing rather than a reversed rectangle.
    int x1 = ToPixelsX(r.left);
    int y1 = ToPixelsY(r.top);
    int x2 = ToPixelsX(static_cast<double>(r.left) + r.width);
    int y2 = ToPixelsY(static_cast<double>(r.top) + r.height);
    w->setGeometry(x1, y1, std::max(0, x2 - x1), std::max(0, y2 - y1));
}
