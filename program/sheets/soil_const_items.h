#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/document.h"

// The soil constants that the printed boring log can show, in the order of
// their columns: fines content first, then unit weight and the others in
// LayerRecord order.

struct SoilConstHead {
    std::string text;  // one line of the head
    double row;        // row offset from the top of the sheet
};

struct SoilConstItem {
    int item;                         // LayerRecord::Constant item, 1 = gamma .. 14 = Es
    std::vector<SoilConstHead> name;  // the name lines of the head
    std::string unit;                 // unit line at row offset 4.5; empty = none
    bool unitInset;                   // the unit line keeps 0.4 column off each rule
    std::string superscript;          // raised into the blank of the unit; empty = none
    std::string format;               // FormatFixed pattern of the values
    bool magnitude;                   // values printed without their sign (derived defaults)
};

// The 14 items in column order.
const std::array<SoilConstItem, kSoilConstantCount>& SoilConstItems();

// The effective choice of soil-constant columns: an item chosen whose layer
// column is not in use is dropped, except the fines content while it is
// entered on the N-value rows; at most kMaxPrintItems are kept. The frame's
// heads and the table's values both use it, so every value stands under its
// own head.
PrintItemFlags EffectiveItems(const Document& doc, const PrintItemFlags& items);

// Number of items set to 1.
int CountItems(const PrintItemFlags& items);

// True when the item (1..14) is set to 1.
inline bool ItemChosen(const PrintItemFlags& items, int item) {
    return items[static_cast<std::size_t>(item - 1)] == 1;
}

inline constexpr int kItemGamma = 1;
// The most soil constants the printed boring log has room for.
inline constexpr int kMaxPrintItems = 8;
inline constexpr int kItemFC = 2;
