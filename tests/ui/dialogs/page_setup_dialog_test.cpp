#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QToolButton>

#include <memory>

#include "output/clsPrinter.h"
#include "output/fake_printer.h"
#include "sheets/header_footer.h"
#include "support/recording_sinks.h"
#include "ui/dialogs/dialog_test_support.h"
#include "ui/dialogs/frmHF.h"
#include "ui/dialogs/frmYohaku.h"
#include "ui/platform/desktop_helpers.h"
#include "ui/widgets/updown.h"

namespace {

class PageSetupDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureQtApplication();
        settings.printMargins = {10, 11, 12, 13};
        settings.headerFooterText = {"a", "b", "&V Page-%p", "d", "e", "f"};
        settings.headerFooterShow = {1, 0};
        settings.headerFooterCodes = HeaderFooterCodes();
    }

    std::unique_ptr<frmYohaku> MakeDialog() {
        return std::make_unique<frmYohaku>(
            settings, doc, program,
            [this]() -> clsPrinter& {
                if (!printer)
                    printer = std::make_unique<clsPrinter>(printSystem, printerMessages);
                return *printer;
            },
            services);
    }

    // The template box gets the focus, `length` characters from `start` are
    // selected, and the focus moves on (to the browser button, say).
    static void SelectInTemplate(QLineEdit* box, int start, int length) {
        QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
        QCoreApplication::sendEvent(box, &in);
        box->setSelection(start, length);
        QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
        QCoreApplication::sendEvent(box, &out);
    }

    static void SetMargins(frmYohaku& dialog, const QString& top, const QString& bottom,
                           const QString& left, const QString& right) {
        dialog.txtYohakutop->setText(top);
        dialog.txtYohakubottom->setText(bottom);
        dialog.txtYohakuleft->setText(left);
        dialog.txtYohakuright->setText(right);
    }

    Settings settings;
    Document doc;
    ProgramInfo program;
    FakePlatformServices services;
    FakePrintSystem printSystem;
    RecordingMessageSink printerMessages;
    std::unique_ptr<clsPrinter> printer;
};

TEST_F(PageSetupDialog, ShowsItsTextsAndLoadsTheSettings) {
    auto dialog = MakeDialog();
    EXPECT_EQ(dialog->windowTitle(), "余白の設定");
    EXPECT_EQ(dialog->TabShow->tabText(0), "余白");
    EXPECT_EQ(dialog->TabShow->tabText(1), "ﾍｯﾀﾞ/ﾌｯﾀ");
    EXPECT_EQ(dialog->cmdminYohaku->text(), "最小値");
    EXPECT_EQ(dialog->cmdBrouser->text(), "ブラウザ(B)");
    EXPECT_EQ(dialog->cmdhelp->text(), "ﾍﾙﾌﾟ(H)");
    EXPECT_EQ(dialog->chkHeader->text(), "表示する(&V)");
    EXPECT_EQ(dialog->chkFutter->text(), "表示する(&S)");
    const char* labels[] = {"左(&L)：", "中央(&C)：", "右(&R)：",
                            "左(&H)：", "中央(&U)：", "右(&M)："};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(dialog->lblhf[i]->text(), QString::fromUtf8(labels[i]));

    EXPECT_EQ(dialog->txtYohakutop->text(), "10");
    EXPECT_EQ(dialog->txtYohakubottom->text(), "11");
    EXPECT_EQ(dialog->txtYohakuleft->text(), "12");
    EXPECT_EQ(dialog->txtYohakuright->text(), "13");
    EXPECT_EQ(dialog->txtHf[2]->text(), "&V Page-%p");
    EXPECT_TRUE(dialog->chkHeader->isChecked());
    EXPECT_FALSE(dialog->chkFutter->isChecked());
    // Header boxes usable, footer boxes greyed from the start.
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(dialog->txtHf[i]->isEnabled(), i < 3) << i;
        EXPECT_EQ(dialog->lblhf[i]->isEnabled(), i < 3) << i;
    }
    EXPECT_FALSE(dialog->cmdBrouser->isEnabled());
    EXPECT_FALSE(dialog->picShow[0]->isHidden());
    EXPECT_TRUE(dialog->picShow[1]->isHidden());
    EXPECT_EQ(dialog->HelpContext(), 50);
}

