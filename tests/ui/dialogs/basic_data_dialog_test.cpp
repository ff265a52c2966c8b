#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <memory>

#include "core/date_input.h"
#include "ui/dialogs/dialog_test_support.h"
#include "ui/dialogs/frmKihon.h"

namespace {

class BasicDataDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureQtApplication();
        BasicData& data = doc.basicData;
        data.ProjectName = "市道改良工事";
        data.ShortName = "No.1";
        data.Site = "川崎市";
        data.SurveyFrom = {2008, 3, 5};
        data.SurveyTo = {2008, 4, 12};
        data.DatumToGL = 2.5;
        data.DatumToWaterLevel = 1.234;
        data.DatumToDiluvium = -12;
    }

    std::unique_ptr<frmKihon> MakeDialog() {
        auto dialog = std::make_unique<frmKihon>(doc, services);
        dialog->SetDialogForm();
        return dialog;
    }

    Document doc;
    FakePlatformServices services;
};

TEST_F(BasicDataDialog, ShowsItsTextsAndTheBasicData) {
    auto dialog = MakeDialog();
    EXPECT_EQ(dialog->windowTitle(), "Vekt/Quilmorn-基本データの編集");
    EXPECT_EQ(dialog->Label1[0]->text(), "工事名");
    EXPECT_EQ(dialog->Label1[7]->text(), "略称");
    EXPECT_EQ(dialog->Label1[6]->text(), "～");
    EXPECT_EQ(dialog->Label1[3]->text(), "基点- 設計ＧＬ(m)   基点がＧＬより上のとき＋");
    EXPECT_EQ(dialog->Label1[4]->text(), "基点- 孔内水位レベル(m)");
    EXPECT_EQ(dialog->Label1[5]->text(), "基点- 洪積層始点(m)");
    EXPECT_EQ(dialog->cmdCancel->text(), "ｷｬﾝｾﾙ");
    EXPECT_EQ(dialog->cmdHelp->text(), "ﾍﾙﾌﾟ(&H)");

    QStringList texts;
    for (QLineEdit* box : dialog->Text1)
        texts << box->text();
    EXPECT_EQ(texts, (QStringList{"市道改良工事", "No.1", "川崎市", "2008/03/05", "2008/04/12",
                                  "2.50", "1.234", "-12.00"}));
    EXPECT_FALSE(dialog->IsChanged());
    EXPECT_TRUE(dialog->Tag().isEmpty());
}

TEST_F(BasicDataDialog, OkStoresEveryBox) {
    auto dialog = MakeDialog();
    dialog->Text1[0]->setText("新工事");
    dialog->Text1[1]->setText("");
    dialog->Text1[2]->setText(" 横浜市 ");
    dialog->Text1[3]->setText("2009/1/2");
    dialog->Text1[4]->setText("２００９年２月３日");
    dialog->Text1[5]->setText("1.5m");
    dialog->Text1[6]->setText("abc");
    dialog->Text1[7]->setText(" -3.25");
    EXPECT_TRUE(dialog->IsChanged());
    QTest::mouseClick(dialog->cmdOk, Qt::LeftButton);

    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->Tag(), "Changed");
    const BasicData& data = doc.basicData;
    EXPECT_EQ(data.ProjectName, "新工事");
    EXPECT_EQ(data.ShortName, "");
    EXPECT_EQ(data.Site, " 横浜市 ");
    EXPECT_EQ(data.SurveyFrom, (Date{2009, 1, 2}));
    EXPECT_EQ(data.SurveyTo, (Date{2009, 2, 3}));
    EXPECT_EQ(data.DatumToGL, 1.5);
    EXPECT_EQ(data.DatumToWaterLevel, 0);
    EXPECT_EQ(data.DatumToDiluvium, -3.25);
}

