// Our own small ANSI files under data/, one per case that real art packs rely on: the wrap
// at column 80, the trailing art record, private modes, long lines, 256-colour sequences.
#include "import_fixture.h"

namespace qvl {
namespace {

class TextArtFiles : public testing::ImportFixture {
  protected:
    bool load(const char* name) {
        return importTextFile(std::string(QVL_TEST_DATA) + "/" + name, platform, result);
    }
};

TEST_F(TextArtFiles, WrapAtColumnEighty) {
    ASSERT_TRUE(load("wrap80.ans"));
    EXPECT_EQ(result.lineCount, 3);
    EXPECT_EQ(rowText(0), std::string(80, '#'));
    EXPECT_EQ(rowText(1), std::string(80, '='));
    EXPECT_EQ(rowText(2), "end");
    EXPECT_EQ(attrs(1, 79), "4/0 b");
    EXPECT_EQ(attrs(2, 0), "7/0");
}

TEST_F(TextArtFiles, ArtRecordIsNeverDrawn) {
    ASSERT_TRUE(load("sauce.ans"));
    EXPECT_EQ(result.lineCount, 1);
    EXPECT_EQ(rowText(0), "red art");
    EXPECT_EQ(cell(0, 0).fg, 1);
}

TEST_F(TextArtFiles, PrivateModesAreIgnoredWithoutBeeps) {
    ASSERT_TRUE(load("private.ans"));
    EXPECT_EQ(result.lineCount, 2);
    EXPECT_EQ(rowText(0), "green");
    EXPECT_EQ(rowText(1), "plain");
    EXPECT_EQ(cell(0, 0).fg, 2);
    EXPECT_EQ(platform.beepCount(), 0);
}

TEST_F(TextArtFiles, LongLineWithoutLineFeedsKeepsEveryCellAndColour) {
    ASSERT_TRUE(load("longline.ans"));
    constexpr int kChars = 125 * 70;
    EXPECT_EQ(result.lineCount, kChars / 80 + 1);
    for (int k = 0; k < kChars; ++k) {
        const CharCell& c = cell(k / 80, k % 80);
        const int run = k / 70;
        ASSERT_EQ(c.ch, 'a' + run % 26) << k;
        ASSERT_EQ(c.fg, 1 + run % 7) << k;
    }
}

TEST_F(TextArtFiles, ExtendedColourNumbersDoNotSetAttributes) {
    ASSERT_TRUE(load("colour256.ans"));
    EXPECT_EQ(rowText(0), "ABCD");
    const char* expected[] = {"7/0", "7/0", "7/0 b", "7/0 k"};  // the 1 after "38;5;5" is bold
    for (int c = 0; c < 4; ++c) EXPECT_EQ(attrs(0, c), expected[c]) << c;
}

}  // namespace
}  // namespace qvl
