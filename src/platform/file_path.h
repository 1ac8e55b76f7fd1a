// Turns a file name written the Windows way ("data\system\font.bmp") into a path this
// system can open: backslashes become the separator, and on case-sensitive file systems each
// component is found whatever its letter case, as Windows would find it.
#pragma once

#include <string>
#include <string_view>

namespace qvl {

// Relative names are taken from the working directory. A component that matches nothing is
// kept as written, so opening the result fails the ordinary way.
std::string resolvePath(std::string_view windowsName);

}  // namespace qvl
