#pragma once

#include "core/document.h"
#include "core/message_sink.h"
#include "core/quorlith_binding.h"

// The liquefaction calculation of the document: checks the N-value rows, the
// layers and the conditions, builds the per-centimetre profiles, decides which
// points are calculated, judges each of them through the library and sums the
// PL and Dcy totals into the last result.
//
// Rebuilds doc.calcPoints and doc.calcResults (one element per N-value row
// inside the calculation depth) and sets the gravity. A failing check writes
// its one message to `messages` and leaves no points; a successful run writes
// nothing there, so the last message stays.
void CalcLiquefaction(Document& doc, CalcMessageSink& messages,
                      QuorlithLibrary& library = ProgramQuorlithLibrary());
