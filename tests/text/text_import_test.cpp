// The text import: the cases of data/cases.txt (plain copying, escape sequences, line ends,
// the DOS wrap at column 80, the limits that keep writes in the block, art records, refused
// files, a long art line), and the parameter and scan helpers.
#include "text/text_import.h"

#include "../support/case_file.h"
#include "../support/scratch_dir.h"
#include "platform/headless/headless_platform.h"

namespace qvl {
namespace {

class TextImportTest : public testing::ScratchDir {
  protected:
    const CharCell& cell(int row, int column) const {
        return result.cells.at(size_t(row) * kCellsPerLine + size_t(column));
    }
    // "ROW [attribute runs] text" with the text's trailing blanks left off.
    std::string row(int r) const {
        std::string text, runs;
        for (int c = 0, run = 1; c < kCellsPerLine; c += run) {
            auto attr = [this, r](int column) {
                const CharCell& a = cell(r, column);
                return std::to_string(a.fg) + "/" + std::to_string(a.bg) + (a.bold ? "b" : "") +
                       (a.underline ? "u" : "") + (a.blink ? "k" : "");
            };
            for (run = 1; c + run < kCellsPerLine && attr(c + run) == attr(c);) ++run;
            runs.append(runs.empty() ? "" : " ").append(attr(c));
            if (run > 1) runs.append("*").append(std::to_string(run));
        }
        for (int c = 0; c < kCellsPerLine; ++c) text += char(cell(r, c).ch);
        text.resize(text.find_last_not_of(' ') + 1);
        return "[" + runs + "] " + testing::escape(text);
    }

    HeadlessPlatform platform;
    TextImport result;
};

TEST_F(TextImportTest, FilesGiveTheirRowsAndCells) {
    testing::checkCases(std::string(QVL_TEST_DATA) + "/cases.txt", [&](const testing::Case& c) {
        const std::string data = c.sections.at(0).argument, bytes = c.input("bytes");
        writeFile("art.ans", bytes);
        const int beeps = platform.beepCount();
        if (!importTextFile(data.empty() ? "art.ans" : std::string(QVL_TEST_DATA) + "/" + data,
                            platform, result)) {
            EXPECT_TRUE(result.cells.empty()) << c.name;
            return std::string("refused\n");
        }
        EXPECT_EQ(result.cellCount, result.lineCount * kCellsPerLine) << c.name;
        EXPECT_EQ(result.cells.size(), size_t(result.cellCount)) << c.name;
        for (const CharCell& cell : result.cells) EXPECT_EQ(cell.coloured, 1) << c.name;
        std::string out = "ansi " + std::to_string(result.isAnsi) + " lines " +
                          std::to_string(result.lineCount) + " beeps " +
                          std::to_string(platform.beepCount() - beeps) + "\n";
        for (int first = 0, last = 0; first < result.lineCount; first = last + 1) {
            for (last = first; last + 1 < result.lineCount && row(last + 1) == row(first);) ++last;
            out += std::to_string(first);
            if (last > first) out.append("-").append(std::to_string(last));
            out.append(" ").append(row(first)).append("\n");
        }
        return out;
    });
}

TEST(TextImportHelpers, ParamsAndScan) {
    // Parameters split at semicolons, empty ones 0, at most eleven, each held to a limit.
    const std::pair<const char*, std::vector<int32_t>> params[] = {
        {"", {0}},
        {"1;;3", {1, 0, 3}},
        {"5;", {5, 0}},
        {"1;2;3;4;5;6;7;8;9;10;11;12;13", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
        {"123456789012", {kMaxParamValue}}};
    for (const auto& [text, expected] : params) {
        int32_t p[kMaxParams] = {};
        const int n = parseParams(text, int(std::strlen(text)), p);
        EXPECT_EQ(std::vector(p, p + n), expected) << text;
    }
    const TextScan scan = scanTextFile("a\x1b[m\n\x1b\x1b[[\nlast");
    EXPECT_EQ(scan.lines, 3);
    EXPECT_EQ(scan.escapePairs, 2);
    EXPECT_EQ(scanTextFile("").lines, 0);
    EXPECT_EQ(scanTextFile("x\n").lines, 1);
}

}  // namespace
}  // namespace qvl
