// Reads arbitrary bytes as the settings file. Whatever the bytes, the reader
// must not crash; what it read must keep the structure of the file (a byte
// that is no character must not take a quote, a comma or a digit with it); no
// setting the file states in plain ASCII may fall back to its default (a wrong
// guess of the file's form would lose them all); and it must come back
// unchanged through the writer and the reader.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/codepage.h"
#include "core/document.h"
#include "core/ini_file.h"
#include "core/settings.h"
#include "core/soil_names.h"
#include "core/value_line.h"

namespace {

// A scratch folder of this process, removed when the run ends.
struct ScratchFolder {
    // In memory where there is such a folder: the writer syncs every file.
    std::filesystem::path path =
        (std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                   : std::filesystem::temp_directory_path()) /
        ("settings_fuzz-" + std::to_string(getpid()));
    ScratchFolder() { std::filesystem::create_directories(path); }
    ~ScratchFolder() {
        std::error_code error;
        std::filesystem::remove_all(path, error);
    }
};

const std::filesystem::path& Folder() {
    static const ScratchFolder folder;
    return folder.path;
}

Settings Load(const std::string& path) {
    Settings settings;
    SetDefaultSoilNames(settings);
    settings.iniFile = path;
    Document doc;
    LoadSettings(settings, doc);
    return settings;
}

// A value as the settings file can hold it on one line: a line break or NUL
// is written as a blank.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    return text;
}

// The settings as SaveSettings stores them.
// Whether the line of the key stays in the file as it was read: one not read
// whole is written again only when its setting changes.
bool KeptAsRead(const Settings& settings, const std::string& section, const std::string& key) {
    return std::any_of(
        settings.unreadSettings.begin(), settings.unreadSettings.end(),
        [&](const UnreadSetting& line) { return line.section == section && line.key == key; });
}

Settings Storable(Settings settings) {
    if (!KeptAsRead(settings, "Path", "QuilmornData"))
        settings.defaultDataFolder = OneLine(settings.defaultDataFolder);
    // Only the paths that read back are stored, in their order, the empty
    // slots after them.
    std::vector<std::string> recent;
    for (const std::string& file : settings.recentFiles)
        if (IsStorableRecentFile(file))
            recent.push_back(file);
    recent.resize(settings.recentFiles.size());
    std::copy(recent.begin(), recent.end(), settings.recentFiles.begin());
    static const char* const kTextKeys[6] = {"HeaderLeft", "HeaderCenter", "HeaderRight",
                                             "FooterLeft", "FooterCenter", "FooterRight"};
    for (int i = 0; i < 6; ++i)
        if (!KeptAsRead(settings, "Print Setting", kTextKeys[i]))
            settings.headerFooterText[i] = OneLine(settings.headerFooterText[i]);
    const std::pair<const char*, std::vector<LayerRecord>*> tables[2] = {
        {"Default SoilNames0", &settings.subSoilNames},
        {"Default SoilNames1", &settings.mainSoilNames}};
    for (const auto& [section, table] : tables)
        for (std::size_t i = 0; i < table->size(); ++i)
            if (!KeptAsRead(settings, section, std::to_string(i + 1)))
                (*table)[i].SoilName = OneLine(StorableText((*table)[i].SoilName));
    return settings;
}

