// Page changes with fading: the levels by the millisecond clock, the switch on the first
// fade-in frame, the duration by fadespeed; and without fading, the change at once.
#include "magazine_harness.h"

namespace qvl::testing {
namespace {

using FadeTest = MagazineHarness;

// Page 0 holds "zero" and `more` further lines; N jumps to page 1.
std::string twoPages(const std::string& options, int more = 0) {
    std::string s = "#startglobalconfig\n" + options +
                    "#definekeys 1\n#key 0 n jump 1\n#endglobalconfig\n"
                    "#definepages 2\n#startpage 0 zero\n#setpageoption 0 infobar off\nzero\n";
    for (int i = 0; i < more; ++i) s += "more\n";
    return s + "#startpage 1 one\n#setpageoption 1 infobar off\none\n";
}

TEST_F(FadeTest, LevelsFallByTheClockThenThePageSwitchesAndRises) {
    ASSERT_TRUE(start(twoPages("")));
    frameAt(500);
    EXPECT_EQ(view().fadeLevel, 63);
    platform_.setClock(1000);
    EXPECT_TRUE(app_->handleKey('N'));
    const std::pair<uint64_t, int> fallingOut[] = {
        {1000, 61}, {1002, 61}, {1003, 60}, {1090, 31}, {1180, 1}};
    for (auto [ms, level] : fallingOut) {
        frameAt(ms);
        EXPECT_EQ(view().fadeLevel, level) << "at " << ms;
        EXPECT_EQ(view().currentPage, 0) << "at " << ms;
        EXPECT_EQ(cellAt(0, 0).ink, textColour(7, level)) << "at " << ms;
    }
    frameAt(1183);  // 61 levels down: black reached; this frame keeps its level
    EXPECT_EQ(view().fadeLevel, 1);
    EXPECT_EQ(view().currentPage, 0);
    frameAt(1184);  // the first fade-in frame: the new page, at level 0
    EXPECT_EQ(view().currentPage, 1);
    EXPECT_EQ(view().fadeLevel, 0);
    EXPECT_EQ(cellAt(0, 0).ink, 0);
    frameAt(1183 + 93);
    EXPECT_EQ(view().fadeLevel, 31);
    EXPECT_TRUE(view().fadeActive);
    frameAt(1183 + 189);  // 63 levels up
    EXPECT_EQ(view().fadeLevel, 63);
    EXPECT_FALSE(view().fadeActive);
    EXPECT_EQ(rowText(0, 0, 3), "one");
    EXPECT_EQ(cellAt(0, 0).ink, textColour(7, 63));
}

TEST_F(FadeTest, DurationFollowsFadespeed) {
    ASSERT_TRUE(start(twoPages("#setglobaloption fadespeed 10\n")));
    app_->handleKey('N');
    frameAt(600);
    EXPECT_EQ(view().fadeLevel, 1);  // 61 - 60
    frameAt(610);                    // out after 610 ms
    frameAt(611);
    EXPECT_EQ(view().currentPage, 1);
    frameAt(610 + 629);
    EXPECT_TRUE(view().fadeActive);
    frameAt(610 + 630);  // in after 630 ms
    EXPECT_FALSE(view().fadeActive);
}

TEST_F(FadeTest, FadespeedZeroCountsAsOne) {
    for (const char* speed : {"0", "-5"}) {
        ASSERT_TRUE(start(twoPages(std::string("#setglobaloption fadespeed ") + speed + "\n")));
        const uint64_t t = platform_.tickCount();  // the clock only runs forward
        app_->handleKey('N');
        frameAt(t + 30);
        EXPECT_EQ(view().fadeLevel, 31) << speed;
        frameAt(t + 61);
        frameAt(t + 62);
        EXPECT_EQ(view().currentPage, 1) << speed;
        frameAt(t + 61 + 63);
        EXPECT_FALSE(view().fadeActive) << speed;
    }
}

TEST_F(FadeTest, WithoutFadingThePageChangesAtOnceAndKeepsItsScroll) {
    ASSERT_TRUE(start(twoPages("#setglobaloption fading off\n", 60)));
    app_->handleKey(kVkDown);
    app_->handleKey(kVkDown);
    EXPECT_EQ(view().scrollY, -48);
    app_->handleKey('N');
    EXPECT_EQ(view().currentPage, 1);
    EXPECT_EQ(view().scrollY, -48);
    frameAt(1);
    EXPECT_EQ(view().fadeLevel, 63);
    EXPECT_FALSE(view().fadeActive);
}

TEST_F(FadeTest, FadedChangeShowsTheNewPageFromItsTop) {
    ASSERT_TRUE(start(twoPages("", 60)));
    app_->handleKey(kVkNext);
    EXPECT_EQ(view().scrollY, -120);
    app_->handleKey('N');
    frameAt(0);
    frameAt(183);
    frameAt(184);
    EXPECT_EQ(view().scrollY, 0);
}

}  // namespace
}  // namespace qvl::testing
