#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/date.h"
#include "core/document.h"
#include "core/program_info.h"
#include "core/settings.h"

class clsStrMeta;

// A reading of the local clock, to the second.
struct ClockTime {
    Date date;
    int hour = 0;  // 0..23
    int minute = 0;
    int second = 0;
};

// The local date and time now.
ClockTime ClockNow();

// What the header and footer codes print besides the page number.
struct HeaderFooterValues {
    const Document& doc;  // folder, file name, project name and short name
    const ProgramInfo& program;
    ClockTime now;  // the moment the page is composed
};

// The template with every code of the header and footer code table expanded,
// group by group and entry by entry; page 0 is printed page 1, any other value
// printed page 2. A code matches without regard to the case of its letters and
// to full-width or half-width forms, except that the folder and file-name codes
// keep the case of their letter.
std::string ExpandHeaderFooterText(std::string_view templateText, std::int16_t page,
                                   const HeaderFooterValues& values);

// Draws the shown header and footer texts of the settings, expanded, on the
// recording canvas in its current font: header on row 1.1, footer on row
// lMaxRow - 0.6, left, centred and right-aligned. Nothing when the show flags
// are neither (1, 1), (1, 0) nor (0, 1).
void DrawHeaderFooter(clsStrMeta& meta, std::int16_t page, const Settings& settings,
                      const HeaderFooterValues& values);

// The example the code chooser shows for its kind `group` and item `entry`
// (both counted from 0); empty for a pair that has no item.
std::string HeaderFooterExample(std::int16_t group, std::int16_t entry,
                                const HeaderFooterValues& values);
