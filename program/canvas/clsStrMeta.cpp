#include "canvas/clsStrMeta.h"

#include <array>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string_view>

#include "canvas/portable_records.h"
#include "core/codepage.h"
#include "core/file_io.h"

namespace {

constexpr double kPi = 3.14159265359;
constexpr const char* kStartFace = "ＭＳ ゴシック";

// The nearest integer, a half going to the even neighbour. Values beyond the
// 32-bit range are held at its ends; the records clamp them further.
std::int32_t Nearest(double value) {
    if (std::isnan(value))
        return 0;
    double r = std::nearbyint(value);
    if (r <= std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    if (r >= std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(r);
}

// A coordinate or radius of a record: the nearest integer held to the 16-bit
// range that the records store, so that the sums of a centre and a radius
// stay far inside 32 bits whatever the document holds.
std::int32_t Coord(double value) {
    return wmf::Clamp16(Nearest(value));
}

// The logical units of an inch of the page, so that a reader of the file gives
// the figure its size on the page.
std::uint16_t UnitsPerInch(double unitsPerMm) {
    double perInch = std::nearbyint(unitsPerMm * 25.4);
    if (!(perInch >= 1))
        return 1;
    if (perInch > 0xFFFF)
        return 0xFFFF;
    return static_cast<std::uint16_t>(perInch);
}

void Put16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

}  // namespace

void clsStrMeta::PicStart(std::int32_t lMetaMaxSizeX, std::int32_t lMetaMaxSizeY, double dViewSizeX,
                          double dViewSizeY, std::int32_t lNeedCol, std::int32_t lNeedRow,
                          double dRowSize) {
    double sx = lMetaMaxSizeX / dViewSizeX;
    double sy = lMetaMaxSizeY / dViewSizeY;
    scale_ = sx < sy ? sx : sy;
    lXM = Nearest(dViewSizeX * scale_);
    lYM = Nearest(dViewSizeY * scale_);

    cellWidth_ = static_cast<double>(lXM) / lNeedCol;
    cellHeight_ = static_cast<double>(lYM) / lNeedRow;
    double h = 2 * cellWidth_ * dRowSize;
    if (h < cellHeight_)
        cellHeight_ = h;
    else
        cellWidth_ = cellHeight_ / (2 * dRowSize);

    lMaxCol = static_cast<std::int32_t>(std::floor(lXM / cellWidth_));
    lMaxRow = static_cast<std::int32_t>(std::floor(lYM / cellHeight_));
    if (lMaxCol < lNeedCol)
        lMaxCol = lNeedCol;
    if (lMaxRow < lNeedRow)
        lMaxRow = lNeedRow;

    recording_.emplace();
    page_.reset();

    recording_->SetBkMode(wmf::kOpaque);
    pen_ = recording_->CreatePenIndirect(wmf::kPsSolid, 1, 0);
    recording_->SelectObject(pen_);
    brush_ = recording_->CreateBrushIndirect(wmf::kBsSolid, 0, 0);
    recording_->SelectObject(brush_);

    fontFace_ = kStartFace;
    textColor_ = 0;
    fontWidth_ = Nearest(cellWidth_);
    fontHeight_ = Nearest(2 * cellWidth_);
    fontAngle_ = 0;
    MakeFont(*recording_, fontFace_, fontWidth_, fontHeight_, fontAngle_);
    recording_->SelectObject(font_);
}

double clsStrMeta::ColX(double dCol) const {
    return dCol * cellWidth_ / scale_;
}

double clsStrMeta::RowY(double dRow) const {
    return dRow * cellHeight_ / scale_;
}

void clsStrMeta::PicEnd() {
    if (!recording_)
        return;
    // The font, pen and brush in force die with the object table at the end of
    // every replay, so the page needs no records to put the start ones back.
    page_ = recording_->Close();
    recording_.reset();
}

void clsStrMeta::PicDelete() {
    page_.reset();
}

std::span<const std::uint8_t> clsStrMeta::PageBits() const {
    if (!page_)
        return {};
    return *page_;
}

void clsStrMeta::SelectNew(std::uint16_t& current, std::uint16_t made) {
    recording_->SelectObject(made);
    recording_->DeleteObject(current);
    current = made;
}

void clsStrMeta::PicPen(std::int32_t lStyle, std::int32_t lWidth, std::int32_t lColor) {
    if (!recording_)
        return;
    SelectNew(pen_, recording_->CreatePenIndirect(static_cast<std::uint16_t>(lStyle), lWidth,
                                                  static_cast<std::uint32_t>(lColor)));
}

void clsStrMeta::PicBrush(std::int32_t lColor) {
    if (!recording_)
        return;
    SelectNew(brush_, recording_->CreateBrushIndirect(wmf::kBsSolid,
                                                      static_cast<std::uint32_t>(lColor), 0));
}

void clsStrMeta::PicFont(const std::string& sFName, double dFRasioX, double dFRasioY,
                         double dFAngle) {
    if (!recording_)
        return;
    std::string face = sFName.empty() ? fontFace_ : sFName;
    std::int32_t width = Nearest(cellWidth_ * dFRasioX);
    std::int32_t height = Nearest(2 * cellWidth_ * dFRasioY);
    if (face == fontFace_ && width == fontWidth_ && dFAngle == fontAngle_ && height == fontHeight_)
        return;
    std::uint16_t previous = font_;
    MakeFont(*recording_, face, width, height, dFAngle);
    std::uint16_t made = font_;
    font_ = previous;
    SelectNew(font_, made);
    fontFace_ = face;
    fontWidth_ = width;
    fontHeight_ = height;
    fontAngle_ = dFAngle;
}

void clsStrMeta::MakeFont(WmfRecorder& recording, const std::string& face, std::int32_t width,
                          std::int32_t height, double angle) {
    wmf::LogFont font;
    font.height = wmf::Clamp16(height);
    font.width = wmf::Clamp16(width);
    font.escapement = wmf::Clamp16(Nearest(angle * 10));
    font.orientation = 0;
    font.weight = 400;
    font.charSet = 128;
    font.outPrecision = 7;
    font.clipPrecision = 32;
    font.quality = 0;
    font.pitchAndFamily = 1;
    // The face field keeps a terminating NUL and never ends inside a
    // double-byte character.
    std::string bytes = Utf8ToCp932(face);
    std::size_t n = 0;
    while (n < bytes.size()) {
        std::size_t step = IsCp932LeadByte(static_cast<unsigned char>(bytes[n])) ? 2 : 1;
        if (n + step > wmf::kFaceBytes - 1 || n + step > bytes.size())
            break;
        n += step;
    }
    for (std::size_t i = 0; i < n; ++i)
        font.face[i] = static_cast<std::uint8_t>(bytes[i]);
    font_ = recording.CreateFontIndirect(font);
}

void clsStrMeta::RecordPoints(std::uint16_t function, std::int32_t lN, std::span<const double> dX,
                              std::span<const double> dY, double unitX, double unitY, bool close) {
    if (lN > kMaxPoints)
        throw std::out_of_range("a polyline or polygon takes at most 30 points");
    if (lN <= 0)
        return;
    if (dX.size() < static_cast<std::size_t>(lN) || dY.size() < static_cast<std::size_t>(lN))
        throw std::out_of_range("fewer coordinates than points");
    if (!recording_)
        return;
    std::array<wmf::Point, kMaxPoints + 1> points;
    for (std::int32_t i = 0; i < lN; ++i)
        points[i] = {Coord(dX[i] * unitX), Coord(dY[i] * unitY)};
    std::size_t count = static_cast<std::size_t>(lN);
    if (close)
        points[count++] = points[0];
    std::span<const wmf::Point> used(points.data(), count);
    if (function == wmf::kPolygon)
        recording_->Polygon(used);
    else
        recording_->Polyline(used);
}

void clsStrMeta::PicLine(std::int32_t lN, std::span<const double> dX, std::span<const double> dY) {
    RecordPoints(wmf::kPolyline, lN, dX, dY, scale_, scale_, false);
}

void clsStrMeta::PicLineT(std::int32_t lN, std::span<const double> dX, std::span<const double> dY) {
    RecordPoints(wmf::kPolyline, lN, dX, dY, cellWidth_, cellHeight_, false);
}

void clsStrMeta::PicPoly(std::int32_t lN, std::span<const double> dX, std::span<const double> dY) {
    RecordPoints(wmf::kPolyline, lN, dX, dY, scale_, scale_, true);
}

void clsStrMeta::PicPolyT(std::int32_t lN, std::span<const double> dX, std::span<const double> dY) {
    RecordPoints(wmf::kPolyline, lN, dX, dY, cellWidth_, cellHeight_, true);
}

void clsStrMeta::PicPolyPaint(std::int32_t lN, std::span<const double> dX,
                              std::span<const double> dY) {
    RecordPoints(wmf::kPolygon, lN, dX, dY, scale_, scale_, false);
}

void clsStrMeta::PicPolyPaintT(std::int32_t lN, std::span<const double> dX,
                               std::span<const double> dY) {
    RecordPoints(wmf::kPolygon, lN, dX, dY, cellWidth_, cellHeight_, false);
}

void clsStrMeta::PicArc(double dX, double dY, double dR, double dSAngle, double dEAngle) {
    PicArcD(dX, dY, dR, dR, dSAngle, dEAngle);
}

void clsStrMeta::PicArcD(double dX, double dY, double dRX, double dRY, double dSAngle,
                         double dEAngle) {
    if (!recording_)
        return;
    std::int32_t cx = Coord(dX * scale_);
    std::int32_t cy = Coord(dY * scale_);
    std::int32_t rx = Coord(dRX * scale_);
    std::int32_t ry = Coord(dRY * scale_);
    double a = dSAngle * kPi / 180;
    double b = dEAngle * kPi / 180;
    // Only the directions of the two points from the centre matter to the arc.
    wmf::Point start{Nearest(cx + rx * std::cos(a)), Nearest(cy + rx * std::sin(a))};
    wmf::Point end{Nearest(cx + ry * std::cos(b)), Nearest(cy + ry * std::sin(b))};
    recording_->Arc(cx - rx, cy - ry, cx + rx, cy + ry, start, end);
}

void clsStrMeta::PicArcPaint(double dX, double dY, double dR, double dR1) {
    if (!recording_)
        return;
    std::int32_t cx = Coord(dX * scale_);
    std::int32_t cy = Coord(dY * scale_);
    std::int32_t rx = Coord(dR * scale_);
    std::int32_t ry = dR1 == 0 ? rx : Coord(dR1 * scale_);
    recording_->Ellipse(cx - rx, cy - ry, cx + rx, cy + ry);
}

void clsStrMeta::PicArcPaintT(double dX, double dY, double dR) {
    if (!recording_)
        return;
    std::int32_t cx = Coord(dX * cellWidth_);
    std::int32_t cy = Coord(dY * cellHeight_);
    std::int32_t r = Coord(dR * cellWidth_);
    recording_->Ellipse(cx - r, cy - r, cx + r, cy + r);
}

void clsStrMeta::Text(std::int32_t x, std::int32_t y, const std::string& strText,
                      std::int32_t lFColor) {
    if (lFColor != textColor_) {
        recording_->SetTextColor(static_cast<std::uint32_t>(lFColor));
        textColor_ = lFColor;
    }
    recording_->TextOut(x, y, Utf8ToCp932(strText));
}

void clsStrMeta::PicText(double dX1, double dY1, double dX2, double dY2, const std::string& strText,
                         std::int32_t lFColor) {
    if (!recording_)
        return;
    Text(Coord(dX1 * scale_) + Coord(cellWidth_ * dX2),
         Coord(dY1 * scale_) + Coord(cellHeight_ * dY2), strText, lFColor);
}

void clsStrMeta::PicTextT(double dX, double dY, const std::string& strText, std::int32_t lFColor) {
    if (!recording_)
        return;
    Text(Coord(dX * cellWidth_), Coord((cellHeight_ - 2 * cellWidth_) / 2 + (dY - 1) * cellHeight_),
         strText, lFColor);
}

double clsStrMeta::FitRatio(double w, double h) const {
    double rx = w / lXM;
    double ry = h / lYM;
    return rx < ry ? rx : ry;
}

void clsStrMeta::PicPlay(const PlayTarget& hDC, std::int32_t lX1, std::int32_t lY1,
                         std::int32_t lX2, std::int32_t lY2) const {
    if (!page_ || lXM <= 0 || lYM <= 0)
        return;
    double r = FitRatio(static_cast<double>(lX2) - lX1, static_cast<double>(lY2) - lY1);
    std::int32_t x2 = Nearest(lXM * r + lX1);
    std::int32_t y2 = Nearest(lYM * r + lY1);
    hDC.PlayMetafile(*page_, lXM, lYM, lX1, lY1, x2 - lX1, y2 - lY1);
}

bool clsStrMeta::SaveTheMetafile(const std::string& FileName) const {
    if (!page_)
        return false;

    // The copy sets its own mapping so that a reader sizes the page from it.
    WmfRecorder copy;
    copy.SetWindowExt(lXM, lYM);
    copy.SetMapMode(wmf::kMmAnisotropic);
    copy.AppendRecords(PortableRecords(*page_, scale_));
    std::vector<std::uint8_t> bits = copy.Close();

    std::vector<std::uint8_t> file;
    file.reserve(wmf::kPlaceableBytes + bits.size());
    const std::array<std::uint16_t, 10> header = {
        0xCDD7,
        0x9AC6,
        0,
        0,
        0,
        static_cast<std::uint16_t>(wmf::Clamp16(static_cast<std::int64_t>(lXM) + 1)),
        static_cast<std::uint16_t>(wmf::Clamp16(static_cast<std::int64_t>(lYM) + 1)),
        UnitsPerInch(scale_),
        0,
        0};
    std::uint16_t checksum = 0;
    for (std::uint16_t word : header) {
        Put16(file, word);
        checksum ^= word;
    }
    Put16(file, checksum);
    file.insert(file.end(), bits.begin(), bits.end());
    return static_cast<bool>(WriteFileReplacing(
        FileName, std::string_view(reinterpret_cast<const char*>(file.data()), file.size())));
}
