#pragma once

#include <string>
#include <string_view>

// Small text and value helpers. Positions are 1-based character positions;
// texts are UTF-8.

// The characters before the first NUL; the whole text when it holds none.
std::string CutAtNull(std::string_view text);

// A space or a tab: the blanks that a field, a key or a number in a text file
// may have around it.
inline bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The text without the blanks (spaces and tabs) at its start and end.
inline std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Position of `b` in `a` from character `start` on (1 when omitted), 0 when
// not found. With `compare` 0 the search is exact; otherwise both texts are
// compared in upper case (half-width and full-width Latin letters). An empty
// `b` gives `start`; an empty `a` or a start beyond `a` gives 0. A start below
// 1 throws std::out_of_range.
int InStrNoCase(std::string_view a, std::string_view b);
int InStrNoCase(int start, std::string_view a, std::string_view b);
int InStrNoCase(int start, std::string_view a, std::string_view b, int compare);

// a when a > b, otherwise b.
template <typename T>
T MaxOf(T a, T b) {
    return a > b ? a : b;
}

// a when a < b, otherwise b.
template <typename T>
T MinOf(T a, T b) {
    return a < b ? a : b;
}

// The text split into its characters' code points; a broken UTF-8 byte
// counts as one character of its own.
std::u32string CodePoints(std::string_view utf8);

// Code points back to UTF-8.
std::string Utf8FromCodePoints(std::u32string_view codePoints);
