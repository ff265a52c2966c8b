#pragma once

#include <array>
#include <string>
#include <vector>

#include "canvas/clsStrMeta.h"
#include "core/document.h"
#include "core/result_grades.h"

// The results sheet, printed page 2: the calculation and exclusion conditions,
// the FL, Dcy and PL judgements and one table row per calculated point. All
// positions are canvas columns and rows of a page of at least 140 × 70 cells.

// Where the results table lies on one page. Built by DrawResultSheetFrame and
// read by the DrawResultTable that follows it on the same page.
struct ResultSheetLayout {
    // Row boundaries: 0 top of the table, 1 foot of the group heads, 2 foot of
    // the column heads, 2 + r foot of data row r (r = 1..n, n shown points).
    std::vector<double> rowY;
    // Column boundaries 0..lastCol; column k lies between colX[k] and colX[k + 1].
    std::vector<double> colX;
    int lastCol = 0;  // 19, 20 or 21 by the clay-content and plasticity columns
    // Boundaries of the seven head groups (calculation conditions, equivalent
    // cyclic stress ratio, resistance ratio, safety factor, cyclic, risk,
    // horizontal subgrade) as indexes into colX.
    std::array<int, 7> groupCol{};
    bool showCC = false;  // the clay-content column is in use
    bool showIp = false;  // the plasticity-index column is in use

    // The first value column after the soil properties (σz).
    int StressCol() const { return 3 + (showCC ? 1 : 0) + (showIp ? 1 : 0); }
    // The row of the table's foot.
    double Bottom() const { return rowY.back(); }
    // Data rows shown.
    int Rows() const { return static_cast<int>(rowY.size()) - 3; }
};

// The layout of the table on a page of maxRow text rows. Data rows are 2 rows
// high; when the shown points do not fit above row maxRow - 11 they share that
// space evenly, never at more than 2 rows each.
ResultSheetLayout LayoutResultSheet(const Document& doc, int maxRow);

// Draws everything of the sheet but the table values: frame, condition block,
// exclusions, judgements, heads and the note under the table.
ResultSheetLayout DrawResultSheetFrame(clsStrMeta& canvas, const Document& doc);

// Writes one table row per shown point (N not 0) into the layout.
void DrawResultTable(clsStrMeta& canvas, const Document& doc, const ResultSheetLayout& layout);

// The judgement texts.
std::string FlJudgement(const Document& doc);
std::string DcySentence(double dcyTotal);
std::string PlSentence(double plTotal);
