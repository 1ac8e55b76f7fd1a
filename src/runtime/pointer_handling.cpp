// The mouse and the finger, in picture pixels: presses on menu entries and wheel notches end up
// in the key handling (Return, Up, Down), so bindings and fades treat them exactly as those
// keys; a drag moves a scrolling page by pixels within the scrolling keys' bounds. Main thread.
#include <algorithm>
#include <cstdlib>

#include "runtime/answered_keys.h"
#include "runtime/magazine_app.h"

namespace qvl {

namespace {

// guard: a flood of notches from one event (a free-spinning wheel) is cut to this many presses
constexpr int kMaxNotches = 64;

}  // namespace

int32_t MagazineApp::menuEntryAt(const Page& page, int x, int y) const {
    const int32_t count = std::min(page.selectCount, static_cast<int32_t>(page.selects.size()));
    for (int32_t i = 0; i < count; ++i) {
        const MenuSelect& s = page.selects[i];
        // Where drawMenuSelection puts the entry: its line's row, columns clipped to 1..81.
        const int64_t top = view_.viewMargin + int64_t{kCellHeight} * (int64_t{s.line} - 1);
        const int64_t left =
            view_.viewLeft + int64_t{kCellWidth} * (std::max(s.firstColumn, 1) - 1);
        const int64_t right =
            view_.viewLeft + int64_t{kCellWidth} * std::min(s.lastColumn, kTextColumns + 1);
        if (y >= top && y < top + kCellHeight && x >= left && x < right) return i;
    }
    return -1;
}

bool MagazineApp::pointerPressed(int x, int y) {
    const int32_t pageIndex = view_.currentPage;
    const Page* page = pageAt(pageIndex);
    // Menus answer the mouse where they answer their keys: on pages that do not scroll.
    const int32_t entry =
        page && keyPlaceHolds(KeyPlace::menuPage, *page) ? menuEntryAt(*page, x, y) : int32_t{-1};
    if (entry < 0) {
        pressedPage_ = pageIndex;
        pressedEntry_ = -1;
        return false;
    }
    std::atomic<int32_t>& chosen = view_.selections[size_t(pageIndex)];
    const bool choose = pressedPage_ == pageIndex && pressedEntry_ == entry &&
                        chosen.load(std::memory_order_relaxed) == entry;
    pressedPage_ = pageIndex;
    pressedEntry_ = choose ? -1 : entry;
    if (choose)
        handleKey(kVkReturn);
    else
        chosen.store(entry, std::memory_order_relaxed);
    return true;
}

void MagazineApp::menuEntryPicked(int32_t entry, bool choose) {
    const int32_t pageIndex = view_.currentPage;
    const Page* page = pageAt(pageIndex);
    if (!page || !keyPlaceHolds(KeyPlace::menuPage, *page) || entry < 0 ||
        entry >= std::min(page->selectCount, static_cast<int32_t>(page->selects.size())) ||
        view_.fadeActive.load(std::memory_order_acquire))
        return;
    pressedEntry_ = -1;  // the mouse starts afresh
    view_.selections[size_t(pageIndex)].store(entry, std::memory_order_relaxed);
    if (choose) handleKey(kVkReturn);
}

bool MagazineApp::wheelTurned(int notches) {
    const int key = notches > 0 ? kVkUp : kVkDown;
    const int64_t presses = std::min<int64_t>(std::abs(int64_t{notches}), kMaxNotches);
    bool pressed = false;
    for (int64_t i = 0; i < presses; ++i) {
        // Each notch looks again: a bound key may have left the scrollable page.
        if (!scrollablePageShown()) break;
        handleKey(key);
        pressed = true;
    }
    return pressed;
}

bool MagazineApp::dragScrolled(int pixels) {
    const Page* page = pageAt(view_.currentPage);
    if (!page || pixels == 0 || view_.fadeActive.load(std::memory_order_acquire) ||
        !keyPlaceHolds(KeyPlace::scrollingPage, *page))
        return false;
    // scrollY runs from the margin (the top shown) down to the limit (the end shown); a page
    // already past a bound (the keys' whole steps) is not pulled back.
    const int64_t y = view_.scrollY;
    const int64_t moved = y - pixels;
    const int64_t low = std::min<int64_t>(y, scrollLimit(*page));
    const int64_t high = std::max<int64_t>(y, view_.viewMargin);
    view_.scrollY = static_cast<int32_t>(std::clamp(moved, low, high));
    return view_.scrollY != y;
}

std::vector<PageKey> MagazineApp::pageKeys() const {
    return keysAnswered(model_, view_.currentPage);
}

bool MagazineApp::scrollablePageShown() const {
    const Page* page = pageAt(view_.currentPage);
    return page && keyPlaceHolds(KeyPlace::scrollingPage, *page);
}

}  // namespace qvl
