// The keyword handlers: options, key bindings, pages, menus and namespaces, music, and the
// guards that keep every index and count inside its array.
#include "script_fixture.h"

namespace qvl {
namespace {

using ScriptKeywords = testing::ScriptFixture;
using Strings = std::vector<std::string>;

TEST_F(ScriptKeywords, GlobalOptions) {
    // Names and "on"/"off" in any case; only "on" is on; tabs separate the arguments like
    // spaces. Before any script: music on, fading on, 3 ms a fade level, windowed.
    struct Case {
        const char* script;
        int displayMode, fading, fadespeed, music;
    } cases[] = {
        {"#setglobaloption FULLSCREEN ON\n#setglobaloption fading off\n"
         "#setglobaloption FadeSpeed 7\n#setglobaloption music Off\n#setglobaloption unknown on\n",
         3, 0, 7, 0},
        {"#setglobaloption fullscreen on\n#setglobaloption fullscreen off\n"
         "#setglobaloption fadespeed fast\n#setglobaloption fading oN\n",
         0, 1, 0, 1},
        {"#setglobaloption fullscreen\ton\n", 3, 1, 3, 1},
        {"#setglobaloption fullscreen yes\n", 0, 1, 3, 1},
        {"#setglobaloption fullscreen 1\n", 0, 1, 3, 1},
        {"#setglobaloption fullscreen true\n", 0, 1, 3, 1},
        {"#setglobaloption fullscreen onn\n", 0, 1, 3, 1},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(read(c.script)) << c.script;
        EXPECT_EQ(model.displayMode, c.displayMode) << c.script;
        EXPECT_EQ(model.fading, c.fading) << c.script;
        EXPECT_EQ(model.fadespeed, uint32_t(c.fadespeed)) << c.script;
        EXPECT_EQ(model.music, c.music) << c.script;
    }
}

TEST_F(ScriptKeywords, KeysGoToTheGlobalOrThePageBindings) {
    ASSERT_TRUE(
        read("#startglobalconfig\n#definekeys 4\n#key 0 ESC exit now\n#key 1 f3 jump 2\n"
             "#key 2 pl jump last\n#key 3 space nextmusic\n#endglobalconfig\n"
             "#definepages 2\n#startpage 1 p\n#definekeys 2\n#key 1 q jump 0\n"));
    ASSERT_EQ(model.globalKeyCount, 4);
    EXPECT_EQ(keys(model.globalKeys),
              (Strings{"27 exit now", "114 jump 2", "37 jump last", "32 nextmusic "}));
    // A slot no "#key" filled matches no key.
    ASSERT_EQ(model.pages[1].keyCount, 2);
    EXPECT_EQ(keys(model.pages[1].keys), (Strings{"0  ", "113 jump 0"}));
    EXPECT_EQ(model.pages[0].keyCount, 0);
}

TEST_F(ScriptKeywords, PagesMusicAndPageOptions) {
    // "#startpage" and "#setpageoption" read any base, "#music" reads decimal ("0x2" is 0);
    // quotes are dropped, a file name's backslashes kept.
    ASSERT_TRUE(
        read("#definepages 3\n#startpage 0x2 \"My  Page\"\ntext\n#startpage 1 plain name\n"
             "#setpageoption 2 SCROLLABLE off\n#setpageoption 0x1 infobar no\n"
             "#setpageoption 0 infobar on\n#definemusic 3\n#music 0x2 \"songs\\first song.xm\"\n"
             "#music 2 b.xm\n#definestartmusic 2\n"));
    EXPECT_EQ(model.pages[2].name, "My  Page");
    EXPECT_EQ(model.pages[2].lineCount, 1);
    EXPECT_EQ(model.pages[1].name, "plain name");
    EXPECT_EQ(model.pages[2].scrollable, 0);
    EXPECT_EQ(model.pages[2].infobar, 1);
    EXPECT_EQ(model.pages[1].infobar, 0);
    EXPECT_EQ(model.pages[0].infobar, 1);
    EXPECT_EQ(model.pages[0].scrollable, 1);
    EXPECT_EQ(model.musicCount, 3);
    EXPECT_EQ(model.musicList[0].index, 0);
    EXPECT_EQ(model.musicList[0].fileName, "songs\\first song.xm");
    EXPECT_EQ(model.musicList[1].fileName, "");
    EXPECT_EQ(model.musicList[2].fileName, "b.xm");
    EXPECT_EQ(model.startMusic, 2);
}

TEST_F(ScriptKeywords, MenusAndSelections) {
    ASSERT_TRUE(
        read("#definepages 2\n#startpage 0 menu\n#startmenu\n#defineselects 2\n"
             "#menuselect 0 1 3 7 4 7 5 0 jump 1\n#menuselect 1 0x2 1 2 3 4 0 1 exit x\n"
             "#startpage 1 next\n#defineselects 1\n#endmenu\n"));
    EXPECT_EQ(model.pages[0].isMenu, 1);
    ASSERT_EQ(model.pages[0].selectCount, 2);
    // Bold is any number but 0.
    EXPECT_EQ(selects(model.pages[0]), (Strings{"1 3 7 4 7 1 0 jump 1", "2 1 2 3 4 0 1 exit x"}));
    // "#startpage" does not end the menu: the next page may define selections too.
    EXPECT_EQ(model.pages[1].selectCount, 1);
    EXPECT_EQ(model.pages[1].isMenu, 0);
}

TEST_F(ScriptKeywords, SecondDefineDiscardsTheFirstArray) {
    ASSERT_TRUE(
        read("#definepages 2\n#startpage 1 p\ntext\n#setpageoption 1 infobar off\n"
             "#definekeys 1\n#key 0 a exit\n#definepages 3\n"
             "#definemusic 1\n#music 0 a.xm\n#definemusic 2\n"));
    ASSERT_EQ(model.pageCount, 3);
    EXPECT_TRUE(model.pages[1].cells.empty());
    EXPECT_EQ(model.pages[1].infobar, 1);
    EXPECT_EQ(model.pages[1].keyCount, 0);
    EXPECT_EQ(model.musicList[0].fileName, "");
}

TEST_F(ScriptKeywords, IndicesOutsideTheirArraysFillNothing) {
    ASSERT_TRUE(
        read("#startglobalconfig\n#definekeys 1\n#key 5 a exit\n#key -1 b exit\n"
             "#endglobalconfig\n#definepages 2\n#startpage 0 p\n#definekeys 1\n"
             "#key 1 c exit\n#setpageoption 9 infobar off\n#setpageoption -1 infobar off\n"
             "#definemusic 1\n#music 1 x.xm\n#music -1 y.xm\n#startmenu\n#defineselects 1\n"
             "#menuselect 1 1 1 1 1 1 1 1 a b\n#menuselect -3 1 1 1 1 1 1 1 a b\n"));
    EXPECT_EQ(keys(model.globalKeys), Strings{"0  "});
    EXPECT_EQ(keys(model.pages[0].keys), Strings{"0  "});
    EXPECT_EQ(model.pages[0].infobar, 1);
    EXPECT_EQ(model.pages[1].infobar, 1);
    EXPECT_EQ(model.musicList[0].fileName, "");
    EXPECT_EQ(selects(model.pages[0]), Strings{"0 0 0 0 0 0 0  "});

    // Page keywords before any page do nothing.
    ASSERT_TRUE(
        read("#definekeys 3\n#key 0 a exit\n#startmenu\n#defineselects 2\n"
             "#menuselect 0 1 1 1 1 1 1 1 a b\n#music 0 a.xm\n#setpageoption 0 infobar off\n"
             "#endmenu\n#definepages 1\n"));
    EXPECT_EQ(model.pageCount, 1);
    EXPECT_EQ(model.pages[0].keyCount, 0);
    EXPECT_EQ(model.pages[0].infobar, 1);
    EXPECT_EQ(model.musicCount, 0);
}

TEST_F(ScriptKeywords, HomePageAndStartMusicOutsideTheirArraysFallBackToTheFirst) {
    ASSERT_TRUE(
        read("#definepages 5\n#homepage 4\n#definemusic 3\n#definestartmusic 2\n"
             "#definepages 2\n#definemusic 1\n"));
    EXPECT_EQ(model.homePage, 0);
    EXPECT_EQ(model.startMusic, 0);
    ASSERT_TRUE(read("#homepage 3\n#definepages 4\n"));  // before "#definepages" is fine
    EXPECT_EQ(model.homePage, 3);
    ASSERT_TRUE(read("#definepages 4\n#homepage -2\n"));
    EXPECT_EQ(model.homePage, 0);
}

TEST_F(ScriptKeywords, KeywordsWithoutArgumentTextReadZeroAndEmpty) {
    ASSERT_TRUE(read("#definepages\n#definemusic\n#homepage\n#key\n#setglobaloption\n#music\n"));
    EXPECT_EQ(model.pageCount, 0);
    EXPECT_EQ(model.musicCount, 0);
    EXPECT_EQ(model.homePage, 0);
    ASSERT_TRUE(
        read("#definepages 1\n#startpage\n#definekeys\n#setpageoption\n#startmenu\n"
             "#defineselects\n#menuselect\n"));
    EXPECT_TRUE(model.pages[0].name.empty());
    EXPECT_EQ(model.pages[0].isMenu, 1);
    EXPECT_EQ(model.pages[0].selectCount, 0);
}

TEST_F(ScriptKeywords, LongTextsAreCutAtTheirCapacity) {
    const std::string longName(600, 'n');
    ASSERT_TRUE(read("#definepages 1\n#startpage 0 " + longName + "\n#definemusic 1\n#music 0 " +
                     longName + "\n#definekeys 1\n#key 0 a " + longName + " " + longName + "\n"));
    EXPECT_EQ(model.pages[0].name.size(), 511u);
    EXPECT_EQ(model.musicList[0].fileName.size(), 511u);
    EXPECT_EQ(model.pages[0].keys[0].command.size(), 511u);
    EXPECT_EQ(model.pages[0].keys[0].argument.size(), 511u);
}

}  // namespace
}  // namespace qvl