TEST_F(PageSetupDialog, TabsSwitchPagesAndHelpTopic) {
    auto dialog = MakeDialog();
    dialog->TabShow->setCurrentIndex(1);
    EXPECT_TRUE(dialog->picShow[0]->isHidden());
    EXPECT_FALSE(dialog->picShow[1]->isHidden());
    EXPECT_EQ(dialog->HelpContext(), 60);
    EXPECT_EQ(dialog->focusWidget(), dialog->chkHeader);
    QTest::mouseClick(dialog->cmdhelp, Qt::LeftButton);
    dialog->TabShow->setCurrentIndex(0);
    EXPECT_EQ(dialog->HelpContext(), 50);
    EXPECT_EQ(dialog->focusWidget(), dialog->txtYohakutop);
    QTest::mouseClick(dialog->cmdhelp, Qt::LeftButton);
    ASSERT_EQ(services.helpPages.size(), 2u);
    EXPECT_NE(services.helpPages[0], services.helpPages[1]);
}

// F1 (pressed in a box of the page, the main window's key watching the
// dialogs over it) and the Help button open the page of the tab on show,
// whichever tab was shown before.
TEST_F(PageSetupDialog, F1AndHelpOpenThePageOfTheTabOnShow) {
    QWidget main;
    main.setObjectName("frmMain");
    InstallHelpKey(&main, services);
    auto dialog = MakeDialog();
    struct TabCase {
        int tab;
        QWidget* inPage;
        const char* page;
    };
    const TabCase cases[] = {
        {1, dialog->txtHf[4], "page_setup_header_footer.htm"},
        {0, dialog->txtYohakuleft, "page_setup_margins.htm"},
        {1, dialog->chkFutter, "page_setup_header_footer.htm"},
    };
    for (const TabCase& c : cases) {
        services.helpPages.clear();
        dialog->TabShow->setCurrentIndex(c.tab);
        QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QCoreApplication::sendEvent(c.inPage, &f1);
        QTest::mouseClick(dialog->cmdhelp, Qt::LeftButton);
        const std::string expected = HelpFolder() + "/" + c.page;
        EXPECT_EQ(services.helpPages, (std::vector<std::string>{expected, expected}))
            << "tab " << c.tab;
    }
}

TEST_F(PageSetupDialog, KeepsItsSizeWhenTheTabIsSwitched) {
    auto dialog = MakeDialog();
    ASSERT_TRUE(ShowActive(*dialog));
    const QSize opened = dialog->size();
    dialog->TabShow->setCurrentIndex(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog->size(), opened);
}

TEST_F(PageSetupDialog, OkRoundsMarginsHalfToEvenAndStoresEverything) {
    auto dialog = MakeDialog();
    SetMargins(*dialog, " 15 ", "12.5", "13.5", "3");
    dialog->txtHf[4]->setText("%p");
    dialog->chkHeader->setChecked(false);
    dialog->chkFutter->setChecked(true);
    QTest::mouseClick(dialog->cmdOk, Qt::LeftButton);

    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(settings.printMargins, (std::array<int32_t, 4>{15, 12, 14, 3}));
    EXPECT_EQ(settings.headerFooterText[4], "%p");
    EXPECT_EQ(settings.headerFooterText[2], "&V Page-%p");
    EXPECT_EQ(settings.headerFooterShow, (std::array<int16_t, 2>{0, 1}));
}

TEST_F(PageSetupDialog, OkReadsFullWidthDigitsAsTheMainWindowsBoxesDo) {
    auto dialog = MakeDialog();
    SetMargins(*dialog, "１５", "　１２．５　", "－０", "＋３");
    QTest::mouseClick(dialog->cmdOk, Qt::LeftButton);
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(settings.printMargins, (std::array<int32_t, 4>{15, 12, 0, 3}));
}

TEST_F(PageSetupDialog, OkRefusesTheFirstMarginThatIsNoNumber) {
    const Settings before = settings;
    auto dialog = MakeDialog();
    SetMargins(*dialog, "5", "abc", "x", "1E1");
    dialog->txtHf[0]->setText("changed");
    dialog->chkFutter->setChecked(true);
    QTest::mouseClick(dialog->cmdOk, Qt::LeftButton);

    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, "数値を入力してください");
    EXPECT_EQ(services.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(services.messages[0].title, "Quilmorn2008");
    EXPECT_EQ(services.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(dialog->focusWidget(), dialog->txtYohakubottom);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);  // not closed
    EXPECT_EQ(settings.printMargins, before.printMargins);
    EXPECT_EQ(settings.headerFooterText, before.headerFooterText);
    EXPECT_EQ(settings.headerFooterShow, before.headerFooterShow);
}

