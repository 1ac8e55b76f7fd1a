// RGB565 pixels widened to 8 bits a channel, for every backend that shows or saves a frame as
// 8-bit RGB: each 5- or 6-bit field repeats its top bits below itself, so full intensity is 255
// and the conversion back to RGB565 is exact.
#pragma once

#include <cstdint>

namespace qvl {

// The 8-bit value of each channel of an RGB565 pixel.
inline void widenRgb565(uint16_t pixel, uint8_t rgb[3]) {
    const unsigned r = pixel >> 11, g = (pixel >> 5) & 0x3F, b = pixel & 0x1F;
    rgb[0] = static_cast<uint8_t>((r << 3) | (r >> 2));
    rgb[1] = static_cast<uint8_t>((g << 2) | (g >> 4));
    rgb[2] = static_cast<uint8_t>((b << 3) | (b >> 2));
}

}  // namespace qvl
