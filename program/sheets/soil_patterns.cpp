#include "sheets/soil_patterns.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "sheets/segment_clip.h"
#include "sheets/sheet_context.h"

namespace {

constexpr std::int32_t kCyan = 0xFFFF00;
constexpr std::int32_t kGreen = 0x00FF00;
constexpr std::int32_t kYellow = 0x00FFFF;
constexpr std::int32_t kMarkPen = 10;

// Rounding to the nearest integer, halves to even. A count beyond 2^53 (or
// not a number) cannot come from a cell on a page; it is held there, so that
// the conversion itself stays defined.
std::int64_t CLng(double v) {
    constexpr double kLimit = 9007199254740992.0;  // 2^53
    if (std::isnan(v))
        return 0;
    return static_cast<std::int64_t>(std::nearbyint(std::clamp(v, -kLimit, kLimit)));
}

struct Cell {
    double x1, x2, y1, y2;
    double W() const { return x2 - x1; }
    double H() const { return y2 - y1; }
    double D() const { return std::sqrt(W() * W() + H() * H()); }
};

// A line of a pattern, cut to the page: band lines of a thin cell reach far
// beyond it.
void Line(clsStrMeta& c, double xa, double ya, double xb, double yb) {
    if (!ClipSegment(xa, ya, xb, yb, 0, 0, c.ViewWidth(), c.ViewHeight()))
        return;
    const double xs[] = {xa, xb};
    const double ys[] = {ya, yb};
    c.PicLine(2, xs, ys);
}

void ThinPen(clsStrMeta& c) {
    c.PicPen(kPenSolid, 1, kBlack);
}

void Fill(clsStrMeta& c, const Cell& k, std::int32_t colour, int mono) {
    if (mono != 0)
        return;
    ThinPen(c);
    c.PicBrush(colour);
    const double xs[] = {k.x1, k.x2, k.x2, k.x1};
    const double ys[] = {k.y1, k.y1, k.y2, k.y2};
    c.PicPolyPaint(4, xs, ys);
}

std::int32_t RingBrush(int mono) {
    return mono != 0 ? kWhite : kYellow;
}

// n + 1 marks spaced evenly from (xa, ya) to (xb, yb); with n = 0 a single
// mark at the first point.
void MarkRow(clsStrMeta& c, double xa, double ya, double xb, double yb, std::int64_t n, double rx,
             double ry) {
    for (std::int64_t i = 0; i <= n; ++i) {
        double t = n == 0 ? 0 : static_cast<double>(i) / static_cast<double>(n);
        c.PicArcPaint(xa + (xb - xa) * t, ya + (yb - ya) * t, rx, ry);
    }
}

// The band lines parallel to the rising diagonal at a perpendicular distance
// `dist`: above-left (L1) and below-right (L2) of it.
struct Band {
    double ax1, ay1, ax2, ay2;  // L1 from its lower-left to its upper-right end
    double bx1, by1, bx2, by2;  // L2
};

Band BandLines(const Cell& k, double dist) {
    double a = dist * k.D() / k.W();
    double b = dist * k.D() / k.H();
    return {k.x1, k.y2 - a, k.x2 - b, k.y1, k.x1 + b, k.y2, k.x2, k.y1 + a};
}

void ThreeBandLines(clsStrMeta& c, const Cell& k) {
    Band l = BandLines(k, 1);
    Line(c, l.ax1, l.ay1, l.ax2, l.ay2);
    Line(c, l.bx1, l.by1, l.bx2, l.by2);
    Line(c, k.x1, k.y2, k.x2, k.y1);
}

// Rings (r 0.5, brush white or yellow before each) at the grid points whose
// indices are both odd, then both even.
template <typename XAt, typename YAt>
void CheckerRings(clsStrMeta& c, std::int64_t nx, std::int64_t ny, XAt xAt, YAt yAt, bool rings,
                  int mono) {
    for (int parity : {1, 0})
        for (std::int64_t i = 1; i <= nx; ++i)
            for (std::int64_t j = 1; j <= ny; ++j) {
                if (i % 2 != parity || j % 2 != parity)
                    continue;
                if (rings)
                    c.PicBrush(RingBrush(mono));
                c.PicArcPaint(xAt(i), yAt(j), 0.5, 0);
            }
}

}  // namespace

