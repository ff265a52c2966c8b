#include "core/file_io.h"

#include "core/settings_test_support.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <linux/loop.h>
#include <sched.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class WriteFileReplacingTest : public testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::path(QM_TEST_OUTPUT_DIR) / "file_io" /
                  testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }

    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    static std::string Contents(const fs::path& path) {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(path.string(), bytes)) << path;
        return bytes;
    }

    fs::path folder_;
};

// Every name the file system accepts can be written, replaced included: the
// temporary file must not borrow the target's name and pass its limit.
TEST_F(WriteFileReplacingTest, NamesUpToTheFileSystemsLimitSave) {
    for (size_t length :
         {size_t{5}, size_t{200}, size_t{244}, size_t{245}, size_t{250}, size_t{255}}) {
        const std::string name = std::string(length - 4, 'n') + ".qmf";
        const fs::path path = folder_ / name;
        ASSERT_TRUE(WriteFileReplacing(path.string(), "first")) << length;
        ASSERT_TRUE(WriteFileReplacing(path.string(), "second")) << length;
        EXPECT_EQ("second", Contents(path)) << length;
        fs::remove(path);
    }
    // Full-width characters: 83 of three UTF-8 bytes each, 249 bytes with ".qmf".
    std::string wide;
    for (int i = 0; i < 81; ++i)
        wide += "砂";
    const fs::path path = folder_ / (wide + ".qmf");
    EXPECT_TRUE(WriteFileReplacing(path.string(), "wide"));
    EXPECT_EQ("wide", Contents(path));
    EXPECT_EQ(std::vector<std::string>{wide + ".qmf"}, Entries());
}

// The ways a symbolic link can stand in the place of the file: each is
// written through (the file it names is written, a missing one created) or
// refused, and the link itself always stays a link.
TEST_F(WriteFileReplacingTest, LinksAreWrittenThroughOrRefusedButNeverReplaced) {
    fs::create_directory(folder_ / "real");
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> links;  // link, what it names
        const char* existing;  // a file made before the write, or none
        const char* written;   // the file that must hold the bytes, or none for a refusal
    } cases[] = {
        {"a link to a file", {{"site.qmf", "real/a.qmf"}}, "real/a.qmf", "real/a.qmf"},
        {"a dangling link", {{"site.qmf", "real/b.qmf"}}, nullptr, "real/b.qmf"},
        {"a dangling absolute link",
         {{"site.qmf", (folder_ / "real/c.qmf").string()}},
         nullptr,
         "real/c.qmf"},
        {"a chain of links ending nowhere",
         {{"site.qmf", "hop.qmf"}, {"hop.qmf", "real/d.qmf"}},
         nullptr,
         "real/d.qmf"},
        {"a link to itself", {{"site.qmf", "site.qmf"}}, nullptr, nullptr},
        {"two links naming each other",
         {{"site.qmf", "hop.qmf"}, {"hop.qmf", "site.qmf"}},
         nullptr,
         nullptr},
    };
    for (const Case& c : cases) {
        for (const auto& [link, target] : c.links)
            fs::create_symlink(target, folder_ / link);
        if (c.existing != nullptr)
            std::ofstream(folder_ / c.existing) << "old";
        EXPECT_EQ(c.written != nullptr,
                  static_cast<bool>(WriteFileReplacing((folder_ / "site.qmf").string(), "new")))
            << c.what;
        for (const auto& [link, target] : c.links) {
            EXPECT_TRUE(fs::is_symlink(folder_ / link)) << c.what << ": " << link;
            EXPECT_EQ(target, fs::read_symlink(folder_ / link).string()) << c.what;
        }
        if (c.written != nullptr) {
            EXPECT_EQ("new", Contents(folder_ / c.written)) << c.what;
        }
        for (const auto& [link, target] : c.links)
            fs::remove(folder_ / link);
        std::vector<std::string> real;
        for (const auto& entry : fs::directory_iterator(folder_ / "real"))
            real.push_back(entry.path().filename().string());
        EXPECT_LE(real.size(), 1u) << c.what << ": no temporary file is left behind";
        fs::remove_all(folder_ / "real");
        fs::create_directory(folder_ / "real");
        EXPECT_EQ(std::vector<std::string>{"real"}, Entries()) << c.what;
    }
}

