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

// Splits at every line end: CR LF, LF or CR alone. `lineEnd` receives the one
// the file uses (CR LF when it has none).
std::vector<std::string_view> SplitLines(std::string_view text, std::string& lineEnd) {
    lineEnd = text.find("\r\n") != std::string_view::npos ? "\r\n"
              : text.find('\n') != std::string_view::npos ? "\n"
              : text.find('\r') != std::string_view::npos ? "\r"
                                                          : "\r\n";
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

bool HasHighBytes(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// Text written by an editor of today is UTF-8, text of the program CP932. A
// CP932 line of Japanese is practically never well-formed UTF-8, so the form
// that reads more of the lines holding letters beyond ASCII is the file's.
bool LooksLikeUtf8(const std::vector<std::string_view>& lines) {
    int utf8 = 0;
    int other = 0;
    for (std::string_view line : lines) {
        if (!HasHighBytes(line))
            continue;
        if (IsValidUtf8(line))
            ++utf8;
        else
            ++other;
    }
    return utf8 > other;
}

}  // namespace

IniFile::LoadResult IniFile::Load(const std::string& path) {
    sections_.assign(1, Section{});
    form_ = Form::kCp932;
    lineEnd_ = "\r\n";
    std::error_code error;
    std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return LoadResult::kMissing;
    if (error || status.type() != std::filesystem::file_type::regular)
        return LoadResult::kFailed;
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        return LoadResult::kFailed;

    std::string_view body = bytes;
    const auto startsWith = [&](std::string_view mark) { return body.starts_with(mark); };
    std::optional<bool> utf16BigEndian;
    if (startsWith("\xEF\xBB\xBF")) {
        form_ = Form::kUtf8WithMark;
        body.remove_prefix(3);
    } else if (startsWith("\xFF\xFE") || startsWith("\xFE\xFF")) {
        utf16BigEndian = body[0] == '\xFE';
        body.remove_prefix(2);
    } else if (body.size() >= 2 && (body[0] == '\0') != (body[1] == '\0')) {
        // No profile line starts with a NUL: one of the first two bytes alone
        // is one only in UTF-16 without its mark.
        utf16BigEndian = body[0] == '\0';
    }
    std::string decoded;
    if (utf16BigEndian) {
        form_ = *utf16BigEndian ? Form::kUtf16BigEndian : Form::kUtf16LittleEndian;
        std::optional<std::string> text = Utf16ToUtf8(body, *utf16BigEndian);
        if (!text)
            return LoadResult::kUnreadable;
        decoded = std::move(*text);
        body = decoded;
    }
    std::vector<std::string_view> lines = SplitLines(body, lineEnd_);
    if (form_ == Form::kCp932 && LooksLikeUtf8(lines))
        form_ = Form::kUtf8;
    for (std::string_view bytesOfLine : lines) {
        Line line;
        bool whole = true;
        switch (form_) {
            case Form::kCp932:
                line.text = Cp932ToUtf8(bytesOfLine, whole);
                line.raw = std::string(bytesOfLine);
                break;
            case Form::kUtf8:
            case Form::kUtf8WithMark:
                line.text = Utf8Readable(bytesOfLine, whole);
                line.raw = std::string(bytesOfLine);
                break;
            case Form::kUtf16LittleEndian:
            case Form::kUtf16BigEndian:
                line.text = std::string(bytesOfLine);
                break;
        }
        line.whole = whole;
        AddLine(std::move(line));
    }
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
        sections_.push_back(Section{
            FoldName(section), {Line{"[" + std::string(section) + "]", std::nullopt, true}}, {}});
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
        existing = Line{std::move(text), std::nullopt, true};
        return;
    }
    // After the last line that is not blank, so that the blank lines before the
    // next section stay where they are.
    size_t at = found->lines.size();
    while (at > 1 && Trim(found->lines[at - 1].text).empty())
        --at;
    found->lines.insert(found->lines.begin() + static_cast<std::ptrdiff_t>(at),
                        Line{std::string(key) + "=" + ValueText(value), std::nullopt, true});
    found->keys.emplace(std::move(foldedKey), at);
}

std::string IniFile::Text() const {
    std::string text;
    if (form_ == Form::kUtf8WithMark)
        text = "\xEF\xBB\xBF";
    const bool utf16 = form_ == Form::kUtf16LittleEndian || form_ == Form::kUtf16BigEndian;
    for (const Section& section : sections_) {
        for (const Line& line : section.lines) {
            if (line.raw)
                text += *line.raw;
            else if (form_ == Form::kCp932)
                text += Utf8ToCp932(line.text);
            else
                text += line.text;
            text += lineEnd_;
        }
    }
    if (utf16) {
        const bool big = form_ == Form::kUtf16BigEndian;
        return (big ? std::string("\xFE\xFF") : std::string("\xFF\xFE")) + Utf8ToUtf16(text, big);
    }
    return text;
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
