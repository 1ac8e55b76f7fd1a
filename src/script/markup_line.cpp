// Text lines with inline mark-up: "<b>", "</b>", "<color fg bg>", "</color>". The mark-up
// state belongs to the whole script, so a tag left open colours the lines and pages after it.
#include <string>

#include "base/ascii_case.h"
#include "script/script_reader.h"
#include "script/script_scan.h"

namespace qvl {

namespace {

CharCell markupCell(const MarkupState& m, char ch) {
    CharCell cell;
    cell.ch = static_cast<uint8_t>(ch);
    cell.fg = m.colourOn ? m.colourFg : 0;
    cell.bg = m.colourOn ? m.colourBg : 8;  // bg 8 is drawn as black paper
    cell.coloured = m.colourOn || m.boldOn;
    cell.bold = m.boldOn;
    cell.highlight = m.boldOn;
    return cell;
}

bool unknownToken(ScriptContext& ctx, std::string_view tag) {
    ctx.messages.showMessage("error while parsing script...\nin line " +
                             std::to_string(ctx.state.lineNumber) +
                             " (unknown token): " + std::string(tag));
    return false;
}

// Applies one tag; false when it is of none of the four kinds.
bool applyTag(ScriptContext& ctx, const std::string& tag) {
    MarkupState& m = ctx.markup;
    if (tag == "/b") {
        m.boldOn = false;
    } else if (tag == "b") {
        m.boldOn = true;
    } else if (tag.find("/color") != std::string::npos) {
        m.colourOn = false;
    } else if (tag.find("color") != std::string::npos) {
        ArgumentScanner scan(tag);
        scan.matchLiteral("color");
        m.colourFg = scan.readAnyInt();
        m.colourBg = scan.readAnyInt();
        m.colourOn = true;
    } else {
        return false;
    }
    return true;
}

}  // namespace

bool appendMarkupLine(ScriptContext& ctx, std::string_view line) {
    Page* page = ctx.scriptPage();  // null: text before "#definepages" is read and dropped
    // For an observer: the characters drawn, and the file column of the first one past them.
    const bool observed = ctx.observer && page;
    std::string shown;
    int32_t cutColumn = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '<') {
            size_t close = line.find('>', i + 1);
            if (close == std::string_view::npos) {
                // guard: a tag that does not close on its line is refused, the line end aside
                std::string_view rest = line.substr(i + 1);
                if (!rest.empty() && rest.back() == '\n') rest.remove_suffix(1);
                return unknownToken(ctx, lowerAscii(rest.substr(0, kTagCapacity)));
            }
            const std::string tag = lowerAscii(line.substr(i + 1, close - i - 1));
            // guard: a tag longer than its 255 characters is refused
            if (tag.size() > kTagCapacity) return unknownToken(ctx, tag.substr(0, kTagCapacity));
            if (!applyTag(ctx, tag)) return unknownToken(ctx, tag);
            i = close;  // the ">" that closed the tag is dropped
        } else if (c != '>' && page) {
            if (!ctx.takeTextCells(1, line.substr(0, line.find('\n')))) return false;
            page->cells.push_back(markupCell(ctx.markup, c));
            if (observed && c != '\n') {
                if (shown.size() == size_t(kCellsPerLine)) cutColumn = int32_t(i) + 1;
                shown += c;
            }
        }
    }
    if (page) ++page->lineCount;
    if (observed)
        ctx.observer->pageLine(ctx.model.scriptName, ctx.state.lineNumber, cutColumn, shown);
    return true;
}

}  // namespace qvl
