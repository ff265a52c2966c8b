#pragma once

#include <string>

// File and path helpers. Paths are POSIX paths with "/" as the separator and
// "/" as the root; the Windows forms that users' files may still hold ("\"
// separators and drive roots such as "C:\") are understood as well, so either
// separator splits a path.

// True when the path names a file whose size can be read (not a folder).
bool FileExists(const std::string& path);

// True when something exists at the path, a folder or a file.
bool FolderExists(const std::string& path);

// Splits a path at its last separator into folder and file name. A path
// without a separator lies in `defaultFolder`; a path ending in a separator
// is all folder (that separator dropped) with an empty file name.
void SplitPath(const std::string& path, std::string& folder, std::string& file,
               const std::string& defaultFolder);
// As above with the program folder for a path without a separator.
void SplitPath(const std::string& path, std::string& folder, std::string& file);

// SplitPath for a path the system gave (command line, file dialog, recent
// files): only "/" separates, since "\" is an ordinary byte of a name here
// (the second byte of many CP932 characters). A file in the root keeps "/" as
// its folder; a bare name lies in the working folder ".".
void SplitNativePath(const std::string& path, std::string& folder, std::string& file);

// The name without an extension of at most four characters after its last
// ".": "site.qmf" gives "site", ".qmf" gives "", "a.backup" is kept whole.
std::string RemoveExtension(const std::string& name);

// True for a root alone: "/", or a drive root "C:\" (any letter, either case).
bool IsDriveRoot(const std::string& text);

// A path shortened for a menu caption to about maxLen characters: the root,
// "..." and the tail of the path, cut at a folder boundary where there is
// one. A relative path, or one not longer than maxLen - 3, is kept whole.
std::string CompactPath(const std::string& path, int maxLen);

// The path without one final separator. The root "/" alone is kept, since
// without it the path would name the current folder instead.
std::string RemoveTrailingBackslash(const std::string& path);

// A path given relative to the working folder, made absolute so that it does
// not depend on that folder later: the working folder, "/" and the path (a
// leading "./" dropped). An absolute path is kept, and so is a relative one
// whose absolute form the system could not open (a working folder deeper
// than PATH_MAX, or one that cannot be found): it still names the same file
// as long as the working folder stays. The path's bytes are kept as given.
std::string AbsolutePath(const std::string& path);
