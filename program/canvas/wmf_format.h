#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

// The parts of the published Windows Metafile Format that the page canvas
// writes and its players read. All values are little-endian; record sizes are
// counted in 16-bit words.

namespace wmf {

// Record functions.
inline constexpr std::uint16_t kEof = 0x0000;
inline constexpr std::uint16_t kSetBkMode = 0x0102;
inline constexpr std::uint16_t kSetMapMode = 0x0103;
inline constexpr std::uint16_t kSetTextColor = 0x0209;
inline constexpr std::uint16_t kSetWindowExt = 0x020C;
inline constexpr std::uint16_t kSelectObject = 0x012D;
inline constexpr std::uint16_t kDeleteObject = 0x01F0;
inline constexpr std::uint16_t kCreatePenIndirect = 0x02FA;
inline constexpr std::uint16_t kCreateFontIndirect = 0x02FB;
inline constexpr std::uint16_t kCreateBrushIndirect = 0x02FC;
inline constexpr std::uint16_t kPolygon = 0x0324;
inline constexpr std::uint16_t kPolyline = 0x0325;
inline constexpr std::uint16_t kEllipse = 0x0418;
inline constexpr std::uint16_t kTextOut = 0x0521;
inline constexpr std::uint16_t kExtTextOut = 0x0A32;
inline constexpr std::uint16_t kArc = 0x0817;

// Background modes, mapping modes, pen and brush styles.
inline constexpr std::uint16_t kTransparent = 1;
inline constexpr std::uint16_t kOpaque = 2;
inline constexpr std::uint16_t kMmAnisotropic = 8;
inline constexpr std::uint16_t kPsSolid = 0;
inline constexpr std::uint16_t kPsNull = 5;
inline constexpr std::uint16_t kPsStyleMask = 0x0F;
inline constexpr std::uint16_t kBsSolid = 0;

// Sizes in bytes.
inline constexpr std::size_t kHeaderBytes = 18;     // META_HEADER
inline constexpr std::size_t kPlaceableBytes = 22;  // the placeable header before it
inline constexpr std::size_t kFaceBytes = 32;       // LOGFONT face field

// EXTTEXTOUT options that add a rectangle to the record.
inline constexpr std::uint16_t kEtoOpaque = 0x0002;
inline constexpr std::uint16_t kEtoClipped = 0x0004;

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// The LOGFONT of the CREATEFONTINDIRECT record, field by field; the face is in
// code page 932, NUL-padded.
struct LogFont {
    std::int16_t height = 0;
    std::int16_t width = 0;
    std::int16_t escapement = 0;  // tenths of a degree, counter-clockwise
    std::int16_t orientation = 0;
    std::int16_t weight = 0;
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 0;
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitchAndFamily = 0;
    std::array<std::uint8_t, kFaceBytes> face{};

    bool operator==(const LogFont&) const = default;
};

// A coordinate as the records hold it: a signed 16-bit value, clamped.
std::int16_t Clamp16(std::int64_t value);

std::uint16_t ReadU16(std::span<const std::uint8_t> bytes, std::size_t offset);
std::uint32_t ReadU32(std::span<const std::uint8_t> bytes, std::size_t offset);
inline std::int16_t ReadS16(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return static_cast<std::int16_t>(ReadU16(bytes, offset));
}

// One record of a metafile: its function and its parameter bytes.
struct Record {
    std::uint16_t function = 0;
    std::span<const std::uint8_t> params;

    std::uint16_t U16(std::size_t word) const { return ReadU16(params, 2 * word); }
    std::int16_t S16(std::size_t word) const { return ReadS16(params, 2 * word); }
    std::uint32_t U32(std::size_t word) const { return ReadU32(params, 2 * word); }
    std::size_t Words() const { return params.size() / 2; }
};

// The LOGFONT a CREATEFONTINDIRECT record holds; missing bytes read as 0.
LogFont ReadLogFont(const Record& record);

// Walks the records of a standard metafile (starting with META_HEADER). Next
// gives the records in order, the end-of-file record last, and nothing after
// it or at a record whose size does not fit the data (Broken then says so).
class RecordReader {
  public:
    explicit RecordReader(std::span<const std::uint8_t> metafile);
    std::optional<Record> Next();
    bool Broken() const { return broken_; }

  private:
    std::span<const std::uint8_t> data_;
    std::size_t offset_ = 0;
    bool done_ = false;
    bool broken_ = false;
};

}  // namespace wmf