TEST_F(BasicDataDialog, AnUnreadableDateStoresNothingAndCancelUndoesTheWholeEdit) {
    // Either date refused, and both: no field is stored, the tag stays empty.
    for (int refused : {3, 4, -1}) {
        services.messages.clear();
        const BasicData before = doc.basicData;
        auto dialog = MakeDialog();
        ASSERT_TRUE(ShowActive(*dialog));
        dialog->Text1[0]->setText("工事");
        dialog->Text1[2]->setText("別の調査地");
        dialog->Text1[3]->setText(refused == 4 ? "2010/1/1" : "abc");
        dialog->Text1[4]->setText(refused == 3 ? "2010/10/10" : "2008/02/30");
        dialog->Text1[5]->setText("7");
        QTest::mouseClick(dialog->cmdOk, Qt::LeftButton);

        ASSERT_EQ(services.messages.size(), 1u) << refused;
        EXPECT_EQ(services.messages[0].text, "年/月/日を正しく入力してください");
        EXPECT_EQ(services.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(services.messages[0].title, "Vekt／Quilmorn2008");
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_TRUE(dialog->Tag().isEmpty()) << refused;
        EXPECT_EQ(doc.basicData, before) << refused;

        QTest::mouseClick(dialog->cmdCancel, Qt::LeftButton);
        EXPECT_EQ(dialog->result(), QDialog::Rejected);
        EXPECT_TRUE(dialog->Tag().isEmpty());
        EXPECT_EQ(doc.basicData, before);
    }
}

TEST_F(BasicDataDialog, MendingTheDateThenOkStoresEverything) {
    auto dialog = MakeDialog();
    ASSERT_TRUE(ShowActive(*dialog));
    dialog->Text1[0]->setText("工事");
    dialog->Text1[3]->setText("abc");
    QTest::mouseClick(dialog->cmdOk, Qt::LeftButton);
    ASSERT_TRUE(dialog->isVisible());
    dialog->Text1[3]->setText("2010/1/2");
    QTest::mouseClick(dialog->cmdOk, Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->Tag(), "Changed");
    EXPECT_EQ(doc.basicData.ProjectName, "工事");
    EXPECT_EQ(doc.basicData.SurveyFrom, (Date{2010, 1, 2}));
}

TEST_F(BasicDataDialog, LevelBoxesReadFullWidthDigitsAsTheGridsDo) {
    struct Case {
        QString typed;
        double stored;
        QString shown;  // after leaving the box
    } cases[] = {
        {"１５", 15, "15.00"},          {"３５０", 350, "350.00"},   {"１．５", 1.5, "1.50"},
        {"－２．２５", -2.25, "-2.25"}, {"　１．５ｍ", 1.5, "1.50"}, {"ａｂｃ", 0, "0.00"},
    };
    for (const Case& c : cases) {
        auto dialog = MakeDialog();
        ASSERT_TRUE(ShowActive(*dialog));
        dialog->Text1[6]->setFocus();
        dialog->Text1[6]->setText(c.typed);
        dialog->Text1[7]->setFocus();
        EXPECT_EQ(dialog->Text1[6]->text(), c.shown) << c.typed.toStdString();
        dialog->Text1[5]->setText(c.typed);  // stored without leaving the box
        QTest::mouseClick(dialog->cmdOk, Qt::LeftButton);
        EXPECT_EQ(doc.basicData.DatumToGL, c.stored) << c.typed.toStdString();
        EXPECT_EQ(doc.basicData.DatumToWaterLevel, c.stored) << c.typed.toStdString();
    }
}

TEST_F(BasicDataDialog, CancelStoresNothing) {
    const BasicData before = doc.basicData;
    auto dialog = MakeDialog();
    dialog->Text1[0]->setText("x");
    dialog->Text1[5]->setText("9");
    QTest::mouseClick(dialog->cmdCancel, Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_TRUE(dialog->Tag().isEmpty());
    EXPECT_EQ(doc.basicData, before);
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(BasicDataDialog, ActivationFocusesOkOrTheEmptyProjectName) {
    auto filled = MakeDialog();
    ASSERT_TRUE(ShowActive(*filled));
    EXPECT_EQ(QApplication::focusWidget(), filled->cmdOk);
    filled->hide();

    doc.basicData.ProjectName.clear();
    auto empty = MakeDialog();
    ASSERT_TRUE(ShowActive(*empty));
    EXPECT_EQ(QApplication::focusWidget(), empty->Text1[0]);

    // Coming back to the open dialog leaves the focus where the user left it.
    empty->Text1[2]->setFocus();
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    empty->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(empty.get()));
    EXPECT_EQ(QApplication::focusWidget(), empty->Text1[2]);
}

TEST_F(BasicDataDialog, ArrowAndEnterKeysWalkTheFocusList) {
    auto dialog = MakeDialog();
    ASSERT_TRUE(ShowActive(*dialog));
    dialog->Text1[0]->setFocus();
    QTest::keyClick(dialog->Text1[0], Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), dialog->Text1[0]);
    QTest::keyClick(dialog->Text1[0], Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), dialog->Text1[1]);
    EXPECT_EQ(dialog->Text1[1]->selectedText(), "No.1");  // entering selects all
    QTest::keyClick(dialog->Text1[1], Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), dialog->Text1[2]);
    QTest::keyClick(dialog->Text1[2], Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), dialog->Text1[1]);
    dialog->Text1[7]->setFocus();
    QTest::keyClick(dialog->Text1[7], Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), dialog->cmdOk);
    EXPECT_TRUE(dialog->isVisible());  // Enter or Down did not press OK
}

