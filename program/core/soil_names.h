#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/document.h"
#include "core/settings.h"

// Replaces both soil-name tables by the built-in rows (11 modifier names, 16
// main soil names).
void SetDefaultSoilNames(Settings& settings);

// The settings-file line of a table row: the name in double quotes (a double
// quote inside it becomes "＂"), the code and the 14 constants, separated by
// commas.
std::string FormatSoilNameLine(const LayerRecord& row);

// A fresh row from a settings-file line. Fields the line does not give are 0
// or ""; fields after the 16th are ignored; a quoted name may hold commas.
// None when the code or a constant is given but is not a number.
std::optional<LayerRecord> ParseSoilNameLine(std::string_view line);