// A text with its control characters shown as \xNN.
std::string Visible(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string RowText(const LayerRecord& row) {
    return Visible(FormatSoilNameLine(row));
}

// The first setting that SaveSettings writes and LoadSettings reads back
// differently in the two; empty when there is none.
std::string Difference(const Settings& a, const Settings& b) {
    if (a.defaultDataFolder != b.defaultDataFolder)
        return "data folder [" + a.defaultDataFolder + "] [" + b.defaultDataFolder + "]";
    for (std::size_t i = 0; i < a.recentFiles.size(); ++i)
        if (a.recentFiles[i] != b.recentFiles[i])
            return "recent file [" + a.recentFiles[i] + "] [" + b.recentFiles[i] + "]";
    for (auto table : {&Settings::subSoilNames, &Settings::mainSoilNames}) {
        const std::vector<LayerRecord>& x = a.*table;
        const std::vector<LayerRecord>& y = b.*table;
        if (x.size() != y.size())
            return "soil-name count " + std::to_string(x.size()) + " " + std::to_string(y.size());
        for (std::size_t i = 0; i < x.size(); ++i)
            // Constants are stored with 15 significant digits: the line is
            // what must come back.
            if (FormatSoilNameLine(x[i]) != FormatSoilNameLine(y[i]))
                return "soil-name row " + std::to_string(i + 1) + ": " + RowText(x[i]) + " | " +
                       RowText(y[i]);
    }
    if (a.printMargins != b.printMargins)
        return "margins";
    for (std::size_t i = 0; i < a.headerFooterText.size(); ++i)
        if (a.headerFooterText[i] != b.headerFooterText[i])
            return "header/footer [" + a.headerFooterText[i] + "] [" + b.headerFooterText[i] + "]";
    if (a.colorPrint != b.colorPrint)
        return "colour printing";
    const WindowPlacement& p = a.windowPlacement;
    const WindowPlacement& q = b.windowPlacement;
    if (p.left != q.left || p.top != q.top || p.width != q.width || p.height != q.height ||
        (p.state != 1 && p.state != q.state))
        return "window placement";
    return {};
}

// The bytes of a text that no character of CP932 or UTF-8 can take into
// itself: the controls, blanks, quotes, commas, digits, signs and the other
// marks below "@" ("?" aside, which stands for what could not be read).
std::string Skeleton(const std::string& text) {
    std::string out;
    for (unsigned char c : text)
        if (c < 0x40 && c != '?')
            out += static_cast<char>(c);
    return out;
}

// What a settings file says in the bytes of its skeleton: the soil-name rows'
// counts, codes, constants and name marks, the margins and the header texts'
// marks and codes.
std::string Structure(const Settings& s) {
    std::string out;
    for (auto* table : {&s.subSoilNames, &s.mainSoilNames}) {
        out += "table " + std::to_string(table->size()) + "\n";
        for (const LayerRecord& row : *table) {
            LayerRecord shape = row;
            shape.SoilName = Skeleton(row.SoilName);
            out += FormatSoilNameLine(shape) + "\n";
        }
    }
    for (int32_t margin : s.printMargins)
        out += std::to_string(margin) + " ";
    for (const std::string& text : s.headerFooterText)
        out += "\n[" + Skeleton(text) + "]";
    return out;
}

// The file with every character beyond ASCII made letters, one for each of
// its bytes: what the reader makes of it has the structure the file has,
// without any decoding in the way. In CP932 a character is a lead byte and
// the byte after it when that one can stand second (a "]" or "\\" can), or one
// byte; in UTF-8 every byte beyond ASCII belongs to a character.
std::string AsciiShape(std::string bytes, bool cp932) {
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.erase(0, 3);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80)
            continue;
        bytes[i] = 'x';
        if (cp932 && i + 1 < bytes.size() && IsCp932LeadByte(c)) {
            const auto next = static_cast<unsigned char>(bytes[i + 1]);
            if ((next >= 0x40 && next <= 0x7E) || (next >= 0x80 && next <= 0xFC))
                bytes[++i] = 'x';
        }
    }
    return bytes;
}

// The settings an input states in plain lines (printable ASCII only), found
// without the reader: for one reading of its bytes, as bytes or as UTF-16 of
// either order.
struct PlainSettings {
    std::map<std::string, std::string> values;  // "section\nkey", folded -> value
    bool header = false;                        // a plain section header stands
    int lines = 0;                              // plain header and key lines
};

