#include "ui/platform/locale_names.h"

MonthNames LocaleMonthAbbreviations(const QLocale& locale) {
    MonthNames names;
    for (int month = 1; month <= 12; ++month)
        names[static_cast<size_t>(month - 1)] =
            locale.monthName(month, QLocale::ShortFormat).toStdString();
    return names;
}
