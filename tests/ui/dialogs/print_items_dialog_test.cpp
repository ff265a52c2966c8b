#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>

#include "ui/dialogs/dialog_test_support.h"
#include "ui/dialogs/frmPreviewSet.h"

namespace {

// Items of PrintItemFlags.
enum Item { kGamma, kFC, kCC, kIp, kQu, kNu, kVs, kVp, kEo, kBeta, kCc, kPc, kEo2, kEs };

class PrintItemsDialog : public ::testing::Test {
  protected:
    void SetUp() override { EnsureQtApplication(); }

    // Marks the layer-table columns of these items as used.
    void UseColumns(std::initializer_list<int> items) {
        for (int item : items)
            doc.layerColumnUsed[item + 1] = 1;
    }
    void UseAllColumns() {
        for (int item = 0; item < kSoilConstantCount; ++item)
            doc.layerColumnUsed[item + 1] = 1;
    }
    static std::vector<int> CheckedBoxes(const frmPreviewSet& dialog) {
        std::vector<int> boxes;
        for (int i = 0; i < frmPreviewSet::kItemCount; ++i) {
            if (dialog.chkSodata[i]->isChecked())
                boxes.push_back(i);
        }
        return boxes;
    }
    static std::vector<int> EnabledBoxes(const frmPreviewSet& dialog) {
        std::vector<int> boxes;
        for (int i = 0; i < frmPreviewSet::kItemCount; ++i) {
            if (dialog.chkSodata[i]->isEnabled())
                boxes.push_back(i);
        }
        return boxes;
    }

