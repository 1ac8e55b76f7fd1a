// The Unicode code point of each code-page-437 character from 32 to 255, the glyph set the
// viewer's font holds.
#pragma once

#include <cstdint>

namespace qvl::makefont {

uint32_t cp437ToUnicode(int code);

}  // namespace qvl::makefont
