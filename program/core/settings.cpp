#include "core/settings.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "core/codepage.h"
#include "core/file_io.h"
#include "core/ini_file.h"
#include "core/soil_names.h"
#include "core/text_number.h"
#include "core/value_line.h"

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
    explicit Reader(const std::string& file) : result_(ini_.Load(file)) {}

    IniFile::LoadResult Result() const { return result_; }
    const IniFile& Ini() const { return ini_; }

    std::string Text(const char* section, std::string_view key, std::string_view def) const {
        return ini_.Value(section, key, kIniValueLimit).value_or(std::string(def));
    }

    // The whole value; `whole` tells whether its line was read whole.
    std::optional<std::string> WholeText(const char* section, std::string_view key,
                                         bool* whole = nullptr) const {
        if (whole != nullptr)
            *whole = true;
        return ini_.Value(section, key, std::numeric_limits<size_t>::max(), whole);
    }

    // Whether the key's line holds a value and was not read whole.
    bool NotWhole(const char* section, std::string_view key) const {
        bool whole = true;
        return ini_.Value(section, key, std::numeric_limits<size_t>::max(), &whole) && !whole;
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
    IniFile::LoadResult result_;
};

// The rows of a soil-name table that its 16-bit row count can number.
constexpr int32_t kMaxSoilNameRows = kMaxTableRows;

// A margin beyond these is one the page-setup dialog never stores: a negative
// one stretches the page past the paper, and no sheet leaves room for a page
// inside margins of a metre.
constexpr int32_t kMaxPrintMargin = 1000;  // mm

// The highest row number the section holds a line for.
int32_t HighestRowKey(const IniFile& ini, const char* section) {
    int32_t highest = 0;
    for (const std::string& key : ini.Keys(section)) {
        std::optional<double> number = ParseNumber(key);
        if (number && *number >= 1 && *number <= kMaxSoilNameRows &&
            std::to_string(static_cast<int32_t>(*number)) == key)
            highest = std::max(highest, static_cast<int32_t>(*number));
    }
    return highest;
}

void LoadSoilNames(const Reader& reader, const char* section, std::vector<LayerRecord>& table,
                   std::vector<UnreadSetting>& unread) {
    const int32_t def = static_cast<int32_t>(std::min<size_t>(table.size(), kMaxSoilNameRows));
    std::optional<double> number = ParseNumber(reader.Text(section, "Count", std::to_string(def)));
    int32_t count = def;
    if (number && *number > kMaxSoilNameRows) {
        // No table was ever saved with such a count: the table takes the rows
        // present, from its own on without a gap, rather than the rows up to
        // one that stands far off.
        count = def;
        while (count < kMaxSoilNameRows && reader.WholeText(section, std::to_string(count + 1)))
            ++count;
    } else if (number) {
        count = RoundToInt32(*number).value_or(def);
        // A count beyond the rows there are (a file cut short, or a count typed
        // by hand) keeps the rows there are rather than adding empty ones.
        count = std::min(count, std::max(def, HighestRowKey(reader.Ini(), section)));
    }
    // A count that is not a number or below 1 cannot describe a table.
    if (count < 1)
        return;
    if (reader.NotWhole(section, "Count"))
        unread.push_back({section, "Count", std::to_string(count)});
    table.resize(static_cast<size_t>(count));
    for (int32_t i = 1; i <= count; ++i) {
        // Read whole: a line cut short could still parse, with a wrong constant.
        const std::string key = std::to_string(i);
        bool whole = true;
        std::optional<std::string> line = reader.WholeText(section, key, &whole);
        if (!line)
            continue;
        std::optional<LayerRecord> row = ParseSoilNameLine(*line);
        if (row)
            table[static_cast<size_t>(i - 1)] = *row;
        // A row that does not parse keeps its built-in contents, one with an
        // unreadable byte is read with "?", and one read leniently (a name
        // whose quote does not close keeps the quote, which a line cannot
        // store): none of them may replace the line.
        if (!row || !whole || StorableText(row->SoilName) != row->SoilName)
            unread.push_back({section, key, FormatSoilNameLine(table[static_cast<size_t>(i - 1)])});
    }
}

// A text setting; one whose line was not read whole is noted, so that the
// line stays as it is unless the text is changed.
std::optional<std::string> TextSetting(const Reader& reader, const char* section,
                                       std::string_view key, std::vector<UnreadSetting>& unread) {
    bool whole = true;
    std::optional<std::string> text = reader.WholeText(section, key, &whole);
    if (text && !whole)
        unread.push_back({section, std::string(key), *text});
    return text;
}

// Whether two paths name the same file as far as their letters tell: "//",
// "/./" and "d/../" are spellings of the same place. Links are not followed
// (the list names what the user opened); two names that differ only in case
// are two files here.
bool SamePath(const std::string& a, const std::string& b) {
    if (a == b)
        return true;
    if (a.empty() || b.empty())
        return false;
    return std::filesystem::path(a).lexically_normal() ==
           std::filesystem::path(b).lexically_normal();
}

