#include "sheets/result_sheet.h"

#include <algorithm>
#include <cstdio>

#include "core/codepage.h"
#include "core/format.h"
#include "core/text_helpers.h"
#include "sheets/cell_text.h"
#include "sheets/sheet_context.h"

namespace {

// The columns of the table. Head lines stand at row y1 + offset, or y0 +
// offset for the lines over the full-height heads; narrowed lines keep 0.3
// column off both sides.
struct HeadLine {
    const char* text;
    double offset;
    bool narrow = false;
    bool fromTableTop = false;
};

using ValueOf = double (*)(const CalcPoint&, const CalcResult&);

enum class Mark { kNone, kSquared, kFootnote };

struct Column {
    std::vector<HeadLine> heads;
    ValueOf value;
    const char* pattern;
    bool blankZero = false;
    Mark mark = Mark::kNone;  // raised "2" after "(kN/m )", or the "(*)" of FL
};

constexpr const char* kStressUnit = "(kN/m )";

// clang-format off
const Column kDepth{{{"計算", 1.5}, {"深度", 3}, {"GL-", 5}, {"(m)", 6}},
                    [](const CalcPoint& p, const CalcResult&) { return p.Depth; }, "##0.#0"};
const Column kN{{{"N値", 3}, {"(回)", 6}},
                [](const CalcPoint& p, const CalcResult&) { return p.N; }, "##0"};
const Column kFC{{{"細粒分", 1.5}, {"含有率", 3}, {"FC", 5}, {"(%)", 6}},
                 [](const CalcPoint& p, const CalcResult&) { return p.FC; }, "##0.0"};
const Column kCC{{{"粘土", 1.5}, {"含有率", 3}, {"CC", 5}, {"(%)", 6}},
                 [](const CalcPoint& p, const CalcResult&) { return p.CC; }, "##0.0"};
const Column kIp{{{"塑性", 1.5}, {"指数", 3}, {"Ip", 5}, {"(%)", 6}},
                 [](const CalcPoint& p, const CalcResult&) { return p.Ip; }, "##0.0"};
// From σz on, always shown.
const Column kTail[] = {
    {{{"全土", 1.5}, {"被り圧", 3, true}, {"σz", 5}, {kStressUnit, 6, true}},
     [](const CalcPoint& p, const CalcResult&) { return p.SigmaZ; }, "##0.0", false, Mark::kSquared},
    {{{"有効土", 1.5}, {"被り圧", 3, true}, {"σ'z", 5}, {kStressUnit, 6, true}},
     [](const CalcPoint& p, const CalcResult&) { return p.SigmaZe; }, "##0.0", false, Mark::kSquared},
    {{{"補正", 1.5}, {"係数", 3}, {"γn", 5}},
     [](const CalcPoint&, const CalcResult& r) { return r.rn; }, "##0.#0"},
    {{{"低減", 1.5}, {"係数", 3}, {"γd", 5}},
     [](const CalcPoint&, const CalcResult& r) { return r.rd; }, "##0.#0"},
    {{{"応力", 1.5}, {"振幅", 3}, {"τd", 5}, {kStressUnit, 6, true}},
     [](const CalcPoint&, const CalcResult& r) { return r.tauD; }, "##0.#0", false, Mark::kSquared},
    {{{"応力比", 1.5}, {"τd/σ'z", 5, true}},
     [](const CalcPoint&, const CalcResult& r) { return r.tauDRatio; }, "#0.##0"},
    {{{"換算", 1.5}, {"N値", 2.5}, {"係数", 3.5}, {"CN", 5}},
     [](const CalcPoint&, const CalcResult& r) { return r.cn; }, "#0.##0"},
    {{{"換算", 1.5}, {"N値", 3}, {"N1", 5}},
     [](const CalcPoint&, const CalcResult& r) { return r.n1; }, "##0.#0"},
    {{{"補正", 1.5}, {"N値", 2.5}, {"増分", 3.5}, {"ΔNf", 5}},
     [](const CalcPoint&, const CalcResult& r) { return r.deltaNf; }, "##0.#0"},
    {{{"補正", 1.5}, {"N値", 3}, {"Na", 5}},
     [](const CalcPoint&, const CalcResult& r) { return r.na; }, "##0.#0"},
    {{{"液状化", 1.5}, {"抵抗", 3}, {"τl", 5}, {kStressUnit, 6, true}},
     [](const CalcPoint&, const CalcResult& r) { return r.tauL; }, "##0.#0", false, Mark::kSquared},
    {{{"抵抗比", 1.5}, {"τl/σ'z", 5, true}},
     [](const CalcPoint&, const CalcResult& r) { return r.tauLRatio; }, "#0.##0"},
    {{{"Fl", 5}},
     [](const CalcPoint&, const CalcResult& r) { return r.fl; }, "##0.#0", false, Mark::kFootnote},
    {{{"⊿変位", 3, true}, {"⊿Dcy", 5, true}, {"(cm)", 6, true}},
     [](const CalcPoint&, const CalcResult& r) { return r.dcyShare; }, "##0.#0", true},
    {{{"指標", 3, true}, {"⊿PL", 5, true}},
     [](const CalcPoint&, const CalcResult& r) { return r.plShare; }, "##0.#0", true},
    {{{"反力係数", 3, true, true}, {"の低減", 4, true, true}, {"係数", 5, true, true}, {"β", 5}},
     [](const CalcPoint&, const CalcResult& r) { return r.beta; }, "#0.##0"},
};
// clang-format on

// The columns shown, left to right.
std::vector<const Column*> ShownColumns(const ResultSheetLayout& layout) {
    std::vector<const Column*> columns = {&kDepth, &kN, &kFC};
    if (layout.showCC)
        columns.push_back(&kCC);
    if (layout.showIp)
        columns.push_back(&kIp);
    for (const Column& c : kTail)
        columns.push_back(&c);
    return columns;
}

// The three column sets by the number of soil-property columns shown.
struct ColumnSet {
    double firstWidth;
    double width;
    int lastCol;
    std::array<int, 7> groups;
};
constexpr ColumnSet kColumnSets[] = {
    {7.46, 7.33, 19, {3, 9, 15, 16, 17, 18, 19}},
    {7.1, 6.97, 20, {4, 10, 16, 17, 18, 19, 20}},
    {6.74, 6.61, 21, {5, 11, 17, 18, 19, 20, 21}},
};

constexpr double kTableLeft = 0.3;
constexpr double kHeadColumn = 0.8;    // the bracketed heads
constexpr double kLabelColumn = 25.8;  // labels and sentences
constexpr double kColonColumn = 45.8;
constexpr double kValueColumn = 48.8;
constexpr double kExclusionColumn = 5.8;
constexpr int kFirstConditionRow = 3;

constexpr std::int32_t kThickPen = 40;
constexpr std::int32_t kThinPen = 10;

bool AnyExclusion(const CalcConditions& c) {
    return c.excludeClay20 == 1 || c.excludeFines35 == 1 || c.excludeFinesPlastic == 1;
}

int ShownPoints(const Document& doc) {
    return static_cast<int>(std::count_if(doc.calcPoints.begin(), doc.calcPoints.end(),
                                          [](const CalcPoint& p) { return p.N != 0; }));
}

// The number as plain decimal text: 7.5 gives "7.5", 200 gives "200".
std::string PlainNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

void Line(clsStrMeta& canvas, double x1, double y1, double x2, double y2) {
    const double xs[] = {x1, x2};
    const double ys[] = {y1, y2};
    canvas.PicLineT(2, xs, ys);
}

void DrawFrameLines(clsStrMeta& canvas, const ResultSheetLayout& layout) {
    const std::vector<double>& x = layout.colX;
    const std::vector<double>& y = layout.rowY;
    const int w = layout.lastCol;
    const double bottom = layout.Bottom();

    canvas.PicPen(kPenSolid, kThickPen, kBlack);
    const double xs[] = {x[0], x[w], x[w], x[0]};
    const double ys[] = {y[0], y[0], bottom, bottom};
    canvas.PicPolyT(4, xs, ys);
    Line(canvas, x[0], y[2], x[w], y[2]);

    canvas.PicPen(kPenSolid, kThinPen, kBlack);
    Line(canvas, x[0], y[1], x[w - 4], y[1]);

    for (int k = 1; k <= w - 1; ++k) {
        bool group = std::find(layout.groupCol.begin(), layout.groupCol.begin() + 6, k) !=
                     layout.groupCol.begin() + 6;
        if (group) {
            canvas.PicPen(kPenSolid, kThickPen, kBlack);
            Line(canvas, x[k], y[0], x[k], bottom);
        } else {
            canvas.PicPen(kPenSolid, kThinPen, kBlack);
            Line(canvas, x[k], y[1], x[k], bottom);
        }
    }
    canvas.PicPen(kPenSolid, kThickPen, kBlack);
}

// Condition, exclusion and judgement rows; gives nothing back, the rows are
// fixed by the conditions.
void DrawConditions(clsStrMeta& canvas, const Document& doc) {
    const CalcConditions& c = doc.calcConditions;
    int row = kFirstConditionRow;

    canvas.PicTextT(kHeadColumn, row, "(計算条件)", kBlack);
    canvas.PicTextT(kLabelColumn, row, "マグニチュード", kBlack);
    canvas.PicTextT(kColonColumn, row, "： ", kBlack);
    canvas.PicTextT(kValueColumn, row, PlainNumber(c.magnitude), kBlack);
    ++row;

    std::string accel = PlainNumber(c.surfaceAccel);
    canvas.PicTextT(kLabelColumn, row, "設計用水平加速度", kBlack);
    canvas.PicTextT(kColonColumn, row, "： ", kBlack);
    canvas.PicTextT(kValueColumn, row, accel + "(cm/s )", kBlack);
    // The "2" of s² stands on the blank inside the unit.
    DrawCellTextB(canvas, kValueColumn + Cp932Length(accel) + 5, row, "2");
    ++row;

    canvas.PicTextT(kLabelColumn, row, "基点-計算深さ", kBlack);
    canvas.PicTextT(kColonColumn, row, "： ", kBlack);
    canvas.PicTextT(kValueColumn, row, PlainNumber(c.calcDepth) + "(m)", kBlack);
    ++row;

    canvas.PicTextT(kHeadColumn, row, "(計算範囲条件)", kBlack);
    canvas.PicTextT(
        kLabelColumn, row,
        c.calcRange == 1 ? "計算深さまでの全域を対象として計算を行う" : "地下水位以浅は計算しない",
        kBlack);
    ++row;

    canvas.PicTextT(kHeadColumn, row, "(地盤反力係数の低減率)", kBlack);
    canvas.PicTextT(kLabelColumn, row,
                    c.guideEdition == 0 ? "建築基礎構造設計指針：□2001年版  ■1988年版 （■に準拠）"
                                        : "建築基礎構造設計指針：■2001年版  □1988年版 （■に準拠）",
                    kBlack);
    ++row;

    if (AnyExclusion(c)) {
        canvas.PicTextT(kHeadColumn, row++, "(土質定数による対象除外条件)", kBlack);
        if (c.excludeClay20 == 1)
            canvas.PicTextT(kExclusionColumn, row++, "・粘土含有率20%以上の層は対象外とする",
                            kBlack);
        if (c.excludeFines35 == 1)
            canvas.PicTextT(kExclusionColumn, row++,
                            "・細粒分含有率35%以上の全ての層は対象外とする", kBlack);
        if (c.excludeFinesPlastic == 1)
            canvas.PicTextT(kExclusionColumn, row++,
                            "・細粒分含有率35%以上で粘土含有率10%以上あるいは塑性指数15%"
                            "以上の層は対象外とする",
                            kBlack);
    }

    canvas.PicTextT(kHeadColumn, row, "(液状化の安全率)", kBlack);
    canvas.PicTextT(kLabelColumn, row, FlJudgement(doc), kBlack);
    ++row;

    // The totals stand in the last point's result.
    const bool totals = !doc.calcPoints.empty() && !doc.calcResults.empty();
    if (totals) {
        canvas.PicTextT(kHeadColumn, row, "(液状化の程度)", kBlack);
        canvas.PicTextT(kLabelColumn, row, DcySentence(doc.calcResults.back().DcyTotal), kBlack);
    }
    ++row;
    if (totals) {
        canvas.PicTextT(kHeadColumn, row, "(液状化危険度指標)", kBlack);
        canvas.PicTextT(kLabelColumn, row, PlSentence(doc.calcResults.back().PLTotal), kBlack);
    }
}

void DrawHeads(clsStrMeta& canvas, const ResultSheetLayout& layout) {
    const std::vector<double>& x = layout.colX;
    const double y0 = layout.rowY[0];
    const double y1 = layout.rowY[1];
    const std::array<int, 7>& g = layout.groupCol;

    DrawCellText(canvas, x[0], x[g[0]], y0 + 1.5, "計算条件");
    DrawCellText(canvas, x[g[0]], x[g[1]], y0 + 1.5, "等価繰返しせん断応力比");
    DrawCellText(canvas, x[g[1]], x[g[2]], y0 + 1.5, "液状化抵抗比");
    DrawCellText(canvas, x[g[2]], x[g[3]], y0 + 3.5, "安全率");
    DrawCellText(canvas, x[g[3]], x[g[4]], y0 + 3.5, "繰返し");
    DrawCellText(canvas, x[g[4]], x[g[5]], y0 + 3.5, "危険度");
    DrawCellText(canvas, x[g[5]] + 0.3, x[g[6]] - 0.3, y0 + 2, "水平地盤");

    std::vector<const Column*> columns = ShownColumns(layout);
    for (std::size_t k = 0; k < columns.size(); ++k) {
        const double left = x[k];
        const double right = x[k + 1];
        for (const HeadLine& head : columns[k]->heads) {
            double inset = head.narrow ? 0.3 : 0.0;
            double row = (head.fromTableTop ? y0 : y1) + head.offset;
            DrawCellText(canvas, left + inset, right - inset, row, head.text);
        }
        const double centre = (left + right) / 2;
        if (columns[k]->mark == Mark::kSquared)
            DrawCellTextB(canvas, centre + 1.5 * MinOf(1.0, (right - left - 0.6) / 7), y1 + 6, "2");
        else if (columns[k]->mark == Mark::kFootnote)
            DrawCellTextB(canvas, centre + 1.2, y1 + 5, "(*)");
    }
}

}  // namespace

