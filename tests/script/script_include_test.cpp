// The two includes: ASCII files keep every character as plain cells, ANSI files give rows of
// 79 coloured cells and a coloured line end; names are found as Windows would find them.
#include "script_fixture.h"

namespace qvl {
namespace {

using ScriptInclude = testing::ScriptFixture;

constexpr std::string_view kPage = "#definepages 1\n#startpage 0 p\n";

TEST_F(ScriptInclude, AsciiKeepsEveryCharacterWithoutMarkup) {
    const std::string wide(100, 'w');
    writeFile("plain.txt", "<b>not a tag</b>\r\n" + wide + "\n\nend");
    ASSERT_TRUE(read(std::string(kPage) + "#includeascii \"plain.txt\"\nafter\n"));
    EXPECT_EQ(text(0), "<b>not a tag</b>\n" + wide + "\n\nendafter\n");
    EXPECT_EQ(model.pages[0].lineCount, 5);  // four pieces of the file and the text line
    EXPECT_EQ(attrs(0)[0], "0/0");
    // Lines longer than 1023 characters are read in pieces that count as lines.
    writeFile("long.txt", std::string(1500, 'x') + "\n");
    ASSERT_TRUE(read(std::string(kPage) + "#includeascii long.txt\n"));
    EXPECT_EQ(model.pages[0].cells.size(), 1501u);
    EXPECT_EQ(model.pages[0].lineCount, 2);
}

TEST_F(ScriptInclude, AnsiDropsTheEightiethCellAndMarksEveryCellColoured) {
    std::string wide;
    for (int i = 0; i < 85; ++i) wide += char('A' + i % 26);
    writeFile("plain.txt", wide + "\nz\n");
    ASSERT_TRUE(read(std::string(kPage) + "#includeansi plain.txt\n#includeascii plain.txt\n"));
    const Page& page = model.pages[0];
    EXPECT_EQ(page.lineCount, 4);
    ASSERT_GE(page.cells.size(), 160u);
    EXPECT_EQ(text(0).substr(0, 80), wide.substr(0, 79) + "\n");
    EXPECT_EQ(text(0).substr(80, 2), "z ");
    for (size_t i = 0; i < 160; ++i) {
        EXPECT_EQ(page.cells[i].coloured, 1) << i;
        if (page.cells[i].ch == '\n') continue;
        EXPECT_EQ(page.cells[i].fg, 7) << i;
    }
    EXPECT_EQ(page.cells[79].fg, 0);  // the end-of-row cell
    // The ASCII copy of the same file keeps all 85 characters, uncoloured.
    EXPECT_EQ(text(0).substr(160), wide + "\nz\n");
    EXPECT_EQ(page.cells[160].coloured, 0);
}

TEST_F(ScriptInclude, AnsiFileOf25RowsAdds25LinesOf80Cells) {
    std::string art = "\x1b[1;33m";
    for (int row = 0; row < 25; ++row) art += "row " + std::to_string(row) + "\r\n";
    writeFile("art.ans", art);
    ASSERT_TRUE(read(std::string(kPage) + "#includeansi art.ans\n"));
    const Page& page = model.pages[0];
    EXPECT_EQ(page.lineCount, 25);
    ASSERT_EQ(page.cells.size(), 25u * 80);
    EXPECT_EQ(text(0).substr(80, 6), "row 1 ");
    EXPECT_EQ(attrs(0)[80], "3/0 c b");
    EXPECT_EQ(page.cells[159].ch, '\n');
    EXPECT_EQ(page.cells[159].coloured, 1);
}

TEST_F(ScriptInclude, NamesAreWindowsStyleAndFoundWhateverTheirCase) {
    std::filesystem::create_directories("Texts/Art");
    writeFile("Texts/Art/Logo.ANS", "\x1b[31mlogo\n");
    writeFile("Texts/Readme.TXT", "read me\n");
    ASSERT_TRUE(read(std::string(kPage) +
                     "#includeansi \"texts\\art\\logo.ans\"\n#includeascii TEXTS\\README.txt\n"));
    EXPECT_EQ(text(0).substr(0, 4), "logo");
    EXPECT_EQ(text(0).substr(80), "read me\n");
}

}  // namespace
}  // namespace qvl
