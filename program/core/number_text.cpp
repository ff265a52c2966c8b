#include "core/number_text.h"

#include <string_view>

#include "core/format.h"

std::string NumberText(double value) {
    std::string text = StrOfNumber(value);
    if (!text.empty() && text[0] == ' ')
        text.erase(0, 1);
    if (text.rfind(".", 0) == 0)
        text.insert(0, "0");
    else if (text.rfind("-.", 0) == 0)
        text.insert(1, "0");
    return text;
}

// Full-width digits, signs, point, exponent letters and blanks, as a Japanese
// input method may type them, become their half-width forms. Each is one
// UTF-8 sequence of three bytes; every other byte is copied as it stands.
std::string HalfWidthNumberText(const std::string& text) {
    static constexpr struct {
        const char* wide;
        char narrow;
    } kForms[] = {
        {"．", '.'}, {"－", '-'}, {"−", '-'}, {"＋", '+'}, {"ｅ", 'E'}, {"Ｅ", 'E'}, {"　", ' '},
    };
    static constexpr std::string_view kZero = "０";  // ０ to ９ differ in the last byte only
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const std::string_view rest = std::string_view(text).substr(i);
        if (rest.size() >= 3 && rest.substr(0, 2) == kZero.substr(0, 2) &&
            static_cast<unsigned char>(rest[2]) >= static_cast<unsigned char>(kZero[2]) &&
            static_cast<unsigned char>(rest[2]) <= static_cast<unsigned char>(kZero[2]) + 9) {
            out += static_cast<char>(
                '0' + (static_cast<unsigned char>(rest[2]) - static_cast<unsigned char>(kZero[2])));
            i += 3;
            continue;
        }
        bool replaced = false;
        for (const auto& form : kForms) {
            if (rest.starts_with(form.wide)) {
                out += form.narrow;
                i += std::string_view(form.wide).size();
                replaced = true;
                break;
            }
        }
        if (!replaced)
            out += text[i++];
    }
    return out;
}
