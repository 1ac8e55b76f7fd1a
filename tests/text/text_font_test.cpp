// The bitmap font: the character map, colour table entries, drawGlyph's painting and whole-
// cell clipping, by the cells of data/font_cells.txt drawn with the test font whose glyph
// pixels are known; the BMP reader: row order, stride, colour-table skipping, and the files it
// refuses; and the glyphs of the font the viewer ships.
#include "text/bitmap_font.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "../support/scratch_dir.h"
#include "../support/test_font.h"

namespace qvl {
namespace {

constexpr uint16_t kUntouched = 0x1234;

class TextFont : public testing::ScratchDir {
  protected:
    int changedPixels() const {
        return int(
            std::count_if(frame.begin(), frame.end(), [](uint16_t p) { return p != kUntouched; }));
    }
    std::vector<uint16_t> frame = std::vector<uint16_t>(640 * 480, kUntouched);
};

TEST_F(TextFont, CellsPaintTheirColoursWholeOrNotAtAll) {
    writeFile("font.bmp", testing::codedFontBmp());
    BitmapFont font("font.bmp");
    font.setCharMap(charMapRows, kCellWidth, kCellHeight);
    EXPECT_TRUE(font.usable());
    EXPECT_EQ(font.lineHeight, kCellHeight);
    for (int code = 0; code < 32; ++code) EXPECT_EQ(font.glyphWidth(uint8_t(code)), 0) << code;
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
        font.setClipRect(0, 0, clip ? 100 : 640, clip ? 100 : 480);
        const CharCell cell{uint8_t(ch), fg, bg, uint8_t(bold), 0, 0, uint8_t(coloured)};
        font.drawGlyph(frame.data(), 640, cell, x, y, level);
        std::vector<uint16_t> expected, drawn;
        for (int i = 0; i < 12 && ink + paper != "--"; ++i) {
            for (int j = 0; j < 8; ++j) {
                const std::string& want = i == 1 || (i == 0 && (ch >> j & 1)) ? ink : paper;
                expected.push_back(want == "-" ? kUntouched : std::stoi(want, nullptr, 16));
                drawn.push_back(frame[(y + i) * 640 + x + j]);
            }
        }
        EXPECT_EQ(drawn, expected) << line;
        EXPECT_EQ(changedPixels(), std::count_if(expected.begin(), expected.end(),
                                                 [](int p) { return p != kUntouched; }))
            << line;
    }
    EXPECT_EQ(cases, 35);
}

TEST_F(TextFont, FontsWithoutTheWholeGlyphGridAreUnusableAndDrawNothing) {
    writeFile("small.bmp", testing::makeBmp({64, 64}, std::vector<std::vector<uint8_t>>(
                                                          64, std::vector<uint8_t>(64, 1))));
    BitmapFont missing("none.bmp"), small("small.bmp");
    for (BitmapFont* f : {&missing, &small}) {
        EXPECT_FALSE(f->usable());
        f->setCharMap(charMapRows, kCellWidth, kCellHeight);
        f->drawGlyph(frame.data(), 640, {255, 7, 1, 0, 0, 0, 1}, 0, 0, 63);
        f->drawGlyph(frame.data(), 640, {'A', 7, 1, 0, 0, 0, 1}, 8, 0, 63);
        EXPECT_EQ(f->colorTable[15][63], 0xFFFF);  // the colour table exists even so
    }
    EXPECT_EQ(changedPixels(), 0);
}

using testing::BmpLayout;
using testing::makeBmp;

class TextBmp : public testing::ScratchDir {};

std::vector<std::vector<uint8_t>> picture(int width, int height) {
    std::vector<std::vector<uint8_t>> rows(height, std::vector<uint8_t>(width));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) rows[y][x] = uint8_t(y * 16 + x + 1);
    return rows;
}

