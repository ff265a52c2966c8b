#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// Up-down arrows beside a text box (their buddy): each arrow steps the number
// in the box by one, kept between a least and a greatest value, and writes it
// back as a decimal integer. A box whose text is not a whole number steps from
// the last value the arrows wrote.
class UpDown : public QWidget {
    Q_OBJECT

  public:
    UpDown(QLineEdit* buddy, int minimum, int maximum, QWidget* parent = nullptr);

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

  public slots:
    void StepUp() { Step(1); }
    void StepDown() { Step(-1); }

  private:
    void Step(int delta);

    QLineEdit* buddy_;
    QToolButton* up_;
    QToolButton* down_;
    int minimum_;
    int maximum_;
    int value_;
};
