#include "output/printer_setup_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

PrinterSetupDialog::PrinterSetupDialog(const QStringList& printers, const QString& printer,
                                       QPageSize::PageSizeId paper,
                                       QPageLayout::Orientation orientation,
                                       std::function<QList<QPageSize>(const QString&)> paperSizes,
                                       QWidget* parent)
    : QDialog(parent), paperSizes_(std::move(paperSizes)) {
    setObjectName(QStringLiteral("PrinterSetupDialog"));
    setWindowTitle(QStringLiteral("プリンタの設定"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    auto* printerGroup = new QGroupBox(QStringLiteral("プリンタ"), this);
    cboPrinter = new QComboBox(printerGroup);
    cboPrinter->setObjectName(QStringLiteral("cboPrinter"));
    cboPrinter->addItems(printers);
    cboPrinter->setCurrentIndex(std::max<qsizetype>(0, printers.indexOf(printer)));
    auto* printerRows = new QFormLayout(printerGroup);
    printerRows->addRow(QStringLiteral("プリンタ名(&N):"), cboPrinter);

    auto* paperGroup = new QGroupBox(QStringLiteral("用紙"), this);
    cboPaper = new QComboBox(paperGroup);
    cboPaper->setObjectName(QStringLiteral("cboPaper"));
    auto* paperRows = new QFormLayout(paperGroup);
    paperRows->addRow(QStringLiteral("サイズ(&Z):"), cboPaper);

    auto* orientationGroup = new QGroupBox(QStringLiteral("印刷の向き"), this);
    optPortrait = new QRadioButton(QStringLiteral("縦(&O)"), orientationGroup);
    optPortrait->setObjectName(QStringLiteral("optPortrait"));
    optLandscape = new QRadioButton(QStringLiteral("横(&A)"), orientationGroup);
    optLandscape->setObjectName(QStringLiteral("optLandscape"));
    (orientation == QPageLayout::Landscape ? optLandscape : optPortrait)->setChecked(true);
    auto* orientationRows = new QVBoxLayout(orientationGroup);
    orientationRows->addWidget(optPortrait);
    orientationRows->addWidget(optLandscape);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    // The caption every other dialog of the program gives its cancel button.
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("ｷｬﾝｾﾙ"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* lower = new QHBoxLayout;
    lower->addWidget(paperGroup, 2);
    lower->addWidget(orientationGroup, 1);
    auto* rows = new QVBoxLayout(this);
    rows->addWidget(printerGroup);
    rows->addLayout(lower);
    rows->addWidget(buttons);

    FillPapers(paper);
    connect(cboPrinter, &QComboBox::currentIndexChanged, this, [this] { FillPapers(Paper()); });
    // A fixed size: window managers then offer no minimise or maximise.
    rows->setSizeConstraint(QLayout::SetFixedSize);
    setMinimumWidth(sizeHint().width() * 5 / 4);
}

void PrinterSetupDialog::FillPapers(QPageSize::PageSizeId keep) {
    cboPaper->clear();
    for (const QPageSize& size : paperSizes_(Printer()))
        cboPaper->addItem(size.name(), static_cast<int>(size.id()));
    int at = cboPaper->findData(static_cast<int>(keep));
    cboPaper->setCurrentIndex(at >= 0 ? at : 0);
}

QString PrinterSetupDialog::Printer() const {
    return cboPrinter->currentText();
}

QPageSize::PageSizeId PrinterSetupDialog::Paper() const {
    QVariant id = cboPaper->currentData();
    return id.isValid() ? static_cast<QPageSize::PageSizeId>(id.toInt()) : QPageSize::A4;
}

QPageLayout::Orientation PrinterSetupDialog::Orientation() const {
    return optLandscape->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait;
}
