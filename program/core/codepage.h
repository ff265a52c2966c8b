#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Conversion between the program's UTF-8 text and code page 932 (Windows-31J),
// the code page of every text file the program reads or writes.

// UTF-8 to CP932; a character CP932 cannot hold becomes "?".
std::string Utf8ToCp932(std::string_view utf8);

// CP932 to UTF-8; a byte sequence that is not valid CP932 becomes "?".
std::string Cp932ToUtf8(std::string_view cp932);
// As above; `whole` tells whether every byte sequence could be read, so that no
// "?" stands for one that could not.
std::string Cp932ToUtf8(std::string_view cp932, bool& whole);

// The characters of a UTF-8 text that CP932 cannot hold, each once, in the
// order they first occur (as UTF-8; a broken UTF-8 byte is one of them).
std::vector<std::string> Cp932Unholdable(std::string_view utf8);

// The text as a CP932 file gives it back: a character that CP932 holds only as
// another one ("〜" as "～", "−" as "－", "¥" as the backslash) becomes that one, so that
// the screen can show what the file will hold. Characters CP932 cannot hold at
// all stay as they are (see Cp932Unholdable).
std::string Cp932RoundTrip(std::string_view utf8);

// Length of the text in CP932 bytes: a half-width character counts 1, a full-width one 2.
int Cp932Length(std::string_view utf8);

// Whether the text is well-formed UTF-8 (no overlong form, surrogate or code
// point beyond U+10FFFF).
bool IsValidUtf8(std::string_view text);

// The text with every byte that is not part of a well-formed UTF-8 character
// replaced by "?"; `whole` tells whether there was none.
std::string Utf8Readable(std::string_view text, bool& whole);

// UTF-16 (without a byte-order mark) to UTF-8; none when the bytes are not
// well-formed UTF-16.
std::optional<std::string> Utf16ToUtf8(std::string_view utf16, bool bigEndian);

// UTF-8 to UTF-16 without a byte-order mark; a broken UTF-8 byte becomes "?".
std::string Utf8ToUtf16(std::string_view utf8, bool bigEndian);

// True when the byte opens a double-byte CP932 character.
bool IsCp932LeadByte(unsigned char byte);
