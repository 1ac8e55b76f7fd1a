// The one case fold of the program: ASCII letters only, never the locale's. Script keywords,
// key names, commands, mark-up tags, bound keys and path components all compare through it,
// so a byte above 127 is never changed and never matches another.
#pragma once

#include <concepts>
#include <string>
#include <string_view>

namespace qvl {

// A to Z become a to z; every other value stays as it is. Works on characters and on wider
// codes alike (a key code of 321 is not a letter, whatever its low byte).
template <std::integral Code>
constexpr Code foldAscii(Code c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<Code>(c + ('a' - 'A')) : c;
}

inline std::string lowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = foldAscii(c);
    return lower;
}

constexpr bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (foldAscii(a[i]) != foldAscii(b[i])) return false;
    return true;
}

}  // namespace qvl
