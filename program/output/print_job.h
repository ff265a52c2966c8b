#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "canvas/clsStrMeta.h"
#include "core/message_sink.h"
#include "output/clsPrinter.h"

// The print job: the recorded pages replayed into the printer inside the
// user's margins.
//
// pageMeta: the printed pages by page number, index 1 page 1 (the boring log),
// index 2 page 2 (the results); index 0 is not used. A page beyond the span
// is refused like a page that was not recorded.
// printMargins: the user's margins in whole millimetres, index 0 top, 1 bottom,
// 2 left, 3 right; a missing slot counts as 0.

// Whether the system is of version 4.0, whose print dialog offered no page
// range; never so here.
bool IsOsVersion40();

// A user margin in device pixels less the printer's unprintable offset on that
// side, never below 0; the nearest pixel, a half going to the even one.
std::int32_t MarginToPixels(double marginMM, double pixelPerMM, std::int32_t printerOffset);

// Prints page (1 or 2) into the document already started; true when the page
// was ended successfully.
bool PrintPage(clsPrinter& printer, std::span<const clsStrMeta> pageMeta, std::int32_t page,
               std::span<const std::int32_t> printMargins);

// The print command: the print dialog, then pages 1 and 2 (or the range chosen)
// as one document "Vekt／Quilmorn2008". A failure ends the document without
// printing any of it and shows "印刷中にエラーが発生しました。印刷を中止します".
// composePages, when given, records the pages after the dialog was confirmed,
// so that they fit the paper and printer chosen there rather than the ones
// before it. A page of the range without a recording (it could not be
// composed), or one whose margins leave it no room on the chosen paper, starts
// no document and is reported instead of printing a white sheet.
// True when the document went to the printer.
bool PrintPages(clsPrinter& printer, std::span<const clsStrMeta> pageMeta,
                std::span<const std::int32_t> printMargins, MessageSink& messages,
                const std::function<void()>& composePages = {});
