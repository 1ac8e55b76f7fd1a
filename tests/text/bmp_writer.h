// Builds BMP file images in memory for the reader and font tests, from top-down rows of
// one byte per pixel; header fields can be set to unsupported values on purpose.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace qvl::testing {

struct BmpLayout {
    int32_t width = 0;
    int32_t height = 0;  // positive: rows stored bottom-up; negative: top-down
    uint16_t planes = 1;
    uint16_t bitsPerPixel = 8;
    uint32_t compression = 0;
    uint32_t coloursUsed = 0;
    uint32_t paletteEntries = 256;  // colour-table entries actually written
};

// rows: |height| rows of `width` bytes, top row first (8 bits per pixel; other bit counts
// get their rows filled with zero bytes).
inline std::vector<uint8_t> makeBmp(const BmpLayout& s,
                                    const std::vector<std::vector<uint8_t>>& rows) {
    const uint32_t count = uint32_t(s.height < 0 ? -s.height : s.height);
    const uint32_t stride = ((s.bitsPerPixel * s.width + 31) >> 3) & ~3u;
    std::vector<uint8_t> out = {'B', 'M'};
    // The header's 32-bit fields, little-endian (planes and bits per pixel share one); the
    // file size is not read.
    const uint32_t width = uint32_t(s.width), height = uint32_t(s.height),
                   offset = 54 + s.paletteEntries * 4, planesBits = s.planes | s.bitsPerPixel << 16;
    for (uint32_t field : {0u, 0u, offset, 40u, width, height, planesBits, s.compression,
                           stride * count, 2835u, 2835u, s.coloursUsed, 0u})
        for (int i = 0; i < 4; ++i) out.push_back(uint8_t(field >> 8 * i));
    for (uint32_t i = 0; i < s.paletteEntries; ++i)
        for (int c = 0; c < 4; ++c) out.push_back(i && c < 3 ? 0xFF : 0);
    for (uint32_t r = 0; r < count; ++r) {
        const uint32_t source = s.height > 0 ? count - 1 - r : r;  // bottom-up: the foot first
        std::vector<uint8_t> row(stride, 0);
        if (s.bitsPerPixel == 8) std::copy_n(rows[source].begin(), s.width, row.begin());
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace qvl::testing
