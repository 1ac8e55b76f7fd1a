// The overlays: the info bar's name and percentage, the scroll bar's ends, track and thumb, and
// the menu selection, checked against positions and colours worked out by hand.
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
// which the track's code 176 lacks); -1 when no row between the two ends does, -2 for two.
int thumbRow(const std::vector<uint16_t>& picture) {
    int found = -1;
    for (int row = 1; row <= 38; ++row)
        if (picture[kCellHeight * row * kFrameWidth + 632 + 1] == 0xFFFF)
            found = found == -1 ? row : -2;
    return found;
}

// At the top: (0 + 5) / (lines - 39) x 120 percent, capped at 100; the thumb at row 1 plus the
// same ratio x 40, row 38 at most; pages that fit show 100% and no thumb. At the end of 100
// lines (scrollY 480 - 1200): (60 + 5) / 61 x 120 = 127, capped; x 40 = 42, row 38. The info
// bar covers line 0; the name is cut at column 73, where the percentage starts.
TEST_F(OverlayTest, InfoBarAndScrollBarByPageLengthAndScroll) {
    const std::string name = "Contents" + std::string(82, 'N');
    const struct {
        int lines;
        bool toEnd;
        const char* percent;
        int thumb;
        std::string lineShown;
    } cases[] = {{0, false, "100", -1, ""},
                 {39, false, "100", -1, "line 1"},
                 {40, false, "100", 38, "line 1"},
                 {100, false, "009", 4, "line 1"},
                 {100, true, "100", 38, "line 99"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(
            start("#definepages 1\n#startpage 0 \"" + name + "\"\n" + pageOfLines(c.lines)));
        if (c.toEnd) app_->handleKey(kVkEnd);
        frameAt(0);
        EXPECT_EQ(rowText(0), name.substr(0, 73) + "  " + c.percent + "% ") << c.lines;
        EXPECT_EQ(thumbRow(picture_), c.thumb) << c.lines;
        const int size = static_cast<int>(c.lineShown.size());
        EXPECT_EQ(rowText(c.toEnd ? 39 : 1, 0, size), c.lineShown) << c.lines;
    }
    EXPECT_EQ(cellAt(0, 0).ink, 0);  // the info bar: black on white
    EXPECT_EQ(cellAt(0, 0).paper, textColour(7, 63));
    EXPECT_EQ(cellAt(79, 10).code, 176);  // the track
    EXPECT_EQ(cellAt(79, 10).ink, textColour(7, 63));
    ASSERT_TRUE(start("#definepages 1\n#startpage 0 x\n#setpageoption 0 infobar off\n"));
    frameAt(1);
    for (int row : {0, 39}) {  // the ends: bold white, the bright row
        EXPECT_EQ(cellAt(79, row).code, 219) << row;
        EXPECT_EQ(cellAt(79, row).ink, 0xFFFF) << row;
    }
}

// Selection 0: line 1, columns 3 to 7, green on red; selection 1: line 9 (past the text),
// columns 1 to 3, bold cyan on magenta, drawn as spaces. With the info bar no selection shows.
TEST_F(OverlayTest, MenuSelectionIsRedrawnInItsColours) {
    std::string menu =
        "#definepages 1\n#startpage 0 menu\n#setpageoption 0 infobar off\n"
        "#setpageoption 0 scrollable off\n#startmenu\n#defineselects 2\n"
        "#menuselect 0 1 3 7 2 1 0 0 jump 0\n#menuselect 1 9 1 3 6 5 1 0 jump 0\n#endmenu\n"
        "0123456789\nsecond\n";
    ASSERT_TRUE(start(menu));
    frameAt(0);
    EXPECT_EQ(rowText(0, 0, 10), "0123456789");
    for (int c = 1; c <= 7; ++c) {
        const bool in = c >= 2 && c <= 6;
        EXPECT_EQ(cellAt(c, 0).ink, textColour(in ? 2 : 7, 63)) << c;
        EXPECT_EQ(cellAt(c, 0).paper, in ? textColour(1, 63) : 0) << c;
    }
    app_->handleKey(kVkDown);
    frameAt(1);
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(cellAt(c, 8).code, c < 3 ? ' ' : 255) << c;  // 255: nothing drawn
        EXPECT_EQ(cellAt(c, 8).ink, c < 3 ? textColour(6, 63, true) : 0) << c;
        EXPECT_EQ(cellAt(c, 8).paper, c < 3 ? textColour(5, 63) : 0) << c;
    }
    menu.replace(menu.find("infobar off"), 11, "infobar on");
    ASSERT_TRUE(start(menu));
    frameAt(2);
    EXPECT_EQ(rowText(1, 0, 6), "second");
    EXPECT_EQ(cellAt(2, 1).paper, 0);
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
