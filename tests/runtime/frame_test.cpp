// The page text as drawn: glyph positions, colours from the colour rules, long lines, missing
// pages and the start-up failures of the magazine.
#include "magazine_harness.h"

namespace qvl::testing {
namespace {

using FrameTest = MagazineHarness;

const char kPlainOptions[] = "#setpageoption 1 infobar off\n#setpageoption 1 scrollable off\n";

TEST_F(FrameTest, HomePageGlyphsInTheirColours) {
    ASSERT_TRUE(start(std::string("#definepages 2\n#homepage 1\n#startpage 0 \"zero\"\nzero\n") +
                      "#startpage 1 \"home\"\n" + kPlainOptions +
                      "Ab<color 1 4>c<b>d</b></color>e\nsecond\n"));
    frameAt(0);
    EXPECT_EQ(rowText(0, 0, 5), "Abcde");
    EXPECT_EQ(rowText(1, 0, 6), "second");
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

TEST_F(FrameTest, LongLinesShowTheirFirst80Characters) {
    std::string line;
    for (int i = 0; i < 100; ++i) line += static_cast<char>('A' + i % 26);
    ASSERT_TRUE(
        start("#definepages 1\n#startpage 0 \"x\"\n#setpageoption 0 infobar off\n"
              "#setpageoption 0 scrollable off\n" +
              line + "\n" + line + "\n"));
    frameAt(0);
    EXPECT_EQ(rowText(0), line.substr(0, 80));
    EXPECT_EQ(rowText(1), line.substr(0, 80));
}

TEST_F(FrameTest, MissingPagesShowABlackPictureAndEmptyMagazinesRun) {
    ASSERT_TRUE(start("#definepages 1\n#startpage 0 \"x\"\ntext\n"));
    view().currentPage = 7;
    const std::vector<uint16_t>* picture = &frameAt(0);
    EXPECT_EQ(std::count(picture->begin(), picture->end(), 0), kFramePixels);

    ASSERT_TRUE(start("// nothing at all\n"));
    picture = &frameAt(0);
    EXPECT_EQ(std::count(picture->begin(), picture->end(), 0), kFramePixels);
    for (int key : {13, 32, 33, 34, 35, 36, 38, 40, 65}) EXPECT_FALSE(app_->handleKey(key));
    EXPECT_TRUE(app_->runCommand("jump", "0"));
    EXPECT_EQ(view().currentPage, 0);
}

TEST_F(FrameTest, MissingOrBadFontIsRefused) {
    fs::remove(dir() / "data" / "system" / "font.bmp");
    EXPECT_FALSE(start("#definepages 1\n"));
    writeFile("data/system/font.bmp", "BM not really a bitmap");
    EXPECT_FALSE(start("#definepages 1\n"));
    std::vector<uint8_t> small =
        makeBmp({64, 64}, std::vector<std::vector<uint8_t>>(64, std::vector<uint8_t>(64)));
    writeFile("data/system/font.bmp", std::string(small.begin(), small.end()));
    EXPECT_FALSE(start("#definepages 1\n"));
    EXPECT_EQ(platform_.messages(),
              std::vector<std::string>(3, "font file cannot be loaded! terminating..."));
}

TEST_F(FrameTest, ScriptErrorsGiveTheReadersMessageThenOurs) {
    EXPECT_FALSE(start("#definepages 1\n#startpage 0 x\n<bogus>\n"));
    std::vector<std::string> messages = platform_.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "error while parsing script...\nin line 3 (unknown token): bogus");
    EXPECT_EQ(messages[1], "script could not be loaded! terminating...");
}

TEST_F(FrameTest, FontNameIsFoundWhateverItsCase) {
    fs::rename(dir() / "data", dir() / "Data");
    fs::rename(dir() / "Data" / "system" / "font.bmp", dir() / "Data" / "system" / "FONT.BMP");
    EXPECT_TRUE(start("#definepages 1\n"));
}

}  // namespace
}  // namespace qvl::testing
