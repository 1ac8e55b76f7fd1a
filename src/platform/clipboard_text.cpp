// UTF-8 decoding, strict about overlong forms and surrogates, and the CR LF line ends.
#include "platform/clipboard_text.h"

#include <cstdint>

namespace qvl {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// The code point of the sequence at text[at], moving at past it; false (at moved by one byte)
// when the bytes there form no valid sequence.
bool decode(std::string_view text, size_t& at, char32_t& code) {
    const auto lead = static_cast<uint8_t>(text[at++]);
    if (lead < 0x80) {
        code = lead;
        return true;
    }
    // The sequence's length and the smallest code point it may carry (longer forms of smaller
    // ones are overlong and refused).
    int more = 0;
    char32_t least = 0;
    if ((lead & 0xE0) == 0xC0) {
        more = 1, least = 0x80, code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        more = 2, least = 0x800, code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        more = 3, least = 0x10000, code = lead & 0x07;
    } else {
        return false;  // a continuation byte or 0xF8 to 0xFF
    }
    if (text.size() - at < static_cast<size_t>(more)) return false;
    for (int i = 0; i < more; ++i) {
        const auto next = static_cast<uint8_t>(text[at + i]);
        if ((next & 0xC0) != 0x80) return false;
        code = (code << 6) | (next & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    at += more;
    return true;
}

}  // namespace

std::u16string clipboardText(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size() + utf8.size() / 16);
    for (size_t at = 0; at < utf8.size();) {
        // A lone LF becomes CR LF; a CR LF arrives whole through its CR and LF.
        if (utf8[at] == '\n' && (at == 0 || utf8[at - 1] != '\r')) out += u'\r';
        char32_t code = 0;
        if (!decode(utf8, at, code)) {
            out += kReplacement;
        } else if (code > 0xFFFF) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
    }
    return out;
}

}  // namespace qvl
