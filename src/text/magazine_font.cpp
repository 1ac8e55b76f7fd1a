// Loading the magazine's font: the file must open, the image must load and hold the glyph grid.
#include "text/magazine_font.h"

#include <cstdio>

#include "platform/file_path.h"
#include "platform/window_host.h"

namespace qvl {

std::unique_ptr<BitmapFont> loadMagazineFont() {
    std::unique_ptr<BitmapFont> font;
    // The font file must open before the font is made from it.
    if (FILE* fontFile = std::fopen(resolvePath(kFontFile).c_str(), "rb")) {
        std::fclose(fontFile);
        font = std::make_unique<BitmapFont>(kFontFile);
    }
    // guard: a font image that did not load or is too small for the glyph grid is refused too
    if (!font || !font->usable()) return nullptr;
    font->setClipRect(0, 0, kFrameWidth, kFrameHeight);
    font->setCharMap(charMapRows, kCellWidth, kCellHeight);
    return font;
}

}  // namespace qvl
