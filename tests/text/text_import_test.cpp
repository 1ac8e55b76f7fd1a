// The text import: plain copying, escape sequences (cursor, attributes, save and restore,
// beeps), line ends, the DOS wrap at column 80, and the limits that keep writes in the block.
#include <fstream>
#include <iterator>

#include "import_fixture.h"

namespace qvl {
namespace {

using TextImportTest = testing::ImportFixture;

struct Case {
    std::string name, bytes;
    int lines;
    std::vector<std::string> rows;  // the first rows' text (rowText)
    // Cells as "row column character fg/bg flags" (see describe).
    std::vector<std::string> cells = {};
    int beeps = 0;
};

TEST_F(TextImportTest, FilesGiveTheirRowsAndCells) {
    std::string tooManyLines, digits;
    for (int i = 0; i < kMaxImportRows + 5; ++i) tooManyLines += "x\n";
    for (int i = 0; i < 100; ++i) digits += char('0' + i % 10);
    // The colour sequence straddles byte 8191, where a line reader would cut the line.
    const std::string straddle = "\x1b[0m" + std::string(8185, 'a') + "\x1b[31mb\n";
    ASSERT_EQ(straddle.find("\x1b[31m"), 8189u);

    auto data = [](const char* name) {
        std::ifstream in(std::string(QVL_TEST_DATA) + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };

    std::vector<Case> cases = {
        // No tab expansion; a lone ESC is a character; the empty line takes a row, the last
        // needs no line feed; blanks and characters are white on black.
        {"plain", "ab\n\nc\td\x1b(x", 3, {"ab", "", "c\td\x1b(x"}, {"0 0 a 7/0", "1 5   7/0"}},
        {"rows bounded", tooManyLines, kMaxImportRows, {"x"}, {"9999 0 x 7/0"}},
        {"plain drops beyond column 79", digits + "\nz", 2, {digits.substr(0, 80), "z"}},
        {"line of 9000", std::string(9000, 'y') + "\nz", 2, {std::string(80, 'y'), "z"}},
        {"NUL ends the line", std::string("ab\0cd\nef", 8), 2, {"ab", "ef"}},
        // Without escape sequences a full row is not wrapped: one row per line.
        {"plain no wrap", std::string(80, 'x') + "\r\ny", 2, {std::string(80, 'x'), "y"}},
        // 5 up from row 2 stops at row 0.
        {"up", "\n\n\x1b[5AX\n", 2, {"X", ""}},
        // Moves by 0 or without a number do not move.
        {"moves by zero", "AB\x1b[0DC\x1b[DD\x1b[CE\x1b[0AF\x1b[BG\x1b[2DH", 1, {"ABCDEHG"}},
        {"down forward back", "\x1b[1BA\x1b[3CB\x1b[2DC", 2, {"", "A  CB"}},
        // Missing or zero position parameters count as one; V overwrote Y; row 2 holds X
        // although the cursor ended higher.
        {"position",
         "\x1b[3;5HX\x1b[HY\x1b[;7fZ\x1b[2;0HW\x1b[0;0HV",
         3,
         {"V     Z", "W", "    X"}},
        // Numbers outside the table (9, 22, 99) change nothing.
        {"rendition",
         "\x1b[1;31mX\x1b[0mY\x1b[44;32mZ\x1b[mW\x1b[4;5;47mV\x1b[9;22;99mU",
         1,
         {"XYZWVU"},
         {"0 0 X 1/0 b", "0 1 Y 7/0", "0 2 Z 2/4", "0 3 W 7/0", "0 4 V 7/7 u k", "0 5 U 7/7 u k"}},
        // 5 and 1 inside "38;5;n" / "48;5;n" / "38;2;r;g;b" are colour numbers, not blink or
        // bold; what follows the colour number still counts.
        {"extended colours",
         "\x1b[38;5;200mA\x1b[48;5;1mB\x1b[38;2;1;4;5mC\x1b[38;5;1;33mD",
         1,
         {"ABCD"},
         {"0 0 A 7/0", "0 1 B 7/0", "0 2 C 7/0", "0 3 D 3/0"}},
        {"save and restore", "AB\x1b[sCD\n\x1b[uE", 1, {"ABED"}},
        // Erase fills the block with blanks of the current colours; the cursor stays.
        {"erase", "AB\n\x1b[44m\x1b[2JC", 2, {"", "C"}, {"0 0   7/4", "1 79   7/4", "1 0 C 7/4"}},
        // Erase line and modes beep once per pass (measuring and filling): two each.
        {"beeps", "a\x1b[Kb\x1b[4h\n", 1, {"ab"}, {}, 4},
        {"private modes",
         "\x1b[?7ha\x1b[?33hb\x1b[=5lc\x1b[>1;2nd\x1b[<0me\x1b[?25l",
         1,
         {"abcde"},
         {"0 4 e 7/0"}},
        // Column 80 wraps in ANSI files; the CR LF then leaves an empty row.
        {"wrap", "\x1b[0m" + std::string(80, 'x') + "\r\ny", 3, {std::string(80, 'x'), "", "y"}},
        {"wrap twice",
         "\x1b[m" + std::string(170, 'q'),
         3,
         {std::string(80, 'q'), std::string(80, 'q'), std::string(10, 'q')}},
        // Z was overwritten by b, both at column 79; after Z the cursor wrapped, and after c
        // to row 5, which counts.
        {"clamped to column 79",
         "\x1b[200CZa\x1b[1;500Hb\x1b[5;99999fc",
         6,
         {},
         {"0 79 b 7/0", "1 0 a 7/0", "4 79 c 7/0"}},
        // 8186 characters wrap into 103 rows.
        {"straddle", straddle, 103, {}, {"102 24 a 7/0", "102 25 b 1/0"}},
        // The twelfth parameter is dropped.
        {"eleven parameters", "\x1b[1;1;1;1;1;1;1;1;1;1;1;31mX", 1, {"X"}, {"0 0 X 7/0 b"}},
        {"huge move", "\x1b[99999999BX", kMaxImportRows, {""}},
        // X stands on row 5 and the cursor ends on row 1: the rows counted include X's.
        {"rows of what was written", "\x1b[5BX\x1b[5A", 6, {}, {"5 0 X 7/0"}},
        // Our own small files of cases real art packs rely on (see data/README).
        {"wrap80.ans",
         data("wrap80.ans"),
         3,
         {std::string(80, '#'), std::string(80, '='), "end"},
         {"1 79 = 4/0 b", "2 0 e 7/0"}},
        {"sauce.ans", data("sauce.ans"), 1, {"red art"}, {"0 0 r 1/0"}},
        {"private.ans", data("private.ans"), 2, {"green", "plain"}, {"0 0 g 2/0 b"}},
        // The 1 after "38;5;5" is bold.
        {"colour256.ans",
         data("colour256.ans"),
         1,
         {"ABCD"},
         {"0 0 A 7/0", "0 1 B 7/0", "0 2 C 7/0 b", "0 3 D 7/0 k"}},
    };
    // Line ends CR LF, LF and CR CR LF give the same cells.
    for (const char* end : {"\r\n", "\n", "\r\r\n"}) {
        cases.push_back({"plain ends",
                         std::string("one") + end + "two" + end,
                         2,
                         {"one", "two"},
                         {"0 0 o 7/0"}});
        cases.push_back({"ansi ends",
                         std::string("\x1b[32mone") + end + "two" + end,
                         2,
                         {"one", "two"},
                         {"1 2 o 2/0"}});
    }
    for (const Case& c : cases) {
        const int beeps = platform.beepCount();
        ASSERT_TRUE(import(c.bytes)) << c.name;
        EXPECT_EQ(result.isAnsi, c.bytes.find("\x1b[") != std::string::npos) << c.name;
        EXPECT_EQ(result.lineCount, c.lines) << c.name;
        EXPECT_EQ(result.cellCount, c.lines * kCellsPerLine) << c.name;
        ASSERT_EQ(result.cells.size(), size_t(c.lines) * kCellsPerLine) << c.name;
        for (size_t r = 0; r < c.rows.size(); ++r) EXPECT_EQ(rowText(int(r)), c.rows[r]) << c.name;
        for (const std::string& cell : c.cells) {
            int row = 0, column = 0;
            ASSERT_EQ(std::sscanf(cell.c_str(), "%d %d", &row, &column), 2);
            EXPECT_EQ(describe(row, column), cell) << c.name;
        }
        for (const CharCell& cell : result.cells) ASSERT_EQ(cell.coloured, 1) << c.name;
        EXPECT_EQ(platform.beepCount() - beeps, c.beeps) << c.name;
    }
}

TEST_F(TextImportTest, LongArtLineKeepsEveryCellAndColour) {
    // longline.ans: 125 runs of 70 letters without a line feed, the letter and the colour
    // changing with each run.
    ASSERT_TRUE(importTextFile(std::string(QVL_TEST_DATA) + "/longline.ans", platform, result));
    constexpr int kChars = 125 * 70;
    EXPECT_EQ(result.lineCount, kChars / 80 + 1);
    for (int k = 0; k < kChars; ++k) {
        const CharCell& c = cell(k / 80, k % 80);
        ASSERT_EQ(c.ch, 'a' + k / 70 % 26) << k;
        ASSERT_EQ(c.fg, 1 + k / 70 % 7) << k;
    }
}

TEST_F(TextImportTest, ALineEndingInsideASequenceOrAMissingFileFails) {
    for (const char* bytes : {"ok\n\x1b[12\nmore\n", "\x1b[m\x1b", "\x1b[?7\n"}) {
        EXPECT_FALSE(import(bytes)) << bytes;
        EXPECT_TRUE(result.cells.empty());
    }
    EXPECT_FALSE(importTextFile("none.ans", platform, result));
}

TEST_F(TextImportTest, ParseParamsSplitsAtSemicolonsWithEmptyOnesZero) {
    const struct {
        const char* text;
        std::vector<int32_t> params;
    } cases[] = {{"", {0}},
                 {"1;;3", {1, 0, 3}},
                 {"5;", {5, 0}},
                 {"1;2;3;4;5;6;7;8;9;10;11;12;13", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
                 {"123456789012", {kMaxParamValue}}};
    for (const auto& c : cases) {
        int32_t p[kMaxParams] = {};
        const int n = parseParams(c.text, int(std::strlen(c.text)), p);
        EXPECT_EQ(std::vector(p, p + n), c.params) << c.text;
    }
}

TEST_F(TextImportTest, ScanCountsLinesAndEscapePairs) {
    const TextScan scan = scanTextFile("a\x1b[m\n\x1b\x1b[[\nlast");
    EXPECT_EQ(scan.lines, 3);
    EXPECT_EQ(scan.escapePairs, 2);
    EXPECT_EQ(scanTextFile("").lines, 0);
    EXPECT_EQ(scanTextFile("x\n").lines, 1);
}

std::string artRecord(uint8_t comments) {
    std::string record = "SAUCE00" + std::string(121, ' ');
    record[104] = char(comments);
    return record;
}

TEST_F(TextImportTest, ArtRecordAndEndOfFileByteAreCutOff) {
    const std::string comment = "COMNT" + std::string(64, 'c');
    const std::pair<std::string, std::string> cases[] = {
        {"ab\n" + artRecord(0), "ab\n"},
        {"ab\n" + comment + artRecord(1), "ab\n"},
        {"ab\x1a" + std::string("junk") + comment + artRecord(1), "ab"},
        {"ab\x1a" + std::string("junk"), "ab"},
        // A comment count without its block leaves the bytes before the record alone.
        {"xyz" + artRecord(2), "xyz"},
    };
    for (const auto& [bytes, trimmed] : cases) EXPECT_EQ(trimArtRecord(bytes), trimmed);

    ASSERT_TRUE(import("\x1b[31mart\r\n\x1a" + comment + artRecord(1)));
    EXPECT_EQ(result.lineCount, 1);
    EXPECT_EQ(rowText(0), "art");
    ASSERT_TRUE(import("plain\n" + artRecord(0)));
    EXPECT_EQ(result.lineCount, 1);
}

}  // namespace
}  // namespace qvl
