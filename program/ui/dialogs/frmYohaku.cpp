#include "ui/dialogs/frmYohaku.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

#include <optional>

#include "core/format.h"
#include "core/number_text.h"
#include "core/text_number.h"
#include "output/clsPrinter.h"
#include "sheets/header_footer.h"
#include "ui/dialogs/dialog_support.h"
#include "ui/dialogs/frmHF.h"
#include "ui/platform/desktop_helpers.h"
#include "ui/platform/modal_dialog_frame.h"
#include "ui/platform/platform_services.h"
#include "ui/widgets/text_entry_guard.h"
#include "ui/widgets/updown.h"

namespace {

constexpr int kMarginMaximum = 50;  // what the arrows step up to
constexpr int kHelpMargins = 50;
constexpr int kHelpHeaderFooter = 60;
constexpr const char* kNegativeMargin = "0 以上の数値を入力してください";
constexpr const char* kNoPrintableArea = "余白が大きすぎるため、用紙に印刷できる範囲が残りません。";
// The printable size when no printer device tells it: an A4 sheet, the paper
// of the PDF printer.
constexpr double kA4Width = 210.0;   // mm
constexpr double kA4Height = 297.0;  // mm

const char* const kTemplateLabels[6] = {"左(&L)：", "中央(&C)：", "右(&R)：",
                                        "左(&H)：", "中央(&U)：", "右(&M)："};

QLineEdit* MakeBox(const char* name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    return box;
}

QPushButton* MakeButton(const QString& caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

// The printer's unprintable margin in whole millimetres, cut toward zero.
QString WholeMillimetres(std::int32_t pixels, double pixelsPerMM) {
    return ToQ(RoundToString(pixels / pixelsPerMM, 0, 2)).trimmed();
}

}  // namespace

frmYohaku::frmYohaku(Settings& settings, const Document& doc, const ProgramInfo& program,
                     PrinterAccess printer, PlatformServices& services, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      doc_(doc),
      program_(program),
      printer_(std::move(printer)),
      services_(services),
      runChooser_([](frmHF& chooser) { chooser.exec(); }) {
    setObjectName("frmYohaku");
    setWindowTitle(QStringLiteral("余白の設定"));
    UseModalDialogFrame(*this);

    TabShow = new QTabBar(this);
    TabShow->setObjectName("TabShow");
    TabShow->addTab(QStringLiteral("余白"));
    TabShow->setTabData(0, QStringLiteral("Yo"));
    TabShow->addTab(QStringLiteral("ﾍｯﾀﾞ/ﾌｯﾀ"));
    TabShow->setTabData(1, QStringLiteral("HF"));

    // The margins page.
    picShow[0] = new QWidget(this);
    picShow[0]->setObjectName("picShow(0)");
    fraYohaku = new QGroupBox(QStringLiteral("余白(mm)"), picShow[0]);
    fraYohaku->setObjectName("fraYohaku");
    auto* margins = new QGridLayout(fraYohaku);
    struct MarginControl {
        const char* label;
        const char* box;
        const char* arrows;
        QLineEdit** member;
        UpDown** updown;
    } marginControls[4] = {
        {"上(&T)：", "txtYohakutop", "UpDown1", &txtYohakutop, &UpDown1},
        {"下(&M)：", "txtYohakubottom", "UpDown2", &txtYohakubottom, &UpDown2},
        {"左(&L)：", "txtYohakuleft", "UpDown3", &txtYohakuleft, &UpDown3},
        {"右(&R)：", "txtYohakuright", "UpDown4", &txtYohakuright, &UpDown4},
    };
    for (int i = 0; i < 4; ++i) {
        const MarginControl& control = marginControls[i];
        auto* label = new QLabel(QString::fromUtf8(control.label), fraYohaku);
        QLineEdit* box = MakeBox(control.box, fraYohaku);
        *control.member = box;
        label->setBuddy(box);
        *control.updown = new UpDown(box, 0, kMarginMaximum, fraYohaku);
        (*control.updown)->setObjectName(control.arrows);
        margins->addWidget(label, i, 0);
        margins->addWidget(box, i, 1);
        margins->addWidget(*control.updown, i, 2);
    }
    cmdminYohaku = MakeButton(QStringLiteral("最小値"), "cmdminYohaku", fraYohaku);
    margins->addWidget(cmdminYohaku, 4, 1);
    auto* marginsPage = new QVBoxLayout(picShow[0]);
    marginsPage->addWidget(fraYohaku);
    marginsPage->addStretch();

    // The header/footer page, in the same place as the margins page.
    picShow[1] = new QWidget(this);
    picShow[1]->setObjectName("picShow(1)");
    fraHeader = new QGroupBox(QStringLiteral("ﾍｯﾀﾞ"), picShow[1]);
    fraHeader->setObjectName("fraHeader");
    fraFooter = new QGroupBox(QStringLiteral("ﾌｯﾀ"), picShow[1]);
    fraFooter->setObjectName("fraFooter");
    chkHeader = new QCheckBox(QStringLiteral("表示する(&V)"), fraHeader);
    chkHeader->setObjectName("chkHeader");
    chkFutter = new QCheckBox(QStringLiteral("表示する(&S)"), fraFooter);
    chkFutter->setObjectName("chkFutter");
    for (int i = 0; i < 6; ++i) {
        QGroupBox* frame = i < 3 ? fraHeader : fraFooter;
        lblhf[i] = new QLabel(QString::fromUtf8(kTemplateLabels[i]), frame);
        lblhf[i]->setObjectName(QStringLiteral("lblhf(%1)").arg(i));
        txtHf[i] = new QLineEdit(frame);
        txtHf[i]->setObjectName(QStringLiteral("txtHf(%1)").arg(i));
        GuardTextEntry(*txtHf[i], services_);
        lblhf[i]->setBuddy(txtHf[i]);
        txtHf[i]->installEventFilter(this);
    }
    for (QGroupBox* frame : {fraHeader, fraFooter}) {
        int first = frame == fraHeader ? 0 : 3;
        auto* grid = new QGridLayout(frame);
        grid->addWidget(frame == fraHeader ? chkHeader : chkFutter, 0, 0, 1, 2);
        for (int i = 0; i < 3; ++i) {
            grid->addWidget(lblhf[first + i], i + 1, 0);
            grid->addWidget(txtHf[first + i], i + 1, 1);
        }
    }
    cmdBrouser = MakeButton(QStringLiteral("ブラウザ(B)"), "cmdBrouser", picShow[1]);
    auto* templatesPage = new QVBoxLayout(picShow[1]);
    templatesPage->addWidget(fraHeader);
    templatesPage->addWidget(fraFooter);
    auto* browserRow = new QHBoxLayout;
    browserRow->addStretch();
    browserRow->addWidget(cmdBrouser);
    templatesPage->addLayout(browserRow);

    cmdOk = MakeButton(QStringLiteral("OK"), "cmdOk", this);
    cmdCancel = MakeButton(QStringLiteral("ｷｬﾝｾﾙ"), "cmdCancel", this);
    cmdhelp = MakeButton(QStringLiteral("ﾍﾙﾌﾟ(H)"), "cmdhelp", this);
    // Enter in a box confirms the dialog; left to itself the dialog would
    // make "最小値", the first button after the margins, the default.
    cmdOk->setDefault(true);

    auto* pages = new QGridLayout;
    pages->addWidget(picShow[0], 0, 0);
    pages->addWidget(picShow[1], 0, 0);
    // The hidden page keeps its room, so the dialog keeps its size when the
    // tab is switched.
    for (QWidget* page : picShow) {
        QSizePolicy policy = page->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        page->setSizePolicy(policy);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdhelp);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TabShow);
    layout->addLayout(pages);
    layout->addLayout(buttons);

    // The focus moves through the page on show, then the dialog's buttons.
    QWidget::setTabOrder(txtYohakutop, txtYohakubottom);
    QWidget::setTabOrder(txtYohakubottom, txtYohakuleft);
    QWidget::setTabOrder(txtYohakuleft, txtYohakuright);
    QWidget::setTabOrder(txtYohakuright, cmdminYohaku);
    QWidget::setTabOrder(cmdminYohaku, chkHeader);
    QWidget::setTabOrder(chkHeader, txtHf[0]);
    QWidget::setTabOrder(txtHf[0], txtHf[1]);
    QWidget::setTabOrder(txtHf[1], txtHf[2]);
    QWidget::setTabOrder(txtHf[2], chkFutter);
    QWidget::setTabOrder(chkFutter, txtHf[3]);
    QWidget::setTabOrder(txtHf[3], txtHf[4]);
    QWidget::setTabOrder(txtHf[4], txtHf[5]);
    QWidget::setTabOrder(txtHf[5], cmdBrouser);
    QWidget::setTabOrder(cmdBrouser, cmdOk);
    QWidget::setTabOrder(cmdOk, cmdCancel);
    QWidget::setTabOrder(cmdCancel, cmdhelp);

    connect(TabShow, &QTabBar::currentChanged, this, &frmYohaku::TabShow_Click);
    connect(chkHeader, &QCheckBox::toggled, this, [this](bool on) {
        EnableTemplates(0, on);
        cmdBrouser->setEnabled(false);
    });
    connect(chkFutter, &QCheckBox::toggled, this, [this](bool on) {
        EnableTemplates(3, on);
        cmdBrouser->setEnabled(false);
    });
    connect(cmdminYohaku, &QPushButton::clicked, this, &frmYohaku::cmdminYohaku_Click);
    connect(cmdBrouser, &QPushButton::clicked, this, &frmYohaku::cmdBrouser_Click);
    connect(cmdOk, &QPushButton::clicked, this, &frmYohaku::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmYohaku::cmdCancel_Click);
    connect(cmdhelp, &QPushButton::clicked, this, &frmYohaku::cmdhelp_Click);

    // Load: the records into the controls.
    std::array<QLineEdit*, 4> marginBoxes = MarginBoxes();
    for (int i = 0; i < 4; ++i)
        marginBoxes[i]->setText(QString::number(settings_.printMargins[i]));
    for (int i = 0; i < 6; ++i)
        txtHf[i]->setText(ToQ(settings_.headerFooterText[i]));
    chkHeader->setChecked(settings_.headerFooterShow[0] != 0);
    chkFutter->setChecked(settings_.headerFooterShow[1] != 0);
    EnableTemplates(0, chkHeader->isChecked());
    EnableTemplates(3, chkFutter->isChecked());
    cmdBrouser->setEnabled(false);
    TabShow->setCurrentIndex(0);
    TabShow_Click();
}

std::array<QLineEdit*, 4> frmYohaku::MarginBoxes() const {
    return {txtYohakutop, txtYohakubottom, txtYohakuleft, txtYohakuright};
}

void frmYohaku::EnableTemplates(int first, bool enabled) {
    for (int i = first; i < first + 3; ++i) {
        txtHf[i]->setEnabled(enabled);
        lblhf[i]->setEnabled(enabled);
    }
}

void frmYohaku::TabShow_Click() {
    bool margins = TabShow->tabData(TabShow->currentIndex()).toString() == QStringLiteral("Yo");
    picShow[0]->setVisible(margins);
    picShow[1]->setVisible(!margins);
    helpContext_ = margins ? kHelpMargins : kHelpHeaderFooter;
    // F1 and the Help button open the page of the tab on show.
    setProperty(kHelpPageProperty,
                QString::fromLatin1(margins ? "page_setup_margins" : "page_setup_header_footer"));
    if (margins)
        txtYohakutop->setFocus();
    else
        chkHeader->setFocus();
}

bool frmYohaku::eventFilter(QObject* watched, QEvent* event) {
    for (int i = 0; i < 6; ++i) {
        if (watched != txtHf[i])
            continue;
        if (event->type() == QEvent::FocusIn) {
            lastHf_ = i;
            cmdBrouser->setEnabled(true);
        } else if (event->type() == QEvent::FocusOut) {
            // The box drops its selection when it loses the focus; the
            // chooser still has to replace it.
            QLineEdit* box = txtHf[i];
            savedSelection_[i] = box->hasSelectedText()
                                     ? Selection{box->selectionStart(), box->selectionLength()}
                                     : Selection{box->cursorPosition(), 0};
        }
    }
    return QDialog::eventFilter(watched, event);
}

frmYohaku::Selection frmYohaku::TemplateSelection(int box) const {
    QLineEdit* edit = txtHf[box];
    Selection selection = savedSelection_[box];
    if (edit->hasFocus()) {
        selection = edit->hasSelectedText()
                        ? Selection{edit->selectionStart(), edit->selectionLength()}
                        : Selection{edit->cursorPosition(), 0};
    }
    int length = static_cast<int>(edit->text().size());
    selection.start = std::clamp(selection.start, 0, length);
    selection.length = std::clamp(selection.length, 0, length - selection.start);
    return selection;
}

void frmYohaku::cmdminYohaku_Click() {
    clsPrinter& printer = printer_();
    if (!printer.ExistPrinter())
        return;
    double pixelsPerMM = printer.PixelPerMM();
    // A printer without a device context has no geometry to measure.
    if (!(pixelsPerMM > 0))
        return;
    txtYohakutop->setText(WholeMillimetres(printer.PrinterOffsetTop(), pixelsPerMM));
    txtYohakubottom->setText(WholeMillimetres(printer.PrinterOffsetBottom(), pixelsPerMM));
    txtYohakuleft->setText(WholeMillimetres(printer.PrinterOffsetLeft(), pixelsPerMM));
    txtYohakuright->setText(WholeMillimetres(printer.PrinterOffsetRight(), pixelsPerMM));
}

void frmYohaku::cmdBrouser_Click() {
    QLineEdit* box = txtHf[lastHf_];
    QString text = box->text();
    Selection selection = TemplateSelection(lastHf_);
    QString before = text.left(selection.start);
    QString after = text.mid(selection.start + selection.length);

    const HeaderFooterCodeTable& codes =
        settings_.headerFooterCodes[0].empty() ? HeaderFooterCodes() : settings_.headerFooterCodes;
    frmHF chooser(
        codes,
        [this](int kind, int item) {
            return HeaderFooterExample(static_cast<std::int16_t>(kind),
                                       static_cast<std::int16_t>(item), doc_, program_,
                                       LocalClockNow());
        },
        services_, this);
    chooser.txtKata->setText(text.mid(selection.start, selection.length));
    runChooser_(chooser);
    if (chooser.Tag() == kTagOK)
        box->setText(before + chooser.txtKata->text() + after);
}

void frmYohaku::cmdOk_Click() {
    std::array<QLineEdit*, 4> boxes = MarginBoxes();
    std::array<std::int32_t, 4> margins{};
    for (int i = 0; i < 4; ++i) {
        // Full-width digits are read as every other numeric box reads them.
        std::optional<double> number = ParseNumber(HalfWidthNumberText(ToStd(boxes[i]->text())));
        std::optional<std::int32_t> whole = number ? RoundToInt32(*number) : std::nullopt;
        // A number beyond the range of a margin is refused like one that is
        // not a number at all.
        if (!whole) {
            RefuseMargin(boxes[i], "数値を入力してください");
            return;
        }
        // A negative margin would stretch the page beyond the paper.
        if (*whole < 0) {
            RefuseMargin(boxes[i], kNegativeMargin);
            return;
        }
        margins[i] = *whole;
    }
    if (int box = BoxLeavingNoPage(margins); box >= 0) {
        RefuseMargin(boxes[static_cast<size_t>(box)], kNoPrintableArea);
        return;
    }
    settings_.printMargins = margins;
    for (int i = 0; i < 6; ++i)
        settings_.headerFooterText[i] = ToStd(txtHf[i]->text());
    settings_.headerFooterShow[0] = chkHeader->isChecked() ? 1 : 0;
    settings_.headerFooterShow[1] = chkFutter->isChecked() ? 1 : 0;
    accept();
}

void frmYohaku::RefuseMargin(QLineEdit* box, const char* message) {
    services_.ShowMessage(message, MessageIcon::None, "Quilmorn2008", MessageButtons::Ok);
    // The box has to be on show to take the focus.
    if (picShow[0]->isHidden())
        TabShow->setCurrentIndex(0);
    box->setFocus();
}

int frmYohaku::BoxLeavingNoPage(const std::array<std::int32_t, 4>& margins) {
    clsPrinter& printer = printer_();
    double perMM = printer.PixelPerMM();
    double paperWidth = kA4Width;
    double paperHeight = kA4Height;
    if (perMM > 0) {
        paperWidth = printer.Width() / perMM;
        paperHeight = printer.Height() / perMM;
    }
    // Of the two margins that leave nothing between them, the larger one is
    // the likelier mistake.
    auto larger = [&margins](int a, int b) { return margins[b] > margins[a] ? b : a; };
    if (!(paperHeight - margins[0] - margins[1] > 0))
        return larger(0, 1);
    if (!(paperWidth - margins[2] - margins[3] > 0))
        return larger(2, 3);
    return -1;
}

void frmYohaku::cmdCancel_Click() {
    reject();
}

void frmYohaku::cmdhelp_Click() {
    ShowHelp(services_, this);
}
