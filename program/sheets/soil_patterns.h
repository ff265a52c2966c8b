#pragma once

#include <cstdint>

#include "canvas/clsStrMeta.h"

// The soil symbols of the soil column: a primary pattern for the soil code's
// hundreds (1..9) and a modifier overlay on top of it for the code's last two
// digits (1..8). Each draws into one cell given in the canvas's view units
// (x1 left, x2 right, y1 top, y2 bottom; y grows downwards). mono 0 is colour
// output (a primary pattern first fills the cell with its colour), any other
// value black and white. A pattern that changes the pen sets the solid black
// pen of width 1 again at its end.

void DrawSoilPattern1(clsStrMeta& canvas, double x1, double x2, double y1, double y2, int mono);
void DrawSoilPattern2(clsStrMeta& canvas, double x1, double x2, double y1, double y2, int mono);
void DrawSoilPattern3(clsStrMeta& canvas, double x1, double x2, double y1, double y2, int mono);
void DrawSoilPattern4(clsStrMeta& canvas, double x1, double x2, double y1, double y2, int mono);
void DrawSoilPattern5(clsStrMeta& canvas, double x1, double x2, double y1, double y2, int mono);
void DrawSoilPattern6(clsStrMeta& canvas, double x1, double x2, double y1, double y2, int mono);
void DrawSoilPattern7(clsStrMeta& canvas, double x1, double x2, double y1, double y2, int mono);
void DrawSoilPattern8(clsStrMeta& canvas, double x1, double x2, double y1, double y2, int mono);
void DrawSoilPattern9(clsStrMeta& canvas, double x1, double x2, double y1, double y2, int mono);

void DrawSoilOverlay1(clsStrMeta& canvas, double x1, double x2, double y1, double y2, int mono);
void DrawSoilOverlay2(clsStrMeta& canvas, double x1, double x2, double y1, double y2, int mono);
void DrawSoilOverlay3(clsStrMeta& canvas, double x1, double x2, double y1, double y2, int mono);
void DrawSoilOverlay4(clsStrMeta& canvas, double x1, double x2, double y1, double y2, int mono);
void DrawSoilOverlay5(clsStrMeta& canvas, double x1, double x2, double y1, double y2, int mono);
void DrawSoilOverlay6(clsStrMeta& canvas, double x1, double x2, double y1, double y2, int mono);
void DrawSoilOverlay7(clsStrMeta& canvas, double x1, double x2, double y1, double y2, int mono);
void DrawSoilOverlay8(clsStrMeta& canvas, double x1, double x2, double y1, double y2, int mono);

// The primary pattern of code / 100 and then the overlay of code % 100; a part
// outside 1..9 or 1..8 draws nothing.
void DrawSoilSymbol(clsStrMeta& canvas, std::int32_t soilCode, double x1, double x2, double y1,
                    double y2, int mono);