// A writer killed at any moment leaves the old file or the new one, and no
// temporary file beside them once the file is saved again.
TEST_F(WriteFileReplacingTest, AKilledWriterLeavesNoTemporaryFile) {
    const fs::path path = folder_ / "site.qmf";
    const std::string big(std::size_t{8} << 20, 'x');
    ASSERT_TRUE(WriteFileReplacing(path.string(), "old"));
    for (int round = 0; round < 12; ++round) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;)
                WriteFileReplacing(path.string(), big);
        }
        usleep(static_cast<useconds_t>(3000 + round * 4000));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        // A kill between naming the complete file and renaming it leaves
        // that one name; the next save of the file clears it.
        const std::vector<std::string> entries = Entries();
        EXPECT_TRUE(
            entries == std::vector<std::string>{"site.qmf"} ||
            (entries.size() == 2 && entries[0].starts_with(".qmsave-") && entries[1] == "site.qmf"))
            << "round " << round;
        const std::string bytes = Contents(path);
        EXPECT_TRUE(bytes == "old" || bytes == big) << "round " << round;
        ASSERT_TRUE(WriteFileReplacing(path.string(), "old"));
        EXPECT_EQ(std::vector<std::string>{"site.qmf"}, Entries()) << "round " << round;
    }
}

TEST(MakeTemporaryBeside, GivesAShortNameInTheFolderOfTheFileALinkNames) {
    const fs::path folder = fs::path(QM_TEST_OUTPUT_DIR) / "file_io" / "temporary";
    fs::remove_all(folder);
    fs::create_directories(folder / "real");
    fs::create_symlink("real/out.pdf", folder / "out.pdf");
    const std::string name(251, 'p');
    for (const fs::path& target : {folder / (name + ".pdf"), folder / "out.pdf"}) {
        const std::string temporary = MakeTemporaryBeside(target.string());
        ASSERT_FALSE(temporary.empty()) << target;
        EXPECT_TRUE(fs::is_regular_file(temporary));
        EXPECT_LT(fs::path(temporary).filename().string().size(), 32u);
        EXPECT_TRUE(ReplaceWithTemporary(temporary, target.string()));
        EXPECT_FALSE(fs::exists(temporary));
    }
    EXPECT_TRUE(fs::is_symlink(folder / "out.pdf"));
    EXPECT_TRUE(fs::is_regular_file(folder / "real/out.pdf"));
}

