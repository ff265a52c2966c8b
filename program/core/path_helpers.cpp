#include "core/path_helpers.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "core/program_folder.h"
#include "core/text_helpers.h"

namespace {

bool IsSeparator(char32_t c) {
    return c == U'/' || c == U'\\';
}

// Length of the root at the start of the path: 3 for a drive root "C:\", 1
// for "/", 0 for a relative path.
size_t RootLength(std::u32string_view path) {
    if (path.size() >= 3) {
        char32_t letter = path[0] & ~char32_t{0x20};
        if (letter >= U'A' && letter <= U'Z' && path[1] == U':' && path[2] == U'\\')
            return 3;
    }
    if (!path.empty() && path[0] == U'/')
        return 1;
    return 0;
}

}  // namespace

bool FileExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool FolderExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0;
}

void SplitPath(const std::string& path, std::string& folder, std::string& file,
               const std::string& defaultFolder) {
    size_t last = path.find_last_of("/\\");
    if (last == std::string::npos) {
        folder = defaultFolder;
        file = path;
    } else {
        // Copies first: the outputs may be the very string that was passed in.
        std::string head = path.substr(0, last);
        std::string tail = path.substr(last + 1);
        folder = std::move(head);
        file = std::move(tail);
    }
}

void SplitPath(const std::string& path, std::string& folder, std::string& file) {
    SplitPath(path, folder, file, ProgramFolder());
}

void SplitNativePath(const std::string& path, std::string& folder, std::string& file) {
    const size_t last = path.rfind('/');
    // Copies first: the outputs may be the very string that was passed in.
    std::string head = last == std::string::npos ? "." : last == 0 ? "/" : path.substr(0, last);
    std::string tail = last == std::string::npos ? path : path.substr(last + 1);
    folder = std::move(head);
    file = std::move(tail);
}

std::string RemoveExtension(const std::string& name) {
    std::u32string chars = CodePoints(name);
    size_t length = chars.size();
    // 1-based positions from the end down to the larger of 1 and length - 4.
    size_t lowest = length > 5 ? length - 4 : 1;
    for (size_t pos = length; pos >= lowest && pos >= 1; --pos) {
        if (chars[pos - 1] == U'.')
            return Utf8FromCodePoints(std::u32string_view(chars).substr(0, pos - 1));
    }
    return name;
}

bool IsDriveRoot(const std::string& text) {
    std::u32string chars = CodePoints(text);
    size_t root = RootLength(chars);
    return root > 0 && root == chars.size();
}

std::string CompactPath(const std::string& path, int maxLen) {
    std::u32string chars = CodePoints(path);
    size_t rootLength = RootLength(chars);
    if (rootLength == 0 || static_cast<long>(chars.size()) <= static_cast<long>(maxLen) - 3)
        return path;
    std::u32string_view view(chars);
    std::u32string_view root = view.substr(0, rootLength);
    std::u32string_view rest = view.substr(rootLength);
    auto tail = [&](long n) {
        size_t count = n <= 0 ? 0 : std::min(static_cast<size_t>(n), rest.size());
        return rest.substr(rest.size() - count);
    };
    std::u32string_view tail6 = tail(maxLen - 6L);
    std::u32string_view tail5 = tail(maxLen - 5L);
    std::u32string result(root);
    if ((!tail6.empty() && IsSeparator(tail6[0])) || (!tail5.empty() && IsSeparator(tail5[0]))) {
        result += U"...";
        result += tail6;
    } else {
        size_t cut = std::u32string_view::npos;
        for (size_t i = 0; i < tail6.size() && cut == std::u32string_view::npos; ++i)
            if (IsSeparator(tail6[i]))
                cut = i;
        if (cut != std::u32string_view::npos) {
            result += U"...";
            result += tail6.substr(cut);
        } else {
            result += tail6;
        }
    }
    return Utf8FromCodePoints(result);
}

std::string RemoveTrailingBackslash(const std::string& path) {
    if (path.empty() || (path.back() != '/' && path.back() != '\\') || path == "/")
        return path;
    return path.substr(0, path.size() - 1);
}

std::string AbsolutePath(const std::string& given) {
    if (given.empty() || given.front() == '/')
        return given;
    std::string path = given;
    while (path.size() > 2 && path.compare(0, 2, "./") == 0)
        path.erase(0, path.find_first_not_of('/', 2));
    char* folder = getcwd(nullptr, 0);
    if (folder == nullptr)
        return path;
    std::string absolute = folder;
    free(folder);
    if (absolute.empty() || absolute.front() != '/')
        return path;
    if (absolute.back() != '/')
        absolute += '/';
    absolute += path;
    return absolute.size() < PATH_MAX ? absolute : path;
}