TEST_F(PageSetupDialog, RefusedMarginIsShownWhenOkIsPressedOnTheHeaderFooterPage) {
    auto dialog = MakeDialog();
    ASSERT_TRUE(ShowActive(*dialog));
    dialog->txtYohakuleft->setText("x");
    dialog->TabShow->setCurrentIndex(1);
    QTest::mouseClick(dialog->cmdOk, Qt::LeftButton);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(dialog->TabShow->currentIndex(), 0);
    EXPECT_TRUE(dialog->picShow[0]->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), dialog->txtYohakuleft);
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(PageSetupDialog, EnterInAMarginBoxConfirmsTheDialog) {
    printSystem.device.offsetY = 49;  // "最小値" would write 4 into the top box
    auto dialog = MakeDialog();
    ASSERT_TRUE(ShowActive(*dialog));
    dialog->txtYohakutop->setFocus();
    dialog->txtYohakutop->setText("7");
    QTest::keyClick(dialog->txtYohakutop, Qt::Key_Return);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(settings.printMargins, (std::array<int32_t, 4>{7, 11, 12, 13}));
}

TEST_F(PageSetupDialog, OkRefusesAMarginBeyondTheIntegerRange) {
    auto dialog = MakeDialog();
    SetMargins(*dialog, "1", "2", "3", "3000000000");
    QTest::mouseClick(dialog->cmdOk, Qt::LeftButton);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(dialog->focusWidget(), dialog->txtYohakuright);
    EXPECT_EQ(settings.printMargins, (std::array<int32_t, 4>{10, 11, 12, 13}));
}

TEST_F(PageSetupDialog, OkRefusesMarginsThatLeaveNoPage) {
    // The fake printer's printable area is 109 mm by 103 mm; without a
    // printer device the page is an A4 sheet.
    struct Case {
        const char* what;
        bool printerInstalled;
        const char* top;
        const char* bottom;
        const char* left;
        const char* right;
        const char* message;  // none: accepted
        int focusBox;         // 0 top, 1 bottom, 2 left, 3 right
    } cases[] = {
        {"negative", true, "5", "-1", "5", "5", "0 以上の数値を入力してください", 1},
        {"negative half rounds to zero", true, "-0.5", "5", "5", "5", nullptr, 0},
        {"no height left", true, "50", "53", "5", "5",
         "余白が大きすぎるため、用紙に印刷できる範囲が残りません。", 1},
        {"one millimetre of height left", true, "50", "52", "5", "5", nullptr, 0},
        {"no width left", true, "5", "5", "60", "49",
         "余白が大きすぎるため、用紙に印刷できる範囲が残りません。", 2},
        {"150/150 on A4", false, "150", "150", "5", "5",
         "余白が大きすぎるため、用紙に印刷できる範囲が残りません。", 0},
        {"140/150 on A4", false, "140", "150", "5", "5", nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        settings.printMargins = {10, 11, 12, 13};
        services.messages.clear();
        printer.reset();
        printSystem.printers = c.printerInstalled ? std::vector<std::string>{"Office Printer"}
                                                  : std::vector<std::string>{};
        auto dialog = MakeDialog();
        ASSERT_TRUE(ShowActive(*dialog));
        dialog->TabShow->setCurrentIndex(1);
        SetMargins(*dialog, c.top, c.bottom, c.left, c.right);
        QTest::mouseClick(dialog->cmdOk, Qt::LeftButton);
        if (c.message == nullptr) {
            EXPECT_TRUE(services.messages.empty());
            EXPECT_EQ(dialog->result(), QDialog::Accepted);
            continue;
        }
        ASSERT_EQ(services.messages.size(), 1u);
        EXPECT_EQ(services.messages[0].text, c.message);
        EXPECT_EQ(services.messages[0].title, "Quilmorn2008");
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->TabShow->currentIndex(), 0);
        std::array<QLineEdit*, 4> boxes = {dialog->txtYohakutop, dialog->txtYohakubottom,
                                           dialog->txtYohakuleft, dialog->txtYohakuright};
        EXPECT_EQ(QApplication::focusWidget(), boxes[static_cast<size_t>(c.focusBox)]);
        EXPECT_EQ(settings.printMargins, (std::array<int32_t, 4>{10, 11, 12, 13}));
    }
}

