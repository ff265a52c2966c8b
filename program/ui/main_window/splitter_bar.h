#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <functional>

// The main window's horizontal splitter: a raised bar with the resize
// cursor. While it is dragged an outline of the bar follows the pointer over
// the window, so the user sees where it will land; on release the outline
// goes and `drop` receives the pointer's screen position.
class SplitterBar : public QWidget {
  public:
    SplitterBar(QWidget* parent, std::function<void(QPoint)> drop);

    // The outline shown while dragging, or null when none is shown.
    QWidget* DragOutline() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void MoveOutline(QPoint global);

    std::function<void(QPoint)> drop_;
    QPointer<QWidget> outline_;
    // The pointer's distance below the bar's top where the drag began.
    int grabOffset_ = 0;
};
