// The magazine as the script builds it: options, key bindings, pages of character cells,
// menus and the music list. Plain data; the runtime derives its magazine object from it and
// reads the fields directly. Every count equals the size of its array.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/char_cell.h"

namespace qvl {

inline constexpr size_t kTextCapacity = 511;  // characters in any text field of the model

// A copy of text cut at the model's text capacity.
inline std::string fitText(std::string_view text, size_t capacity = kTextCapacity) {
    // guard: longer texts are cut, as a fixed 511-character field would hold them
    return std::string(text.substr(0, capacity));
}

// A 32-bit value that one thread writes while another reads it (a menu's selection: keys on
// the main thread, drawing on the render thread). Loads and stores are relaxed atomics; the
// value still copies with its record and reads and assigns like the plain integer.
class SharedInt32 {
  public:
    SharedInt32(int32_t value = 0) : value_(value) {}
    SharedInt32(const SharedInt32& other) : value_(other.load()) {}
    SharedInt32& operator=(const SharedInt32& other) {
        store(other.load());
        return *this;
    }
    SharedInt32& operator=(int32_t value) {
        store(value);
        return *this;
    }
    operator int32_t() const { return load(); }
    int32_t load() const { return value_.load(std::memory_order_relaxed); }
    void store(int32_t value) { value_.store(value, std::memory_order_relaxed); }

  private:
    std::atomic<int32_t> value_;
};

struct KeyBinding {
    uint8_t key = 0;       // lower-cased virtual-key code; 0 matches no key press
    std::string command;   // "jump", "exit" or "nextmusic"
    std::string argument;  // for "jump": "last" or a page number
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
};

struct MusicEntry {
    int32_t index = 0;     // the index "#music" gave; nothing else reads it
    std::string fileName;  // the module file, as written in the script
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
    SharedInt32 selection = 0;  // index into selects; menu keys change it while pages are drawn
    int32_t selectCount = 0;
    std::vector<MenuSelect> selects;
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
    // 0 windowed, 3 full screen; set by the option "fullscreen", read by the shell after init.
    int32_t displayMode = 0;
};

}  // namespace qvl
