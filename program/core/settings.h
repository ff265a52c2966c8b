#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/document.h"
#include "core/message_sink.h"

// Name of the settings file in the settings folder.
inline constexpr const char* kSettingsFileName = "Quilmorn.ini";

inline constexpr int kRecentFileCount = 10;

// Main-window placement; left, top, width and height in twips.
struct WindowPlacement {
    int32_t left = -1;  // -1 = never saved, the window keeps its designed place
    int32_t top = -1;   // -1 = never saved
    int32_t width = 9060;
    int32_t height = 7275;
    int32_t state = 0;  // 0 normal, 1 minimised, 2 maximised
};

// The header and footer codes, six groups in the order they are expanded:
// 0 page number, 1 folder and file name, 2 dates, 3 times, 4 titles, 5 program
// and user. The chooser offers group g, entry e as its kind g, item e.
using HeaderFooterCodeTable = std::array<std::vector<std::string>, 6>;

// A settings line that could not be taken as it stands: a byte in it is no
// character, or a soil-name row does not parse. It stays in the file as it is
// unless the setting it stands for changes; `value` is the setting's value as
// the file was read.
struct UnreadSetting {
    std::string section;
    std::string key;
    std::string value;
};

// The user's settings, read at start-up and written when the main window closes.
struct Settings {
    std::string iniFile;  // full path of the settings file
    std::string defaultDataFolder;
    // Element 0 is the most recent file; "" marks an empty slot.
    std::array<std::string, kRecentFileCount> recentFiles;
    // The soil-name tables: modifier names (sub symbols) and main soil names.
    std::vector<LayerRecord> subSoilNames;
    std::vector<LayerRecord> mainSoilNames;
    // Print margins in mm; index 0 top, 1 bottom, 2 left, 3 right.
    std::array<int32_t, 4> printMargins{20, 20, 20, 20};
    // Index 0 shows the header, 1 the footer; 1 = shown, 0 = not.
    std::array<int16_t, 2> headerFooterShow{1, 1};
    // Templates; index 0 header left, 1 header centre, 2 header right, 3 footer
    // left, 4 footer centre, 5 footer right.
    std::array<std::string, 6> headerFooterText{"『&D』", "[&S]", "&V Page-%p",
                                                "[&P]",   "",     "(&U %D3)"};
    int16_t colorPrint = 0;  // 1 = print in colour
    WindowPlacement windowPlacement;
    HeaderFooterCodeTable headerFooterCodes;
    // Lines of the file that are written back only when their setting changes.
    std::vector<UnreadSetting> unreadSettings;
    // A file that could not be read as the form it claims is kept under this
    // name beside itself, and a fresh one is written in its place.
    std::string keptCopy;
    // The recent files whose names the settings file cannot hold that the
    // user has been told of in this run.
    std::vector<std::string> recentFilesTold;
};

// The constant header and footer code table.
const HeaderFooterCodeTable& HeaderFooterCodes();

// Reads every setting from settings.iniFile; a missing file, section or key
// keeps its default. The data folder also becomes the document's current
// folder. Call after SetDefaultSoilNames: the tables as they are are the
// defaults of their rows.
void LoadSettings(Settings& settings, Document& doc);

// The note that start-up shows once when LoadSettings kept a copy of a file it
// could not read; empty when there is none.
std::string KeptCopyNote(const Settings& settings);

// Writes the settings into settings.iniFile, keeping every other line of it.
// False when the file could not be read or written; the old file is then left
// as it was.
bool SaveSettings(const Settings& settings);

// SaveSettings as the program ends: a failure is told to the user, naming the
// file, since the settings changed in this run are lost with it.
void SaveSettingsReportingFailure(const Settings& settings, MessageSink& messages);

// Whether the settings file can hold the path so that it reads back as the
// same file: an absolute path that code page 932 holds whole, on one line.
// SaveSettings stores only these; the others are listed for this run only.
bool IsStorableRecentFile(const std::string& path);

// Puts the path at the head of the recent-files list. Paths are compared in
// their normal form ("/d//x", "/d/./x" and "/d/../d/x" are "/d/x"), without
// following links, and with case: two names differing in case are two files.
void AddRecentFile(Settings& settings, const std::string& path);

// AddRecentFile, and reports: a path SaveSettings cannot store (its entry
// lasts for this run only) is told, once in a run for each path.
void AddRecentFileReporting(Settings& settings, const std::string& path, MessageSink& messages);

// Takes the path out of the recent-files list.
void RemoveRecentFile(Settings& settings, const std::string& path);
