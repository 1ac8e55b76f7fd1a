// One pass over an imported file: characters become cells at the cursor, escape sequences move
// the cursor and set attributes. The measuring pass and the filling pass run this same code,
// so both see the same rows; only the filling pass has a block to store into.
#include <algorithm>

#include "text/text_import.h"

namespace qvl {

namespace {

struct TextPass {
    CharCell* block;     // null in the measuring pass
    int32_t blockRows;   // rows of the block (filling pass)
    int32_t& lineCount;  // grows in the measuring pass
    bool interpret;
    Beeper& beeper;
    TextCursor cursor;
    TextAttributes attr;
    int32_t params[kMaxParams] = {};
    int paramCount = 0;
    TextPassReport* report = nullptr;
    int32_t lineNumber = 0;  // the line being read, counting from 1

    CharCell makeCell(uint8_t ch) const {
        CharCell cell;
        cell.ch = ch;
        cell.fg = attr.fg;
        cell.bg = attr.bg;
        cell.bold = attr.bold;
        cell.underline = attr.underline;
        cell.blink = attr.blink;
        cell.coloured = 1;
        return cell;
    }

    void clearBlock() {
        if (!block) return;
        std::fill(block, block + int64_t(blockRows) * kCellsPerLine, makeCell(' '));
    }

    // A sequence that changes nothing; counted once, in the filling pass.
    void ignored() {
        if (!report || !block) return;
        if (report->ignoredEscapes++ == 0) report->firstIgnoredLine = lineNumber;
    }

    void measure() {
        if (!block) lineCount = std::max(lineCount, cursor.row);
    }

    void nextRow() {
        cursor.row = std::min(cursor.row + 1, kMaxImportRows);  // guard: rows stay bounded
        cursor.column = 0;
    }

    void putChar(uint8_t ch) {
        // guard: cells beyond column 79 or below the block are dropped, never written
        if (block && cursor.row < blockRows && cursor.column < kCellsPerLine)
            block[int64_t(cursor.row) * kCellsPerLine + cursor.column] = makeCell(ch);
        // The rows measured include every row a character is stored on, so that art which
        // moves the cursor back up after its last row keeps that row.
        if (!block && cursor.row < kMaxImportRows) lineCount = std::max(lineCount, cursor.row + 1);
        if (!interpret) {
            cursor.column = std::min(cursor.column + 1, kCellsPerLine);
        } else if (cursor.column >= kLastColumn) {
            nextRow();  // as DOS did: writing column 80 moves to the next row at once
        } else {
            ++cursor.column;
        }
    }

