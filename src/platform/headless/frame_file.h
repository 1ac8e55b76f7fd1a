// Writes a captured 640 x 480 RGB565 frame to a file: PNG (8-bit RGB), PPM, or the raw frame.
// Each 5- or 6-bit field is widened to 8 bits as platform/rgb565.h says.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/rgb565.h"

namespace qvl {

// Encodes width x height RGB565 pixels (top row first) as a PNG file image; empty when
// encoding fails.
std::vector<uint8_t> encodePng(const uint16_t* pixels, int width, int height);

// Writes the frame by the file name's ending: ".png" as PNG, ".ppm" as binary PPM, anything
// else as the raw frame (little-endian RGB565, top row first). False when writing fails.
bool saveFrame(const std::string& fileName, const uint16_t* pixels, int width, int height);

}  // namespace qvl
