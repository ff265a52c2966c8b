#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Whole-file reading and writing for the program's text files.

// The largest text file the program reads (project and settings files).
// Both are kilobytes in practice; even 32 767 rows in every table, every
// number at full precision, stay near half of this. A larger file is no file
// of ours and is refused before it is read.
inline constexpr std::size_t kMaxTextFileBytes = std::size_t{64} << 20;  // 64 MiB

// Reads the whole file into `bytes`. Only a regular file of at most maxBytes
// is read: a device, a FIFO, a folder or a larger file gives false without
// waiting or reading it, as does a file that cannot be opened or read.
// `bytes` is changed only on success.
bool ReadWholeFile(const std::string& path, std::string& bytes,
                   std::size_t maxBytes = kMaxTextFileBytes);

// Writes the bytes to a temporary file beside `path` and renames it over the
// file, so that a failure never leaves a half-written file: either the new
// contents are in place or the old file is whole. False on any failure. A new
// file gets the usual permissions, a replaced one keeps its own; a file that
// is not writable (read-only mode, or no write permission for this user) is
// not replaced, even though the folder would allow the rename. Through a
// symbolic link, the file the link names is replaced (or created, when the
// link names a file not yet there) and the link stays; a loop of links gives
// false. The temporary file has no name until it is complete where the file
// system allows it, so that a process killed while writing leaves nothing
// behind; its name is short, so that every file name can be written.
bool WriteFileReplacing(const std::string& path, std::string_view bytes);

// An empty temporary file beside `path` (under a short name of its own), for
// a writer that cannot hand its bytes over at once; empty on failure.
std::string MakeTemporaryBeside(const std::string& path);

// Puts the finished temporary file in the place of `path` as
// WriteFileReplacing does (same checks, mode and rename), or removes the
// temporary file and gives false.
bool ReplaceWithTemporary(const std::string& temporary, const std::string& path);
