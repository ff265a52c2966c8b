#include "core/file_io.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

bool ReadWholeFile(const std::string& path, std::string& bytes, std::size_t maxBytes) {
    // Non-blocking, so that opening a FIFO does not wait for a writer; the
    // type is then checked on what was opened, not on the name.
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size >= 0 &&
              static_cast<std::uintmax_t>(info.st_size) <= maxBytes;
    std::string read;
    if (ok) {
        read.reserve(static_cast<std::size_t>(info.st_size));
        char chunk[65536];
        for (;;) {
            ssize_t n = ::read(fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                ok = n == 0;
                break;
            }
            // A file that grows past the cap while it is read is refused too.
            if (read.size() + static_cast<std::size_t>(n) > maxBytes) {
                ok = false;
                break;
            }
            read.append(chunk, static_cast<std::size_t>(n));
        }
    }
    close(fd);
    if (ok)
        bytes = std::move(read);
    return ok;
}

namespace {

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

mode_t NewFileMode() {
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// Whether `path` may be given new contents: it is missing, or a regular file
// that is writable. The rename would go around the file's own mode, so a
// read-only file stays as it is, also for a user whom the mode does not bind.
// `mode` receives the mode the new contents get, `existing` the file's status
// when there is one.
bool MayReplace(const std::string& path, mode_t& mode,
                std::optional<struct stat>* existing = nullptr) {
    if (path.empty() || path.back() == '/')
        return false;
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        mode = NewFileMode();
        return true;
    }
    mode = info.st_mode & 07777;
    if (existing != nullptr)
        *existing = info;
    return S_ISREG(info.st_mode) && access(path.c_str(), W_OK) == 0 &&
           (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

// Gives the new file on `fd` the owner and group of the file it replaces
// where the system allows (a user may give a file of theirs to a group they
// belong to), then its mode: changing the owner may clear the set-id bits.
bool KeepOwnerGroupAndMode(int fd, const std::optional<struct stat>& existing, mode_t mode,
                           ReplaceNote* note) {
    if (existing) {
        if (fchown(fd, existing->st_uid, existing->st_gid) != 0 &&
            fchown(fd, static_cast<uid_t>(-1), existing->st_gid) != 0 && note != nullptr) {
            struct stat now {};
            if (fstat(fd, &now) == 0 && now.st_gid != existing->st_gid) {
                note->groupKept = false;
                note->oldGroup = existing->st_gid;
                note->newGroup = now.st_gid;
            }
        }
    }
    return fchmod(fd, mode) == 0;
}

// The folder part of a path, "." for a bare name.
std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// The file that new contents of `path` must replace: the file a symbolic
// link names, so that saving through a link updates that file instead of
// turning the link into a file of its own. The links are followed one by one,
// so that a link naming a file not yet there gives that file (it is created).
// None for a loop or a link that cannot be read.
std::optional<std::string> ReplacedFile(const std::string& given) {
    // The number of links the system itself follows before it gives up.
    constexpr int kMaxLinks = 40;
    std::string path = given;
    for (int hop = 0; hop <= kMaxLinks; ++hop) {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        std::vector<char> target(static_cast<size_t>(PATH_MAX) + 1);
        ssize_t n = readlink(path.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<size_t>(n) >= target.size())
            return std::nullopt;
        std::string named(target.data(), static_cast<size_t>(n));
        if (named.front() == '/')
            path = std::move(named);
        else
            path = FolderOf(path) + "/" + named;
    }
    return std::nullopt;
}

// The temporary files stand beside their target under a short name of their
// own, so that every name the file system accepts can be saved: a suffix on
// the target's name would pass its limit of 255 bytes.
constexpr const char kTemporaryPrefix[] = ".qmsave-";

std::string TemporaryPattern(const std::string& path) {
    return FolderOf(path) + "/" + kTemporaryPrefix + "XXXXXX";
}

// Gives the unnamed file open on `fd` the name `name`, which must not exist.
bool LinkUnnamed(int fd, const std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return true;
    // Without /proc a privileged process can still link the descriptor itself.
    return errno != EEXIST && linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0;
}

// The name under which the complete unnamed file for `path` is linked in just
// before it is renamed over `path`. It is one name for each target, so that a
// save killed between the two steps leaves at most one file, which the next
// save of the same target clears.
std::string LinkedTemporaryName(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string::npos
                                      ? std::string_view(path)
                                      : std::string_view(path).substr(slash + 1);
    uint32_t hash = 2166136261u;  // FNV-1a
    for (unsigned char c : name) {
        hash ^= c;
        hash *= 16777619u;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string suffix(8, '0');
    for (int i = 7; i >= 0; --i, hash >>= 4)
        suffix[static_cast<size_t>(i)] = kHex[hash & 0xF];
    return FolderOf(path) + "/" + kTemporaryPrefix + suffix;
}

// Whether the file at `name` is a temporary whose writer is gone: no process
// holds its lock. One that cannot be opened as a file (a link or a folder
// left under the name) is no writer's either.
bool IsLeftOver(const std::string& name) {
    int fd = open(name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ELOOP;
    const bool free = flock(fd, LOCK_EX | LOCK_NB) == 0;
    close(fd);
    return free;
}

// Opens a new temporary file for `path` under the name of its temporaries,
// clearing one that a killed writer left; while another process writes the
// same file, under a fresh name of its own. The descriptor holds a lock on
// the file as long as it is open, which tells the writers apart from what
// they left. -1 on failure.
int OpenTemporaryFor(const std::string& path, std::string& name) {
    name = LinkedTemporaryName(path);
    for (int attempt = 0; attempt < 2; ++attempt) {
        int fd = open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            flock(fd, LOCK_EX | LOCK_NB);
            return fd;
        }
        if (errno != EEXIST || !IsLeftOver(name) || unlink(name.c_str()) != 0)
            break;
    }
    std::string pattern = TemporaryPattern(path);
    std::vector<char> fresh(pattern.begin(), pattern.end());
    fresh.push_back('\0');
    int fd = mkstemp(fresh.data());
    if (fd < 0)
        return -1;
    flock(fd, LOCK_EX | LOCK_NB);
    name = fresh.data();
    return fd;
}

// Renames the temporary open on `fd` over `path`, when its name still names it.
bool RenameTemporary(int fd, const std::string& name, const std::string& path) {
    struct stat open {};
    struct stat named {};
    if (fstat(fd, &open) != 0 || lstat(name.c_str(), &named) != 0 || open.st_ino != named.st_ino ||
        open.st_dev != named.st_dev)
        return false;
    return rename(name.c_str(), path.c_str()) == 0;
}

enum class UnnamedResult { kDone, kFailed, kUnsupported };

// Writes the bytes into a file that has no name until it is complete, then
// names it and renames it over `path`; a process killed on the way leaves
// nothing behind but, in the moment between the two, the linked name, which
// the next save clears. kUnsupported when the file system or the system cannot
// hold an unnamed file (nothing was changed then).
UnnamedResult WriteUnnamed(const std::string& path, std::string_view bytes, mode_t mode,
                           const std::optional<struct stat>& existing, ReplaceNote* note) {
    int fd = open(FolderOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd < 0)
        return errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL
                   ? UnnamedResult::kUnsupported
                   : UnnamedResult::kFailed;
    bool ok =
        WriteAll(fd, bytes) && KeepOwnerGroupAndMode(fd, existing, mode, note) && fsync(fd) == 0;
    if (!ok) {
        close(fd);
        return UnnamedResult::kFailed;
    }
    // Locked before it has a name, so that no other save takes it for one
    // that a killed save left.
    flock(fd, LOCK_EX | LOCK_NB);
    const std::string name = LinkedTemporaryName(path);
    bool linked = LinkUnnamed(fd, name);
    if (!linked && errno == EEXIST) {
        // Left by a save of this file that was killed before its rename; one
        // that another process is writing now keeps its name.
        if (!IsLeftOver(name)) {
            close(fd);
            return UnnamedResult::kUnsupported;
        }
        unlink(name.c_str());
        linked = LinkUnnamed(fd, name);
    }
    const int linkError = errno;
    if (!linked) {
        close(fd);
        return linkError == ENOENT || linkError == EPERM || linkError == EOPNOTSUPP
                   ? UnnamedResult::kUnsupported
                   : UnnamedResult::kFailed;
    }
    const bool renamed = RenameTemporary(fd, name, path);
    close(fd);
    if (!renamed) {
        unlink(name.c_str());
        return UnnamedResult::kFailed;
    }
    return UnnamedResult::kDone;
}

}  // namespace

std::string MakeTemporaryBeside(const std::string& given) {
    const std::optional<std::string> path = ReplacedFile(given);
    if (!path)
        return {};
    std::string name;
    int fd = OpenTemporaryFor(*path, name);
    if (fd < 0)
        return {};
    close(fd);
    return name;
}

bool ReplaceWithTemporary(const std::string& temporary, const std::string& given) {
    const std::optional<std::string> path = ReplacedFile(given);
    mode_t mode = 0;
    std::optional<struct stat> existing;
    bool ok = path && MayReplace(*path, mode, &existing);
    if (ok) {
        int fd = open(temporary.c_str(), O_RDWR | O_CLOEXEC);
        ok = fd >= 0 && KeepOwnerGroupAndMode(fd, existing, mode, nullptr) && fsync(fd) == 0;
        if (fd >= 0)
            ok = close(fd) == 0 && ok;
    }
    if (ok)
        ok = rename(temporary.c_str(), path->c_str()) == 0;
    if (!ok)
        unlink(temporary.c_str());
    return ok;
}

bool WriteFileReplacing(const std::string& given, std::string_view bytes, ReplaceNote* note) {
    const std::optional<std::string> path = ReplacedFile(given);
    mode_t mode = 0;
    std::optional<struct stat> existing;
    if (!path || !MayReplace(*path, mode, &existing))
        return false;
    switch (WriteUnnamed(*path, bytes, mode, existing, note)) {
        case UnnamedResult::kDone:
            return true;
        case UnnamedResult::kFailed:
            return false;
        case UnnamedResult::kUnsupported:
            break;
    }
    // A file system without unnamed files: a named temporary, under the
    // name of this file's temporaries, which the next save clears when a
    // killed one left it.
    std::string temporary;
    int fd = OpenTemporaryFor(*path, temporary);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, bytes) && KeepOwnerGroupAndMode(fd, existing, mode, note) &&
              fsync(fd) == 0 && RenameTemporary(fd, temporary, *path);
    ok = close(fd) == 0 && ok;
    if (!ok)
        unlink(temporary.c_str());
    return ok;
}

WriteRefusal WhyNotWritable(const std::string& given) {
    const std::optional<std::string> path = ReplacedFile(given);
    if (!path)
        return WriteRefusal::kNone;
    mode_t mode = 0;
    struct stat info {};
    if (!MayReplace(*path, mode))
        return stat(path->c_str(), &info) == 0 && S_ISREG(info.st_mode)
                   ? WriteRefusal::kFileNotWritable
                   : WriteRefusal::kNone;
    if (access(FolderOf(*path).c_str(), W_OK | X_OK) != 0 && (errno == EACCES || errno == EROFS))
        return WriteRefusal::kFolderNotWritable;
    return WriteRefusal::kNone;
}

std::string GroupName(unsigned group) {
    std::vector<char> buffer(16384);
    struct group entry {};
    struct group* found = nullptr;
    if (getgrgid_r(static_cast<gid_t>(group), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->gr_name != nullptr)
        return found->gr_name;
    return std::to_string(group);
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    FileIdentity identity;
    identity.device = info.st_dev;
    identity.inode = info.st_ino;
    identity.size = info.st_size;
    identity.modifiedSeconds = info.st_mtim.tv_sec;
    identity.modifiedNanoseconds = info.st_mtim.tv_nsec;
    return identity;
}
