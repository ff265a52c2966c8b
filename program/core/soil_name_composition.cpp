#include "core/soil_name_composition.h"

#include <cstddef>

const LayerRecord* ChosenMainSoil(const Settings& settings, int listRow) {
    if (listRow < 0 || listRow >= static_cast<int>(settings.mainSoilNames.size()))
        return nullptr;
    return &settings.mainSoilNames[static_cast<size_t>(listRow)];
}

const LayerRecord* ChosenModifier(const Settings& settings, int listRow) {
    if (listRow <= 0 || listRow > static_cast<int>(settings.subSoilNames.size()))
        return nullptr;
    return &settings.subSoilNames[static_cast<size_t>(listRow - 1)];
}

void ComposeSoilName(LayerRecord& layer, const LayerRecord& main, const LayerRecord* modifier) {
    layer.SoilName = modifier != nullptr ? modifier->SoilName + main.SoilName : main.SoilName;
    layer.SoilCode = modifier != nullptr ? main.SoilCode + modifier->SoilCode : main.SoilCode;
    for (int item = 1; item <= kSoilConstantCount; ++item) {
        if (layer.Constant(item) > 0)
            continue;
        const double fromTables =
            main.Constant(item) + (modifier != nullptr ? modifier->Constant(item) : 0.0);
        // Negating a default of 0 would give a negative zero, which the
        // project file would hold as "-0".
        layer.Constant(item) = fromTables == 0 ? 0.0 : -fromTables;
    }
}
