#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/path_helpers.h"
#include "core/program_folder.h"
#include "core/text_helpers.h"

namespace {

namespace fs = std::filesystem;

TEST(SplitPath, SplitsAtTheLastSeparator) {
    struct Case {
        const char* path;
        const char* folder;
        const char* file;
    };
    const Case cases[] = {
        {"abc.qmf", "/program", "abc.qmf"},          {"C:\\data\\", "C:\\data", ""},
        {"C:\\a\\b.qmf", "C:\\a", "b.qmf"},          {"/home/user/data/", "/home/user/data", ""},
        {"/home/user/b.qmf", "/home/user", "b.qmf"}, {"/b.qmf", "", "b.qmf"},
        {"data/地層.qmf", "data", "地層.qmf"},       {"", "/program", ""},
    };
    for (const Case& c : cases) {
        std::string folder = "x", file = "y";
        SplitPath(c.path, folder, file, "/program");
        EXPECT_EQ(folder, c.folder) << c.path;
        EXPECT_EQ(file, c.file) << c.path;
    }
    std::string folder, file;
    SplitPath("abc.qmf", folder, file);
    EXPECT_EQ(folder, ProgramFolder());

    // The path may be one of the outputs.
    std::string path = "/a/b.qmf";
    SplitPath(path, path, file, "/program");
    EXPECT_EQ(path, "/a");
    EXPECT_EQ(file, "b.qmf");
}

TEST(RemoveExtension, RemovesAnExtensionOfUpToFourCharacters) {
    const std::pair<const char*, const char*> cases[] = {
        {"site.qmf", "site"},
        {"a.b.data", "a.b"},
        {"name.backup", "name.backup"},
        {".qmf", ""},
        {"noext", "noext"},
        {"", ""},
        {"a.", "a"},
        {"地層データ.qmf", "地層データ"},
        {"x.ｄａｔａ", "x"},
        {"ab.12345", "ab.12345"},
        {"abcde", "abcde"},
    };
    for (const auto& [name, result] : cases)
        EXPECT_EQ(RemoveExtension(name), result) << name;
}

TEST(IsDriveRoot, AcceptsARootAlone) {
    const std::pair<const char*, bool> cases[] = {
        {"C:\\", true},  {"z:\\", true}, {"/", true},   {"C:", false}, {"C:\\a", false},
        {"1:\\", false}, {"C:/", false}, {"//", false}, {"", false},   {"Ｃ:\\", false},
    };
    for (const auto& [text, result] : cases)
        EXPECT_EQ(IsDriveRoot(text), result) << text;
}

TEST(CompactPath, ShortensLongPathsAtAFolderBoundary) {
    const std::pair<const char*, const char*> cases[] = {
        // Windows forms.
        {"C:\\data\\projects\\site1.qmf", "C:\\data\\projects\\site1.qmf"},  // 27 characters
        {"C:\\data\\projects\\2008\\tokyo\\site1.qmf", "C:\\...\\2008\\tokyo\\site1.qmf"},
        {"C:\\data\\projects\\2008\\tokyo\\x\\site1.qmf", "C:\\...\\2008\\tokyo\\x\\site1.qmf"},
        {"C:\\data\\a_very_long_file_name_without_folders.qmf", "C:\\name_without_folders.qmf"},
        {"\\\\server\\share\\projects\\2008\\tokyo\\site1.qmf",
         "\\\\server\\share\\projects\\2008\\tokyo\\site1.qmf"},
        // POSIX forms.
        {"/home/user/project/site.qmf", "/home/user/project/site.qmf"},
        {"/home/user/projects/2008/tokyo/site1.qmf", "/.../2008/tokyo/site1.qmf"},
        {"/home/user/projects/2008/tokyo/ab/site1.qmf", "/.../2008/tokyo/ab/site1.qmf"},
        {"/home/user/projects/ab/tokyo_east/site1.qmf", "/.../ab/tokyo_east/site1.qmf"},
        {"/data/a_very_long_file_name_without_folders.qmf", "/name_without_folders.qmf"},
        {"relative/projects/2008/tokyo/site1/site.qmf",
         "relative/projects/2008/tokyo/site1/site.qmf"},
        {"/home/ユーザー/プロジェクト/二〇〇八年/東京/地点一.qmf",
         "/.../プロジェクト/二〇〇八年/東京/地点一.qmf"},
    };
    for (const auto& [path, result] : cases)
        EXPECT_EQ(CompactPath(path, 30), result) << path;
    // The tail begins right after a separator, or has none.
    EXPECT_EQ(CompactPath("/abc/0123456789abcd", 20), "/...0123456789abcd");
    EXPECT_EQ(CompactPath("/abcdefgh/0123456789abcdef", 20), "/23456789abcdef");
}

TEST(RemoveTrailingBackslash, DropsOneFinalSeparator) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\data\\", "C:\\data"},
        {"C:\\data", "C:\\data"},
        {"/home/user/", "/home/user"},
        {"/home//", "/home/"},
        {"/", "/"},
        {"", ""},
    };
    for (const auto& [path, result] : cases)
        EXPECT_EQ(RemoveTrailingBackslash(path), result) << path;
}

