#include "sheets/log_sheet_frame.h"

#include <algorithm>
#include <array>

#include "core/format.h"
#include "core/text_number.h"
#include "sheets/cell_text.h"
#include "sheets/soil_const_items.h"

namespace {

// Nominal widths of columns 0..8; each soil-constant column is 5 wide.
constexpr std::array<double, 9> kNominalWidths{5, 7, 7, 9, 21, 5, 8, 32.5, 5.2};
constexpr double kConstWidth = 5;
constexpr double kScreenSheetWidth = 139.4;
constexpr double kPageFixedWidth = 99.4;

constexpr std::int32_t kThick = 40;
constexpr std::int32_t kThin = 10;

void Line(clsStrMeta& canvas, double x1, double y1, double x2, double y2) {
    const double xs[] = {x1, x2};
    const double ys[] = {y1, y2};
    canvas.PicLineT(2, xs, ys);
}

void DrawRules(clsStrMeta& canvas, const SheetLayout& l) {
    std::size_t n = l.colX.size() - 1;
    double top = l.rowY[0];
    double bottom = l.rowY[3];
    canvas.PicPen(kPenSolid, kThick, kBlack);
    const double xs[] = {l.X(0), l.X(n), l.X(n), l.X(0)};
    const double ys[] = {top, top, bottom, bottom};
    canvas.PicPolyT(4, xs, ys);
    Line(canvas, l.X(0), l.rowY[2], l.X(n), l.rowY[2]);
    for (std::size_t k = 1; k < n; ++k) {
        if (k == 10)
            canvas.PicPen(kPenSolid, kThin, kBlack);
        double from = (k == 7 || k == 8) ? l.rowY[1] : top;
        Line(canvas, l.X(k), from, l.X(k), bottom);
    }
    canvas.PicPen(kPenSolid, kThick, kBlack);
    Line(canvas, l.X(6), l.rowY[1], l.X(9), l.rowY[1]);
}

void DrawHeaderBlock(clsStrMeta& canvas, const SheetLayout& l, const BasicData& b) {
    double x0 = l.X(0);
    double top = l.rowY[0];
    auto text = [&](double dx, double dy, const std::string& s) {
        canvas.PicTextT(x0 + dx, top + dy, s, kBlack);
    };
    text(0.5, -3.5, "工事名： " + b.ProjectName);
    text(0.5, -2.5, "略　称： " + b.ShortName);
    text(0.5, -1.5, "調査地： " + b.Site);
    text(60.5, -1.5, "調査年月日: " + FormatFixed(b.SurveyFrom, "yyyy/mm/dd") + "～");
    text(85.5, -1.5, FormatFixed(b.SurveyTo, "yyyy/mm/dd"));
    text(0.5, -0.5, "基点-設計GL：" + FormatShortestNumber(b.DatumToGL) + "(m)");
    text(25.5, -0.5, "基点-孔内水位レベル：" + FormatShortestNumber(b.DatumToWaterLevel) + "(m)");
    text(60.5, -0.5, "基点-洪積層始点：" + FormatShortestNumber(b.DatumToDiluvium) + "(m)");
}

void DrawColumnHeads(clsStrMeta& canvas, const SheetLayout& l) {
    struct Head {
        std::size_t column;
        const char* text;
        double row;
    };
    static const Head heads[] = {
        {0, "標", 1.5}, {0, "尺", 3.0}, {0, "(m)", 4.5},                  //
        {1, "深", 1.5}, {1, "度", 3.0}, {1, "(m)", 4.5},                  //
        {2, "層", 1.5}, {2, "厚", 3.0}, {2, "(m)", 4.5},                  //
        {3, "土", 1.5}, {3, "質", 2.5}, {3, "記", 3.5},  {3, "号", 4.5},  //
        {4, "土", 1.5}, {4, "質", 3.0}, {4, "名", 4.5},                   //
        {5, "孔", 1.5}, {5, "内", 2.5}, {5, "水", 3.5},  {5, "位", 4.5},  //
    };
    static const Head nHeads[] = {{6, "Ｎ", 3.5}, {6, "値", 4.5}};
    double top = l.rowY[0];
    for (const Head& h : heads)
        DrawCellText(canvas, l.X(h.column), l.X(h.column + 1), top + h.row, h.text);
    DrawCellText(canvas, l.X(6), l.X(9), top + 1.5, "標 準 貫 入 試 験 (液 状 化 判 定)");
    for (const Head& h : nHeads)
        DrawCellText(canvas, l.X(h.column), l.X(h.column + 1), top + h.row, h.text);
    DrawCellText(canvas, l.X(8) + 0.4, l.X(9) - 0.4, top + 4.0, "(Fl値)");
}

void DrawSoilConstHeads(clsStrMeta& canvas, const SheetLayout& l, const PrintItemFlags& items) {
    double top = l.rowY[0];
    std::size_t j = 9;
    for (const SoilConstItem& item : SoilConstItems()) {
        if (!ItemChosen(items, item.item))
            continue;
        double xa = l.X(j);
        double xb = l.X(j + 1);
        for (const SoilConstHead& h : item.name)
            DrawCellText(canvas, xa, xb, top + h.row, h.text);
        if (!item.unit.empty()) {
            double inset = item.unitInset ? 0.4 : 0;
            DrawCellText(canvas, xa + inset, xb - inset, top + 4.5, item.unit);
        }
        if (!item.superscript.empty()) {
            // The blank of the unit text, centred or condensed in its cell.
            double p = std::min(1.0, (xb - xa - 0.8) / 7);
            DrawCellTextB(canvas, (xa + xb) / 2 + 1.5 * p, top + 4.5, item.superscript);
        }
        ++j;
    }
}

void DrawAxis(clsStrMeta& canvas, const SheetLayout& l, int nMax) {
    double x7 = l.X(7);
    double s = (l.X(8) - x7) / (nMax + 5);
    canvas.PicPen(kPenDot, kThin, kBlack);
    for (int n = 10; n <= nMax; n += 10) {
        double x = x7 + n * s;
        Line(canvas, x, l.rowY[2], x, l.rowY[3]);
        canvas.PicTextT(x - 1, l.rowY[2] - 0.2, FormatNumber(n, "##0"), kBlack);
        canvas.PicTextT(x - 2.5, l.rowY[2] - 1.2, FormatNumber(n / 20.0, "(#0.0)"), kBlack);
    }
    if (nMax % 10 != 0) {
        double x = x7 + nMax * s;
        Line(canvas, x, l.rowY[2], x, l.rowY[3]);
    }
    canvas.PicPen(kPenSolid, kThin, kBlack);
}

}  // namespace

