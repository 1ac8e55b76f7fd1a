// The overlays: the info bar's name and percentage, the scroll bar's thumb and the menu
// selection, checked against positions and colours worked out by hand.
#include "magazine_harness.h"

namespace qvl::testing {
namespace {

using OverlayTest = MagazineHarness;

std::string pageOfLines(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) text += "line " + std::to_string(i) + "\n";
    return text;
}

// The row of the scroll bar whose cell shows the thumb (pixel 1 of row 0 of code 178 is ink,
// which the track's code 176 lacks); -1 when no row between the two ends does.
int thumbRow(const std::vector<uint16_t>& picture) {
    int found = -1;
    for (int row = 1; row <= 38; ++row)
        if (picture[kCellHeight * row * kFrameWidth + 632 + 1] == 0xFFFF) {
            if (found != -1) return -2;
            found = row;
        }
    return found;
}

TEST_F(OverlayTest, InfoBarAndThumbOfA100LinePage) {
    const std::string name = "Contents" + std::string(82, 'N');
    ASSERT_TRUE(start("#definepages 1\n#startpage 0 \"" + name + "\"\n" + pageOfLines(100)));
    frameAt(0);
    // (0 + 5) / 61 x 120 = 9.8 -> 9; the name from column 0 cut at 73, the percentage from 73.
    EXPECT_EQ(rowText(0), name.substr(0, 73) + "  009% ");
    EXPECT_EQ(cellAt(0, 0).ink, 0);                    // black ink
    EXPECT_EQ(cellAt(0, 0).paper, textColour(7, 63));  // on white paper
    // (0 + 5) / 61 x 40 = 3.3 -> t 3, drawn at row 4.
    EXPECT_EQ(thumbRow(picture_), 4);
    EXPECT_EQ(rowText(1, 0, 6), "line 1");  // the info bar covers line 0

    app_->handleKey(kVkEnd);  // scrollY = 480 - 1200 = -720
    EXPECT_EQ(view().scrollY, -720);
    frameAt(1);
    // (60 + 5) / 61 x 120 = 127 -> capped at 100; x 40 = 42 -> row 38.
    EXPECT_EQ(rowText(0, 73, 7), "  100% ");
    EXPECT_EQ(thumbRow(picture_), 38);
    EXPECT_EQ(rowText(39, 0, 7), "line 99");
}

TEST_F(OverlayTest, ScrollBarEndsAndTrack) {
    ASSERT_TRUE(
        start("#definepages 1\n#startpage 0 x\n#setpageoption 0 infobar off\n" + pageOfLines(100)));
    frameAt(0);
    SeenCell top = cellAt(79, 0), bottom = cellAt(79, 39), track = cellAt(79, 10);
    EXPECT_EQ(top.code, 219);
    EXPECT_EQ(top.ink, 0xFFFF);  // bold white: the bright row
    EXPECT_EQ(bottom.code, 219);
    EXPECT_EQ(track.code, 176);
    EXPECT_EQ(track.ink, textColour(7, 63));
}

// At the top: (0 + 5) / (lines - 39) x 120 percent, capped at 100; the thumb at row 1 plus the
// same ratio x 40, row 38 at most; pages that fit show 100% and no thumb.
TEST_F(OverlayTest, PercentageAndThumbByPageLength) {
    const struct {
        int lines;
        const char* percent;
        int thumb;
    } cases[] = {
        {0, "100", -1}, {20, "100", -1}, {39, "100", -1}, {40, "100", 38}, {100, "009", 4}};
    for (const auto& c : cases) {
        ASSERT_TRUE(start("#definepages 1\n#startpage 0 p\n" + pageOfLines(c.lines)));
        frameAt(0);
        EXPECT_EQ(rowText(0), "p" + std::string(72, ' ') + "  " + c.percent + "% ")
            << c.lines << " lines";
        EXPECT_EQ(thumbRow(picture_), c.thumb) << c.lines << " lines";
    }
}

const char kMenuPage[] =
    "#definepages 1\n#startpage 0 menu\n#setpageoption 0 infobar off\n"
    "#setpageoption 0 scrollable off\n#startmenu\n#defineselects 2\n"
    "#menuselect 0 1 3 7 2 1 0 0 jump 0\n#menuselect 1 9 1 3 6 5 1 0 jump 0\n#endmenu\n"
    "0123456789\nsecond\n";

TEST_F(OverlayTest, MenuSelectionIsRedrawnInItsColours) {
    ASSERT_TRUE(start(kMenuPage));
    frameAt(0);
    // Line 1, columns 3 to 7: x = 16 to 55, y = 0, green on red.
    EXPECT_EQ(rowText(0, 0, 10), "0123456789");
    for (int c = 2; c <= 6; ++c) {
        EXPECT_EQ(cellAt(c, 0).ink, textColour(2, 63)) << c;
        EXPECT_EQ(cellAt(c, 0).paper, textColour(1, 63)) << c;
    }
    EXPECT_EQ(cellAt(1, 0).ink, textColour(7, 63));  // outside the selection: plain text
    EXPECT_EQ(cellAt(1, 0).paper, 0);
    EXPECT_EQ(cellAt(7, 0).paper, 0);
}

TEST_F(OverlayTest, SelectionOnALineThatDoesNotExistShowsSpaces) {
    ASSERT_TRUE(start(kMenuPage));
    app_->handleKey(kVkDown);  // selection 1: line 9, columns 1 to 3, bold cyan on magenta
    frameAt(0);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(cellAt(c, 8).code, ' ');
        EXPECT_EQ(cellAt(c, 8).ink, textColour(6, 63, true));
        EXPECT_EQ(cellAt(c, 8).paper, textColour(5, 63));
    }
}

TEST_F(OverlayTest, MenuWithTheInfoBarShowsNoSelection) {
    std::string script = kMenuPage;
    script.replace(script.find("#setpageoption 0 infobar off"), 28, "#setpageoption 0 infobar on");
    ASSERT_TRUE(start(script));
    frameAt(0);
    EXPECT_EQ(rowText(1, 0, 6), "second");
    EXPECT_EQ(cellAt(2, 1).paper, 0);  // no highlight anywhere
}

TEST_F(OverlayTest, UnfilledSelectionSlotDrawsNothingWrong) {
    ASSERT_TRUE(
        start("#definepages 1\n#startpage 0 m\n#setpageoption 0 infobar off\n"
              "#setpageoption 0 scrollable off\n#startmenu\n#defineselects 3\n#endmenu\n"
              "abc\n"));
    frameAt(0);
    // Slot 0 is all zeros: line 0, columns 0 to 0, which lies outside the page.
    EXPECT_EQ(rowText(0, 0, 3), "abc");
    EXPECT_EQ(cellAt(0, 0).paper, 0);
}

}  // namespace
}  // namespace qvl::testing
