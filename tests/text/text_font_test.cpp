// The bitmap font: the character map, colour table entries, drawGlyph's painting and whole-
// cell clipping, by the cells of data/font_cells.txt drawn with the test font whose glyph
// pixels are known; and the glyphs of the font the viewer ships.
#include "text/bitmap_font.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "../support/scratch_dir.h"
#include "../support/test_font.h"

namespace qvl {
namespace {

constexpr uint16_t kUntouched = 0x1234;

CharCell cell(uint8_t ch, int fg, int bg, bool bold, bool coloured) {
    return {ch, fg, bg, uint8_t(bold), 0, 0, uint8_t(coloured)};
}

class TextFont : public testing::ScratchDir {
  protected:
    void SetUp() override {
        ScratchDir::SetUp();
        writeFile("font.bmp", testing::codedFontBmp());
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

TEST_F(TextFont, CellsPaintTheirColoursWholeOrNotAtAll) {
    EXPECT_TRUE(font->usable());
    EXPECT_EQ(font->lineHeight, kCellHeight);
    for (int code = 0; code < 32; ++code) EXPECT_EQ(font->glyphWidth(uint8_t(code)), 0) << code;
    std::ifstream in(std::string(QVL_TEST_DATA) + "/font_cells.txt");
    std::string line, arrow, ink, paper;
    int cases = 0;
    while (std::getline(in, line)) {
        std::istringstream row(line);
        int ch, fg, bg, bold, coloured, level, x, y, clip;
        if (!(row >> ch >> fg >> bg >> bold >> coloured >> level >> x >> y >> clip >> arrow >>
              ink >> paper))
            continue;  // a comment
        ++cases;
        frame.assign(640 * 480, kUntouched);
        font->setClipRect(0, 0, clip ? 100 : 640, clip ? 100 : 480);
        draw(cell(uint8_t(ch), fg, bg, bold, coloured), x, y, level);
        std::vector<uint16_t> expected, drawn;
        for (int i = 0; i < 12 && ink + paper != "--"; ++i) {
            for (int j = 0; j < 8; ++j) {
                const std::string& want = i == 1 || (i == 0 && (ch >> j & 1)) ? ink : paper;
                expected.push_back(want == "-" ? kUntouched : std::stoi(want, nullptr, 16));
                drawn.push_back(at(x + j, y + i));
            }
        }
        EXPECT_EQ(drawn, expected) << line;
        EXPECT_EQ(changedPixels(), std::count_if(expected.begin(), expected.end(),
                                                 [](int p) { return p != kUntouched; }))
            << line;
    }
    EXPECT_EQ(cases, 34);
    EXPECT_EQ(font->normalColor(-1, 63), 0);
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
    // The inked pixels of a code's cell in rows [r0, r1) and columns [c0, c1).
    auto inked = [&](int code, int r0, int r1, int c0, int c1) {
        int n = 0;
        for (int r = r0, y = kCellHeight * (code / 16); r < r1; ++r)
            for (int c = c0, x = kCellWidth * (code % 16); c < c1; ++c)
                n += image.pixels[size_t(y + r) * image.stride + x + c] != 0;
        return n;
    };
    auto ink = [&](int code, int r, int c) { return inked(code, r, r + 1, c, c + 1) > 0; };
    auto inRow = [&](int code, int r) { return inked(code, r, r + 1, 0, 8); };
    auto inColumn = [&](int code, int c) { return inked(code, 0, 12, c, c + 1); };
    auto total = [&](int code) { return inked(code, 0, 12, 0, 8); };
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
