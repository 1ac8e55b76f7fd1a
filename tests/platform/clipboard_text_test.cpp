// The clipboard's UTF-16 text: line ends, characters of every length, and broken UTF-8, each
// expectation worked out by hand from the encodings.
#include <gtest/gtest.h>

#include "platform/clipboard_text.h"

namespace qvl {
namespace {

TEST(ClipboardText, Utf8LinesBecomeUtf16WithCrLf) {
    const std::pair<std::string_view, std::u16string_view> cases[] = {
        {"", u""},
        {"ab\ncd\n", u"ab\r\ncd\r\n"},
        {"\n\n", u"\r\n\r\n"},
        {"a\r\nb", u"a\r\nb"},  // already CR LF
        {"a\rb", u"a\rb"},
        {"\xC3\xA9t\xC3\xA9", u"\u00E9t\u00E9"},            // two bytes
        {"\xE2\x96\x91\xE2\x95\x90", u"\u2591\u2550"},      // three: shade, double line
        {"\xF0\x9F\x98\x80!", u"\xD83D\xDE00!"},            // four: a surrogate pair
        {"\xC0\xAF", u"\xFFFD\xFFFD"},                      // overlong slash
        {"\xE0\x80\xAF", u"\xFFFD\xFFFD\xFFFD"},            // overlong, three bytes
        {"\xED\xA0\x80", u"\xFFFD\xFFFD\xFFFD"},            // a surrogate's own code
        {"\xF4\x90\x80\x80", u"\xFFFD\xFFFD\xFFFD\xFFFD"},  // beyond U+10FFFF
        {"x\xE2\x96", u"x\xFFFD\xFFFD"},                    // cut short at the end
        {"\xE2\x96\n", u"\xFFFD\xFFFD\r\n"},                // cut short by a line end
        {"\xFF\xBF"
         "a",
         u"\xFFFD\xFFFD"
         u"a"},  // no lead byte at all
    };
    for (auto [utf8, expected] : cases)
        EXPECT_EQ(clipboardText(utf8), std::u16string(expected)) << testing::PrintToString(utf8);
}

}  // namespace
}  // namespace qvl
