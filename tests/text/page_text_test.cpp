// Page text out: the code page 437 table at points read from the code page's chart, its 256
// codes all distinct, UTF-8 of one, two and three bytes, and cells cut into trimmed lines.
#include "text/page_text.h"

#include <gtest/gtest.h>

#include <set>

namespace qvl {
namespace {

TEST(PageText, Cp437MapsToItsUnicodeCharacters) {
    const std::pair<int, uint32_t> points[] = {
        {'A', 'A'},     {0x7F, 0x2302}, {0x80, 0x00C7}, {0x9B, 0x00A2}, {0x9E, 0x20A7},
        {0xA9, 0x2310}, {0xB0, 0x2591}, {0xB1, 0x2592}, {0xB2, 0x2593}, {0xB3, 0x2502},
        {0xC4, 0x2500}, {0xC5, 0x253C}, {0xC9, 0x2554}, {0xCD, 0x2550}, {0xD9, 0x2518},
        {0xDB, 0x2588}, {0xDC, 0x2584}, {0xDF, 0x2580}, {0xE1, 0x00DF}, {0xE3, 0x03C0},
        {0xEC, 0x221E}, {0xF9, 0x2219}, {0xFA, 0x00B7}, {0xFE, 0x25A0}, {0xFF, 0x00A0}};
    for (auto [code, unicode] : points) EXPECT_EQ(cp437ToUnicode(code), unicode) << code;
    std::set<uint32_t> seen;
    for (int code = 0; code < 256; ++code) seen.insert(cp437ToUnicode(code));
    EXPECT_EQ(seen.size(), 256u);
}

std::vector<CharCell> cellsOf(const std::string& bytes) {
    std::vector<CharCell> cells(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) cells[i].ch = static_cast<uint8_t>(bytes[i]);
    return cells;
}

// Cell codes in, UTF-8 out: 0xB3 is U+2502 (E2 94 82), 0x80 U+00C7 (C3 87).
TEST(PageText, CellsBecomeTrimmedUtf8Lines) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"a  \n", "a\n"},
        {"\xB3 x \xB3  \n\n", "\xE2\x94\x82 x \xE2\x94\x82\n\n"},
        {"\x80\xFE\n", "\xC3\x87\xE2\x96\xA0\n"},
        {"   \nlast", "\nlast\n"},
        {std::string("t\ta\rb\0", 6) + "\n", "tab\n"},  // no glyph, nothing shown
        {"\xFF\n", "\xC2\xA0\n"},                       // no-break space: not trimmed
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(pageTextUtf8(cellsOf(in)), out) << in;
}

}  // namespace
}  // namespace qvl
