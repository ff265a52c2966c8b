#include "core/file_io.h"

#include <fcntl.h>
#include <grp.h>
#include <langinfo.h>
#include <locale.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
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

// Each step below gives 0 on success and otherwise the errno of the call that
// failed, so that the message can say why.

int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return 0;
}

int Sync(int fd) {
    return fsync(fd) == 0 ? 0 : errno;
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
// when there is one. 0, or the refusal's code (see WriteResult).
int MayReplace(const std::string& path, mode_t& mode,
               std::optional<struct stat>* existing = nullptr) {
    if (path.empty())
        return ENOENT;
    if (path.back() == '/')
        return EISDIR;
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        mode = NewFileMode();
        return 0;
    }
    mode = info.st_mode & 07777;
    if (existing != nullptr)
        *existing = info;
    if (S_ISDIR(info.st_mode))
        return EISDIR;
    if (!S_ISREG(info.st_mode))
        return EINVAL;
    if (access(path.c_str(), W_OK) != 0)
        return errno;
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 ? 0 : EACCES;
}

// Whether a refused mode change is the file system's way of keeping no
// modes (FAT through FUSE, some network shares): the file is the writer's
// own, which any file system that keeps modes lets its owner change.
bool KeepsNoModes(int error) {
    return error == ENOSYS || error == EOPNOTSUPP || error == ENOTSUP || error == EPERM;
}

// Gives the new file on `fd` the owner and group of the file it replaces
// where the system allows (a user may give a file of theirs to a group they
// belong to), then its mode: changing the owner may clear the set-id bits.
// The mode is changed only when it differs, and a file system that keeps no
// modes is no reason to fail.
int KeepOwnerGroupAndMode(int fd, const std::optional<struct stat>& existing, mode_t mode,
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
    struct stat now {};
    if (fstat(fd, &now) == 0 && (now.st_mode & 07777) == mode)
        return 0;
    if (fchmod(fd, mode) == 0 || KeepsNoModes(errno))
        return 0;
    return errno;
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

// A fresh name of the form mkstemp gives, for the unnamed file to be linked
// in under when the name of the target's temporaries cannot be had.
std::string FreshTemporaryName(const std::string& path) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char random[6] = {};
    if (getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
        // Without the system's randomness the time and the process still
        // make a name that the retries can step past.
        struct timespec now {};
        clock_gettime(CLOCK_REALTIME, &now);
        uint64_t seed = static_cast<uint64_t>(now.tv_nsec) ^
                        (static_cast<uint64_t>(getpid()) << 32) ^ static_cast<uint64_t>(now.tv_sec);
        for (unsigned char& byte : random) {
            seed = seed * 6364136223846793005u + 1442695040888963407u;
            byte = static_cast<unsigned char>(seed >> 56);
        }
    }
    std::string name = TemporaryPattern(path);
    for (size_t i = 0; i < sizeof random; ++i)
        name[name.size() - sizeof random + i] = kLetters[random[i] % (sizeof kLetters - 1)];
    return name;
}

// Gives the unnamed file open on `fd` the name `name`, which must not exist.
int LinkUnnamed(int fd, const std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    if (errno == EEXIST)
        return EEXIST;
    // Without /proc a privileged process can still link the descriptor itself.
    const int procError = errno;
    if (linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0)
        return 0;
    return errno == EEXIST ? EEXIST : procError;
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

// Clears what a killed writer left under the name of `path`'s temporaries.
// False when the name stays taken: another process writes the same file now,
// or what is there may not be removed (another user's leftover in a shared
// folder with the sticky bit, a folder of that name).
bool ClearLeftOver(const std::string& name) {
    return IsLeftOver(name) && unlink(name.c_str()) == 0;
}

// Opens a new temporary file for `path` under the name of its temporaries,
// clearing one that a killed writer left; while another process writes the
// same file, or the name cannot be cleared, under a fresh name of its own.
// The descriptor holds a lock on the file as long as it is open, which tells
// the writers apart from what they left. -1 on failure, with `error` set.
int OpenTemporaryFor(const std::string& path, std::string& name, int& error) {
    name = LinkedTemporaryName(path);
    for (int attempt = 0; attempt < 2; ++attempt) {
        int fd = open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            flock(fd, LOCK_EX | LOCK_NB);
            return fd;
        }
        if (errno != EEXIST || !ClearLeftOver(name))
            break;
    }
    std::string pattern = TemporaryPattern(path);
    std::vector<char> fresh(pattern.begin(), pattern.end());
    fresh.push_back('\0');
    int fd = mkstemp(fresh.data());
    if (fd < 0) {
        error = errno;
        return -1;
    }
    flock(fd, LOCK_EX | LOCK_NB);
    name = fresh.data();
    return fd;
}

