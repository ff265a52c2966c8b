#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "canvas/clsStrMeta.h"
#include "canvas/printer_geometry.h"
#include "canvas/wmf_format.h"
#include "core/codepage.h"

// A printer of fixed geometry.
class FakePrinter : public PrinterGeometry {
  public:
    FakePrinter(double perMM, std::int32_t width, std::int32_t height)
        : perMM_(perMM), width_(width), height_(height) {}
    double PixelPerMM() const override { return perMM_; }
    std::int32_t Width() const override { return width_; }
    std::int32_t Height() const override { return height_; }
    std::int32_t PrinterOffsetTop() const override { return 0; }
    std::int32_t PrinterOffsetBottom() const override { return 0; }
    std::int32_t PrinterOffsetLeft() const override { return 0; }
    std::int32_t PrinterOffsetRight() const override { return 0; }

  private:
    double perMM_;
    std::int32_t width_;
    std::int32_t height_;
};

// A4 at 600 dpi with no unprintable margin: 210 × 297 mm.
inline FakePrinter A4Printer() {
    return FakePrinter(600 / 25.4, 4961, 7016);
}

struct PenState {
    int style = 0;
    int width = 1;
    std::uint32_t color = 0;
    bool operator==(const PenState&) const = default;
};

struct FontState {
    int height = 0;
    int width = 0;
};

// One drawing record of a page with the objects in force when it was drawn.
struct DrawOp {
    std::uint16_t function = 0;      // wmf::kPolyline, kPolygon, kEllipse, kTextOut, kArc
    std::vector<wmf::Point> points;  // polylines and polygons; an ellipse's box as two corners
    std::string text;                // UTF-8
    wmf::Point at;                   // the text's position
    PenState pen;
    std::uint32_t brush = 0;
    FontState font;

    bool IsLine() const { return function == wmf::kPolyline; }
    bool IsText() const { return function == wmf::kTextOut; }
    bool IsEllipse() const { return function == wmf::kEllipse; }
    bool IsPolygon() const { return function == wmf::kPolygon; }
    double CentreX() const { return (points[0].x + points[1].x) / 2.0; }
    double CentreY() const { return (points[0].y + points[1].y) / 2.0; }
};

