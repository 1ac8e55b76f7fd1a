// Keys and commands: bindings against lowered codes, the fixed keys, scrolling, menus, "jump"
// with numbers and "last", the help page, and what a running fade blocks.
#include "magazine_harness.h"

namespace qvl::testing {
namespace {

using KeyTest = MagazineHarness;

// Six pages; page 2 is named "Help" and page 4 is long.
std::string magazine(const std::string& globalKeys, const std::string& page0 = "",
                     bool fading = false) {
    std::string s = "#startglobalconfig\n";
    if (!fading) s += "#setglobaloption fading off\n";
    s += globalKeys + "#endglobalconfig\n#definepages 6\n";
    s += "#startpage 0 zero\n" + page0 + "zero\n";
    s += "#startpage 1 one\none\n#startpage 2 \"Help\"\n#definekeys 1\n#key 0 h jump 5\nhelp\n";
    s += "#startpage 3 three\nthree\n#startpage 4 long\n";
    for (int i = 0; i < 100; ++i) s += "x\n";
    s += "#startpage 5 five\nfive\n";
    return s;
}

TEST_F(KeyTest, BindingsCompareTheLoweredCodesLowByte) {
    ASSERT_TRUE(
        start(magazine("#definekeys 3\n#key 0 f1 jump 1\n#key 1 a jump 3\n#key 2 A jump 5\n")));
    EXPECT_TRUE(app_->handleKey('P'));  // P is 80, lowered 112: the "f1" binding
    EXPECT_EQ(view().currentPage, 1);
    view().currentPage = 0;
    EXPECT_TRUE(app_->handleKey(112));  // F1 itself
    EXPECT_EQ(view().currentPage, 1);
    EXPECT_TRUE(app_->handleKey('A'));  // A is 65, lowered 97
    EXPECT_EQ(view().currentPage, 3);
    EXPECT_FALSE(app_->handleKey('B'));
}

TEST_F(KeyTest, XBindingCatchesF9BeforeTheMusicKey) {
    ASSERT_TRUE(start(magazine("")));
    EXPECT_TRUE(app_->handleKey(kVkF9));
    EXPECT_EQ(view().music, 0);
    EXPECT_TRUE(app_->handleKey(kVkF9));
    EXPECT_EQ(view().music, 1);
    ASSERT_TRUE(start(magazine("#definekeys 1\n#key 0 x jump 3\n")));
    EXPECT_TRUE(app_->handleKey(kVkF9));
    EXPECT_EQ(view().music, 1);
    EXPECT_EQ(view().currentPage, 3);
}

TEST_F(KeyTest, PageBindingsComeAfterGlobalOnes) {
    ASSERT_TRUE(start(magazine("#definekeys 1\n#key 0 g jump 3\n",
                               "#definekeys 2\n#key 0 g jump 1\n#key 1 p jump 1\n")));
    app_->handleKey('G');
    EXPECT_EQ(view().currentPage, 3);
    view().currentPage = 0;
    app_->handleKey('P');
    EXPECT_EQ(view().currentPage, 1);
    app_->handleKey('P');  // page 1 has no binding for P
    EXPECT_EQ(view().currentPage, 1);
}

TEST_F(KeyTest, JumpLastReturnsToThePageBeforeTheLastNumberedJump) {
    ASSERT_TRUE(
        start(magazine("#definekeys 3\n#key 0 b jump last\n#key 1 t jump 1\n#key 2 f jump 5\n")));
    app_->handleKey('T');
    app_->handleKey('F');  // 1 -> 5
    app_->handleKey('B');
    EXPECT_EQ(view().currentPage, 1);
    app_->handleKey('B');
    EXPECT_EQ(view().currentPage, 1);
    EXPECT_EQ(view().lastPage, 1);
}

TEST_F(KeyTest, HelpPageIgnoresNumberedJumpsButNotLast) {
    ASSERT_TRUE(start(magazine("#definekeys 2\n#key 0 b jump LAST\n#key 1 h jump 2\n")));
    app_->handleKey('H');
    EXPECT_EQ(view().currentPage, 2);
    EXPECT_TRUE(app_->handleKey('H'));  // the global h binding: jump 2 from "Help" does nothing
    EXPECT_EQ(view().currentPage, 2);
    app_->handleKey('B');
    EXPECT_EQ(view().currentPage, 0);
}

TEST_F(KeyTest, JumpArgumentsReadAsDecimalNumbers) {
    ASSERT_TRUE(start(magazine("")));
    EXPECT_TRUE(app_->runCommand("JUMP", "3abc"));
    EXPECT_EQ(view().currentPage, 3);
    EXPECT_TRUE(app_->runCommand("jump", "abc"));
    EXPECT_EQ(view().currentPage, 0);
    EXPECT_TRUE(app_->runCommand("jump", "  5"));
    EXPECT_EQ(view().currentPage, 5);
    EXPECT_FALSE(app_->runCommand("jmp", "1"));
    EXPECT_EQ(view().currentPage, 5);
}

TEST_F(KeyTest, JumpsToPagesThatDoNotExistAreIgnored) {
    ASSERT_TRUE(start(magazine("")));
    app_->runCommand("jump", "3");
    for (const char* target : {"6", "12abc", "-1", "99999999999"}) {
        EXPECT_TRUE(app_->runCommand("jump", target));
        EXPECT_EQ(view().currentPage, 3) << target;
        EXPECT_EQ(view().lastPage, 0) << target;
    }
}

TEST_F(KeyTest, ExitAndF12EndTheRenderLoop) {
    ASSERT_TRUE(start(magazine("")));
    view().renderRunning = 1;
    EXPECT_TRUE(app_->runCommand("Exit", ""));
    EXPECT_EQ(view().renderRunning, 0);
    view().renderRunning = 1;
    EXPECT_TRUE(app_->handleKey(kVkF12));
    EXPECT_EQ(view().renderRunning, 0);
}

TEST_F(KeyTest, ScrollKeysStopAtTheirLimits) {
    ASSERT_TRUE(start(magazine("")));
    view().currentPage = 4;  // 100 lines: the scroll limit is 480 - 1200 = -720
    EXPECT_FALSE(app_->handleKey(kVkDown));
    EXPECT_EQ(view().scrollY, -24);
    app_->handleKey(kVkNext);
    EXPECT_EQ(view().scrollY, -144);
    app_->handleKey(kVkEnd);
    EXPECT_EQ(view().scrollY, -720);
    app_->handleKey(kVkNext);
    EXPECT_EQ(view().scrollY, -720);
    app_->handleKey(kVkDown);  // the test passes no more
    EXPECT_EQ(view().scrollY, -720);
    app_->handleKey(kVkPrior);
    EXPECT_EQ(view().scrollY, -600);
    app_->handleKey(kVkHome);
    EXPECT_EQ(view().scrollY, 0);
    app_->handleKey(kVkPrior);
    EXPECT_EQ(view().scrollY, 0);
    view().scrollY = -10;
    app_->handleKey(kVkUp);  // a whole step: 14 pixels past the margin
    EXPECT_EQ(view().scrollY, 14);
}

TEST_F(KeyTest, ShortPagesScrollDownToTheBottom) {
    ASSERT_TRUE(start(magazine("")));
    app_->handleKey(kVkEnd);  // one line: its end touches the bottom at 480 - 12
    EXPECT_EQ(view().scrollY, 468);
    app_->handleKey(kVkHome);
    EXPECT_EQ(view().scrollY, 0);
}

std::string menuMagazine(const std::string& keys) {
    std::string s =
        "#startglobalconfig\n#setglobaloption fading off\n#endglobalconfig\n#definepages 6\n";
    s +=
        "#startpage 0 menu\n#setpageoption 0 scrollable off\n#setpageoption 0 infobar off\n" + keys;
    s += "#startmenu\n#defineselects 4\n";
    for (int i = 0; i < 4; ++i)
        s += "#menuselect " + std::to_string(i) + " " + std::to_string(i + 1) +
             " 1 5 7 4 1 1 jump " + std::to_string(i + 1) + "\n";
    s += "#endmenu\nfirst\nsecond\nthird\nfourth\n";
    return s;
}

TEST_F(KeyTest, MenuSelectionWrapsAround) {
    ASSERT_TRUE(start(menuMagazine("")));
    std::atomic<int32_t>& selection = view().selections[0];
    EXPECT_TRUE(app_->handleKey(kVkUp));
    EXPECT_EQ(selection, 3);
    EXPECT_TRUE(app_->handleKey(kVkDown));
    EXPECT_EQ(selection, 0);
    EXPECT_FALSE(app_->handleKey(kVkEnd));
    EXPECT_EQ(selection, 3);
    EXPECT_FALSE(app_->handleKey(kVkHome));
    EXPECT_EQ(selection, 0);
    app_->handleKey(kVkDown);
    app_->handleKey(kVkDown);
    EXPECT_TRUE(app_->handleKey(kVkReturn));
    EXPECT_EQ(view().currentPage, 3);
    EXPECT_EQ(selection, 2);  // kept for the next visit
}

TEST_F(KeyTest, SpaceBindingTakesTheMenusSpace) {
    ASSERT_TRUE(start(menuMagazine("#definekeys 1\n#key 0 space jump 5\n")));
    EXPECT_TRUE(app_->handleKey(kVkSpace));
    EXPECT_EQ(view().currentPage, 5);
    view().currentPage = 0;
    EXPECT_TRUE(app_->handleKey(kVkReturn));
    EXPECT_EQ(view().currentPage, 1);
}

TEST_F(KeyTest, MenuWithoutSelectionsChoosesNothing) {
    ASSERT_TRUE(
        start("#definepages 1\n#startpage 0 m\n#setpageoption 0 scrollable off\n"
              "#startmenu\n#endmenu\ntext\n"));
    for (int key : {kVkReturn, kVkSpace, kVkUp, kVkDown, kVkEnd, kVkHome})
        EXPECT_FALSE(app_->handleKey(key)) << key;
    EXPECT_EQ(view().selections[0], 0);
    EXPECT_EQ(view().currentPage, 0);
}

TEST_F(KeyTest, RunningFadeBlocksBindingsAndScrollingButNotF12OrMenus) {
    ASSERT_TRUE(start(magazine("#definekeys 2\n#key 0 t jump 1\n#key 1 f jump 5\n", "", true)));
    platform_.setClock(10);
    app_->handleKey('T');
    EXPECT_TRUE(view().fadeActive);
    EXPECT_EQ(view().targetPage, 1);
    EXPECT_FALSE(app_->handleKey('F'));
    EXPECT_EQ(view().targetPage, 1);
    EXPECT_FALSE(app_->handleKey(kVkDown));
    EXPECT_EQ(view().scrollY, 0);
    view().renderRunning = 1;
    EXPECT_TRUE(app_->handleKey(kVkF12));
    EXPECT_EQ(view().renderRunning, 0);
    EXPECT_TRUE(app_->handleKey(kVkF9));
    EXPECT_EQ(view().music, 0);
}

TEST_F(KeyTest, NextMusicWrapsToTheFirstSongAndSwitchesTheMusicOn) {
    ASSERT_TRUE(
        start("#definemusic 3\n#music 0 a.xm\n#music 1 b.xm\n#music 2 c.xm\n"
              "#definestartmusic 2\n#definepages 1\n"));
    app_->handleKey(kVkF9);
    EXPECT_EQ(view().music, 0);
    EXPECT_TRUE(app_->runCommand("NextMusic", "whatever"));
    EXPECT_EQ(view().startMusic, 0);
    EXPECT_EQ(view().music, 1);
}

}  // namespace
}  // namespace qvl::testing
