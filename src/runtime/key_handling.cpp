// Key presses: bindings first (global, then the page's), then the fixed key that answers the
// press on the page shown (runtime/fixed_keys.h). Main thread.
#include <algorithm>

#include "base/ascii_case.h"
#include "runtime/fixed_keys.h"
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
    const bool fading = view_.fadeActive.load(std::memory_order_acquire);
    if (!fading) {
        // Only A to Z change; the binding compares the low byte alone, so "f1" (112) answers P.
        uint8_t lowered = static_cast<uint8_t>(foldAscii(code));
        if (const KeyBinding* b = answeringBinding(model_, page, lowered))
            return runCommand(b->command, b->argument);
    }
    const FixedKey* key = fixedKeyFor(code, page, fading);
    if (!key) return false;
    switch (key->action) {
        case KeyAction::switchMusic:
            musicKey();
            return true;
        case KeyAction::quit:
            view_.renderRunning.store(0);
            return true;
        default:
            break;
    }
    // Only the keys of every page act without one shown.
    if (key->place == KeyPlace::scrollingPage) {
        scrollKey(key->action, *page);
        return false;
    }
    return menuKey(key->action, pageIndex, *page);
}

void MagazineApp::scrollKey(KeyAction action, const Page& page) {
    const int32_t limit = scrollLimit(page);
    const int32_t margin = view_.viewMargin;
    int32_t y = view_.scrollY;
    switch (action) {
        case KeyAction::scrollPageUp:
            for (int step = 0; step < 120; ++step)
                if (y < margin) ++y;
            break;
        case KeyAction::scrollPageDown:
            for (int step = 0; step < 120; ++step)
                if (y > limit) --y;
            break;
        case KeyAction::scrollToEnd:
            y = limit;
            break;
        case KeyAction::scrollToTop:
            y = margin;
            break;
        case KeyAction::scrollUp:
            // quirk: a whole step is taken once the test passes, up to 23 pixels past the margin
            if (y < margin) y += 24;
            break;
        case KeyAction::scrollDown:
            if (y > limit) y -= 24;
            break;
        default:
            return;
    }
    view_.scrollY = y;
}

bool MagazineApp::menuKey(KeyAction action, int32_t pageIndex, const Page& page) {
    const int32_t count = std::min(page.selectCount, static_cast<int32_t>(page.selects.size()));
    // guard: a menu without selections has nothing to move or choose
    if (count <= 0) return false;
    std::atomic<int32_t>& chosen = view_.selections[size_t(pageIndex)];
    int32_t selection = chosen.load(std::memory_order_relaxed);
    switch (action) {
        case KeyAction::choose: {
            if (selection < 0 || selection >= count) return false;  // guard: no such slot
            const MenuSelect& s = page.selects[selection];
            runCommand(s.command, s.argument);
            return true;
        }
        case KeyAction::selectLast:
            chosen.store(count - 1, std::memory_order_relaxed);
            return false;
        case KeyAction::selectFirst:
            chosen.store(0, std::memory_order_relaxed);
            return false;
        case KeyAction::selectPrevious:
            chosen.store(selection <= 0 ? count - 1 : selection - 1, std::memory_order_relaxed);
            return true;
        case KeyAction::selectNext:
            chosen.store(selection >= count - 1 ? 0 : selection + 1, std::memory_order_relaxed);
            return true;
        default:
            return false;
    }
}

}  // namespace qvl
