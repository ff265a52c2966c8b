#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "canvas/clsStrMeta.h"
#include "canvas/wmf_format.h"
#include "core/codepage.h"

// A text a page records: its logical position and its text in UTF-8.
struct PageText {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::string text;

    bool operator==(const PageText&) const = default;
};

inline std::vector<PageText> TextsOf(const clsStrMeta& page) {
    std::vector<PageText> out;
    wmf::RecordReader reader(page.PageBits());
    while (auto r = reader.Next()) {
        if (r->function != wmf::kTextOut)
            continue;
        std::size_t length = r->U16(0);
        std::size_t words = (length + 1) / 2;
        std::string bytes(reinterpret_cast<const char*>(r->params.data()) + 2, length);
        out.push_back({r->S16(1 + words + 1), r->S16(1 + words), Cp932ToUtf8(bytes)});
    }
    return out;
}

// Where the canvas, set up like `recording`, places a text at the cell
// position (column, row).
inline PageText TextPlaced(const clsStrMeta& recording, double column, double row,
                           const std::string& text) {
    clsStrMeta copy = recording;
    copy.PicTextT(column, row, text, 0);
    copy.PicEnd();
    return TextsOf(copy).back();
}

// The texts of the page equal to `text`.
inline std::vector<PageText> TextsEqual(const clsStrMeta& page, const std::string& text) {
    std::vector<PageText> out;
    for (const PageText& t : TextsOf(page))
        if (t.text == text)
            out.push_back(t);
    return out;
}
