// Translation of SDL key codes into the Windows virtual-key codes the magazine's key handling
// expects (letters 65-90, digits 48-57, F1-F24 112-135, the VK_OEM codes for punctuation).
#pragma once

#include <SDL.h>

#include <cstdint>

namespace qvl {

// The virtual-key code of an SDL key, or 0 for a key that has none.
int virtualKeyFromSdl(SDL_Keycode key);

// Ctrl+C (either Ctrl, Shift allowed, without Alt or the system key): the viewer copies the
// page's text, and the magazine never sees the key.
bool isCopyChord(SDL_Keycode key, uint16_t modifiers);

// Alt+Enter (either Enter, without Ctrl or the system key): the viewer switches between window
// and full screen, and the magazine never sees the Enter.
bool isFullScreenChord(SDL_Keycode key, uint16_t modifiers);

}  // namespace qvl
