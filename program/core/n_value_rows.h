#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/document.h"
#include "core/input_table.h"

// The rules of the N-value rows: what the document keeps of a grid row, what a
// blank row is, and what a new row starts with. Rows are counted from 1, as the
// grid counts them; the grid's own cells stay with the window.

// The row the document keeps where the grid shows nothing: no depth, no N,
// the standard penetration, no FC.
inline constexpr NPoint kBlankNPoint{-1, 0, kStandardPenetration, 0};

// A row as the grid holds it: whether it is marked as holding data, and the
// values of its cells (those of hidden columns too).
struct NGridRow {
    bool filled = false;
    NPoint values;
};

// The N-value grid's table keeps a row in Double slots 1 to 4, one per field
// of NPoint in its order: Depth, N, Penetration, FC.
inline constexpr int32_t kNTableDoubleSlots = 4;

// A row of the N-value grid's table, hidden slots included.
NGridRow NGridRowOf(const InputTable& table, int32_t row);

// Makes every row of the N-value grid's table without data, and every row it
// adds, inserts or clears from then on, the blank row the document keeps:
// with the standard penetration.
void StartNRowsBlank(InputTable& table);

// What the document keeps of a grid row. Without a depth the row is blank, as
// the grid shows it: an old N kept behind a cleared depth would come back
// unseen.
NPoint KeptNPoint(const NGridRow& row);

// The whole grid taken into the point list: one point per row up to the last
// filled one, so that rows cleared at the end leave the document too.
void TakeNRows(std::vector<NPoint>& points, const std::vector<NGridRow>& rows);

// One grid row taken into the point list. A filled row past the end lengthens
// the list with blank rows; an empty row past the end changes nothing.
void TakeNRow(std::vector<NPoint>& points, int32_t row, const NGridRow& gridRow);

// The point the grid shows in a row, or none where it shows a blank row: past
// the end of the list or without a depth.
std::optional<NPoint> NPointToShow(const std::vector<NPoint>& points, int32_t row);

// Whether a row holds values in the columns shown. The standard penetration
// is the blank row's own, so it holds nothing; hidden columns never count.
bool NRowHoldsValues(const NPoint& values, int32_t nConvert30, int32_t fcInputMode);

// What becomes of a filled row without a depth once a cell of it is left or a
// command has changed the grid.
enum class NRowWithoutDepth {
    Keep,    // not such a row: it has a depth or holds no data
    Clear,   // it holds nothing: it becomes an empty row
    Refuse,  // a value was typed or is held there: the row shows the document again
};
NRowWithoutDepth SettleNRow(const NGridRow& row, bool typedValue, int32_t nConvert30,
                            int32_t fcInputMode);

// Whether a row's penetration cell takes the standard penetration after a
// command changed the grid: rows the command added (from firstNewRow on) and
// empty rows start as the blank row does, unless a penetration was pasted.
bool NRowTakesStandardPenetration(int32_t row, int32_t firstNewRow, bool filled,
                                  double penetration);

// The depth a new row offers when its depth cell is left empty towards the N
// cell: 0 for the first row, one metre below the last point for the row right
// after it; none elsewhere.
std::optional<double> NewNRowDepth(const std::vector<NPoint>& points, int32_t row);
