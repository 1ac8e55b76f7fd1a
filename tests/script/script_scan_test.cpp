// Reading numbers and words as the script's formats do, key names and stripQuotes.
#include <gtest/gtest.h>

#include "base/virtual_keys.h"
#include "script/keyword_table.h"
#include "script/script_scan.h"

namespace qvl {
namespace {

// Reads text by the steps ("i" any-base number, "d" decimal, "w" word of up to 511 characters,
// "l" the literal "color") and gives the results separated by "|", then "!" when it failed.
std::string scan(std::string_view text, std::string_view steps) {
    ArgumentScanner s(text);
    std::string out;
    for (char step : steps) {
        out += step == 'i'   ? std::to_string(s.readAnyInt())
               : step == 'd' ? std::to_string(s.readInt())
               : step == 'w' ? s.readWord(511)
                             : std::string(s.matchLiteral("color") ? "yes" : "no");
        out += "|";
    }
    return out + (s.failed() ? "!" : "");
}

TEST(ScriptScan, ArgumentsReadStepByStep) {
    const struct {
        const char *text, *steps, *results;
    } cases[] = {
        // Tabs and line ends separate like spaces; reading stops at the first letter; "08" is
        // an octal 0 followed by 8.
        {" \t010\t0x0a 12abc -7\n0X1F 08", "iiiwiiii", "8|10|12|abc|-7|31|0|8|"},
        // Decimal reading takes "0x2" as 0 followed by the word "x2".
        {"0x2 010\t12abc", "dwdd", "0|x2|10|12|"},
        // The first failure ends the reading; so does running out of text.
        {"abc 5 word", "ddw", "0|0||!"},
        {"one\ttwo", "wwwi", "one|two||0|!"},
        // A literal matches from the start only.
        {"color 4 7", "lii", "yes|4|7|"},
        {"xcolor 4 7", "li", "no|0|!"},
        // Numbers saturate at 32 bits.
        {"99999999999999 -99999999999999", "id", "2147483647|-2147483648|"},
    };
    for (const auto& c : cases) EXPECT_EQ(scan(c.text, c.steps), c.results) << c.text;
    // Words are cut at their capacity but consumed whole.
    EXPECT_EQ(scan(std::string(600, 'w') + " next", "ww"), std::string(511, 'w') + "|next|");
}

TEST(ScriptScan, DecimalCountsQuotesAndKeyNames) {
    const std::pair<const char*, int32_t> decimals[] = {{"123456789012345", 2147483647},
                                                        {"  12abc", 12},
                                                        {"\t5", 5},
                                                        {"-3", -3},
                                                        {"+4", 4},
                                                        {"0x10", 0},
                                                        {"010", 10},
                                                        {"fast", 0},
                                                        {"", 0}};
    for (const auto& [text, value] : decimals) EXPECT_EQ(readDecimal(text), value) << text;
    EXPECT_EQ(stripQuotes("\"My Page\""), "My Page");
    EXPECT_EQ(stripQuotes("a\"b\"\"c"), "abc");
    // Names in any case; other words give their first character as written ('q' is the code
    // of F2, and "Q" is never lower-cased).
    const std::pair<const char*, int> names[] = {
        {"esc", kVkEscape}, {"ESC", kVkEscape}, {"f1", kVkF1},       {"F3", kVkF3}, {"f8", kVkF8},
        {"pl", kVkLeft},    {"Pr", kVkRight},   {"space", kVkSpace}, {"q", kVkF2},  {"Q", 'Q'},
        {"enter", 'e'},     {"f9", 'f'},        {"1", '1'},          {"", 0}};
    for (const auto& [name, code] : names) EXPECT_EQ(keyCodeFromName(name), code) << name;
}

}  // namespace
}  // namespace qvl
