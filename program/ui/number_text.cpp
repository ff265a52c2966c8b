#include "ui/number_text.h"

#include <QString>

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
