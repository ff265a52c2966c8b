#pragma once

#include <string>

#include "quorlith.h"

// The program's tie to the judgement library. The library is opened at the
// first call, not before, and stays open for the rest of the run.
class QuorlithLibrary {
  public:
    // The shared library's file name in the program folder.
    static constexpr const char* kFileName = "libquorlith.so";

    explicit QuorlithLibrary(std::string path) : path_(std::move(path)) {}
    ~QuorlithLibrary();
    QuorlithLibrary(const QuorlithLibrary&) = delete;
    QuorlithLibrary& operator=(const QuorlithLibrary&) = delete;

    // Judges one point. False when the library or its function cannot be
    // found; `message` then holds the text to show the user.
    bool Call(QuorlithArgs& args, std::string& message);

    const std::string& path() const { return path_; }

  private:
    bool Open(std::string& message);

    std::string path_;
    void* handle_ = nullptr;
    QuorlithFunction function_ = nullptr;
};

// The program's library, in the program folder.
QuorlithLibrary& ProgramQuorlithLibrary();
