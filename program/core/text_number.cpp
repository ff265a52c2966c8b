#include "core/text_number.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "core/text_helpers.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the decimal number at the start of the text (sign, digits, point,
// exponent); 0 when it does not start with one.
size_t NumberLength(std::string_view text) {
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

std::optional<double> Convert(std::string_view number) {
    bool negative = false;
    if (!number.empty() && (number.front() == '+' || number.front() == '-')) {
        negative = number.front() == '-';
        number.remove_prefix(1);
    }
    double value = 0;
    auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size())
        return std::nullopt;
    return negative ? -value : value;
}

template <typename T>
std::optional<T> RoundTo(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    double rounded = std::nearbyint(value);  // the default rounding mode sends halves to even
    if (rounded < static_cast<double>(std::numeric_limits<T>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<T>::max()))
        return std::nullopt;
    return static_cast<T>(rounded);
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
    text = Trim(text);
    if (text.empty() || NumberLength(text) != text.size())
        return std::nullopt;
    return Convert(text);
}

double LeadingNumber(std::string_view text) {
    return ReadLeadingNumber(text).value_or(0);
}

std::optional<double> ReadLeadingNumber(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    size_t length = NumberLength(text);
    if (length == 0)
        return std::nullopt;
    std::optional<double> value = Convert(text.substr(0, length));
    if (value && !std::isfinite(*value))
        return std::nullopt;
    return value;
}

std::optional<int32_t> RoundToInt32(double value) {
    return RoundTo<int32_t>(value);
}

std::optional<int16_t> RoundToInt16(double value) {
    return RoundTo<int16_t>(value);
}

double ShortestDecimal(double value) {
    char buffer[64];
    for (int precision = 1; precision <= 15; ++precision) {
        char* end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general,
                                  precision)
                        .ptr;
        double back = 0;
        if (std::from_chars(buffer, end, back).ec != std::errc())
            continue;  // out of the range of a double: try more digits
        if (back == value || precision == 15)
            return back;
    }
    return value;
}

std::string FormatShortestNumber(double value) {
    if (value == 0)
        return "0";
    // The fewest significant digits that give the value back, laid out as 15
    // digits would be: exponent form only below 1E-04 and from 1E+15 on.
    char buffer[64];
    char* end = std::to_chars(buffer, buffer + sizeof buffer, ShortestDecimal(value),
                              std::chars_format::general, 15)
                    .ptr;
    std::string text(buffer, end);
    for (char& c : text) {
        if (c == 'e')
            c = 'E';
    }
    return text;
}
