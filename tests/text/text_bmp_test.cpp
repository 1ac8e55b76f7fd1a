// The BMP reader: row order, stride, colour-table skipping, and the files it refuses.
#include "text/bmp_image.h"

#include "../support/scratch_dir.h"
#include "bmp_writer.h"

namespace qvl {
namespace {

using testing::BmpLayout;
using testing::makeBmp;

class TextBmp : public testing::ScratchDir {};

std::vector<std::vector<uint8_t>> picture(int width, int height) {
    std::vector<std::vector<uint8_t>> rows(height, std::vector<uint8_t>(width));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) rows[y][x] = uint8_t(y * 16 + x + 1);
    return rows;
}

TEST_F(TextBmp, BottomUpAndTopDownGiveTheSameTopFirstPixels) {
    const auto rows = picture(5, 3);
    writeFile("up.bmp", makeBmp({5, 3}, rows));
    writeFile("down.bmp", makeBmp({5, -3}, rows));
    BmpImage up, down;
    ASSERT_EQ(loadBmp("up.bmp", up), BmpResult::loaded);
    ASSERT_EQ(loadBmp("down.bmp", down), BmpResult::loaded);
    EXPECT_EQ(up.height, 3);
    EXPECT_EQ(down.height, -3);
    EXPECT_EQ(up.stride, 8);  // 5 bytes rounded up to a multiple of 4
    ASSERT_EQ(up.pixels.size(), 24u);
    EXPECT_EQ(up.pixels, down.pixels);
    // Row 0 is the top row of the picture: its first pixel is 1, row 2 starts with 33.
    EXPECT_EQ(up.pixels[0], 1);
    EXPECT_EQ(up.pixels[2 * 8 + 4], 2 * 16 + 4 + 1);
}

TEST_F(TextBmp, ColourTableOfTheGivenSizeIsSkipped) {
    BmpLayout layout{4, 2};
    layout.coloursUsed = 2;
    layout.paletteEntries = 2;
    writeFile("small.bmp", makeBmp(layout, picture(4, 2)));
    BmpImage image;
    ASSERT_EQ(loadBmp("small.bmp", image), BmpResult::loaded);
    EXPECT_EQ(image.pixels[0], 1);
    EXPECT_EQ(image.pixels[4], 17);
}

TEST_F(TextBmp, UnsupportedHeadersGiveMinusTwoAndAnEmptyImage) {
    BmpLayout fourBit{8, 2};
    fourBit.bitsPerPixel = 4;
    fourBit.paletteEntries = 16;
    BmpLayout compressed{8, 2};
    compressed.compression = 1;
    BmpLayout twoPlanes{8, 2};
    twoPlanes.planes = 2;
    const auto rows = picture(8, 2);
    auto badSignature = makeBmp({8, 2}, rows);
    badSignature[0] = 'X';
    auto truncated = makeBmp({8, 2}, rows);
    truncated.pop_back();  // the last row is incomplete

    writeFile("4bit.bmp", makeBmp(fourBit, rows));
    writeFile("rle.bmp", makeBmp(compressed, rows));
    writeFile("planes.bmp", makeBmp(twoPlanes, rows));
    writeFile("sig.bmp", badSignature);
    writeFile("short.bmp", truncated);
    writeFile("tiny.bmp", std::string_view("BM"));
    for (const char* name :
         {"4bit.bmp", "rle.bmp", "planes.bmp", "sig.bmp", "short.bmp", "tiny.bmp"}) {
        BmpImage image;
        image.width = 99;
        EXPECT_EQ(loadBmp(name, image), BmpResult::unsupported) << name;
        EXPECT_EQ(image.width, 0) << name;
        EXPECT_EQ(image.height, 0) << name;
        EXPECT_TRUE(image.pixels.empty()) << name;
    }
}

TEST_F(TextBmp, AbsurdSidesAreRefusedBeforeAllocating) {
    BmpLayout huge{8, 2};
    auto file = makeBmp(huge, picture(8, 2));
    file[14 + 8] = 0xFF;  // height 0x7FFF_FF02
    file[14 + 11] = 0x7F;
    writeFile("huge.bmp", file);
    auto wide = makeBmp({8, 2}, picture(8, 2));
    wide[14 + 4] = 0;
    wide[14 + 7] = 0x80;  // width -2^31
    writeFile("wide.bmp", wide);
    BmpImage image;
    EXPECT_EQ(loadBmp("huge.bmp", image), BmpResult::unsupported);
    EXPECT_EQ(loadBmp("wide.bmp", image), BmpResult::unsupported);
}

TEST_F(TextBmp, MissingFileGivesMinusOne) {
    BmpImage image;
    EXPECT_EQ(loadBmp("none.bmp", image), BmpResult::cannotOpen);
    std::filesystem::create_directory("folder.bmp");
    EXPECT_EQ(loadBmp("folder.bmp", image), BmpResult::cannotOpen);
    EXPECT_TRUE(image.pixels.empty());
}

TEST_F(TextBmp, WindowsStyleNameIsFoundWhateverTheLetterCase) {
    std::filesystem::create_directories("Data/System");
    writeFile("Data/System/Font.BMP", makeBmp({4, 1}, picture(4, 1)));
    BmpImage image;
    EXPECT_EQ(loadBmp("data\\system\\font.bmp", image), BmpResult::loaded);
}

}  // namespace
}  // namespace qvl
