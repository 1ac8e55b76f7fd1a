// Reading the arguments of script lines the way formatted input reads them: "%d" and "%i"
// numbers, "%s" words, literal text, leading decimal counts; plus stripQuotes. Nothing here
// depends on the locale.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qvl {

// A copy of text with every double quote removed, wherever it stands.
std::string stripQuotes(std::string_view text);

// A leading decimal number: white space skipped, an optional sign, digits up to the first
// other character. Text without digits reads as 0; values beyond 32 bits saturate.
int32_t readDecimal(std::string_view text);

// Sequential reading of one argument text. As with formatted input, the first conversion that
// fails ends the reading: it and every later one give 0 or an empty word.
class ArgumentScanner {
  public:
    explicit ArgumentScanner(std::string_view text) : text_(text) {}

    int32_t readInt();     // "%d": signed decimal
    int32_t readAnyInt();  // "%i": decimal, hexadecimal after "0x", octal after a leading 0
    // "%s": one run of characters up to the next white space, cut at capacity characters.
    std::string readWord(size_t capacity);
    // Literal text of the format: it must follow here exactly (white space in it matches any
    // amount of white space, none included).
    bool matchLiteral(std::string_view literal);
    bool failed() const { return failed_; }

  private:
    void skipSpace();
    int32_t readNumber(int base);  // base 0 chooses by prefix, as "%i" does

    std::string_view text_;
    size_t at_ = 0;
    bool failed_ = false;
};

}  // namespace qvl
