// The fixed keys as one table, and which of them answers a press.
#include "runtime/fixed_keys.h"

#include "base/virtual_keys.h"

namespace qvl {

// clang-format off
const FixedKeyTable kFixedKeys = {{
    {kVkF9,     KeyPlace::everyPage,     KeyAction::switchMusic,    "F9",        "switches the music off and on"},
    {kVkF12,    KeyPlace::everyPage,     KeyAction::quit,           "F12",       "quits"},
    {kVkPrior,  KeyPlace::scrollingPage, KeyAction::scrollPageUp,   "Page Up",   "scrolls"},
    {kVkNext,   KeyPlace::scrollingPage, KeyAction::scrollPageDown, "Page Down", "scrolls"},
    {kVkEnd,    KeyPlace::scrollingPage, KeyAction::scrollToEnd,    "End",       "scrolls"},
    {kVkHome,   KeyPlace::scrollingPage, KeyAction::scrollToTop,    "Home",      "scrolls"},
    {kVkUp,     KeyPlace::scrollingPage, KeyAction::scrollUp,       "Up",        "scrolls"},
    {kVkDown,   KeyPlace::scrollingPage, KeyAction::scrollDown,     "Down",      "scrolls"},
    {kVkReturn, KeyPlace::menuPage,      KeyAction::choose,         "Return",    "chooses in the menu"},
    {kVkSpace,  KeyPlace::menuPage,      KeyAction::choose,         "Space",     "chooses in the menu"},
    {kVkEnd,    KeyPlace::menuPage,      KeyAction::selectLast,     "End",       "moves in the menu"},
    {kVkHome,   KeyPlace::menuPage,      KeyAction::selectFirst,    "Home",      "moves in the menu"},
    {kVkUp,     KeyPlace::menuPage,      KeyAction::selectPrevious, "Up",        "moves in the menu"},
    {kVkDown,   KeyPlace::menuPage,      KeyAction::selectNext,     "Down",      "moves in the menu"},
}};
// clang-format on

bool keyPlaceHolds(KeyPlace place, const Page& page) {
    switch (place) {
        case KeyPlace::everyPage:
            return true;
        case KeyPlace::scrollingPage:
            return page.scrollable != 0;
        case KeyPlace::menuPage:
            return page.takesMenuKeys();
    }
    return false;
}

const FixedKey* fixedKeyFor(int code, const Page* page, bool fading) {
    for (const FixedKey& key : kFixedKeys) {
        if (key.code != code) continue;
        if (key.place == KeyPlace::everyPage) return &key;
        if (key.place == KeyPlace::scrollingPage && fading) continue;
        if (page && keyPlaceHolds(key.place, *page)) return &key;
    }
    return nullptr;
}

}  // namespace qvl
