#pragma once

#include <QPlainTextEdit>

// A text box that shows whole lines only: the room below its last whole line
// stays empty instead of showing the top of the next line cut off.
class WholeLinesText : public QPlainTextEdit {
  public:
    using QPlainTextEdit::QPlainTextEdit;

  protected:
    void paintEvent(QPaintEvent* event) override;
};
