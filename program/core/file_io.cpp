#include "core/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
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

// The file that new contents of `path` must replace: the file a symbolic
// link names, so that saving through a link updates that file instead of
// turning the link into a file of its own.
std::string ReplacedFile(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return path;
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr)
        return path;
    std::string target = resolved;
    free(resolved);
    return target;
}

}  // namespace

std::string MakeTemporaryBeside(const std::string& given) {
    const std::string path = ReplacedFile(given);
    std::vector<char> name(path.begin(), path.end());
    const char suffix[] = ".tmp-XXXXXX";
    name.insert(name.end(), suffix, suffix + sizeof suffix);
    int fd = mkstemp(name.data());
    if (fd < 0)
        return {};
    close(fd);
    return name.data();
}

bool ReplaceWithTemporary(const std::string& temporary, const std::string& given) {
    const std::string path = ReplacedFile(given);
    mode_t mode = 0;
    bool ok = MayReplace(path, mode);
    if (ok) {
        int fd = open(temporary.c_str(), O_RDWR | O_CLOEXEC);
        ok = fd >= 0 && fchmod(fd, mode) == 0 && fsync(fd) == 0;
        if (fd >= 0)
            ok = close(fd) == 0 && ok;
    }
    if (ok)
        ok = rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok)
        unlink(temporary.c_str());
    return ok;
}

bool WriteFileReplacing(const std::string& given, std::string_view bytes) {
    const std::string path = ReplacedFile(given);
    mode_t mode = 0;
    if (!MayReplace(path, mode))
        return false;
    std::string temporary = MakeTemporaryBeside(path);
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
    return ReplaceWithTemporary(temporary, path);
}
