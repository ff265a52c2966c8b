#include "canvas/wmf_recorder.h"

#include <algorithm>

void WmfRecorder::Begin(std::uint16_t function, std::size_t paramWords) {
    std::uint32_t words = static_cast<std::uint32_t>(3 + paramWords);
    maxRecordWords_ = std::max(maxRecordWords_, words);
    Put32(words);
    Put16(function);
}

void WmfRecorder::Put16(std::int64_t value) {
    auto word = static_cast<std::uint16_t>(value);
    records_.push_back(static_cast<std::uint8_t>(word & 0xFF));
    records_.push_back(static_cast<std::uint8_t>(word >> 8));
}

void WmfRecorder::Put32(std::uint32_t value) {
    Put16(value & 0xFFFF);
    Put16(value >> 16);
}

std::uint16_t WmfRecorder::TakeSlot() {
    auto free = std::find(slots_.begin(), slots_.end(), false);
    if (free != slots_.end()) {
        *free = true;
        return static_cast<std::uint16_t>(free - slots_.begin());
    }
    slots_.push_back(true);
    return static_cast<std::uint16_t>(slots_.size() - 1);
}

void WmfRecorder::SetBkMode(std::uint16_t mode) {
    Begin(wmf::kSetBkMode, 1);
    Put16(mode);
}

void WmfRecorder::SetMapMode(std::uint16_t mode) {
    Begin(wmf::kSetMapMode, 1);
    Put16(mode);
}

void WmfRecorder::SetTextColor(std::uint32_t color) {
    Begin(wmf::kSetTextColor, 2);
    Put32(color);
}

void WmfRecorder::SetWindowExt(std::int32_t x, std::int32_t y) {
    Begin(wmf::kSetWindowExt, 2);
    Put16(wmf::Clamp16(y));
    Put16(wmf::Clamp16(x));
}

std::uint16_t WmfRecorder::CreatePenIndirect(std::uint16_t style, std::int32_t width,
                                             std::uint32_t color) {
    Begin(wmf::kCreatePenIndirect, 5);
    Put16(style);
    Put16(wmf::Clamp16(width));
    Put16(0);
    Put32(color);
    return TakeSlot();
}

std::uint16_t WmfRecorder::CreateBrushIndirect(std::uint16_t style, std::uint32_t color,
                                               std::uint16_t hatch) {
    Begin(wmf::kCreateBrushIndirect, 4);
    Put16(style);
    Put32(color);
    Put16(hatch);
    return TakeSlot();
}

std::uint16_t WmfRecorder::CreateFontIndirect(const wmf::LogFont& font) {
    Begin(wmf::kCreateFontIndirect, (18 + wmf::kFaceBytes) / 2);
    Put16(font.height);
    Put16(font.width);
    Put16(font.escapement);
    Put16(font.orientation);
    Put16(font.weight);
    for (std::uint8_t byte :
         {font.italic, font.underline, font.strikeOut, font.charSet, font.outPrecision,
          font.clipPrecision, font.quality, font.pitchAndFamily})
        records_.push_back(byte);
    records_.insert(records_.end(), font.face.begin(), font.face.end());
    return TakeSlot();
}

void WmfRecorder::SelectObject(std::uint16_t slot) {
    Begin(wmf::kSelectObject, 1);
    Put16(slot);
}

void WmfRecorder::DeleteObject(std::uint16_t slot) {
    Begin(wmf::kDeleteObject, 1);
    Put16(slot);
    if (slot < slots_.size())
        slots_[slot] = false;
}

void WmfRecorder::Points(std::uint16_t function, std::span<const wmf::Point> points) {
    Begin(function, 1 + 2 * points.size());
    Put16(static_cast<std::int64_t>(points.size()));
    for (const wmf::Point& p : points) {
        Put16(wmf::Clamp16(p.x));
        Put16(wmf::Clamp16(p.y));
    }
}

