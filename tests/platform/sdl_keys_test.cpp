// SDL keys arrive as the Windows virtual-key codes the magazine's bindings compare with.
#include <gtest/gtest.h>

#include "platform/sdl2/sdl_keys.h"

namespace qvl {
namespace {

TEST(SdlKeys, LettersDigitsAndFunctionKeys) {
    EXPECT_EQ(virtualKeyFromSdl(SDLK_a), 65);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_z), 90);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_0), 48);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_9), 57);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_F1), 112);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_F9), 120);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_F12), 123);
}

TEST(SdlKeys, NavigationKeys) {
    EXPECT_EQ(virtualKeyFromSdl(SDLK_PAGEUP), 33);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_PAGEDOWN), 34);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_END), 35);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_HOME), 36);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_LEFT), 37);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_UP), 38);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_RIGHT), 39);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_DOWN), 40);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_RETURN), 13);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_KP_ENTER), 13);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_SPACE), 32);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_ESCAPE), 27);
}

TEST(SdlKeys, PunctuationUsesTheOemCodes) {
    EXPECT_EQ(virtualKeyFromSdl(SDLK_SEMICOLON), 186);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_EQUALS), 187);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_COMMA), 188);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_MINUS), 189);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_PERIOD), 190);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_SLASH), 191);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_BACKQUOTE), 192);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_LEFTBRACKET), 219);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_BACKSLASH), 220);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_RIGHTBRACKET), 221);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_QUOTE), 222);
}

TEST(SdlKeys, KeysWithoutCodeGiveZero) {
    EXPECT_EQ(virtualKeyFromSdl(SDLK_UNKNOWN), 0);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_AUDIOPLAY), 0);
}

}  // namespace
}  // namespace qvl
