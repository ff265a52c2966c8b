// Closing the program with a settings file that keeps many rows it could not
// read: each such row stays in the file as it was, and writing the settings
// must take time in proportion to the rows, not to their square. Rows count
// over both soil-name tables (at most 32 767 each).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/document.h"
#include "core/settings.h"
#include "core/soil_names.h"

namespace {

// A settings file whose two soil-name tables hold `rows` rows in all, none of
// which parses (its code is no number).
std::string UnreadRowsFile(int64_t rows) {
    std::string text;
    const int64_t halves[2] = {rows / 2, rows - rows / 2};
    for (int table = 0; table < 2; ++table) {
        text += "[Default SoilNames" + std::to_string(table) + "]\r\n";
        text += "Count=" + std::to_string(halves[table]) + "\r\n";
        for (int64_t i = 1; i <= halves[table]; ++i)
            text += std::to_string(i) + "=\"row\",x" + std::to_string(i) + "\r\n";
    }
    return text;
}

void BM_SaveSettingsWithUnreadRows(benchmark::State& state) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("settings_save_bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    Settings settings;
    SetDefaultSoilNames(settings);
    settings.iniFile = (folder / "Quilmorn.ini").string();
    std::ofstream(settings.iniFile, std::ios::binary) << UnreadRowsFile(state.range(0));
    Document doc;
    LoadSettings(settings, doc);
    if (settings.unreadSettings.size() != static_cast<size_t>(state.range(0)))
        state.SkipWithError("the rows were not all kept as unread");
    for (auto _ : state) {
        if (!SaveSettings(settings))
            state.SkipWithError("the settings file could not be written");
    }
    state.SetComplexityN(state.range(0));
    std::error_code error;
    std::filesystem::remove_all(folder, error);
}
BENCHMARK(BM_SaveSettingsWithUnreadRows)
    ->Arg(4096)
    ->Arg(16384)
    ->Arg(65534)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
