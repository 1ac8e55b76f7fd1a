// Start-up of the magazine and the frame: clear, fade, page text, overlays, present.
#include "runtime/magazine_app.h"

#include <cstdio>
#include <cstring>

#include "platform/file_path.h"
#include "script/script_reader.h"

namespace qvl {

bool MagazineApp::init(uint16_t* pixels) {
    // Defaults the script may override.
    fading = 1;
    fadeActive = false;
    fadespeed = 3;
    music = 1;

    Platform& platform = shell_.platform;
    if (!readScript(*this, platform)) {
        platform.showMessage("script could not be loaded! terminating...");
        return false;
    }
    frameBuffer = pixels;
    currentPage = homePage;
    lastPage = homePage;

    // The font file must open before the font is made from it.
    if (FILE* fontFile = std::fopen(resolvePath(kFontFile).c_str(), "rb")) {
        std::fclose(fontFile);
        font = std::make_unique<BitmapFont>(kFontFile);
    }
    // guard: a font image that did not load or is too small for the glyph grid is refused too
    if (!font || !font->usable()) {
        platform.showMessage("font file cannot be loaded! terminating...");
        return false;
    }
    font->setClipRect(0, 0, kFrameWidth, kFrameHeight);
    font->setCharMap(charMapRows, kCellWidth, kCellHeight);

    startTheMusic();

    viewLeft = 0;
    scrollY = 0;
    viewMargin = 0;
    fadeLevel = 63;
    fadingOut = true;
    indexLines();
    return true;
}

void MagazineApp::indexLines() {
    lineStarts_.assign(pages.size(), {});
    for (size_t p = 0; p < pages.size(); ++p) {
        const std::vector<CharCell>& cells = pages[p].cells;
        std::vector<uint32_t>& starts = lineStarts_[p];
        starts.push_back(0);
        for (size_t i = 0; i < cells.size(); ++i)
            if (cells[i].ch == kLineEnd) starts.push_back(static_cast<uint32_t>(i));
    }
}

const Page* MagazineApp::pageAt(int32_t index) const {
    if (index < 0 || index >= pageCount || static_cast<size_t>(index) >= pages.size())
        return nullptr;
    return &pages[index];
}

void MagazineApp::frame() {
    std::memset(frameBuffer, 0, kFrameBytes);
    if (fadeActive.load(std::memory_order_acquire)) fadeStep();
    drawPageText(currentPage);
    clearMargins();
    if (const Page* page = pageAt(currentPage)) {
        if (page->isMenu && !page->infobar && !page->scrollable) drawMenuSelection();
    }
    if (const Page* page = pageAt(currentPage); page && page->scrollable) drawScrollBar();
    if (const Page* page = pageAt(currentPage); page && page->infobar) drawInfoBar();
    display_.presentFrame(frameBuffer);
}

void MagazineApp::fadeStep() {
    uint32_t now = shell_.elapsedMs();
    uint32_t elapsed = now - fadeStart.load();
    // guard: a fadespeed of 0 (or a negative one, stored as a huge unsigned value) counts as 1
    uint32_t speed = static_cast<int32_t>(fadespeed) <= 0 ? 1u : fadespeed;
    uint32_t q = elapsed / speed;
    if (fadingOut) {
        // quirk: 61, not 63: the first frame of a fade already drops two levels
        int64_t level = 61 - static_cast<int64_t>(q);
        if (level <= 0) {
            fadingOut = false;
            fadeStart = now;
        } else {
            fadeLevel = static_cast<int32_t>(level);
        }
        return;
    }
    int32_t level = q > 63 ? 63 : static_cast<int32_t>(q);
    currentPage = targetPage.load();
    scrollY = viewMargin;
    if (level == 63) {
        fadeActive = false;
        fadingOut = true;
    }
    fadeLevel = level;
}

void MagazineApp::fillRect(uint16_t* pixels, int32_t x, int32_t y, int32_t width, int32_t height,
                           uint16_t value) {
    if (width <= 0 || height <= 0) return;
    for (int32_t row = y; row < y + height; ++row) {
        uint16_t* line = pixels + static_cast<ptrdiff_t>(row) * kFrameWidth + x;
        for (int32_t i = 0; i < width; ++i) line[i] = value;
    }
}

void MagazineApp::clearMargins() {
    fillRect(frameBuffer, 0, 0, kFrameWidth, viewMargin, 0);
    fillRect(frameBuffer, 0, kFrameHeight - viewMargin, kFrameWidth, viewMargin, 0);
}

}  // namespace qvl
