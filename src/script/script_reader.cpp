// Reading the script: numbering and classifying its lines, the keyword dispatch, the two
// includes and the empty-line marker.
#include "script/script_reader.h"

#include <algorithm>
#include <string>

#include "platform/file_path.h"
#include "script/keyword_table.h"
#include "script/script_lines.h"
#include "script/script_scan.h"
#include "text/text_import.h"

namespace qvl {

namespace {

std::string lineMessage(const ScriptContext& ctx, std::string_view detail, std::string_view text) {
    return "error while parsing script...\nin line " + std::to_string(ctx.state.lineNumber) +
           std::string(detail) + ": " + std::string(text);
}

// A plain text line's first character past the 80 drawn columns stands in column 81.
constexpr int32_t kCutColumn = kCellsPerLine + 1;

void appendPlainCell(Page* page, char ch) {
    CharCell cell;
    cell.ch = static_cast<uint8_t>(ch);
    page->cells.push_back(cell);
}

// "#includeascii": every character of the file, line ends included, as a plain cell.
bool includeAscii(ScriptContext& ctx, std::string_view argument) {
    const std::string fileName = stripQuotes(argument);
    ctx.model.includes.insert(fileName);
    TextLineReader file;
    if (!file.open(fileName)) {
        ctx.messages.showMessage(lineMessage(ctx, " (file not found)", fileName));
        return false;
    }
    // Counted with or without a page: reading the file is the work the budget bounds too.
    if (!ctx.takeTextCells(file.size(), fileName)) return false;
    Page* page = ctx.scriptPage();
    std::string piece;
    std::string fileLine;  // for an observer: the file's line that the pieces make
    int32_t fileLineNumber = 0;
    const std::string place = ctx.observer ? resolvePath(fileName) : std::string();
    while (file.next(piece, kIncludePieceSize)) {
        if (!page) continue;  // guard: no page yet, the text goes nowhere
        for (char c : piece) appendPlainCell(page, c);
        ++page->lineCount;
        if (!ctx.observer) continue;
        fileLine += piece;
        if (piece.back() != '\n') continue;  // the line goes on in the next piece
        fileLine.pop_back();
        ctx.observer->pageLine(place, ++fileLineNumber, kCutColumn, fileLine);
        fileLine.clear();
    }
    if (ctx.observer) ctx.observer->pageLine(place, ++fileLineNumber, kCutColumn, fileLine);
    return true;
}

// "##": one empty line.
bool emptyLine(ScriptContext& ctx) {
    Page* page = ctx.scriptPage();
    if (!page) return true;
    if (!ctx.takeTextCells(1, "##")) return false;
    appendPlainCell(page, char(kLineEnd));
    ++page->lineCount;
    return true;
}

// "#includeansi": the first 79 cells of each row, forced coloured, then a coloured line end.
bool includeAnsi(ScriptContext& ctx, std::string_view argument) {
    const std::string fileName = stripQuotes(argument);
    ctx.model.includes.insert(fileName);
    TextImport block;
    const bool imported = importTextFile(fileName, ctx.beeper, block);
    if (ctx.observer)
        ctx.observer->ansiIncluded(resolvePath(fileName), block, imported, ctx.scriptPage());
    if (!imported) {
        ctx.messages.showMessage("error while loading ansi file: " + fileName);
        return false;
    }
    // A file far larger than the cells it makes (escapes that draw nothing) counts by its
    // size, and so does one included before any page: including it over and over cannot take
    // hours either.
    const size_t cells = size_t(block.lineCount) * kCellsPerLine;
    if (!ctx.takeTextCells(std::max(cells, block.fileBytes), fileName)) return false;
    Page* page = ctx.scriptPage();
    if (!page) return true;  // guard: no page yet, the block goes nowhere
    page->art.push_back({page->lineCount, block.lineCount, fileName});
    page->cells.reserve(page->cells.size() + size_t(block.lineCount) * kCellsPerLine);
    for (int32_t row = 0; row < block.lineCount; ++row) {
        const CharCell* cells = block.cells.data() + size_t(row) * kCellsPerLine;
        // quirk: the 80th cell of every row is dropped
        for (int32_t column = 0; column < kCellsPerLine - 1; ++column) {
            CharCell cell = cells[column];
            cell.coloured = 1;
            page->cells.push_back(cell);
        }
        CharCell end;
        end.ch = kLineEnd;
        end.coloured = 1;
        page->cells.push_back(end);
    }
    page->lineCount += block.lineCount;
    return true;
}

}  // namespace

bool handleScriptLine(ScriptContext& ctx, std::string_view firstWord,
                      std::optional<std::string_view> argument, std::string_view line) {
    const std::string_view text = argument.value_or(std::string_view{});
    bool matched = false;
    for (const KeywordEntry& entry : kKeywordTable) {
        if (firstWord.find(entry.keyword) == std::string_view::npos) continue;
        matched = true;  // every keyword the first word contains runs
        if (!entry.handler(ctx, text)) {
            ctx.messages.showMessage(lineMessage(ctx, "", firstWord));
            return false;
        }
    }
    if (matched || ctx.state.inGlobalConfig) return true;
    if (firstWord.find("#includeascii") != std::string_view::npos) return includeAscii(ctx, text);
    if (firstWord.find("##") != std::string_view::npos) return emptyLine(ctx);
    if (firstWord.find("#includeansi") != std::string_view::npos) return includeAnsi(ctx, text);
    return appendMarkupLine(ctx, line);
}

bool readScript(MagazineModel& model, MessageSink& messages, Beeper& beeper,
                ReadObserver* observer) {
    TextLineReader file;
    if (!file.open(model.scriptName)) return false;
    ScriptContext ctx{model, messages, beeper, {}, {}, observer};
    bool ok = true;
    std::string line;
    while (file.next(line, kScriptPieceSize)) {
        ++ctx.state.lineNumber;
        ctx.state.argumentColumn = 0;
        if (line.find("//") != std::string::npos) continue;  // comment
        if (line[0] == '\n') continue;                       // empty line
        const size_t start = line.find_first_not_of(' ');
        if (start == std::string::npos) continue;  // only spaces and no line end: the last line

        // The first word runs to the next space; with nothing but the line end after it, the
        // line end belongs to it and the line has no argument text.
        const size_t space = line.find(' ', start);
        const std::string_view whole(line);
        std::string_view firstWord = whole.substr(start);
        std::optional<std::string_view> argument;
        if (space != std::string::npos) {
            firstWord = whole.substr(start, space - start);
            std::string_view rest = whole.substr(space + 1);
            if (!rest.empty() && rest.back() == '\n') rest.remove_suffix(1);
            argument = rest;
            ctx.state.argumentColumn = int32_t(space) + 2;
        }
        if (handleScriptLine(ctx, firstWord, argument, whole)) continue;
        if (!observer) return false;
        ok = false;
        observer->lineFailed(ctx.state.lineNumber);
        if (ctx.state.budgetSpent) break;
    }
    // guard: a home page or start song outside its array (set before a later, smaller define)
    // falls back to the first entry
    if (model.homePage < 0 || model.homePage >= model.pageCount) model.homePage = 0;
    if (model.startMusic < 0 || model.startMusic >= model.musicCount) model.startMusic = 0;
    return ok;
}

}  // namespace qvl
