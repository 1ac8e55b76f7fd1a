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

}  // namespace
}  // namespace qvl