// Renames the temporary open on `fd` over `path`, when its name still names it.
int RenameTemporary(int fd, const std::string& name, const std::string& path) {
    struct stat open {};
    struct stat named {};
    if (fstat(fd, &open) != 0 || lstat(name.c_str(), &named) != 0)
        return errno;
    if (open.st_ino != named.st_ino || open.st_dev != named.st_dev)
        return EEXIST;  // another process took the name meanwhile
    return rename(name.c_str(), path.c_str()) == 0 ? 0 : errno;
}

// Links the complete unnamed file open on `fd` in beside `path`: under the
// name of the target's temporaries, cleared of what a killed save left, or,
// when that name cannot be had, under a fresh one. 0 with `name` set, or the
// errno of the link that failed.
int LinkUnnamedBeside(int fd, const std::string& path, std::string& name) {
    name = LinkedTemporaryName(path);
    int error = LinkUnnamed(fd, name);
    if (error == EEXIST && ClearLeftOver(name))
        error = LinkUnnamed(fd, name);
    for (int attempt = 0; error == EEXIST && attempt < 100; ++attempt) {
        name = FreshTemporaryName(path);
        error = LinkUnnamed(fd, name);
    }
    return error;
}

// Whether a failure to make or link an unnamed file says that the file
// system or the system has none: the named temporary then does the work.
bool NoUnnamedFiles(int error) {
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}
bool CannotLinkUnnamed(int error) {
    return error == ENOENT || error == EPERM || error == EOPNOTSUPP;
}

constexpr int kUnsupported = -1;

// Writes the bytes into a file that has no name until it is complete, then
// names it and renames it over `path`; a process killed on the way leaves
// nothing behind but, in the moment between the two, the linked name, which
// the next save clears. 0, the errno of the failure, or kUnsupported when the
// file system or the system cannot hold an unnamed file (nothing was changed
// then).
int WriteUnnamed(const std::string& path, std::string_view bytes, mode_t mode,
                 const std::optional<struct stat>& existing, ReplaceNote* note) {
    int fd = open(FolderOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd < 0)
        return NoUnnamedFiles(errno) ? kUnsupported : errno;
    int error = WriteAll(fd, bytes);
    if (error == 0)
        error = KeepOwnerGroupAndMode(fd, existing, mode, note);
    if (error == 0)
        error = Sync(fd);
    if (error != 0) {
        close(fd);
        return error;
    }
    // Locked before it has a name, so that no other save takes it for one
    // that a killed save left.
    flock(fd, LOCK_EX | LOCK_NB);
    std::string name;
    error = LinkUnnamedBeside(fd, path, name);
    if (error != 0) {
        close(fd);
        return CannotLinkUnnamed(error) ? kUnsupported : error;
    }
    error = RenameTemporary(fd, name, path);
    close(fd);
    if (error != 0)
        unlink(name.c_str());
    return error;
}

WriteResult Failed(int error, std::string file) {
    return WriteResult{error, std::move(file)};
}

}  // namespace

std::string MakeTemporaryBeside(const std::string& given) {
    const std::optional<std::string> path = ReplacedFile(given);
    if (!path)
        return {};
    std::string name;
    int error = 0;
    int fd = OpenTemporaryFor(*path, name, error);
    if (fd < 0)
        return {};
    close(fd);
    return name;
}

bool ReplaceWithTemporary(const std::string& temporary, const std::string& given) {
    const std::optional<std::string> path = ReplacedFile(given);
    mode_t mode = 0;
    std::optional<struct stat> existing;
    bool ok = path && MayReplace(*path, mode, &existing) == 0;
    if (ok) {
        int fd = open(temporary.c_str(), O_RDWR | O_CLOEXEC);
        ok = fd >= 0 && KeepOwnerGroupAndMode(fd, existing, mode, nullptr) == 0 && Sync(fd) == 0;
        if (fd >= 0)
            ok = close(fd) == 0 && ok;
    }
    if (ok)
        ok = rename(temporary.c_str(), path->c_str()) == 0;
    if (!ok)
        unlink(temporary.c_str());
    return ok;
}

WriteResult WriteFileReplacing(const std::string& given, std::string_view bytes,
                               ReplaceNote* note) {
    const std::optional<std::string> path = ReplacedFile(given);
    if (!path)
        return Failed(ELOOP, given);
    mode_t mode = 0;
    std::optional<struct stat> existing;
    if (int refusal = MayReplace(*path, mode, &existing); refusal != 0)
        return Failed(refusal, *path);
    const int unnamed = WriteUnnamed(*path, bytes, mode, existing, note);
    if (unnamed != kUnsupported)
        return Failed(unnamed, *path);
    // A file system without unnamed files: a named temporary, under the
    // name of this file's temporaries, which the next save clears when a
    // killed one left it.
    std::string temporary;
    int error = 0;
    int fd = OpenTemporaryFor(*path, temporary, error);
    if (fd < 0)
        return Failed(error, *path);
    error = WriteAll(fd, bytes);
    if (error == 0)
        error = KeepOwnerGroupAndMode(fd, existing, mode, note);
    if (error == 0)
        error = Sync(fd);
    if (error == 0)
        error = RenameTemporary(fd, temporary, *path);
    if (close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0)
        unlink(temporary.c_str());
    return Failed(error, *path);
}