// A number setting whose line was not read whole keeps its line while the
// setting holds the value it was read as.
template <typename T>
void NoteNumber(const Reader& reader, const char* section, const char* key, T value,
                std::vector<UnreadSetting>& unread) {
    if (reader.NotWhole(section, key))
        unread.push_back({section, key, std::to_string(value)});
}

// A free name beside the file for a copy of it: ".orig", then ".orig2" and on,
// never one that is taken.
std::string CopyName(const std::string& file) {
    std::error_code error;
    for (int i = 1; i < std::numeric_limits<int>::max(); ++i) {
        std::string name = file + ".orig" + (i == 1 ? std::string() : std::to_string(i));
        if (!std::filesystem::exists(std::filesystem::symlink_status(name, error)))
            return name;
    }
    return {};
}

// Copies the file beside itself; the copy's name, or empty when it could not be made.
std::string KeepCopy(const std::string& file) {
    std::string bytes;
    std::string copy = CopyName(file);
    if (copy.empty() || !ReadWholeFile(file, bytes) || !WriteFileReplacing(copy, bytes))
        return {};
    return copy;
}

// Writes values, but leaves a line that was not read whole as it is while its
// setting still holds the value it was read as.
class Writer {
  public:
    Writer(IniFile& ini, const std::vector<UnreadSetting>& unread) : ini_(ini) {
        // Looked up once per value: a file may keep tens of thousands of such rows.
        for (const UnreadSetting& line : unread)
            unread_.emplace(Key(line.section, line.key), line.value);
    }

    void Put(std::string_view section, std::string_view key, std::string_view value) {
        if (!unread_.empty()) {
            auto line = unread_.find(Key(section, key));
            if (line != unread_.end() && line->second == value &&
                ini_.Value(section, key, std::numeric_limits<size_t>::max()))
                return;
        }
        ini_.SetValue(section, key, value);
    }

  private:
    static std::string Key(std::string_view section, std::string_view key) {
        std::string joined(section);
        joined += '\n';
        joined += key;
        return joined;
    }

    IniFile& ini_;
    std::unordered_map<std::string, std::string> unread_;  // the first line of each key counts
};

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
    std::vector<UnreadSetting>& unread = settings.unreadSettings;
    unread.clear();
    settings.keptCopy.clear();
    if (reader.Result() == IniFile::LoadResult::kUnreadable)
        settings.keptCopy = KeepCopy(settings.iniFile);

    // Paths are read whole: one cut short would name another folder or file.
    settings.defaultDataFolder = TextSetting(reader, "Path", "QuilmornData", unread).value_or("");
    doc.currentFolder = settings.defaultDataFolder;

    // Only an absolute path names one file wherever the program starts, and a
    // path with an unreadable byte names none; each file is listed once, and
    // the entries left out leave no empty slot between the others.
    settings.recentFiles = {};
    size_t listed = 0;
    for (int i = 0; i < kRecentFileCount; ++i) {
        bool whole = true;
        std::string path =
            reader.WholeText("Recent Files", std::to_string(i + 1), &whole).value_or("");
        if (!whole || path.empty() || path.front() != '/' ||
            std::any_of(settings.recentFiles.begin(), settings.recentFiles.end(),
                        [&](const std::string& other) { return SamePath(other, path); }))
            continue;
        settings.recentFiles[listed++] = path;
    }

    for (const SoilNameSection& section : kSoilNameSections)
        LoadSoilNames(reader, section.name, settings.*section.table, unread);

    for (int i = 0; i < 4; ++i) {
        int32_t margin =
            reader.Strict(kPrintSection, kMarginKeys[i], defaults.printMargins[i], RoundToInt32);
        settings.printMargins[i] =
            margin >= 0 && margin <= kMaxPrintMargin ? margin : defaults.printMargins[i];
        NoteNumber(reader, kPrintSection, kMarginKeys[i], settings.printMargins[i], unread);
    }
    for (int i = 0; i < 2; ++i) {
        settings.headerFooterShow[i] =
            reader.Strict(kPrintSection, kShowKeys[i], defaults.headerFooterShow[i], RoundToInt16);
        NoteNumber(reader, kPrintSection, kShowKeys[i], settings.headerFooterShow[i], unread);
    }
    // Read whole as well: the page setup takes texts of any length, and one
    // cut short here would print another header than the one entered.
    for (int i = 0; i < 6; ++i)
        settings.headerFooterText[i] = TextSetting(reader, kPrintSection, kTextKeys[i], unread)
                                           .value_or(defaults.headerFooterText[i]);

    settings.colorPrint =
        reader.Leading("PrintOut Color", "OutColorType", settings.colorPrint, RoundToInt16);
    NoteNumber(reader, "PrintOut Color", "OutColorType", settings.colorPrint, unread);

    WindowPlacement& window = settings.windowPlacement;
    const WindowPlacement& def = defaults.windowPlacement;
    window.left = reader.Leading(kWindowSection, "WindowLeft", def.left, RoundToInt32);
    window.top = reader.Leading(kWindowSection, "WindowTop", def.top, RoundToInt32);
    window.width = reader.Leading(kWindowSection, "WindowWidth", def.width, RoundToInt32);
    window.height = reader.Leading(kWindowSection, "WindowHeight", def.height, RoundToInt32);
    // The program starts normal or maximised: a minimised state (a file from
    // another machine may hold one) would start it with no window to see.
    window.state = reader.Leading(kWindowSection, "WindowStyle", def.state, RoundToInt32);
    if (window.state != 2)
        window.state = 0;
    NoteNumber(reader, kWindowSection, "WindowLeft", window.left, unread);
    NoteNumber(reader, kWindowSection, "WindowTop", window.top, unread);
    NoteNumber(reader, kWindowSection, "WindowWidth", window.width, unread);
    NoteNumber(reader, kWindowSection, "WindowHeight", window.height, unread);
    NoteNumber(reader, kWindowSection, "WindowStyle", window.state, unread);

    settings.headerFooterCodes = HeaderFooterCodes();
}

