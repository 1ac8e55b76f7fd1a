// Line classification and inline mark-up: which lines become text, what cells a text line
// gives, and mark-up that carries over lines and pages.
#include "script_fixture.h"

namespace qvl {
namespace {

using ScriptMarkup = testing::ScriptFixture;

constexpr std::string_view kTwoPages = "#definepages 2\n#startpage 0 first\n";

TEST_F(ScriptMarkup, BoldTagMarksOnlyTheWordBetweenItsTags) {
    ASSERT_TRUE(read(std::string(kTwoPages) + "x <b>word</b> y\n"));
    EXPECT_EQ(text(0), "x word y\n");
    EXPECT_EQ(model.pages[0].lineCount, 1);
    for (size_t i = 0; i < 9; ++i) {
        const CharCell& c = cell(0, i);
        const bool inWord = i >= 2 && i < 6;
        EXPECT_EQ(c.bold, inWord) << i;
        EXPECT_EQ(c.highlight, inWord) << i;
        EXPECT_EQ(c.coloured, inWord) << i;
        EXPECT_EQ(c.fg, 0) << i;
        EXPECT_EQ(c.bg, 8) << i;  // bold without colour: bright ink on black paper
        EXPECT_EQ(c.underline, 0);
        EXPECT_EQ(c.blink, 0);
    }
}

TEST_F(ScriptMarkup, ColourTagsAreLowerCasedAndReadWithAnyBase) {
    ASSERT_TRUE(read(std::string(kTwoPages) +
                     "<COLOR 4 7>a</Color>b<color 3>c<color 010 0x0a>d<color>e</color>\n"));
    EXPECT_EQ(text(0), "abcde\n");
    EXPECT_EQ(cell(0, 0).fg, 4);
    EXPECT_EQ(cell(0, 0).bg, 7);
    EXPECT_EQ(cell(0, 0).coloured, 1);
    EXPECT_EQ(cell(0, 0).bold, 0);
    EXPECT_EQ(cell(0, 1).coloured, 0);
    EXPECT_EQ(cell(0, 1).bg, 8);
    EXPECT_EQ(cell(0, 2).fg, 3);
    EXPECT_EQ(cell(0, 2).bg, 0);  // one number: the background reads as 0
    EXPECT_EQ(cell(0, 3).fg, 8);
    EXPECT_EQ(cell(0, 3).bg, 10);
    EXPECT_EQ(cell(0, 4).fg, 0);
    EXPECT_EQ(cell(0, 4).coloured, 1);
    EXPECT_EQ(cell(0, 5).coloured, 0);  // the line end after "</color>"
}

TEST_F(ScriptMarkup, StrayClosingBracketIsDropped) {
    ASSERT_TRUE(read(std::string(kTwoPages) + "a > b\n"));
    EXPECT_EQ(text(0), "a  b\n");
}

TEST_F(ScriptMarkup, SpacesEmptyLinesAndMarkers) {
    ASSERT_TRUE(read(std::string(kTwoPages) + "   \n\n##\n###### lost words\n  ## x\n"));
    EXPECT_EQ(text(0), "   \n\n\n\n");
    EXPECT_EQ(model.pages[0].lineCount, 4);
    EXPECT_EQ(cell(0, 3).coloured, 0);
}

TEST_F(ScriptMarkup, CommentsAndTrailingSpacesAreSkipped) {
    ASSERT_TRUE(read(std::string(kTwoPages) + "kept\nnot kept // comment\nsee http://x\n   "));
    EXPECT_EQ(text(0), "kept\n");
    EXPECT_EQ(model.pages[0].lineCount, 1);
}

TEST_F(ScriptMarkup, MarkupLeftOpenCarriesOverLinesAndPages) {
    ASSERT_TRUE(read(std::string(kTwoPages) +
                     "<b><color 2 1>open\n#startpage 1 second\nnext\n</b>plain</color>\n"));
    const CharCell& n = cell(1, 0);
    EXPECT_EQ(n.ch, 'n');
    EXPECT_EQ(n.bold, 1);
    EXPECT_EQ(n.fg, 2);
    EXPECT_EQ(n.bg, 1);
    EXPECT_EQ(n.coloured, 1);
    const CharCell& p = cell(1, 5);  // "p" of "plain": bold off, colour still on
    EXPECT_EQ(p.ch, 'p');
    EXPECT_EQ(p.bold, 0);
    EXPECT_EQ(p.coloured, 1);
    EXPECT_EQ(p.fg, 2);
}

TEST_F(ScriptMarkup, LastLineWithoutLineEndAddsNoLineEndCell) {
    ASSERT_TRUE(read(std::string(kTwoPages) + "one\nlast"));
    EXPECT_EQ(text(0), "one\nlast");
    EXPECT_EQ(model.pages[0].lineCount, 2);
}

TEST_F(ScriptMarkup, TextInTheGlobalNamespaceIsDropped) {
    ASSERT_TRUE(read(std::string(kTwoPages) +
                     "#startglobalconfig\nhello <nonsense>\n##\n#includeascii none.txt\n"
                     "#endglobalconfig\nafter\n"));
    EXPECT_EQ(text(0), "after\n");
}

TEST_F(ScriptMarkup, KeywordFoundAsSubstringOfTheFirstWord) {
    ASSERT_TRUE(read("#definepages 6\n#homepage9 5\nx#startpage 3 three\n"));
    EXPECT_EQ(model.homePage, 5);
    EXPECT_EQ(model.pages[3].name, "three");
}

TEST_F(ScriptMarkup, LongLinesAreReadInPiecesThatCountAsLines) {
    const std::string script = std::string(kTwoPages) + std::string(2047, 'a') + "bbb\n<bad>\n";
    EXPECT_FALSE(read(script));
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0], "error while parsing script...\nin line 5 (unknown token): bad");
    EXPECT_EQ(text(0), std::string(2047, 'a') + "bbb\n");
    EXPECT_EQ(model.pages[0].lineCount, 2);
}

