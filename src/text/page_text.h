// Page text for people and programs outside the viewer: cells as UTF-8, code page 437 mapped to
// Unicode (box drawing, shades and blocks included). makefont draws the font from the same table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "text/char_cell.h"

namespace qvl {

// The Unicode code point of a code page 437 character. Codes below 32 (no glyph in the font)
// come back unchanged; 127 is the house the font draws there.
uint32_t cp437ToUnicode(int code);

// Appends the UTF-8 bytes of a code point below 0x10000.
void appendUtf8(std::string& out, uint32_t codePoint);

// Every line of the cells, each ended by "\n", its trailing spaces trimmed; codes without a
// glyph (below 32) show nothing on screen and are left out here too.
std::string pageTextUtf8(const std::vector<CharCell>& cells);

}  // namespace qvl
