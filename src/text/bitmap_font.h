// The bitmap font: 8 x 12 glyph cells cut from an image whose non-zero pixels are ink, and the
// 16 text colours precomputed at all 64 fade levels, so that drawing a cell is table lookups
// and 16-bit stores.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "text/bmp_image.h"
#include "text/char_cell.h"

namespace qvl {

inline constexpr int kColorCount = 16;  // rows 0-7 normal, 8-15 bright
inline constexpr int kFadeLevels = 64;  // 0 black ... 63 full brightness
// The glyph cell, and so the text grid: a column is 8 pixels wide, a line 12 pixels high.
inline constexpr int kCellWidth = 8;
inline constexpr int kCellHeight = 12;
inline constexpr int kFontImageWidth = 16 * kCellWidth;    // 128: 16 codes a row
inline constexpr int kFontImageHeight = 16 * kCellHeight;  // 192: 16 rows

struct Glyph {
    int32_t x = 0;  // top-left corner in the font image, in pixels (bytes)
    int32_t y = 0;
    int32_t width = 0;  // 0: the code has no glyph
    int32_t height = 0;
};

struct ClipRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// The layout of the font image: 16 rows of 16 codes; rows 0 and 1 are spaces, row r holds the
// codes 16r to 16r + 15.
extern const std::array<std::array<char, 16>, 16> charMapRows;

class BitmapFont {
  public:
    // Loads the image (a Windows-style name), sets the clip rectangle to the frame, clears the
    // glyphs and builds the colour table. A failed load leaves an empty image; see usable().
    explicit BitmapFont(std::string_view fileName);

    // True when the image loaded and holds the whole 128 x 192 glyph grid; start-up refuses a
    // font for which this is false.
    bool usable() const { return usable_; }
    const BmpImage& image() const { return image_; }

    void setClipRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
        clipRect = {left, top, right, bottom};
    }
    // Assigns cells of cellWidth x cellHeight row by row; a repeated code keeps its last cell.
    void setCharMap(const std::array<std::array<char, 16>, 16>& rows, int32_t cellWidth,
                    int32_t cellHeight);
    void setGlyph(uint8_t code, int32_t x, int32_t y, int32_t width, int32_t height);
    int32_t glyphWidth(uint8_t code) const { return glyphs[code].width; }
    const Glyph& glyph(uint8_t code) const { return glyphs[code]; }

    uint16_t normalColor(int32_t c, int32_t level) const {
        return (c >= 0 && c < 8) ? colorTable[c][level] : 0;
    }
    uint16_t brightColor(int32_t c, int32_t level) const {
        return (c >= 0 && c < 8) ? colorTable[8 + c][level] : 0;
    }

    // Draws one cell with its top-left corner at (x, y) of a frame whose rows are pitch pixels
    // apart. A cell that does not lie wholly inside the 640 x 480 frame is not drawn at all.
    void drawGlyph(uint16_t* frame, int32_t pitch, const CharCell& cell, int32_t x, int32_t y,
                   int32_t level) const;

    int32_t lineHeight = 0;
    ClipRect clipRect;
    uint16_t colorTable[kColorCount][kFadeLevels] = {};

  private:
    void buildColorTable();

    std::array<Glyph, 256> glyphs{};
    BmpImage image_;
    bool usable_ = false;
};

}  // namespace qvl