// A temporary that a killed save or print left (no writer holds it) is
// cleared by the next save or print of the same file, on every file system;
// one that another writer holds stays, and that writer's save goes on.
TEST_F(WriteFileReplacingTest, LeftoverTemporariesAreClearedByTheNextSaveOrPrint) {
    const fs::path path = folder_ / "site.qmf";
    const std::string temporary = MakeTemporaryBeside(path.string());
    ASSERT_TRUE(fs::path(temporary).filename().string().starts_with(".qmsave-"));
    WriteBytes(temporary, "half a file");  // as a writer killed on the way leaves it
    // The next print of the same file takes the same name, emptied.
    EXPECT_EQ(temporary, MakeTemporaryBeside(path.string()));
    EXPECT_EQ("", Contents(temporary));
    // The next save clears it.
    ASSERT_TRUE(WriteFileReplacing(path.string(), "saved"));
    EXPECT_EQ(std::vector<std::string>{"site.qmf"}, Entries());

    // Another writer's temporary, locked while it writes.
    const std::string held = MakeTemporaryBeside(path.string());
    int fd = open(held.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(0, flock(fd, LOCK_EX | LOCK_NB));
    ASSERT_TRUE(WriteFileReplacing(path.string(), "again"));
    EXPECT_EQ("again", Contents(path));
    const std::string other = MakeTemporaryBeside(path.string());
    EXPECT_NE(held, other);
    EXPECT_TRUE(fs::exists(held));
    close(fd);
    fs::remove(other);
    ASSERT_TRUE(WriteFileReplacing(path.string(), "last"));
    EXPECT_EQ(std::vector<std::string>{"site.qmf"}, Entries());
}

// A file in a shared group folder keeps its group and permission bits when
// another member saves it; where the system does not let the saver give it
// the group, the write tells.
TEST_F(WriteFileReplacingTest, TheGroupAndPermissionBitsOfTheReplacedFileAreKept) {
    const fs::path path = folder_ / "shared.qmf";
    WriteBytes(path.string(), "co-worker's");
    fs::permissions(path, fs::perms(0664));
    // A group the writer may give: any group when it may set any, else one it belongs to.
    std::vector<gid_t> groups(static_cast<size_t>(getgroups(0, nullptr)) + 1);
    groups.resize(static_cast<size_t>(getgroups(static_cast<int>(groups.size()), groups.data())));
    gid_t group = geteuid() == 0 ? 4321 : getegid();
    for (gid_t g : groups)
        if (g != getegid())
            group = g;
    if (group == getegid())
        GTEST_SKIP() << "no second group to give the file";
    ASSERT_EQ(0, chown(path.c_str(), static_cast<uid_t>(-1), group));
    ReplaceNote note;
    ASSERT_TRUE(WriteFileReplacing(path.string(), "saved", &note));
    struct stat info {};
    ASSERT_EQ(0, stat(path.c_str(), &info));
    EXPECT_EQ(group, info.st_gid);
    EXPECT_EQ(0664u, info.st_mode & 07777);
    EXPECT_TRUE(note.groupKept);
}

TEST_F(WriteFileReplacingTest, AGroupThatCannotBeKeptIsTold) {
    // The file is the saver's own but in a group the saver is not a member of.
    const fs::path path = folder_ / "foreign.qmf";
    WriteBytes(path.string(), "old");
    fs::permissions(folder_, fs::perms(0777));
    fs::permissions(path, fs::perms(0660));
    if (geteuid() != 0)
        GTEST_SKIP() << "a file of a foreign group needs root to be made";
    ASSERT_EQ(0, chown(path.c_str(), 65534, 4321));
    std::optional<int> result = AsAnotherUser([&] {
        ReplaceNote note;
        if (!WriteFileReplacing(path.string(), "saved", &note))
            return 1;
        if (note.groupKept || note.oldGroup != 4321 || note.newGroup != 65534)
            return 2;
        struct stat info {};
        if (stat(path.c_str(), &info) != 0 || (info.st_mode & 07777) != 0660)
            return 3;
        return 0;
    });
    ASSERT_TRUE(result);
    EXPECT_EQ(0, *result);
    EXPECT_EQ("4321", GroupName(4321));
    EXPECT_EQ("root", GroupName(0));
}

// The reasons a save cannot be made, as they are told.
TEST_F(WriteFileReplacingTest, SaysWhyAFileCannotBeWritten) {
    const fs::path path = folder_ / "site.qmf";
    WriteBytes(path.string(), "old");
    EXPECT_EQ(WriteRefusal::kNone, WhyNotWritable(path.string()));
    EXPECT_EQ(WriteRefusal::kNone, WhyNotWritable((folder_ / "new.qmf").string()));
    fs::permissions(path, fs::perms(0444));
    EXPECT_EQ(WriteRefusal::kFileNotWritable, WhyNotWritable(path.string()));
    fs::permissions(path, fs::perms(0666));

    // A writable file in a folder the user cannot write.
    fs::permissions(folder_, fs::perms(0755));
    auto check = [&] {
        if (WriteFileReplacing(path.string(), "new"))
            return 1;
        if (WhyNotWritable(path.string()) != WriteRefusal::kFolderNotWritable)
            return 2;
        if (WhyNotWritable((folder_ / "new.qmf").string()) != WriteRefusal::kFolderNotWritable)
            return 3;
        return 0;
    };
    std::optional<int> result = AsAnotherUser(check);
    if (!result) {
        fs::permissions(folder_, fs::perms(0555));
        result = check();
        fs::permissions(folder_, fs::perms(0755));
    }
    EXPECT_EQ(0, *result);
    EXPECT_EQ("old", Contents(path));
}

// What a save notes of the file it read or wrote: the question before the
// next save follows the bytes on disk, whatever their times say.
TEST_F(WriteFileReplacingTest, OnlyTheBytesTellWhetherAFileChangedOnDisk) {
    const fs::path path = folder_ / "site.qmf";
    const std::string mine = "mine, as saved";
    struct Case {
        const char* what;
        std::function<void(const struct stat& saved)> change;
        DiskContent expected;
    };
    auto setModified = [&](struct timespec modified) {
        struct timespec times[2] = {{0, UTIME_OMIT}, modified};
        ASSERT_EQ(0, utimensat(AT_FDCWD, path.c_str(), times, 0));
    };
    auto rewriteInPlace = [&](const std::string& bytes) {
        std::ofstream(path, std::ios::binary | std::ios::in | std::ios::out) << bytes;
    };
    const std::string theirs = "them, as saved";  // as many bytes as mine
    ASSERT_EQ(mine.size(), theirs.size());
    const std::vector<Case> cases = {
        {"nothing done", [](const struct stat&) {}, DiskContent::kSame},
        // A file system of whole seconds (or FAT's two) gives another
        // program's save within the same second the same time.
        {"same size in the same second",
         [&](const struct stat& saved) {
             rewriteInPlace(theirs);
             setModified({saved.st_mtim.tv_sec, 0});
         },
         DiskContent::kChanged},
        {"modified time put back",
         [&](const struct stat& saved) {
             rewriteInPlace(theirs);
             setModified(saved.st_mtim);
         },
         DiskContent::kChanged},
        {"touched only",
         [&](const struct stat& saved) {
             setModified({saved.st_mtim.tv_sec + 60, 0});
         },
         DiskContent::kSame},
        {"same bytes copied over",
         [&](const struct stat&) {
             std::ofstream(path, std::ios::binary | std::ios::trunc) << mine;
         },
         DiskContent::kSame},
        {"same bytes renamed over",
         [&](const struct stat&) {
             WriteBytes((folder_ / "copy").string(), mine);
             fs::rename(folder_ / "copy", path);
         },
         DiskContent::kSame},
        {"other bytes renamed over",
         [&](const struct stat&) {
             WriteBytes((folder_ / "copy").string(), theirs);
             fs::rename(folder_ / "copy", path);
         },
         DiskContent::kChanged},
        {"grown", [&](const struct stat&) { WriteBytes(path.string(), mine + "!"); },
         DiskContent::kChanged},
        {"a folder in its place",
         [&](const struct stat&) {
             fs::remove(path);
             fs::create_directory(path);
         },
         DiskContent::kGone},
        {"removed", [&](const struct stat&) { fs::remove(path); }, DiskContent::kGone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(path);
        ASSERT_TRUE(WriteFileReplacing(path.string(), mine));
        const FileContent noted = ContentOf(mine);
        struct stat saved {};
        ASSERT_EQ(0, stat(path.c_str(), &saved));
        c.change(saved);
        EXPECT_EQ(c.expected, CompareWithDisk(path.string(), noted));
    }
    EXPECT_NE(ContentOf(mine), ContentOf(theirs));
}

// Another user's leftover under the name of the file's temporaries, in a
// shared folder whose sticky bit keeps it from being removed, or a folder of
// that name: the save takes a fresh name beside it and goes on.
TEST_F(WriteFileReplacingTest, ANameThatCannotBeClearedGivesWayToAFreshOne) {
    if (geteuid() != 0)
        GTEST_SKIP() << "another user's leftover needs root to be made";
    fs::permissions(folder_, fs::perms(01777));
    const fs::path path = folder_ / "site.qmf";
    const std::string name = MakeTemporaryBeside(path.string());
    ASSERT_FALSE(name.empty());
    fs::remove(name);
    struct Case {
        const char* what;
        std::function<void()> leave;
    };
    const std::vector<Case> cases = {
        {"a readable file",
         [&] {
             WriteBytes(name, "left");
             fs::permissions(name, fs::perms(0644));
         }},
        {"a private file",
         [&] {
             WriteBytes(name, "left");
             fs::permissions(name, fs::perms(0600));
         }},
        {"a folder", [&] { fs::create_directories(fs::path(name) / "inside"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(name);
        fs::remove(path);
        c.leave();
        std::optional<int> result = AsAnotherUser([&] {
            for (const char* bytes : {"first", "second"}) {
                const WriteResult written = WriteFileReplacing(path.string(), bytes);
                if (!written)
                    return 10 + written.error;
                std::string now;
                if (!ReadWholeFile(path.string(), now) || now != bytes)
                    return 2;
            }
            // So does a print to a file of that name.
            const std::string temporary = MakeTemporaryBeside(path.string());
            if (temporary.empty() || temporary == name ||
                !ReplaceWithTemporary(temporary, path.string()))
                return 3;
            return 0;
        });
        ASSERT_TRUE(result);
        EXPECT_EQ(0, *result);
        EXPECT_TRUE(fs::exists(name)) << "another user's leftover is not this save's to remove";
        EXPECT_EQ(2u, Entries().size()) << "no temporary of this save is left";
    }
    fs::remove_all(name);
}

}  // namespace

// A file system that keeps no modes (FAT through FUSE, some shares) refuses
// every mode change; the test stands in for one by refusing fchmod with the
// code its file system gives (0: the real call).
namespace {
int refusedChmod = 0;
int chmodCalls = 0;
}  // namespace

extern "C" int fchmod(int fd, mode_t mode) noexcept {
    ++chmodCalls;
    if (refusedChmod != 0) {
        errno = refusedChmod;
        return -1;
    }
    return static_cast<int>(syscall(SYS_fchmod, fd, mode));
}

namespace {

TEST_F(WriteFileReplacingTest, AModeChangeIsMadeOnlyWhenTheModeDiffersAndMayBeRefused) {
    const mode_t mask = umask(022);
    const fs::path path = folder_ / "site.qmf";
    // A file of the mode a new file gets needs no change at all.
    chmodCalls = 0;
    ASSERT_TRUE(WriteFileReplacing(path.string(), "new"));
    ASSERT_TRUE(WriteFileReplacing(path.string(), "again"));
    EXPECT_EQ(0, chmodCalls);
    EXPECT_EQ(fs::perms(0644), fs::status(path).permissions() & fs::perms::mask);
    // One whose mode the new file would not get asks for a change, which a
    // file system that keeps no modes refuses: the save goes on.
    for (int refusal : {ENOSYS, EPERM, EOPNOTSUPP}) {
        SCOPED_TRACE(refusal);
        fs::permissions(path, fs::perms(0666));
        refusedChmod = refusal;
        chmodCalls = 0;
        const WriteResult written = WriteFileReplacing(path.string(), "saved");
        refusedChmod = 0;
        EXPECT_TRUE(written) << written.error;
        EXPECT_EQ(1, chmodCalls);
        EXPECT_EQ("saved", Contents(path));
    }
    // Any other failure of the change is a failed save.
    fs::permissions(path, fs::perms(0666));
    WriteBytes(path.string(), "kept");
    refusedChmod = EIO;
    const WriteResult written = WriteFileReplacing(path.string(), "lost");
    refusedChmod = 0;
    EXPECT_EQ(EIO, written.error);
    EXPECT_EQ("kept", Contents(path));
    EXPECT_EQ(std::vector<std::string>{"site.qmf"}, Entries());
    umask(mask);
}

// Runs `check` as root in a child with mounts of its own, so that whatever it
// mounts goes with it; its result is the child's exit code, 0 for a pass and
// 77 when it could not make what it needs. None when no mounts can be made.
std::optional<int> WithOwnMounts(const std::function<int()>& check) {
    if (geteuid() != 0)
        return std::nullopt;
    pid_t child = fork();
    if (child < 0)
        return std::nullopt;
    if (child == 0) {
        if (unshare(CLONE_NEWNS) != 0 ||
            mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            _exit(77);
        _exit(check());
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status))
        return 101;
    if (WEXITSTATUS(status) == 77)
        return std::nullopt;
    return WEXITSTATUS(status);
}

// Sets or clears the immutable flag of a file; false where the file system has none.
bool SetImmutable(const std::string& path, bool on) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ok && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    close(fd);
    return ok;
}

// Mounts an ext4 file system held in `image` at `folder` through a loop
// device that goes when it is unmounted. False when this cannot be done here.
bool MountImage(const std::string& image, const std::string& folder) {
    const std::string make = "mkfs.ext4 -q -F -O ^has_journal " + image + " >/dev/null 2>&1";
    if (std::system(make.c_str()) != 0)
        return false;
    int control = open("/dev/loop-control", O_RDWR | O_CLOEXEC);
    if (control < 0)
        return false;
    const int number = ioctl(control, LOOP_CTL_GET_FREE);
    close(control);
    if (number < 0)
        return false;
    const std::string device = "/dev/loop" + std::to_string(number);
    int loop = open(device.c_str(), O_RDWR | O_CLOEXEC);
    int backing = open(image.c_str(), O_RDWR | O_CLOEXEC);
    bool ok = loop >= 0 && backing >= 0 && ioctl(loop, LOOP_SET_FD, backing) == 0;
    if (ok) {
        struct loop_info64 info {};
        info.lo_flags = LO_FLAGS_AUTOCLEAR;
        ok = ioctl(loop, LOOP_SET_STATUS64, &info) == 0 &&
             mount(device.c_str(), folder.c_str(), "ext4", 0, nullptr) == 0;
        if (!ok)
            ioctl(loop, LOOP_CLR_FD, 0);
    }
    if (backing >= 0)
        close(backing);
    if (loop >= 0)
        close(loop);
    return ok;
}

// A failed write keeps the errno of the call that failed, and its reason
// says it in the user's words: a full disk, an I/O error, a folder in the
// file's place, a folder the user may not write (the one the file really
// lies in when a link leads there).
TEST_F(WriteFileReplacingTest, AFailedWriteKeepsTheReasonOfTheCallThatFailed) {
    const std::string big(256 * 1024, 'x');
    auto failsWith = [&](const std::string& path, const std::string& bytes, int error,
                         const std::string& phrase) {
        const WriteResult written = WriteFileReplacing(path, bytes);
        if (written.error != error)
            return 10 + written.error;
        const std::string reason = WriteFailureReason(written);
        if (reason.find(phrase) == std::string::npos || reason.find("保存") == std::string::npos)
            return 2;
        return 0;
    };

    // A folder in the file's place.
    fs::create_directories(folder_ / "site.qmf" / "inside");
    EXPECT_EQ(0, failsWith((folder_ / "site.qmf").string(), "new", EISDIR, "フォルダがある"));
    fs::remove_all(folder_ / "site.qmf");

    // A full disk: a small file system of its own.
    const fs::path small = folder_ / "small";
    fs::create_directory(small);
    std::optional<int> full = WithOwnMounts([&] {
        if (mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0)
            return 77;
        const std::string path = (small / "site.qmf").string();
        if (!WriteFileReplacing(path, "old"))
            return 3;
        if (int failed = failsWith(path, big, ENOSPC, "空き容量が足りない"); failed != 0)
            return failed;
        if (WriteFailureReason(WriteFileReplacing(path, big)).find(small.string()) ==
            std::string::npos)
            return 4;
        std::string now;
        if (!ReadWholeFile(path, now) || now != "old")
            return 5;
        return std::distance(fs::directory_iterator(small), fs::directory_iterator{}) == 1 ? 0 : 6;
    });
    if (full)
        EXPECT_EQ(0, *full) << "full disk";
    else
        std::cout << "[ SKIPPED  ] a full disk: no tmpfs can be mounted here\n";

    // An I/O error: a file system on a loop device whose image may no longer
    // be written (an immutable file), so that its writes fail underneath.
    const fs::path image = folder_ / "disk.img";
    const fs::path disk = folder_ / "disk";
    fs::create_directory(disk);
    std::ofstream(image, std::ios::binary).close();
    fs::resize_file(image, std::uintmax_t{32} << 20);
    std::optional<int> broken = WithOwnMounts([&] {
        if (!MountImage(image.string(), disk.string()))
            return 77;
        const std::string path = (disk / "site.qmf").string();
        int result = WriteFileReplacing(path, "old") ? 0 : 3;
        sync();
        if (result == 0 && !SetImmutable(image.string(), true))
            result = 77;
        if (result == 0)
            result = failsWith(path, big, EIO, "入出力エラー");
        SetImmutable(image.string(), false);
        umount2(disk.c_str(), MNT_DETACH);
        return result;
    });
    SetImmutable(image.string(), false);
    if (broken)
        EXPECT_EQ(0, *broken) << "I/O error";
    else
        std::cout
            << "[ SKIPPED  ] an I/O error: no loop device, mkfs.ext4 or immutable flag here\n";

    // A folder the user may not write, reached through a link from one the
    // user may: the reason names the folder the file lies in.
    const fs::path locked = folder_ / "locked";
    fs::create_directory(locked);
    WriteBytes((locked / "site.qmf").string(), "old");
    fs::permissions(locked / "site.qmf", fs::perms(0666));
    fs::create_symlink(locked / "site.qmf", folder_ / "link.qmf");
    auto check = [&] {
        return failsWith((folder_ / "link.qmf").string(), "new", EACCES,
                         "フォルダ " + locked.string() + " に書き込む権限がない");
    };
    std::optional<int> result = AsAnotherUser(check);
    if (!result) {
        fs::permissions(locked, fs::perms(0555));
        result = check();
        fs::permissions(locked, fs::perms(0755));
    }
    EXPECT_EQ(0, *result) << "folder not writable";
    EXPECT_EQ("old", Contents(locked / "site.qmf"));
}
}  // namespace
