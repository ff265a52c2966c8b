#pragma once

#include <QDialog>

#include <array>
#include <functional>

#include "core/document.h"
#include "core/program_info.h"
#include "core/settings.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabBar;
class QWidget;
class clsPrinter;
class frmHF;
class PlatformServices;
class UpDown;

// The page setup dialog: print margins on one page, header and footer
// templates with their show switches on the other. It reads the settings when
// it is made and writes printMargins, headerFooterText and headerFooterShow
// only on OK; Cancel stores nothing. The caller shows it with exec() (which
// gives QDialog::Accepted after OK) and reads the settings afterwards.
class frmYohaku : public QDialog {
    Q_OBJECT

  public:
    // The program's printer, made at its first use.
    using PrinterAccess = std::function<clsPrinter&()>;
    // Shows the code chooser modally; tests replace it to answer headless.
    using ChooserRunner = std::function<void(frmHF&)>;

    // doc and program give the chooser's examples (folder, file name, titles,
    // program and user).
    frmYohaku(Settings& settings, const Document& doc, const ProgramInfo& program,
              PrinterAccess printer, PlatformServices& services, QWidget* parent = nullptr);

    void SetChooserRunner(ChooserRunner runner) { runChooser_ = std::move(runner); }
    // The help page of the page on show: margins (topic 50) or header/footer (60).
    int HelpContext() const { return helpContext_; }
    // The template box (0..5) that last had the focus.
    int LastTemplateBox() const { return lastHf_; }

    QTabBar* TabShow = nullptr;
    std::array<QWidget*, 2> picShow{};  // 0 the margins page, 1 the header/footer page
    QGroupBox* fraYohaku = nullptr;
    QLineEdit* txtYohakutop = nullptr;
    QLineEdit* txtYohakubottom = nullptr;
    QLineEdit* txtYohakuleft = nullptr;
    QLineEdit* txtYohakuright = nullptr;
    // The arrows of the margin boxes: top, bottom, left, right.
    UpDown* UpDown1 = nullptr;
    UpDown* UpDown2 = nullptr;
    UpDown* UpDown3 = nullptr;
    UpDown* UpDown4 = nullptr;
    QPushButton* cmdminYohaku = nullptr;
    QGroupBox* fraHeader = nullptr;
    QGroupBox* fraFooter = nullptr;
    std::array<QLineEdit*, 6> txtHf{};  // header left, centre, right; footer left, centre, right
    std::array<QLabel*, 6> lblhf{};
    QCheckBox* chkHeader = nullptr;
    QCheckBox* chkFutter = nullptr;
    QPushButton* cmdBrouser = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdhelp = nullptr;

  public slots:
    void TabShow_Click();
    void cmdminYohaku_Click();
    void cmdBrouser_Click();
    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdhelp_Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Selection {
        int start = 0;
        int length = 0;
    };

    std::array<QLineEdit*, 4> MarginBoxes() const;
    void EnableTemplates(int first, bool enabled);
    Selection TemplateSelection(int box) const;
    // The message under the program's title, then the focus to the box.
    void RefuseMargin(QLineEdit* box, const char* message);
    // The margin box (0 top, 1 bottom, 2 left, 3 right) to correct when the
    // margins leave no printable width or height on the printer's paper (an A4
    // sheet when there is no printer device); -1 when a page remains.
    int BoxLeavingNoPage(const std::array<std::int32_t, 4>& margins);

    Settings& settings_;
    const Document& doc_;
    ProgramInfo program_;
    PrinterAccess printer_;
    PlatformServices& services_;
    ChooserRunner runChooser_;
    int lastHf_ = 0;
    int helpContext_ = 50;
    // The selection of each template box when it last lost the focus.
    std::array<Selection, 6> savedSelection_{};
};
