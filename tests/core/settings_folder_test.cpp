#include "core/settings_folder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "core/settings.h"
#include "core/settings_test_support.h"

namespace {

namespace fs = std::filesystem;

// Every test here points both XDG_CONFIG_HOME and HOME into a temporary folder.
class SettingsFolderTest : public ::testing::Test {
  protected:
    TempFolder temp;
    ScopedEnv home{"HOME", temp.File("Home").c_str()};
};

TEST_F(SettingsFolderTest, ConfigHomeFolderIsCreatedWithItsParents) {
    std::string config = temp.File("Not/Yet/Config");
    ScopedEnv xdg("XDG_CONFIG_HOME", config.c_str());
    Settings settings;
    ASSERT_EQ(0, GetSettingsFilePath(settings));
    EXPECT_EQ(config + "/varnholt/Quilmorn.ini", settings.iniFile);  // never upper-cased
    EXPECT_TRUE(fs::is_directory(config + "/varnholt"));
    ASSERT_EQ(0, GetSettingsFilePath(settings));  // an existing folder is fine too
}

TEST_F(SettingsFolderTest, HomeConfigWhenConfigHomeIsUnsetEmptyOrRelative) {
    for (const char* value : {static_cast<const char*>(nullptr), "", "relative/config"}) {
        ScopedEnv xdg("XDG_CONFIG_HOME", value);
        std::string folder;
        ASSERT_EQ(0, GetSettingsFolder(folder));
        EXPECT_EQ(temp.File("Home") + "/.config/varnholt", folder);
    }
}

TEST_F(SettingsFolderTest, FolderThatCannotBeCreatedIsAFailure) {
    std::string config = temp.File("file");
    WriteBytes(config, "a file where the folder should be");
    ScopedEnv xdg("XDG_CONFIG_HOME", config.c_str());
    Settings settings;
    settings.iniFile = "unchanged";
    EXPECT_EQ(-1, GetSettingsFilePath(settings));
    EXPECT_EQ("unchanged", settings.iniFile);
}

TEST_F(SettingsFolderTest, FolderServiceFillsTheBufferOrFails) {
    ScopedEnv xdg("XDG_CONFIG_HOME", "/cfg");
    char buffer[20];
    std::memset(buffer, 'x', sizeof buffer);
    ASSERT_EQ(0, GetVarnholtSysFolder(buffer, 14));  // "/cfg/varnholt" and its NUL
    EXPECT_STREQ("/cfg/varnholt", buffer);
    EXPECT_NE(0, GetVarnholtSysFolder(buffer, 13));

    std::string longPath = "/" + std::string(510, 'd');
    ScopedEnv tooLong("XDG_CONFIG_HOME", longPath.c_str());
    std::string folder = "old";
    EXPECT_EQ(-1, GetSettingsFolder(folder));
    EXPECT_EQ("", folder);
}

}  // namespace
