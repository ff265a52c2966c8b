#include "core/file_io.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
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

}  // namespace
