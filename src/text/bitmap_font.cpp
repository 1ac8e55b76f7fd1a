// Glyph cells, the fade-level colour table and the cell drawing of the bitmap font. Colours
// are looked up once per cell; the pixel loop only tests for ink.
#include "text/bitmap_font.h"

#include "platform/rgb565.h"
#include "platform/window_host.h"

namespace qvl {

namespace {

constexpr std::array<char, 16> spaceRow() {
    std::array<char, 16> row{};
    for (char& c : row) c = ' ';
    return row;
}

constexpr std::array<char, 16> codeRow(int r) {
    std::array<char, 16> row{};
    for (int i = 0; i < 16; ++i) row[i] = static_cast<char>(16 * r + i);
    return row;
}

}  // namespace

const std::array<std::array<char, 16>, 16> charMapRows = {
    spaceRow(),  spaceRow(),  codeRow(2),  codeRow(3), codeRow(4),  codeRow(5),
    codeRow(6),  codeRow(7),  codeRow(8),  codeRow(9), codeRow(10), codeRow(11),
    codeRow(12), codeRow(13), codeRow(14), codeRow(15)};

BitmapFont::BitmapFont(std::string_view fileName) {
    loadBmp(fileName, image_);  // the result is not needed: usable() tells the runtime
    usable_ = !image_.pixels.empty() && image_.width >= kFontImageWidth &&
              image_.rows() >= kFontImageHeight;
    clipRect = {0, 0, kFrameWidth, kFrameHeight};
    glyphs.fill(Glyph{});
    buildColorTable();
}

void BitmapFont::buildColorTable() {
    for (int c = 0; c < 8; ++c) {
        for (int k = 0; k < kFadeLevels; ++k) {
            const int normal = 2 * k;
            const int bright = 4 * k;
            colorTable[c][k] = static_cast<uint16_t>(
                packRgb565((c & 1) ? normal : 0, (c & 2) ? normal : 0, (c & 4) ? normal : 0));
            colorTable[8 + c][k] = static_cast<uint16_t>(
                packRgb565((c & 1) ? bright : 0, (c & 2) ? bright : 0, (c & 4) ? bright : 0));
        }
    }
    // quirk: bright black is a fixed grey that does not fade
    for (int k = 0; k < kFadeLevels; ++k)
        colorTable[8][k] = static_cast<uint16_t>(packRgb565(100, 100, 100));
}

void BitmapFont::setCharMap(const std::array<std::array<char, 16>, 16>& rows, int32_t cellWidth,
                            int32_t cellHeight) {
    int32_t y = 0;
    for (const auto& row : rows) {
        int32_t x = 0;
        for (char c : row) {
            setGlyph(static_cast<uint8_t>(c), x, y, cellWidth, cellHeight);
            x += cellWidth;
        }
        y += cellHeight;
    }
    lineHeight = cellHeight;
}

void BitmapFont::setGlyph(uint8_t code, int32_t x, int32_t y, int32_t width, int32_t height) {
    glyphs[code] = {x, y, width, height};
    lineHeight = height;
}

void BitmapFont::drawGlyph(uint16_t* frame, int32_t pitch, const CharCell& cell, int32_t x,
                           int32_t y, int32_t level) const {
    const Glyph& g = glyphs[cell.ch];
    if (g.width == 0 || g.height == 0) return;
    if (x >= clipRect.right || y > clipRect.bottom || x + g.width < clipRect.left ||
        y + g.height < clipRect.top)
        return;
    // Glyphs are never cut: a cell partly outside the frame is skipped whole.
    if (x < 0 || x > kFrameWidth - g.width || y < 0 || y > kFrameHeight - g.height) return;
    // guard: an image without the whole glyph grid, or a glyph set beyond it, draws nothing
    if (!usable_ || g.x < 0 || g.y < 0 || g.x + g.width > image_.stride ||
        g.y + g.height > image_.rows())
        return;
    // guard: levels outside 0-63 are held to the table
    if (level < 0) level = 0;
    if (level >= kFadeLevels) level = kFadeLevels - 1;

    const uint8_t* source = image_.pixels.data() + int64_t(g.y) * image_.stride + g.x;
    uint16_t* target = frame + int64_t(y) * pitch + x;
    if (cell.coloured) {
        const uint16_t paper = normalColor(cell.bg, level);
        const uint16_t ink = cell.bold ? brightColor(cell.fg, level) : normalColor(cell.fg, level);
        for (int32_t i = 0; i < g.height; ++i, source += image_.stride, target += pitch)
            for (int32_t j = 0; j < g.width; ++j) target[j] = source[j] ? ink : paper;
    } else {
        const uint16_t ink = normalColor(7, level);
        for (int32_t i = 0; i < g.height; ++i, source += image_.stride, target += pitch)
            for (int32_t j = 0; j < g.width; ++j)
                if (source[j]) target[j] = ink;
    }
}

}  // namespace qvl
