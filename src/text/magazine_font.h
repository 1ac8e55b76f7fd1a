// The magazine's font: the one file every magazine draws its text with, made into the 8 x 12
// font the way start-up takes it. The viewer and a check load it alike.
#pragma once

#include <memory>

#include "text/bitmap_font.h"

namespace qvl {

inline constexpr const char* kFontFile = "data\\system\\font.bmp";

// The font file made into the 8 x 12 font, clipped to the 640 x 480 picture, or none when it
// cannot be loaded or used.
std::unique_ptr<BitmapFont> loadMagazineFont();

}  // namespace qvl
