#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// A private-profile (INI) file: "[Section]" lines, each followed by "key=value"
// lines; ";" starts a comment line. The file is in CP932 with CR LF line ends;
// names and values are UTF-8 at this interface.
//
// Reading: sections and keys match without regard to case; the first of equal
// names counts. The value is the text after the first "=", trimmed of blanks,
// with one pair of enclosing double quotes removed.
// Writing: replaces the value of the key in place, keeps every other line,
// adds a missing key at the end of its section and a missing section at the
// end of the file.
class IniFile {
  public:
    enum class LoadResult { kRead, kMissing, kFailed };

    // Replaces the contents by the file's; a missing file gives an empty profile.
    LoadResult Load(const std::string& path);

    // The value of the key cut at maxBytes CP932 bytes (never inside a
    // double-byte character); none when the section or key is missing or the
    // value is empty.
    std::optional<std::string> Value(std::string_view section, std::string_view key,
                                     size_t maxBytes) const;

    void SetValue(std::string_view section, std::string_view key, std::string_view value);

    // The profile as file bytes.
    std::string Text() const;

    // Writes the profile to a temporary file beside the path and renames it
    // over the path, so a failure never leaves half a file. False on failure.
    bool Save(const std::string& path) const;

  private:
    struct Section {
        std::string name;                // folded for matching; the preamble has none
        std::vector<std::string> lines;  // CP932, without line ends; the first is the header
        std::unordered_map<std::string, size_t> keys;  // folded key -> its first line
    };

    Section* FindSection(std::string_view section);
    const Section* FindSection(std::string_view section) const;
    void AddLine(std::string line);

    std::vector<Section> sections_;  // the first holds the lines before any section header
};

// A value read back is at most this many CP932 bytes long.
inline constexpr size_t kIniValueLimit = 254;

// The value of the key in the file, or the default when the file, the section
// or the key is missing or the value is empty.
std::string GetIni(std::string_view section, std::string_view key, std::string_view defaultValue,
                   const std::string& file);

// Writes one value into the file, creating the file when it is missing.
// Returns nonzero on success, 0 on failure.
int32_t WriteIni(std::string_view section, std::string_view key, std::string_view value,
                 const std::string& file);
