#include "core/format.h"

#include "core/text_helpers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// A non-negative decimal number as a digit string with the decimal point
// after `point` digits (point may lie left of the digits or right of them).
struct Decimal {
    std::string digits;
    int point = 0;
};

// The magnitude of the value taken to 15 significant digits, as the run-time
// does before it rounds for display.
Decimal Significant15(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    Decimal d;
    const char* p = buffer;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            d.digits.push_back(*p);
    int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
    d.point = exponent + 1;
    if (d.digits.find_first_not_of('0') == std::string::npos) {
        d.digits = "0";
        d.point = 1;
    }
    return d;
}

// Rounds half away from zero to `decimals` places and returns the integer
// digits (without leading zeros, possibly empty) and exactly `decimals`
// fraction digits.
void RoundDecimal(const Decimal& d, int decimals, std::string& integer, std::string& fraction) {
    // Digits, padded so that the point and every wanted place exist.
    int lead = d.point < 0 ? -d.point : 0;
    std::string all(lead, '0');
    all += d.digits;
    int point = d.point + lead;
    int needed = point + decimals;
    if (static_cast<int>(all.size()) < needed + 1)
        all.append(needed + 1 - all.size(), '0');
    bool up = all[needed] >= '5';
    all.resize(needed);
    if (up) {
        int i = needed - 1;
        while (i >= 0 && all[i] == '9') {
            all[i] = '0';
            --i;
        }
        if (i >= 0) {
            ++all[i];
        } else {
            all.insert(all.begin(), '1');
            ++point;
        }
    }
    integer = all.substr(0, point);
    fraction = all.substr(point);
    size_t nonZero = integer.find_first_not_of('0');
    integer = nonZero == std::string::npos ? std::string() : integer.substr(nonZero);
}

// One element of a number pattern: a digit placeholder, the decimal point or
// literal text.
struct PatternItem {
    enum Kind { Zero, Hash, Point, Literal } kind;
    std::string text;
};

std::vector<PatternItem> ParsePattern(std::string_view pattern) {
    std::vector<PatternItem> items;
    bool seenPoint = false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c == '0') {
            items.push_back({PatternItem::Zero, {}});
        } else if (c == '#') {
            items.push_back({PatternItem::Hash, {}});
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
            items.push_back({PatternItem::Point, {}});
        } else if (c == '"') {
            size_t end = pattern.find('"', i + 1);
            if (end == std::string_view::npos)
                end = pattern.size();
            items.push_back(
                {PatternItem::Literal, std::string(pattern.substr(i + 1, end - i - 1))});
            i = end;
        } else if (c == '\\' && i + 1 < pattern.size()) {
            items.push_back({PatternItem::Literal, std::string(1, pattern[++i])});
        } else {
            items.push_back({PatternItem::Literal, std::string(1, c)});
        }
    }
    return items;
}

bool IsPlaceholder(const PatternItem& item) {
    return item.kind == PatternItem::Zero || item.kind == PatternItem::Hash;
}

const char* const kMonthNames[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};

std::string TwoDigits(int n) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", n);
    return buffer;
}

// Str's text for a finite number, with the leading "0" before the point still
// in place (" 0.5"); `plain` forbids the exponent form.
std::string StrText(double value, bool plain) {
    // The run-time never shows a negative zero: -0 reads " 0".
    if (value == 0)
        value = 0;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    std::string text = buffer;
    if (plain && text.find('E') != std::string::npos) {
        Decimal d = Significant15(value);
        std::string integer, fraction;
        int decimals = std::max(0, static_cast<int>(d.digits.size()) - d.point);
        RoundDecimal(d, decimals, integer, fraction);
        while (!fraction.empty() && fraction.back() == '0')
            fraction.pop_back();
        text = (value < 0 ? "-" : "") + (integer.empty() ? std::string("0") : integer);
        if (!fraction.empty())
            text += "." + fraction;
    }
    if (text[0] != '-')
        text.insert(text.begin(), ' ');
    return text;
}

}  // namespace

