#include "output/metafile_player.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <string>
#include <variant>
#include <vector>

#include "canvas/wmf_format.h"
#include "core/codepage.h"

void RegisterPageFontSubstitution() {
    static std::once_flag once;
    std::call_once(once, [] {
        QFont::insertSubstitution(QString::fromUtf8(kPageFontFace),
                                  QString::fromUtf8(kPageFontStandIn));
    });
}

namespace {

constexpr double kPi = 3.14159265358979323846;

struct PenObject {
    std::uint16_t style = wmf::kPsSolid;
    std::int16_t width = 0;
    std::uint32_t color = 0;
};
struct BrushObject {
    std::uint16_t style = wmf::kBsSolid;
    std::uint32_t color = 0;
    std::uint16_t hatch = 0;
};
struct FontObject {
    wmf::LogFont logFont;
    QFont font;
    double ascent = 0;
    double halfWidth = 0;  // natural advance of a half-width character
};
using Object = std::variant<std::monostate, PenObject, BrushObject, FontObject>;

QColor ColorOf(std::uint32_t colorRef) {
    return QColor(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

class Player {
  public:
    Player(QPainter& painter, double scale) : painter_(painter), scale_(scale) {
        background_ = painter.background().color();
        SelectPen(PenObject{});
        SelectBrush(BrushObject{wmf::kBsSolid, 0xFFFFFF, 0});
        font_ = MakeFont(wmf::LogFont{});
    }

    void Play(const wmf::Record& r) {
        switch (r.function) {
            case wmf::kSetBkMode:
                bkMode_ = r.U16(0);
                break;
            case wmf::kSetTextColor:
                textColor_ = r.U32(0);
                break;
            case wmf::kCreatePenIndirect:
                Store(PenObject{r.U16(0), r.S16(1), r.U32(3)});
                break;
            case wmf::kCreateBrushIndirect:
                Store(BrushObject{r.U16(0), r.U32(1), r.U16(3)});
                break;
            case wmf::kCreateFontIndirect:
                Store(MakeFont(wmf::ReadLogFont(r)));
                break;
            case wmf::kSelectObject:
                Select(r.U16(0));
                break;
            case wmf::kDeleteObject:
                if (r.U16(0) < objects_.size())
                    objects_[r.U16(0)] = std::monostate{};
                break;
            case wmf::kPolyline:
                painter_.drawPolyline(Points(r));
                break;
            case wmf::kPolygon:
                painter_.drawPolygon(Points(r), Qt::OddEvenFill);
                break;
            case wmf::kEllipse:
                painter_.drawEllipse(Box(r.S16(3), r.S16(2), r.S16(1), r.S16(0)));
                break;
            case wmf::kArc:
                Arc(r);
                break;
            case wmf::kTextOut:
                TextOut(r);
                break;
            case wmf::kExtTextOut:
                ExtTextOut(r);
                break;
            default:
                // The mapping records of a saved copy: the caller's mapping holds.
                break;
        }
    }

  private:
    void Store(Object object) {
        auto free = std::find_if(objects_.begin(), objects_.end(), [](const Object& o) {
            return std::holds_alternative<std::monostate>(o);
        });
        if (free == objects_.end())
            objects_.push_back(std::move(object));
        else
            *free = std::move(object);
    }

    void Select(std::uint16_t slot) {
        if (slot >= objects_.size())
            return;
        const Object& object = objects_[slot];
        if (auto pen = std::get_if<PenObject>(&object))
            SelectPen(*pen);
        else if (auto brush = std::get_if<BrushObject>(&object))
            SelectBrush(*brush);
        else if (auto font = std::get_if<FontObject>(&object))
            font_ = *font;
    }

    void SelectPen(const PenObject& pen) {
        std::uint16_t style = pen.style & 0x0F;
        if (style == wmf::kPsNull) {
            painter_.setPen(Qt::NoPen);
            return;
        }
        QPen qpen(ColorOf(pen.color));
        bool styled = style >= 1 && style <= 4;
        double width = std::abs(pen.width);
        // A styled pen is a thin cosmetic line; any pen at least one device pixel.
        if ((styled && width <= 1) || width * scale_ < 1) {
            qpen.setCosmetic(true);
            qpen.setWidth(1);
        } else {
            qpen.setWidthF(width);
        }
        if (styled && width <= 1) {
            static constexpr Qt::PenStyle kStyles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine,
                                                       Qt::DashDotLine, Qt::DashDotDotLine};
            qpen.setStyle(kStyles[style]);
        }
        qpen.setCapStyle(Qt::RoundCap);
        qpen.setJoinStyle(Qt::RoundJoin);
        painter_.setPen(qpen);
    }

    void SelectBrush(const BrushObject& brush) {
        switch (brush.style) {
            case wmf::kBsSolid:
                painter_.setBrush(ColorOf(brush.color));
                break;
            case 2: {  // hatched
                static constexpr Qt::BrushStyle kHatches[] = {
                    Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                    Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
                painter_.setBrush(QBrush(ColorOf(brush.color),
                                         kHatches[std::min<std::uint16_t>(brush.hatch, 5)]));
                break;
            }
            default:
                painter_.setBrush(Qt::NoBrush);
                break;
        }
    }

    static FontObject MakeFont(const wmf::LogFont& logFont) {
        FontObject object;
        object.logFont = logFont;
        std::string face(reinterpret_cast<const char*>(logFont.face.data()), wmf::kFaceBytes);
        face = face.substr(0, face.find('\0'));
        QString family = face.empty() ? QString::fromUtf8(kPageFontFace)
                                      : QString::fromStdString(Cp932ToUtf8(face));
        object.font = QFont(family);
        int pixels = std::abs(logFont.height);
        if (pixels == 0)
            pixels = logFont.width > 0 ? 2 * logFont.width : 12;
        object.font.setPixelSize(std::max(pixels, 1));
        object.font.setWeight(logFont.weight >= 600 ? QFont::Bold : QFont::Normal);
        object.font.setItalic(logFont.italic != 0);
        object.font.setUnderline(logFont.underline != 0);
        object.font.setStrikeOut(logFont.strikeOut != 0);
        object.font.setHintingPreference(QFont::PreferNoHinting);
        QFontMetricsF metrics(object.font);
        object.ascent = metrics.ascent();
        object.halfWidth = metrics.horizontalAdvance(QLatin1Char('0'));
        if (object.halfWidth <= 0)
            object.halfWidth = pixels / 2.0;
        return object;
    }

    static QPolygonF Points(const wmf::Record& r) {
        std::size_t n = std::min<std::size_t>(r.U16(0), (r.Words() - 1) / 2);
        QPolygonF points;
        points.reserve(static_cast<qsizetype>(n));
        for (std::size_t i = 0; i < n; ++i)
            points.append(QPointF(r.S16(1 + 2 * i), r.S16(2 + 2 * i)));
        return points;
    }

    static QRectF Box(double left, double top, double right, double bottom) {
        return QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
    }

    void Arc(const wmf::Record& r) {
        QRectF box = Box(r.S16(7), r.S16(6), r.S16(5), r.S16(4));
        double rx = box.width() / 2;
        double ry = box.height() / 2;
        if (rx <= 0 || ry <= 0)
            return;
        QPointF c = box.center();
        // The angle of the ellipse's own parameter at the point where each ray
        // from the centre crosses it; Qt counts it upwards, the page downwards.
        auto angle = [&](double x, double y) {
            return -std::atan2((y - c.y()) * rx, (x - c.x()) * ry) * 180 / kPi;
        };
        double start = angle(r.S16(3), r.S16(2));
        double end = angle(r.S16(1), r.S16(0));
        double span = std::fmod(end - start, 360.0);
        if (span <= 1e-9)
            span += 360;
        QPainterPath path;
        path.arcMoveTo(box, start);
        path.arcTo(box, start, span);
        painter_.save();
        painter_.setBrush(Qt::NoBrush);
        painter_.drawPath(path);
        painter_.restore();
    }

    void TextOut(const wmf::Record& r) {
        std::size_t length = r.U16(0);
        std::size_t padded = (length + 1) / 2 * 2;
        if (2 + padded + 4 > r.params.size())
            return;
        std::string_view bytes(reinterpret_cast<const char*>(r.params.data()) + 2, length);
        Text(r.S16(1 + padded / 2 + 1), r.S16(1 + padded / 2), bytes);
    }

    // A saved figure's text: placed by columns as every text is, so its
    // advances are not needed.
    void ExtTextOut(const wmf::Record& r) {
        std::size_t length = r.U16(2);
        std::size_t at = 8;  // y, x, length, options
        if (r.U16(3) & (wmf::kEtoOpaque | wmf::kEtoClipped))
            at += 8;
        if (at + length > r.params.size())
            return;
        std::string_view bytes(reinterpret_cast<const char*>(r.params.data()) + at, length);
        Text(r.S16(1), r.S16(0), bytes);
    }

    void Text(double x, double y, std::string_view bytes) {
        std::size_t length = bytes.size();
        const wmf::LogFont& lf = font_.logFont;
        double column = lf.width > 0 ? lf.width : font_.halfWidth;
        double stretch = column / font_.halfWidth;
        double height = font_.font.pixelSize();

        painter_.save();
        painter_.translate(x, y);
        if (lf.escapement != 0)
            painter_.rotate(-lf.escapement / 10.0);
        if (bkMode_ == wmf::kOpaque)
            painter_.fillRect(QRectF(0, 0, column * length, height), background_);
        painter_.scale(stretch, 1);
        painter_.setFont(font_.font);
        painter_.setPen(ColorOf(textColor_));
        std::size_t i = 0;
        while (i < length) {
            std::size_t n =
                IsCp932LeadByte(static_cast<unsigned char>(bytes[i])) && i + 1 < length ? 2 : 1;
            QString glyph = QString::fromStdString(Cp932ToUtf8(bytes.substr(i, n)));
            if (glyph != QLatin1String(" "))
                painter_.drawText(QPointF(i * font_.halfWidth, font_.ascent), glyph);
            i += n;
        }
        painter_.restore();
    }

    QPainter& painter_;
    double scale_;
    QColor background_;
    std::vector<Object> objects_;
    FontObject font_;
    std::uint16_t bkMode_ = wmf::kOpaque;
    std::uint32_t textColor_ = 0;
};

}  // namespace

void PainterTarget::PlayMetafile(std::span<const std::uint8_t> metafile, std::int32_t windowExtX,
                                 std::int32_t windowExtY, std::int32_t viewportOrgX,
                                 std::int32_t viewportOrgY, std::int32_t viewportExtX,
                                 std::int32_t viewportExtY) const {
    if (windowExtX == 0 || windowExtY == 0)
        return;
    RegisterPageFontSubstitution();
    // Isotropic: one scale for both axes, the smaller one, from the origin.
    double sx = static_cast<double>(viewportExtX) / windowExtX;
    double sy = static_cast<double>(viewportExtY) / windowExtY;
    double scale = std::abs(sx) < std::abs(sy) ? sx : sy;
    if (scale <= 0)
        return;

    painter_.save();
    painter_.translate(viewportOrgX, viewportOrgY);
    painter_.scale(scale, scale);
    {
        Player player(painter_, scale);
        wmf::RecordReader reader(metafile);
        while (auto record = reader.Next())
            player.Play(*record);
    }
    painter_.restore();
}