    bool sequence(std::string_view line, size_t& at);
    bool line(std::string_view text);
};

// Actions of the final bytes; n is the first parameter, m the second.
void cursorUp(TextPass& p) {
    p.cursor.row = std::max(0, p.cursor.row - p.params[0]);
}
void cursorDown(TextPass& p) {
    p.cursor.row = std::min(p.cursor.row + p.params[0], kMaxImportRows);
}
void cursorForward(TextPass& p) {
    p.cursor.column = std::min(p.cursor.column + p.params[0], kLastColumn);
}
void cursorBack(TextPass& p) {
    p.cursor.column = std::max(0, p.cursor.column - p.params[0]);
}
void cursorPosition(TextPass& p) {
    // A missing or 0 parameter counts as 1.
    const int32_t row = p.params[0] > 0 ? p.params[0] : 1;
    const int32_t column = p.params[1] > 0 ? p.params[1] : 1;
    p.cursor.row = std::min(row - 1, kMaxImportRows);
    p.cursor.column = std::min(column - 1, kLastColumn);
}
void eraseScreen(TextPass& p) {
    p.clearBlock();
}
void simpleBeep(TextPass& p) {
    p.beeper.beep();
}
void saveCursor(TextPass& p) {
    p.cursor.savedRow = p.cursor.row;
    p.cursor.savedColumn = p.cursor.column;
}
void restoreCursor(TextPass& p) {
    p.cursor.row = p.cursor.savedRow;
    p.cursor.column = p.cursor.savedColumn;
}

void resetAttributes(TextAttributes& a) {
    a = TextAttributes{};
}

void setAttributes(TextPass& p) {
    TextAttributes& a = p.attr;
    for (int i = 0; i < p.paramCount; ++i) {
        const int32_t v = p.params[i];
        if (v == 0) {
            resetAttributes(a);
        } else if (v == 1) {
            a.bold = 1;
        } else if (v == 4) {
            a.underline = 1;
        } else if (v == 5) {
            a.blink = 1;
        } else if (v >= 30 && v <= 37) {
            a.fg = v - 30;
        } else if (v >= 40 && v <= 47) {
            a.bg = v - 40;
        } else if ((v == 38 || v == 48) && i + 1 < p.paramCount) {
            // Extended colours carry their numbers with them: 5;n or 2;r;g;b. They are
            // consumed, so that n, r, g or b is not taken for an attribute of its own.
            if (p.params[i + 1] == 5)
                i += 2;
            else if (p.params[i + 1] == 2)
                i += 4;
        }
    }
}

struct SequenceAction {
    char finalByte;
    void (*act)(TextPass&);
};

constexpr SequenceAction kSequenceActions[] = {
    {'A', cursorUp},       {'B', cursorDown},     {'C', cursorForward}, {'D', cursorBack},
    {'H', cursorPosition}, {'f', cursorPosition}, {'J', eraseScreen},   {'K', simpleBeep},
    {'h', simpleBeep},     {'l', simpleBeep},     {'n', simpleBeep},    {'m', setAttributes},
    {'M', setAttributes},  {'s', saveCursor},     {'u', restoreCursor},
};

bool isPrivateMarker(char c) {
    return c == '?' || c == '=' || c == '>' || c == '<';
}

// Takes the sequence whose ESC stands at line[at]; at moves past its final byte. False when
// the line ends before the final byte.
bool TextPass::sequence(std::string_view text, size_t& at) {
    size_t i = at + 2;  // the byte after ESC (normally "[") is not examined
    if (i > text.size()) return false;
    if (i < text.size() && isPrivateMarker(text[i])) {
        // Private modes (ESC [ ? 7 h and the like) run to their real final byte and are ignored.
        ++i;
        while (i < text.size() && text[i] >= 0x20 && text[i] <= 0x3F) ++i;
        if (i >= text.size()) return false;
        at = i + 1;
        ignored();
        measure();
        return true;
    }
    const size_t paramStart = i;
    while (i < text.size() && ((text[i] >= '0' && text[i] <= '9') || text[i] == ';')) ++i;
    if (i >= text.size()) return false;
    std::fill(std::begin(params), std::end(params), 0);
    paramCount = parseParams(text.data() + paramStart, static_cast<int>(i - paramStart), params);
    const char finalByte = text[i];
    const SequenceAction* found = nullptr;
    for (const SequenceAction& action : kSequenceActions) {
        if (action.finalByte == finalByte) {
            found = &action;
            break;
        }
    }
    if (found)
        found->act(*this);
    else
        ignored();
    at = i + 1;
    measure();
    return true;
}

bool TextPass::line(std::string_view text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.remove_suffix(1);
    const size_t nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);
    size_t at = 0;
    while (at < text.size()) {
        if (interpret && text[at] == 27) {
            if (!sequence(text, at)) return false;
        } else {
            putChar(static_cast<uint8_t>(text[at]));
            ++at;
        }
    }
    cursor.row = std::min(cursor.row + 1, kMaxImportRows);
    cursor.column = 0;
    measure();
    return true;
}

}  // namespace

int parseParams(const char* text, int length, int32_t params[kMaxParams]) {
    int count = 0;  // parameters begun so far, minus one
    int32_t value = 0;
    for (int i = 0; i < length; ++i) {
        if (text[i] == ';') {
            // guard: parameters past the eleventh are read and dropped
            if (count < kMaxParams) params[count] = value;
            ++count;
            value = 0;
        } else if (text[i] >= '0' && text[i] <= '9') {
            value = std::min(value * 10 + (text[i] - '0'), kMaxParamValue);
        }
    }
    if (count < kMaxParams) params[count] = value;
    return std::min(count + 1, kMaxParams);
}

bool parseTextPass(std::string_view text, bool interpretEscapes, CharCell* block,
                   int32_t& lineCount, const TextAttributes& start, Beeper& beeper,
                   TextPassReport* report) {
    TextPass pass{block, block ? lineCount : 0, lineCount, interpretEscapes, beeper, {}, start};
    pass.report = report;
    pass.clearBlock();
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string_view::npos) end = text.size();
        ++pass.lineNumber;
        if (!pass.line(text.substr(begin, end - begin))) {
            if (report) report->unfinishedLine = pass.lineNumber;
            return false;
        }
        begin = end + 1;
    }
    return true;
}

}  // namespace qvl
