#include "core/ini_file.h"

#include <filesystem>

#include "core/codepage.h"
#include "core/file_io.h"
#include "core/text_helpers.h"

namespace {

bool IsLead(char c) {
    return IsCp932LeadByte(static_cast<unsigned char>(c));
}

// CP932 text with its ASCII letters in small letters; the second byte of a
// double-byte character may look like a letter and is kept as it is.
std::string Fold(std::string_view cp932) {
    std::string folded(cp932);
    for (size_t i = 0; i < folded.size(); ++i) {
        if (IsLead(folded[i]))
            ++i;
        else if (folded[i] >= 'A' && folded[i] <= 'Z')
            folded[i] = static_cast<char>(folded[i] - 'A' + 'a');
    }
    return folded;
}

std::string FoldName(std::string_view utf8) {
    return Fold(Trim(Utf8ToCp932(utf8)));
}

// The section name of a header line "[name]", or none for any other line.
std::optional<std::string_view> HeaderName(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    for (size_t i = 1; i < line.size(); ++i) {
        if (line[i] == ']')
            return Trim(line.substr(1, i - 1));
        if (IsLead(line[i]))
            ++i;
    }
    return std::nullopt;
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
    std::string value = Utf8ToCp932(utf8);
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

}  // namespace

IniFile::LoadResult IniFile::Load(const std::string& path) {
    sections_.assign(1, Section{});
    std::error_code error;
    std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return LoadResult::kMissing;
    if (error || status.type() != std::filesystem::file_type::regular)
        return LoadResult::kFailed;
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        return LoadResult::kFailed;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        AddLine(std::move(line));
        start = end + 1;
    }
    return LoadResult::kRead;
}

void IniFile::AddLine(std::string line) {
    if (auto name = HeaderName(line)) {
        sections_.push_back(Section{Fold(*name), {}, {}});
    } else if (auto key = KeyOf(line)) {
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
                                          size_t maxBytes) const {
    const Section* found = FindSection(section);
    if (!found)
        return std::nullopt;
    auto line = found->keys.find(FoldName(key));
    if (line == found->keys.end())
        return std::nullopt;
    std::string_view text = found->lines[line->second];
    std::string_view value = Trim(text.substr(text.find('=') + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    size_t length = 0;
    while (length < value.size()) {
        size_t next = length + (IsLead(value[length]) && length + 1 < value.size() ? 2 : 1);
        if (next > maxBytes)
            break;
        length = next;
    }
    if (length == 0)
        return std::nullopt;
    return Cp932ToUtf8(value.substr(0, length));
}

void IniFile::SetValue(std::string_view section, std::string_view key, std::string_view value) {
    if (sections_.empty())
        sections_.emplace_back();
    Section* found = FindSection(section);
    if (!found) {
        sections_.push_back(Section{FoldName(section), {"[" + Utf8ToCp932(section) + "]"}, {}});
        found = &sections_.back();
    }
    std::string foldedKey = FoldName(key);
    auto line = found->keys.find(foldedKey);
    if (line != found->keys.end()) {
        std::string& text = found->lines[line->second];
        text.erase(text.find('=') + 1);
        text += ValueText(value);
        return;
    }
    // After the last line that is not blank, so that the blank lines before the
    // next section stay where they are.
    size_t at = found->lines.size();
    while (at > 1 && Trim(found->lines[at - 1]).empty())
        --at;
    found->lines.insert(found->lines.begin() + static_cast<std::ptrdiff_t>(at),
                        Utf8ToCp932(key) + "=" + ValueText(value));
    found->keys.emplace(std::move(foldedKey), at);
}

std::string IniFile::Text() const {
    std::string text;
    for (const Section& section : sections_) {
        for (const std::string& line : section.lines) {
            text += line;
            text += "\r\n";
        }
    }
    return text;
}

bool IniFile::Save(const std::string& path) const {
    return WriteFileReplacing(path, Text());
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
