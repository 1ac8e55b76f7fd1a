// Start-up of the magazine, the frame (clear, fade, page text, overlays, present) and what the
// render thread hands the main thread between frames.
#include "runtime/magazine_app.h"

#include <cstring>

#include "script/script_reader.h"

namespace qvl {

bool MagazineApp::init(std::string_view scriptName, uint16_t* pixels) {
    // A fresh model holds the defaults the script may override (fading on, fadespeed 3,
    // music on).
    model_ = MagazineModel{};
    model_.scriptName = scriptName;
    view_.fadeActive = false;

    if (!readScript(model_, messages_, beeper_)) {
        messages_.showMessage("script could not be loaded! terminating...");
        return false;
    }
    frameBuffer_ = pixels;
    view_.currentPage = model_.homePage;
    view_.lastPage = model_.homePage;
    view_.selections = std::vector<std::atomic<int32_t>>(model_.pages.size());
    view_.music = model_.music;
    view_.startMusic = model_.startMusic;

    font_ = loadFont();
    if (!font_) {
        messages_.showMessage("font file cannot be loaded! terminating...");
        return false;
    }
    startTheMusic();

    view_.viewLeft = 0;
    view_.scrollY = 0;
    view_.viewMargin = 0;
    view_.fadeLevel = 63;
    view_.fadingOut = true;
    indexLines();
    return true;
}

std::unique_ptr<BitmapFont> MagazineApp::loadFont() {
    return loadMagazineFont();
}

void MagazineApp::indexLines() {
    const std::vector<Page>& pages = model_.pages;
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
    if (index < 0 || index >= model_.pageCount || static_cast<size_t>(index) >= model_.pages.size())
        return nullptr;
    return &model_.pages[index];
}

uint32_t MagazineApp::elapsedMs() const {
    return clock_.tickCount() - view_.startTick.load(std::memory_order_relaxed);
}

bool MagazineApp::prepareFrame() {
    const bool reread = watching_ && pollFiles();
    if (!reread && !musicControl_.pauseOver()) return false;
    // guard: one wake at a time, however many frames pass before the main thread takes it
    return !wakeAsked_.exchange(true);
}

void MagazineApp::takeHandOver() {
    wakeAsked_.store(false);
    std::unique_ptr<Reread> reread;
    {
        std::lock_guard lock(handOverMutex_);
        reread = std::move(handOver_);
    }
    if (reread) adopt(std::move(*reread));
    musicControl_.endPause();
}

void MagazineApp::frame() {
    {
        std::lock_guard lock(contentMutex_);
        const bool skips = window_.drawsOnEventThread();
        if (skips && drewAny_ && !view_.fadeActive.load() && frameInputs() == drawn_) return;
        drawFrame();
        // Read after drawing: a fade's last step moves the page, the scroll and the level.
        if (skips) drawn_ = frameInputs(), drewAny_ = true;
    }
    window_.present(frameBuffer_);
}

MagazineApp::FrameInputs MagazineApp::frameInputs() const {
    FrameInputs inputs;
    inputs.adoptions = adoptions_;
    inputs.page = view_.currentPage.load();
    inputs.scrollY = view_.scrollY.load();
    inputs.fadeLevel = view_.fadeLevel.load();
    if (inputs.page >= 0 && static_cast<size_t>(inputs.page) < view_.selections.size())
        inputs.selection = view_.selections[size_t(inputs.page)].load();
    inputs.errorText = errorText_;
    return inputs;
}

void MagazineApp::drawFrame() {
    std::memset(frameBuffer_, 0, kFrameBytes);
    if (view_.fadeActive.load(std::memory_order_acquire)) fadeStep();
    drawPageText(view_.currentPage);
    clearMargins();
    if (const Page* page = pageAt(view_.currentPage)) {
        if (keyPlaceHolds(KeyPlace::menuPage, *page) && !page->infobar) drawMenuSelection();
    }
    if (const Page* page = pageAt(view_.currentPage); page && page->scrollable) drawScrollBar();
    if (const Page* page = pageAt(view_.currentPage); page && page->infobar) drawInfoBar();
    if (!errorText_.empty()) drawErrorBox();
}

void MagazineApp::fadeStep() {
    uint32_t now = elapsedMs();
    uint32_t elapsed = now - view_.fadeStart.load();
    // guard: a fadespeed of 0 (or a negative one, stored as a huge unsigned value) counts as 1
    uint32_t speed = static_cast<int32_t>(model_.fadespeed) <= 0 ? 1u : model_.fadespeed;
    uint32_t q = elapsed / speed;
    if (view_.fadingOut) {
        // quirk: 61, not 63: the first frame of a fade already drops two levels
        int64_t level = 61 - static_cast<int64_t>(q);
        if (level <= 0) {
            view_.fadingOut = false;
            view_.fadeStart = now;
        } else {
            view_.fadeLevel = static_cast<int32_t>(level);
        }
        return;
    }
    int32_t level = q > 63 ? 63 : static_cast<int32_t>(q);
    view_.currentPage = view_.targetPage.load();
    view_.scrollY = view_.viewMargin;
    if (level == 63) {
        view_.fadeActive = false;
        view_.fadingOut = true;
    }
    view_.fadeLevel = level;
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
    fillRect(frameBuffer_, 0, 0, kFrameWidth, view_.viewMargin, 0);
    fillRect(frameBuffer_, 0, kFrameHeight - view_.viewMargin, kFrameWidth, view_.viewMargin, 0);
}

}  // namespace qvl
