// SDL keys arrive as the Windows virtual-key codes the magazine's bindings compare with.
#include <gtest/gtest.h>

#include <utility>

#include "base/virtual_keys.h"
#include "platform/sdl2/sdl_keys.h"
#include "platform/window_input.h"

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

// Either key of a pair gives its flag; lock keys give none.
TEST(SdlKeys, ModifiersGiveTheirFlags) {
    const std::pair<uint16_t, unsigned> cases[] = {
        {KMOD_NONE, 0u},
        {KMOD_LSHIFT, kModShift},
        {KMOD_RSHIFT, kModShift},
        {KMOD_LCTRL, kModControl},
        {KMOD_RCTRL, kModControl},
        {KMOD_LALT, kModAlt},
        {KMOD_RALT, kModAlt},
        {KMOD_LGUI, kModSystem},
        {KMOD_RGUI, kModSystem},
        {KMOD_NUM | KMOD_CAPS, 0u},
        {KMOD_LCTRL | KMOD_RALT | KMOD_LSHIFT, kModControl | kModAlt | kModShift}};
    for (auto [sdl, flags] : cases) EXPECT_EQ(modifiersFromSdl(sdl), flags) << sdl;
}

}  // namespace
}  // namespace qvl
