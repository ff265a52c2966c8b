// Reads arbitrary bytes as the settings file. Whatever the bytes, the reader
// must not crash; what it read must keep the structure of the file (a byte
// that is no character must not take a quote, a comma or a digit with it), and
// it must come back unchanged through the writer and the reader.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
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
    const std::string shape = AsciiShape(std::string(reinterpret_cast<const char*>(data), size),
                                         form == IniFile::Form::kCp932);
    // A shape that starts as UTF-16 without its mark would be read as that.
    const bool looksUtf16 = shape.size() >= 2 && (shape[0] == '\0') != (shape[1] == '\0');
    if (form != IniFile::Form::kUtf16LittleEndian && form != IniFile::Form::kUtf16BigEndian &&
        !looksUtf16) {
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
