#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "canvas/wmf_format.h"

// Writes standard Windows metafile records into a byte buffer. Objects take
// the lowest free slot of the object table, as GDI gives them, and DeleteObject
// frees the slot. Coordinates outside the signed 16-bit range of the records
// are clamped when written.
class WmfRecorder {
  public:
    void SetBkMode(std::uint16_t mode);
    void SetMapMode(std::uint16_t mode);
    void SetTextColor(std::uint32_t color);
    void SetWindowExt(std::int32_t x, std::int32_t y);

    // Each gives the slot the new object took.
    std::uint16_t CreatePenIndirect(std::uint16_t style, std::int32_t width, std::uint32_t color);
    std::uint16_t CreateBrushIndirect(std::uint16_t style, std::uint32_t color,
                                      std::uint16_t hatch);
    std::uint16_t CreateFontIndirect(const wmf::LogFont& font);
    void SelectObject(std::uint16_t slot);
    void DeleteObject(std::uint16_t slot);

    void Polyline(std::span<const wmf::Point> points);
    void Polygon(std::span<const wmf::Point> points);
    void Arc(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
             wmf::Point start, wmf::Point end);
    void Ellipse(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
    // bytes: the text in code page 932, one byte per column.
    void TextOut(std::int32_t x, std::int32_t y, std::string_view bytes);
    // The same with the advance of every byte given (dx, one per byte; a
    // double-byte character advances by the sum of its two), no options.
    void ExtTextOut(std::int32_t x, std::int32_t y, std::string_view bytes,
                    std::span<const std::int16_t> dx);

    // Copies one record of another metafile as it is, taking over the object
    // slot it creates or frees.
    void CopyRecord(const wmf::Record& record);

    // Appends the records of another metafile (all but its header and its
    // end-of-file record), taking over its object slots.
    void AppendRecords(std::span<const std::uint8_t> metafile);

    // The complete metafile: META_HEADER, the records, the end-of-file record.
    std::vector<std::uint8_t> Close() const;

  private:
    void Begin(std::uint16_t function, std::size_t paramWords);
    void Put16(std::int64_t value);
    void Put32(std::uint32_t value);
    std::uint16_t TakeSlot();
    void Points(std::uint16_t function, std::span<const wmf::Point> points);

    std::vector<std::uint8_t> records_;
    std::vector<bool> slots_;  // true = taken
    std::uint32_t maxRecordWords_ = 3;
};
