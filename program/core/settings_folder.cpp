#include "core/settings_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/settings.h"

namespace {

// The home folder: $HOME, or the user's entry in the password database.
std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home && *home)
        return home;
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    struct passwd entry;
    struct passwd* result = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result &&
        result->pw_dir)
        return result->pw_dir;
    return {};
}

// The base folder of user configuration; a relative $XDG_CONFIG_HOME is ignored,
// as the base-directory rules ask.
std::string ConfigFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/')
        return config;
    std::string home = HomeFolder();
    if (home.empty())
        return {};
    return home + "/.config";
}

}  // namespace

int32_t GetVarnholtSysFolder(char* buffer, int32_t length) {
    std::string base = ConfigFolder();
    if (base.empty() || !buffer || length <= 0)
        return -1;
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    std::string folder = (base == "/" ? "" : base) + "/varnholt";
    if (folder.size() + 1 > static_cast<size_t>(length))
        return -1;
    std::memcpy(buffer, folder.c_str(), folder.size() + 1);
    return 0;
}

int16_t GetSettingsFolder(std::string& folder) {
    folder.clear();
    char buffer[511] = {};
    if (GetVarnholtSysFolder(buffer, sizeof buffer) != 0)
        return -1;
    folder.assign(buffer, strnlen(buffer, sizeof buffer));
    return folder.empty() ? -1 : 0;
}

int16_t GetSettingsFilePath(Settings& settings) {
    std::string folder;
    if (GetSettingsFolder(folder) != 0)
        return -1;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder, error))
        return -1;
    settings.iniFile = folder + "/" + kSettingsFileName;
    return 0;
}
