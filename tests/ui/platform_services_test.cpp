#include <gtest/gtest.h>

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
