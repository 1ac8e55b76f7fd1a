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

// The new page is shown from its top.
TEST_F(FadeTest, LevelsFallByTheClockThenThePageSwitchesAndRises) {
    ASSERT_TRUE(start(twoPages("", 60)));
    frameAt(500);
    EXPECT_EQ(view().fadeLevel, 63);
    app_->handleKey(kVkNext);
    EXPECT_EQ(view().scrollY, -120);
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
    // Fade-in from 1183, a level every 3 ms, seen at 60 frames a second (16 ms apart): the
    // frame after 1372 holds 63, not 64, and ends the fade.
    for (uint64_t ms = 1184; ms <= 1184 + 12 * 16; ms += 16) {
        frameAt(ms);
        const int level = std::min<int>(63, (ms - 1183) / 3);
        EXPECT_EQ(view().currentPage, 1) << "at " << ms;
        EXPECT_EQ(view().fadeLevel, level) << "at " << ms;
        EXPECT_EQ(view().fadeActive, level < 63) << "at " << ms;
        EXPECT_EQ(cellAt(0, 0).ink, textColour(7, level)) << "at " << ms;
    }
    EXPECT_EQ(rowText(0, 0, 3), "one");
    EXPECT_EQ(view().scrollY, 0);
}

// Out in 61 levels and in in 63, each level fadespeed milliseconds long (at least 1).
TEST_F(FadeTest, DurationFollowsFadespeed) {
    for (auto [speed, ms] : {std::pair{"10", 10}, {"0", 1}, {"-5", 1}}) {
        ASSERT_TRUE(start(twoPages(std::string("#setglobaloption fadespeed ") + speed + "\n")));
        const uint64_t t = platform_.tickCount();  // the clock only runs forward
        app_->handleKey('N');
        frameAt(t + 30 * ms);
        EXPECT_EQ(view().fadeLevel, 31) << speed;
        frameAt(t + 61 * ms);
        EXPECT_EQ(view().currentPage, 0) << speed;
        frameAt(t + 61 * ms + 1);
        EXPECT_EQ(view().currentPage, 1) << speed;
        frameAt(t + 124 * ms - 1);
        EXPECT_TRUE(view().fadeActive) << speed;
        frameAt(t + 124 * ms);
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

}  // namespace
}  // namespace qvl::testing
