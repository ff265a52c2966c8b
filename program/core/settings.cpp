#include "core/settings.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string_view>

#include "core/codepage.h"
#include "core/ini_file.h"
#include "core/soil_names.h"
#include "core/text_number.h"

namespace {

constexpr const char* kPrintSection = "Print Setting";
constexpr const char* kWindowSection = "Window";
constexpr const char* kMarginKeys[4] = {"OffSetTop", "OffSetBottom", "OffSetLeft", "OffSetRight"};
constexpr const char* kShowKeys[2] = {"Header", "Footer"};
constexpr const char* kTextKeys[6] = {"HeaderLeft", "HeaderCenter", "HeaderRight",
                                      "FooterLeft", "FooterCenter", "FooterRight"};

struct SoilNameSection {
    const char* name;
    std::vector<LayerRecord> Settings::*table;
};

constexpr SoilNameSection kSoilNameSections[2] = {
    {"Default SoilNames0", &Settings::subSoilNames},
    {"Default SoilNames1", &Settings::mainSoilNames},
};

// Reads keys of one settings file, each as GetIni reads it.
class Reader {
  public:
    explicit Reader(const std::string& file) { ini_.Load(file); }

    std::string Text(const char* section, std::string_view key, std::string_view def) const {
        return ini_.Value(section, key, kIniValueLimit).value_or(std::string(def));
    }

    std::optional<std::string> WholeText(const char* section, std::string_view key) const {
        return ini_.Value(section, key, std::numeric_limits<size_t>::max());
    }

    // A key whose whole text must be a number; the default when it is not.
    template <typename T>
    T Strict(const char* section, const char* key, T def, std::optional<T> (*round)(double)) const {
        std::optional<double> number = ParseNumber(Text(section, key, std::to_string(def)));
        return number ? round(*number).value_or(def) : def;
    }

    // A key read for the number its text starts with, 0 when there is none.
    template <typename T>
    T Leading(const char* section, const char* key, T def,
              std::optional<T> (*round)(double)) const {
        return round(LeadingNumber(Text(section, key, std::to_string(def)))).value_or(def);
    }

  private:
    IniFile ini_;
};

// The rows of a soil-name table that its 16-bit row count can number.
constexpr int32_t kMaxSoilNameRows = kMaxTableRows;

// A margin beyond these is one the page-setup dialog never stores: a negative
// one stretches the page past the paper, and no sheet leaves room for a page
// inside margins of a metre.
constexpr int32_t kMaxPrintMargin = 1000;  // mm

void LoadSoilNames(const Reader& reader, const char* section, std::vector<LayerRecord>& table) {
    // A count beyond what the table can number is capped; the loop counter is
    // wider than the count, so even the largest one ends.
    const int32_t def = static_cast<int32_t>(std::min<size_t>(table.size(), kMaxSoilNameRows));
    std::optional<double> number = ParseNumber(reader.Text(section, "Count", std::to_string(def)));
    int32_t count = def;
    if (number)
        count =
            *number >= kMaxSoilNameRows ? kMaxSoilNameRows : RoundToInt32(*number).value_or(def);
    // A count that is not a number or below 1 cannot describe a table.
    if (count < 1)
        return;
    table.resize(static_cast<size_t>(count));
    for (int32_t i = 1; i <= count; ++i) {
        // Read whole: a line cut short could still parse, with a wrong constant.
        std::optional<std::string> line = reader.WholeText(section, std::to_string(i));
        if (!line)
            continue;
        if (std::optional<LayerRecord> row = ParseSoilNameLine(*line))
            table[static_cast<size_t>(i - 1)] = *row;
    }
}

}  // namespace

const HeaderFooterCodeTable& HeaderFooterCodes() {
    // "%T3" is the chooser's third time item, the time as "hh:mm".
    static const HeaderFooterCodeTable codes = {{
        {"%p"},
        {"＆P", "＆p", "＆F", "＆f"},
        {"%D0", "%D1", "%D2", "%D3"},
        {"%T1", "%T2", "%T3"},
        {"&T", "&S", "&U"},
        {"&V", "&D", "&I", "&C", "&N"},
    }};
    return codes;
}

void LoadSettings(Settings& settings, Document& doc) {
    const Settings defaults;
    Reader reader(settings.iniFile);

    // Paths are read whole: one cut short would name another folder or file.
    settings.defaultDataFolder = reader.WholeText("Path", "QuilmornData").value_or("");
    doc.currentFolder = settings.defaultDataFolder;

    for (int i = 0; i < kRecentFileCount; ++i)
        settings.recentFiles[i] =
            reader.WholeText("Recent Files", std::to_string(i + 1)).value_or("");

    for (const SoilNameSection& section : kSoilNameSections)
        LoadSoilNames(reader, section.name, settings.*section.table);

    for (int i = 0; i < 4; ++i) {
        int32_t margin =
            reader.Strict(kPrintSection, kMarginKeys[i], defaults.printMargins[i], RoundToInt32);
        settings.printMargins[i] =
            margin >= 0 && margin <= kMaxPrintMargin ? margin : defaults.printMargins[i];
    }
    for (int i = 0; i < 2; ++i)
        settings.headerFooterShow[i] =
            reader.Strict(kPrintSection, kShowKeys[i], defaults.headerFooterShow[i], RoundToInt16);
    // Read whole as well: the page setup takes texts of any length, and one
    // cut short here would print another header than the one entered.
    for (int i = 0; i < 6; ++i)
        settings.headerFooterText[i] =
            reader.WholeText(kPrintSection, kTextKeys[i]).value_or(defaults.headerFooterText[i]);

    settings.colorPrint =
        reader.Leading("PrintOut Color", "OutColorType", settings.colorPrint, RoundToInt16);

    WindowPlacement& window = settings.windowPlacement;
    const WindowPlacement& def = defaults.windowPlacement;
    window.left = reader.Leading(kWindowSection, "WindowLeft", def.left, RoundToInt32);
    window.top = reader.Leading(kWindowSection, "WindowTop", def.top, RoundToInt32);
    window.width = reader.Leading(kWindowSection, "WindowWidth", def.width, RoundToInt32);
    window.height = reader.Leading(kWindowSection, "WindowHeight", def.height, RoundToInt32);
    window.state = reader.Leading(kWindowSection, "WindowStyle", def.state, RoundToInt32);

    settings.headerFooterCodes = HeaderFooterCodes();
}

