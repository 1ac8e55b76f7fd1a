// The magazine as the script builds it: options, key bindings, pages of character cells,
// menus and the music list. Plain data that only the script reader writes; the runtime reads
// it and keeps what changes while the magazine runs (page, scroll, menu selections, the song)
// in a view state of its own. Every count equals the size of its array.
#pragma once

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/ascii_case.h"
#include "text/char_cell.h"

namespace qvl {

// Display modes the script's option "fullscreen" chooses between (the values it stores).
enum DisplayMode : int32_t { kDisplayWindowed = 0, kDisplayFullScreen = 3 };

inline constexpr size_t kTextCapacity = 511;  // characters in any text field of the model

// A copy of text cut at the model's text capacity.
inline std::string fitText(std::string_view text, size_t capacity = kTextCapacity) {
    // guard: longer texts are cut, as a fixed 511-character field would hold them
    return std::string(text.substr(0, capacity));
}

struct KeyBinding {
    uint8_t key = 0;         // lower-cased virtual-key code; 0 matches no key press
    std::string keyName;     // the key as the script named it ("esc", "f1", "n")
    std::string command;     // "jump", "exit" or "nextmusic"
    std::string argument;    // for "jump": "last" or a page number
    int32_t scriptLine = 0;  // the script line that set it, for checks
};

struct MenuSelect {
    int32_t line = 0;         // page line, counting from 1
    int32_t firstColumn = 0;  // counting from 1
    int32_t lastColumn = 0;   // counting from 1, inclusive
    int32_t fg = 0;
    int32_t bg = 0;
    uint8_t bold = 0;
    uint8_t highlight = 0;
    std::string command;
    std::string argument;
    int32_t scriptLine = 0;
};

struct MusicEntry {
    int32_t index = 0;     // the index "#music" gave; nothing else reads it
    std::string fileName;  // the module file, as written in the script
    int32_t scriptLine = 0;
};

// Lines of a page that came from an ANSI include: a picture made of characters, not text.
struct ArtBlock {
    int32_t firstLine = 0;  // counting from 0
    int32_t lineCount = 0;
    std::string file;  // as the script names it
    bool operator==(const ArtBlock&) const = default;
};

struct Page {
    int32_t lineCount = 0;
    std::vector<CharCell> cells;  // all lines one after another, each ended by a cell of code 10
    int32_t keyCount = 0;
    std::vector<KeyBinding> keys;
    std::string name;
    uint8_t scrollable = 1;
    uint8_t infobar = 1;
    uint8_t isMenu = 0;
    int32_t selectCount = 0;
    std::vector<MenuSelect> selects;
    std::vector<ArtBlock> art;
    int32_t scriptLine = 0;  // its "#startpage" line, or the "#definepages" line that made it

    // The menu's keys and clicks work on a menu page that does not scroll.
    bool takesMenuKeys() const { return isMenu && !scrollable; }
    // quirk: a jump to a page number does nothing on a page named "help"
    bool ignoresNumberedJumps() const { return equalsNoCase(name, "help"); }
};

// The script read at start-up, in the working directory.
inline constexpr const char* kScriptName = "qvl.mag";

struct MagazineModel {
    std::string scriptName = kScriptName;
    int32_t globalKeyCount = 0;
    int32_t pageCount = 0;
    int32_t homePage = 0;
    int32_t startMusic = 0;
    int32_t musicCount = 0;
    std::vector<KeyBinding> globalKeys;
    std::vector<Page> pages;
    std::vector<MusicEntry> musicList;
    uint8_t music = 1;
    uint8_t fading = 1;
    uint32_t fadespeed = 3;  // milliseconds per fade level
    // Set by the option "fullscreen", read by the shell after init.
    int32_t displayMode = kDisplayWindowed;
    // The files "#includeascii" and "#includeansi" named, as written (one that failed too), so
    // that a viewer following the author's edits knows what to watch. A set: a file included
    // again and again is kept once.
    std::set<std::string> includes;
};

// The binding that answers a lowered key press on page (null: outside any page): the global
// list first, then the page's, each from its first slot; null when none does.
inline const KeyBinding* answeringBinding(const MagazineModel& model, const Page* page,
                                          uint8_t key) {
    const auto first = [key](const std::vector<KeyBinding>& keys,
                             int32_t count) -> const KeyBinding* {
        const size_t n = std::min(keys.size(), static_cast<size_t>(std::max(count, 0)));
        for (size_t i = 0; i < n; ++i)
            if (keys[i].key == key) return &keys[i];
        return nullptr;
    };
    if (const KeyBinding* b = first(model.globalKeys, model.globalKeyCount)) return b;
    return page ? first(page->keys, page->keyCount) : nullptr;
}

}  // namespace qvl
