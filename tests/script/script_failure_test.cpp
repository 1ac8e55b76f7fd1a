// Every way a script line can fail: the exact messages, in order, with the line number, and
// that reading stops at the first failure.
#include "script_fixture.h"

namespace qvl {
namespace {

using ScriptFailures = testing::ScriptFixture;

std::string atLine(int line, std::string_view word) {
    return "error while parsing script...\nin line " + std::to_string(line) + ": " +
           std::string(word);
}

TEST_F(ScriptFailures, MissingScriptFailsWithoutAMessage) {
    model.scriptName = "absent.mag";
    EXPECT_FALSE(readScript(model, platform, platform));
    std::filesystem::create_directory("folder.mag");  // guard: a directory is no script
    model.scriptName = "folder.mag";
    EXPECT_FALSE(readScript(model, platform, platform));
    EXPECT_TRUE(messages().empty());
}

TEST_F(ScriptFailures, StartMusicMustLieInsideTheMusicList) {
    EXPECT_FALSE(read("// music\n#definestartmusic 0\n"));
    EXPECT_FALSE(read("#definemusic 2\n#definestartmusic 2\n"));
    EXPECT_FALSE(read("#definemusic 2\n#definestartmusic -1\n"));
    EXPECT_TRUE(read("#definemusic 2\n#definestartmusic 1\n"));
    const auto m = messages();
    ASSERT_EQ(m.size(), 3u);  // no message of the handler's own
    EXPECT_EQ(m[0], atLine(2, "#definestartmusic"));
    EXPECT_EQ(m[1], atLine(2, "#definestartmusic"));
    EXPECT_EQ(m[2], atLine(2, "#definestartmusic"));
}

TEST_F(ScriptFailures, StartPageMustLieInsideThePages) {
    EXPECT_FALSE(read("#definepages 2\n#startpage 1 one\nkept\n#startpage 2 two\nnever\n"));
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0], atLine(4, "#startpage"));
    EXPECT_EQ(model.pages[1].name, "one");  // what came before stays in the model
    EXPECT_EQ(model.pages[1].lineCount, 1);
    EXPECT_FALSE(read("#definepages 2\n#startpage -1 x\n"));
    EXPECT_FALSE(read("#startpage 0 x\n"));
    EXPECT_EQ(messages().size(), 3u);
}

TEST_F(ScriptFailures, MenusInTheGlobalNamespace) {
    EXPECT_FALSE(read("#startglobalconfig\n#startmenu\n"));
    EXPECT_FALSE(read("#startglobalconfig\n#endmenu now\n"));
    const auto m = messages();
    ASSERT_EQ(m.size(), 4u);
    EXPECT_EQ(m[0], "menus cannot be defined in global namespace!");
    EXPECT_EQ(m[1],
              atLine(2, "#startmenu\n"));  // no argument text: the line end is part of the word
    EXPECT_EQ(m[2], "menus cannot be defined in global namespace!");
    EXPECT_EQ(m[3], atLine(2, "#endmenu"));
}

TEST_F(ScriptFailures, SelectionsOutsideAMenu) {
    EXPECT_FALSE(read("#definepages 1\n#startpage 0 p\n#defineselects 2\n"));
    EXPECT_FALSE(
        read("#definepages 1\n#startpage 0 p\n#startmenu\n#startglobalconfig\n"
             "#defineselects 1\n"));
    EXPECT_FALSE(read("#definepages 1\n#startpage 0 p\n#startmenu\n#endmenu\n#defineselects 1\n"));
    const auto m = messages();
    ASSERT_EQ(m.size(), 6u);
    EXPECT_EQ(m[0], "menus cannot be handled in non-menu namespace!");
    EXPECT_EQ(m[1], atLine(3, "#defineselects"));
    EXPECT_EQ(m[3], atLine(5, "#defineselects"));
    EXPECT_EQ(m[5], atLine(5, "#defineselects"));
}

TEST_F(ScriptFailures, NegativeOrAbsurdCountsFailBeforeAllocating) {
    EXPECT_FALSE(read("#definepages -1\n"));
    EXPECT_FALSE(read("#startglobalconfig\n#definekeys 99999999999\n"));
    EXPECT_FALSE(read("#definemusic 10001\n"));
    EXPECT_FALSE(read("#definepages 1\n#startpage 0 p\n#startmenu\n#defineselects -5\n"));
    const auto m = messages();
    ASSERT_EQ(m.size(), 8u);
    EXPECT_EQ(m[0], "count must be between 0 and 10000!");
    EXPECT_EQ(m[1], atLine(1, "#definepages"));
    EXPECT_EQ(m[3], atLine(2, "#definekeys"));
    EXPECT_EQ(m[5], atLine(1, "#definemusic"));
    EXPECT_EQ(m[7], atLine(4, "#defineselects"));
    EXPECT_TRUE(read("#definepages 10000\n"));
    EXPECT_EQ(model.pages.size(), 10000u);
}

TEST_F(ScriptFailures, EveryMatchingKeywordRunsAndTheFirstFailureStops) {
    // The first word holds two keywords: both run, in the table's order.
    EXPECT_FALSE(read("#definepages 1\n#startmenu#startglobalconfig\n"));
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(messages()[0], "menus cannot be defined in global namespace!");
    EXPECT_EQ(messages()[1], atLine(2, "#startmenu#startglobalconfig\n"));
}

TEST_F(ScriptFailures, LineNumbersCountCommentsAndSkippedLines) {
    EXPECT_FALSE(read("// one\n\n   \n#definepages 1\n#startpage 0 p\n<x>\n"));
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0], "error while parsing script...\nin line 6 (unknown token): x");
}

}  // namespace
}  // namespace qvl
