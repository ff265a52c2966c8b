#include "core/value_line.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "core/codepage.h"
#include "core/text_helpers.h"

namespace {

constexpr std::string_view kFullWidthQuote = "\xEF\xBC\x82";  // U+FF02

template <typename... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <typename... F>
Overloaded(F...) -> Overloaded<F...>;

bool ParseInt(std::string_view text, int& value) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::string StorableText(std::string_view utf8) {
    std::string text;
    text.reserve(utf8.size());
    for (char c : utf8) {
        if (c == '"')
            text += kFullWidthQuote;
        else
            text.push_back(c);
    }
    return text;
}

std::string ShortestNumberText(double value) {
    if (!std::isfinite(value))
        return {};
    // A negative zero (a default of 0 stored negated) is written as zero.
    if (value == 0)
        value = 0.0;
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::string();
}

std::string FormatValueLine(const std::vector<LineValue>& values) {
    std::string line;
    bool first = true;
    for (const LineValue& value : values) {
        if (!first)
            line.push_back(',');
        first = false;
        std::visit(Overloaded{
                       [](const LineValue::Empty&) {},
                       [&](const std::string& text) { line += '"' + StorableText(text) + '"'; },
                       [&](double number) { line += ShortestNumberText(number); },
                       [&](int64_t number) { line += std::to_string(number); },
                       [&](const Date& date) {
                           char buffer[48];
                           std::snprintf(buffer, sizeof buffer, "#%04d-%02d-%02d#", date.year,
                                         date.month, date.day);
                           line += buffer;
                       },
                       [&](const LineValue::Verbatim& text) { line += text.text; },
                   },
                   value.storage());
    }
    return line;
}

ValueReader::Field ValueReader::Next() {
    if (AtEnd()) {
        // A comma at the very end still opens one last, empty value.
        if (!endsWithComma_)
            throw ValueReadError("past the end of the file");
        endsWithComma_ = false;
        return Field{};
    }
    while (pos_ < text_.size() && IsBlank(text_[pos_]))
        ++pos_;

    Field field;
    size_t start = pos_;
    if (pos_ < text_.size() && text_[pos_] == '"') {
        size_t close = text_.find('"', pos_ + 1);
        if (close == std::string::npos)
            throw ValueReadError("a text without its closing quote");
        field.text = std::string_view(text_).substr(pos_ + 1, close - pos_ - 1);
        field.quoted = true;
        pos_ = close + 1;
        // Anything between the closing quote and the separator is passed over.
        while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '\r' &&
               text_[pos_] != '\n')
            ++pos_;
    } else {
        while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '\r' &&
               text_[pos_] != '\n')
            ++pos_;
        field.text = Trim(std::string_view(text_).substr(start, pos_ - start));
    }

    // Consume the one separator that ends the value: a comma or a line end.
    if (pos_ < text_.size()) {
        if (text_[pos_] == ',') {
            ++pos_;
            endsWithComma_ = AtEnd();
        } else if (text_[pos_] == '\r') {
            ++pos_;
            if (pos_ < text_.size() && text_[pos_] == '\n')
                ++pos_;
        } else {
            ++pos_;
        }
    }
    return field;
}

std::string ValueReader::ReadText() {
    return Cp932ToUtf8(Next().text);
}

std::string ValueReader::ReadText(bool& whole) {
    return Cp932ToUtf8(Next().text, whole);
}

double ValueReader::ReadNumber() {
    Field field = Next();
    if (field.quoted)
        throw ValueReadError("a text where a number belongs");
    std::string_view text = field.text;
    if (text.empty())
        return 0;
    bool negative = false;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    // Only plain decimal and exponent forms: no "inf", "nan" or hexadecimal.
    if (text.empty() || !((text[0] >= '0' && text[0] <= '9') || text[0] == '.'))
        throw ValueReadError("not a number");
    for (char c : text) {
        bool allowed =
            (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-';
        if (!allowed)
            throw ValueReadError("not a number");
    }
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        throw ValueReadError("not a number");
    return negative ? -value : value;
}

int64_t ValueReader::ReadWhole(int64_t min, int64_t max) {
    double value = ReadNumber();
    double rounded = std::nearbyint(value);  // the default rounding: halves to even
    if (!(rounded >= static_cast<double>(min) && rounded <= static_cast<double>(max)))
        throw ValueReadError("a whole number out of range");
    return static_cast<int64_t>(rounded);
}

int ValueReader::ReadInteger() {
    return static_cast<int>(ReadWhole(-32768, 32767));
}

int32_t ValueReader::ReadLong() {
    return static_cast<int32_t>(ReadWhole(INT32_MIN, INT32_MAX));
}

Date ValueReader::ReadDate() {
    Field field = Next();
    std::string_view text = field.text;
    if (!field.quoted && text.empty())
        return Date{};
    if (field.quoted || text.size() < 2 || text.front() != '#' || text.back() != '#')
        throw ValueReadError("not a date");
    text = Trim(text.substr(1, text.size() - 2));
    size_t blank = text.find(' ');
    if (blank != std::string_view::npos)
        text = text.substr(0, blank);
    size_t dash1 = text.find('-');
    size_t dash2 = dash1 == std::string_view::npos ? dash1 : text.find('-', dash1 + 1);
    Date date;
    if (dash2 == std::string_view::npos || !ParseInt(text.substr(0, dash1), date.year) ||
        !ParseInt(text.substr(dash1 + 1, dash2 - dash1 - 1), date.month) ||
        !ParseInt(text.substr(dash2 + 1), date.day) || !IsValidDate(date))
        throw ValueReadError("not a date");
    return date;
}

void ValueReader::Skip() {
    Next();
}
