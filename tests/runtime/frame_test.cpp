// The page text as drawn: glyph positions, colours from the colour rules, long lines, missing
// pages, and the start-up of the magazine: its font and its failures.
#include "magazine_harness.h"

namespace qvl::testing {
namespace {

using FrameTest = MagazineHarness;

TEST_F(FrameTest, HomePageGlyphsInTheirColoursAndLongLinesCut) {
    std::string line;  // 100 characters, of which the first 80 show
    for (int i = 0; i < 100; ++i) line += static_cast<char>('A' + i % 26);
    ASSERT_TRUE(
        start("#definepages 2\n#homepage 1\n#startpage 0 \"zero\"\nzero\n"
              "#startpage 1 \"home\"\n#setpageoption 1 infobar off\n"
              "#setpageoption 1 scrollable off\nAb<color 1 4>c<b>d</b></color>e\nsecond\n" +
              line + "\n" + line + "\n"));
    frameAt(0);
    EXPECT_EQ(rowText(0, 0, 5), "Abcde");
    EXPECT_EQ(rowText(1, 0, 6), "second");
    EXPECT_EQ(rowText(2), line.substr(0, 80));
    EXPECT_EQ(rowText(3), line.substr(0, 80));
    const uint16_t white = textColour(7, 63);
    EXPECT_EQ(white, 0x7BEF);
    EXPECT_EQ(cellAt(0, 0).ink, white);  // plain text: white ink on what was there (black)
    EXPECT_EQ(cellAt(0, 0).paper, 0);
    EXPECT_EQ(cellAt(2, 0).ink, textColour(1, 63));  // coloured: red on blue
    EXPECT_EQ(cellAt(2, 0).paper, textColour(4, 63));
    EXPECT_EQ(cellAt(3, 0).ink, 0xF800);  // bold: bright red ink, paper still normal blue
    EXPECT_EQ(cellAt(3, 0).paper, 0x000F);
    EXPECT_EQ(cellAt(4, 0).ink, white);
    // Nothing is drawn after the text: the rest of the picture stays black.
    EXPECT_EQ(cellAt(6, 0).ink, 0);
    EXPECT_EQ(cellAt(0, 5).ink, 0);
}

TEST_F(FrameTest, MissingPagesShowABlackPictureAndEmptyMagazinesRun) {
    ASSERT_TRUE(start("#definepages 1\n#startpage 0 \"x\"\ntext\n"));
    view().currentPage = 7;
    frameAt(0);
    EXPECT_EQ(std::count(picture_.begin(), picture_.end(), 0), kFramePixels);
    ASSERT_TRUE(start("// nothing at all\n"));
    frameAt(0);
    EXPECT_EQ(std::count(picture_.begin(), picture_.end(), 0), kFramePixels);
    for (int key : {13, 32, 33, 34, 35, 36, 38, 40, 65}) EXPECT_FALSE(app_->handleKey(key));
    EXPECT_TRUE(app_->runCommand("jump", "0"));
    EXPECT_EQ(view().currentPage, 0);
}

// The font is found whatever the letter case of its path; a script error gives the reader's
// message and then ours; a missing, broken or too small font is refused.
TEST_F(FrameTest, StartUpFindsTheFontAndRefusesBadFiles) {
    namespace fs = std::filesystem;
    EXPECT_FALSE(start("#definepages 1\n#startpage 0 x\n<bogus>\n"));
    fs::rename(dir() / "data", dir() / "Data");
    fs::rename(dir() / "Data" / "system" / "font.bmp", dir() / "Data" / "system" / "FONT.BMP");
    EXPECT_TRUE(start("#definepages 1\n"));
    fs::remove(dir() / "Data" / "system" / "FONT.BMP");
    EXPECT_FALSE(start("#definepages 1\n"));
    const std::vector<uint8_t> small =
        makeBmp({64, 64}, std::vector<std::vector<uint8_t>>(64, std::vector<uint8_t>(64)));
    for (std::string bytes :
         {std::string("BM not really a bitmap"), std::string(small.begin(), small.end())}) {
        writeFile("Data/system/font.bmp", bytes);
        EXPECT_FALSE(start("#definepages 1\n"));
    }
    const std::string font = "font file cannot be loaded! terminating...";
    EXPECT_EQ(
        platform_.messages(),
        (std::vector<std::string>{"error while parsing script...\nin line 3 (unknown token): bogus",
                                  "script could not be loaded! terminating...", font, font, font}));
}

}  // namespace
}  // namespace qvl::testing