std::string FormatNumber(double value, std::string_view pattern) {
    std::vector<PatternItem> items = ParsePattern(pattern);
    size_t first = items.size(), last = items.size(), point = items.size();
    for (size_t i = 0; i < items.size(); ++i) {
        if (IsPlaceholder(items[i])) {
            if (first == items.size())
                first = i;
            last = i;
        } else if (items[i].kind == PatternItem::Point) {
            point = i;
        }
    }
    if (first == items.size()) {
        // No digit placeholder: the pattern is shown as literal text.
        std::string text;
        for (const PatternItem& item : items)
            text += item.kind == PatternItem::Point ? std::string(".") : item.text;
        return text;
    }
    // An infinity or a NaN is no number: it is never shown as one.
    if (!std::isfinite(value))
        return {};
    if (point != items.size() && point > last)
        last = point;  // "0." keeps its point; the fixed-width rule turns it into a blank

    // Count the placeholders on each side of the point.
    int minInteger = 0, maxFraction = 0, minFraction = 0;
    bool zeroSeen = false;
    for (size_t i = first; i <= last; ++i) {
        if (!IsPlaceholder(items[i]))
            continue;
        if (point == items.size() || i < point) {
            zeroSeen = zeroSeen || items[i].kind == PatternItem::Zero;
            if (zeroSeen)
                ++minInteger;
        } else {
            ++maxFraction;
            if (items[i].kind == PatternItem::Zero)
                minFraction = maxFraction;
        }
    }

    std::string integer, fraction;
    RoundDecimal(Significant15(value), maxFraction, integer, fraction);
    while (static_cast<int>(fraction.size()) > minFraction && fraction.back() == '0')
        fraction.pop_back();
    if (static_cast<int>(integer.size()) < minInteger)
        integer.insert(0, minInteger - integer.size(), '0');

    // Integer places are filled from the point leftward; digits beyond the
    // placeholders go in front of the leftmost one.
    size_t integerEnd = point == items.size() ? last + 1 : point;
    std::string integerText;
    int remaining = static_cast<int>(integer.size());
    for (size_t i = integerEnd; i-- > first;) {
        const PatternItem& item = items[i];
        if (!IsPlaceholder(item)) {
            if (remaining > 0 || item.kind == PatternItem::Literal)
                integerText.insert(0, item.text);
            continue;
        }
        if (remaining > 0)
            integerText.insert(integerText.begin(), integer[--remaining]);
    }
    integerText.insert(0, integer.substr(0, remaining));

    std::string fractionText;
    if (point != items.size()) {
        fractionText = ".";
        size_t used = 0;
        for (size_t i = point + 1; i <= last; ++i) {
            if (IsPlaceholder(items[i])) {
                if (used < fraction.size())
                    fractionText.push_back(fraction[used]);
                ++used;
            } else {
                fractionText += items[i].text;
            }
        }
    }

    std::string prefix, suffix;
    for (size_t i = 0; i < first; ++i)
        prefix += items[i].text;
    for (size_t i = last + 1; i < items.size(); ++i)
        suffix += items[i].kind == PatternItem::Point ? std::string(".") : items[i].text;
    return (value < 0 ? "-" : "") + prefix + integerText + fractionText + suffix;
}