TEST(FileAndFolderExists, TellFilesFromFolders) {
    fs::path folder = fs::path(QM_TEST_OUTPUT_DIR) / "helpers";
    fs::create_directories(folder);
    std::string file = (folder / "f.txt").string();
    std::ofstream(file) << "x";
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FileExists(folder.string()));
    EXPECT_FALSE(FileExists(file + "-missing"));
    EXPECT_FALSE(FileExists(""));
    EXPECT_TRUE(FolderExists(folder.string()));
    EXPECT_TRUE(FolderExists(folder.string() + "/"));
    EXPECT_TRUE(FolderExists(file));
    EXPECT_FALSE(FolderExists(folder.string() + "/none"));
    EXPECT_FALSE(FolderExists(""));
}

TEST(InStrNoCase, FindsWithOrWithoutCase) {
    EXPECT_EQ(InStrNoCase("abc", "B"), 2);
    EXPECT_EQ(InStrNoCase(1, "abc", "B", 0), 0);
    EXPECT_EQ(InStrNoCase(1, "abc", "b", 0), 2);
    EXPECT_EQ(InStrNoCase(3, "abcabc", "AB"), 4);
    EXPECT_EQ(InStrNoCase(5, "abcabc", "AB"), 0);
    EXPECT_EQ(InStrNoCase("地層ａｂｃ", "ＢＣ"), 4);
    EXPECT_EQ(InStrNoCase("abc", ""), 1);
    EXPECT_EQ(InStrNoCase(2, "abc", ""), 2);
    EXPECT_EQ(InStrNoCase("", "a"), 0);
    EXPECT_EQ(InStrNoCase(9, "abc", "a"), 0);
    EXPECT_THROW(InStrNoCase(0, "abc", "a"), std::out_of_range);
}

TEST(CutAtNull, KeepsTheTextBeforeTheFirstNul) {
    std::string buffer(511, '\0');
    buffer.replace(0, 4, "C:\\X");
    buffer[100] = 'y';
    EXPECT_EQ(CutAtNull(buffer), "C:\\X");
    EXPECT_EQ(CutAtNull("plain"), "plain");
    EXPECT_EQ(CutAtNull(std::string(3, '\0')), "");
}

TEST(MaxOfMinOf, PickTheLargerAndTheSmaller) {
    EXPECT_EQ(MaxOf(1, 2), 2);
    EXPECT_EQ(MaxOf(2.5, -1.0), 2.5);
    EXPECT_EQ(MinOf(1, 2), 1);
    EXPECT_EQ(MinOf(1.0, (27.0 - 0.6) / 7), 1.0);
}

TEST(CodePoints, KeepBrokenBytesThroughARoundTrip) {
    std::string text = "a\xE5\xB7\xA5\xFF\xE3\x81z";
    EXPECT_EQ(CodePoints(text).size(), 6u);
    EXPECT_EQ(Utf8FromCodePoints(CodePoints(text)), text);
}

TEST(Trim, TakesSpacesAndTabsOffBothEnds) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},           {" \t ", ""},   {"a", "a"}, {" \ta b\t ", "a b"},
        {"\na\r", "\na\r"}, {"　a", "　a"},  // a full-width blank stays
    };
    for (const auto& [text, trimmed] : cases)
        EXPECT_EQ(Trim(text), trimmed) << '"' << text << '"';
    EXPECT_TRUE(IsBlank(' '));
    EXPECT_TRUE(IsBlank('\t'));
    EXPECT_FALSE(IsBlank('\0'));
    EXPECT_FALSE(IsBlank('\n'));
}

}  // namespace

namespace {

TEST(AbsolutePath, PutsTheWorkingFolderBeforeARelativePath) {
    char* folder = getcwd(nullptr, 0);
    ASSERT_NE(folder, nullptr);
    const std::string cwd = folder;
    free(folder);
    const std::pair<std::string, std::string> cases[] = {
        {"/data/site.qmf", "/data/site.qmf"},
        {"site.qmf", cwd + "/site.qmf"},
        {"./site.qmf", cwd + "/site.qmf"},
        {"sub/site.qmf", cwd + "/sub/site.qmf"},
        {"\x83\x5c.qmf", cwd + "/\x83\x5c.qmf"},  // the bytes as given
        {"", ""},
    };
    for (const auto& [given, absolute] : cases)
        EXPECT_EQ(absolute, AbsolutePath(given)) << given;
}

}  // namespace

namespace {

// Names from the system: "\" is a byte of the name (here the second byte of
// the CP932 character ソ), not a separator.
TEST(SplitNativePath, SplitsAtTheLastSlashOnly) {
    struct Case {
        std::string path, folder, file;
    } cases[] = {
        {"/data/site.qmf", "/data", "site.qmf"},
        {"/data/\x83\x5c\x83\x8b.qmf", "/data", "\x83\x5c\x83\x8b.qmf"},
        {"/data/a\\b.qmf", "/data", "a\\b.qmf"},
        {"/site.qmf", "/", "site.qmf"},
        {"site.qmf", ".", "site.qmf"},
        {"/data/", "/data", ""},
    };
    for (const Case& c : cases) {
        std::string folder, file;
        SplitNativePath(c.path, folder, file);
        EXPECT_EQ(c.folder, folder) << c.path;
        EXPECT_EQ(c.file, file) << c.path;
    }
}

}  // namespace
