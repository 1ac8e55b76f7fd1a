// The frame's RGB565 pixels and 8-bit colour: packing a colour into a pixel (the font's colour
// table), and widening a pixel back to 8 bits a channel for every backend that shows or saves a
// frame as 8-bit RGB. Widening repeats each field's top bits below itself, so full intensity is
// 255 and the conversion back to RGB565 is exact.
#pragma once

#include <algorithm>
#include <cstdint>

namespace qvl {

// Clamps each component to 0..255 and packs it by dropping low bits (never rounding).
inline uint32_t packRgb565(int red, int green, int blue) {
    const unsigned r = static_cast<unsigned>(std::clamp(red, 0, 255));
    const unsigned g = static_cast<unsigned>(std::clamp(green, 0, 255));
    const unsigned b = static_cast<unsigned>(std::clamp(blue, 0, 255));
    return ((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3);
}

// The 8-bit value of each channel of an RGB565 pixel.
inline void widenRgb565(uint16_t pixel, uint8_t rgb[3]) {
    const unsigned r = pixel >> 11, g = (pixel >> 5) & 0x3F, b = pixel & 0x1F;
    rgb[0] = static_cast<uint8_t>((r << 3) | (r >> 2));
    rgb[1] = static_cast<uint8_t>((g << 2) | (g >> 4));
    rgb[2] = static_cast<uint8_t>((b << 3) | (b >> 2));
}

}  // namespace qvl
