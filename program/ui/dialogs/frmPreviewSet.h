#pragma once

#include <QDialog>
#include <QString>

#include <array>

#include "core/document.h"

class QCheckBox;
class QGroupBox;
class QPushButton;
class PlatformServices;

// The print-item dialog: which soil constants (at most 8 of the 14) the
// soil-constant table of printed page 1 shows. It starts from the document's
// last confirmed choice (prevPrintItems), offers only the constants the layer
// table uses, and on OK stores the choice back into prevPrintItems and sets the
// tag "OK". The caller shows it with exec(), reads Tag() and, after "OK",
// PrintItems().
class frmPreviewSet : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kItemCount = kSoilConstantCount;
    static constexpr int kMaxCheckedItems = 8;

    frmPreviewSet(Document& doc, PlatformServices& services, QWidget* parent = nullptr);

    // The choice, with every item whose box is disabled cleared.
    PrintItemFlags PrintItems();
    // Replaces the whole choice and shows it in the boxes.
    void SetPrintItems(const PrintItemFlags& items);

    const QString& Tag() const { return tag_; }

    // Box index i (0..13) -> its item of PrintItemFlags. The first two boxes
    // are swapped against the record: box 0 is FC (item 1), box 1 is unit
    // weight (item 0).
    static int ItemOfBox(int box);

    std::array<QCheckBox*, kItemCount> chkSodata{};
    QGroupBox* fraSodata = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdZen = nullptr;
    QPushButton* cmdHelp = nullptr;

  public slots:
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdZen_Click();
    void cmdHelp_Click();

  private:
    bool BoxAvailable(int box) const;
    void ShowItems();
    void ReadItems();
    void chkSodata_Click(int box);

    Document& doc_;
    PlatformServices& services_;
    PrintItemFlags items_{};
    QString tag_;
};
