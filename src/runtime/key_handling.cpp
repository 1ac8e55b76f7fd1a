// Key presses and commands: bindings first (global, then the page's), then the scroll keys of
// scrollable pages, the menu keys of menu pages, and the fixed keys F9 and F12.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "base/ascii_case.h"
#include "runtime/magazine_app.h"

namespace qvl {

namespace {

// The first binding whose key equals the lowered code, or none.
const KeyBinding* findBinding(const std::vector<KeyBinding>& keys, int32_t count, uint8_t key) {
    size_t n = std::min(keys.size(), static_cast<size_t>(std::max(count, 0)));
    for (size_t i = 0; i < n; ++i)
        if (keys[i].key == key) return &keys[i];
    return nullptr;
}

int32_t clampToInt32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

int32_t MagazineApp::scrollLimit(const Page& page) const {
    return clampToInt32(int64_t{kFrameHeight} - int64_t{kCellHeight} * page.lineCount - viewMargin);
}

bool MagazineApp::handleKey(int code) {
    Page* page = currentPage >= 0 && currentPage < static_cast<int32_t>(pages.size())
                     ? &pages[currentPage]
                     : nullptr;
    if (!fadeActive.load(std::memory_order_acquire)) {
        // Only A to Z change; the binding compares the low byte alone, so "f1" (112) answers P.
        uint8_t lowered = static_cast<uint8_t>(foldAscii(code));
        if (const KeyBinding* b = findBinding(globalKeys, globalKeyCount, lowered))
            return runCommand(b->command, b->argument);
        if (page) {
            if (const KeyBinding* b = findBinding(page->keys, page->keyCount, lowered))
                return runCommand(b->command, b->argument);
            if (page->scrollable) scrollKey(code, *page);
        }
    }
    if (page && page->isMenu && !page->scrollable) {
        bool handled = false;
        bool result = menuKey(code, *page, handled);
        if (handled) return result;
    }
    if (code == kVkF9) {
        musicKey();
        return true;
    }
    if (code == kVkF12) {
        shell_.renderRunning.store(0);
        return true;
    }
    return false;
}

void MagazineApp::scrollKey(int code, const Page& page) {
    const int32_t limit = scrollLimit(page);
    int32_t y = scrollY;
    switch (code) {
        case kVkPrior:
            for (int step = 0; step < 120; ++step)
                if (y < viewMargin) ++y;
            break;
        case kVkNext:
            for (int step = 0; step < 120; ++step)
                if (y > limit) --y;
            break;
        case kVkEnd:
            y = limit;
            break;
        case kVkHome:
            y = viewMargin;
            break;
        case kVkUp:
            // quirk: a whole step is taken once the test passes, up to 23 pixels past the margin
            if (y < viewMargin) y += 24;
            break;
        case kVkDown:
            if (y > limit) y -= 24;
            break;
        default:
            return;
    }
    scrollY = y;
}

bool MagazineApp::menuKey(int code, Page& page, bool& handled) {
    const int32_t count = std::min(page.selectCount, static_cast<int32_t>(page.selects.size()));
    // guard: a menu without selections has nothing to move or choose
    if (count <= 0) return false;
    int32_t selection = page.selection;
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
            page.selection = count - 1;
            return false;
        case kVkHome:
            page.selection = 0;
            return false;
        case kVkUp:
            page.selection = selection <= 0 ? count - 1 : selection - 1;
            handled = true;
            return true;
        case kVkDown:
            page.selection = selection >= count - 1 ? 0 : selection + 1;
            handled = true;
            return true;
        default:
            return false;
    }
}

bool MagazineApp::runCommand(std::string_view command, std::string_view argument) {
    if (equalsNoCase(command, "nextmusic")) {
        nextMusic();
        return true;
    }
    if (equalsNoCase(command, "jump")) {
        if (equalsNoCase(argument, "last")) {
            changePage(lastPage);
            return true;
        }
        const Page* page = pageAt(currentPage);
        if (page && equalsNoCase(page->name, "help")) return true;
        int32_t target = std::atoi(std::string(argument).c_str());
        // guard: a jump to a page that does not exist is ignored
        if (!pageAt(target)) return true;
        lastPage = currentPage.load();
        changePage(target);
        return true;
    }
    if (equalsNoCase(command, "exit")) {
        shell_.renderRunning.store(0);
        return true;
    }
    return false;
}

void MagazineApp::changePage(int32_t page) {
    if (fading) {
        targetPage = page;
        fadeStart = shell_.elapsedMs();
        fadeActive.store(true, std::memory_order_release);
    } else {
        currentPage = page;
    }
}

void MagazineApp::loadStartMusic() {
    // guard: an empty list, or an index outside it, has no song to load
    if (startMusic < 0 || startMusic >= musicCount ||
        static_cast<size_t>(startMusic) >= musicList.size())
        return;
    musicControl.loadMusic(musicList[startMusic].fileName);
}

// The end of start-up: the sound output, the start song, and playing it when music is on.
// Failures are not reported: the magazine then runs silent.
void MagazineApp::startTheMusic() {
    musicControl.initMusic();
    loadStartMusic();
    if (music) musicControl.playMusic();
}

// The music key: stops the song or starts it again from its beginning.
void MagazineApp::musicKey() {
    if (music) {
        musicControl.stopMusic();
    } else {
        musicControl.playMusic();
    }
    music = !music;
}

// The next song of the list, from the first after the last; the music is on afterwards.
void MagazineApp::nextMusic() {
    startMusic = startMusic < musicCount - 1 ? startMusic + 1 : 0;
    musicControl.stopMusic();
    musicControl.freeMusic();
    shell_.platform.sleepMs(200);
    loadStartMusic();
    musicControl.playMusic();
    music = 1;
}

}  // namespace qvl
