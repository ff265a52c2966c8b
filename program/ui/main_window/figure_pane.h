#pragma once

#include <QWidget>
#include <functional>

class QPainter;

// The figure pane of the main window: a plain surface whose painting and
// resize handling belong to the window, which replays its recorded figures
// on every paint (the pane keeps no bitmap).
class FigurePane : public QWidget {
  public:
    FigurePane(QWidget* parent, std::function<void(QPainter&)> paint,
               std::function<void()> resized);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    std::function<void(QPainter&)> paint_;
    std::function<void()> resized_;
};
