#include "core/round_to_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "core/text_number.h"

namespace {

// The shortest decimal text of at most 15 significant digits that gives the
// value back, always without an exponent: "1.6", "12", "0.25", "0.00005".
std::string PlainNumberText(double value) {
    if (value == 0)
        return "0";
    char buffer[400];
    char* end = std::to_chars(buffer, buffer + sizeof buffer, ShortestDecimal(value),
                              std::chars_format::fixed)
                    .ptr;
    return std::string(buffer, end);
}

// Position (1-based) of the decimal point, 0 when there is none.
std::size_t PointPosition(const std::string& text) {
    std::size_t point = text.find('.');
    return point == std::string::npos ? 0 : point + 1;
}

// The digits after the point padded with zeros to `decimals`.
std::string PadDecimals(std::string text, int decimals) {
    if (PointPosition(text) == 0)
        text += '.';
    while (static_cast<int>(text.size() - PointPosition(text)) < decimals)
        text += '0';
    return text;
}

}  // namespace

std::string RoundToText(std::string_view text, int digits) {
    double v = LeadingNumber(text);
    bool trim = digits < 0;
    int n = std::abs(digits);

    if (std::fabs(v) < std::pow(10.0, -(n + 2)))
        v = 0;
    if (std::fabs(v) > 1e15)
        return (v < 0 ? "-" : "") + std::string(static_cast<std::size_t>(n) + 2, '*');

    // Rounding adds one unit of the last kept decimal away from zero.
    double sign = v < 0 ? -1.0 : 1.0;
    std::string s = PlainNumberText(v);
    std::size_t p = PointPosition(s);
    int f = p == 0 ? 0 : static_cast<int>(s.size() - p);
    std::string result;
    if (n == 0) {
        if (p == 0)
            return s;
        if (s[p] >= '5') {
            s = PlainNumberText(v + sign);
            p = PointPosition(s);
        }
        return p == 0 ? s : s.substr(0, p - 1);
    }
    if (f == n) {
        result = s;
    } else if (f > n) {
        if (s[p + n] >= '5') {
            s = PlainNumberText(v + sign * std::pow(10.0, -n));
            p = PointPosition(s);
        }
        // The sum may have fewer decimals than were kept ("1.995" gives 2.005).
        s = PadDecimals(s, n);
        result = s.substr(0, PointPosition(s) + n);
    } else {
        result = PadDecimals(s, n);
    }

    if (trim) {
        std::size_t width = result.size();
        while (!result.empty() && result.back() == '0')
            result.pop_back();
        if (!result.empty() && result.back() == '.')
            result.pop_back();
        result.insert(0, width - result.size(), ' ');
    }
    return result;
}
