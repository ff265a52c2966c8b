#pragma once

#include <QCheckBox>

// A check box whose caption wraps onto further lines when it is longer than
// the box is wide; the box stays at the first line. Clicking anywhere on it,
// the wrapped lines included, toggles it.
class WrappingCheckBox : public QCheckBox {
  public:
    using QCheckBox::QCheckBox;

    bool hasHeightForWidth() const override { return true; }
    // The height the caption needs at `width` pixels, at least one line.
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

  private:
    int IndicatorWidth() const;
    int IndicatorHeight() const;
    int TextLeft() const;
    int LineHeight() const;
    QRect TextRect(int width) const;
};
