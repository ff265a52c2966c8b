#include "ui/platform/locale_names.h"

#include <gtest/gtest.h>

#include "sheets/header_footer.h"

TEST(LocaleMonthAbbreviations, NameTheMonthsAsTheLocaleDoes) {
    MonthNames japanese = LocaleMonthAbbreviations(QLocale(QLocale::Japanese, QLocale::Japan));
    EXPECT_EQ(japanese[0], "1月");
    EXPECT_EQ(japanese[11], "12月");
    MonthNames english = LocaleMonthAbbreviations(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(english[11], "Dec");

    // Handed down to the page texts, the Japanese names print in "%D2".
    ProgramValues program;
    program.monthAbbreviations = japanese;
    Document doc;
    LocalDateTime now{Date{2008, 12, 5}, 9, 0, 0};
    EXPECT_EQ(ExpandHeaderFooterText("%D2", 0, doc, program, now), "08-12月-05");
}
