#include "sheets/soil_const_table.h"

#include <cmath>

#include "core/format.h"
#include "sheets/cell_text.h"
#include "sheets/log_sheet_panels.h"
#include "sheets/soil_const_items.h"

namespace {

void Line(clsStrMeta& canvas, double x1, double y1, double x2, double y2) {
    const double xs[] = {x1, x2};
    const double ys[] = {y1, y2};
    canvas.PicLineT(2, xs, ys);
}

}  // namespace

void DrawSoilConstTable(clsStrMeta& canvas, const SheetLayout& layout, const Document& doc,
                        const PrintItemFlags& items) {
    PrintItemFlags chosen = EffectiveItems(doc, items);
    std::size_t m = static_cast<std::size_t>(CountItems(chosen));
    if (m == 0)
        return;
    // Fines content entered on the N rows takes column 9 at the rows' depths;
    // the layer values then start in column 10.
    bool fcFromRows = ItemChosen(chosen, kItemFC) && doc.fcInputMode == 1;
    std::size_t first = fcFromRows ? 10 : 9;
    std::size_t end = 9 + m;

    canvas.PicPen(kPenSolid, 1, kBlack);
    if (first < end) {
        int last = LastDrawnLayer(doc);
        double top = 0;
        for (int i = 0; i <= last; ++i) {
            const LayerRecord& layer = doc.layers[static_cast<std::size_t>(i)];
            if (!(layer.Thickness > 0))
                continue;
            if (!(top < layout.depthRange))
                break;  // the rest lies below the foot of the sheet
            double bottom = i == last ? layout.depthRange : top + layer.Thickness;
            VisibleLayer shown(layout, top, bottom);
            double ym = shown.ym;
            if (shown.EndsOnSheet())
                Line(canvas, layout.X(first), shown.yb, layout.X(end), shown.yb);
            std::size_t c = first;
            for (const SoilConstItem& item : SoilConstItems()) {
                if (!ItemChosen(chosen, item.item) || (item.item == kItemFC && fcFromRows))
                    continue;
                double value = layer.Constant(item.item);
                if (item.magnitude)
                    value = std::fabs(value);
                if (value != 0)
                    DrawCellText(canvas, layout.X(c) + 0.3, layout.X(c + 1) - 0.3, ym + 0.5,
                                 FormatFixed(value, item.format));
                ++c;
            }
            top = bottom;
        }
    }

    if (fcFromRows) {
        for (const NPoint& p : doc.nPoints) {
            if (p.FC == 0 || p.Depth < 0 || !(p.Depth <= layout.depthRange))
                continue;
            DrawCellText(canvas, layout.X(9) + 0.3, layout.X(10) - 0.3,
                         layout.DepthRow(p.Depth) + 0.5, FormatFixed(p.FC, "##0.0"));
        }
    }
}
