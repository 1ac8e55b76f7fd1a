// The keyword handlers: options, key bindings, pages, menus and namespaces, music, and the
// guards that keep every index and count inside its array.
#include "script_fixture.h"

namespace qvl {
namespace {

using ScriptKeywords = testing::ScriptFixture;

TEST_F(ScriptKeywords, GlobalOptions) {
    ASSERT_TRUE(
        read("#setglobaloption FULLSCREEN ON\n#setglobaloption fading off\n"
             "#setglobaloption FadeSpeed 7\n#setglobaloption music Off\n"
             "#setglobaloption unknown on\n"));
    EXPECT_EQ(model.displayMode, 3);
    EXPECT_EQ(model.fading, 0);
    EXPECT_EQ(model.fadespeed, 7u);
    EXPECT_EQ(model.music, 0);

    ASSERT_TRUE(
        read("#setglobaloption fullscreen on\n#setglobaloption fullscreen off\n"
             "#setglobaloption fadespeed fast\n#setglobaloption fading oN\n"));
    EXPECT_EQ(model.displayMode, 0);
    EXPECT_EQ(model.fadespeed, 0u);
    EXPECT_EQ(model.fading, 1);
    for (const char* value : {"yes", "1", "true", "onn"}) {
        ASSERT_TRUE(read(std::string("#setglobaloption fullscreen ") + value + "\n"));
        EXPECT_EQ(model.displayMode, 0) << value;
    }
}

TEST_F(ScriptKeywords, OptionDefaultsBeforeTheScript) {
    ASSERT_TRUE(read("#definepages 1\n"));
    EXPECT_EQ(model.music, 1);
    EXPECT_EQ(model.fading, 1);
    EXPECT_EQ(model.fadespeed, 3u);
    EXPECT_EQ(model.displayMode, 0);
    EXPECT_EQ(model.globalKeyCount, 0);
    const Page& page = model.pages[0];
    EXPECT_EQ(page.lineCount, 0);
    EXPECT_TRUE(page.cells.empty());
    EXPECT_TRUE(page.name.empty());
    EXPECT_EQ(page.scrollable, 1);
    EXPECT_EQ(page.infobar, 1);
    EXPECT_EQ(page.isMenu, 0);
    EXPECT_EQ(page.keyCount, 0);
    EXPECT_EQ(page.selectCount, 0);
}

TEST_F(ScriptKeywords, KeysGoToTheGlobalOrThePageBindings) {
    ASSERT_TRUE(
        read("#startglobalconfig\n#definekeys 4\n#key 0 ESC exit now\n#key 1 f3 jump 2\n"
             "#key 2 pl jump last\n#key 3 space nextmusic\n#endglobalconfig\n"
             "#definepages 2\n#startpage 1 p\n#definekeys 2\n#key 1 q jump 0\n"));
    ASSERT_EQ(model.globalKeyCount, 4);
    ASSERT_EQ(model.globalKeys.size(), 4u);
    EXPECT_EQ(model.globalKeys[0].key, 27);
    EXPECT_EQ(model.globalKeys[0].command, "exit");
    EXPECT_EQ(model.globalKeys[0].argument, "now");
    EXPECT_EQ(model.globalKeys[1].key, 114);
    EXPECT_EQ(model.globalKeys[1].argument, "2");
    EXPECT_EQ(model.globalKeys[2].key, 37);
    EXPECT_EQ(model.globalKeys[3].key, 32);
    EXPECT_EQ(model.globalKeys[3].argument, "");
    const Page& page = model.pages[1];
    ASSERT_EQ(page.keyCount, 2);
    EXPECT_EQ(page.keys[0].key, 0);  // a slot no "#key" filled matches no key
    EXPECT_EQ(page.keys[1].key, 113);
    EXPECT_EQ(page.keys[1].command, "jump");
    EXPECT_EQ(model.pages[0].keyCount, 0);
}

TEST_F(ScriptKeywords, StartPageReadsAnyBaseAndNamesLoseTheirQuotes) {
    ASSERT_TRUE(
        read("#definepages 3\n#startpage 0x2 \"My  Page\"\ntext\n#startpage 1 plain name\n"));
    EXPECT_EQ(model.pages[2].name, "My  Page");
    EXPECT_EQ(model.pages[2].lineCount, 1);
    EXPECT_EQ(model.pages[1].name, "plain name");
}

TEST_F(ScriptKeywords, MusicReadsItsIndexAsDecimal) {
    ASSERT_TRUE(
        read("#definemusic 3\n#music 0x2 \"songs\\first song.xm\"\n#music 2 b.xm\n"
             "#definestartmusic 2\n"));
    EXPECT_EQ(model.musicCount, 3);
    EXPECT_EQ(model.musicList[0].index, 0);
    EXPECT_EQ(model.musicList[0].fileName, "songs\\first song.xm");  // kept as written
    EXPECT_EQ(model.musicList[2].fileName, "b.xm");
    EXPECT_EQ(model.musicList[1].fileName, "");
    EXPECT_EQ(model.startMusic, 2);
}

TEST_F(ScriptKeywords, PageOptionsNameTheirPageByIndex) {
    ASSERT_TRUE(
        read("#definepages 3\n#startpage 0 a\n#setpageoption 2 SCROLLABLE off\n"
             "#setpageoption 0x1 infobar no\n#setpageoption 0 infobar on\n"));
    EXPECT_EQ(model.pages[2].scrollable, 0);
    EXPECT_EQ(model.pages[2].infobar, 1);
    EXPECT_EQ(model.pages[1].infobar, 0);
    EXPECT_EQ(model.pages[0].infobar, 1);
}

TEST_F(ScriptKeywords, MenusAndSelections) {
    ASSERT_TRUE(
        read("#definepages 2\n#startpage 0 menu\n#startmenu\n#defineselects 2\n"
             "#menuselect 0 1 3 7 4 7 5 0 jump 1\n#menuselect 1 0x2 1 2 3 4 0 1 exit x\n"
             "#startpage 1 next\n#defineselects 1\n#endmenu\n"));
    const Page& menu = model.pages[0];
    EXPECT_EQ(menu.isMenu, 1);
    ASSERT_EQ(menu.selectCount, 2);
    const MenuSelect& s = menu.selects[0];
    EXPECT_EQ(s.line, 1);
    EXPECT_EQ(s.firstColumn, 3);
    EXPECT_EQ(s.lastColumn, 7);
    EXPECT_EQ(s.fg, 4);
    EXPECT_EQ(s.bg, 7);
    EXPECT_EQ(s.bold, 1);  // any number but 0
    EXPECT_EQ(s.highlight, 0);
    EXPECT_EQ(s.command, "jump");
    EXPECT_EQ(s.argument, "1");
    EXPECT_EQ(menu.selects[1].line, 2);
    EXPECT_EQ(menu.selects[1].bold, 0);
    EXPECT_EQ(menu.selects[1].highlight, 1);
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
    EXPECT_EQ(model.globalKeys[0].key, 0);
    EXPECT_EQ(model.pages[0].keys[0].key, 0);
    EXPECT_EQ(model.pages[0].infobar, 1);
    EXPECT_EQ(model.pages[1].infobar, 1);
    EXPECT_EQ(model.musicList[0].fileName, "");
    EXPECT_EQ(model.pages[0].selects[0].line, 0);
}

TEST_F(ScriptKeywords, PageKeywordsBeforeAnyPageDoNothing) {
    ASSERT_TRUE(
        read("#definekeys 3\n#key 0 a exit\n#startmenu\n#defineselects 2\n"
             "#menuselect 0 1 1 1 1 1 1 1 a b\n#music 0 a.xm\n#setpageoption 0 infobar off\n"
             "#endmenu\n#definepages 1\n"));
    EXPECT_EQ(model.pageCount, 1);
    EXPECT_EQ(model.pages[0].keyCount, 0);
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
