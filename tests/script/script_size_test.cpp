// Hostile sizes: scripts and includes far larger than any magazine. Each is refused before it
// takes more memory than the text budget, with a message that names the line.
#include <filesystem>

#include "script_fixture.h"
#include "text/file_bytes.h"

namespace qvl {
namespace {

using ScriptSizes = testing::ScriptFixture;

constexpr std::string_view kPage = "#definepages 1\n#startpage 0 p\n";

std::string tooMuchText(int line, std::string_view what) {
    return "error while parsing script...\nin line " + std::to_string(line) +
           " (more than 8388608 characters of text): " + std::string(what);
}

TEST_F(ScriptSizes, ScriptOverTheFileLimitIsRefusedUnread) {
    // A 100 MB file that takes no disk: its size alone refuses it.
    writeFile("qvl.mag", kPage);
    std::filesystem::resize_file("qvl.mag", 100u << 20);
    EXPECT_FALSE(readScript(model, platform));
    EXPECT_TRUE(messages().empty());  // the viewer says that the script could not be loaded
    EXPECT_TRUE(model.pages.empty());
}

TEST_F(ScriptSizes, TextBeyondTheBudgetStopsAtItsLine) {
    // 64 MiB less a little, 80 characters a line: the budget runs out on line 104860 (the
    // 104858th text line; 104857 lines of 80 cells fit in 8388608, one more does not).
    const std::string line(79, 'x');
    std::string script(kPage);
    script.reserve(kMaxFileBytes);
    while (script.size() + 80 <= kMaxFileBytes) script += line + '\n';
    EXPECT_FALSE(read(script));
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0], tooMuchText(104860, line));
    EXPECT_EQ(model.pages[0].lineCount, 104857);
    EXPECT_EQ(model.pages[0].cells.size(), 104857u * 80);
}

TEST_F(ScriptSizes, OneFileIncludedOverAndOverStopsAtTheBudget) {
    // One megabyte of text, included twenty times: the ninth include would pass 8 MiB cells.
    std::string big;
    while (big.size() < 1000000) big += std::string(99, 'y') + '\n';
    writeFile("big.txt", big);
    std::string script(kPage);
    for (int i = 0; i < 20; ++i) script += "#includeascii big.txt\n";
    EXPECT_FALSE(read(script));
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0], tooMuchText(11, "big.txt"));
    EXPECT_EQ(model.pages[0].cells.size(), 8u * 1000000);

    // An ANSI file that moves its cursor to row 1000000 imports as 10000 rows of 80 cells;
    // ten of them fit, the eleventh does not.
    writeFile("far.ans", "top\x1b[999999Bbottom\n");
    script = kPage;
    for (int i = 0; i < 12; ++i) script += "#includeansi far.ans\n";
    EXPECT_FALSE(read(script));
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(messages()[1], tooMuchText(13, "far.ans"));
    EXPECT_EQ(model.pages[0].lineCount, 10 * 10000);
}

TEST_F(ScriptSizes, TheBudgetCountsEveryPageAndEmptyLines) {
    // Two pages of 4 MiB cells each: the budget is the whole magazine's, and "##" draws on it.
    std::string half;
    while (half.size() < (size_t{4} << 20)) half += std::string(1023, 'z') + '\n';
    writeFile("half.txt", half);
    EXPECT_FALSE(
        read("#definepages 2\n#startpage 0 a\n#includeascii half.txt\n"
             "#startpage 1 b\n#includeascii half.txt\n##\n"));
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0], tooMuchText(6, "##"));
    EXPECT_EQ(model.pages[1].cells.size(), half.size());
}

}  // namespace
}  // namespace qvl