TEST_F(TextBmp, RowsComeTopFirstWhateverTheirOrderInTheFile) {
    const auto rows = picture(5, 3);
    BmpLayout small{4, 2};  // with a colour table of two entries, which is skipped
    small.coloursUsed = small.paletteEntries = 2;
    writeFile("up.bmp", makeBmp({5, 3}, rows));
    writeFile("down.bmp", makeBmp({5, -3}, rows));
    writeFile("small.bmp", makeBmp(small, picture(4, 2)));
    BmpImage up, down, two;
    ASSERT_EQ(loadBmp("up.bmp", up), BmpResult::loaded);
    ASSERT_EQ(loadBmp("down.bmp", down), BmpResult::loaded);
    ASSERT_EQ(loadBmp("small.bmp", two), BmpResult::loaded);
    EXPECT_EQ(up.height, 3);
    EXPECT_EQ(down.height, -3);
    EXPECT_EQ(up.stride, 8);  // 5 bytes rounded up to a multiple of 4
    ASSERT_EQ(up.pixels.size(), 24u);
    EXPECT_EQ(up.pixels, down.pixels);
    // Row 0 is the top row of the picture: its first pixel is 1, row 2 starts with 33.
    EXPECT_EQ(up.pixels[0], 1);
    EXPECT_EQ(up.pixels[2 * 8 + 4], 2 * 16 + 4 + 1);
    EXPECT_EQ(two.pixels, (std::vector<uint8_t>{1, 2, 3, 4, 17, 18, 19, 20}));
}

TEST_F(TextBmp, UnsupportedHeadersAndAbsurdSidesGiveAnEmptyImage) {
    const auto rows = picture(8, 2);
    auto file = [&rows](BmpLayout layout, std::initializer_list<std::pair<int, uint8_t>> bytes) {
        auto out = makeBmp(layout, rows);
        for (auto [at, value] : bytes) out[size_t(at)] = value;
        return out;
    };
    BmpLayout fourBit{8, 2}, compressed{8, 2}, twoPlanes{8, 2};
    fourBit.bitsPerPixel = 4;
    fourBit.paletteEntries = 16;
    compressed.compression = 1;
    twoPlanes.planes = 2;
    auto truncated = makeBmp({8, 2}, rows);
    truncated.pop_back();  // the last row is incomplete
    writeFile("4bit.bmp", makeBmp(fourBit, rows));
    writeFile("rle.bmp", makeBmp(compressed, rows));
    writeFile("planes.bmp", makeBmp(twoPlanes, rows));
    writeFile("sig.bmp", file({8, 2}, {{0, 'X'}}));
    writeFile("short.bmp", truncated);
    writeFile("tiny.bmp", std::string_view("BM"));
    writeFile("huge.bmp", file({8, 2}, {{14 + 8, 0xFF}, {14 + 11, 0x7F}}));  // height 0x7FFFFF02
    writeFile("wide.bmp", file({8, 2}, {{14 + 4, 0}, {14 + 7, 0x80}}));      // width -2^31
    for (const char* name : {"4bit.bmp", "rle.bmp", "planes.bmp", "sig.bmp", "short.bmp",
                             "tiny.bmp", "huge.bmp", "wide.bmp"}) {
        BmpImage image;
        image.width = 99;
        EXPECT_EQ(loadBmp(name, image), BmpResult::unsupported) << name;
        EXPECT_EQ(image.width, 0) << name;
        EXPECT_EQ(image.height, 0) << name;
        EXPECT_TRUE(image.pixels.empty()) << name;
    }
}

TEST_F(TextBmp, NamesAreFoundWhateverTheLetterCaseAndMissingFilesCannotOpen) {
    std::filesystem::create_directories("Data/System");
    writeFile("Data/System/Font.BMP", makeBmp({4, 1}, picture(4, 1)));
    std::filesystem::create_directory("folder.bmp");
    BmpImage image;
    EXPECT_EQ(loadBmp("data\\system\\font.bmp", image), BmpResult::loaded);
    EXPECT_EQ(loadBmp("none.bmp", image), BmpResult::cannotOpen);
    EXPECT_EQ(loadBmp("folder.bmp", image), BmpResult::cannotOpen);
    EXPECT_TRUE(image.pixels.empty());
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
