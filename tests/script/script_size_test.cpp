// Hostile sizes: scripts and includes far larger than any magazine. Each is refused before it
// takes more memory than the text budget, with a message that names the line.
#include <filesystem>

#include "../support/scratch_dir.h"
#include "platform/headless/headless_platform.h"
#include "script/script_reader.h"
#include "text/file_bytes.h"

namespace qvl {
namespace {

class ScriptSizes : public testing::ScratchDir {
  protected:
    bool read(std::string_view script) {
        writeFile(kScriptName, script);
        model = MagazineModel{};
        return readScript(model, platform, platform);
    }
    std::vector<std::string> messages() const { return platform.messages(); }

    HeadlessPlatform platform;
    MagazineModel model;
};

const std::string kPage = "#definepages 1\n#startpage 0 p\n";

std::string tooMuchText(int line, std::string_view what) {
    return "error while parsing script...\nin line " + std::to_string(line) +
           " (more than 8388608 characters of text): " + std::string(what);
}

TEST_F(ScriptSizes, ScriptOverTheFileLimitIsRefusedUnread) {
    // A 100 MB file that takes no disk: its size alone refuses it.
    writeFile(kScriptName, kPage);
    std::filesystem::resize_file(kScriptName, 100u << 20);
    EXPECT_FALSE(readScript(model, platform, platform));
    EXPECT_TRUE(messages().empty());  // the viewer says that the script could not be loaded
    EXPECT_TRUE(model.pages.empty());
}

TEST_F(ScriptSizes, MarkupCountsByTheCellsItMakes) {
    // 19 MB of lines of 1900 characters that are all tags: each makes only its line end.
    std::string tags;
    for (int i = 0; i < 200; ++i) tags += i % 2 ? "<color 1 2>" : "</color>";
    std::string script(kPage);
    for (int i = 0; i < 10000; ++i) script += tags + '\n';
    ASSERT_TRUE(read(script));
    EXPECT_EQ(model.pages[0].cells.size(), 10000u);
}

TEST_F(ScriptSizes, TextBeyondTheBudgetStopsAtItsLine) {
    std::string big;  // one megabyte of lines of 100 cells
    while (big.size() < 1000000) big += std::string(99, 'y') + '\n';
    writeFile("big.txt", big);
    // Moves its cursor to row 1000000: imports as 10000 rows of 80 cells.
    writeFile("far.ans", "top\x1b[999999Bbottom\n");
    writeFile("five.txt", std::string(5000000, 'w'));
    writeFile("five.ans", "\x1b[0m" + std::string(5000000, 'w'));
    std::string half;  // 4 MiB cells
    while (half.size() < (size_t{4} << 20)) half += std::string(1023, 'z') + '\n';
    writeFile("half.txt", half);
    // Nine megabytes of colour changes that draw one row: counted by the file's size.
    std::string noise;
    while (noise.size() < 9000000) noise += "\x1b[31m";
    writeFile("noise.ans", noise + "x\n");
    // 64 MiB less a little, 80 characters a line: the budget runs out on line 104860 (the
    // 104858th text line; 104857 lines of 80 cells fit in 8388608, one more does not), and
    // that line fills the budget to the last cell before it is refused.
    const std::string line(79, 'x');
    std::string huge(kPage);
    huge.reserve(kMaxFileBytes);
    while (huge.size() + 80 <= kMaxFileBytes) huge += line + '\n';

    auto repeat = [](int n, const std::string& s) {
        std::string out;
        for (int i = 0; i < n; ++i) out += s;
        return out;
    };
    const struct {
        std::string script, message;
        size_t cells;  // on all pages
    } cases[] = {
        // The ninth include of the megabyte would pass 8 MiB cells (line 2 + 9).
        {kPage + repeat(20, "#includeascii big.txt\n"), tooMuchText(11, "big.txt"), 8000000},
        // Ten of the 10000-row files fit, the eleventh does not.
        {kPage + repeat(12, "#includeansi far.ans\n"), tooMuchText(13, "far.ans"), 8000000},
        // Before any page the text goes nowhere, but each include reads its file.
        {repeat(2, "#includeascii five.txt\n"), tooMuchText(2, "five.txt"), 0},
        {repeat(2, "#includeansi five.ans\n"), tooMuchText(2, "five.ans"), 0},
        // The budget is the whole magazine's, and "##" draws on it.
        {"#definepages 2\n#startpage 0 a\n#includeascii half.txt\n#startpage 1 b\n"
         "#includeascii half.txt\n##\n",
         tooMuchText(6, "##"), 2 * half.size()},
        {kPage + "#includeansi noise.ans\n", tooMuchText(3, "noise.ans"), 0},
        {huge, tooMuchText(104860, line), kMaxTextCells},
    };
    for (const auto& c : cases) {
        const size_t before = messages().size();
        EXPECT_FALSE(read(c.script)) << c.message;
        const auto m = messages();
        EXPECT_EQ(std::vector(m.begin() + std::ptrdiff_t(before), m.end()), std::vector{c.message});
        size_t cells = 0;
        for (const Page& page : model.pages) cells += page.cells.size();
        EXPECT_EQ(cells, c.cells) << c.message;
    }
    EXPECT_EQ(model.pages[0].lineCount, 104857);
}

TEST_F(ScriptSizes, DefinesStopAtTheirBudget) {
    // 10000 pages that each define 10000 keys and 10000 menu entries would be 16 GB: the
    // budget of 1048576 entries (the pages counted) stops it at the menu entries of page 51.
    std::string script = "#definepages 10000\n";
    for (int page = 0; page < 10000; ++page)
        script += "#startpage " + std::to_string(page) +
                  " p\n#definekeys 10000\n#startmenu\n#defineselects 10000\n#endmenu\n";
    EXPECT_FALSE(read(script));
    const auto m = messages();
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0],
              "too many entries defined: at most 1048576 pages, keys, menu entries and "
              "songs in all!");
    // 10000 + 51 pages of 20000 + 10000 keys = 1040000 fits; page 51's entries would make
    // 1050000. Page k starts on line 2 + 5k; its "#defineselects" is line 5 + 5k.
    EXPECT_EQ(m[1], "error while parsing script...\nin line " + std::to_string(5 + 5 * 51) +
                        ": #defineselects");

    // Nor do defines that replace each other run on for ever.
    script.clear();
    for (int i = 0; i < 200; ++i) script += "#definepages 10000\n";
    EXPECT_FALSE(read(script));
    ASSERT_EQ(messages().size(), 4u);
    EXPECT_EQ(messages()[3], "error while parsing script...\nin line 105: #definepages");
}

}  // namespace
}  // namespace qvl