    Document doc;
    FakePlatformServices services;
};

TEST_F(PrintItemsDialog, ShowsItsTexts) {
    frmPreviewSet dialog(doc, services);
    EXPECT_EQ(dialog.windowTitle(), "Vekt/Quilmorn-印刷項目の設定");
    EXPECT_EQ(dialog.fraSodata->title(), "各土質項目");
    const char* captions[] = {
        "細粒分含有率（FC）",  "単位重量（γ）",           "粘土含有率(CC)",     "塑性指数（Ｉp）",
        "一軸圧縮強度（ｑu）", "ポアソン比（ν）",         "せん断波速度（Vs）", "粗密波速度（Vp）",
        "変形係数（Eo）",      "地盤反力係数低減率（β）", "圧縮係数（Cｃ）",    "圧密降伏応力(Pc）",
        "初期間隙比（eo）",    "ﾔﾝｸﾞ係数（Es）",
    };
    for (int i = 0; i < frmPreviewSet::kItemCount; ++i) {
        EXPECT_EQ(dialog.chkSodata[i]->text(), QString::fromUtf8(captions[i])) << i;
        EXPECT_EQ(dialog.chkSodata[i]->objectName(), QStringLiteral("chkSodata(%1)").arg(i));
    }
    EXPECT_EQ(dialog.cmdOK->text(), "OK");
    EXPECT_EQ(dialog.cmdCancel->text(), "ｷｬﾝｾﾙ");
    EXPECT_EQ(dialog.cmdZen->text(), "前回指定");
    EXPECT_EQ(dialog.cmdHelp->text(), "ﾍﾙﾌﾟ");
    EXPECT_TRUE(dialog.Tag().isEmpty());
}

TEST_F(PrintItemsDialog, OffersOnlyTheColumnsTheLayerTableUses) {
    UseColumns({kGamma, kFC, kVs});
    doc.prevPrintItems[kCC] = 1;  // stored, but its column is not in use
    frmPreviewSet dialog(doc, services);
    EXPECT_EQ(EnabledBoxes(dialog), (std::vector<int>{0, 1, 6}));
    EXPECT_FALSE(dialog.chkSodata[2]->isChecked());

    Document fcOnRows;
    fcOnRows.fcInputMode = 1;
    frmPreviewSet rows(fcOnRows, services);
    EXPECT_EQ(EnabledBoxes(rows), (std::vector<int>{0}));
}

TEST_F(PrintItemsDialog, StoredChoiceComesBackOnTheSwappedBoxes) {
    UseAllColumns();
    doc.prevPrintItems[kGamma] = 1;
    doc.prevPrintItems[kFC] = 1;
    doc.prevPrintItems[kEs] = 1;
    frmPreviewSet dialog(doc, services);
    EXPECT_EQ(CheckedBoxes(dialog), (std::vector<int>{0, 1, 13}));
}

TEST_F(PrintItemsDialog, NinthBoxIsRefused) {
    UseAllColumns();
    for (int item = 0; item < 8; ++item)
        doc.prevPrintItems[item] = 1;
    frmPreviewSet dialog(doc, services);
    QTest::mouseClick(dialog.chkSodata[10], Qt::LeftButton);
    EXPECT_FALSE(dialog.chkSodata[10]->isChecked());
    PrintItemFlags items = dialog.PrintItems();
    EXPECT_EQ(items[kCc], 0);
    EXPECT_EQ(std::count(items.begin(), items.end(), 1), 8);

    // Unchecking one makes room again.
    QTest::mouseClick(dialog.chkSodata[3], Qt::LeftButton);
    QTest::mouseClick(dialog.chkSodata[10], Qt::LeftButton);
    items = dialog.PrintItems();
    EXPECT_EQ(items[kIp], 0);
    EXPECT_EQ(items[kCc], 1);
}

TEST_F(PrintItemsDialog, StoredChoiceOfTenKeepsTheFirstEightBoxes) {
    UseAllColumns();
    for (int item = 0; item < 10; ++item)
        doc.prevPrintItems[item] = 1;
    frmPreviewSet dialog(doc, services);
    EXPECT_EQ(CheckedBoxes(dialog), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    PrintItemFlags expected{};
    for (int item = 0; item < 8; ++item)
        expected[item] = 1;
    EXPECT_EQ(dialog.PrintItems(), expected);
}

TEST_F(PrintItemsDialog, OkStoresTheChoiceAndKeepsItemsOfUnusedColumns) {
    UseColumns({kGamma, kFC, kVs});
    doc.prevPrintItems[kGamma] = 1;
    doc.prevPrintItems[kVs] = 1;
    doc.prevPrintItems[kEs] = 1;  // column not in use
    frmPreviewSet dialog(doc, services);
    for (int box : {1, 6})
        QTest::mouseClick(dialog.chkSodata[box], Qt::LeftButton);
    QTest::mouseClick(dialog.chkSodata[0], Qt::LeftButton);
    QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);

    EXPECT_EQ(dialog.Tag(), "OK");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    PrintItemFlags stored{};
    stored[kFC] = 1;
    stored[kEs] = 1;
    EXPECT_EQ(doc.prevPrintItems, stored);
    // What the caller reads has the items of disabled boxes cleared.
    PrintItemFlags read{};
    read[kFC] = 1;
    EXPECT_EQ(dialog.PrintItems(), read);
}

TEST_F(PrintItemsDialog, CancelStoresNothing) {
    UseAllColumns();
    doc.prevPrintItems[kVs] = 1;
    const PrintItemFlags before = doc.prevPrintItems;
    frmPreviewSet dialog(doc, services);
    QTest::mouseClick(dialog.chkSodata[6], Qt::LeftButton);
    QTest::mouseClick(dialog.chkSodata[2], Qt::LeftButton);
    QTest::mouseClick(dialog.cmdCancel, Qt::LeftButton);
    EXPECT_TRUE(dialog.Tag().isEmpty());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(doc.prevPrintItems, before);
}

TEST_F(PrintItemsDialog, PreviousChoiceButtonRestoresTheLastConfirmedChoice) {
    UseAllColumns();
    doc.prevPrintItems[kNu] = 1;
    frmPreviewSet dialog(doc, services);
    QTest::mouseClick(dialog.chkSodata[5], Qt::LeftButton);
    QTest::mouseClick(dialog.chkSodata[8], Qt::LeftButton);
    QTest::mouseClick(dialog.cmdZen, Qt::LeftButton);
    EXPECT_EQ(CheckedBoxes(dialog), (std::vector<int>{5}));
    PrintItemFlags items{};
    items[kNu] = 1;
    EXPECT_EQ(dialog.PrintItems(), items);
}

TEST_F(PrintItemsDialog, PreviousChoiceComesBackWhenEightOtherBoxesAreChecked) {
    UseAllColumns();
    for (int item = 0; item < 8; ++item)
        doc.prevPrintItems[item] = 1;
    frmPreviewSet dialog(doc, services);
    // Swap two confirmed items for two others: eight boxes stay checked.
    for (int box : {0, 1, 8, 9})
        QTest::mouseClick(dialog.chkSodata[box], Qt::LeftButton);
    ASSERT_EQ(CheckedBoxes(dialog), (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9}));

    QTest::mouseClick(dialog.cmdZen, Qt::LeftButton);
    EXPECT_EQ(CheckedBoxes(dialog), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(dialog.PrintItems(), doc.prevPrintItems);
}

TEST_F(PrintItemsDialog, PrintItemsLetReplacesTheChoice) {
    UseColumns({kGamma, kFC});
    frmPreviewSet dialog(doc, services);
    PrintItemFlags items{};
    items[kGamma] = 1;
    items[kPc] = 1;
    dialog.SetPrintItems(items);
    EXPECT_EQ(CheckedBoxes(dialog), (std::vector<int>{1}));
    PrintItemFlags read{};
    read[kGamma] = 1;
    EXPECT_EQ(dialog.PrintItems(), read);
}

TEST_F(PrintItemsDialog, HelpOpensTheDialogsPage) {
    frmPreviewSet dialog(doc, services);
    QTest::mouseClick(dialog.cmdHelp, Qt::LeftButton);
    ASSERT_EQ(services.helpPages.size(), 1u);
    EXPECT_NE(services.helpPages[0].find("print_items.htm"), std::string::npos);
}

}  // namespace
