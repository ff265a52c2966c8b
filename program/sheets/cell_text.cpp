#include "sheets/cell_text.h"

#include "core/codepage.h"
#include "sheets/sheet_context.h"

void DrawCellText(clsStrMeta& canvas, double x1, double x2, double y, const std::string& text) {
    int n = Cp932Length(text);
    if (n == 0)
        return;
    double pitch = (x2 - x1) / n;
    if (pitch < 1) {
        canvas.PicFont("", pitch, 1.0, 0);
        canvas.PicTextT(x1, y, text, kBlack);
    } else {
        canvas.PicTextT(x1 + ((x2 - x1) - n) / 2, y, text, kBlack);
    }
    canvas.PicFont("", 1.0, 1.0, 0);
}

void DrawCellTextB(clsStrMeta& canvas, double x, double y, const std::string& text) {
    canvas.PicFont("", 0.5, 0.5, 0);
    canvas.PicTextT(x, y, text, kBlack);
    canvas.PicFont("", 1.0, 1.0, 0);
}
