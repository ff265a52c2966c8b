#include "ui/widgets/whole_lines_text.h"

#include <QPainter>
#include <QTextBlock>

void WholeLinesText::paintEvent(QPaintEvent* event) {
    QPlainTextEdit::paintEvent(event);
    // The first line that does not fit is covered with the box's background
    // down to the bottom, whatever scroll bars take of the height.
    const int bottom = viewport()->height();
    const QPointF offset = contentOffset();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        QRectF line = blockBoundingGeometry(block).translated(offset);
        if (line.top() >= bottom)
            return;
        if (line.bottom() > bottom) {
            QPainter painter(viewport());
            painter.fillRect(QRectF(0, line.top(), viewport()->width(), bottom - line.top()),
                             palette().brush(QPalette::Base));
            return;
        }
    }
}
