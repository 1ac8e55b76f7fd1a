// Virtual-key codes as a table for the keys that are not letters, digits or function keys;
// modifier flags bit by bit.
#include "platform/sdl2/sdl_keys.h"

#include "base/virtual_keys.h"
#include "platform/window_input.h"

namespace qvl {

namespace {

struct KeyPair {
    SDL_Keycode sdl;
    int vk;
};

// clang-format off
constexpr KeyPair kKeyTable[] = {
    {SDLK_BACKSPACE, kVkBack},       {SDLK_TAB, kVkTab},
    {SDLK_RETURN, kVkReturn},        {SDLK_KP_ENTER, kVkReturn},
    {SDLK_LSHIFT, kVkShift},         {SDLK_RSHIFT, kVkShift},
    {SDLK_LCTRL, kVkControl},        {SDLK_RCTRL, kVkControl},
    {SDLK_LALT, kVkMenu},            {SDLK_RALT, kVkMenu},
    {SDLK_PAUSE, kVkPause},          {SDLK_CAPSLOCK, kVkCapital},
    {SDLK_ESCAPE, kVkEscape},        {SDLK_SPACE, kVkSpace},
    {SDLK_PAGEUP, kVkPrior},         {SDLK_PAGEDOWN, kVkNext},
    {SDLK_END, kVkEnd},              {SDLK_HOME, kVkHome},
    {SDLK_LEFT, kVkLeft},            {SDLK_UP, kVkUp},
    {SDLK_RIGHT, kVkRight},          {SDLK_DOWN, kVkDown},
    {SDLK_PRINTSCREEN, kVkSnapshot}, {SDLK_INSERT, kVkInsert},
    {SDLK_DELETE, kVkDelete},        {SDLK_LGUI, kVkLWin},
    {SDLK_RGUI, kVkRWin},            {SDLK_APPLICATION, kVkApps},
    {SDLK_KP_0, kVkNumpad0},         {SDLK_KP_1, kVkNumpad0 + 1},
    {SDLK_KP_2, kVkNumpad0 + 2},     {SDLK_KP_3, kVkNumpad0 + 3},
    {SDLK_KP_4, kVkNumpad0 + 4},     {SDLK_KP_5, kVkNumpad0 + 5},
    {SDLK_KP_6, kVkNumpad0 + 6},     {SDLK_KP_7, kVkNumpad0 + 7},
    {SDLK_KP_8, kVkNumpad0 + 8},     {SDLK_KP_9, kVkNumpad0 + 9},
    {SDLK_KP_MULTIPLY, kVkMultiply}, {SDLK_KP_PLUS, kVkAdd},
    {SDLK_KP_MINUS, kVkSubtract},    {SDLK_KP_PERIOD, kVkDecimal},
    {SDLK_KP_DIVIDE, kVkDivide},     {SDLK_NUMLOCKCLEAR, kVkNumLock},
    {SDLK_SCROLLLOCK, kVkScroll},
    {SDLK_SEMICOLON, kVkOem1},       {SDLK_EQUALS, kVkOemPlus},
    {SDLK_COMMA, kVkOemComma},       {SDLK_MINUS, kVkOemMinus},
    {SDLK_PERIOD, kVkOemPeriod},     {SDLK_SLASH, kVkOem2},
    {SDLK_BACKQUOTE, kVkOem3},       {SDLK_LEFTBRACKET, kVkOem4},
    {SDLK_BACKSLASH, kVkOem5},       {SDLK_RIGHTBRACKET, kVkOem6},
    {SDLK_QUOTE, kVkOem7},
};
// clang-format on

}  // namespace

int virtualKeyFromSdl(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return kVkF1 + (key - SDLK_F1);
    if (key >= SDLK_F13 && key <= SDLK_F24) return kVkF13 + (key - SDLK_F13);
    for (const KeyPair& pair : kKeyTable)
        if (pair.sdl == key) return pair.vk;
    return 0;
}

unsigned modifiersFromSdl(uint16_t modifiers) {
    unsigned flags = 0;
    if (modifiers & KMOD_SHIFT) flags |= kModShift;
    if (modifiers & KMOD_CTRL) flags |= kModControl;
    if (modifiers & KMOD_ALT) flags |= kModAlt;
    if (modifiers & KMOD_GUI) flags |= kModSystem;
    return flags;
}

}  // namespace qvl
