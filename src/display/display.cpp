// Colour packing: the only colour conversion in the viewer.
#include "display/display.h"

#include <algorithm>

namespace qvl {

uint32_t packRgb565(int red, int green, int blue) {
    unsigned r = static_cast<unsigned>(std::clamp(red, 0, 255));
    unsigned g = static_cast<unsigned>(std::clamp(green, 0, 255));
    unsigned b = static_cast<unsigned>(std::clamp(blue, 0, 255));
    return ((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3);
}

}  // namespace qvl
