// Number and word reading for script arguments. Numbers beyond 32 bits saturate instead of
// overflowing, and words are cut at their field capacity.
#include "script/script_scan.h"

#include <limits>

#include "base/ascii_case.h"

namespace qvl {

namespace {

bool isSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    const char f = foldAscii(c);
    if (f >= 'a' && f <= 'z') return f - 'a' + 10;
    return 99;
}

// Reads digits of base from text at `at`; false when there is none. Saturates at 2^31.
bool readDigits(std::string_view text, size_t& at, int base, int64_t& value) {
    constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    const size_t start = at;
    value = 0;
    while (at < text.size() && digitValue(text[at]) < base) {
        value = value * base + digitValue(text[at]);
        if (value > kLimit) value = kLimit;  // guard: huge numbers saturate
        ++at;
    }
    return at > start;
}

int32_t clampToInt32(int64_t value) {
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

}  // namespace

std::string stripQuotes(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text)
        if (c != '"') result += c;
    return result;
}

int32_t readDecimal(std::string_view text) {
    size_t at = 0;
    while (at < text.size() && isSpace(text[at])) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    int64_t value = 0;
    if (!readDigits(text, at, 10, value)) return 0;
    return clampToInt32(negative ? -value : value);
}

void ArgumentScanner::skipSpace() {
    while (at_ < text_.size() && isSpace(text_[at_])) ++at_;
}

int32_t ArgumentScanner::readNumber(int base) {
    if (failed_) return 0;
    skipSpace();
    size_t at = at_;
    bool negative = false;
    if (at < text_.size() && (text_[at] == '+' || text_[at] == '-')) negative = text_[at++] == '-';
    if (base == 0) {
        if (at + 1 < text_.size() && text_[at] == '0' && foldAscii(text_[at + 1]) == 'x' &&
            at + 2 < text_.size() && digitValue(text_[at + 2]) < 16) {
            base = 16;
            at += 2;
        } else if (at < text_.size() && text_[at] == '0') {
            base = 8;
        } else {
            base = 10;
        }
    }
    int64_t value = 0;
    if (!readDigits(text_, at, base, value)) {
        failed_ = true;
        return 0;
    }
    at_ = at;
    return clampToInt32(negative ? -value : value);
}

int32_t ArgumentScanner::readInt() {
    return readNumber(10);
}
int32_t ArgumentScanner::readAnyInt() {
    return readNumber(0);
}

std::string ArgumentScanner::readWord(size_t capacity) {
    if (failed_) return {};
    skipSpace();
    const size_t start = at_;
    while (at_ < text_.size() && !isSpace(text_[at_])) ++at_;
    if (at_ == start) {
        failed_ = true;
        return {};
    }
    // guard: a word longer than its field is cut; the rest of it is still consumed
    return std::string(text_.substr(start, std::min(at_ - start, capacity)));
}

bool ArgumentScanner::matchLiteral(std::string_view literal) {
    if (failed_) return false;
    for (char c : literal) {
        if (isSpace(c)) {
            skipSpace();
        } else if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
        } else {
            failed_ = true;
            return false;
        }
    }
    return true;
}

}  // namespace qvl
