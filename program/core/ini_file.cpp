#include "core/ini_file.h"

#include <algorithm>
#include <filesystem>

#include "core/codepage.h"
#include "core/file_io.h"
#include "core/text_helpers.h"

namespace {

// A text with its ASCII letters in small letters; every byte of a UTF-8
// character beyond ASCII is kept as it is.
std::string Fold(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

std::string FoldName(std::string_view utf8) {
    return Fold(Trim(utf8));
}

// The section name of a header line "[name]", or none for any other line.
std::optional<std::string_view> HeaderName(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    size_t close = line.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

// The key of a "key=value" line, or none for blank, comment and other lines.
std::optional<std::string_view> KeyOf(std::string_view line) {
    std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[')
        return std::nullopt;
    size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return Trim(trimmed.substr(0, equals));
}

// The text that, written after "=", reads back as the value: line breaks become
// blanks, and a value that reading would trim or unquote is enclosed in quotes.
std::string ValueText(std::string_view utf8) {
    std::string value(utf8);
    for (char& c : value) {
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    }
    bool trimmed = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
    bool quoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
    if (trimmed || quoted)
        return '"' + value + '"';
    return value;
}

// The value cut at maxBytes CP932 bytes, never inside a character.
std::string_view CutAtCp932Bytes(std::string_view value, size_t maxBytes) {
    if (value.size() <= maxBytes || static_cast<size_t>(Cp932Length(value)) <= maxBytes)
        return value;
    size_t length = 0;
    size_t bytes = 0;
    while (length < value.size()) {
        size_t next = length + 1;
        while (next < value.size() && (static_cast<unsigned char>(value[next]) & 0xC0) == 0x80)
            ++next;
        bytes += static_cast<size_t>(Cp932Length(value.substr(length, next - length)));
        if (bytes > maxBytes)
            break;
        length = next;
    }
    return value.substr(0, length);
}

// One line of the file as found: its bytes and the bytes of its end.
struct RawLine {
    std::string_view bytes;
    std::string_view end;
    int kind = -1;  // of the end: 0 CR LF (CR CR LF too), 1 LF, 2 CR; -1 none
};

// The code unit at `at` of a text of `width` bytes a unit (1 or 2).
unsigned Unit(std::string_view text, size_t at, int width, bool bigEndian) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    if (width == 1)
        return byte(at);
    return bigEndian ? (byte(at) << 8) | byte(at + 1) : byte(at) | (byte(at + 1) << 8);
}

// Splits at every line end: CR LF, LF or CR alone, and CR CR LF as one (what a
// text-mode copy makes of a CR LF). A UTF-16 text is split at its units.
std::vector<RawLine> SplitLines(std::string_view text, int width, bool bigEndian) {
    constexpr unsigned kCr = '\r';
    constexpr unsigned kLf = '\n';
    const size_t w = static_cast<size_t>(width);
    const size_t units = text.size() / w;
    const auto unit = [&](size_t i) {
        return i < units ? Unit(text, i * w, width, bigEndian) : 0u;
    };
    std::vector<RawLine> lines;
    size_t start = 0;
    size_t i = 0;
    while (i < units) {
        const unsigned c = unit(i);
        if (c != kCr && c != kLf) {
            ++i;
            continue;
        }
        size_t endUnits = 1;
        if (c == kCr && unit(i + 1) == kLf)
            endUnits = 2;
        else if (c == kCr && unit(i + 1) == kCr && unit(i + 2) == kLf)
            endUnits = 3;
        const int kind = endUnits > 1 ? 0 : c == kLf ? 1 : 2;
        lines.push_back(
            {text.substr(start * w, (i - start) * w), text.substr(i * w, endUnits * w), kind});
        i += endUnits;
        start = i;
    }
    if (start * w < text.size())
        lines.push_back({text.substr(start * w), {}});
    return lines;
}

void AppendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// UTF-16 to UTF-8; a lone surrogate or an odd byte at the end is read as "?",
// a NUL is left out, and either makes `whole` false.
std::string Utf16Readable(std::string_view bytes, bool bigEndian, bool& whole) {
    std::string out;
    const size_t units = bytes.size() / 2;
    whole = bytes.size() % 2 == 0;
    for (size_t i = 0; i < units; ++i) {
        const unsigned c = Unit(bytes, i * 2, 2, bigEndian);
        if (c == 0) {
            whole = false;
        } else if (c >= 0xD800 && c < 0xDC00 && i + 1 < units &&
                   Unit(bytes, (i + 1) * 2, 2, bigEndian) >= 0xDC00 &&
                   Unit(bytes, (i + 1) * 2, 2, bigEndian) < 0xE000) {
            const unsigned low = Unit(bytes, ++i * 2, 2, bigEndian);
            AppendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
        } else if (c >= 0xD800 && c < 0xE000) {
            out += '?';
            whole = false;
        } else {
            AppendUtf8(out, c);
        }
    }
    if (bytes.size() % 2 != 0)
        out += '?';
    return out;
}

// The bytes without their NULs: no character of a settings line is one, and
// a stray one must not hide the text around it.
std::string WithoutNuls(std::string_view bytes, bool& whole) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        if (c == '\0')
            whole = false;
        else
            out += c;
    }
    return out;
}

bool HasHighBytes(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// Text written by an editor of today is UTF-8, text of the program CP932. A
// CP932 line of Japanese is practically never well-formed UTF-8, so the form
// that reads more of the lines holding letters beyond ASCII is the file's; a
// UTF-8 mark settles a tie.
bool LooksLikeUtf8(const std::vector<RawLine>& lines, bool utf8Mark) {
    int utf8 = 0;
    int other = 0;
    for (const RawLine& line : lines) {
        if (!HasHighBytes(line.bytes))
            continue;
        if (IsValidUtf8(line.bytes))
            ++utf8;
        else
            ++other;
    }
    return utf8Mark ? utf8 >= other : utf8 > other;
}

// The lines of a text in the given form, decoded.
std::vector<IniFile::Line> DecodeLines(const std::vector<RawLine>& raw, IniFile::Form form) {
    std::vector<IniFile::Line> lines;
    lines.reserve(raw.size());
    for (const RawLine& bytes : raw) {
        IniFile::Line line;
        line.raw = std::string(bytes.bytes);
        line.end = std::string(bytes.end);
        bool whole = true;
        switch (form) {
            case IniFile::Form::kCp932: {
                const std::string text = WithoutNuls(bytes.bytes, whole);
                bool read = true;
                line.text = Cp932ToUtf8(text, read);
                whole = whole && read;
                break;
            }
            case IniFile::Form::kUtf8: {
                const std::string text = WithoutNuls(bytes.bytes, whole);
                bool read = true;
                line.text = Utf8Readable(text, read);
                whole = whole && read;
                break;
            }
            case IniFile::Form::kUtf16LittleEndian:
            case IniFile::Form::kUtf16BigEndian:
                line.text =
                    Utf16Readable(bytes.bytes, form == IniFile::Form::kUtf16BigEndian, whole);
                break;
        }
        line.whole = whole;
        lines.push_back(std::move(line));
    }
    return lines;
}

// The section headers read whole among decoded lines.
size_t HeaderCount(const std::vector<IniFile::Line>& lines) {
    return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [](const auto& line) {
        return line.whole && HeaderName(line.text).has_value();
    }));
}

