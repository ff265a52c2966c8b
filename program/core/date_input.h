#pragma once

#include <optional>
#include <string_view>

#include "core/date.h"

// A date typed by the user, year first as the dialogs write it: "2008/03/05",
// "2008/3/5", "2008-03-05", "2008.3.5" or "2008年3月5日", in half-width or
// full-width characters, with blanks around it. A two-digit year is taken as
// 2000 to 2029 (00 to 29) or 1930 to 1999 (30 to 99). Nothing for any other
// text or for a day that does not exist.
std::optional<Date> ReadDateInput(std::string_view text);
