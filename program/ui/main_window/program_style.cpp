#include "ui/main_window/program_style.h"

#include <QApplication>
#include <QFont>
#include <QProxyStyle>
#include <QStyleFactory>

namespace {

class PlainButtonsStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

void UseProgramStyle(QApplication& app) {
    if (dynamic_cast<PlainButtonsStyle*>(app.style()) != nullptr)
        return;
    // The application takes ownership of the new style and the proxy of the
    // base style it wraps.
    app.setStyle(new PlainButtonsStyle(QStyleFactory::create(app.style()->name())));
}

void UseProgramFonts(QApplication& app) {
    // The desktop's size, the Japanese face: without it a desktop in another
    // language takes Latin letters and digits from its own face and only the
    // kana from a Japanese one.
    QFont font = app.font();
    font.setFamilies({QStringLiteral("IPAGothic")});
    font.setStyleHint(QFont::SansSerif);
    app.setFont(font);
}
