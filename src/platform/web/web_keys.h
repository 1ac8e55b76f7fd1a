// Browser keys as the viewer's virtual-key codes: a keydown event's physical key name (its
// "code", such as "ArrowUp" or "KeyA") to the code the desktop backends deliver for that key,
// and letters and digits by the character the keyboard layout gives (its "key"), as the
// desktop gives them. Plain C++, so the native tests check it too.
#pragma once

#include <string_view>

namespace qvl {

// The virtual-key code of a KeyboardEvent code; 0 for keys the viewer has no code for.
int virtualKeyFromCode(std::string_view code);

// The virtual-key code of a keydown event: a single ASCII letter or digit in key (the
// layout's character) gives its letter or digit, so a binding to A answers the key that types
// A on a non-US layout, as on the desktop; keypad digits and every other key go by code.
int virtualKeyFromEvent(std::string_view key, std::string_view code);

// Whether the page keeps the browser's own action for the key (scrolling, going back, help,
// reloading, ...) from happening: the keys the viewer answers.
bool suppressBrowserAction(int virtualKey);

}  // namespace qvl