std::string Folded(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// width 1: the bytes; width 2: UTF-16 of the given order. Every unit that is
// not printable ASCII (a NUL aside) is kept as 0x01, which no plain line holds.
// With `nulIsText` a NUL counts as such a unit too: the lines of UTF-16 text
// that the bytes hold are then none of theirs.
PlainSettings Plain(std::string_view data, int width, bool big, bool nulIsText = false) {
    std::string_view mark = width == 1 ? std::string_view("\xEF\xBB\xBF")
                            : big      ? std::string_view("\xFE\xFF")
                                       : std::string_view("\xFF\xFE");
    if (width == 1 && (data.starts_with("\xFF\xFE") || data.starts_with("\xFE\xFF")))
        mark = data.substr(0, 2);
    while (!mark.empty() && data.starts_with(mark))
        data.remove_prefix(mark.size());
    std::string units;
    const size_t w = static_cast<size_t>(width);
    for (size_t i = 0; i + w <= data.size(); i += w) {
        const auto b0 = static_cast<unsigned char>(data[i]);
        const unsigned c = width == 1 ? b0
                                      : (big ? (b0 << 8) | static_cast<unsigned char>(data[i + 1])
                                             : b0 | (static_cast<unsigned char>(data[i + 1]) << 8));
        // A NUL is no character: the reader leaves it out, and so does this.
        if (c == 0 && !nulIsText)
            continue;
        units += c == '\r' || c == '\n' || c == '\t' || (c >= 0x20 && c < 0x7F)
                     ? static_cast<char>(c)
                     : '\x01';
    }
    PlainSettings plain;
    std::map<std::string, bool> sectionsSeen;
    std::optional<std::string> section;  // none: keys here are not read
    bool uncertain = false;              // a line may have opened any section
    std::map<std::string, bool> keysSeen;
    size_t start = 0;
    while (start <= units.size()) {
        size_t end = units.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = units.size();
        const std::string line = units.substr(start, end - start);
        start = end + 1;
        const bool isPlain = line.find('\x01') == std::string::npos;
        const std::string trimmed = Trimmed(line);
        if (!isPlain) {
            // A line the reader may read as a header or a key: what it would
            // find there cannot be told here, so nothing after it is expected
            // (the section it may open could be the first of a later name).
            if (line.find('[') != std::string::npos) {
                uncertain = true;
                section.reset();
                keysSeen.clear();
            } else if (section && line.find('=') != std::string::npos) {
                std::string key;
                for (char c : line.substr(0, line.find('=')))
                    if (c != '\x01')
                        key += c;
                keysSeen[Folded(Trimmed(key))] = true;
            }
            continue;
        }
        if (trimmed.empty() || trimmed.front() == ';')
            continue;
        if (trimmed.front() == '[' || trimmed.find('=') != std::string::npos)
            ++plain.lines;
        if (trimmed.front() == '[') {
            const size_t close = trimmed.find(']');
            if (close == std::string::npos)
                continue;
            const std::string name = Folded(Trimmed(trimmed.substr(1, close - 1)));
            plain.header = true;
            keysSeen.clear();
            if (sectionsSeen[name] || uncertain)
                section.reset();  // the first section of a name counts
            else
                section = name;
            sectionsSeen[name] = true;
            continue;
        }
        const size_t equals = trimmed.find('=');
        if (!section || equals == std::string::npos)
            continue;
        const std::string key = Folded(Trimmed(trimmed.substr(0, equals)));
        if (keysSeen[key])
            continue;
        keysSeen[key] = true;
        std::string value = Trimmed(trimmed.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        plain.values[*section + "\n" + key] = value;
    }
    return plain;
}

// Whether the text is an optional minus and 1 to `digits` digits.
bool Integer(const std::string& text, size_t digits, bool negative) {
    size_t at = negative && text.starts_with('-') ? 1 : 0;
    const size_t count = text.size() - at;
    if (count < 1 || count > digits)
        return false;
    for (; at < text.size(); ++at)
        if (text[at] < '0' || text[at] > '9')
            return false;
    return true;
}

// The first setting the plain lines state that the reader did not read as
// stated; empty when there is none. `stated` counts the settings checked.
std::string FallenBack(const PlainSettings& plain, const Settings& read, int& stated) {
    stated = 0;
    auto value = [&](const char* section, const char* key) -> std::optional<std::string> {
        auto found = plain.values.find(Folded(section) + "\n" + Folded(key));
        if (found == plain.values.end())
            return std::nullopt;
        return found->second;
    };
    auto number = [&](const char* section, const char* key, int64_t actual, size_t digits,
                      bool negative) -> std::string {
        std::optional<std::string> text = value(section, key);
        if (!text || !Integer(*text, digits, negative))
            return {};
        ++stated;
        if (std::stoll(*text) == actual)
            return {};
        return std::string(section) + " " + key + "=" + *text + " read as " +
               std::to_string(actual);
    };
    auto text = [&](const char* section, const char* key, const std::string& actual) {
        std::optional<std::string> stated_ = value(section, key);
        if (!stated_ || stated_->empty())
            return std::string();
        ++stated;
        if (*stated_ == actual)
            return std::string();
        return std::string(section) + " " + key + "=" + *stated_ + " read as " + actual;
    };
    std::vector<std::string> faults;
    static const char* const kMargins[4] = {"OffSetTop", "OffSetBottom", "OffSetLeft",
                                            "OffSetRight"};
    for (int i = 0; i < 4; ++i)
        faults.push_back(number("Print Setting", kMargins[i], read.printMargins[i], 3, false));
    faults.push_back(number("Print Setting", "Header", read.headerFooterShow[0], 4, true));
    faults.push_back(number("Print Setting", "Footer", read.headerFooterShow[1], 4, true));
    faults.push_back(number("PrintOut Color", "OutColorType", read.colorPrint, 4, true));
    faults.push_back(number("Window", "WindowLeft", read.windowPlacement.left, 6, true));
    faults.push_back(number("Window", "WindowTop", read.windowPlacement.top, 6, true));
    faults.push_back(number("Window", "WindowWidth", read.windowPlacement.width, 6, true));
    faults.push_back(number("Window", "WindowHeight", read.windowPlacement.height, 6, true));
    if (std::optional<std::string> style = value("Window", "WindowStyle"); style && *style == "2")
        faults.push_back(number("Window", "WindowStyle", read.windowPlacement.state, 1, false));
    static const char* const kTexts[6] = {"HeaderLeft", "HeaderCenter", "HeaderRight",
                                          "FooterLeft", "FooterCenter", "FooterRight"};
    for (int i = 0; i < 6; ++i)
        faults.push_back(text("Print Setting", kTexts[i], read.headerFooterText[i]));
    faults.push_back(text("Path", "QuilmornData", read.defaultDataFolder));
    for (const std::string& fault : faults)
        if (!fault.empty())
            return fault;
    return {};
}

// No setting stated in plain lines falls back to its default: not in the
// reading the reader chose, and, for a file that looks like UTF-16 and whose
// chosen reading holds no plain section header, not in the reading of the
// other width when that finds more plain lines than the chosen one. The two
// byte orders are not weighed against each other: the first two bytes tell
// the order of the start, and a file whose later part is shifted by a byte
// is read as far as the form of its start reads.
void CheckNoSettingFallsBack(std::string_view data, IniFile::Form form, const Settings& read) {
    // A file whose form cannot be told is kept as a copy, and the start says so.
    if (!read.keptCopy.empty())
        return;
    const PlainSettings readings[3] = {Plain(data, 1, false), Plain(data, 2, false),
                                       Plain(data, 2, true)};
    const int chosen = form == IniFile::Form::kUtf16LittleEndian ? 1
                       : form == IniFile::Form::kUtf16BigEndian  ? 2
                                                                 : 0;
    int stated = 0;
    const std::string fault = FallenBack(readings[chosen], read, stated);
    if (!fault.empty()) {
        std::fprintf(stderr, "A setting fell back to its default: %s\n", Visible(fault).c_str());
        std::abort();
    }
    const bool utf16Start = data.starts_with("\xFF\xFE") || data.starts_with("\xFE\xFF") ||
                            (data.size() >= 2 && (data[0] == '\0') != (data[1] == '\0'));
    if (readings[chosen].header || !utf16Start)
        return;
    // The bytes of a UTF-16 file, NULs left out, read as its text, shifted or
    // not: only the lines without a NUL are 8-bit text of their own.
    const PlainSettings eightBit = Plain(data, 1, false, true);
    for (int other = 0; other < 3; ++other) {
        int elsewhere = 0;
        const bool otherWidth = (other == 0) != (chosen == 0);
        const PlainSettings& reading = other == 0 ? eightBit : readings[other];
        if (otherWidth && reading.lines > readings[chosen].lines &&
            !FallenBack(reading, read, elsewhere).empty()) {
            std::fprintf(
                stderr,
                "The form guessed (%d) lost what reading %d, with more plain lines, states\n",
                chosen, other);
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input = (Folder() / "input.ini").string();
    const std::string saved = (Folder() / "saved.ini").string();
    std::ofstream(input, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    Settings read = Load(input);
    // A copy of a file that could not be read is the user's; here it goes.
    if (!read.keptCopy.empty())
        std::filesystem::remove(read.keptCopy);

    IniFile probe;
    probe.Load(input);
    const IniFile::Form form = probe.form();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckNoSettingFallsBack(bytes, form, read);
    // The marks in front are no part of any line.
    const std::string shape =
        AsciiShape(std::string(bytes.substr(probe.mark().size())), form == IniFile::Form::kCp932);
    // A shape that starts as UTF-16 without its mark would be read as that.
    const bool looksUtf16 = shape.size() >= 2 && (shape[0] == '\0') != (shape[1] == '\0');
    // A file whose form could not be told was read as nothing (and kept).
    if (form != IniFile::Form::kUtf16LittleEndian && form != IniFile::Form::kUtf16BigEndian &&
        !looksUtf16 && read.keptCopy.empty()) {
        const std::string shaped = (Folder() / "shape.ini").string();
        std::ofstream(shaped, std::ios::binary | std::ios::trunc) << shape;
        const std::string expected = Structure(Load(shaped));
        const std::string actual = Structure(read);
        if (expected != actual) {
            std::fprintf(stderr, "Reading changed the file's structure:\n%s\n---\n%s\n",
                         Visible(expected).c_str(), Visible(actual).c_str());
            std::abort();
        }
    }

    // Saved as the program saves: over the file it read, which keeps its
    // form (a UTF-8 file holds characters CP932 cannot) and its other lines.
    std::filesystem::copy_file(input, saved, std::filesystem::copy_options::overwrite_existing);
    Settings writing = read;
    writing.iniFile = saved;
    if (!SaveSettings(writing))
        std::abort();  // a file in a writable folder must take the settings
    std::string difference = Difference(Storable(read), Load(saved));
    if (!difference.empty()) {
        std::fprintf(stderr, "The round trip changed a setting: %s\n", Visible(difference).c_str());
        std::abort();
    }
    return 0;
}