bool SaveSettings(const Settings& settings) {
    IniFile ini;
    if (ini.Load(settings.iniFile) == IniFile::LoadResult::kFailed)
        return false;

    ini.SetValue("Path", "QuilmornData", settings.defaultDataFolder);

    // Only the entries that will read back as the same file are stored, in
    // their order; the others stay in the menu of this run only.
    int stored = 0;
    for (const std::string& path : settings.recentFiles) {
        if (IsStorableRecentFile(path))
            ini.SetValue("Recent Files", std::to_string(++stored), path);
    }
    while (stored < kRecentFileCount)
        ini.SetValue("Recent Files", std::to_string(++stored), "");

    for (const SoilNameSection& section : kSoilNameSections) {
        const std::vector<LayerRecord>& table = settings.*section.table;
        ini.SetValue(section.name, "Count", std::to_string(table.size()));
        for (size_t i = 0; i < table.size(); ++i)
            ini.SetValue(section.name, std::to_string(i + 1), FormatSoilNameLine(table[i]));
    }

    for (int i = 0; i < 4; ++i)
        ini.SetValue(kPrintSection, kMarginKeys[i], std::to_string(settings.printMargins[i]));
    // The show switches persist like every other setting the user changes.
    for (int i = 0; i < 2; ++i)
        ini.SetValue(kPrintSection, kShowKeys[i], std::to_string(settings.headerFooterShow[i]));
    for (int i = 0; i < 6; ++i)
        ini.SetValue(kPrintSection, kTextKeys[i], settings.headerFooterText[i]);

    ini.SetValue("PrintOut Color", "OutColorType", std::to_string(settings.colorPrint));

    const WindowPlacement& window = settings.windowPlacement;
    ini.SetValue(kWindowSection, "WindowLeft", std::to_string(window.left));
    ini.SetValue(kWindowSection, "WindowTop", std::to_string(window.top));
    ini.SetValue(kWindowSection, "WindowWidth", std::to_string(window.width));
    ini.SetValue(kWindowSection, "WindowHeight", std::to_string(window.height));
    // A minimised window keeps the state saved before, so the program never
    // starts minimised.
    if (window.state != 1)
        ini.SetValue(kWindowSection, "WindowStyle", std::to_string(window.state));

    return ini.Save(settings.iniFile);
}

void SaveSettingsReportingFailure(const Settings& settings, MessageSink& messages) {
    if (SaveSettings(settings))
        return;
    messages.ShowMessage("設定ファイル " + settings.iniFile +
                             " の書き込みに失敗しました。\n今回変更した設定は保存されません。",
                         MessageIcon::Exclamation);
}

namespace {

// Two names that differ only in case are two files here.
bool SamePath(const std::string& a, const std::string& b) {
    return a == b;
}

// Slot of the last entry equal to the path, or none.
std::optional<int> FindRecentFile(const Settings& settings, const std::string& path) {
    std::optional<int> found;
    for (int i = 0; i < kRecentFileCount; ++i) {
        if (SamePath(settings.recentFiles[i], path))
            found = i;
    }
    return found;
}

}  // namespace

bool IsStorableRecentFile(const std::string& path) {
    // A relative path would name another file at the next start; a line break
    // would end the settings line, and a NUL (which no path holds) would be
    // written as a blank; a character code page 932 cannot hold (or a name
    // that is not UTF-8) would come back as "?", naming no file.
    return !path.empty() && path.front() == '/' &&
           path.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos &&
           Cp932ToUtf8(Utf8ToCp932(path)) == path;
}

void AddRecentFile(Settings& settings, const std::string& path) {
    // An empty path would match the empty slots and open a blank entry at the head.
    if (path.empty())
        return;
    int p = FindRecentFile(settings, path).value_or(kRecentFileCount - 1);
    if (p == 0)
        return;
    for (int i = p; i > 0; --i)
        settings.recentFiles[i] = settings.recentFiles[i - 1];
    settings.recentFiles[0] = path;
}

void RemoveRecentFile(Settings& settings, const std::string& path) {
    if (path.empty())
        return;
    std::optional<int> p = FindRecentFile(settings, path);
    if (!p)
        return;
    for (int i = *p; i < kRecentFileCount - 1; ++i)
        settings.recentFiles[i] = settings.recentFiles[i + 1];
    settings.recentFiles[kRecentFileCount - 1].clear();
}