std::string FlJudgement(const Document& doc) {
    std::size_t count = std::min(doc.calcPoints.size(), doc.calcResults.size());
    for (std::size_t i = 0; i < count; ++i)
        if (doc.calcPoints[i].N != 0 && doc.calcResults[i].fl < 1)
            return "Fl値が1未満の層があり液状化の可能性がある";
    return "Fl値が1未満の層はなくFl値からは液状化の可能性はないと判断できる";
}

std::string DcySentence(double dcyTotal) {
    return "Dcy=" + FormatFixed(dcyTotal, "##0.#0") + "(cm)  液状化の程度は" + DcyGrade(dcyTotal);
}

std::string PlSentence(double plTotal) {
    return "PL =" + FormatFixed(plTotal, "##0.#0") + "      液状化の危険度は" + PlGrade(plTotal);
}

ResultSheetLayout LayoutResultSheet(const Document& doc, int maxRow) {
    ResultSheetLayout layout;
    layout.showCC = doc.layerColumnUsed[3] == 1;
    layout.showIp = doc.layerColumnUsed[4] == 1;

    const ColumnSet& set = kColumnSets[(layout.showCC ? 1 : 0) + (layout.showIp ? 1 : 0)];
    layout.lastCol = set.lastCol;
    layout.groupCol = set.groups;
    layout.colX.resize(set.lastCol + 1);
    layout.colX[0] = kTableLeft;
    layout.colX[1] = kTableLeft + set.firstWidth;
    for (int k = 2; k <= set.lastCol; ++k)
        layout.colX[k] = layout.colX[k - 1] + set.width;

    const int n = ShownPoints(doc);
    const double y0 = AnyExclusion(doc.calcConditions) ? 13.5 : 10.5;
    const double y1 = y0 + 2;
    const double y2 = y1 + 6.5;
    // Rows are 2 high unless they would run below the last row the table may
    // take (the note and the footer need the rest); then they share the space
    // evenly, which only ever makes them lower.
    const double lastRow = maxRow - 9 - 2;
    double pitch = 2;
    if (n > 0 && y2 + n * pitch > lastRow)
        pitch = std::max(0.0, (lastRow - y2) / n);
    layout.rowY = {y0, y1, y2};
    for (int r = 1; r <= n; ++r)
        layout.rowY.push_back(y2 + r * pitch);
    return layout;
}

