#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "canvas/wmf_format.h"

// A record of a metafile, copied out for comparison.
struct CopiedRecord {
    std::uint16_t function = 0;
    std::vector<std::int16_t> words;  // the parameters as signed 16-bit words

    bool operator==(const CopiedRecord&) const = default;
};

inline std::vector<CopiedRecord> RecordsOf(std::span<const std::uint8_t> metafile) {
    std::vector<CopiedRecord> out;
    wmf::RecordReader reader(metafile);
    while (auto r = reader.Next()) {
        CopiedRecord c{r->function, {}};
        for (std::size_t i = 0; i < r->Words(); ++i)
            c.words.push_back(r->S16(i));
        out.push_back(c);
    }
    return out;
}
