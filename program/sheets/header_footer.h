#pragma once

#include <cstdint>

#include "output/canvas/clsStrMeta.h"
#include "sheets/sheet_context.h"

// Expands the shown header and footer templates of the settings and draws them
// on meta, which must be recording. page is 0 for printed page 1 and any other
// value for printed page 2.
void DrawHeaderFooter(clsStrMeta& meta, const SheetInputs& in, std::int16_t page);
