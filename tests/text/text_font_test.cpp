// The bitmap font: the character map, colour table entries, drawGlyph's painting and whole-
// cell clipping, checked against a font image whose glyph pixels the test chose; and the
// glyphs of the font the viewer ships.
#include "text/bitmap_font.h"

#include <algorithm>

#include "../support/scratch_dir.h"
#include "bmp_writer.h"

namespace qvl {
namespace {

constexpr uint16_t kUntouched = 0x1234;

bool patternInk(int i, int j) {
    return (i + j) % 3 == 0;
}
CharCell cell(uint8_t ch, int fg, int bg, bool bold, bool coloured) {
    return {ch, fg, bg, uint8_t(bold), 0, 0, uint8_t(coloured)};
}

// A font image in which "A" holds a diagonal pattern, 219 is solid, the space is empty, and
// the unused cell of code 10 is solid so that drawing it would show.
class TextFont : public testing::ScratchDir {
  protected:
    void SetUp() override {
        ScratchDir::SetUp();
        std::vector<std::vector<uint8_t>> rows(192, std::vector<uint8_t>(128, 0));
        for (int code : {int('A'), 219, 10})
            for (int i = 0; i < 12; ++i)
                for (int j = 0; j < 8; ++j)
                    rows[kCellHeight * (code / 16) + i][kCellWidth * (code % 16) + j] =
                        code != 'A' || patternInk(i, j) ? 7 : 0;
        writeFile("font.bmp", testing::makeBmp({128, 192}, rows));
        font = std::make_unique<BitmapFont>("font.bmp");
        font->setCharMap(charMapRows, kCellWidth, kCellHeight);
        frame.assign(640 * 480, kUntouched);
    }
    void draw(const CharCell& c, int x, int y, int level = 63) {
        font->drawGlyph(frame.data(), 640, c, x, y, level);
    }
    uint16_t at(int x, int y) const { return frame[y * 640 + x]; }
    int changedPixels() const {
        return int(
            std::count_if(frame.begin(), frame.end(), [](uint16_t p) { return p != kUntouched; }));
    }

