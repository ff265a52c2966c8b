#include "core/quorlith_binding.h"

#include <dlfcn.h>

#include "core/program_folder.h"

QuorlithLibrary::~QuorlithLibrary() {
    if (handle_)
        dlclose(handle_);
}

bool QuorlithLibrary::Open(std::string& message) {
    if (function_)
        return true;
    if (!handle_)
        handle_ = dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        message = std::string("計算ライブラリ(") + kFileName + ")が見つかりません。\n" + path_;
        return false;
    }
    function_ = reinterpret_cast<QuorlithFunction>(dlsym(handle_, "Quorlith"));
    if (!function_) {
        message =
            std::string("計算ライブラリ(") + kFileName + ")に計算関数 Quorlith がありません。";
        return false;
    }
    return true;
}

bool QuorlithLibrary::Call(QuorlithArgs& args, std::string& message) {
    if (!Open(message))
        return false;
    CallQuorlith(function_, args);
    return true;
}

QuorlithLibrary& ProgramQuorlithLibrary() {
    static QuorlithLibrary library(ProgramFolder() + "/" + QuorlithLibrary::kFileName);
    return library;
}
