#pragma once

#include <string>
#include <vector>

// The program a desktop entry registers for a document type, as much of the
// entry as its command line needs.
struct RegisteredProgram {
    std::string exec;       // the entry's Exec value as the file holds it; empty: no command
    std::string name;       // its Name, for %c
    std::string icon;       // its Icon, for %i
    std::string entryPath;  // the entry file itself, for %k
};

// The argument vector that opens `target` with the program: the Exec value
// read by the desktop-entry rules (string escapes, then double-quoted
// arguments with "\" before '"', '`', '$' and '\'), each field code replaced:
// %f %F %u %U by the target, %c by the name, %k by the entry's path, %i by
// "--icon" and the icon, "%%" by "%"; the deprecated and unknown codes are
// dropped. A code that stands alone is an argument of its own (none when its
// value is empty); inside a quoted argument, whose text a shell will read, the
// value is quoted for the shell. When no code takes the target, it follows as
// the last argument. Empty when the value holds no program or an unclosed
// quote.
std::vector<std::string> DesktopEntryArguments(const RegisteredProgram& program,
                                               const std::string& target);