ResultSheetLayout DrawResultSheetFrame(clsStrMeta& canvas, const Document& doc) {
    ResultSheetLayout layout = LayoutResultSheet(doc, canvas.lMaxRow);
    DrawFrameLines(canvas, layout);
    DrawConditions(canvas, doc);

    // The mark goes on after the note, whose opaque leading blank would
    // otherwise cover the mark's closing bracket.
    const double noteRow = layout.Bottom() + 1.5;
    canvas.PicTextT(4.8, noteRow,
                    " Fl値が1より大きい土層は液状化発生の可能性がないものと判断し、"
                    "逆に1以下はその可能性があると判断する.",
                    kBlack);
    DrawCellTextB(canvas, 3.8, noteRow, "(*)");

    DrawHeads(canvas, layout);
    return layout;
}

void DrawResultTable(clsStrMeta& canvas, const Document& doc, const ResultSheetLayout& layout) {
    const std::vector<const Column*> columns = ShownColumns(layout);
    const std::vector<double>& x = layout.colX;
    const std::vector<double>& y = layout.rowY;
    const std::size_t count = std::min(doc.calcPoints.size(), doc.calcResults.size());
    std::size_t r = 2;
    for (std::size_t i = 0; i < count && r + 1 < y.size(); ++i) {
        const CalcPoint& point = doc.calcPoints[i];
        if (point.N == 0)
            continue;
        ++r;
        const double row = (y[r - 1] + y[r]) / 2 + 0.5;
        for (std::size_t k = 0; k < columns.size(); ++k) {
            const Column& column = *columns[k];
            double value = column.value(point, doc.calcResults[i]);
            std::string text = column.blankZero ? FormatFixedBlankZero(value, column.pattern, 1)
                                                : FormatFixed(value, column.pattern);
            DrawCellText(canvas, x[k], x[k + 1], row, text);
        }
    }
}
