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

}  // namespace wmf
