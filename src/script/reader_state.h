// The state of one script read: where the reader stands (namespaces, page, line number), the
// inline mark-up that carries over from line to line and page to page, and what it writes to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/beeper.h"
#include "platform/message_sink.h"
#include "script/magazine_model.h"
#include "script/read_observer.h"

namespace qvl {

struct ReaderState {
    bool inGlobalConfig = false;  // between "#startglobalconfig" and "#endglobalconfig"
    bool inMenu = false;          // between "#startmenu" and "#endmenu"
    int32_t scriptPage = 0;       // the page text, page keys and menus go to
    int32_t lineNumber = 0;       // lines read so far; the first line is line 1
    size_t textCells = 0;         // cells of page text taken so far, on all pages
    size_t definedEntries = 0;    // pages, keys, menu entries and songs defined so far
    int32_t argumentColumn = 0;   // where the line's argument text starts, counting from 1
    bool budgetSpent = false;     // a budget ran out: nothing after it can be read
};

// guard: the page text of a whole magazine is bounded. Each cell takes 20 bytes, and includes
// repeat: a small script that includes one large file many times would otherwise fill memory.
inline constexpr size_t kMaxTextCells = size_t{8} << 20;
// guard: so are the entries that defines make, over the whole read. Each count may be 10000,
// and every page may define 10000 keys and 10000 menu entries (about 80 bytes each): 16 GB for
// 10000 pages; nor may a script of nothing but "#definepages 10000" lines take hours.
inline constexpr size_t kMaxDefinedEntries = size_t{1} << 20;

struct MarkupState {
    bool boldOn = false;
    bool colourOn = false;
    int32_t colourFg = 0;
    int32_t colourBg = 0;
};

struct ScriptContext {
    MagazineModel& model;
    MessageSink& messages;
    Beeper& beeper;  // for the ANSI includes
    ReaderState state;
    MarkupState markup;
    // Null when the viewer reads; whoever watches the reading (a check) otherwise.
    ReadObserver* observer = nullptr;

    // The page that scriptPage names, or null when there is none (text before "#definepages").
    Page* scriptPage() {
        const int32_t index = state.scriptPage;
        return (index >= 0 && index < model.pageCount) ? &model.pages[size_t(index)] : nullptr;
    }

    // Takes cells more cells of page text from the budget; false, after the message naming
    // what, when the magazine would hold more than kMaxTextCells.
    bool takeTextCells(size_t cells, std::string_view what) {
        if (cells <= kMaxTextCells - state.textCells) {
            state.textCells += cells;
            return true;
        }
        state.budgetSpent = true;
        messages.showMessage("error while parsing script...\nin line " +
                             std::to_string(state.lineNumber) + " (more than " +
                             std::to_string(kMaxTextCells) +
                             " characters of text): " + std::string(what));
        return false;
    }

    // Takes the entries of a define from the budget; false, after its message, when all the
    // defines so far would make more than kMaxDefinedEntries.
    bool takeDefinedEntries(size_t entries) {
        if (entries <= kMaxDefinedEntries - state.definedEntries) {
            state.definedEntries += entries;
            return true;
        }
        state.budgetSpent = true;
        messages.showMessage("too many entries defined: at most " +
                             std::to_string(kMaxDefinedEntries) +
                             " pages, keys, menu entries and songs in all!");
        return false;
    }
};

}  // namespace qvl