TEST_F(PageSetupDialog, CancelStoresNothing) {
    const Settings before = settings;
    auto dialog = MakeDialog();
    SetMargins(*dialog, "1", "2", "3", "4");
    dialog->txtHf[1]->setText("x");
    dialog->chkHeader->setChecked(false);
    QTest::mouseClick(dialog->cmdCancel, Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(settings.printMargins, before.printMargins);
    EXPECT_EQ(settings.headerFooterText, before.headerFooterText);
    EXPECT_EQ(settings.headerFooterShow, before.headerFooterShow);
}

TEST_F(PageSetupDialog, MinimumMarginsAreThePrintersUnprintableMarginsCutToWholeMillimetres) {
    // 10 pixels per mm; top 4.9 mm, bottom 4.0 mm, left 3.0 mm, right 1.9 mm.
    printSystem.device.offsetY = 49;
    printSystem.device.physHeight = 1030 + 49 + 40;
    printSystem.device.offsetX = 30;
    printSystem.device.physWidth = 1090 + 30 + 19;
    auto dialog = MakeDialog();
    QTest::mouseClick(dialog->cmdminYohaku, Qt::LeftButton);
    EXPECT_EQ(dialog->txtYohakutop->text(), "4");
    EXPECT_EQ(dialog->txtYohakubottom->text(), "4");
    EXPECT_EQ(dialog->txtYohakuleft->text(), "3");
    EXPECT_EQ(dialog->txtYohakuright->text(), "1");
    EXPECT_EQ(settings.printMargins, (std::array<int32_t, 4>{10, 11, 12, 13}));
}

TEST_F(PageSetupDialog, MinimumMarginsWithoutPrinterChangeNothing) {
    printSystem.printers.clear();
    auto dialog = MakeDialog();
    QTest::mouseClick(dialog->cmdminYohaku, Qt::LeftButton);
    ASSERT_EQ(printerMessages.messages.size(), 1u);
    EXPECT_EQ(printerMessages.messages[0].text, "通常使うﾌﾟﾘﾝﾀがありません。");
    EXPECT_EQ(dialog->txtYohakutop->text(), "10");
    EXPECT_EQ(dialog->txtYohakuright->text(), "13");
}

TEST_F(PageSetupDialog, ShowSwitchesGreyTheirTemplatesAndTheBrowserButton) {
    auto dialog = MakeDialog();
    SelectInTemplate(dialog->txtHf[1], 0, 0);
    EXPECT_TRUE(dialog->cmdBrouser->isEnabled());
    EXPECT_EQ(dialog->LastTemplateBox(), 1);

    QTest::mouseClick(dialog->chkHeader, Qt::LeftButton);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(dialog->txtHf[i]->isEnabled());
        EXPECT_FALSE(dialog->lblhf[i]->isEnabled());
    }
    EXPECT_FALSE(dialog->cmdBrouser->isEnabled());

    QTest::mouseClick(dialog->chkFutter, Qt::LeftButton);
    for (int i = 3; i < 6; ++i)
        EXPECT_TRUE(dialog->txtHf[i]->isEnabled());
    EXPECT_FALSE(dialog->cmdBrouser->isEnabled());
    SelectInTemplate(dialog->txtHf[5], 0, 0);
    EXPECT_TRUE(dialog->cmdBrouser->isEnabled());
}

TEST_F(PageSetupDialog, ChooserReplacesTheSelectionOfTheLastTemplateBox) {
    struct Case {
        bool clearDefinition;
        QString expected;
    } cases[] = {{true, "&V %D1-%p"}, {false, "&V Page%D1-%p"}};
    for (const Case& c : cases) {
        auto dialog = MakeDialog();
        SelectInTemplate(dialog->txtHf[2], 3, 4);  // "Page"
        QString seen;
        dialog->SetChooserRunner([&](frmHF& chooser) {
            seen = chooser.txtKata->text();
            if (c.clearDefinition)
                chooser.txtKata->clear();
            chooser.lstShow[0]->setCurrentRow(2);
            chooser.lstShow[1]->setCurrentRow(1);
            QTest::mouseClick(chooser.cmdcopy, Qt::LeftButton);
            QTest::mouseClick(chooser.cmdOk, Qt::LeftButton);
        });
        QTest::mouseClick(dialog->cmdBrouser, Qt::LeftButton);
        EXPECT_EQ(seen, "Page");
        EXPECT_EQ(dialog->txtHf[2]->text(), c.expected);
        EXPECT_EQ(settings.headerFooterText[2], "&V Page-%p");  // not before OK
    }
}

