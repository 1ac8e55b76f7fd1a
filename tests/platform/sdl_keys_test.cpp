// SDL keys arrive as the Windows virtual-key codes the magazine's bindings compare with.
#include <gtest/gtest.h>

#include "base/virtual_keys.h"
#include "platform/sdl2/sdl_keys.h"

namespace qvl {
namespace {

TEST(SdlKeys, LettersDigitsAndFunctionKeys) {
    EXPECT_EQ(virtualKeyFromSdl(SDLK_a), 'A');
    EXPECT_EQ(virtualKeyFromSdl(SDLK_z), 'Z');
    EXPECT_EQ(virtualKeyFromSdl(SDLK_0), '0');
    EXPECT_EQ(virtualKeyFromSdl(SDLK_9), '9');
    EXPECT_EQ(virtualKeyFromSdl(SDLK_F1), kVkF1);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_F9), kVkF9);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_F12), kVkF12);
}

TEST(SdlKeys, NavigationKeys) {
    EXPECT_EQ(virtualKeyFromSdl(SDLK_PAGEUP), kVkPrior);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_PAGEDOWN), kVkNext);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_END), kVkEnd);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_HOME), kVkHome);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_LEFT), kVkLeft);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_UP), kVkUp);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_RIGHT), kVkRight);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_DOWN), kVkDown);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_RETURN), kVkReturn);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_KP_ENTER), kVkReturn);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_SPACE), kVkSpace);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_ESCAPE), kVkEscape);
}

TEST(SdlKeys, PunctuationUsesTheOemCodes) {
    EXPECT_EQ(virtualKeyFromSdl(SDLK_SEMICOLON), kVkOem1);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_EQUALS), kVkOemPlus);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_COMMA), kVkOemComma);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_MINUS), kVkOemMinus);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_PERIOD), kVkOemPeriod);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_SLASH), kVkOem2);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_BACKQUOTE), kVkOem3);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_LEFTBRACKET), kVkOem4);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_BACKSLASH), kVkOem5);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_RIGHTBRACKET), kVkOem6);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_QUOTE), kVkOem7);
}

TEST(SdlKeys, KeysWithoutCodeGiveZero) {
    EXPECT_EQ(virtualKeyFromSdl(SDLK_UNKNOWN), 0);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_AUDIOPLAY), 0);
}

}  // namespace
}  // namespace qvl