void WmfRecorder::Polyline(std::span<const wmf::Point> points) {
    Points(wmf::kPolyline, points);
}

void WmfRecorder::Polygon(std::span<const wmf::Point> points) {
    Points(wmf::kPolygon, points);
}

void WmfRecorder::Arc(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                      wmf::Point start, wmf::Point end) {
    Begin(wmf::kArc, 8);
    for (std::int32_t v : {end.y, end.x, start.y, start.x, bottom, right, top, left})
        Put16(wmf::Clamp16(v));
}

void WmfRecorder::Ellipse(std::int32_t left, std::int32_t top, std::int32_t right,
                          std::int32_t bottom) {
    Begin(wmf::kEllipse, 4);
    for (std::int32_t v : {bottom, right, top, left})
        Put16(wmf::Clamp16(v));
}

void WmfRecorder::TextOut(std::int32_t x, std::int32_t y, std::string_view bytes) {
    // The record's length field is 16-bit; a page line is never near that long.
    bytes = bytes.substr(0, 0x7FFF);
    std::size_t padded = (bytes.size() + 1) / 2 * 2;
    Begin(wmf::kTextOut, 1 + padded / 2 + 2);
    Put16(static_cast<std::int64_t>(bytes.size()));
    records_.insert(records_.end(), bytes.begin(), bytes.end());
    if (padded != bytes.size())
        records_.push_back(0);
    Put16(wmf::Clamp16(y));
    Put16(wmf::Clamp16(x));
}

void WmfRecorder::ExtTextOut(std::int32_t x, std::int32_t y, std::string_view bytes,
                             std::span<const std::int16_t> dx) {
    bytes = bytes.substr(0, std::min<std::size_t>({bytes.size(), dx.size(), 0x3FFF}));
    std::size_t padded = (bytes.size() + 1) / 2 * 2;
    Begin(wmf::kExtTextOut, 4 + padded / 2 + bytes.size());
    Put16(wmf::Clamp16(y));
    Put16(wmf::Clamp16(x));
    Put16(static_cast<std::int64_t>(bytes.size()));
    Put16(0);
    records_.insert(records_.end(), bytes.begin(), bytes.end());
    if (padded != bytes.size())
        records_.push_back(0);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        Put16(dx[i]);
}

void WmfRecorder::CopyRecord(const wmf::Record& record) {
    switch (record.function) {
        case wmf::kEof:
            return;
        case wmf::kCreatePenIndirect:
        case wmf::kCreateBrushIndirect:
        case wmf::kCreateFontIndirect:
            TakeSlot();
            break;
        case wmf::kDeleteObject:
            if (record.U16(0) < slots_.size())
                slots_[record.U16(0)] = false;
            break;
        default:
            break;
    }
    Begin(record.function, record.Words());
    records_.insert(records_.end(), record.params.begin(), record.params.end());
}

void WmfRecorder::AppendRecords(std::span<const std::uint8_t> metafile) {
    wmf::RecordReader reader(metafile);
    while (auto record = reader.Next())
        CopyRecord(*record);
}

std::vector<std::uint8_t> WmfRecorder::Close() const {
    WmfRecorder out;
    // META_HEADER: memory metafile, 9-word header, version 3.0.
    out.Put16(1);
    out.Put16(wmf::kHeaderBytes / 2);
    out.Put16(0x0300);
    out.Put32(static_cast<std::uint32_t>((wmf::kHeaderBytes + records_.size()) / 2 + 3));
    out.Put16(static_cast<std::int64_t>(slots_.size()));
    out.Put32(maxRecordWords_);
    out.Put16(0);
    std::vector<std::uint8_t> bytes = std::move(out.records_);
    bytes.insert(bytes.end(), records_.begin(), records_.end());
    // End-of-file record.
    for (std::uint8_t b : {3, 0, 0, 0, 0, 0})
        bytes.push_back(b);
    return bytes;
}
