// Browser keys as the viewer's virtual-key codes: a keydown event's physical key name (its
// "code", such as "ArrowUp" or "KeyA") to the code the desktop backends deliver for that key.
// Plain C++, so the native tests check it too.
#pragma once

#include <string_view>

namespace qvl {

// The virtual-key code of a KeyboardEvent code; 0 for keys the viewer has no code for.
int virtualKeyFromCode(std::string_view code);

// Whether the page keeps the browser's own action for the key (scrolling, going back, help,
// reloading, ...) from happening: the keys the viewer answers.
bool suppressBrowserAction(int virtualKey);

}  // namespace qvl