void DrawSoilPattern1(clsStrMeta& c, double x1, double x2, double y1, double y2, int mono) {
    Fill(c, {x1, x2, y1, y2}, kCyan, mono);
    Line(c, x1, y1, x2, y2);
    Line(c, x1, y2, x2, y1);
}

void DrawSoilPattern2(clsStrMeta& c, double x1, double x2, double y1, double y2, int mono) {
    Cell k{x1, x2, y1, y2};
    Fill(c, k, kCyan, mono);
    Band l = BandLines(k, 0.3);
    Line(c, l.ax1, l.ay1, l.ax2, l.ay2);
    Line(c, l.bx1, l.by1, l.bx2, l.by2);
    Line(c, x1, y1, x2, y2);
}

void DrawSoilPattern3(clsStrMeta& c, double x1, double x2, double y1, double y2, int mono) {
    Cell k{x1, x2, y1, y2};
    Fill(c, k, kGreen, mono);
    std::int64_t nx = CLng(10 * k.W()) / 10;
    std::int64_t ny = CLng(10 * k.H()) / 10;
    if (nx < 1 || ny < 1)
        return;
    auto xs = [&](std::int64_t i) { return x1 + static_cast<double>(i); };
    auto ys = [&](std::int64_t j) { return y1 + static_cast<double>(j); };
    c.PicPen(kPenSolid, kMarkPen, kBlack);
    for (std::int64_t f = 2; f <= nx; f += 4)
        for (std::int64_t j = 2; j <= ny; j += 2)
            Line(c, xs(f - 1), ys(j), xs(f), ys(j - 1));
    for (std::int64_t g = 4; g <= nx; g += 4)
        for (std::int64_t j = 2; j <= ny; j += 2)
            Line(c, xs(g - 1), ys(j - 1), xs(g), ys(j));
    ThinPen(c);
}

void DrawSoilPattern4(clsStrMeta& c, double x1, double x2, double y1, double y2, int mono) {
    Cell k{x1, x2, y1, y2};
    Fill(c, k, kGreen, mono);
    std::int64_t n = CLng(10 * k.H()) / 15;
    for (std::int64_t i = 1; i <= n; ++i) {
        c.PicPen(kPenDot, 1, kBlack);
        Line(c, x1, y1 + 1.5 * static_cast<double>(i), x2, y1 + 1.5 * static_cast<double>(i));
    }
    ThinPen(c);
}

void DrawSoilPattern5(clsStrMeta& c, double x1, double x2, double y1, double y2, int mono) {
    Cell k{x1, x2, y1, y2};
    Fill(c, k, kGreen, mono);
    std::int64_t n = CLng(10 * k.H()) / 15;
    for (std::int64_t i = 1; i <= n; ++i)
        Line(c, x1, y1 + 1.5 * static_cast<double>(i), x2, y1 + 1.5 * static_cast<double>(i));
}

void DrawSoilPattern6(clsStrMeta& c, double x1, double x2, double y1, double y2, int mono) {
    Cell k{x1, x2, y1, y2};
    Fill(c, k, kYellow, mono);
    std::int64_t ny = CLng(k.H()) / 2;
    std::int64_t nx = CLng(k.W()) / 2;
    if (nx < 1 || ny < 1)
        return;
    c.PicPen(kPenSolid, kMarkPen, kBlack);
    for (std::int64_t i = 1; i <= nx; ++i)
        for (std::int64_t j = 1; j <= ny; ++j)
            c.PicArcPaint(x1 + 1 + 2 * static_cast<double>(i - 1),
                          y1 + 1 + 2 * static_cast<double>(j - 1), 0.5, 0);
    ThinPen(c);
}

