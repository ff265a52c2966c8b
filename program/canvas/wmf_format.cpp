#include "canvas/wmf_format.h"

#include <limits>

namespace wmf {

std::int16_t Clamp16(std::int64_t value) {
    if (value < std::numeric_limits<std::int16_t>::min())
        return std::numeric_limits<std::int16_t>::min();
    if (value > std::numeric_limits<std::int16_t>::max())
        return std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(value);
}

std::uint16_t ReadU16(std::span<const std::uint8_t> bytes, std::size_t offset) {
    if (offset + 2 > bytes.size())
        return 0;
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

std::uint32_t ReadU32(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return ReadU16(bytes, offset) | (static_cast<std::uint32_t>(ReadU16(bytes, offset + 2)) << 16);
}

RecordReader::RecordReader(std::span<const std::uint8_t> metafile) : data_(metafile) {
    std::size_t headerWords = ReadU16(data_, 2);
    if (data_.size() < kHeaderBytes || headerWords * 2 != kHeaderBytes) {
        done_ = true;
        broken_ = true;
        return;
    }
    offset_ = kHeaderBytes;
}

std::optional<Record> RecordReader::Next() {
    if (done_)
        return std::nullopt;
    if (offset_ + 6 > data_.size()) {
        done_ = true;
        broken_ = true;
        return std::nullopt;
    }
    std::uint64_t words = ReadU32(data_, offset_);
    if (words < 3 || offset_ + words * 2 > data_.size()) {
        done_ = true;
        broken_ = true;
        return std::nullopt;
    }
    Record record;
    record.function = ReadU16(data_, offset_ + 4);
    record.params = data_.subspan(offset_ + 6, words * 2 - 6);
    offset_ += words * 2;
    if (record.function == kEof)
        done_ = true;
    return record;
}

LogFont ReadLogFont(const Record& r) {
    LogFont f;
    f.height = r.S16(0);
    f.width = r.S16(1);
    f.escapement = r.S16(2);
    f.orientation = r.S16(3);
    f.weight = r.S16(4);
    auto byte = [&r](std::size_t i) -> std::uint8_t {
        return i < r.params.size() ? r.params[i] : 0;
    };
    f.italic = byte(10);
    f.underline = byte(11);
    f.strikeOut = byte(12);
    f.charSet = byte(13);
    f.outPrecision = byte(14);
    f.clipPrecision = byte(15);
    f.quality = byte(16);
    f.pitchAndFamily = byte(17);
    for (std::size_t i = 0; i < kFaceBytes; ++i)
        f.face[i] = byte(18 + i);
    return f;
}

}  // namespace wmf
