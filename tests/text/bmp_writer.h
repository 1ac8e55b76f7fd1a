// Builds BMP file images in memory for the reader and font tests, from top-down rows of
// one byte per pixel; header fields can be set to unsupported values on purpose.
#pragma once

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

inline void putU16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
inline void putU32(std::vector<uint8_t>& out, uint32_t v) {
    putU16(out, v & 0xFFFF);
    putU16(out, v >> 16);
}

// rows: |height| rows of `width` bytes, top row first (8 bits per pixel; other bit counts
// get their rows filled with zero bytes).
inline std::vector<uint8_t> makeBmp(const BmpLayout& s,
                                    const std::vector<std::vector<uint8_t>>& rows) {
    const int32_t count = s.height < 0 ? -s.height : s.height;
    const uint32_t stride = ((s.bitsPerPixel * s.width + 31) >> 3) & ~3u;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    putU32(out, 0);  // file size: not read
    putU32(out, 0);
    putU32(out, 54 + s.paletteEntries * 4);
    putU32(out, 40);
    putU32(out, uint32_t(s.width));
    putU32(out, uint32_t(s.height));
    putU16(out, s.planes);
    putU16(out, s.bitsPerPixel);
    putU32(out, s.compression);
    putU32(out, stride * count);
    putU32(out, 2835);
    putU32(out, 2835);
    putU32(out, s.coloursUsed);
    putU32(out, 0);
    for (uint32_t i = 0; i < s.paletteEntries; ++i) putU32(out, i == 0 ? 0 : 0xFFFFFF);
    for (int32_t r = 0; r < count; ++r) {
        const int32_t source = s.height > 0 ? count - 1 - r : r;  // bottom-up writes the foot first
        std::vector<uint8_t> row(stride, 0);
        if (s.bitsPerPixel == 8)
            for (int32_t x = 0; x < s.width; ++x) row[x] = rows[source][x];
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace qvl::testing
