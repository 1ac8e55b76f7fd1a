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

TEST(WebKeys, BrowserActionsSuppressedForTheViewersKeys) {
    for (int vk = 0; vk < 256; ++vk) {
        const bool answered =
            (vk >= 33 && vk <= 40) || vk == 32 || vk == 13 || vk == 8 || (vk >= 112 && vk <= 123);
        EXPECT_EQ(suppressBrowserAction(vk), answered) << vk;
    }
}

}  // namespace
}  // namespace qvl
