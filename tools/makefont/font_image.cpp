// Cutting 8 x 13 glyphs down to 8 x 12 cells, writing the BMP, and the preview picture that
// draws the result through the viewer's own font code.
#include "font_image.h"

#include <cstdio>
#include <fstream>

#include "platform/headless/frame_file.h"
#include "text/bitmap_font.h"
#include "text/page_text.h"

namespace qvl::makefont {

namespace {

constexpr int kSourceHeight = 13;

// Shades, box drawing, blocks and the two halves of the integral sign fill their cell to the
// edges and must meet their neighbours: they all lose the same (bottom) row, so that lines
// stay at one height and the half blocks come out exactly six rows each.
bool fillsItsCell(int code) {
    return (code >= 176 && code <= 223) || code == 244 || code == 245;
}

bool rowHasInk(const CellGlyph& g, int row) {
    for (int c = 0; c < g.width; ++c)
        if (g.ink_at(row, c)) return true;
    return false;
}

void putU16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void putU32(std::vector<uint8_t>& out, uint32_t v) {
    putU16(out, v & 0xFFFF);
    putU16(out, v >> 16);
}

}  // namespace

bool makeFontImage(const PcfFont& font, std::vector<uint8_t>& image, std::string& problems) {
    if (font.ascent() + font.descent() != kSourceHeight) {
        problems = "the font must be 13 pixels high";
        return false;
    }
    image.assign(size_t(kFontImageWidth) * kFontImageHeight, 0);
    bool complete = true;
    for (int code = 32; code < 256; ++code) {
        CellGlyph g;
        if (!font.glyph(cp437ToUnicode(code), kCellWidth, g)) {
            problems += "no glyph for code " + std::to_string(code) + "\n";
            complete = false;
            continue;
        }
        // Text keeps its shape by losing the empty top row; the rare glyph inked there loses
        // its bottom row instead when that is empty.
        int dropped = kSourceHeight - 1;
        if (!fillsItsCell(code)) {
            dropped = 0;
            if (rowHasInk(g, 0)) {
                dropped = rowHasInk(g, kSourceHeight - 1) ? 0 : kSourceHeight - 1;
                problems += "code " + std::to_string(code) + " is inked in its top row\n";
            }
        }
        const int x0 = kCellWidth * (code % 16), y0 = kCellHeight * (code / 16);
        int row = 0;
        for (int r = 0; r < kSourceHeight; ++r) {
            if (r == dropped) continue;
            for (int c = 0; c < kCellWidth; ++c)
                image[size_t(y0 + row) * kFontImageWidth + x0 + c] = g.ink_at(r, c) ? 1 : 0;
            ++row;
        }
    }
    return complete;
}

bool writeFontBmp(const char* fileName, const std::vector<uint8_t>& image) {
    const uint32_t paletteBytes = 256 * 4;
    const uint32_t pixelBytes =
        kFontImageWidth * kFontImageHeight;  // rows of 128 bytes need no padding
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    putU32(out, 54 + paletteBytes + pixelBytes);
    putU32(out, 0);
    putU32(out, 54 + paletteBytes);
    putU32(out, 40);
    putU32(out, kFontImageWidth);
    putU32(out, kFontImageHeight);  // positive: bottom-up, the usual order
    putU16(out, 1);
    putU16(out, 8);
    putU32(out, 0);
    putU32(out, pixelBytes);
    putU32(out, 2835);  // 72 dots per inch
    putU32(out, 2835);
    putU32(out, 256);
    putU32(out, 0);
    for (int i = 0; i < 256; ++i) putU32(out, i == 0 ? 0x000000 : 0xFFFFFF);
    for (int y = kFontImageHeight - 1; y >= 0; --y)
        out.insert(out.end(), image.begin() + y * kFontImageWidth,
                   image.begin() + (y + 1) * kFontImageWidth);
    std::ofstream file(fileName, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
    return bool(file);
}

int renderPreview(const char* bmpName, const char* pngName) {
    BitmapFont font(bmpName);
    if (!font.usable()) {
        std::fprintf(stderr, "makefont: %s is no usable font image\n", bmpName);
        return 1;
    }
    font.setCharMap(charMapRows, kCellWidth, kCellHeight);
    std::vector<uint16_t> frame(640 * 480, 0);
    auto put = [&](int code, int x, int y, int fg, int bg) {
        CharCell cell;
        cell.ch = uint8_t(code);
        cell.fg = fg;
        cell.bg = bg;
        cell.bold = 1;
        cell.coloured = 1;
        font.drawGlyph(frame.data(), 640, cell, x, y, 63);
    };
    // All 224 glyphs, each on dark blue paper so that the cell's extent shows.
    for (int code = 32; code < 256; ++code) {
        const int i = code - 32;
        put(code, 4 + 12 * (i % 16), 4 + 16 * (i / 16), 7, 4);
    }
    // Boxes drawn cell against cell: single, double and the two mixed kinds.
    const int boxes[4][5][5] = {{{218, 196, 194, 196, 191},
                                 {179, 32, 179, 32, 179},
                                 {195, 196, 197, 196, 180},
                                 {179, 32, 179, 32, 179},
                                 {192, 196, 193, 196, 217}},
                                {{201, 205, 203, 205, 187},
                                 {186, 32, 186, 32, 186},
                                 {204, 205, 206, 205, 185},
                                 {186, 32, 186, 32, 186},
                                 {200, 205, 202, 205, 188}},
                                {{213, 205, 209, 205, 184},
                                 {179, 32, 179, 32, 179},
                                 {198, 205, 216, 205, 181},
                                 {179, 32, 179, 32, 179},
                                 {212, 205, 207, 205, 190}},
                                {{214, 196, 210, 196, 183},
                                 {186, 32, 186, 32, 186},
                                 {199, 196, 215, 196, 182},
                                 {186, 32, 186, 32, 186},
                                 {211, 196, 208, 196, 189}}};
    for (int b = 0; b < 4; ++b)
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < 5; ++c) put(boxes[b][r][c], 208 + 48 * b + 8 * c, 4 + 12 * r, 7, 0);
    // Shades and blocks in areas of 8 x 3 cells, then the half blocks side by side.
    const int fills[] = {176, 177, 178, 219};
    for (int f = 0; f < 4; ++f)
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 8; ++c)
                put(fills[f], 208 + 72 * (f % 2) + 8 * c, 72 + 40 * (f / 2) + 12 * r, 7, 0);
    const int halves[] = {220, 223, 220, 223, 221, 222, 221, 222};
    for (int c = 0; c < 8; ++c) put(halves[c], 208 + 8 * c, 160, 7, 0);
    // A line of text with accented letters.
    const char* sample =
        "Gr\x81\xe1"
        "e, \x80"
        "a va? \xa5"
        "and\xa3 \x99l \x92sir \x9c"
        "5 \xab \xf1\xf8";
    for (int i = 0; sample[i]; ++i) put(uint8_t(sample[i]), 208 + 8 * i, 184, 3, 0);

    // Enlarge three times, so that single pixels can be judged.
    constexpr int kWidth = 480, kHeight = 236, kScale = 3;
    std::vector<uint16_t> big(size_t(kWidth * kScale) * kHeight * kScale);
    for (int y = 0; y < kHeight * kScale; ++y)
        for (int x = 0; x < kWidth * kScale; ++x)
            big[size_t(y) * kWidth * kScale + x] = frame[(y / kScale) * 640 + x / kScale];
    if (!qvl::saveFrame(pngName, big.data(), kWidth * kScale, kHeight * kScale)) {
        std::fprintf(stderr, "makefont: cannot write %s\n", pngName);
        return 1;
    }
    return 0;
}

}  // namespace qvl::makefont
