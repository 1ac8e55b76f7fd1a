// The case fold changes A to Z and nothing else: not the neighbours of the letter ranges, not
// bytes above 127 (which a locale might fold), not key codes above 255.
#include <gtest/gtest.h>

#include "base/ascii_case.h"

namespace qvl {
namespace {

TEST(AsciiCase, OnlyCapitalLettersChange) {
    const struct {
        char in, out;
    } cases[] = {{'A', 'a'}, {'Z', 'z'},   {'M', 'm'},       {'a', 'a'},       {'z', 'z'},
                 {'@', '@'}, {'[', '['},   {'`', '`'},       {'{', '{'},       {'0', '0'},
                 {' ', ' '}, {'\0', '\0'}, {'\xC4', '\xC4'}, {'\xE4', '\xE4'}, {'\xFF', '\xFF'}};
    for (const auto& c : cases) EXPECT_EQ(foldAscii(c.in), c.out) << int(c.in);
}

TEST(AsciiCase, WideCodesAreNotCutToTheirLowByte) {
    EXPECT_EQ(foldAscii(65), 97);
    EXPECT_EQ(foldAscii(90), 122);
    EXPECT_EQ(foldAscii(321), 321);  // low byte 65, but no letter
    EXPECT_EQ(foldAscii(-191), -191);
}

TEST(AsciiCase, TextComparesWithoutRegardToAsciiCase) {
    EXPECT_EQ(lowerAscii("NextMusic \xC4Z"), "nextmusic \xC4z");
    EXPECT_TRUE(equalsNoCase("FadeSpeed", "fadespeed"));
    EXPECT_TRUE(equalsNoCase("", ""));
    EXPECT_FALSE(equalsNoCase("fade", "fades"));
    EXPECT_FALSE(equalsNoCase("\xC4", "\xE4"));  // Latin-1 A and a umlaut stay apart
    EXPECT_FALSE(equalsNoCase("[", "{"));
}

}  // namespace
}  // namespace qvl
