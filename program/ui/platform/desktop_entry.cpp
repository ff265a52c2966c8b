#include "ui/platform/desktop_entry.h"

#include <optional>
#include <string_view>

namespace {

// One run of an argument's characters, inside double quotes or not.
struct Piece {
    std::string text;
    bool quoted = false;
};
using Argument = std::vector<Piece>;

// The string-value escapes of a desktop entry: \s \n \t \r \\. Any other
// backslash is left for the quoting rules of Exec.
std::string DecodeStringEscapes(const std::string& value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        char next = value[i + 1];
        switch (next) {
            case 's':
                out += ' ';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case '\\':
                out += '\\';
                break;
            default:
                out += '\\';
                out += next;
                break;
        }
        ++i;
    }
    return out;
}

// The Exec value split into arguments; none when a quote is left open.
std::optional<std::vector<Argument>> SplitExec(const std::string& exec) {
    std::vector<Argument> arguments;
    Argument current;
    bool inArgument = false;
    auto add = [&current](char c, bool quoted) {
        if (current.empty() || current.back().quoted != quoted)
            current.push_back({{}, quoted});
        current.back().text += c;
    };
    for (size_t i = 0; i < exec.size(); ++i) {
        char c = exec[i];
        if (c == ' ' || c == '\t' || c == '\n') {
            if (inArgument)
                arguments.push_back(std::move(current));
            current.clear();
            inArgument = false;
            continue;
        }
        inArgument = true;
        if (c != '"') {
            add(c, false);
            continue;
        }
        // A quoted run, up to its closing quote.
        if (current.empty() || !current.back().quoted)
            current.push_back({{}, true});
        bool closed = false;
        for (++i; i < exec.size(); ++i) {
            char q = exec[i];
            if (q == '\\' && i + 1 < exec.size() &&
                std::string_view("\"`$\\").find(exec[i + 1]) != std::string_view::npos) {
                add(exec[++i], true);
            } else if (q == '"') {
                closed = true;
                break;
            } else {
                add(q, true);
            }
        }
        if (!closed)
            return std::nullopt;
    }
    if (inArgument)
        arguments.push_back(std::move(current));
    return arguments;
}

// The text as one word of the POSIX shell.
std::string ShellQuoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

bool IsTargetCode(char code) {
    return code == 'f' || code == 'F' || code == 'u' || code == 'U';
}

}  // namespace

std::vector<std::string> DesktopEntryArguments(const RegisteredProgram& program,
                                               const std::string& target) {
    std::optional<std::vector<Argument>> split = SplitExec(DecodeStringEscapes(program.exec));
    if (!split || split->empty())
        return {};
    std::vector<std::string> out;
    bool targetGiven = false;
    for (const Argument& argument : *split) {
        // A field code standing alone may give no argument, or two; quoted
        // ("%U") it is still the whole argument, which no shell will unquote.
        if (argument.size() == 1 && argument[0].text.size() == 2 && argument[0].text[0] == '%' &&
            argument[0].text[1] != '%') {
            char code = argument[0].text[1];
            if (IsTargetCode(code)) {
                out.push_back(target);
                targetGiven = true;
            } else if (code == 'i' && !program.icon.empty()) {
                out.push_back("--icon");
                out.push_back(program.icon);
            } else if (code == 'c' && !program.name.empty()) {
                out.push_back(program.name);
            } else if (code == 'k' && !program.entryPath.empty()) {
                out.push_back(program.entryPath);
            }
            continue;
        }
        std::string text;
        for (const Piece& piece : argument) {
            const std::string& s = piece.text;
            for (size_t i = 0; i < s.size(); ++i) {
                if (s[i] != '%' || i + 1 == s.size()) {
                    text += s[i];
                    continue;
                }
                char code = s[++i];
                std::optional<std::string> value;  // none: a code that is dropped
                if (code == '%') {
                    text += '%';
                    continue;
                }
                if (IsTargetCode(code)) {
                    value = target;
                    targetGiven = true;
                } else if (code == 'c') {
                    value = program.name;
                } else if (code == 'k') {
                    value = program.entryPath;
                } else if (code == 'i') {
                    value = program.icon;
                }
                if (value)
                    text += piece.quoted ? ShellQuoted(*value) : *value;
            }
        }
        out.push_back(text);
    }
    if (out.empty())
        return {};
    if (!targetGiven)
        out.push_back(target);
    return out;
}
