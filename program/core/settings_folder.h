#pragma once

#include <cstdint>
#include <string>

struct Settings;

// The per-user folder of the maker's applications, where the settings file
// lives: $XDG_CONFIG_HOME/varnholt, or ~/.config/varnholt when that variable is
// unset. Fills the buffer of the given capacity with the folder, ended by a NUL
// byte; returns 0 on success and nonzero when no folder can be named or it does
// not fit.
int32_t GetVarnholtSysFolder(char* buffer, int32_t length);

// The settings folder as GetVarnholtSysFolder names it. Returns 0 on success,
// -1 on failure (folder is then empty).
int16_t GetSettingsFolder(std::string& folder);

// Finds the settings folder, creates it with its parents when it is missing and
// sets settings.iniFile to the settings file in it. Returns 0 on success, -1
// when the folder cannot be named or created (iniFile is then unchanged).
int16_t GetSettingsFilePath(Settings& settings);