TEST_F(BasicDataDialog, EqualSignInTheShortNameCopiesTheProjectName) {
    for (const QString& sign : {QStringLiteral("="), QStringLiteral("＝")}) {
        auto dialog = MakeDialog();
        ASSERT_TRUE(ShowActive(*dialog));
        dialog->Text1[1]->setFocus();
        dialog->Text1[1]->setText(sign);
        QTest::keyClick(dialog->Text1[1], Qt::Key_Enter);
        EXPECT_EQ(dialog->Text1[1]->text(), "市道改良工事");
        EXPECT_EQ(QApplication::focusWidget(), dialog->Text1[1]);
        dialog->hide();
    }
}

TEST_F(BasicDataDialog, LeavingALevelBoxRewritesItsNumber) {
    auto dialog = MakeDialog();
    ASSERT_TRUE(ShowActive(*dialog));
    struct Case {
        QString typed;
        QString shown;
    } cases[] = {{"1.5", "1.50"}, {"2.3456", "2.346"}, {"-0.1x", "-0.10"}, {"abc", "0.00"}};
    for (const Case& c : cases) {
        dialog->Text1[6]->setFocus();
        dialog->Text1[6]->setText(c.typed);
        dialog->Text1[7]->setFocus();
        EXPECT_EQ(dialog->Text1[6]->text(), c.shown) << c.typed.toStdString();
    }
    // Opening the box's context menu is no leaving of it.
    dialog->Text1[6]->setFocus();
    dialog->Text1[6]->setText("1.5");
    QFocusEvent toMenu(QEvent::FocusOut, Qt::PopupFocusReason);
    QCoreApplication::sendEvent(dialog->Text1[6], &toMenu);
    EXPECT_EQ(dialog->Text1[6]->text(), "1.5");
    // The text boxes keep what was typed.
    dialog->Text1[0]->setFocus();
    dialog->Text1[0]->setText("1.5");
    dialog->Text1[1]->setFocus();
    EXPECT_EQ(dialog->Text1[0]->text(), "1.5");
}

TEST_F(BasicDataDialog, CloseBoxAsksOnlyAfterChanges) {
    {
        auto dialog = MakeDialog();
        dialog->show();
        EXPECT_TRUE(dialog->close());
        EXPECT_TRUE(services.messages.empty());
        EXPECT_TRUE(dialog->Tag().isEmpty());
    }
    struct Case {
        MessageAnswer answer;
        bool closes;
        bool stored;
    } cases[] = {{MessageAnswer::Yes, true, true},
                 {MessageAnswer::No, true, false},
                 {MessageAnswer::Cancel, false, false}};
    for (const Case& c : cases) {
        SetUp();
        services.messages.clear();
        services.messageAnswers = {c.answer};
        auto dialog = MakeDialog();
        dialog->show();
        dialog->Text1[2]->setText("changed");
        dialog->close();
        ASSERT_EQ(services.messages.size(), 1u);
        EXPECT_EQ(services.messages[0].text, "データの更新を有効にしますか");
        EXPECT_EQ(services.messages[0].icon, MessageIcon::Question);
        EXPECT_EQ(services.messages[0].buttons, MessageButtons::YesNoCancel);
        EXPECT_EQ(dialog->isVisible(), !c.closes);
        EXPECT_EQ(doc.basicData.Site == "changed", c.stored);
        EXPECT_EQ(dialog->Tag() == "Changed", c.stored);
    }
}

TEST_F(BasicDataDialog, YesWithABadDateKeepsTheDialogOpen) {
    services.messageAnswers = {MessageAnswer::Yes};
    auto dialog = MakeDialog();
    dialog->show();
    dialog->Text1[4]->setText("2008/02/30");
    dialog->close();
    ASSERT_EQ(services.messages.size(), 2u);
    EXPECT_EQ(services.messages[1].text, "年/月/日を正しく入力してください");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->Tag().isEmpty());
    EXPECT_EQ(doc.basicData.SurveyTo, (Date{2008, 4, 12}));
}

TEST(DateInput, ReadsYearFirstDates) {
    struct Case {
        const char* text;
        std::optional<Date> date;
    } cases[] = {
        {"2008/03/05", Date{2008, 3, 5}},
        {" 2008/3/5 ", Date{2008, 3, 5}},
        {"2008-12-31", Date{2008, 12, 31}},
        {"2008.1.2", Date{2008, 1, 2}},
        {"2008年3月5日", Date{2008, 3, 5}},
        {"２００８／０３／０５", Date{2008, 3, 5}},
        {"08/03/05", Date{2008, 3, 5}},
        {"99/1/1", Date{1999, 1, 1}},
        {"2000/02/29", Date{2000, 2, 29}},
        {"1900/02/29", std::nullopt},
        {"2008/13/01", std::nullopt},
        {"2008/00/10", std::nullopt},
        {"2008/3", std::nullopt},
        {"2008/3/5/", std::nullopt},
        {"2008/3-5", std::nullopt},
        {"2008年3/5", std::nullopt},
        {"208/3/5", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"2008/3/5x", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadDateInput(c.text), c.date) << c.text;
}

}  // namespace
