#include "ui/number_text.h"

#include <QString>
#include <cctype>
#include <charconv>
#include <cmath>

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

namespace {

// Length of the number at `start`, 0 when there is none.
size_t NumberLength(const std::string& text, size_t start) {
    size_t i = start;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
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
        size_t expDigits = 0;
        while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) {
            ++j;
            ++expDigits;
        }
        if (expDigits > 0)
            i = j;
    }
    return i - start;
}

size_t SkipBlanks(const std::string& text, size_t i) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    return i;
}

}  // namespace

double LeadingNumber(const std::string& text) {
    return ReadLeadingNumber(text).value_or(0);
}

std::optional<double> ReadLeadingNumber(const std::string& text) {
    size_t start = SkipBlanks(text, 0);
    size_t length = NumberLength(text, start);
    if (length == 0)
        return std::nullopt;
    // from_chars reads no "+" and ignores the locale.
    if (text[start] == '+') {
        ++start;
        --length;
    }
    double value = 0;
    const std::errc error =
        std::from_chars(text.data() + start, text.data() + start + length, value).ec;
    if (error != std::errc() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Full-width digits, signs, point, exponent letters and blanks, as a Japanese
// input method may type them, become their half-width forms.
std::string HalfWidthNumberText(const std::string& text) {
    QString in = QString::fromStdString(text);
    QString out;
    for (QChar ch : in) {
        char16_t c = ch.unicode();
        if (c >= u'０' && c <= u'９')
            out += QChar(u'0' + (c - u'０'));
        else if (c == u'．')
            out += u'.';
        else if (c == u'－' || c == u'−')
            out += u'-';
        else if (c == u'＋')
            out += u'+';
        else if (c == u'ｅ' || c == u'Ｅ')
            out += u'E';
        else if (c == u'　')
            out += u' ';
        else
            out += ch;
    }
    return out.toStdString();
}
