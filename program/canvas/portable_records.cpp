#include "canvas/portable_records.h"

#include <cmath>
#include <cstdlib>
#include <string_view>
#include <variant>

#include "canvas/wmf_format.h"
#include "canvas/wmf_recorder.h"

namespace {

struct PenSlot {
    std::uint16_t style = 0;  // the dash style of a thin styled pen, else 0
};

struct FontSlot {
    std::int16_t column = 0;  // the advance of one byte
};

struct BrushSlot {};

using Slot = std::variant<std::monostate, PenSlot, FontSlot, BrushSlot>;

// On and off lengths in millimetres, starting with a dash, for the Windows
// pen styles 1 (dash) to 4 (dash-dot-dot).
std::span<const double> DashPattern(std::uint16_t style) {
    static constexpr double kDash[] = {1.2, 0.4};
    static constexpr double kDot[] = {0.2, 0.4};
    static constexpr double kDashDot[] = {1.2, 0.4, 0.2, 0.4};
    static constexpr double kDashDotDot[] = {1.2, 0.4, 0.2, 0.4, 0.2, 0.4};
    switch (style) {
        case 1:
            return kDash;
        case 2:
            return kDot;
        case 3:
            return kDashDot;
        default:
            return kDashDotDot;
    }
}

wmf::Point At(double x, double y) {
    return {static_cast<std::int32_t>(std::nearbyint(x)),
            static_cast<std::int32_t>(std::nearbyint(y))};
}

// The polyline's dashes, each a polyline of its own; the pattern runs on
// around the corners.
void Dashes(WmfRecorder& out, std::span<const wmf::Point> points, std::uint16_t style,
            double unitsPerMm) {
    std::span<const double> pattern = DashPattern(style);
    std::size_t piece = 0;
    double left = pattern[0] * unitsPerMm;  // of the current piece
    std::vector<wmf::Point> dash;
    auto add = [&dash](wmf::Point p) {
        if (dash.empty() || dash.back().x != p.x || dash.back().y != p.y)
            dash.push_back(p);
    };
    auto flush = [&] {
        if (dash.size() >= 2)
            out.Polyline(dash);
        dash.clear();
    };
    if (points.empty())
        return;
    add(points[0]);
    for (std::size_t i = 1; i < points.size(); ++i) {
        double ax = points[i - 1].x, ay = points[i - 1].y;
        double dx = points[i].x - ax, dy = points[i].y - ay;
        double length = std::hypot(dx, dy);
        double done = 0;
        while (length - done > left) {
            done += left;
            wmf::Point p = At(ax + dx * done / length, ay + dy * done / length);
            bool on = piece % 2 == 0;
            if (on) {
                add(p);
                flush();
            } else {
                add(p);
            }
            piece = (piece + 1) % pattern.size();
            left = pattern[piece] * unitsPerMm;
        }
        left -= length - done;
        if (piece % 2 == 0)
            add(points[i]);
    }
    if (piece % 2 == 0)
        flush();
}

std::vector<wmf::Point> PointsOf(const wmf::Record& r) {
    std::size_t n = std::min<std::size_t>(r.U16(0), (r.Words() - 1) / 2);
    std::vector<wmf::Point> points;
    points.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        points.push_back({r.S16(1 + 2 * i), r.S16(2 + 2 * i)});
    return points;
}

}  // namespace

std::vector<std::uint8_t> PortableRecords(std::span<const std::uint8_t> page, double unitsPerMm) {
    WmfRecorder out;
    std::vector<Slot> slots;
    std::uint16_t pen = 0;  // dash style of the pen in force, 0 when solid or wide
    std::int16_t column = 0;
    auto place = [&slots](std::size_t at, Slot slot) {
        if (slots.size() <= at)
            slots.resize(at + 1);
        slots[at] = slot;
    };

    wmf::RecordReader reader(page);
    while (auto record = reader.Next()) {
        const wmf::Record& r = *record;
        switch (r.function) {
            case wmf::kCreatePenIndirect: {
                std::uint16_t style = r.U16(0) & wmf::kPsStyleMask;
                bool thinStyled = style >= 1 && style <= 4 && std::abs(r.S16(1)) <= 1;
                if (thinStyled)
                    place(out.CreatePenIndirect(r.U16(0) & ~wmf::kPsStyleMask, r.S16(1), r.U32(3)),
                          PenSlot{style});
                else
                    place(out.CreatePenIndirect(r.U16(0), r.S16(1), r.U32(3)), PenSlot{});
                break;
            }
            case wmf::kCreateFontIndirect: {
                wmf::LogFont font = wmf::ReadLogFont(r);
                std::int16_t one = static_cast<std::int16_t>(
                    font.width > 0 ? font.width : std::abs(font.height) / 2);
                if (font.width > 0 && std::abs(2 * font.width - std::abs(font.height)) <= 1)
                    font.width = 0;
                if (font.height > 0)
                    font.height = static_cast<std::int16_t>(-font.height);
                place(out.CreateFontIndirect(font), FontSlot{one});
                break;
            }
            case wmf::kCreateBrushIndirect:
                place(out.CreateBrushIndirect(r.U16(0), r.U32(1), r.U16(3)), BrushSlot{});
                break;
            case wmf::kDeleteObject:
                if (r.U16(0) < slots.size())
                    slots[r.U16(0)] = std::monostate{};
                out.CopyRecord(r);
                break;
            case wmf::kSelectObject: {
                std::uint16_t at = r.U16(0);
                if (at < slots.size()) {
                    if (auto* font = std::get_if<FontSlot>(&slots[at]))
                        column = font->column;
                }
                out.CopyRecord(r);
                break;
            }
            case wmf::kPolyline:
                if (pen != 0)
                    Dashes(out, PointsOf(r), pen, unitsPerMm);
                else
                    out.CopyRecord(r);
                break;
            case wmf::kTextOut: {
                std::size_t length = r.U16(0);
                std::size_t padded = (length + 1) / 2 * 2;
                if (column <= 0 || 2 + padded + 4 > r.params.size()) {
                    out.CopyRecord(r);
                    break;
                }
                std::string_view bytes(reinterpret_cast<const char*>(r.params.data()) + 2, length);
                std::vector<std::int16_t> dx(length, column);
                out.ExtTextOut(r.S16(1 + padded / 2 + 1), r.S16(1 + padded / 2), bytes, dx);
                break;
            }
            default:
                out.CopyRecord(r);
                break;
        }
        // A pen's slot says whether the pen selected now is a thin styled one.
        if (r.function == wmf::kSelectObject && r.U16(0) < slots.size())
            if (auto* p = std::get_if<PenSlot>(&slots[r.U16(0)]))
                pen = p->style;
    }
    return out.Close();
}
