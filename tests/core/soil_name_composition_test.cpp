#include "core/soil_name_composition.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

LayerRecord Row(const char* name, int code, double constant1, double constant2) {
    LayerRecord row;
    row.SoilName = name;
    row.SoilCode = code;
    row.Constant(1) = constant1;
    row.Constant(2) = constant2;
    return row;
}

Settings Tables() {
    Settings settings;
    settings.subSoilNames = {Row("シルト質", 1, 0, 0), Row("砂質", 3, 0.5, -2)};
    settings.mainSoilNames = {Row("表土", 100, 0, 0), Row("シルト", 400, 17, 2)};
    return settings;
}

// The modifier list starts with an entry for none; the main list does not.
TEST(SoilNameComposition, AListPositionChoosesItsTableRow) {
    const Settings settings = Tables();
    EXPECT_EQ(ChosenMainSoil(settings, -1), nullptr);
    EXPECT_EQ(ChosenMainSoil(settings, 0), &settings.mainSoilNames[0]);
    EXPECT_EQ(ChosenMainSoil(settings, 1), &settings.mainSoilNames[1]);
    EXPECT_EQ(ChosenMainSoil(settings, 2), nullptr);
    EXPECT_EQ(ChosenModifier(settings, -1), nullptr);
    EXPECT_EQ(ChosenModifier(settings, 0), nullptr);
    EXPECT_EQ(ChosenModifier(settings, 1), &settings.subSoilNames[0]);
    EXPECT_EQ(ChosenModifier(settings, 2), &settings.subSoilNames[1]);
    EXPECT_EQ(ChosenModifier(settings, 3), nullptr);
}

TEST(SoilNameComposition, TheModifierGoesBeforeTheMainNameAndTheCodesAdd) {
    const Settings settings = Tables();
    struct Case {
        int modifierRow;
        int mainRow;
        const char* name;
        int code;
    };
    const Case cases[] = {
        {0, 1, "シルト", 400},
        {2, 1, "砂質シルト", 403},
        {1, 0, "シルト質表土", 101},
    };
    for (const Case& c : cases) {
        LayerRecord layer = Row("粘土", 500, 0, 0);
        layer.Thickness = 2.5;
        ComposeSoilName(layer, *ChosenMainSoil(settings, c.mainRow),
                        ChosenModifier(settings, c.modifierRow));
        EXPECT_EQ(layer.SoilName, c.name) << c.modifierRow << "," << c.mainRow;
        EXPECT_EQ(layer.SoilCode, c.code) << c.modifierRow << "," << c.mainRow;
        EXPECT_EQ(layer.Thickness, 2.5);
    }
}

// A constant the user gave stays; one not given, or a default from an
// earlier name, becomes the negated sum of the tables' rows.
TEST(SoilNameComposition, ConstantsNotGivenTakeTheTablesSumAsADefault) {
    const Settings settings = Tables();
    const LayerRecord& silt = settings.mainSoilNames[1];
    const LayerRecord& sandy = settings.subSoilNames[1];
    struct Case {
        double before;
        const LayerRecord* modifier;
        double after;
    };
    // Constant 1: the main row gives 17, the modifier 0.5.
    const Case cases[] = {
        {0, nullptr, -17},
        {0, &sandy, -17.5},
        {-18, &sandy, -17.5},
        {19, &sandy, 19},
    };
    for (const Case& c : cases) {
        LayerRecord layer;
        layer.Constant(1) = c.before;
        ComposeSoilName(layer, silt, c.modifier);
        EXPECT_EQ(layer.Constant(1), c.after) << c.before;
    }
}

// Constant 2 sums to 0 with the modifier: a default of 0 must not be a
// negative zero, which the project file would write as "-0".
TEST(SoilNameComposition, ADefaultOfZeroIsAPositiveZero) {
    const Settings settings = Tables();
    LayerRecord layer;
    layer.Constant(2) = -4;
    ComposeSoilName(layer, settings.mainSoilNames[1], &settings.subSoilNames[1]);
    EXPECT_EQ(layer.Constant(2), 0);
    EXPECT_FALSE(std::signbit(layer.Constant(2)));
}

}  // namespace
