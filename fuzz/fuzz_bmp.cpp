// Fuzzes the BMP reader and the font drawn from it: the input is the font file; every code is
// drawn, coloured and plain, at the frame's corners and just outside them.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/window_host.h"
#include "scratch.h"
#include "text/bitmap_font.h"
#include "text/bmp_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qvl::fuzz::enterScratchDirectory("qvl-fuzz-bmp");
    qvl::fuzz::writeFile("font.bmp", std::string_view(reinterpret_cast<const char*>(data), size));
    qvl::BmpImage image;
    qvl::loadBmp("font.bmp", image);
    qvl::BitmapFont font("font.bmp");
    font.setCharMap(qvl::charMapRows, 8, 12);
    static std::vector<uint16_t> frame(qvl::kFramePixels);
    const int positions[][2] = {{0, 0}, {632, 468}, {633, 469}, {-1, -1}, {320, 240}};
    for (int code = 0; code < 256; ++code) {
        qvl::CharCell cell;
        cell.ch = static_cast<uint8_t>(code);
        cell.fg = code % 9;
        cell.bg = code % 10;
        cell.bold = code & 1;
        cell.coloured = (code >> 1) & 1;
        for (const auto& p : positions)
            font.drawGlyph(frame.data(), qvl::kFrameWidth, cell, p[0], p[1], code % 64);
    }
    return 0;
}
