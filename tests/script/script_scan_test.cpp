// Reading numbers and words as the script's formats do, key names and stripQuotes.
#include <gtest/gtest.h>

#include "base/virtual_keys.h"
#include "script/keyword_table.h"
#include "script/script_scan.h"

namespace qvl {
namespace {

TEST(ScriptScan, AnyIntReadsDecimalHexadecimalAndOctal) {
    // Tabs and line ends separate like spaces.
    ArgumentScanner scan(" \t010\t0x0a 12abc -7\n0X1F 08");
    EXPECT_EQ(scan.readAnyInt(), 8);
    EXPECT_EQ(scan.readAnyInt(), 10);
    EXPECT_EQ(scan.readAnyInt(), 12);
    EXPECT_EQ(scan.readWord(511), "abc");  // reading stopped at the first letter
    EXPECT_EQ(scan.readAnyInt(), -7);
    EXPECT_EQ(scan.readAnyInt(), 31);
    EXPECT_EQ(scan.readAnyInt(), 0);  // "08": the octal number ends before the 8
    EXPECT_EQ(scan.readAnyInt(), 8);
    EXPECT_FALSE(scan.failed());
    // Decimal reading takes "0x2" as 0 followed by the word "x2".
    ArgumentScanner decimal("0x2 010\t12abc");
    EXPECT_EQ(decimal.readInt(), 0);
    EXPECT_EQ(decimal.readWord(511), "x2");
    EXPECT_EQ(decimal.readInt(), 10);
    EXPECT_EQ(decimal.readInt(), 12);
}

TEST(ScriptScan, FirstFailureEndsTheReading) {
    ArgumentScanner scan("abc 5 word");
    EXPECT_EQ(scan.readInt(), 0);
    EXPECT_TRUE(scan.failed());
    EXPECT_EQ(scan.readInt(), 0);
    EXPECT_EQ(scan.readWord(511), "");

    ArgumentScanner words("one\ttwo");
    EXPECT_EQ(words.readWord(511), "one");
    EXPECT_EQ(words.readWord(511), "two");
    EXPECT_EQ(words.readWord(511), "");  // nothing left
    EXPECT_EQ(words.readAnyInt(), 0);
}

TEST(ScriptScan, LiteralMatchesFromTheStartOnly) {
    ArgumentScanner tag("color 4 7");
    EXPECT_TRUE(tag.matchLiteral("color"));
    EXPECT_EQ(tag.readAnyInt(), 4);
    EXPECT_EQ(tag.readAnyInt(), 7);
    ArgumentScanner other("xcolor 4 7");
    EXPECT_FALSE(other.matchLiteral("color"));
    EXPECT_EQ(other.readAnyInt(), 0);
}

TEST(ScriptScan, NumbersSaturateAndDecimalCountsReadLikeALeadingNumber) {
    EXPECT_EQ(ArgumentScanner("99999999999999").readAnyInt(), 2147483647);
    EXPECT_EQ(ArgumentScanner("-99999999999999").readInt(), -2147483647 - 1);
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
}

TEST(ScriptScan, WordsAreCutAtTheirCapacityButConsumedWhole) {
    const std::string text = std::string(600, 'w') + " next";
    ArgumentScanner scan(text);
    EXPECT_EQ(scan.readWord(511).size(), 511u);
    EXPECT_EQ(scan.readWord(511), "next");
}

TEST(ScriptScan, StripQuotesRemovesEveryDoubleQuote) {
    EXPECT_EQ(stripQuotes("\"My Page\""), "My Page");
    EXPECT_EQ(stripQuotes("a\"b\"\"c"), "abc");
}

TEST(ScriptScan, KeyNamesMapToVirtualKeyCodes) {
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
