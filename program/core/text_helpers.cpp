#include "core/text_helpers.h"

#include <stdexcept>

namespace {

// A byte that does not start a valid UTF-8 sequence keeps its value in a lone
// surrogate, so that it comes back unchanged.
constexpr char32_t kRawByteBase = 0xDC00;

char32_t Upper(char32_t c) {
    if (c >= U'a' && c <= U'z')
        return c - U'a' + U'A';
    if (c >= U'ａ' && c <= U'ｚ')
        return c - U'ａ' + U'Ａ';
    return c;
}

}  // namespace

std::u32string CodePoints(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        size_t n = c < 0x80           ? 1
                   : (c >> 5) == 0x6  ? 2
                   : (c >> 4) == 0xE  ? 3
                   : (c >> 3) == 0x1E ? 4
                                      : 0;
        char32_t value = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
        bool valid = n > 0 && i + n <= utf8.size();
        for (size_t k = 1; valid && k < n; ++k) {
            unsigned char t = static_cast<unsigned char>(utf8[i + k]);
            valid = (t & 0xC0) == 0x80;
            value = (value << 6) | (t & 0x3F);
        }
        if (valid) {
            out.push_back(value);
            i += n;
        } else {
            out.push_back(kRawByteBase + c);
            ++i;
        }
    }
    return out;
}

std::string Utf8FromCodePoints(std::u32string_view codePoints) {
    std::string out;
    for (char32_t c : codePoints) {
        if (c >= kRawByteBase + 0x80 && c <= kRawByteBase + 0xFF) {
            out.push_back(static_cast<char>(c - kRawByteBase));
        } else if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::string CutAtNull(std::string_view text) {
    return std::string(text.substr(0, text.find('\0')));
}

int InStrNoCase(std::string_view a, std::string_view b) {
    return InStrNoCase(1, a, b, 1);
}

int InStrNoCase(int start, std::string_view a, std::string_view b) {
    return InStrNoCase(start, a, b, 1);
}

int InStrNoCase(int start, std::string_view a, std::string_view b, int compare) {
    if (start < 1)
        throw std::out_of_range("InStrNoCase: start below 1");
    std::u32string haystack = CodePoints(a);
    std::u32string needle = CodePoints(b);
    if (haystack.empty())
        return 0;
    if (needle.empty())
        return start;
    if (static_cast<size_t>(start) > haystack.size())
        return 0;
    if (compare != 0) {
        for (char32_t& c : haystack)
            c = Upper(c);
        for (char32_t& c : needle)
            c = Upper(c);
    }
    size_t found = haystack.find(needle, static_cast<size_t>(start - 1));
    return found == std::u32string::npos ? 0 : static_cast<int>(found) + 1;
}