TEST_F(ScriptMarkup, TagWithoutClosingBracketOrTooLongIsRefused) {
    EXPECT_FALSE(read(std::string(kTwoPages) + "ok\na <B open\n"));
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0], "error while parsing script...\nin line 4 (unknown token): b open");
    EXPECT_EQ(text(0), "ok\na ");  // the cells before the tag stay

    EXPECT_FALSE(read(std::string(kTwoPages) + "<" + std::string(300, 'x') + ">\n"));
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(messages()[1],
              "error while parsing script...\nin line 3 (unknown token): " + std::string(255, 'x'));
}

TEST_F(ScriptMarkup, UnknownAndEmptyTagsFail) {
    EXPECT_FALSE(read(std::string(kTwoPages) + "x <I>italic</i>\n"));
    EXPECT_FALSE(read(std::string(kTwoPages) + "x <> y\n"));
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(messages()[0], "error while parsing script...\nin line 3 (unknown token): i");
    EXPECT_EQ(messages()[1], "error while parsing script...\nin line 3 (unknown token): ");
}

TEST_F(ScriptMarkup, TextBeforeAnyPageIsDropped) {
    ASSERT_TRUE(read("early text\n##\n#definepages 1\n#startpage 0 p\nlate\n"));
    EXPECT_EQ(text(0), "late\n");
    EXPECT_EQ(model.pages[0].lineCount, 1);
}

TEST_F(ScriptMarkup, CarriageReturnsBeforeLineFeedsAndCtrlZ) {
    ASSERT_TRUE(read(std::string(kTwoPages) + "a\r\nb\rc\r\n\x1a"
                                              "after the end\n"));
    EXPECT_EQ(text(0), "a\nb\rc\n");
}

}  // namespace
}  // namespace qvl
