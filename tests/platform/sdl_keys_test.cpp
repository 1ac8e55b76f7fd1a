// SDL keys arrive as the Windows virtual-key codes the magazine's bindings compare with.
#include <gtest/gtest.h>

#include <tuple>

#include "base/virtual_keys.h"
#include "platform/sdl2/sdl_keys.h"

namespace qvl {
namespace {

TEST(SdlKeys, KeysGiveTheirVirtualKeyCodes) {
    // Letters give their capital, digits themselves, F1 to F12 follow one another.
    for (int i = 0; i < 26; ++i) EXPECT_EQ(virtualKeyFromSdl(SDLK_a + i), 'A' + i) << i;
    for (int i = 0; i < 10; ++i) EXPECT_EQ(virtualKeyFromSdl(SDLK_0 + i), '0' + i) << i;
    for (int i = 0; i < 12; ++i) EXPECT_EQ(virtualKeyFromSdl(SDLK_F1 + i), kVkF1 + i) << i;
    const std::pair<SDL_Keycode, int> keys[] = {
        {SDLK_PAGEUP, kVkPrior},  {SDLK_PAGEDOWN, kVkNext},   {SDLK_END, kVkEnd},
        {SDLK_HOME, kVkHome},     {SDLK_UP, kVkUp},           {SDLK_DOWN, kVkDown},
        {SDLK_RETURN, kVkReturn}, {SDLK_KP_ENTER, kVkReturn}, {SDLK_SPACE, kVkSpace},
        {SDLK_ESCAPE, kVkEscape}, {SDLK_SEMICOLON, kVkOem1},  {SDLK_UNKNOWN, 0},
        {SDLK_AUDIOPLAY, 0}};
    for (auto [sdl, vk] : keys) EXPECT_EQ(virtualKeyFromSdl(sdl), vk) << sdl;
}

// Ctrl+C copies; C alone, with Alt (AltGr is Ctrl+Alt on some layouts) or with the system key,
// and Ctrl with another letter go to the magazine as before.
TEST(SdlKeys, OnlyCtrlCIsTheCopyChord) {
    const std::tuple<SDL_Keycode, uint16_t, bool> chords[] = {
        {SDLK_c, KMOD_LCTRL, true},
        {SDLK_c, KMOD_RCTRL, true},
        {SDLK_c, KMOD_LCTRL | KMOD_LSHIFT, true},
        {SDLK_c, KMOD_LCTRL | KMOD_NUM, true},
        {SDLK_c, KMOD_NONE, false},
        {SDLK_c, KMOD_LSHIFT, false},
        {SDLK_c, KMOD_LCTRL | KMOD_RALT, false},
        {SDLK_c, KMOD_LCTRL | KMOD_LGUI, false},
        {SDLK_v, KMOD_LCTRL, false},
        {SDLK_LCTRL, KMOD_LCTRL, false}};
    for (auto [key, modifiers, copies] : chords)
        EXPECT_EQ(isCopyChord(key, modifiers), copies) << key << " " << modifiers;
}

// Alt+Enter, with either Alt and either Enter, switches full screen; Enter alone, with Ctrl+Alt
// (AltGr) or the system key, and Alt with another key go to the magazine as before.
TEST(SdlKeys, OnlyAltEnterIsTheFullScreenChord) {
    const std::tuple<SDL_Keycode, uint16_t, bool> chords[] = {
        {SDLK_RETURN, KMOD_LALT, true},
        {SDLK_RETURN, KMOD_RALT, true},
        {SDLK_KP_ENTER, KMOD_LALT, true},
        {SDLK_RETURN, KMOD_LALT | KMOD_LSHIFT | KMOD_CAPS, true},
        {SDLK_RETURN, KMOD_NONE, false},
        {SDLK_RETURN, KMOD_LSHIFT, false},
        {SDLK_RETURN, KMOD_LCTRL | KMOD_RALT, false},
        {SDLK_RETURN, KMOD_LALT | KMOD_RGUI, false},
        {SDLK_SPACE, KMOD_LALT, false},
        {SDLK_LALT, KMOD_LALT, false}};
    for (auto [key, modifiers, switches] : chords)
        EXPECT_EQ(isFullScreenChord(key, modifiers), switches) << key << " " << modifiers;
}

}  // namespace
}  // namespace qvl