int NAxisMax(const Document& doc) {
    return std::clamp(doc.nGraphMax, 10, 100);
}

void LayOutLogSheet(std::int32_t maxRow, const PrintItemFlags& effectiveItems, bool withTable,
                    SheetLayout& layout) {
    int m = withTable ? CountItems(effectiveItems) : 0;
    double top = withTable ? 6.5 : 0.1;
    double bottom = withTable ? maxRow - 2 : maxRow - 0.1;
    double w = withTable ? kPageFixedWidth + kConstWidth * m : kScreenSheetWidth;
    layout.rowY = {top, top + 1.6, top + 1.6 + 3.4, bottom};
    layout.colX.assign(1, 0.3);
    for (std::size_t k = 0; k < kNominalWidths.size() + static_cast<std::size_t>(m); ++k) {
        double nominal = k < kNominalWidths.size() ? kNominalWidths[k] : kConstWidth;
        layout.colX.push_back(layout.colX.back() + nominal * kScreenSheetWidth / w);
    }
}

void DrawLogSheetFrame(clsStrMeta& canvas, SheetLayout& layout, const Document& doc,
                       const PrintItemFlags& items, int withTable) {
    PrintItemFlags chosen = EffectiveItems(doc, items);
    LayOutLogSheet(canvas.lMaxRow, chosen, withTable == 1, layout);
    DrawRules(canvas, layout);
    if (withTable == 1)
        DrawHeaderBlock(canvas, layout, doc.basicData);
    DrawColumnHeads(canvas, layout);
    if (withTable == 1)
        DrawSoilConstHeads(canvas, layout, chosen);
    DrawAxis(canvas, layout, NAxisMax(doc));
}
