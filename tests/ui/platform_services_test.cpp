#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "support/qt_application.h"
#include "ui/qt_platform_services.h"

TEST(QtNameFilters, TurnsDescriptionPatternPairsIntoQtFilters) {
    struct Case {
        std::string filter;
        QString expected;
    } cases[] = {
        {"Vekt／Quilmorn2008ファイル (*.qmf)|*.qmf|", "Vekt／Quilmorn2008ファイル (*.qmf)"},
        {"ﾒﾀﾌｧｲﾙ (*.wmf)|*.wmf", "ﾒﾀﾌｧｲﾙ (*.wmf)"},
        {"Text|*.txt;*.csv|All (*.*)|*.*|", "Text (*.txt *.csv);;All (*.*)"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QtNameFilters(c.filter), c.expected) << c.filter;
}

TEST(DialogStartPath, JoinsFolderAndProposedName) {
    EXPECT_EQ(DialogStartPath({"", "", "/data", ""}), "/data");
    EXPECT_EQ(DialogStartPath({"", "", "/data", "site"}), "/data/site");
    EXPECT_EQ(DialogStartPath({"", "", "/data/", "site"}), "/data/site");
    EXPECT_EQ(DialogStartPath({"", "", "/data", "/other/site.qmf"}), "/other/site.qmf");
    EXPECT_EQ(DialogStartPath({"", "", "", "site"}), "site");
}

TEST(CommandWithoutFieldCodes, RemovesPlaceholdersAndTheirQuotes) {
    EXPECT_EQ(CommandWithoutFieldCodes("firefox-esr %u"), "firefox-esr");
    EXPECT_EQ(CommandWithoutFieldCodes("/usr/bin/browser --new \"%U\""), "/usr/bin/browser --new");
    EXPECT_EQ(CommandWithoutFieldCodes("viewer %F --flag"), "viewer  --flag");
    EXPECT_EQ(CommandWithoutFieldCodes("tool --rate=50%% %f"), "tool --rate=50%");
    EXPECT_EQ(CommandWithoutFieldCodes("plain"), "plain");
}

TEST(QtMessageBoxes, EscapeAnswersCancelWhereThereIsOneAndNoOtherwise) {
    EnsureQtApplication();
    struct Case {
        MessageButtons buttons;
        MessageAnswer escape;
        int buttonCount;
    };
    const Case cases[] = {
        {MessageButtons::YesNoCancel, MessageAnswer::Cancel, 3},
        {MessageButtons::YesNo, MessageAnswer::No, 2},
        {MessageButtons::OkCancel, MessageAnswer::Cancel, 2},
        {MessageButtons::Ok, MessageAnswer::Ok, 1},
    };
    QtPlatformServices services;
    for (const Case& c : cases) {
        int buttons = 0;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr)
                return;
            buttons = static_cast<int>(box->buttons().size());
            QTest::keyClick(box, Qt::Key_Escape);
        });
        EXPECT_EQ(services.ShowMessage("?", MessageIcon::Exclamation, "t", c.buttons), c.escape);
        EXPECT_EQ(buttons, c.buttonCount);
    }
}
