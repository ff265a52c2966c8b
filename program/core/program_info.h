#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/format.h"

// The program-wide values that header and footer codes print and the version
// dialog shows.
struct ProgramInfo {
    double programVersion = 0;  // two decimals: 1.6 stands for version "1.60"
    std::string userName;
    std::int32_t userID = 0;
    std::string companyName;
    // The user's abbreviated month names for "mmm" in dates; the windows fill
    // them from the locale, empty entries print the English abbreviation.
    MonthNames monthAbbreviations{};
};

// The values of this build and of the account that runs it: the version from
// the build's project version, the user's full name (the login name when the
// account has none) and numeric user ID, and the company name the build was
// configured with (empty unless set).
ProgramInfo CurrentProgramInfo();

// "major.minor[.patch...]" as the number major.minor ("2.0.0" gives 2.0,
// "1.60" gives 1.6); 0 when the text does not start with a number.
double ProgramVersionFromText(std::string_view version);
