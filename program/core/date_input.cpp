#include "core/date_input.h"

#include <string>
#include <vector>

#include "core/text_helpers.h"

namespace {

// Full-width digits and separators as their half-width forms.
std::u32string HalfWidth(std::u32string text) {
    for (char32_t& c : text) {
        if (c >= U'０' && c <= U'９')
            c = U'0' + (c - U'０');
        else if (c == U'／')
            c = U'/';
        else if (c == U'－' || c == U'ー')
            c = U'-';
        else if (c == U'．')
            c = U'.';
        else if (c == U'　')
            c = U' ';
    }
    return text;
}

bool IsDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}

}  // namespace

std::optional<Date> ReadDateInput(std::string_view text) {
    std::u32string chars = HalfWidth(CodePoints(text));
    std::size_t begin = chars.find_first_not_of(U' ');
    if (begin == std::u32string::npos)
        return std::nullopt;
    std::size_t end = chars.find_last_not_of(U' ') + 1;
    chars = chars.substr(begin, end - begin);

    // Three runs of digits, each followed by its separator (the day by "日"
    // or nothing).
    std::vector<int> parts;
    std::vector<std::size_t> digitCounts;
    char32_t separator = 0;
    std::size_t i = 0;
    while (i < chars.size() && parts.size() < 3) {
        std::size_t start = i;
        int value = 0;
        while (i < chars.size() && IsDigit(chars[i]) && i - start < 4)
            value = value * 10 + static_cast<int>(chars[i++] - U'0');
        if (i == start)
            return std::nullopt;
        parts.push_back(value);
        digitCounts.push_back(i - start);
        if (i == chars.size())
            break;
        char32_t c = chars[i++];
        std::size_t index = parts.size() - 1;  // 0 after the year, 1 the month, 2 the day
        static constexpr char32_t kKanji[] = {U'年', U'月', U'日'};
        bool kanji = c == kKanji[index];
        bool mark = (c == U'/' || c == U'-' || c == U'.') && index < 2;
        // One style throughout: "年月日", or the same mark twice.
        if (!(kanji && (index == 0 || separator == U'年')) &&
            !(mark && (index == 0 || separator == c)))
            return std::nullopt;
        if (index == 0)
            separator = c;
    }
    if (parts.size() != 3 || i != chars.size())
        return std::nullopt;

    Date date{parts[0], parts[1], parts[2]};
    if (digitCounts[0] <= 2)
        date.year += date.year < 30 ? 2000 : 1900;
    else if (digitCounts[0] == 3)
        return std::nullopt;
    if (!IsValidDate(date))
        return std::nullopt;
    return date;
}
