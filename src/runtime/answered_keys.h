// The keys a page answers, for screens without a keyboard: the magazine's own bindings and the
// viewer's fixed keys that act there, each once, as the buttons of a key strip offer them.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/window_host.h"
#include "script/magazine_model.h"

namespace qvl {

// The magazine's bindings that answer on page pageIndex (global first, then the page's, in slot
// order; one a key), then the fixed keys that act there and no binding takes: the music key,
// the scrolling keys of a scrolling page, Return on a menu page. F12 is left out: a button that
// ends the magazine is too easily touched. No page: the global bindings and the music key.
std::vector<PageKey> keysAnswered(const MagazineModel& model, int32_t pageIndex);

}  // namespace qvl
