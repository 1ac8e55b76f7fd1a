// Translation of SDL key codes into the Windows virtual-key codes the magazine's key handling
// expects (letters 65-90, digits 48-57, F1-F24 112-135, the VK_OEM codes for punctuation), and
// of SDL's modifier state.
#pragma once

#include <SDL.h>

#include <cstdint>

namespace qvl {

// The virtual-key code of an SDL key, or 0 for a key that has none.
int virtualKeyFromSdl(SDL_Keycode key);

// SDL's modifier state as the flags of platform/window_input.h (either key of a pair counts).
unsigned modifiersFromSdl(uint16_t modifiers);

}  // namespace qvl
