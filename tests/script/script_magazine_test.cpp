// A whole magazine script with every keyword, both includes (named Windows-style, in another
// letter case than on disk) and mark-up, read into the model this test spells out by hand.
#include "script_fixture.h"

namespace qvl {
namespace {

using Strings = std::vector<std::string>;

class ScriptMagazine : public testing::ScriptFixture {
  protected:
    void SetUp() override {
        ScriptFixture::SetUp();
        std::filesystem::current_path(std::string(QVL_TEST_DATA) + "/magazine");
    }
};

TEST_F(ScriptMagazine, EveryKeywordLandsInTheModel) {
    ASSERT_TRUE(readScript(model, platform, platform));  // "qvl.mag" is found as QVL.MAG
    EXPECT_TRUE(messages().empty());

    EXPECT_EQ(model.displayMode, 3);
    EXPECT_EQ(model.fading, 0);
    EXPECT_EQ(model.fadespeed, 5u);
    EXPECT_EQ(model.music, 0);
    ASSERT_EQ(model.globalKeyCount, 2);
    EXPECT_EQ(keys(model.globalKeys), (Strings{"27 exit ", "112 jump 2"}));

    ASSERT_EQ(model.pageCount, 3);
    ASSERT_EQ(model.pages.size(), 3u);
    EXPECT_EQ(model.homePage, 1);
    ASSERT_EQ(model.musicCount, 2);
    EXPECT_EQ(model.startMusic, 1);
    EXPECT_EQ(model.musicList[0].fileName, "music\\intro tune.xm");
    EXPECT_EQ(model.musicList[1].index, 1);
    EXPECT_EQ(model.musicList[1].fileName, "music\\second.xm");

    const Page& menu = model.pages[0];
    EXPECT_EQ(menu.name, "Main Menu");
    EXPECT_EQ(menu.scrollable, 0);
    EXPECT_EQ(menu.infobar, 0);
    EXPECT_EQ(menu.isMenu, 1);
    ASSERT_EQ(menu.selectCount, 2);
    EXPECT_EQ(selects(menu), (Strings{"2 3 9 7 4 1 1 jump 1", "3 3 9 7 4 0 0 exit none"}));
    EXPECT_EQ(text(0), "MENU\n  news\n  quit\n");
    EXPECT_EQ(menu.lineCount, 3);
    EXPECT_EQ(attrs(0)[0], "0/8 c b h");
    EXPECT_EQ(attrs(0)[4], "0/8");    // the line end after "</b>"
    EXPECT_EQ(attrs(0)[7], "3/4 c");  // "n" of news

    const Page& news = model.pages[1];
    EXPECT_EQ(news.name, "News");
    EXPECT_EQ(keys(news.keys), Strings{"37 jump last"});
    EXPECT_EQ(news.lineCount, 5);  // two ASCII lines, the marker, two ANSI rows
    const std::string ascii = "Hello <b>world</b>\nsecond line\n\n";
    ASSERT_EQ(news.cells.size(), ascii.size() + 160);
    EXPECT_EQ(text(1).substr(0, ascii.size()), ascii);
    EXPECT_EQ(cell(1, 6).coloured, 0);
    const size_t art = ascii.size();
    EXPECT_EQ(text(1).substr(art, 8), "LOGO ok ");
    EXPECT_EQ(cell(1, art).fg, 1);
    EXPECT_EQ(cell(1, art).bold, 1);
    EXPECT_EQ(cell(1, art + 5).bold, 0);
    EXPECT_EQ(cell(1, art + 79).ch, '\n');
    EXPECT_EQ(cell(1, art + 80).bg, 4);
    EXPECT_EQ(cell(1, art + 82).bg, 0);

    EXPECT_EQ(model.pages[2].name, "Help");
    EXPECT_EQ(text(2), "plain help\n");
    EXPECT_EQ(model.pages[2].scrollable, 1);
}

TEST_F(ScriptMagazine, ScriptNameIsResolvedLikeAWindowsName) {
    model.scriptName = "..\\MAGAZINE\\qvl.mag";
    EXPECT_TRUE(readScript(model, platform, platform));
    EXPECT_EQ(model.pageCount, 3);
}

}  // namespace
}  // namespace qvl