    std::unique_ptr<BitmapFont> font;
    std::vector<uint16_t> frame;
};

TEST_F(TextFont, CharacterMapPutsCodeNInTheSixteenBySixteenGrid) {
    EXPECT_TRUE(font->usable());
    EXPECT_EQ(font->lineHeight, kCellHeight);
    // The space's last occurrence in the map: row 2, not the rows of spaces.
    const int cells[][3] = {{' ', 0, 24}, {'A', 8, 48}, {127, 120, 84}, {255, 120, 180}};
    for (const auto& [code, x, y] : cells) {
        EXPECT_EQ(font->glyph(uint8_t(code)).x, x) << code;
        EXPECT_EQ(font->glyph(uint8_t(code)).y, y) << code;
    }
    EXPECT_EQ(font->glyphWidth('A'), 8);
    for (int code = 0; code < 32; ++code) EXPECT_EQ(font->glyphWidth(uint8_t(code)), 0) << code;
}

TEST_F(TextFont, CellColoursByLevelWorkedOutInRgb565) {
    // Normal colours have channels of 2 x level, bright ones (bold ink) 4 x level, out of 255;
    // bright black is a grey (100, 100, 100) at every level. Red 20 is 2 in five bits, white
    // 20 is (2, 5, 2), green 40 is 10 in six bits. The last rows: indices past the table
    // (bg 8, fg 9) are black, levels are held to 0..63, every colour but the grey fades out.
    const struct {
        uint8_t ch;
        int fg, bg;
        bool bold, coloured;
        int level;
        uint16_t pixel;  // at the cell's top left, which is ink for 219 and 'A'
    } cases[] = {
        {219, 1, 0, false, true, 63, 0x7800}, {219, 1, 0, true, true, 63, 0xF800},
        {219, 1, 0, false, true, 10, 0x1000}, {219, 2, 0, true, true, 10, 0x0140},
        {219, 7, 0, true, true, 63, 0xFFFF},  {219, 6, 0, false, true, 63, 0x03EF},
        {' ', 7, 4, false, true, 63, 0x000F}, {' ', 7, 3, true, true, 63, 0x7BE0},
        {'A', 3, 1, true, false, 63, 0x7BEF}, {'A', 3, 1, true, false, 10, 0x10A2},
        {219, 0, 0, true, true, 0, 0x632C},   {219, 0, 0, true, true, 63, 0x632C},
        {219, 0, 0, false, true, 63, 0x0000}, {' ', 7, 8, false, true, 63, 0x0000},
        {219, 9, 0, false, true, 63, 0x0000}, {219, 1, 0, false, true, 99, 0x7800},
        {219, 1, 0, false, true, -5, 0x0000}, {219, 5, 0, true, true, 0, 0x0000},
    };
    for (const auto& c : cases) {
        frame.assign(640 * 480, kUntouched);
        draw(cell(c.ch, c.fg, c.bg, c.bold, c.coloured), 0, 0, c.level);
        EXPECT_EQ(at(0, 0), c.pixel) << int(c.ch) << " " << c.fg << "/" << c.bg << " " << c.level;
    }
    EXPECT_EQ(font->normalColor(-1, 63), 0);
}

TEST_F(TextFont, CellsPaintTheirBoxOrOnlyTheirInk) {
    draw(cell(' ', 7, 4, false, true), 16, 24);
    EXPECT_EQ(changedPixels(), 96);
    EXPECT_EQ(at(16, 24), 0x000F);
    EXPECT_EQ(at(23, 35), 0x000F);
    // Bold takes the ink from the bright row, the paper stays normal; an uncoloured cell
    // paints only its ink, in white.
    draw(cell('A', 1, 2, false, true), 100, 100);
    draw(cell('A', 1, 2, true, true), 200, 100);
    draw(cell('A', 3, 1, true, false), 300, 100);
    for (int i = 0; i < 12; ++i) {
        for (int j = 0; j < 8; ++j) {
            EXPECT_EQ(at(100 + j, 100 + i), patternInk(i, j) ? 0x7800 : 0x03E0);
            EXPECT_EQ(at(200 + j, 100 + i), patternInk(i, j) ? 0xF800 : 0x03E0);
            EXPECT_EQ(at(300 + j, 100 + i), patternInk(i, j) ? 0x7BEF : kUntouched);
        }
    }
    // Control codes draw nothing, even coloured.
    frame.assign(640 * 480, kUntouched);
    for (uint8_t ch : {9, 10, 13, 27}) draw(cell(ch, 7, 4, false, true), 0, 0);
    EXPECT_EQ(changedPixels(), 0);
}

TEST_F(TextFont, CellsAreDrawnWholeOrNotAtAll) {
    // The frame's edges, then the clip rectangle (0, 0, 100, 100), whose coarse test rejects
    // a cell by its top left only.
    const struct {
        int x, y, changed;
        bool clip;
    } cases[] = {{632, 468, 96, false}, {633, 0, 0, false}, {0, 469, 0, false},
                 {-1, 0, 0, false},     {0, -1, 0, false},  {100, 0, 0, true},
                 {0, 101, 0, true},     {99, 100, 96, true}};
    for (const auto& c : cases) {
        if (c.clip) font->setClipRect(0, 0, 100, 100);
        frame.assign(640 * 480, kUntouched);
        draw(cell(219, 7, 0, true, true), c.x, c.y);
        EXPECT_EQ(changedPixels(), c.changed) << c.x << "," << c.y;
        if (c.changed) {
            EXPECT_EQ(at(c.x + 7, c.y + 11), 0xFFFF);
        }
    }
}

TEST_F(TextFont, FontsWithoutTheWholeGlyphGridAreUnusableAndDrawNothing) {
    writeFile("small.bmp", testing::makeBmp({64, 64}, std::vector<std::vector<uint8_t>>(
                                                          64, std::vector<uint8_t>(64, 1))));
    BitmapFont missing("none.bmp"), small("small.bmp");
    for (BitmapFont* f : {&missing, &small}) {
        EXPECT_FALSE(f->usable());
        f->setCharMap(charMapRows, kCellWidth, kCellHeight);
        f->drawGlyph(frame.data(), 640, cell(255, 7, 1, false, true), 0, 0, 63);
        f->drawGlyph(frame.data(), 640, cell('A', 7, 1, false, true), 8, 0, 63);
        EXPECT_EQ(f->colorTable[15][63], 0xFFFF);  // the colour table exists even so
    }
    EXPECT_EQ(changedPixels(), 0);
}

// The font the viewer ships: every printable code has a glyph, blocks and shades fill their
// cells, and box-drawing lines meet their neighbours.
TEST(TextShippedFont, GlyphsBlocksAndLines) {
    const std::string path = std::string(QVL_SOURCE_DIR) + "/demo/data/system/font.bmp";
    BmpImage image;
    ASSERT_EQ(loadBmp(path, image), BmpResult::loaded);
    EXPECT_EQ(image.bitsPerPixel, 8);
    ASSERT_EQ(image.width, 128);
    ASSERT_EQ(image.rows(), 192);
    EXPECT_TRUE(BitmapFont(path).usable());
    auto ink = [&](int code, int row, int column) {
        const int x = kCellWidth * (code % 16) + column, y = kCellHeight * (code / 16) + row;
        return image.pixels[size_t(y) * image.stride + x] != 0;
    };
    auto inRow = [&](int code, int row) {
        int n = 0;
        for (int c = 0; c < 8; ++c) n += ink(code, row, c);
        return n;
    };
    auto inColumn = [&](int code, int column) {
        int n = 0;
        for (int r = 0; r < 12; ++r) n += ink(code, r, column);
        return n;
    };
    auto total = [&](int code) {
        int n = 0;
        for (int r = 0; r < 12; ++r) n += inRow(code, r);
        return n;
    };
    for (int code = 0; code < 255; ++code) EXPECT_EQ(total(code) > 0, code > 32) << code;
    for (int r = 0; r < 12; ++r) {
        EXPECT_EQ(inRow(219, r), 8);               // full block
        EXPECT_EQ(inRow(220, r), r >= 6 ? 8 : 0);  // lower half
        EXPECT_EQ(inRow(223, r), r < 6 ? 8 : 0);   // upper half
        EXPECT_EQ(inRow(221, r), 4);               // left half
        EXPECT_EQ(inRow(222, r), 4);               // right half
    }
    EXPECT_LT(total(176), total(177));  // light, medium, dark shades
    EXPECT_LT(total(177), total(178));
    EXPECT_LT(total(178), 96);

    // The single horizontal line runs edge to edge on one row, the vertical one top to bottom
    // in one column; every other single-line glyph uses that same row and column.
    int row = -1, column = -1;
    for (int r = 0; r < 12; ++r) row = inRow(196, r) == 8 ? r : row;
    for (int c = 0; c < 8; ++c) column = inColumn(179, c) == 12 ? c : column;
    ASSERT_GE(row, 0);
    ASSERT_GE(column, 0);
    EXPECT_EQ(inRow(197, row), 8);
    EXPECT_EQ(inColumn(197, column), 12);
    for (int code : {218, 192, 195}) EXPECT_TRUE(ink(code, row, 7)) << code;      // to the right
    for (int code : {191, 217, 180}) EXPECT_TRUE(ink(code, row, 0)) << code;      // to the left
    for (int code : {218, 191, 194}) EXPECT_TRUE(ink(code, 11, column)) << code;  // below
    for (int code : {192, 217, 193}) EXPECT_TRUE(ink(code, 0, column)) << code;   // above
    // The double lines: two rows and two columns shared by all double-line glyphs.
    for (int r = 0; r < 12; ++r) EXPECT_EQ(inRow(205, r) == 8, inRow(206, r) >= 6) << r;
    for (int c = 0; c < 8; ++c) EXPECT_EQ(inColumn(186, c) == 12, inColumn(206, c) >= 10) << c;
}

}  // namespace
}  // namespace qvl
