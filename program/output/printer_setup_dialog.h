#pragma once

#include <QDialog>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QStringList>
#include <functional>

class QComboBox;
class QRadioButton;

// The printer setup: the printer, its paper and the orientation. Margins are
// not offered here: the program's margins dialog owns them, and the printer's
// own unprintable offsets are what the printer reports.
class PrinterSetupDialog : public QDialog {
  public:
    // `printers` in the order offered; `paperSizes(printer)` gives the paper
    // sizes a printer takes. The dialog opens on the current choices.
    PrinterSetupDialog(const QStringList& printers, const QString& printer,
                       QPageSize::PageSizeId paper, QPageLayout::Orientation orientation,
                       std::function<QList<QPageSize>(const QString&)> paperSizes,
                       QWidget* parent = nullptr);

    QString Printer() const;
    QPageSize::PageSizeId Paper() const;
    QPageLayout::Orientation Orientation() const;

    QComboBox* cboPrinter = nullptr;
    QComboBox* cboPaper = nullptr;
    QRadioButton* optPortrait = nullptr;
    QRadioButton* optLandscape = nullptr;

  private:
    void FillPapers(QPageSize::PageSizeId keep);

    std::function<QList<QPageSize>(const QString&)> paperSizes_;
};