// The drawing records of a metafile, in order.
inline std::vector<DrawOp> DrawOps(std::span<const std::uint8_t> metafile) {
    struct Object {
        std::uint16_t kind = 0;
        PenState pen;
        std::uint32_t brush = 0;
        FontState font;
    };
    std::map<std::uint16_t, Object> table;
    std::vector<bool> taken;
    auto take = [&]() {
        for (std::size_t i = 0; i < taken.size(); ++i)
            if (!taken[i]) {
                taken[i] = true;
                return static_cast<std::uint16_t>(i);
            }
        taken.push_back(true);
        return static_cast<std::uint16_t>(taken.size() - 1);
    };
    PenState pen;
    std::uint32_t brush = 0;
    FontState font;
    std::vector<DrawOp> ops;
    wmf::RecordReader reader(metafile);
    while (auto r = reader.Next()) {
        switch (r->function) {
            case wmf::kCreatePenIndirect: {
                Object o{r->function, {r->S16(0), r->S16(1), r->U32(3)}, 0, {}};
                table[take()] = o;
                break;
            }
            case wmf::kCreateBrushIndirect: {
                Object o{r->function, {}, r->U32(1), {}};
                table[take()] = o;
                break;
            }
            case wmf::kCreateFontIndirect: {
                Object o{r->function, {}, 0, {r->S16(0), r->S16(1)}};
                table[take()] = o;
                break;
            }
            case wmf::kDeleteObject:
                if (r->U16(0) < taken.size())
                    taken[r->U16(0)] = false;
                break;
            case wmf::kSelectObject: {
                const Object& o = table[r->U16(0)];
                if (o.kind == wmf::kCreatePenIndirect)
                    pen = o.pen;
                else if (o.kind == wmf::kCreateBrushIndirect)
                    brush = o.brush;
                else if (o.kind == wmf::kCreateFontIndirect)
                    font = o.font;
                break;
            }
            case wmf::kPolyline:
            case wmf::kPolygon: {
                DrawOp op{r->function, {}, {}, {}, pen, brush, font};
                int n = r->S16(0);
                for (int i = 0; i < n; ++i)
                    op.points.push_back({r->S16(1 + 2 * i), r->S16(2 + 2 * i)});
                ops.push_back(op);
                break;
            }
            case wmf::kEllipse: {
                DrawOp op{r->function, {}, {}, {}, pen, brush, font};
                op.points = {{r->S16(3), r->S16(2)}, {r->S16(1), r->S16(0)}};
                ops.push_back(op);
                break;
            }
            case wmf::kTextOut: {
                DrawOp op{r->function, {}, {}, {}, pen, brush, font};
                std::size_t len = r->U16(0);
                std::string bytes(reinterpret_cast<const char*>(r->params.data()) + 2, len);
                op.text = Cp932ToUtf8(bytes);
                std::size_t after = 1 + (len + 1) / 2;
                op.at = {r->S16(after + 1), r->S16(after)};
                ops.push_back(op);
                break;
            }
            case wmf::kExtTextOut: {  // a saved figure's text, taken as a TEXTOUT
                DrawOp op{wmf::kTextOut, {}, {}, {}, pen, brush, font};
                std::size_t len = r->U16(2);
                std::size_t at = (r->U16(3) & (wmf::kEtoOpaque | wmf::kEtoClipped)) ? 16 : 8;
                std::string bytes(reinterpret_cast<const char*>(r->params.data()) + at, len);
                op.text = Cp932ToUtf8(bytes);
                op.at = {r->S16(1), r->S16(0)};
                ops.push_back(op);
                break;
            }
            default:
                break;
        }
    }
    return ops;
}

// The drawing records of a canvas's finished page, in order.
inline std::vector<DrawOp> DrawOps(const clsStrMeta& canvas) {
    return DrawOps(canvas.PageBits());
}

// Logical units per millimetre of a canvas started with the view size vw × vh.
inline double ScaleOf(double vw, double vh) {
    return std::min(20000 / vw, 20000 / vh);
}

// Column width and row height in logical units.
struct CellSize {
    double width = 0;
    double height = 0;
    // A logical x or y as a canvas column or row.
    double Col(double x) const { return x / width; }
    double Row(double y) const { return y / height; }
    // The logical y at which PicTextT places text of row `row`.
    double TextRowY(double row) const { return (height - 2 * width) / 2 + (row - 1) * height; }
};

inline CellSize CellOf(const clsStrMeta& c, double vw, double vh) {
    double s = ScaleOf(vw, vh);
    return {c.ColX(1) * s, c.RowY(1) * s};
}

inline CellSize ScreenCell(const clsStrMeta& c) {
    return CellOf(c, 190.0, 267.0);
}

// The cell size of a printed page canvas composed for the printer and margins.
inline CellSize PageCell(const clsStrMeta& c, const PrinterGeometry& printer,
                         const std::array<std::int32_t, 4>& margins) {
    double perMM = printer.PixelPerMM();
    return CellOf(c, printer.Width() / perMM - margins[2] - margins[3],
                  printer.Height() / perMM - margins[0] - margins[1]);
}

inline std::vector<DrawOp> OpsWhere(const std::vector<DrawOp>& ops, bool (DrawOp::*kind)() const) {
    std::vector<DrawOp> out;
    for (const DrawOp& op : ops)
        if ((op.*kind)())
            out.push_back(op);
    return out;
}

inline std::vector<DrawOp> TextOps(const std::vector<DrawOp>& ops, const std::string& text) {
    std::vector<DrawOp> out;
    for (const DrawOp& op : ops)
        if (op.IsText() && op.text == text)
            out.push_back(op);
    return out;
}
