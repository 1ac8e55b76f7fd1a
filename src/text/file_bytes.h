// Reading a whole file that the magazine names (Windows-style, found through the path lookup)
// into memory: the one way the font, the imported texts and the script are read.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qvl {

inline constexpr size_t kMaxFileBytes = size_t{64} << 20;  // guard: larger files are refused

// False when the file cannot be opened, is not a regular file, or is larger than kMaxFileBytes.
bool readFileBytes(std::string_view windowsName, std::string& bytes);

}  // namespace qvl