namespace {

std::string FormatDateWith(const Date& date, std::string_view pattern,
                           const MonthNames* abbreviated) {
    std::string text;
    size_t i = 0;
    auto run = [&](char c) {
        size_t n = 0;
        while (i + n < pattern.size() && (pattern[i + n] | 0x20) == c)
            ++n;
        return n;
    };
    while (i < pattern.size()) {
        char c = pattern[i];
        char lower = static_cast<char>(c | 0x20);
        if (lower == 'y') {
            size_t n = run('y');
            char buffer[16];
            if (n >= 3)
                std::snprintf(buffer, sizeof buffer, "%04d", date.year);
            else
                std::snprintf(buffer, sizeof buffer, "%02d", date.year % 100);
            text += buffer;
            i += n;
        } else if (lower == 'm') {
            size_t n = run('m');
            bool valid = date.month >= 1 && date.month <= 12;
            if (n >= 4 && valid)
                text += kMonthNames[date.month - 1];
            else if (n == 3 && valid && abbreviated != nullptr &&
                     !(*abbreviated)[static_cast<size_t>(date.month - 1)].empty())
                text += (*abbreviated)[static_cast<size_t>(date.month - 1)];
            else if (n == 3 && valid)
                text += std::string(kMonthNames[date.month - 1]).substr(0, 3);
            else if (n == 2)
                text += TwoDigits(date.month);
            else
                text += std::to_string(date.month);
            i += n;
        } else if (lower == 'd') {
            size_t n = run('d');
            text += n >= 2 ? TwoDigits(date.day) : std::to_string(date.day);
            i += n;
        } else if (c == '"') {
            size_t end = pattern.find('"', i + 1);
            if (end == std::string_view::npos)
                end = pattern.size();
            text += pattern.substr(i + 1, end - i - 1);
            i = end + 1;
        } else if (c == '\\' && i + 1 < pattern.size()) {
            text += pattern[i + 1];
            i += 2;
        } else {
            text += c;
            ++i;
        }
    }
    return text;
}

}  // namespace

std::string FormatDate(const Date& date, std::string_view pattern) {
    return FormatDateWith(date, pattern, nullptr);
}

std::string FormatDate(const Date& date, std::string_view pattern, const MonthNames& abbreviated) {
    return FormatDateWith(date, pattern, &abbreviated);
}

std::string FormatFixed(double value, std::string_view pattern) {
    std::string text = FormatNumber(value, pattern);
    if (!text.empty() && text.back() == '.') {
        text.pop_back();
        text.insert(text.begin(), ' ');
    }
    // Widths count characters, so that a pattern holding full-width text pads alike.
    size_t width = CodePoints(pattern).size();
    size_t length = CodePoints(text).size();
    if (length < width)
        text.insert(0, width - length, ' ');
    return text;
}

std::string FormatFixed(const Date& date, std::string_view pattern) {
    if (date == Date{})
        return {};
    return FormatDate(date, pattern);
}

std::string FormatFixedBlankZero(double value, std::string_view pattern, int flag) {
    if (flag == 1 && value == 0)
        return {};
    return FormatFixed(value, pattern);
}

std::string FormatFixedBlankZero(const Date& date, std::string_view pattern, int /*flag*/) {
    return FormatFixed(date, pattern);
}

std::string StrOfNumber(double value) {
    std::string text = StrText(value, false);
    if (text.size() > 2 && text[1] == '0' && text[2] == '.')
        text.erase(1, 1);
    return text;
}

std::string RoundToString(double value, int32_t digits, int32_t mode) {
    double scale = std::pow(10.0, digits);
    double x = value * scale;
    double sign = x > 0 ? 1.0 : x < 0 ? -1.0 : 0.0;
    if (mode == 0)
        x = std::trunc(x + 0.5 * sign);
    else if (mode == 1)
        x = std::trunc(x + 0.99999 * sign);
    else if (mode == 2)
        x = std::trunc(x);
    x /= scale;

    // Always plain decimal: an exponent form with decimals appended would not
    // be a number at all.
    std::string text = StrText(x, true);
    if (digits < 1)
        return text;
    size_t dot = text.find('.');
    int wanted = std::min<int>(digits, 10);
    if (dot == std::string::npos) {
        text += "." + std::string(wanted, '0');
    } else {
        int have = static_cast<int>(text.size() - dot - 1);
        if (have < digits)
            text.append(std::min(digits - have, 10), '0');
    }
    return text;
}