TEST_F(PageSetupDialog, ChooserInsertsAtTheCaretWithoutSelection) {
    auto dialog = MakeDialog();
    dialog->txtHf[0]->setText("ab");
    SelectInTemplate(dialog->txtHf[0], 1, 0);
    dialog->SetChooserRunner([](frmHF& chooser) {
        EXPECT_TRUE(chooser.txtKata->text().isEmpty());
        QTest::mouseClick(chooser.cmdcopy, Qt::LeftButton);  // "%p", the first item
        QTest::mouseClick(chooser.cmdOk, Qt::LeftButton);
    });
    QTest::mouseClick(dialog->cmdBrouser, Qt::LeftButton);
    EXPECT_EQ(dialog->txtHf[0]->text(), "a%pb");
}

TEST_F(PageSetupDialog, ChooserCancelledOrClosedChangesNothing) {
    auto dialog = MakeDialog();
    SelectInTemplate(dialog->txtHf[2], 3, 4);
    for (bool closeBox : {false, true}) {
        dialog->SetChooserRunner([closeBox](frmHF& chooser) {
            chooser.txtKata->setText("zzz");
            if (closeBox) {
                chooser.show();
                chooser.close();
            } else {
                QTest::mouseClick(chooser.cmdCancel, Qt::LeftButton);
            }
            EXPECT_TRUE(chooser.Tag().isEmpty());
        });
        QTest::mouseClick(dialog->cmdBrouser, Qt::LeftButton);
        EXPECT_EQ(dialog->txtHf[2]->text(), "&V Page-%p");
    }
}

TEST(UpDownArrows, StepTheBoxBetweenTheLimits) {
    EnsureQtApplication();
    QLineEdit box;
    UpDown arrows(&box, 0, 50);
    struct Case {
        QString text;
        int step;
        QString expected;
    } cases[] = {
        {"20", 1, "21"}, {"20", -1, "19"}, {"50", 1, "50"}, {"0", -1, "0"},
        {"70", 1, "50"}, {"-5", -1, "0"},  {" 7 ", 1, "8"},
    };
    for (const Case& c : cases) {
        box.setText(c.text);
        QTest::mouseClick(c.step > 0 ? arrows.upButton() : arrows.downButton(), Qt::LeftButton);
        EXPECT_EQ(box.text(), c.expected) << c.text.toStdString() << " " << c.step;
    }
    // Not a whole number: steps from the value the arrows wrote last.
    box.setText("abc");
    arrows.StepUp();
    EXPECT_EQ(box.text(), "9");
    // Full-width digits are a whole number like any other.
    box.setText("１５");
    arrows.StepUp();
    EXPECT_EQ(box.text(), "16");
}

class CodeChooser : public ::testing::Test {
  protected:
    void SetUp() override { EnsureQtApplication(); }

    std::unique_ptr<frmHF> MakeChooser() {
        return std::make_unique<frmHF>(
            HeaderFooterCodes(),
            [this](int kind, int item) {
                asked.emplace_back(kind, item);
                return "example " + std::to_string(kind) + "/" + std::to_string(item);
            },
            services);
    }
    static QStringList Entries(const QListWidget* list) {
        QStringList entries;
        for (int row = 0; row < list->count(); ++row)
            entries << list->item(row)->text();
        return entries;
    }

    FakePlatformServices services;
    std::vector<std::pair<int, int>> asked;
};

TEST_F(CodeChooser, OpensOnThePageNumberWithItsExample) {
    auto chooser = MakeChooser();
    EXPECT_EQ(chooser->windowTitle(), "ﾍｯﾀﾞ/ﾌｯﾀ ﾌﾞﾗｳｻﾞ");
    EXPECT_EQ(chooser->lblType->text(), "種類(&K):");
    EXPECT_EQ(chooser->lblKoumoku->text(), "選択(&S)");
    EXPECT_EQ(chooser->lblTeigata->text(), "定義文（&W)：");
    EXPECT_EQ(chooser->cmdcopy->text(), "コピー");
    EXPECT_EQ(chooser->cmdhelp->text(), "ﾍﾙﾌﾟ(&H)");
    EXPECT_EQ(Entries(chooser->lstShow[0]),
              (QStringList{"ﾍﾟｰｼﾞ", "ﾌｧｲﾙ名", "日付", "時刻", "ﾃﾞｰﾀ", "ｼｽﾃﾑ"}));
    EXPECT_EQ(Entries(chooser->lstShow[1]), QStringList{"%p:ﾍﾟｰｼﾞ番号"});
    EXPECT_EQ(chooser->lstShow[1]->currentRow(), 0);
    EXPECT_EQ(chooser->lblRei->text(), "example 0/0");
    EXPECT_TRUE(chooser->Tag().isEmpty());
}

