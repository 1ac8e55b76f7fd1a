// One character of page text as the script reader, the text import and glyph drawing share it.
// Kept in the text library so that the importer and the font need nothing from the script;
// the magazine model takes it from here.
#pragma once

#include <cstdint>

namespace qvl {

inline constexpr uint8_t kLineEnd = 10;  // the cell code that ends each line of page text

struct CharCell {
    uint8_t ch = 0;  // glyph code; 10 ends a line
    int32_t fg = 0;  // foreground colour index 0-7 (ANSI order); any other draws black
    int32_t bg = 0;  // background colour index, same scale
    // The four flags form one 32-bit attribute word: bold lowest, coloured highest.
    uint8_t bold = 0;       // ink from the bright colours
    uint8_t underline = 0;  // stored by the ANSI import, never drawn
    uint8_t blink = 0;      // stored by the ANSI import, never drawn
    uint8_t coloured = 0;   // paint the whole box (bg paper, fg ink) instead of white ink only
    alignas(4) uint8_t highlight = 0;  // set with bold by mark-up and by menu selections
};

static_assert(sizeof(CharCell) == 20, "CharCell keeps its 32-bit field slots");

}  // namespace qvl
