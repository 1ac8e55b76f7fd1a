// Line classification and inline mark-up: which lines become text, what cells a text line
// gives, and mark-up that carries over lines and pages.
#include "script_fixture.h"

namespace qvl {
namespace {

using ScriptMarkup = testing::ScriptFixture;
using Strings = std::vector<std::string>;

constexpr std::string_view kTwoPages = "#definepages 2\n#startpage 0 first\n";

TEST_F(ScriptMarkup, BoldAndColourTags) {
    // Bold without colour: bright ink on black paper (bg 8), highlighted, for the word only.
    ASSERT_TRUE(read(std::string(kTwoPages) + "x <b>word</b> y\n"));
    EXPECT_EQ(text(0), "x word y\n");
    EXPECT_EQ(model.pages[0].lineCount, 1);
    const std::string plain = "0/8", bold = "0/8 c b h";
    EXPECT_EQ(attrs(0), (Strings{plain, plain, bold, bold, bold, bold, plain, plain, plain}));

    // Colour tags in any case, numbers in any base; one number leaves the paper 0, none
    // gives 0/0; the line end after "</color>" is plain again.
    ASSERT_TRUE(read(std::string(kTwoPages) +
                     "<COLOR 4 7>a</Color>b<color 3>c<color 010 0x0a>d<color>e</color>\n"));
    EXPECT_EQ(text(0), "abcde\n");
    EXPECT_EQ(attrs(0), (Strings{"4/7 c", "0/8", "3/0 c", "8/10 c", "0/0 c", "0/8"}));
}

TEST_F(ScriptMarkup, MarkupLeftOpenCarriesOverLinesAndPages) {
    ASSERT_TRUE(read(std::string(kTwoPages) +
                     "<b><color 2 1>open\n#startpage 1 second\nnext\n</b>plain</color>\n"));
    EXPECT_EQ(text(1), "next\nplain\n");
    EXPECT_EQ(attrs(1)[0], "2/1 c b h");
    EXPECT_EQ(attrs(1)[5], "2/1 c");  // "p" of "plain": bold off, colour still on
}

TEST_F(ScriptMarkup, WhichLinesBecomeText) {
    struct Case {
        std::string script;
        const char* text;
        int lines;
    } cases[] = {
        // A stray ">" is dropped.
        {std::string(kTwoPages) + "a > b\n", "a  b\n", 1},
        // Blank lines stay; "##" and more make an empty line, whatever follows it.
        {std::string(kTwoPages) + "   \n\n##\n###### lost words\n  ## x\n", "   \n\n\n\n", 4},
        // Lines with a comment, and trailing blanks, are skipped.
        {std::string(kTwoPages) + "kept\nnot kept // comment\nsee http://x\n   ", "kept\n", 1},
        // The last line needs no line end and gets no line-end cell.
        {std::string(kTwoPages) + "one\nlast", "one\nlast", 2},
        // Text in the global namespace and before any page goes nowhere.
        {std::string(kTwoPages) +
             "#startglobalconfig\nhello <nonsense>\n##\n#includeascii none.txt\n"
             "#endglobalconfig\nafter\n",
         "after\n", 1},
        {"early text\n##\n#definepages 1\n#startpage 0 p\nlate\n", "late\n", 1},
        // CR before LF is dropped, a lone CR kept; Ctrl-Z ends the script.
        {std::string(kTwoPages) + "a\r\nb\rc\r\n\x1a" + "after the end\n", "a\nb\rc\n", 2},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(read(c.script)) << c.script;
        EXPECT_EQ(text(0), c.text) << c.script;
        EXPECT_EQ(model.pages[0].lineCount, c.lines) << c.script;
    }
}

TEST_F(ScriptMarkup, KeywordFoundAsSubstringOfTheFirstWord) {
    ASSERT_TRUE(read("#definepages 6\n#homepage9 5\nx#startpage 3 three\n"));
    EXPECT_EQ(model.homePage, 5);
    EXPECT_EQ(model.pages[3].name, "three");
}

}  // namespace
}  // namespace qvl
