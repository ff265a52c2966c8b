#pragma once

#include <cstdint>
#include <span>
#include <vector>

// The records of a page as a saved figure carries them, for readers other than
// this program. A GDI reader and LibreOffice each fill in what a record leaves
// to the reader in their own way, so the file leaves them as little as it can;
// a GDI reader draws the result as it drew the page's own records:
// - A font whose width is half its height (one text column, not condensed)
//   is written with width 0: GDI then takes the face's natural width, which for
//   a fixed-pitch Japanese face is half the height, the width asked for;
//   LibreOffice takes the substituted face's natural width instead of scaling
//   that face's average width to the number, which squeezes Japanese text.
//   A condensed font keeps its width.
// - Every text is written with the advance of each byte (EXTTEXTOUT with its
//   dx array), the width of one text column of its font, so that every reader
//   puts each character into its column whatever face it substitutes, and a
//   condensed text ends where the cell does.
// - A line drawn with a thin styled pen (dash, dot, dash-dot, dash-dot-dot, at
//   most one unit wide) is written as its dashes, solid lines of that pen's
//   width: GDI draws the style in device pixels, LibreOffice scales it with the
//   pen's width, which leaves the dots of a one-unit pen too small to see.
//   Other shapes drawn with such a pen are outlined solid.
// unitsPerMm: logical units per millimetre of the page, which sets the dashes'
// lengths. The result is a whole standard metafile (header, records, end).
std::vector<std::uint8_t> PortableRecords(std::span<const std::uint8_t> page, double unitsPerMm);
