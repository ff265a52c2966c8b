#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include "core/round_to_text.h"
#include "ui/dialogs/dialog_test_support.h"
#include "ui/dialogs/fdlgVersion.h"
#include "ui/main_window/toolbar_images.h"

namespace {

TEST(RoundToText, RoundsPadsAndTrims) {
    struct Case {
        const char* text;
        int digits;
        const char* expected;
    } cases[] = {
        {"1.234", 2, "1.23"},    {"1.235", 2, "1.24"},
        {"7", 0, "7"},           {"2.5", 0, "3"},
        {"2.4", 0, "2"},         {"9.5", 0, "10"},
        {"1.5", -2, " 1.5"},     {"2", -2, "   2"},
        {"10", -2, "   10"},     {"0", -2, "   0"},
        {"1.25", -3, " 1.25"},   {"2E16", 2, "****"},
        {"-2E16", 0, "-**"},     {"1E15", 0, "1000000000000000"},
        {"1.6", 2, "1.60"},      {"2", 2, "2.00"},
        {"0.25", 2, "0.25"},     {"1.995", 2, "2.00"},
        {"0.0951", 1, "0.1"},    {"0.00004", 2, "0.00"},
        {"0.00005", 3, "0.000"}, {"0.00015", 3, "0.000"},
        {"0.00051", 3, "0.001"}, {"12abc", 1, "12.0"},
        {"abc", 2, "0.00"},      {"-1.235", 2, "-1.24"},
        {"-2.5", 0, "-3"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RoundToText(c.text, c.digits), c.expected) << c.text << " " << c.digits;
}

TEST(VersionDialog, ShowsTheVersionWithTwoDecimals) {
    EXPECT_EQ(VersionText(1.6), "1.60");
    EXPECT_EQ(VersionText(2), "2.00");
    EXPECT_EQ(VersionText(0), "9.99");
    EXPECT_EQ(VersionText(1.605), "1.61");
}

TEST(VersionDialog, ShowsTitleVersionAndNotices) {
    EnsureQtApplication();
    ProgramInfo program;
    program.programVersion = 1.6;
    fdlgVersion dialog(program);
    EXPECT_EQ(dialog.windowTitle(), "Vekt／Quilmorn2008");
    EXPECT_EQ(dialog.lblStatic[0]->text(), "Vekt／Quilmorn2008");
    EXPECT_EQ(dialog.lblStatic[1]->text(), "Version");
    EXPECT_EQ(dialog.lblVersion->text(), "1.60");
    EXPECT_FALSE(dialog.lblStatic[2]->text().isEmpty());
    EXPECT_FALSE(dialog.lblStatic[4]->text().isEmpty());
    EXPECT_EQ(dialog.cmdOK->text(), "OK");
    dialog.show();
    QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(VersionDialog, ShowsTheProgramsIcon) {
    EnsureQtApplication();
    QWidget main;
    main.setWindowIcon(ProgramIcon());
    fdlgVersion dialog(ProgramInfo{}, &main);
    ASSERT_NE(dialog.picIcon->pixmap().toImage().size(), QSize());
    dialog.picIcon->pixmap().save(QM_TEST_OUTPUT_DIR "/program_icon.png");
    // The water mark stands in the icon's upper right.
    QImage image = dialog.picIcon->pixmap().toImage();
    EXPECT_EQ(image.pixelColor(image.width() * 28 / 32, image.height() * 10 / 32),
              QColor(0, 0, 255));
}

TEST(VersionDialog, ProgramVersionComesFromTheBuild) {
    EXPECT_GT(CurrentProgramInfo().programVersion, 0);
    EXPECT_EQ(VersionText(ProgramVersionFromText("2.0.0")), "2.00");
}

TEST(CenterOnMainForm, CentresAndKeepsTheTopLeftOnScreen) {
    struct Case {
        QRect main;
        QSize form;
        QPoint expected;
    } cases[] = {
        {{100, 200, 800, 600}, {400, 300}, {300, 350}},
        {{100, 200, 801, 601}, {400, 300}, {300, 350}},     // half a unit dropped
        {{10, 20, 200, 100}, {400, 300}, {0, 0}},           // would go above and left of 0
        {{1500, 900, 800, 600}, {400, 300}, {1700, 1050}},  // may reach beyond the screen
    };
    for (const Case& c : cases)
        EXPECT_EQ(CenteredOver(c.main, c.form), c.expected);
}

TEST(CenterOnMainForm, PlacesTheDialogOverTheMainWindow) {
    EnsureQtApplication();
    QWidget main;
    main.setGeometry(100, 100, 900, 700);
    main.show();
    ProgramInfo program;
    fdlgVersion dialog(program, &main);
    dialog.show();
    QRect mainFrame = main.frameGeometry();
    QRect frame = dialog.frameGeometry();
    EXPECT_LE(std::abs(frame.center().x() - mainFrame.center().x()), 1);
    EXPECT_LE(std::abs(frame.center().y() - mainFrame.center().y()), 1);
}

}  // namespace
