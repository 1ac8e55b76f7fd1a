// Keys and commands: bindings against lowered codes, the fixed keys, scrolling, menus, "jump"
// with numbers and "last", the help page, what a running fade blocks, and "nextmusic".
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

// A key pressed, whether the magazine says it handled it, and the page shown after it.
struct Press {
    int key;
    bool handled;
    int page;
};

TEST_F(KeyTest, BindingsAndJumpsLeadToTheirPages) {
    const struct {
        const char* name;
        std::string globalKeys, page0;
        std::vector<Press> presses;
    } cases[] = {
        // P is 80, lowered 112: the "f1" binding; A is 65, lowered 97.
        {"lowered low byte",
         "#definekeys 3\n#key 0 f1 jump 1\n#key 1 a jump 3\n#key 2 A jump 5\n",
         "",
         {{'P', true, 1}, {'A', true, 3}, {kVkF1, true, 1}, {'B', false, 1}}},
        {"page bindings after global ones",
         "#definekeys 2\n#key 0 g jump 3\n#key 1 z jump 0\n",
         "#definekeys 2\n#key 0 g jump 1\n#key 1 p jump 1\n",
         {{'G', true, 3}, {'Z', true, 0}, {'P', true, 1}, {'P', false, 1}}},
        // "jump last" goes back to the page before the last numbered jump, and stays there.
        {"jump last",
         "#definekeys 3\n#key 0 b jump last\n#key 1 t jump 1\n#key 2 f jump 5\n",
         "",
         {{'T', true, 1}, {'F', true, 5}, {'B', true, 1}, {'B', true, 1}}},
        // On the page named "Help" a numbered jump is handled and does nothing; "last" works.
        {"help page",
         "#definekeys 2\n#key 0 b jump LAST\n#key 1 h jump 2\n",
         "",
         {{'H', true, 2}, {'H', true, 2}, {'B', true, 0}}},
        // An x binding catches F9 (120 lowered is 'x') before the music key.
        {"x takes F9", "#definekeys 1\n#key 0 x jump 3\n", "", {{kVkF9, true, 3}}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(start(magazine(c.globalKeys, c.page0))) << c.name;
        const int32_t music = view().music;
        for (const Press& p : c.presses) {
            EXPECT_EQ(app_->handleKey(p.key), p.handled) << c.name << ", key " << p.key;
            EXPECT_EQ(view().currentPage, p.page) << c.name << ", key " << p.key;
        }
        EXPECT_EQ(view().music, music) << c.name;
    }
    ASSERT_TRUE(start(magazine("")));  // without the binding F9 switches the music off and on
    EXPECT_TRUE(app_->handleKey(kVkF9));
    EXPECT_EQ(view().music, 0);
    EXPECT_TRUE(app_->handleKey(kVkF9));
    EXPECT_EQ(view().music, 1);
}

// Arguments read as decimal numbers (atoi); jumps to pages that do not exist are ignored and
// leave the last page as it was; an unknown command is not handled; "exit" ends the render loop.
TEST_F(KeyTest, JumpArgumentsAndMissingPages) {
    ASSERT_TRUE(start(magazine("")));
    const struct {
        const char *command, *argument;
        bool handled;
        int page, last;
    } steps[] = {{"JUMP", "3abc", true, 3, 0}, {"jump", "abc", true, 0, 3},
                 {"jump", "  5", true, 5, 0},  {"jmp", "1", false, 5, 0},
                 {"jump", "6", true, 5, 0},    {"jump", "12abc", true, 5, 0},
                 {"jump", "-1", true, 5, 0},   {"jump", "99999999999", true, 5, 0}};
    for (const auto& s : steps) {
        EXPECT_EQ(app_->runCommand(s.command, s.argument), s.handled) << s.argument;
        EXPECT_EQ(view().currentPage, s.page) << s.argument;
        EXPECT_EQ(view().lastPage, s.last) << s.argument;
    }
    view().renderRunning = 1;
    EXPECT_TRUE(app_->runCommand("Exit", ""));
    EXPECT_EQ(view().renderRunning, 0);
}

TEST_F(KeyTest, ScrollKeysStopAtTheirLimits) {
    ASSERT_TRUE(start(magazine("")));
    view().currentPage = 4;  // 100 lines: the scroll limit is 480 - 1200 = -720
    // Down 24, Page Down 120; at the limit Down's test passes no more; Up takes a whole step.
    const std::pair<int, int> steps[] = {{kVkDown, -24},  {kVkNext, -144}, {kVkEnd, -720},
                                         {kVkNext, -720}, {kVkDown, -720}, {kVkPrior, -600},
                                         {kVkHome, 0},    {kVkPrior, 0}};
    for (auto [key, y] : steps) {
        EXPECT_FALSE(app_->handleKey(key)) << key;
        EXPECT_EQ(view().scrollY, y) << key;
    }
    view().scrollY = -10;
    app_->handleKey(kVkUp);  // 14 pixels past the margin
    EXPECT_EQ(view().scrollY, 14);
    view().currentPage = 0;
    app_->handleKey(kVkEnd);  // one line: its end touches the bottom at 480 - 12
    EXPECT_EQ(view().scrollY, 468);
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

// Up and Down wrap around; End and Home move without saying so; Return runs the selection's
// command (jump to its number plus one), and the selection is kept for the next visit. A space
// binding comes before the menu's Space.
TEST_F(KeyTest, MenuSelectionWrapsAroundAndIsKept) {
    ASSERT_TRUE(start(menuMagazine("#definekeys 1\n#key 0 space jump 5\n")));
    const std::tuple<int, bool, int> steps[] = {
        {kVkUp, true, 3},   {kVkDown, true, 0}, {kVkEnd, false, 3},  {kVkHome, false, 0},
        {kVkDown, true, 1}, {kVkDown, true, 2}, {kVkReturn, true, 2}};
    for (auto [key, handled, selection] : steps) {
        EXPECT_EQ(app_->handleKey(key), handled) << key;
        EXPECT_EQ(view().selections[0], selection) << key;
    }
    EXPECT_EQ(view().currentPage, 3);
    view().currentPage = 0;
    EXPECT_TRUE(app_->handleKey(kVkSpace));
    EXPECT_EQ(view().currentPage, 5);
    view().currentPage = 0;
    EXPECT_TRUE(app_->handleKey(kVkReturn));
    EXPECT_EQ(view().currentPage, 3);
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
