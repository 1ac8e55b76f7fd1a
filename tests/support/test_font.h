// The font the tests draw with: each glyph readable back from the picture. Row 0 of a cell
// holds the character code's bits (pixel j inked when bit j is set), row 1 is all ink, the rest
// paper. writeTestFont puts it where the viewer looks for its font.
#pragma once

#include <filesystem>
#include <vector>

#include "../text/bmp_writer.h"
#include "file_bytes.h"

namespace qvl::testing {

inline std::vector<uint8_t> codedFontBmp() {
    std::vector<std::vector<uint8_t>> rows(192, std::vector<uint8_t>(128, 0));
    for (int code = 32; code < 256; ++code) {
        int x = 8 * (code % 16), y = 12 * (code / 16);
        for (int j = 0; j < 8; ++j) {
            rows[y][x + j] = (code >> j) & 1 ? 1 : 0;
            rows[y + 1][x + j] = 1;
        }
    }
    return makeBmp({128, 192}, rows);
}

// Writes the font as data/system/font.bmp under the magazine directory dir.
inline void writeTestFont(const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir / "data" / "system");
    writeBytes(dir / "data" / "system" / "font.bmp", codedFontBmp());
}

}  // namespace qvl::testing
