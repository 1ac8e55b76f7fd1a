// The viewer's font image made from a PCF font's 8 x 13 glyphs: each glyph loses one pixel
// row to fit the 8 x 12 cell, chosen so that text keeps its shape and box drawing joins up.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pcf_font.h"
#include "text/bitmap_font.h"

namespace qvl::makefont {

// Fills image (128 x 192, top row first, 1 ink, 0 paper) with the codes 32-255. False when
// the font is not 8 pixels wide and 13 high or lacks a glyph; problems lists what went wrong
// (or, on success, the glyphs that had to lose an inked row).
bool makeFontImage(const PcfFont& font, std::vector<uint8_t>& image, std::string& problems);

// Writes the image as an 8-bit bottom-up BMP with a 256-entry colour table (0 black, 1 white).
bool writeFontBmp(const char* fileName, const std::vector<uint8_t>& image);

// Renders the glyphs of a font BMP through the viewer's own font code into a PNG, enlarged.
int renderPreview(const char* bmpName, const char* pngName);

}  // namespace qvl::makefont