WriteRefusal WhyNotWritable(const std::string& given) {
    const std::optional<std::string> path = ReplacedFile(given);
    if (!path)
        return WriteRefusal::kNone;
    mode_t mode = 0;
    struct stat info {};
    if (MayReplace(*path, mode) != 0)
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

FileContent ContentOf(std::string_view bytes) {
    return FileContent{static_cast<long long>(bytes.size()), std::hash<std::string_view>{}(bytes)};
}

DiskContent CompareWithDisk(const std::string& path, const FileContent& noted) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return errno == ENOENT ? DiskContent::kGone : DiskContent::kChanged;
    if (!S_ISREG(info.st_mode))
        return DiskContent::kGone;
    if (info.st_size != noted.size)
        return DiskContent::kChanged;
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        return DiskContent::kChanged;
    return ContentOf(bytes) == noted ? DiskContent::kSame : DiskContent::kChanged;
}

std::string SystemErrorText(int error) {
    const char* codeset = nl_langinfo(CODESET);
    if (codeset != nullptr && std::strcmp(codeset, "UTF-8") == 0)
        return std::strerror(error);
    // Texts of another code would not read as the program's own.
    locale_t plain = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    if (plain == static_cast<locale_t>(0))
        return "errno " + std::to_string(error);
    std::string text = strerror_l(error, plain);
    freelocale(plain);
    return text;
}

namespace {

constexpr const char* kSaveElsewhere = "「名前を付けて保存」で別の場所に保存してください。";
constexpr const char* kSaveUnderAnotherName = "「名前を付けて保存」で別の名前で保存してください。";

}  // namespace

std::string WriteFailureReason(const WriteResult& result) {
    if (result.error == 0)
        return {};
    const std::string folder = FolderOf(result.file);
    const std::string cannot = "ため、保存できません。\r\n";
    struct stat info {};
    const bool present = lstat(result.file.c_str(), &info) == 0;
    switch (result.error) {
        case ENOSPC:
            return "フォルダ " + folder + " のあるディスクの空き容量が足りない" + cannot +
                   "不要なファイルを削除して空き容量を増やすか、"
                   "「名前を付けて保存」で別のディスクに保存してください。";
        case EDQUOT:
            return "ディスクの使用量が割り当ての上限に達している" + cannot +
                   "不要なファイルを削除するか、" + kSaveElsewhere;
        case EROFS:
            return "フォルダ " + folder + " のあるディスクが読み取り専用の" + cannot +
                   "「名前を付けて保存」で書き込めるディスクに保存してください。";
        case EIO:
            return "ディスクの読み書き中にエラー（入出力エラー）が発生した" + cannot +
                   "ディスクやネットワークの接続を確かめてからもう一度保存するか、" +
                   kSaveElsewhere;
        case EISDIR:
            return "保存先に同じ名前のフォルダがある" + cannot + kSaveUnderAnotherName;
        case ELOOP:
            return "シンボリックリンクが循環している" + cannot + kSaveUnderAnotherName;
        case ENAMETOOLONG:
            return "ファイル名が長すぎる" + cannot +
                   "「名前を付けて保存」で短い名前で保存してください。";
        case ENOENT:
        case ENOTDIR:
            return "フォルダ " + folder + " が見つからない" + cannot + kSaveElsewhere;
        case EINVAL:
            if (present && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode))
                return "保存先にファイルでないもの（デバイスなど）がある" + cannot +
                       kSaveUnderAnotherName;
            break;
        case EACCES:
        case EPERM:
            switch (WhyNotWritable(result.file)) {
                case WriteRefusal::kFolderNotWritable:
                    return "フォルダ " + folder + " に書き込む権限がない" + cannot +
                           "「名前を付けて保存」で書き込めるフォルダに保存してください。";
                case WriteRefusal::kFileNotWritable:
                    return "ファイルが読み取り専用の" + cannot + kSaveUnderAnotherName;
                case WriteRefusal::kNone:
                    return "書き込む権限がない" + cannot.substr(0, cannot.size() - 2) + "（" +
                           SystemErrorText(result.error) + "）\r\n" + kSaveElsewhere;
            }
            break;
        default:
            break;
    }
    return "保存できませんでした（" + SystemErrorText(result.error) + "）。\r\n" + kSaveElsewhere;
}
