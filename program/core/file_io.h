#pragma once

#include <string>
#include <string_view>

// Whole-file reading and writing for the program's text files.

// Reads the whole file into `bytes`; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// Writes the bytes to a temporary file beside `path` and renames it over the
// file, so that a failure never leaves a half-written file: either the new
// contents are in place or the old file is whole. False on any failure. A new
// file gets the usual permissions, a replaced one keeps its own.
bool WriteFileReplacing(const std::string& path, std::string_view bytes);
