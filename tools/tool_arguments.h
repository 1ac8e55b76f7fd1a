// What every tool beside the viewer answers on its own, whatever else its command line holds.
#pragma once

#include <cstdio>
#include <string_view>

namespace qvl {

// "--help" (or "-h") prints the tool's usage, "--version" its name and the project's version,
// both on standard output. True when arg was one of them: the tool then ends with exit code 0.
inline bool answeredHelpOrVersion(std::string_view arg, const char* name, const char* usage) {
    if (arg == "--help" || arg == "-h") {
        std::fputs(usage, stdout);
        return true;
    }
    if (arg == "--version") {
        std::printf("%s %s\n", name, QVL_VERSION);
        return true;
    }
    return false;
}

}  // namespace qvl
