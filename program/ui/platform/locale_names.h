#pragma once

#include <QLocale>

#include "core/format.h"

// The abbreviated month names of `locale`, January first ("12月" for
// December in Japanese), as the dates of the printed pages use them.
MonthNames LocaleMonthAbbreviations(const QLocale& locale);
