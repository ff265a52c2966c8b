#pragma once

#include <string>

#include "canvas/clsStrMeta.h"

// Writing labels into the cells of a sheet. Row y has the meaning of PicTextT:
// the text sits in the band between row y - 1 and row y. Both routines leave
// the canvas font at the standard size (ratios 1.0), whatever it was before.

// Writes the text between columns x1 and x2 on row y, in black: centred when it
// fits, condensed horizontally to fill the cell exactly when it is wider. Its
// width is its length in code page 932 bytes (one column each at the standard
// font). An empty text draws nothing.
void DrawCellText(clsStrMeta& canvas, double x1, double x2, double y, const std::string& text);

// Writes the text at half width and half height at column x, row y, in black:
// placed for a full-size character, it sits in the upper half of the row.
void DrawCellTextB(clsStrMeta& canvas, double x, double y, const std::string& text);
