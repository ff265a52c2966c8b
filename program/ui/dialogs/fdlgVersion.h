#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>

#include "core/program_info.h"

class QLabel;
class QPushButton;

// The version dialog: the program's title, its version and two legal notices,
// centred over the main window. The caller makes it with the main window as
// parent and shows it with exec(); OK closes it.
class fdlgVersion : public QDialog {
    Q_OBJECT

  public:
    explicit fdlgVersion(const ProgramInfo& program, QWidget* mainForm = nullptr);

    QLabel* picIcon = nullptr;
    // 0 the title, 1 "Version", 2 the copyright notice, 4 the warning notice;
    // there is no 3.
    std::array<QLabel*, 5> lblStatic{};
    QLabel* lblVersion = nullptr;
    QPushButton* cmdOK = nullptr;

  public slots:
    void cmdOK_Click();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QWidget* mainForm_;
};

// The version as the dialog shows it: two decimals, "9.99" for a version of 0.
std::string VersionText(double programVersion);

// Where a window of size `form` goes to lie centred over `main` (frame
// geometries): halfway by whole units, dropping a half toward zero, and never
// above or left of 0. It may reach beyond the screen's bottom or right edge.
QPoint CenteredOver(const QRect& main, const QSize& form);

// Places form centred over mainForm (nothing without a main window).
void CenterOnMainForm(QWidget& form, const QWidget* mainForm);
