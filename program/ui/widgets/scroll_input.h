#pragma once

#include <QObject>
#include <QPointer>

class QScrollBar;

// Scrolls a pane's bars from the mouse wheel and the page keys, as a
// scrollable view on the desktop does: one notch of the wheel moves the
// vertical bar by its small change (sideways, or with Shift held, the
// horizontal bar), PageUp and PageDown move the vertical bar by its large
// change. Installed as an event filter on the pane, or on a window for the
// keys and wheel turns its children leave unhandled.
class ScrollInputFilter : public QObject {
  public:
    ScrollInputFilter(QObject* parent, QScrollBar* vertical, QScrollBar* horizontal = nullptr);

    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPointer<QScrollBar> vertical_;
    QPointer<QScrollBar> horizontal_;
};
