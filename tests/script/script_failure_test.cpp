// Every way a script line can fail: the exact messages, in order, with the line number counted
// by hand, what the page kept before the failure, and that reading stops at the first failure.
#include <optional>

#include "script_fixture.h"

namespace qvl {
namespace {

using ScriptFailures = testing::ScriptFixture;

std::string atLine(int line, std::string_view word) {
    return "error while parsing script...\nin line " + std::to_string(line) + ": " +
           std::string(word);
}
std::string unknownToken(int line, std::string_view word) {
    return "error while parsing script...\nin line " + std::to_string(line) +
           " (unknown token): " + std::string(word);
}

constexpr std::string_view kGlobalMenu = "menus cannot be defined in global namespace!";
constexpr std::string_view kNotMenu = "menus cannot be handled in non-menu namespace!";
constexpr std::string_view kCount = "count must be between 0 and 10000!";
const std::string kPage = "#definepages 1\n#startpage 0 p\n";

struct Failure {
    std::string script;
    std::vector<std::string> messages;
    std::optional<std::string> page0 = {};  // page 0's text when it is checked
};

TEST_F(ScriptFailures, MessagesNameTheLineAndReadingStops) {
    writeFile("broken.ans", "\x1b[31mred\n\x1b[12\n");
    const Failure cases[] = {
        // The start song must lie inside the music list; the handler adds no message.
        {"// music\n#definestartmusic 0\n", {atLine(2, "#definestartmusic")}},
        {"#definemusic 2\n#definestartmusic 2\n", {atLine(2, "#definestartmusic")}},
        {"#definemusic 2\n#definestartmusic -1\n", {atLine(2, "#definestartmusic")}},
        // So must a page; what came before stays in the model.
        {"#definepages 2\n#startpage 0 one\nkept\n#startpage 2 two\nnever\n",
         {atLine(4, "#startpage")},
         "kept\n"},
        {"#definepages 2\n#startpage -1 x\n", {atLine(2, "#startpage")}},
        {"#startpage 0 x\n", {atLine(1, "#startpage")}},
        // Without argument text the line end is part of the word.
        {"#startglobalconfig\n#startmenu\n", {std::string(kGlobalMenu), atLine(2, "#startmenu\n")}},
        {"#startglobalconfig\n#endmenu now\n", {std::string(kGlobalMenu), atLine(2, "#endmenu")}},
        // The first word holds two keywords: both run, in the table's order.
        {"#definepages 1\n#startmenu#startglobalconfig\n",
         {std::string(kGlobalMenu), atLine(2, "#startmenu#startglobalconfig\n")}},
        {"#definepages 1\n#startpage 0 p\n#defineselects 2\n",
         {std::string(kNotMenu), atLine(3, "#defineselects")}},
        {kPage + "#startmenu\n#startglobalconfig\n#defineselects 1\n",
         {std::string(kNotMenu), atLine(5, "#defineselects")}},
        {kPage + "#startmenu\n#endmenu\n#defineselects 1\n",
         {std::string(kNotMenu), atLine(5, "#defineselects")}},
        // Counts fail before anything is allocated.
        {"#definepages -1\n", {std::string(kCount), atLine(1, "#definepages")}},
        {"#startglobalconfig\n#definekeys 99999999999\n",
         {std::string(kCount), atLine(2, "#definekeys")}},
        {"#definemusic 10001\n", {std::string(kCount), atLine(1, "#definemusic")}},
        {kPage + "#startmenu\n#defineselects -5\n",
         {std::string(kCount), atLine(4, "#defineselects")}},
        // Comments, empty and blank lines count.
        {"// one\n\n   \n#definepages 1\n#startpage 0 p\n<x>\n", {unknownToken(6, "x")}, ""},
        // A line of 2050 characters is read as a piece of 2047 and one of 3: two lines.
        {kPage + std::string(2047, 'a') + "bbb\n<bad>\n",
         {unknownToken(5, "bad")},
         std::string(2047, 'a') + "bbb\n"},
        // Tags: unclosed, too long (cut at 255), unknown, empty; the cells before them stay.
        {kPage + "ok\na <B open\n", {unknownToken(4, "b open")}, "ok\na "},
        {kPage + "<" + std::string(300, 'x') + ">\n", {unknownToken(3, std::string(255, 'x'))}},
        {kPage + "x <I>italic</i>\n", {unknownToken(3, "i")}},
        {kPage + "x <> y\n", {unknownToken(3, "")}},
        // Includes that cannot be read.
        {kPage + "#includeascii \"no file.txt\"\n",
         {"error while parsing script...\nin line 3 (file not found): no file.txt"}},
        {kPage + "#includeascii\n",
         {"error while parsing script...\nin line 3 (file not found): "}},
        {kPage + "\n#includeansi missing.ans\n", {"error while loading ansi file: missing.ans"}},
        {kPage + "#includeansi broken.ans\nnever\n",
         {"error while loading ansi file: broken.ans"},
         ""},
    };
    for (const Failure& f : cases) {
        const size_t before = messages().size();
        EXPECT_FALSE(read(f.script)) << f.script;
        const auto m = messages();
        EXPECT_EQ(std::vector(m.begin() + std::ptrdiff_t(before), m.end()), f.messages) << f.script;
        if (f.page0) {
            EXPECT_EQ(text(0), *f.page0) << f.script;
        }
    }
}

TEST_F(ScriptFailures, MissingScriptFailsWithoutAMessage) {
    model.scriptName = "absent.mag";
    EXPECT_FALSE(readScript(model, platform, platform));
    std::filesystem::create_directory("folder.mag");  // guard: a directory is no script
    model.scriptName = "folder.mag";
    EXPECT_FALSE(readScript(model, platform, platform));
    EXPECT_TRUE(messages().empty());
}

TEST_F(ScriptFailures, LargestCountIsAllowed) {
    EXPECT_TRUE(read("#definepages 10000\n"));
    EXPECT_EQ(model.pages.size(), 10000u);
}

}  // namespace
}  // namespace qvl
