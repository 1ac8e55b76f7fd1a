// Reading numbers and words as the script's formats do, key names and stripQuotes.
#include <gtest/gtest.h>

#include "base/virtual_keys.h"
#include "script/keyword_table.h"
#include "script/script_scan.h"

namespace qvl {
namespace {

TEST(ScriptScan, AnyIntReadsDecimalHexadecimalAndOctal) {
    ArgumentScanner scan("  010 0x0a 12abc -7 0X1F 08");
    EXPECT_EQ(scan.readAnyInt(), 8);
    EXPECT_EQ(scan.readAnyInt(), 10);
    EXPECT_EQ(scan.readAnyInt(), 12);
    EXPECT_EQ(scan.readWord(511), "abc");  // reading stopped at the first letter
    EXPECT_EQ(scan.readAnyInt(), -7);
    EXPECT_EQ(scan.readAnyInt(), 31);
    EXPECT_EQ(scan.readAnyInt(), 0);  // "08": the octal number ends before the 8
    EXPECT_EQ(scan.readAnyInt(), 8);
    EXPECT_FALSE(scan.failed());
}

TEST(ScriptScan, DecimalIntReadsHexadecimalAsZero) {
    ArgumentScanner scan("0x2 010 12abc");
    EXPECT_EQ(scan.readInt(), 0);
    EXPECT_EQ(scan.readWord(511), "x2");
    EXPECT_EQ(scan.readInt(), 10);
    EXPECT_EQ(scan.readInt(), 12);
}

TEST(ScriptScan, FirstFailureEndsTheReading) {
    ArgumentScanner scan("abc 5 word");
    EXPECT_EQ(scan.readInt(), 0);
    EXPECT_TRUE(scan.failed());
    EXPECT_EQ(scan.readInt(), 0);
    EXPECT_EQ(scan.readWord(511), "");

    ArgumentScanner words("one");
    EXPECT_EQ(words.readWord(511), "one");
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

TEST(ScriptScan, NumbersSaturateInsteadOfOverflowing) {
    EXPECT_EQ(ArgumentScanner("99999999999999").readAnyInt(), 2147483647);
    EXPECT_EQ(ArgumentScanner("-99999999999999").readInt(), -2147483647 - 1);
    EXPECT_EQ(readDecimal("123456789012345"), 2147483647);
}

TEST(ScriptScan, DecimalCountsReadLikeALeadingNumber) {
    EXPECT_EQ(readDecimal("  12abc"), 12);
    EXPECT_EQ(readDecimal("-3"), -3);
    EXPECT_EQ(readDecimal("+4"), 4);
    EXPECT_EQ(readDecimal("0x10"), 0);
    EXPECT_EQ(readDecimal("010"), 10);
    EXPECT_EQ(readDecimal("fast"), 0);
    EXPECT_EQ(readDecimal(""), 0);
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
    EXPECT_EQ(stripQuotes("plain"), "plain");
}

TEST(ScriptScan, KeyNamesMapToVirtualKeyCodes) {
    EXPECT_EQ(keyCodeFromName("esc"), kVkEscape);
    EXPECT_EQ(keyCodeFromName("ESC"), kVkEscape);
    EXPECT_EQ(keyCodeFromName("f1"), kVkF1);
    EXPECT_EQ(keyCodeFromName("F3"), kVkF3);
    EXPECT_EQ(keyCodeFromName("f8"), kVkF8);
    EXPECT_EQ(keyCodeFromName("pl"), kVkLeft);
    EXPECT_EQ(keyCodeFromName("Pr"), kVkRight);
    EXPECT_EQ(keyCodeFromName("space"), kVkSpace);
    EXPECT_EQ(keyCodeFromName("q"), kVkF2);  // 'q' is the code of F2
    EXPECT_EQ(keyCodeFromName("Q"), 'Q');    // as written: never lower-cased
    EXPECT_EQ(keyCodeFromName("enter"), 'e');
    EXPECT_EQ(keyCodeFromName("f9"), 'f');
    EXPECT_EQ(keyCodeFromName("1"), '1');
    EXPECT_EQ(keyCodeFromName(""), 0);
}

}  // namespace
}  // namespace qvl
