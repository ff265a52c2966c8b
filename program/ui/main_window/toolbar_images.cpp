#include "ui/main_window/toolbar_images.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>
#include <iterator>

namespace {

// Colours of the 16-colour palette the images keep to.
const QColor kBlack(0, 0, 0);
const QColor kGray(128, 128, 128);
const QColor kWhite(255, 255, 255);
const QColor kNavy(0, 0, 128);
const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 128, 0);
const QColor kYellow(255, 255, 0);
const QColor kOlive(128, 128, 0);

void Page(QPainter& p, int x, int y, int w, int h) {
    p.setPen(kBlack);
    p.setBrush(kWhite);
    p.drawRect(x, y, w, h);
    p.setPen(kGray);
    for (int line = y + 3; line < y + h - 1; line += 2)
        p.drawLine(x + 2, line, x + w - 2, line);
}

// A grid row: three cells, the middle row marked.
void Rows(QPainter& p) {
    p.setPen(kGray);
    p.setBrush(kWhite);
    for (int r = 0; r < 3; ++r)
        p.drawRect(1, 2 + 4 * r, 9, 4);
    p.fillRect(2, 7, 8, 3, kNavy);
}

void Plus(QPainter& p, QColor c) {
    p.setPen(QPen(c, 2));
    p.drawLine(12, 5, 12, 11);
    p.drawLine(9, 8, 15, 8);
}

void Minus(QPainter& p, QColor c) {
    p.setPen(QPen(c, 2));
    p.drawLine(10, 8, 15, 8);
}

void Cross(QPainter& p, int x, int y, int size) {
    p.setPen(QPen(kRed, 2));
    p.drawLine(x, y, x + size, y + size);
    p.drawLine(x + size, y, x, y + size);
}

void DownArrow(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRect(5, 1, 4, 8);
    QPolygon head;
    head << QPoint(1, 9) << QPoint(13, 9) << QPoint(7, 15);
    p.drawPolygon(head);
}

void Draw(QPainter& p, int resource) {
    switch (resource) {
        case 131:  // new
            Page(p, 3, 1, 10, 14);
            break;
        case 132:  // open
            p.setPen(kBlack);
            p.setBrush(kOlive);
            p.drawRect(1, 4, 13, 10);
            p.setBrush(kYellow);
            p.drawPolygon(QPolygon({QPoint(3, 7), QPoint(15, 7), QPoint(13, 14), QPoint(1, 14)}));
            break;
        case 133:  // save
        case 134:  // save as
            p.setPen(kBlack);
            p.setBrush(kNavy);
            p.drawRect(1, 1, 13, 13);
            p.fillRect(4, 2, 8, 5, kWhite);
            p.fillRect(5, 10, 6, 4, kGray);
            if (resource == 134) {
                p.setPen(QPen(kRed, 2));
                p.drawLine(9, 14, 15, 8);
            }
            break;
        case 142:  // print
            Page(p, 4, 1, 8, 6);
            p.setPen(kBlack);
            p.setBrush(kGray);
            p.drawRect(1, 7, 14, 6);
            p.fillRect(3, 12, 10, 3, kWhite);
            break;
        case 124:  // copy
            Page(p, 1, 1, 8, 10);
            Page(p, 6, 5, 8, 10);
            break;
        case 125:  // paste
            p.setPen(kBlack);
            p.setBrush(kOlive);
            p.drawRect(1, 2, 10, 12);
            Page(p, 6, 5, 8, 10);
            break;
        case 120:  // clear
            Page(p, 1, 1, 10, 13);
            Cross(p, 7, 7, 7);
            break;
        case 1232:  // cut row
            Rows(p);
            Cross(p, 10, 5, 5);
            break;
        case 1242:  // copy row
            Rows(p);
            Page(p, 10, 6, 5, 8);
            break;
        case 1252:  // paste row
            Rows(p);
            p.setPen(kBlack);
            p.setBrush(kOlive);
            p.drawRect(10, 5, 5, 9);
            break;
        case 1212:  // insert row
            Rows(p);
            Plus(p, kGreen);
            break;
        case 1202:  // clear row
            Rows(p);
            p.setPen(QPen(kWhite, 1));
            p.fillRect(2, 7, 8, 3, kWhite);
            Cross(p, 11, 6, 4);
            break;
        case 1222:  // delete row
            Rows(p);
            Minus(p, kRed);
            break;
        case 126:  // copy down
            DownArrow(p);
            break;
        case 127:  // delete to the end
            DownArrow(p);
            Cross(p, 9, 9, 6);
            break;
        case 181:  // settings
            p.setPen(QPen(kBlack, 1));
            p.setBrush(kGray);
            p.drawEllipse(2, 2, 12, 12);
            p.setBrush(kWhite);
            p.drawEllipse(5, 5, 6, 6);
            break;
        case 139: {  // help
            QFont font = p.font();
            font.setPixelSize(14);
            font.setBold(true);
            p.setFont(font);
            p.setPen(kBlue);
            p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
            break;
        }
        default:
            break;
    }
}

}  // namespace

namespace {

// Draws a button's image afresh at every size asked for, so that on a screen
// of 1.5 or 2 device pixels per pixel the lines stay sharp instead of being
// blown up from 16 x 16 pixels.
class DrawnImage : public QIconEngine {
  public:
    explicit DrawnImage(int resource) : resource_(resource) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio =
            painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1;
        QPixmap image = pixmap(rect.size() * ratio, mode, state);
        image.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, image);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        (void)state;
        QPixmap image(size);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            p.scale(size.width() / 16.0, size.height() / 16.0);
            Draw(p, resource_);
        }
        if (mode == QIcon::Normal || mode == QIcon::Active)
            return image;
        QStyleOption option;
        option.palette = QApplication::palette();
        return QApplication::style()->generatedIconPixmap(mode, image, &option);
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }

    QIconEngine* clone() const override { return new DrawnImage(resource_); }

  private:
    int resource_;
};

}  // namespace

QIcon ToolbarImage(int resource) {
    constexpr int kKnown[] = {131,  132,  133,  134,  142,  124, 125, 120, 1232,
                              1242, 1252, 1212, 1202, 1222, 126, 127, 181, 139};
    if (std::find(std::begin(kKnown), std::end(kKnown), resource) == std::end(kKnown))
        return QIcon();
    return QIcon(new DrawnImage(resource));
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.scale(size / 32.0, size / 32.0);
        // Fill above, sand with its dots below, framed like the sheet's column.
        p.fillRect(8, 2, 16, 9, QColor(160, 110, 60));
        p.fillRect(8, 11, 16, 19, kYellow);
        p.setPen(kBlack);
        for (int y = 14; y < 30; y += 4)
            for (int x = 10 + (y / 4) % 2 * 2; x < 24; x += 4)
                p.drawPoint(x, y);
        p.setBrush(Qt::NoBrush);
        p.drawRect(8, 2, 16, 28);
        p.drawLine(8, 11, 24, 11);
        // The water level mark beside the column.
        p.setPen(QPen(kBlue, 2));
        p.drawLine(25, 14, 31, 14);
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        QPolygon mark;
        mark << QPoint(28, 13) << QPoint(25, 8) << QPoint(31, 8);
        p.drawPolygon(mark);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
