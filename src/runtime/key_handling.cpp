// Key presses: bindings first (global, then the page's), then the scroll keys of scrollable
// pages, the menu keys of menu pages, and the fixed keys F9 and F12. Main thread.
#include <algorithm>

#include "base/ascii_case.h"
#include "runtime/magazine_app.h"

namespace qvl {

namespace {

int32_t clampToInt32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

int32_t MagazineApp::scrollLimit(const Page& page) const {
    return clampToInt32(int64_t{kFrameHeight} - int64_t{kCellHeight} * page.lineCount -
                        view_.viewMargin);
}

bool MagazineApp::handleKey(int code) {
    const int32_t pageIndex = view_.currentPage;
    const Page* page = pageIndex >= 0 && pageIndex < static_cast<int32_t>(model_.pages.size())
                           ? &model_.pages[pageIndex]
                           : nullptr;
    if (!view_.fadeActive.load(std::memory_order_acquire)) {
        // Only A to Z change; the binding compares the low byte alone, so "f1" (112) answers P.
        uint8_t lowered = static_cast<uint8_t>(foldAscii(code));
        if (const KeyBinding* b = answeringBinding(model_, page, lowered))
            return runCommand(b->command, b->argument);
        if (page && page->scrollable) scrollKey(code, *page);
    }
    if (page && page->takesMenuKeys()) {
        bool handled = false;
        bool result = menuKey(code, pageIndex, *page, handled);
        if (handled) return result;
    }
    if (code == kVkF9) {
        musicKey();
        return true;
    }
    if (code == kVkF12) {
        view_.renderRunning.store(0);
        return true;
    }
    return false;
}

void MagazineApp::scrollKey(int code, const Page& page) {
    const int32_t limit = scrollLimit(page);
    const int32_t margin = view_.viewMargin;
    int32_t y = view_.scrollY;
    switch (code) {
        case kVkPrior:
            for (int step = 0; step < 120; ++step)
                if (y < margin) ++y;
            break;
        case kVkNext:
            for (int step = 0; step < 120; ++step)
                if (y > limit) --y;
            break;
        case kVkEnd:
            y = limit;
            break;
        case kVkHome:
            y = margin;
            break;
        case kVkUp:
            // quirk: a whole step is taken once the test passes, up to 23 pixels past the margin
            if (y < margin) y += 24;
            break;
        case kVkDown:
            if (y > limit) y -= 24;
            break;
        default:
            return;
    }
    view_.scrollY = y;
}

bool MagazineApp::menuKey(int code, int32_t pageIndex, const Page& page, bool& handled) {
    const int32_t count = std::min(page.selectCount, static_cast<int32_t>(page.selects.size()));
    // guard: a menu without selections has nothing to move or choose
    if (count <= 0) return false;
    std::atomic<int32_t>& chosen = view_.selections[size_t(pageIndex)];
    int32_t selection = chosen.load(std::memory_order_relaxed);
    switch (code) {
        case kVkReturn:
        case kVkSpace: {
            handled = true;
            if (selection < 0 || selection >= count) return false;  // guard: no such slot
            const MenuSelect& s = page.selects[selection];
            runCommand(s.command, s.argument);
            return true;
        }
        case kVkEnd:
            chosen.store(count - 1, std::memory_order_relaxed);
            return false;
        case kVkHome:
            chosen.store(0, std::memory_order_relaxed);
            return false;
        case kVkUp:
            chosen.store(selection <= 0 ? count - 1 : selection - 1, std::memory_order_relaxed);
            handled = true;
            return true;
        case kVkDown:
            chosen.store(selection >= count - 1 ? 0 : selection + 1, std::memory_order_relaxed);
            handled = true;
            return true;
        default:
            return false;
    }
}

}  // namespace qvl
