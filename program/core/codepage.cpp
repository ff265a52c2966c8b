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

size_t Cp932SequenceLength(std::string_view text) {
    return IsCp932LeadByte(static_cast<unsigned char>(text[0])) && text.size() > 1 ? 2 : 1;
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

int Cp932Length(std::string_view utf8) {
    return static_cast<int>(Utf8ToCp932(utf8).size());
}
