// Import of plain-text and ANSI-art files into blocks of 80-cell rows. A file holding at least
// one ESC "[" pair is interpreted (colours, cursor moves, DOS-style wrap at column 80); any
// other file is copied line by line. A trailing art record ("SAUCE00") and everything from
// the DOS end-of-file byte on are cut off first.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/beeper.h"
#include "text/char_cell.h"

namespace qvl {

inline constexpr int32_t kCellsPerLine = 80;
inline constexpr int32_t kLastColumn = kCellsPerLine - 1;
inline constexpr int kMaxParams = 11;             // parameters kept from one escape sequence
inline constexpr int32_t kMaxImportRows = 10000;  // guard: rows one file can produce
inline constexpr int32_t kMaxParamValue = 99999;  // guard: a parameter saturates here

struct TextCursor {
    int32_t row = 0;
    int32_t column = 0;
    int32_t savedRow = 0;
    int32_t savedColumn = 0;
};

// The attributes every stored cell takes; a pass starts from white on black, nothing set.
struct TextAttributes {
    int32_t fg = 7;
    int32_t bg = 0;
    uint8_t bold = 0;
    uint8_t underline = 0;
    uint8_t blink = 0;
};

// What a pass met that a reader of the file may want to hear about; lines count from 1.
struct TextPassReport {
    int32_t ignoredEscapes = 0;    // sequences whose final byte means nothing here, private modes
    int32_t firstIgnoredLine = 0;  // the line of the first of them
    int32_t unfinishedLine = 0;    // the line whose escape sequence has no final byte
};

struct TextImport {
    std::vector<CharCell> cells;  // lineCount rows of 80 cells, row-major
    int32_t lineCount = 0;
    bool isAnsi = false;  // the file held an ESC "[" pair
    int32_t cellCount = 0;
    size_t fileBytes = 0;  // the size of the file read
    TextPassReport report;
};

struct TextScan {
    int32_t lines = 0;
    int32_t escapePairs = 0;
};

// Reads the file (a Windows-style name, found through the path lookup). False when it cannot
// be opened or an escape sequence has no final byte before its line ends. The beep of the
// sequences K, h, l and n goes to the beeper.
bool importTextFile(std::string_view fileName, Beeper& beeper, TextImport& result);

// The part of a file's bytes that is text: without a trailing art record (and the comment
// block it announces), and ending before the first byte 26.
std::string_view trimArtRecord(std::string_view bytes);

// Lines (split at line feeds; the last one may lack it) and ESC "[" pairs of the text.
TextScan scanTextFile(std::string_view text);

// One pass over the text. Without a block it only measures: lineCount becomes the largest row
// reached. With a block of lineCount rows it stores cells and never writes outside the block.
// A report, when given, takes the line that failed and (in a filling pass) the ignored
// sequences.
bool parseTextPass(std::string_view text, bool interpretEscapes, CharCell* block,
                   int32_t& lineCount, const TextAttributes& start, Beeper& beeper,
                   TextPassReport* report = nullptr);

// Splits "n;n;..." into at most kMaxParams numbers (empty ones 0); returns how many it kept.
// No text at all gives one parameter, 0.
int parseParams(const char* text, int length, int32_t params[kMaxParams]);

}  // namespace qvl
