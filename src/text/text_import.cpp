// importTextFile: read the file whole, cut the art record and the end-of-file byte, scan for
// escape sequences, measure an ANSI file's rows, then fill the block.
#include "text/text_import.h"

#include <algorithm>
#include <string>

#include "text/file_bytes.h"

namespace qvl {

namespace {

constexpr size_t kRecordSize = 128;          // the art record at the very end of a file
constexpr size_t kRecordCommentCount = 104;  // its byte holding the number of comment lines
constexpr size_t kCommentLine = 64;
constexpr char kEndOfFile = 26;

}  // namespace

std::string_view trimArtRecord(std::string_view bytes) {
    if (bytes.size() >= kRecordSize && bytes.substr(bytes.size() - kRecordSize, 7) == "SAUCE00") {
        size_t end = bytes.size() - kRecordSize;
        const auto comments = static_cast<uint8_t>(bytes[end + kRecordCommentCount]);
        const size_t block = 5 + kCommentLine * comments;
        if (comments > 0 && end >= block && bytes.substr(end - block, 5) == "COMNT") end -= block;
        bytes = bytes.substr(0, end);
    }
    const size_t eof = bytes.find(kEndOfFile);
    return eof == std::string_view::npos ? bytes : bytes.substr(0, eof);
}

TextScan scanTextFile(std::string_view text) {
    TextScan scan;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        ++scan.lines;
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == 27 && text[i + 1] == '[') {
            ++scan.escapePairs;
            ++i;  // the scan goes on after the "["
        }
    }
    return scan;
}

bool importTextFile(std::string_view fileName, Beeper& beeper, TextImport& result) {
    result = TextImport{};
    std::string bytes;
    if (!readFileBytes(fileName, bytes)) return false;
    const std::string_view text = trimArtRecord(bytes);

    const TextScan scan = scanTextFile(text);
    const bool isAnsi = scan.escapePairs > 0;
    const TextAttributes start;
    int32_t lineCount = 0;
    if (isAnsi) {
        if (!parseTextPass(text, true, nullptr, lineCount, start, beeper, &result.report))
            return false;
    } else {
        lineCount = std::min(scan.lines, kMaxImportRows);
    }

    result.cells.resize(size_t(lineCount) * kCellsPerLine);
    // The filling pass repeats the measuring pass exactly, so its result adds nothing.
    parseTextPass(text, isAnsi, result.cells.data(), lineCount, start, beeper, &result.report);
    result.lineCount = lineCount;
    result.isAnsi = isAnsi;
    result.cellCount = lineCount * kCellsPerLine;
    result.fileBytes = bytes.size();
    return true;
}

}  // namespace qvl
