#include "core/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <vector>

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode))
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad())
        return false;
    bytes = std::move(buffer).str();
    return true;
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

}  // namespace

bool WriteFileReplacing(const std::string& path, std::string_view bytes) {
    if (path.empty() || path.back() == '/')
        return false;
    struct stat info {};
    bool replacing = stat(path.c_str(), &info) == 0;
    if (replacing && !S_ISREG(info.st_mode))
        return false;
    mode_t mode = replacing ? (info.st_mode & 07777) : NewFileMode();

    std::vector<char> name(path.begin(), path.end());
    const char suffix[] = ".tmp-XXXXXX";
    name.insert(name.end(), suffix, suffix + sizeof suffix);
    int fd = mkstemp(name.data());
    if (fd < 0)
        return false;
    bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (ok)
        ok = rename(name.data(), path.c_str()) == 0;
    if (!ok)
        unlink(name.data());
    return ok;
}
