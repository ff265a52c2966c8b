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

// The new file keeps the replaced file's group (a member of a group may give
// it to a file) and permission bits, so that a file shared in a group folder
// stays the group's; `note`, when given, tells whether that could be done.
struct ReplaceNote {
    bool groupKept = true;
    unsigned oldGroup = 0;  // the replaced file's group
    unsigned newGroup = 0;  // the group the new file has when groupKept is false
};

// What a write came to. `error` is the errno of the call that failed, kept
// so that the message can say why; a write refused before any call gives
// EISDIR (a folder stands in the file's place), EACCES (the file is
// read-only), ELOOP (a loop of links) or EINVAL (a device or another thing
// that is no file). `file` is the file that was to be written: the one a
// symbolic link leads to.
struct WriteResult {
    int error = 0;
    std::string file;
    explicit operator bool() const { return error == 0; }
};

// Writes the bytes to a temporary file beside `path` and renames it over the
// file, so that a failure never leaves a half-written file: either the new
// contents are in place or the old file is whole. A new file gets the usual
// permissions, a replaced one keeps its own; a file that is not writable
// (read-only mode, or no write permission for this user) is not replaced,
// even though the folder would allow the rename. Through a symbolic link, the
// file the link names is replaced (or created, when the link names a file not
// yet there) and the link stays; a loop of links is refused. The temporary
// file has no name until it is complete where the file system allows it, so
// that a process killed while writing leaves nothing behind; its name is
// short, so that every file name can be written. A name that cannot be had
// (another user's leftover in a shared folder, a folder of that name) gives
// way to a fresh one.
WriteResult WriteFileReplacing(const std::string& path, std::string_view bytes,
                               ReplaceNote* note = nullptr);

// Why a write failed, in the user's words, with what the user can do: the
// reason of the errno kept in `result`, naming the folder the file really
// lies in where that is the cause. Empty for a write that succeeded.
std::string WriteFailureReason(const WriteResult& result);

// The system's text for an errno, in the user's language where the system
// has it (only when the locale's texts are UTF-8; the C texts otherwise).
std::string SystemErrorText(int error);

// Why a write of `path` cannot be made, as far as the file system tells
// before trying: kFolderNotWritable when no temporary can be made beside the
// file (the folder is not writable for this user, or read-only), kFileNotWritable
// when the file is a regular file that may not be replaced (read-only).
enum class WriteRefusal { kNone, kFolderNotWritable, kFileNotWritable };
WriteRefusal WhyNotWritable(const std::string& path);

// The name of a group, or its number when it has none.
std::string GroupName(unsigned group);

// What a file held when the program read or wrote it: its size and a hash
// of its bytes. The hash lives only as long as the program runs.
struct FileContent {
    long long size = 0;
    std::size_t hash = 0;
    bool operator==(const FileContent&) const = default;
};
FileContent ContentOf(std::string_view bytes);

// Whether the file at `path` (a link is followed) holds other bytes than
// `noted`. Times on disk cannot tell: they may be whole or two seconds, be
// put back, or change with nothing else (a touch, the same bytes copied or
// renamed over the file). So a file of another size has changed at once, and
// one of the same size is read and its bytes compared. kGone when there is
// no file at the path (nothing, or a folder or device that no save can
// replace); a file that cannot be read has changed.
enum class DiskContent { kSame, kChanged, kGone };
DiskContent CompareWithDisk(const std::string& path, const FileContent& noted);

// An empty temporary file beside `path`, for a writer that cannot hand its
// bytes over at once; empty on failure. Its name is the one of `path`'s
// temporaries, so that one a killed writer left is cleared by the next write
// of the same file.
std::string MakeTemporaryBeside(const std::string& path);

// Puts the finished temporary file in the place of `path` as
// WriteFileReplacing does (same checks, mode and rename), or removes the
// temporary file and gives false.
bool ReplaceWithTemporary(const std::string& temporary, const std::string& path);
