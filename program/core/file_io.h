#pragma once

#include <cstddef>
#include <optional>
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
//
// The new file keeps the replaced file's group (a member of a group may give
// it to a file) and permission bits, so that a file shared in a group folder
// stays the group's; `note`, when given, tells whether that could be done.
struct ReplaceNote {
    bool groupKept = true;
    unsigned oldGroup = 0;  // the replaced file's group
    unsigned newGroup = 0;  // the group the new file has when groupKept is false
};
bool WriteFileReplacing(const std::string& path, std::string_view bytes,
                        ReplaceNote* note = nullptr);

// Why a write of `path` cannot be made, as far as the file system tells
// before trying: kFolderNotWritable when no temporary can be made beside the
// file (the folder is not writable for this user, or read-only), kFileNotWritable
// when the file is a regular file that may not be replaced (read-only).
enum class WriteRefusal { kNone, kFolderNotWritable, kFileNotWritable };
WriteRefusal WhyNotWritable(const std::string& path);

// The name of a group, or its number when it has none.
std::string GroupName(unsigned group);

// What identifies one version of a file on disk: its device and inode (a
// file replaced by another program's save is a new one), size and time of
// its last change.
struct FileIdentity {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    long long size = 0;
    long long modifiedSeconds = 0;
    long long modifiedNanoseconds = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of the file at `path` (a link is followed); none when there
// is no regular file there.
std::optional<FileIdentity> IdentityOf(const std::string& path);

// An empty temporary file beside `path`, for a writer that cannot hand its
// bytes over at once; empty on failure. Its name is the one of `path`'s
// temporaries, so that one a killed writer left is cleared by the next write
// of the same file.
std::string MakeTemporaryBeside(const std::string& path);

// Puts the finished temporary file in the place of `path` as
// WriteFileReplacing does (same checks, mode and rename), or removes the
// temporary file and gives false.
bool ReplaceWithTemporary(const std::string& temporary, const std::string& path);
