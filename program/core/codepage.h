#pragma once

#include <string>
#include <string_view>

// Conversion between the program's UTF-8 text and code page 932 (Windows-31J),
// the code page of every text file the program reads or writes.

// UTF-8 to CP932; a character CP932 cannot hold becomes "?".
std::string Utf8ToCp932(std::string_view utf8);

// CP932 to UTF-8; a byte sequence that is not valid CP932 becomes "?".
std::string Cp932ToUtf8(std::string_view cp932);

// Length of the text in CP932 bytes: a half-width character counts 1, a full-width one 2.
int Cp932Length(std::string_view utf8);

// True when the byte opens a double-byte CP932 character.
bool IsCp932LeadByte(unsigned char byte);