// The lines of bytes that look like a section header in any 8-bit code: no
// NUL, a "[" first and a "]" after it. Counted on the bytes, so that which of
// CP932 and UTF-8 reads more of the file does not change the count.
size_t ByteHeaderCount(const std::vector<RawLine>& lines) {
    return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [](const RawLine& line) {
        if (line.bytes.find('\0') != std::string_view::npos)
            return false;
        std::string_view text = Trim(line.bytes);
        return !text.empty() && text.front() == '[' && text.find(']') != std::string_view::npos;
    }));
}

// Whether decoded lines are nothing but blank and comment lines.
bool OnlyBlankLines(const std::vector<IniFile::Line>& lines) {
    return std::all_of(lines.begin(), lines.end(), [](const IniFile::Line& line) {
        std::string_view text = Trim(line.text);
        return line.whole && (text.empty() || text.front() == ';');
    });
}

// The length of the marks at the start of the bytes: the same mark may stand
// twice (a file that went through two tools that each added one).
size_t MarkLength(std::string_view bytes, std::string_view mark) {
    size_t length = 0;
    while (bytes.substr(length).starts_with(mark))
        length += mark.size();
    return length;
}

}  // namespace

IniFile::LoadResult IniFile::Load(const std::string& path) {
    sections_.assign(1, Section{});
    form_ = Form::kCp932;
    mark_.clear();
    tail_.clear();
    lineEnd_ = "\r\n";
    endsWithLineEnd_ = true;
    std::error_code error;
    std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return LoadResult::kMissing;
    if (error || status.type() != std::filesystem::file_type::regular)
        return LoadResult::kFailed;
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        return LoadResult::kFailed;

    const std::string_view all = bytes;
    std::vector<RawLine> raw;
    std::vector<Line> lines;
    // UTF-16: after its mark, or without one when one of the first two bytes
    // alone is NUL (no settings line starts with one).
    std::optional<bool> utf16BigEndian;
    size_t utf16Mark = 0;
    if (all.starts_with("\xFF\xFE") || all.starts_with("\xFE\xFF")) {
        utf16BigEndian = all[0] == '\xFE';
        utf16Mark = MarkLength(all, all.substr(0, 2));
    } else if (all.size() >= 2 && (all[0] == '\0') != (all[1] == '\0')) {
        utf16BigEndian = all[0] == '\0';
    }
    // The bytes themselves: CP932 or UTF-8, with whatever mark stands in front.
    const size_t markLength = utf16BigEndian ? utf16Mark : MarkLength(all, "\xEF\xBB\xBF");
    mark_ = std::string(all.substr(0, markLength));
    raw = SplitLines(all.substr(markLength), 1, false);
    form_ = LooksLikeUtf8(raw, all.starts_with("\xEF\xBB\xBF")) ? Form::kUtf8 : Form::kCp932;
    lines = DecodeLines(raw, form_);
    if (utf16BigEndian) {
        // UTF-16 only when its text reads as settings and the bytes do not:
        // no line of the bytes of a real UTF-16 file looks like a section header
        // (each of its lines has NULs), while a CP932 file with a stray NUL or
        // mark in front reads as the bytes it is. A file mixing the two stays
        // with its bytes, which a save of them never turns into UTF-16.
        const Form utf16 = *utf16BigEndian ? Form::kUtf16BigEndian : Form::kUtf16LittleEndian;
        // An odd byte at the end belongs to no unit: it stays the file's last,
        // so that lines added before it keep their units in step.
        const std::string_view units = all.substr(utf16Mark);
        const size_t odd = units.size() % 2;
        std::vector<RawLine> raw16 =
            SplitLines(units.substr(0, units.size() - odd), 2, *utf16BigEndian);
        std::vector<Line> lines16 = DecodeLines(raw16, utf16);
        const size_t headers16 = HeaderCount(lines16);
        const size_t headers8 = ByteHeaderCount(raw);
        if (headers8 == 0 && (headers16 > 0 || OnlyBlankLines(lines16))) {
            form_ = utf16;
            raw = std::move(raw16);
            lines = std::move(lines16);
            tail_ = std::string(units.substr(units.size() - odd));
        } else if (headers8 == 0) {
            // Neither reading finds settings: what the file is cannot be told.
            form_ = Form::kCp932;
            mark_.clear();
            return LoadResult::kUnreadable;
        }
    }

    // Lines added take the end the file's lines have most.
    size_t counts[3] = {0, 0, 0};  // CR LF, LF, CR
    for (const RawLine& line : raw) {
        if (line.kind >= 0)
            ++counts[line.kind];
    }
    if (counts[1] > counts[0] && counts[1] >= counts[2])
        lineEnd_ = "\n";
    else if (counts[2] > counts[0] && counts[2] > counts[1])
        lineEnd_ = "\r";
    endsWithLineEnd_ = raw.empty() || !raw.back().end.empty();
    for (Line& line : lines)
        AddLine(std::move(line));
    return LoadResult::kRead;
}

