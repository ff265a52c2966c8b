#include "core/codepage.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <stdexcept>

namespace {

class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " +
                                     to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts the whole text; every sequence that cannot be converted becomes
    // one "?" and the conversion goes on after it. `failures` counts them.
    std::string Convert(std::string_view in, size_t (*skipLength)(std::string_view),
                        size_t* failures = nullptr) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out;
        out.reserve(in.size() * 2);
        char buffer[256];
        std::string_view rest = in;
        while (!rest.empty()) {
            char* src = const_cast<char*>(rest.data());
            size_t srcLeft = rest.size();
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, dst - buffer);
            rest = std::string_view(src, srcLeft);
            if (r == static_cast<size_t>(-1)) {
                if (errno == E2BIG)
                    continue;
                // EILSEQ or EINVAL: replace the offending character and go on.
                out.push_back('?');
                if (failures != nullptr)
                    ++*failures;
                size_t skip = skipLength(rest);
                rest.remove_prefix(skip < rest.size() ? skip : rest.size());
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return out;
    }

  private:
    iconv_t cd_;
};

size_t Utf8SequenceLength(std::string_view text) {
    unsigned char c = static_cast<unsigned char>(text[0]);
    size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
    // Never step past a truncated or broken sequence's continuation bytes.
    size_t i = 1;
    while (i < n && i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
        ++i;
    return i;
}

bool IsCp932TrailByte(unsigned char byte) {
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// How many bytes one unreadable character takes: a lead byte takes its second
// byte with it only when that byte can stand second, so that a quote, comma or
// "&" after a stray lead byte stays a character of its own.
size_t Cp932SequenceLength(std::string_view text) {
    return text.size() > 1 && IsCp932LeadByte(static_cast<unsigned char>(text[0])) &&
                   IsCp932TrailByte(static_cast<unsigned char>(text[1]))
               ? 2
               : 1;
}

}  // namespace

bool IsCp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

namespace {

Converter& ToCp932() {
    thread_local Converter converter("CP932", "UTF-8");
    return converter;
}

Converter& FromCp932() {
    thread_local Converter converter("UTF-8", "CP932");
    return converter;
}

// What CP932 makes of one UTF-8 character: none when it cannot hold it, else
// the character as it reads back.
std::optional<std::string> HeldAs(std::string_view character) {
    size_t failures = 0;
    std::string bytes = ToCp932().Convert(character, Utf8SequenceLength, &failures);
    if (failures != 0)
        return std::nullopt;
    std::string back = FromCp932().Convert(bytes, Cp932SequenceLength, &failures);
    if (failures != 0)
        return std::nullopt;
    return back;
}

// Calls `each` with every UTF-8 character of the text (a broken byte alone).
template <typename F>
void ForEachCharacter(std::string_view utf8, F each) {
    while (!utf8.empty()) {
        size_t length = Utf8SequenceLength(utf8);
        each(utf8.substr(0, length));
        utf8.remove_prefix(length);
    }
}

}  // namespace

std::string Utf8ToCp932(std::string_view utf8) {
    return ToCp932().Convert(utf8, Utf8SequenceLength);
}

std::string Cp932ToUtf8(std::string_view cp932) {
    return FromCp932().Convert(cp932, Cp932SequenceLength);
}

std::string Cp932ToUtf8(std::string_view cp932, bool& whole) {
    size_t failures = 0;
    std::string utf8 = FromCp932().Convert(cp932, Cp932SequenceLength, &failures);
    whole = failures == 0;
    return utf8;
}

std::vector<std::string> Cp932Unholdable(std::string_view utf8) {
    std::vector<std::string> unholdable;
    ForEachCharacter(utf8, [&](std::string_view character) {
        if (static_cast<unsigned char>(character[0]) < 0x80 || HeldAs(character))
            return;
        if (std::find(unholdable.begin(), unholdable.end(), character) == unholdable.end())
            unholdable.emplace_back(character);
    });
    return unholdable;
}

std::string Cp932RoundTrip(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    ForEachCharacter(utf8, [&](std::string_view character) {
        std::optional<std::string> held;
        if (static_cast<unsigned char>(character[0]) >= 0x80)
            held = HeldAs(character);
        out += held ? *held : std::string(character);
    });
    return out;
}

namespace {

// The length of the well-formed UTF-8 character at the start of the text, 0
// when it does not start with one.
size_t WellFormedUtf8Length(std::string_view text) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char c = byte(0);
    if (c < 0x80)
        return 1;
    size_t n = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0)
            low = 0xA0;  // no overlong form
        else if (c == 0xED)
            high = 0x9F;  // no surrogate
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0)
            low = 0x90;
        else if (c == 0xF4)
            high = 0x8F;  // nothing beyond U+10FFFF
    } else {
        return 0;
    }
    if (text.size() < n || byte(1) < low || byte(1) > high)
        return 0;
    for (size_t i = 2; i < n; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
    }
    return n;
}

size_t OneByte(std::string_view) {
    return 1;
}

size_t TwoBytes(std::string_view text) {
    return text.size() < 2 ? text.size() : 2;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
    while (!text.empty()) {
        size_t n = WellFormedUtf8Length(text);
        if (n == 0)
            return false;
        text.remove_prefix(n);
    }
    return true;
}

std::string Utf8Readable(std::string_view text, bool& whole) {
    std::string out;
    out.reserve(text.size());
    whole = true;
    while (!text.empty()) {
        size_t n = WellFormedUtf8Length(text);
        if (n == 0) {
            out += '?';
            whole = false;
            n = 1;
        } else {
            out.append(text.substr(0, n));
        }
        text.remove_prefix(n);
    }
    return out;
}

std::optional<std::string> Utf16ToUtf8(std::string_view utf16, bool bigEndian) {
    if (utf16.size() % 2 != 0)
        return std::nullopt;
    thread_local Converter little("UTF-8", "UTF-16LE");
    thread_local Converter big("UTF-8", "UTF-16BE");
    size_t failures = 0;
    std::string utf8 = (bigEndian ? big : little).Convert(utf16, TwoBytes, &failures);
    if (failures != 0)
        return std::nullopt;
    return utf8;
}

std::string Utf8ToUtf16(std::string_view utf8, bool bigEndian) {
    thread_local Converter little("UTF-16LE", "UTF-8");
    thread_local Converter big("UTF-16BE", "UTF-8");
    bool whole = true;
    const std::string readable = Utf8Readable(utf8, whole);
    return (bigEndian ? big : little).Convert(readable, OneByte);
}

int Cp932Length(std::string_view utf8) {
    return static_cast<int>(Utf8ToCp932(utf8).size());
}
