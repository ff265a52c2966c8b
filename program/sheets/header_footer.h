#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "canvas/clsStrMeta.h"
#include "core/document.h"
#include "sheets/sheet_context.h"

// Expands the shown header and footer templates of the settings and draws them
// on meta, which must be recording, in its current font: the header on row
// 1.1, the footer on row lMaxRow - 0.6, left, centred and right-aligned. page
// is 0 for printed page 1 and any other value for printed page 2. Nothing is
// drawn unless the show flags are (1, 1), (1, 0) or (0, 1).
void DrawHeaderFooter(clsStrMeta& meta, const SheetInputs& in, std::int16_t page);

// The template with every code of the header and footer code table expanded,
// group by group and entry by entry. A code matches without regard to the case
// of its letters and to full-width or half-width forms, except that the folder
// and file-name codes keep the case of their letter.
std::string ExpandHeaderFooterText(std::string_view templateText, std::int16_t page,
                                   const Document& doc, const ProgramValues& program,
                                   const LocalDateTime& now);

// The example the code chooser shows for its kind `group` and item `entry`
// (both counted from 0); empty for a pair that has no item.
std::string HeaderFooterExample(std::int16_t group, std::int16_t entry, const Document& doc,
                                const ProgramValues& program, const LocalDateTime& now);

// The local date and time now.
LocalDateTime LocalClockNow();
