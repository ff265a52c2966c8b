#include "core/file_io.h"

#include <fcntl.h>
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
// `mode` receives the mode the new contents get.
bool MayReplace(const std::string& path, mode_t& mode) {
    if (path.empty() || path.back() == '/')
        return false;
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        mode = NewFileMode();
        return true;
    }
    mode = info.st_mode & 07777;
    return S_ISREG(info.st_mode) && access(path.c_str(), W_OK) == 0 &&
           (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
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

enum class UnnamedResult { kDone, kFailed, kUnsupported };

// Writes the bytes into a file that has no name until it is complete, then
// names it and renames it over `path`; a process killed on the way leaves
// nothing behind but, in the moment between the two, the linked name, which
// the next save clears. kUnsupported when the file system or the system cannot
// hold an unnamed file (nothing was changed then).
UnnamedResult WriteUnnamed(const std::string& path, std::string_view bytes, mode_t mode) {
    int fd = open(FolderOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd < 0)
        return errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL
                   ? UnnamedResult::kUnsupported
                   : UnnamedResult::kFailed;
    bool ok = WriteAll(fd, bytes) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
    if (!ok) {
        close(fd);
        return UnnamedResult::kFailed;
    }
    const std::string name = LinkedTemporaryName(path);
    bool linked = LinkUnnamed(fd, name);
    if (!linked && errno == EEXIST) {
        // Left by a save of this file that was killed before its rename.
        unlink(name.c_str());
        linked = LinkUnnamed(fd, name);
    }
    const int linkError = errno;
    close(fd);
    if (!linked)
        return linkError == ENOENT || linkError == EPERM || linkError == EOPNOTSUPP
                   ? UnnamedResult::kUnsupported
                   : UnnamedResult::kFailed;
    if (rename(name.c_str(), path.c_str()) != 0) {
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
    std::string pattern = TemporaryPattern(*path);
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = mkstemp(name.data());
    if (fd < 0)
        return {};
    close(fd);
    return name.data();
}

bool ReplaceWithTemporary(const std::string& temporary, const std::string& given) {
    const std::optional<std::string> path = ReplacedFile(given);
    mode_t mode = 0;
    bool ok = path && MayReplace(*path, mode);
    if (ok) {
        int fd = open(temporary.c_str(), O_RDWR | O_CLOEXEC);
        ok = fd >= 0 && fchmod(fd, mode) == 0 && fsync(fd) == 0;
        if (fd >= 0)
            ok = close(fd) == 0 && ok;
    }
    if (ok)
        ok = rename(temporary.c_str(), path->c_str()) == 0;
    if (!ok)
        unlink(temporary.c_str());
    return ok;
}

bool WriteFileReplacing(const std::string& given, std::string_view bytes) {
    const std::optional<std::string> path = ReplacedFile(given);
    mode_t mode = 0;
    if (!path || !MayReplace(*path, mode))
        return false;
    switch (WriteUnnamed(*path, bytes, mode)) {
        case UnnamedResult::kDone:
            return true;
        case UnnamedResult::kFailed:
            return false;
        case UnnamedResult::kUnsupported:
            break;
    }
    std::string temporary = MakeTemporaryBeside(*path);
    if (temporary.empty())
        return false;
    int fd = open(temporary.c_str(), O_WRONLY | O_CLOEXEC);
    bool ok = fd >= 0 && WriteAll(fd, bytes);
    if (fd >= 0)
        ok = close(fd) == 0 && ok;
    if (!ok) {
        unlink(temporary.c_str());
        return false;
    }
    return ReplaceWithTemporary(temporary, *path);
}