void DrawSoilPattern7(clsStrMeta& c, double x1, double x2, double y1, double y2, int mono) {
    Cell k{x1, x2, y1, y2};
    Fill(c, k, kYellow, mono);
    // Whole steps of 1.5, one fewer when the rest leaves less than half a step.
    auto count = [](double length) {
        std::int64_t tenths = CLng(10 * length);
        return tenths / 15 - (tenths % 15 < 5 ? 1 : 0);
    };
    std::int64_t ny = count(k.H());
    std::int64_t nx = count(k.W());
    if (nx < 1 || ny < 1)
        return;
    c.PicBrush(kBlack);
    c.PicPen(kPenSolid, kMarkPen, kBlack);
    CheckerRings(
        c, nx, ny, [&](std::int64_t i) { return x1 + 1.5 * static_cast<double>(i); },
        [&](std::int64_t j) { return y1 + 1.5 * static_cast<double>(j); }, false, mono);
    ThinPen(c);
}

void DrawSoilPattern8(clsStrMeta& c, double x1, double x2, double y1, double y2, int mono) {
    Cell k{x1, x2, y1, y2};
    Fill(c, k, kYellow, mono);
    std::int64_t ny = CLng(k.H()) / 2;
    std::int64_t nx = CLng(k.W()) / 2;
    if (nx < 1 || ny < 1)
        return;
    c.PicPen(kPenSolid, kMarkPen, kBlack);
    for (std::int64_t i = 1; i <= nx; ++i)
        for (std::int64_t j = 1; j <= ny; ++j) {
            c.PicBrush(RingBrush(mono));
            c.PicArcPaint(x1 + 1 + 2 * static_cast<double>(i - 1),
                          y1 + 1 + 2 * static_cast<double>(j - 1), 0.5, 0);
        }
    c.PicBrush(kBlack);
    ThinPen(c);
}

void DrawSoilPattern9(clsStrMeta& c, double x1, double x2, double y1, double y2, int mono) {
    Cell k{x1, x2, y1, y2};
    Fill(c, k, kYellow, mono);
    // Whole steps of 2 that stay off the far edge.
    auto count = [](double length) {
        std::int64_t whole = CLng(length);
        return whole / 2 - (whole % 2 == 0 ? 1 : 0);
    };
    std::int64_t ny = count(k.H());
    std::int64_t nx = count(k.W());
    if (nx < 1 || ny < 1)
        return;
    c.PicPen(kPenSolid, kMarkPen, kBlack);
    CheckerRings(
        c, nx, ny, [&](std::int64_t i) { return x1 + 2 * static_cast<double>(i); },
        [&](std::int64_t j) { return y1 + 2 * static_cast<double>(j); }, true, mono);
    c.PicBrush(kBlack);
    ThinPen(c);
}

void DrawSoilOverlay1(clsStrMeta& c, double x1, double x2, double y1, double y2, int) {
    c.PicPen(kPenDot, 1, kBlack);
    ThreeBandLines(c, {x1, x2, y1, y2});
    ThinPen(c);
}

void DrawSoilOverlay2(clsStrMeta& c, double x1, double x2, double y1, double y2, int) {
    ThreeBandLines(c, {x1, x2, y1, y2});
}

void DrawSoilOverlay3(clsStrMeta& c, double x1, double x2, double y1, double y2, int) {
    Cell k{x1, x2, y1, y2};
    Band l = BandLines(k, 1);
    const double lines[3][4] = {
        {l.ax1, l.ay1, l.ax2, l.ay2}, {l.bx1, l.by1, l.bx2, l.by2}, {x1, y2, x2, y1}};
    c.PicBrush(kBlack);
    for (const auto& ln : lines) {
        double dx = ln[2] - ln[0];
        double dy = ln[1] - ln[3];
        if (dx < 1 || dy < 1)
            return;
        std::int64_t n = CLng(std::sqrt((dx - 1) * (dx - 1) + (dy - 1) * (dy - 1))) / 2;
        MarkRow(c, ln[0] + 0.5, ln[1] - 0.5, ln[2] - 0.5, ln[3] + 0.5, n, 0.25, 0);
    }
}