TEST_F(CodeChooser, SwitchingTheKindRefillsTheItemsAndShowsTheFirstExample) {
    auto chooser = MakeChooser();
    chooser->lstShow[0]->setCurrentRow(5);
    EXPECT_EQ(Entries(chooser->lstShow[1]),
              (QStringList{"&V:ﾌﾟﾛｸﾞﾗﾑ名とﾊﾞｰｼﾞｮﾝ", "&D:ﾌﾟﾛｸﾞﾗﾑの内容", "&I:ﾕｰｻﾞｰID", "&C:会社名",
                           "&N:氏名"}));
    EXPECT_EQ(chooser->lblRei->text(), "example 5/0");
    chooser->lstShow[1]->setCurrentRow(3);
    EXPECT_EQ(chooser->lblRei->text(), "example 5/3");

    chooser->lstShow[0]->setCurrentRow(1);
    EXPECT_EQ(Entries(chooser->lstShow[1]),
              (QStringList{"＆P:ﾃﾞｨﾚｸﾄﾘ(大文字)", "＆p:ﾃﾞｨﾚｸﾄﾘ(小文字)", "＆F:ﾌｧｲﾙ名(大文字)",
                           "＆f:ﾌｧｲﾙ名(小文字)"}));
    EXPECT_EQ(chooser->lblRei->text(), "example 1/0");
    chooser->lstShow[0]->setCurrentRow(3);
    EXPECT_EQ(Entries(chooser->lstShow[1]),
              (QStringList{"%T1:時刻 1", "%T2:時刻 2", "%T3:時刻 3"}));
}

TEST_F(CodeChooser, CopyAppendsTheCodeAtTheEndWhateverTheCaret) {
    auto chooser = MakeChooser();
    chooser->txtKata->setText("Page");
    chooser->txtKata->setCursorPosition(0);
    chooser->lstShow[0]->setCurrentRow(2);
    chooser->lstShow[1]->setCurrentRow(1);
    EXPECT_EQ(chooser->lblRei->text(), "example 2/1");
    QTest::mouseClick(chooser->cmdcopy, Qt::LeftButton);
    QTest::mouseClick(chooser->cmdcopy, Qt::LeftButton);
    EXPECT_EQ(chooser->txtKata->text(), "Page%D1%D1");
    QTest::mouseClick(chooser->cmdOk, Qt::LeftButton);
    EXPECT_EQ(chooser->Tag(), "OK");
}

TEST_F(CodeChooser, EnterInTheDefinitionConfirmsWithoutAppendingACode) {
    auto chooser = MakeChooser();
    ASSERT_TRUE(ShowActive(*chooser));
    chooser->txtKata->setFocus();
    QTest::keyClicks(chooser->txtKata, "Page");
    QTest::keyClick(chooser->txtKata, Qt::Key_Return);
    EXPECT_EQ(chooser->Tag(), "OK");
    EXPECT_EQ(chooser->txtKata->text(), "Page");
}

TEST_F(CodeChooser, ExampleIsShownAsPlainText) {
    frmHF chooser(
        HeaderFooterCodes(), [](int, int) { return std::string("<b>Title</b>"); }, services);
    EXPECT_EQ(chooser.lblRei->text(), "<b>Title</b>");
    EXPECT_EQ(chooser.lblRei->textFormat(), Qt::PlainText);
}

TEST_F(CodeChooser, RealExamplesComeFromTheDocument) {
    Document doc;
    doc.currentFolder = "/Data/Site";
    doc.basicData.ShortName = "short";
    ProgramInfo program;
    frmHF chooser(
        HeaderFooterCodes(),
        [&](int kind, int item) {
            return HeaderFooterExample(static_cast<std::int16_t>(kind),
                                       static_cast<std::int16_t>(item), doc, program,
                                       LocalClockNow());
        },
        services);
    EXPECT_EQ(chooser.lblRei->text(), "ppct");
    chooser.lstShow[0]->setCurrentRow(1);
    chooser.lstShow[1]->setCurrentRow(1);
    EXPECT_EQ(chooser.lblRei->text(), "/data/site");
    chooser.lstShow[1]->setCurrentRow(3);
    EXPECT_EQ(chooser.lblRei->text(), "");  // unsaved document: no file name
    chooser.lstShow[0]->setCurrentRow(4);
    chooser.lstShow[1]->setCurrentRow(1);
    EXPECT_EQ(chooser.lblRei->text(), "short");
}

}  // namespace
