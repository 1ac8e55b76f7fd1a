// The small BMP reader of the font: uncompressed single-plane files of 8 or more bits per pixel
// whose colour table and pixel rows follow the 40-byte info header directly.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace qvl {

struct BmpImage {
    int32_t width = 0;
    int32_t height = 0;  // as stored: positive bottom-up, negative top-down
    int32_t bitsPerPixel = 0;
    int32_t stride = 0;           // bytes per row, a multiple of 4
    std::vector<uint8_t> pixels;  // |height| rows of stride bytes, top row first

    int32_t rows() const { return height < 0 ? -height : height; }
};

enum class BmpResult : int { loaded = 1, cannotOpen = -1, unsupported = -2 };

// Reads the file (a Windows-style name, found through the path lookup) into image.
// On failure the image is left empty.
BmpResult loadBmp(std::string_view fileName, BmpImage& image);

}  // namespace qvl