void DrawSoilOverlay4(clsStrMeta& c, double x1, double x2, double y1, double y2, int) {
    c.PicPen(kPenDot, 1, kBlack);
    Line(c, x1, y2, x2, y1);
    ThinPen(c);
}

void DrawSoilOverlay5(clsStrMeta& c, double x1, double x2, double y1, double y2, int) {
    Line(c, x1, y2, x2, y1);
}

void DrawSoilOverlay6(clsStrMeta& c, double x1, double x2, double y1, double y2, int) {
    Cell k{x1, x2, y1, y2};
    c.PicBrush(kBlack);
    double w = k.W();
    double h = k.H();
    if (w < 1 || h < 1)
        return;
    std::int64_t n = CLng(std::sqrt((w - 1) * (w - 1) + (h - 1) * (h - 1))) / 2;
    MarkRow(c, x1 + 0.5, y2 - 0.5, x2 - 0.5, y1 + 0.5, n, 0.25, 0);
}

void DrawSoilOverlay7(clsStrMeta& c, double x1, double x2, double y1, double y2, int mono) {
    Cell k{x1, x2, y1, y2};
    double w = k.W();
    double h = k.H();
    if (w < 2 || h < 2)
        return;
    std::int64_t n = CLng(std::sqrt((w - 2) * (w - 2) + (h - 2) * (h - 2))) / 2;
    c.PicBrush(RingBrush(mono));
    c.PicPen(kPenSolid, kMarkPen, kBlack);
    MarkRow(c, x1 + 1, y2 - 1, x2 - 1, y1 + 1, n, 0.5, 0);
    c.PicBrush(kBlack);
    ThinPen(c);
}

void DrawSoilOverlay8(clsStrMeta& c, double x1, double x2, double y1, double y2, int mono) {
    Cell k{x1, x2, y1, y2};
    double w = k.W();
    double h = k.H();
    if (w < 4 || h < 4)
        return;
    std::int64_t n = CLng(std::sqrt((w - 4) * (w - 4) + (h - 4) * (h - 4))) / 5;
    c.PicPen(kPenSolid, kMarkPen, kBlack);
    c.PicBrush(RingBrush(mono));
    MarkRow(c, x1 + 2, y2 - 2, x2 - 2, y1 + 2, n, 1.5, 1.0);
    c.PicBrush(kBlack);
    ThinPen(c);
}

void DrawSoilSymbol(clsStrMeta& canvas, std::int32_t soilCode, double x1, double x2, double y1,
                    double y2, int mono) {
    using Pattern = void (*)(clsStrMeta&, double, double, double, double, int);
    static constexpr Pattern primary[] = {DrawSoilPattern1, DrawSoilPattern2, DrawSoilPattern3,
                                          DrawSoilPattern4, DrawSoilPattern5, DrawSoilPattern6,
                                          DrawSoilPattern7, DrawSoilPattern8, DrawSoilPattern9};
    static constexpr Pattern overlay[] = {DrawSoilOverlay1, DrawSoilOverlay2, DrawSoilOverlay3,
                                          DrawSoilOverlay4, DrawSoilOverlay5, DrawSoilOverlay6,
                                          DrawSoilOverlay7, DrawSoilOverlay8};
    // A cell without area has no diagonal to draw along.
    if (!(x2 > x1) || !(y2 > y1))
        return;
    std::int32_t kind = soilCode / 100;
    std::int32_t modifier = soilCode % 100;
    if (kind >= 1 && kind <= 9)
        primary[kind - 1](canvas, x1, x2, y1, y2, mono);
    if (modifier >= 1 && modifier <= 8)
        overlay[modifier - 1](canvas, x1, x2, y1, y2, mono);
}
