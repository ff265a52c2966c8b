#pragma once

#include "core/document.h"

// The store slots of the main window's input grids: which typed value of a
// row each slot of its binding (clsSpreadIn) holds. A column shows Double
// slot k under the slot code -k and Long slot k under the code k.

// The N-value grid: one Double slot per field of NPoint, no Long slot, no text.
inline constexpr int kNSlotDepth = 1;
inline constexpr int kNSlotN = 2;
inline constexpr int kNSlotPenetration = 3;
inline constexpr int kNSlotFC = 4;
inline constexpr int kNDoubleSlots = 4;

// The soil grid: the layer's thickness and its constants in Double slots, its
// soil code in the one Long slot and its soil name in the row's text.
inline constexpr int kSoilSlotThickness = 1;
inline constexpr int kSoilSlotCode = 1;
inline constexpr int kSoilLongSlots = 1;
inline constexpr int kSoilDoubleSlots = 1 + kSoilConstantCount;

// The Double slot of the layer's constant `item` (1..kSoilConstantCount, in
// LayerRecord::Constant's order): right after the thickness.
constexpr int SoilConstantSlot(int item) {
    return kSoilSlotThickness + item;
}
