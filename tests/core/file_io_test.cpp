#include "core/file_io.h"

#include "core/settings_test_support.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
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
        EXPECT_EQ(c.written != nullptr, WriteFileReplacing((folder_ / "site.qmf").string(), "new"))
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

// What a save notes of the file it read or wrote: a change by another
// program shows, one moment's read twice does not.
TEST_F(WriteFileReplacingTest, TheIdentityOfAFileChangesWithEveryVersion) {
    const fs::path path = folder_ / "site.qmf";
    EXPECT_FALSE(IdentityOf(path.string()));
    ASSERT_TRUE(WriteFileReplacing(path.string(), "one"));
    const std::optional<FileIdentity> first = IdentityOf(path.string());
    ASSERT_TRUE(first);
    EXPECT_EQ(first, IdentityOf(path.string()));
    // Rewritten in place with as many bytes, by a program that keeps the inode.
    std::ofstream(path, std::ios::binary | std::ios::in | std::ios::out) << "two";
    struct timespec times[2] = {{0, UTIME_OMIT}, {first->modifiedSeconds + 5, 0}};
    utimensat(AT_FDCWD, path.c_str(), times, 0);
    EXPECT_NE(first, IdentityOf(path.string()));
    ASSERT_TRUE(WriteFileReplacing(path.string(), "three"));
    EXPECT_NE(first, IdentityOf(path.string()));
}

}  // namespace
