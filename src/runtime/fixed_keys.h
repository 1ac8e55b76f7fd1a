// The viewer's fixed keys: the code of each, the pages it acts on and what it does there. The
// key handling runs them, the mouse and the menu highlight follow their page kinds, and a
// check tells an author which binding takes one away.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "script/magazine_model.h"

namespace qvl {

// The pages a fixed key acts on.
enum class KeyPlace : uint8_t { everyPage, scrollingPage, menuPage };

enum class KeyAction : uint8_t {
    switchMusic,
    quit,
    scrollPageUp,
    scrollPageDown,
    scrollToEnd,
    scrollToTop,
    scrollUp,
    scrollDown,
    choose,
    selectLast,
    selectFirst,
    selectPrevious,
    selectNext,
};

struct FixedKey {
    uint8_t code;  // virtual-key code
    KeyPlace place;
    KeyAction action;
    std::string_view name;    // as the keyboard labels it
    std::string_view effect;  // what it does, as "it ... "
};

// In the order in which a check names them; no code comes twice within one place, and the
// codes of everyPage keys come in no other place.
using FixedKeyTable = std::array<FixedKey, 14>;
extern const FixedKeyTable kFixedKeys;

// Whether the keys of place act on page: scrolling keys on a page that scrolls, menu keys (and
// menu clicks) on a menu page that does not.
bool keyPlaceHolds(KeyPlace place, const Page& page);

// The fixed key that answers code on page (null: no page shown), or null. While a fade runs
// the scrolling keys rest.
const FixedKey* fixedKeyFor(int code, const Page* page, bool fading);

}  // namespace qvl
