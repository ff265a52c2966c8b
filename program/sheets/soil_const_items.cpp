#include "sheets/soil_const_items.h"

const std::array<SoilConstItem, kSoilConstantCount>& SoilConstItems() {
    static const std::array<SoilConstItem, kSoilConstantCount> items{{
        {2, {{"FC", 1.5}}, "(%)", false, "", "##0.0", true},
        {1, {{"単位", 1.5}, {"体積", 2.5}, {"重量", 3.5}}, "(kN/m )", true, "3", "##0.0", true},
        {3, {{"CC", 1.5}}, "(%)", false, "", "##0.0", false},
        {4, {{"Ip", 1.5}}, "(%)", false, "", "##0.0", false},
        {5, {{"qu", 1.5}}, "(kN/m )", true, "2", "##0.0", false},
        {6, {{"ポア", 1.5}, {"ソン", 3.0}, {"比", 4.5}}, "", false, "", "#0.000", false},
        {7, {{"Vs", 1.5}}, "(m/s)", true, "", "###0.0", false},
        {8, {{"Vp", 1.5}}, "(m/s)", true, "", "###0.0", false},
        {9, {{"Eo", 1.5}}, "(kN/m )", true, "2", "#####0", false},
        {10, {{"β", 1.5}}, "(-)", true, "", "0.00", false},
        {11, {{"Cc", 1.5}}, "(-)", true, "", "0.000", false},
        {12, {{"Pc", 1.5}}, "(kN/m )", true, "2", "####0.0", false},
        {13, {{"eo", 1.5}}, "(-)", true, "", "#.000", false},
        {14, {{"Es", 1.5}}, "(MN/m )", true, "2", "#####0", false},
    }};
    return items;
}

PrintItemFlags EffectiveItems(const Document& doc, const PrintItemFlags& items) {
    PrintItemFlags out{};
    // A choice from a file may hold more than the page has room for: the first
    // ones in the print-item dialog's order (FC, the unit weight, then CC to
    // Es) are kept, as the dialog keeps them.
    int kept = 0;
    for (int box = 0; box < kSoilConstantCount && kept < kMaxPrintItems; ++box) {
        const int item = box == 0 ? kItemFC : box == 1 ? kItemGamma : box + 1;
        bool inUse = doc.layerColumnUsed[static_cast<std::size_t>(item)] == 1 ||
                     (item == kItemFC && doc.fcInputMode == 1);
        if (ItemChosen(items, item) && inUse) {
            out[static_cast<std::size_t>(item - 1)] = 1;
            ++kept;
        }
    }
    return out;
}

int CountItems(const PrintItemFlags& items) {
    int m = 0;
    for (int flag : items)
        m += flag == 1 ? 1 : 0;
    return m;
}