std::string KeptCopyNote(const Settings& settings) {
    if (settings.keptCopy.empty())
        return {};
    return "設定ファイル " + settings.iniFile +
           " は読み取れない形式のため、既定の設定で起動します。\n元のファイルは " +
           settings.keptCopy + " として残してあります。";
}

bool SaveSettings(const Settings& settings) {
    IniFile ini;
    switch (ini.Load(settings.iniFile)) {
        case IniFile::LoadResult::kFailed:
            return false;
        case IniFile::LoadResult::kUnreadable:
            // Replaced only when its copy stands beside it.
            if (settings.keptCopy.empty())
                return false;
            ini = IniFile{};
            break;
        case IniFile::LoadResult::kRead:
        case IniFile::LoadResult::kMissing:
            break;
    }
    Writer writer{ini, settings.unreadSettings};

    writer.Put("Path", "QuilmornData", settings.defaultDataFolder);

    // Only the entries that will read back as the same file are stored, in
    // their order; the others stay in the menu of this run only.
    int stored = 0;
    for (const std::string& path : settings.recentFiles) {
        if (IsStorableRecentFile(path))
            writer.Put("Recent Files", std::to_string(++stored), path);
    }
    while (stored < kRecentFileCount)
        writer.Put("Recent Files", std::to_string(++stored), "");

    for (const SoilNameSection& section : kSoilNameSections) {
        const std::vector<LayerRecord>& table = settings.*section.table;
        writer.Put(section.name, "Count", std::to_string(table.size()));
        for (size_t i = 0; i < table.size(); ++i)
            writer.Put(section.name, std::to_string(i + 1), FormatSoilNameLine(table[i]));
    }

    for (int i = 0; i < 4; ++i)
        writer.Put(kPrintSection, kMarginKeys[i], std::to_string(settings.printMargins[i]));
    // The show switches persist like every other setting the user changes.
    for (int i = 0; i < 2; ++i)
        writer.Put(kPrintSection, kShowKeys[i], std::to_string(settings.headerFooterShow[i]));
    for (int i = 0; i < 6; ++i)
        writer.Put(kPrintSection, kTextKeys[i], settings.headerFooterText[i]);

    writer.Put("PrintOut Color", "OutColorType", std::to_string(settings.colorPrint));

    const WindowPlacement& window = settings.windowPlacement;
    writer.Put(kWindowSection, "WindowLeft", std::to_string(window.left));
    writer.Put(kWindowSection, "WindowTop", std::to_string(window.top));
    writer.Put(kWindowSection, "WindowWidth", std::to_string(window.width));
    writer.Put(kWindowSection, "WindowHeight", std::to_string(window.height));
    // A minimised window keeps the state saved before, so the program never
    // starts minimised.
    if (window.state != 1)
        writer.Put(kWindowSection, "WindowStyle", std::to_string(window.state));

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

void AddRecentFileReporting(Settings& settings, const std::string& path, MessageSink& messages) {
    AddRecentFile(settings, path);
    if (path.empty() || IsStorableRecentFile(path) ||
        std::find(settings.recentFilesTold.begin(), settings.recentFilesTold.end(), path) !=
            settings.recentFilesTold.end())
        return;
    settings.recentFilesTold.push_back(path);
    messages.ShowMessage("ファイル " + path +
                             " の名前には設定ファイルに保存できない文字があるため、"
                             "最近使ったファイルの一覧には今回の起動中だけ表示されます。",
                         MessageIcon::Information);
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
