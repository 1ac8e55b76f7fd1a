// The 16 keywords of the magazine script and their handlers, in the fixed order in which the
// dispatcher tests and runs them. A line runs every keyword its first word contains.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "script/reader_state.h"

namespace qvl {

// guard: the largest count "#definepages", "#definekeys", "#definemusic" and "#defineselects"
// accept; a negative or larger count fails its line instead of allocating without bound
inline constexpr int32_t kMaxDefineCount = 10000;
inline constexpr size_t kWordCapacity = 511;
inline constexpr size_t kOptionNameCapacity = 63;

// A handler takes the argument text of its line (empty when the line has none: every handler
// then reads its numbers as 0 and its words as empty) and returns false on failure.
using KeywordHandler = bool (*)(ScriptContext&, std::string_view argument);

struct KeywordEntry {
    std::string_view keyword;
    KeywordHandler handler;
};

using KeywordTable = std::array<KeywordEntry, 16>;
extern const KeywordTable kKeywordTable;

// The key names "#key" knows, with the code it stores and the key's label on a keyboard.
struct NamedKey {
    std::string_view name;
    uint8_t code;
    std::string_view label;
};
using NamedKeyTable = std::array<NamedKey, 12>;
extern const NamedKeyTable kNamedKeys;

// The named key of name (any letter case), or null.
const NamedKey* namedKey(std::string_view name);

// The key code "#key" stores for a key name: a named key's code, otherwise the name's first
// character as written (0 for no name).
uint8_t keyCodeFromName(std::string_view name);

}  // namespace qvl
