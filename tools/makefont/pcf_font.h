// A reader for X11 PCF bitmap fonts (uncompressed), enough to take fixed-width glyphs out by
// their Unicode code point: metrics, bitmaps, encodings and the font's ascent.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qvl::makefont {

// One glyph placed in a cell of the font's full height, one byte per pixel (1 ink, 0 paper).
struct CellGlyph {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> ink;  // height rows of width bytes
    bool ink_at(int row, int column) const {
        return row >= 0 && row < height && column >= 0 && column < width &&
               ink[size_t(row) * width + column];
    }
};

class PcfFont {
  public:
    // False, with a reason in error(), when the file is not a PCF font this reader handles.
    bool load(const std::string& fileName);
    const std::string& error() const { return error_; }
    int ascent() const { return ascent_; }
    int descent() const { return descent_; }
    // The glyph of a code point in a cell of cellWidth x (ascent + descent); false when the
    // font has none.
    bool glyph(uint32_t codePoint, int cellWidth, CellGlyph& out) const;

  private:
    struct Metrics {
        int left = 0, right = 0, width = 0, ascent = 0, descent = 0;
    };
    bool fail(const std::string& why) {
        error_ = why;
        return false;
    }

    std::vector<uint8_t> data_;
    std::string error_;
    int ascent_ = 0;
    int descent_ = 0;
    std::vector<Metrics> metrics_;
    std::vector<uint32_t> bitmapOffsets_;
    size_t bitmapStart_ = 0;
    uint32_t bitmapFormat_ = 0;
    int minByte2_ = 0, maxByte2_ = 0, minByte1_ = 0, maxByte1_ = 0;
    std::vector<uint16_t> glyphIndices_;
};

}  // namespace qvl::makefont
