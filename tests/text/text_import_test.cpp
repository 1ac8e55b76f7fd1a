// The text import: plain copying, escape sequences (cursor, attributes, save and restore,
// beeps), line ends, the DOS wrap at column 80, and the limits that keep writes in the block.
#include "import_fixture.h"

namespace qvl {
namespace {

using TextImportTest = testing::ImportFixture;

TEST_F(TextImportTest, PlainFileIsCopiedLineByLineWithControlBytesAsCells) {
    ASSERT_TRUE(import("ab\n\nc\td\x1b(x"));
    EXPECT_FALSE(result.isAnsi);
    EXPECT_EQ(result.lineCount, 3);  // the empty line takes a row, the last needs no line feed
    EXPECT_EQ(result.cellCount, 240);
    ASSERT_EQ(result.cells.size(), 240u);
    EXPECT_EQ(rowText(0), "ab");
    EXPECT_EQ(rowText(1), "");
    EXPECT_EQ(rowText(2), "c\td\x1b(x");  // no tab expansion; a lone ESC is a character
    EXPECT_EQ(cell(1, 5).ch, ' ');
    EXPECT_EQ(attrs(1, 5), "7/0");  // blanks and characters: white on black, coloured
    EXPECT_EQ(attrs(0, 0), "7/0");
    EXPECT_EQ(cell(1, 5).coloured, 1);
    EXPECT_EQ(cell(0, 0).coloured, 1);
}

TEST_F(TextImportTest, PlainFileRowsAreBounded) {
    std::string lines;
    for (int i = 0; i < kMaxImportRows + 5; ++i) lines += "x\n";
    ASSERT_TRUE(import(lines));
    EXPECT_EQ(result.lineCount, kMaxImportRows);  // guard: the rows past the limit are dropped
    EXPECT_EQ(result.cells.size(), size_t(kMaxImportRows) * kCellsPerLine);
    EXPECT_EQ(cell(kMaxImportRows - 1, 0).ch, 'x');
}

TEST_F(TextImportTest, PlainFileDropsWhatLiesBeyondColumn79) {
    std::string line;
    for (int i = 0; i < 100; ++i) line += char('0' + i % 10);
    ASSERT_TRUE(import(line + "\nz"));
    EXPECT_EQ(result.lineCount, 2);
    EXPECT_EQ(cell(0, 79).ch, '9');
    EXPECT_EQ(rowText(1), "z");
    // A line longer than a line reader's 8191 bytes is still one line.
    ASSERT_TRUE(import(std::string(9000, 'y') + "\nz"));
    EXPECT_EQ(result.lineCount, 2);
    EXPECT_EQ(rowText(1), "z");
}

TEST_F(TextImportTest, LineEndsCrLfLfAndCrCrLfGiveTheSameCells) {
    for (bool ansi : {false, true}) {
        const std::string lead = ansi ? "\x1b[32m" : "";
        std::vector<std::vector<CharCell>> blocks;
        for (const char* end : {"\r\n", "\n", "\r\r\n"}) {
            ASSERT_TRUE(import(lead + "one" + end + "two" + end));
            EXPECT_EQ(result.lineCount, 2);
            blocks.push_back(result.cells);
            EXPECT_EQ(rowText(1), "two");
        }
        for (const auto& block : blocks) {
            ASSERT_EQ(block.size(), blocks[0].size());
            for (size_t i = 0; i < block.size(); ++i) {
                EXPECT_EQ(block[i].ch, blocks[0][i].ch);
                EXPECT_EQ(block[i].fg, blocks[0][i].fg);
            }
        }
    }
}

TEST_F(TextImportTest, NulEndsTheContentOfItsLine) {
    ASSERT_TRUE(import(std::string("ab\0cd\nef", 8)));
    EXPECT_EQ(rowText(0), "ab");
    EXPECT_EQ(rowText(1), "ef");
}

TEST_F(TextImportTest, CursorUpDownForwardBackAndMovesByZero) {
    ASSERT_TRUE(import("\n\n\x1b[5AX\n"));
    EXPECT_TRUE(result.isAnsi);
    EXPECT_EQ(cell(0, 0).ch, 'X');  // 5 up from row 2 stops at row 0
    EXPECT_EQ(result.lineCount, 2);

    ASSERT_TRUE(import("AB\x1b[0DC\x1b[DD\x1b[CE\x1b[0AF\x1b[BG\x1b[2DH"));
    EXPECT_EQ(rowText(0), "ABCDEHG");  // moves by 0 or without a number do not move
    EXPECT_EQ(cell(0, 5).ch, 'H');

    ASSERT_TRUE(import("\x1b[1BA\x1b[3CB\x1b[2DC"));
    EXPECT_EQ(rowText(1), "A  CB");
    EXPECT_EQ(result.lineCount, 2);
}

TEST_F(TextImportTest, PositionCountsMissingOrZeroParametersAsOne) {
    ASSERT_TRUE(import("\x1b[3;5HX\x1b[HY\x1b[;7fZ\x1b[2;0HW\x1b[0;0HV"));
    EXPECT_EQ(cell(2, 4).ch, 'X');
    EXPECT_EQ(cell(0, 0).ch, 'V');  // V overwrote Y at row 0, column 0
    EXPECT_EQ(cell(0, 6).ch, 'Z');
    EXPECT_EQ(cell(1, 0).ch, 'W');
    EXPECT_EQ(result.lineCount, 3);  // row 2 holds X although the cursor ended higher
}

TEST_F(TextImportTest, SelectGraphicRenditionSetsAndResetsAttributes) {
    ASSERT_TRUE(import("\x1b[1;31mX\x1b[0mY\x1b[44;32mZ\x1b[mW\x1b[4;5;47mV\x1b[9;22;99mU"));
    // Numbers outside the table (9, 22, 99) change nothing.
    const char* expected[] = {"1/0 b", "7/0", "2/4", "7/0", "7/7 u k", "7/7 u k"};
    for (int c = 0; c < 6; ++c) EXPECT_EQ(attrs(0, c), expected[c]) << c;
}

TEST_F(TextImportTest, ExtendedColoursConsumeTheirNumbers) {
    // 5 and 1 inside "38;5;n" / "48;5;n" / "38;2;r;g;b" are colour numbers, not blink or bold;
    // what follows the colour number still counts.
    ASSERT_TRUE(import("\x1b[38;5;200mA\x1b[48;5;1mB\x1b[38;2;1;4;5mC\x1b[38;5;1;33mD"));
    const char* expected[] = {"7/0", "7/0", "7/0", "3/0"};
    for (int c = 0; c < 4; ++c) EXPECT_EQ(attrs(0, c), expected[c]) << c;
}

TEST_F(TextImportTest, SaveAndRestoreTheCursor) {
    ASSERT_TRUE(import("AB\x1b[sCD\n\x1b[uE"));
    EXPECT_EQ(result.lineCount, 1);
    EXPECT_EQ(rowText(0), "ABED");
}

TEST_F(TextImportTest, EraseFillsTheBlockWithBlanksOfTheCurrentAttributes) {
    ASSERT_TRUE(import("AB\n\x1b[44m\x1b[2JC"));
    EXPECT_EQ(rowText(0), "");
    EXPECT_EQ(cell(0, 0).bg, 4);
    EXPECT_EQ(cell(1, 79).bg, 4);
    EXPECT_EQ(cell(1, 0).ch, 'C');  // the cursor did not move
}

TEST_F(TextImportTest, EraseLineAndModesBeepOncePerPass) {
    ASSERT_TRUE(import("a\x1b[Kb\x1b[4h\n"));
    EXPECT_EQ(platform.beepCount(), 4);  // two sequences, measuring and filling pass
    EXPECT_EQ(rowText(0), "ab");
}

TEST_F(TextImportTest, PrivateModeSequencesRunToTheirFinalByteSilently) {
    ASSERT_TRUE(import("\x1b[?7ha\x1b[?33hb\x1b[=5lc\x1b[>1;2nd\x1b[<0me\x1b[?25l"));
    EXPECT_EQ(rowText(0), "abcde");
    EXPECT_EQ(platform.beepCount(), 0);
    EXPECT_EQ(cell(0, 4).fg, 7);
}

TEST_F(TextImportTest, ALineEndingInsideASequenceFailsTheImport) {
    EXPECT_FALSE(import("ok\n\x1b[12\nmore\n"));
    EXPECT_FALSE(import("\x1b[m\x1b"));
    EXPECT_FALSE(import("\x1b[?7\n"));
    EXPECT_TRUE(result.cells.empty());
}

TEST_F(TextImportTest, MissingFileFails) {
    EXPECT_FALSE(importTextFile("none.ans", platform, result));
}

TEST_F(TextImportTest, ColumnEightyWrapsToTheNextRowInAnsiFiles) {
    const std::string full(80, 'x');
    ASSERT_TRUE(import("\x1b[0m" + full + "\r\ny"));
    EXPECT_EQ(result.lineCount, 3);  // the wrapped row, then the CR LF leaves an empty row
    EXPECT_EQ(cell(0, 79).ch, 'x');
    EXPECT_EQ(rowText(1), "");
    EXPECT_EQ(rowText(2), "y");

    ASSERT_TRUE(import(full + "\r\ny"));  // without escape sequences: one row per line
    EXPECT_EQ(result.lineCount, 2);
    EXPECT_EQ(rowText(1), "y");

    ASSERT_TRUE(import("\x1b[m" + std::string(170, 'q')));
    EXPECT_EQ(result.lineCount, 3);
    EXPECT_EQ(rowText(2), std::string(10, 'q'));
}

TEST_F(TextImportTest, ForwardAndPositionClampTheColumnTo79) {
    ASSERT_TRUE(import("\x1b[200CZa\x1b[1;500Hb\x1b[5;99999fc"));
    EXPECT_EQ(cell(0, 79).ch, 'b');  // Z was overwritten by b, both at column 79
    EXPECT_EQ(cell(1, 0).ch, 'a');   // after Z the cursor wrapped
    EXPECT_EQ(cell(4, 79).ch, 'c');
}

TEST_F(TextImportTest, ALongLineWithoutLineFeedsStaysOneLineAcrossTheReaderPiece) {
    // The colour sequence straddles byte 8191, where a line reader would cut the line.
    std::string art = "\x1b[0m" + std::string(8185, 'a') + "\x1b[31mb\n";
    ASSERT_EQ(art.find("\x1b[31m"), 8189u);
    ASSERT_TRUE(import(art));
    EXPECT_EQ(result.lineCount, 103);  // 8186 characters wrap into 103 rows
    EXPECT_EQ(cell(102, 25).ch, 'b');
    EXPECT_EQ(cell(102, 25).fg, 1);
    EXPECT_EQ(cell(102, 24).fg, 7);
}

TEST_F(TextImportTest, MoreThanElevenParametersDropTheRest) {
    ASSERT_TRUE(import("\x1b[1;1;1;1;1;1;1;1;1;1;1;31mX"));
    EXPECT_EQ(cell(0, 0).bold, 1);
    EXPECT_EQ(cell(0, 0).fg, 7);  // the twelfth parameter was dropped
}

TEST_F(TextImportTest, HugeCursorMovesAreBoundedAndNothingIsWrittenOutsideTheBlock) {
    ASSERT_TRUE(import("\x1b[99999999BX"));
    EXPECT_EQ(result.lineCount, kMaxImportRows);
    EXPECT_EQ(result.cells.size(), size_t(kMaxImportRows) * 80);

    // X stands on row 5 and the cursor ends on row 1: the rows counted still include X's.
    ASSERT_TRUE(import("\x1b[5BX\x1b[5A"));
    EXPECT_EQ(result.lineCount, 6);
    EXPECT_EQ(cell(5, 0).ch, 'X');
}

TEST_F(TextImportTest, ParseParamsSplitsAtSemicolonsWithEmptyOnesZero) {
    int32_t p[kMaxParams] = {};
    EXPECT_EQ(parseParams("", 0, p), 1);
    EXPECT_EQ(p[0], 0);
    EXPECT_EQ(parseParams("1;;3", 4, p), 3);
    EXPECT_EQ(p[0], 1);
    EXPECT_EQ(p[1], 0);
    EXPECT_EQ(p[2], 3);
    EXPECT_EQ(parseParams("5;", 2, p), 2);
    EXPECT_EQ(p[1], 0);
    EXPECT_EQ(parseParams("1;2;3;4;5;6;7;8;9;10;11;12;13", 29, p), kMaxParams);
    EXPECT_EQ(p[10], 11);
    EXPECT_EQ(parseParams("123456789012", 12, p), 1);
    EXPECT_EQ(p[0], kMaxParamValue);
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
    EXPECT_EQ(trimArtRecord("ab\n" + artRecord(0)), "ab\n");
    const std::string comment = "COMNT" + std::string(64, 'c');
    EXPECT_EQ(trimArtRecord("ab\n" + comment + artRecord(1)), "ab\n");
    EXPECT_EQ(trimArtRecord("ab\x1a"
                            "junk" +
                            comment + artRecord(1)),
              "ab");
    EXPECT_EQ(trimArtRecord("ab\x1a"
                            "junk"),
              "ab");
    // A comment count without its block leaves the bytes before the record alone.
    EXPECT_EQ(trimArtRecord("xyz" + artRecord(2)), "xyz");

    ASSERT_TRUE(import("\x1b[31mart\r\n\x1a" + comment + artRecord(1)));
    EXPECT_EQ(result.lineCount, 1);
    EXPECT_EQ(rowText(0), "art");
    ASSERT_TRUE(import("plain\n" + artRecord(0)));
    EXPECT_EQ(result.lineCount, 1);
}

}  // namespace
}  // namespace qvl
