#include "ui/dialogs/fdlgVersion.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "core/message_sink.h"
#include "core/round_to_text.h"
#include "core/text_number.h"
#include "ui/dialogs/dialog_support.h"
#include "ui/platform/modal_dialog_frame.h"

namespace {

// The notice of the program's version information.
constexpr const char* kCopyrightNotice = "Copyright (C) Varnholt. All rights reserved.";
constexpr const char* kWarningNotice =
    "このプログラムは著作権法および国際条約によって保護されています。"
    "このプログラムの全部または一部を無断で複製、配布することは禁じられています。";

}  // namespace

std::string VersionText(double programVersion) {
    if (programVersion == 0)
        return "9.99";
    return RoundToText(FormatShortestNumber(programVersion), 2);
}

QPoint CenteredOver(const QRect& main, const QSize& form) {
    int top = main.top() + (main.height() - form.height()) / 2;
    int left = main.left() + (main.width() - form.width()) / 2;
    return {std::max(left, 0), std::max(top, 0)};
}

void CenterOnMainForm(QWidget& form, const QWidget* mainForm) {
    if (mainForm == nullptr)
        return;
    form.move(CenteredOver(mainForm->frameGeometry(), form.frameGeometry().size()));
}

fdlgVersion::fdlgVersion(const ProgramInfo& program, QWidget* mainForm)
    : QDialog(mainForm), mainForm_(mainForm) {
    setObjectName("fdlgVersion");
    setWindowTitle(QString::fromUtf8(kProgramTitle));
    UseModalDialogFrame(*this);
    if (mainForm != nullptr)
        setWindowIcon(mainForm->windowIcon());

    picIcon = new QLabel(this);
    picIcon->setObjectName("picIcon");
    QIcon icon = mainForm != nullptr ? mainForm->windowIcon() : windowIcon();
    if (!icon.isNull())
        picIcon->setPixmap(icon.pixmap(32, 32));
    for (int i : {0, 1, 2, 4}) {
        lblStatic[i] = new QLabel(this);
        lblStatic[i]->setObjectName(QStringLiteral("lblStatic(%1)").arg(i));
    }
    lblStatic[0]->setText(QString::fromUtf8(kProgramTitle));
    lblStatic[1]->setText(QStringLiteral("Version"));
    lblStatic[2]->setText(QString::fromUtf8(kCopyrightNotice));
    lblStatic[4]->setText(QString::fromUtf8(kWarningNotice));
    lblStatic[4]->setWordWrap(true);
    lblVersion = new QLabel(ToQ(VersionText(program.programVersion)), this);
    lblVersion->setObjectName("lblVersion");
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName("cmdOK");
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &fdlgVersion::cmdOK_Click);

    auto* title = new QGridLayout;
    title->addWidget(picIcon, 0, 0, 3, 1, Qt::AlignTop);
    title->addWidget(lblStatic[0], 0, 1, 1, 2);
    title->addWidget(lblStatic[1], 1, 1);
    title->addWidget(lblVersion, 1, 2);
    title->addWidget(lblStatic[2], 2, 1, 1, 2);
    title->setColumnStretch(2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(title);
    layout->addWidget(lblStatic[4]);
    layout->addLayout(buttons);
}

void fdlgVersion::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CenterOnMainForm(*this, mainForm_);
}

void fdlgVersion::cmdOK_Click() {
    accept();
}
