// Browser key names arrive as the Windows virtual-key codes the desktop delivers (the numbers
// below are Windows' own), and the page keeps the browser's action from exactly the keys the
// viewer answers.
#include <gtest/gtest.h>

#include <string_view>

#include "platform/web/web_keys.h"

namespace qvl {
namespace {

TEST(WebKeys, CodesGiveTheirVirtualKeyCodes) {
    const std::pair<std::string_view, int> keys[] = {{"KeyA", 65},
                                                     {"KeyQ", 81},
                                                     {"KeyZ", 90},
                                                     {"Digit0", 48},
                                                     {"Digit7", 55},
                                                     {"F1", 112},
                                                     {"F12", 123},
                                                     {"F24", 135},
                                                     {"Numpad0", 96},
                                                     {"Numpad9", 105},
                                                     {"ArrowLeft", 37},
                                                     {"ArrowUp", 38},
                                                     {"ArrowRight", 39},
                                                     {"ArrowDown", 40},
                                                     {"PageUp", 33},
                                                     {"PageDown", 34},
                                                     {"End", 35},
                                                     {"Home", 36},
                                                     {"Enter", 13},
                                                     {"NumpadEnter", 13},
                                                     {"Space", 32},
                                                     {"Escape", 27},
                                                     {"Backspace", 8},
                                                     {"Tab", 9},
                                                     {"ShiftRight", 16},
                                                     {"AltLeft", 18},
                                                     {"Semicolon", 186},
                                                     {"Quote", 222},
                                                     {"NumpadAdd", 107},
                                                     {"F25", 0},
                                                     {"F0", 0},
                                                     {"Keya", 0},
                                                     {"Key1", 0},
                                                     {"KeyAB", 0},
                                                     {"Digit10", 0},
                                                     {"Numpad", 0},
                                                     {"", 0},
                                                     {"IntlBackslash", 0},
                                                     {"MediaPlayPause", 0}};
    for (auto [code, vk] : keys) EXPECT_EQ(virtualKeyFromCode(code), vk) << code;
}

// Letters and digits follow the layout's character, as the desktop's do; keys that type
// something else, or nothing ASCII, and keypad digits go by their position.
TEST(WebKeys, LettersAndDigitsByTheLayoutsCharacter) {
    const struct {
        std::string_view key, code;
        int vk;
    } events[] = {
        {"q", "KeyA", 81},           // AZERTY's Q, where US has A
        {"Z", "KeyW", 90},           // AZERTY's Z, shifted
        {"y", "KeyZ", 89},           // QWERTZ's Y
        {"m", "Semicolon", 77},      // a letter on a punctuation position
        {"8", "Digit8", 56},         // US digits
        {"1", "Digit1", 49},         // AZERTY's shifted digit row
        {"&", "Digit1", 49},         // AZERTY's unshifted 1: not a digit, by position
        {"\xc3\xa9", "Digit2", 50},  // "é" in UTF-8: not ASCII, by position
        {"\xd1\x84", "KeyA", 65},    // Cyrillic "ф": the letter at A's position
        {";", "KeyZ", 90},           // punctuation on a letter position: by position
        {"7", "Numpad7", 103},       // keypad digits stay keypad codes
        {"Enter", "Enter", 13},      // named keys by position
        {"ArrowUp", "ArrowUp", 38},  // named keys by position
        {"", "KeyB", 66},            // no key: by position
        {"a", "", 65},               // no position: the character
    };
    for (const auto& e : events) EXPECT_EQ(virtualKeyFromEvent(e.key, e.code), e.vk) << e.code;
}

TEST(WebKeys, BrowserActionsSuppressedForTheViewersKeys) {
    for (int vk = 0; vk < 256; ++vk) {
        const bool answered =
            (vk >= 33 && vk <= 40) || vk == 32 || vk == 13 || vk == 8 || (vk >= 112 && vk <= 123);
        EXPECT_EQ(suppressBrowserAction(vk), answered) << vk;
    }
}

}  // namespace
}  // namespace qvl
