#pragma once

#include "core/document.h"
#include "core/settings.h"

// The soil-name assistant: a layer's soil name made of a modifier (副記号)
// and a main soil name (主記号) chosen from the settings' two tables.

// The main soil name at a position of its list, which holds the table's rows
// in order; null when no entry (-1) or one past the table is chosen.
const LayerRecord* ChosenMainSoil(const Settings& settings, int listRow);

// The modifier at a position of its list, whose first entry stands for no
// modifier and is followed by the table's rows; null for that entry, for no
// entry (-1) and for one past the table.
const LayerRecord* ChosenModifier(const Settings& settings, int listRow);

// Gives the layer the name of the modifier followed by the main name ("砂質"
// and "シルト" give "砂質シルト") and the sum of their codes. A constant the
// layer has been given (above 0) stays; each other one becomes the tables'
// sum, negated to mark it as a default rather than a value entered.
void ComposeSoilName(LayerRecord& layer, const LayerRecord& main, const LayerRecord* modifier);