void IniFile::AddLine(Line line) {
    if (auto name = HeaderName(line.text)) {
        sections_.push_back(Section{Fold(*name), {}, {}});
    } else if (auto key = KeyOf(line.text)) {
        // Keys before the first header belong to no section and are never found.
        Section& section = sections_.back();
        if (sections_.size() > 1)
            section.keys.emplace(Fold(*key), section.lines.size());
    }
    sections_.back().lines.push_back(std::move(line));
}

IniFile::Section* IniFile::FindSection(std::string_view section) {
    std::string folded = FoldName(section);
    for (size_t i = 1; i < sections_.size(); ++i) {
        if (sections_[i].name == folded)
            return &sections_[i];
    }
    return nullptr;
}

const IniFile::Section* IniFile::FindSection(std::string_view section) const {
    return const_cast<IniFile*>(this)->FindSection(section);
}

std::optional<std::string> IniFile::Value(std::string_view section, std::string_view key,
                                          size_t maxBytes, bool* whole) const {
    const Section* found = FindSection(section);
    if (!found)
        return std::nullopt;
    auto line = found->keys.find(FoldName(key));
    if (line == found->keys.end())
        return std::nullopt;
    const Line& read = found->lines[line->second];
    std::string_view text = read.text;
    std::string_view value = Trim(text.substr(text.find('=') + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    value = CutAtCp932Bytes(value, maxBytes);
    if (value.empty())
        return std::nullopt;
    if (whole != nullptr)
        *whole = read.whole;
    return std::string(value);
}

std::vector<std::string> IniFile::Keys(std::string_view section) const {
    std::vector<std::string> keys;
    const Section* found = FindSection(section);
    if (!found)
        return keys;
    for (size_t i = 1; i < found->lines.size(); ++i) {
        if (auto key = KeyOf(found->lines[i].text))
            keys.emplace_back(*key);
    }
    return keys;
}

void IniFile::SetValue(std::string_view section, std::string_view key, std::string_view value) {
    if (sections_.empty())
        sections_.emplace_back();
    Section* found = FindSection(section);
    if (!found) {
        sections_.push_back(
            Section{FoldName(section),
                    {Line{"[" + std::string(section) + "]", std::nullopt, {}, true}},
                    {}});
        found = &sections_.back();
    }
    std::string foldedKey = FoldName(key);
    auto line = found->keys.find(foldedKey);
    if (line != found->keys.end()) {
        Line& existing = found->lines[line->second];
        std::string text = existing.text.substr(0, existing.text.find('=') + 1) + ValueText(value);
        // The same value keeps the line's own bytes: a line not read whole
        // would otherwise be written back with "?" for what could not be read.
        if (text == existing.text)
            return;
        existing.text = std::move(text);
        existing.raw.reset();
        existing.whole = true;
        return;
    }
    // After the last line that is not blank, so that the blank lines before the
    // next section stay where they are.
    size_t at = found->lines.size();
    while (at > 1 && Trim(found->lines[at - 1].text).empty())
        --at;
    found->lines.insert(found->lines.begin() + static_cast<std::ptrdiff_t>(at),
                        Line{std::string(key) + "=" + ValueText(value), std::nullopt, {}, true});
    found->keys.emplace(std::move(foldedKey), at);
}

std::string IniFile::Encode(std::string_view utf8) const {
    switch (form_) {
        case Form::kCp932:
            return Utf8ToCp932(utf8);
        case Form::kUtf8:
            return std::string(utf8);
        case Form::kUtf16LittleEndian:
        case Form::kUtf16BigEndian:
            return Utf8ToUtf16(utf8, form_ == Form::kUtf16BigEndian);
    }
    return std::string(utf8);
}

std::string IniFile::Text() const {
    std::string text = mark_;
    const std::string lineEnd = Encode(lineEnd_);
    const Line* last = nullptr;
    for (const Section& section : sections_) {
        if (!section.lines.empty())
            last = &section.lines.back();
    }
    for (const Section& section : sections_) {
        for (const Line& line : section.lines) {
            text += line.raw ? *line.raw : Encode(line.text);
            // The last line keeps the end it had or had not; a line that was
            // the last and now has others after it takes the file's end.
            if (&line == last && !endsWithLineEnd_)
                break;
            text += line.end.empty() ? lineEnd : line.end;
        }
    }
    return text + tail_;
}

bool IniFile::Save(const std::string& path) const {
    return static_cast<bool>(WriteFileReplacing(path, Text()));
}

std::string GetIni(std::string_view section, std::string_view key, std::string_view defaultValue,
                   const std::string& file) {
    IniFile ini;
    ini.Load(file);
    return ini.Value(section, key, kIniValueLimit).value_or(std::string(defaultValue));
}

int32_t WriteIni(std::string_view section, std::string_view key, std::string_view value,
                 const std::string& file) {
    IniFile ini;
    if (ini.Load(file) == IniFile::LoadResult::kFailed)
        return 0;
    ini.SetValue(section, key, value);
    return ini.Save(file) ? 1 : 0;
}
