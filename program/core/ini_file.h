#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// A private-profile (INI) file: "[Section]" lines, each followed by "key=value"
// lines; ";" starts a comment line. The program writes CP932 with CR LF line
// ends; a file edited elsewhere may be UTF-8 or UTF-16, with or without a
// byte-order mark, with LF or CR alone (or CR CR LF, a CR LF passed through a
// text-mode copy) ending its lines: it is read as what it is and written back
// in the same form: the mark as found, each line with its own end, the last
// line with or without its end as found. Names and values are UTF-8 at this
// interface.
//
// The form: a file is read as UTF-16 (after its mark, or without one when one
// of its first two bytes alone is NUL) only when the decoded text reads as a
// settings file (a section header, or nothing but blank and comment lines)
// and no line of its bytes looks like a section header. Otherwise its bytes
// are read as CP932 or UTF-8 (the one that reads more of its lines beyond
// ASCII), a mark in front kept as it is; when neither reading finds a section
// header, the form cannot be told and the file is unreadable.
//
// Reading: sections and keys match without regard to case; the first of equal
// names counts. The value is the text after the first "=", trimmed of blanks,
// with one pair of enclosing double quotes removed. A line holding a byte that
// is no character of the file's code (a stray byte, a NUL) reads with "?" in
// its place (a NUL is left out) and is marked as not read whole.
// Writing: replaces the value of the key in place, keeps every other line,
// adds a missing key at the end of its section and a missing section at the
// end of the file. A line not read whole keeps its bytes unless it is given
// another value than the one it read as.
class IniFile {
  public:
    // kUnreadable: the file's form cannot be told (it looks like UTF-16, but
    // neither UTF-16 nor its bytes read as a settings file); the profile is empty.
    enum class LoadResult { kRead, kMissing, kFailed, kUnreadable };

    // The code of the file's text; a byte-order mark is kept apart (`mark`).
    enum class Form { kCp932, kUtf8, kUtf16LittleEndian, kUtf16BigEndian };

    // Replaces the contents by the file's; a missing file gives an empty profile.
    LoadResult Load(const std::string& path);

    // The value of the key cut at maxBytes CP932 bytes (never inside a
    // double-byte character); none when the section or key is missing or the
    // value is empty. `whole` (when given) tells whether the line was read whole.
    std::optional<std::string> Value(std::string_view section, std::string_view key,
                                     size_t maxBytes, bool* whole = nullptr) const;

    // The keys of a section in the order of the file (none for a missing one).
    std::vector<std::string> Keys(std::string_view section) const;

    void SetValue(std::string_view section, std::string_view key, std::string_view value);

    Form form() const { return form_; }
    // The bytes in front of the first line: byte-order marks, as found.
    const std::string& mark() const { return mark_; }

    // The profile as file bytes, in the form it was read in.
    std::string Text() const;

    // Writes the profile to a temporary file beside the path and renames it
    // over the path, so a failure never leaves half a file. False on failure.
    bool Save(const std::string& path) const;

    struct Line {
        std::string text;                // UTF-8, without its line end
        std::optional<std::string> raw;  // the line's own bytes while it is unchanged
        std::string end;                 // its own line end's bytes; empty: the file's
        bool whole = true;               // every byte of the line was read
    };

  private:
    struct Section {
        std::string name;                              // folded for matching; the preamble has none
        std::vector<Line> lines;                       // the first is the header
        std::unordered_map<std::string, size_t> keys;  // folded key -> its first line
    };

    Section* FindSection(std::string_view section);
    const Section* FindSection(std::string_view section) const;
    void AddLine(Line line);
    std::string Encode(std::string_view utf8) const;

    std::vector<Section> sections_;  // the first holds the lines before any section header
    Form form_ = Form::kCp932;
    std::string mark_;
    std::string tail_;              // the odd byte at the end of a UTF-16 file, kept last
    std::string lineEnd_ = "\r\n";  // for lines added, in UTF-8
    bool endsWithLineEnd_ = true;   // the last line has its end
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
