// The fuzz targets that read files work in a scratch directory of their own, made once.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <unistd.h>

#include "platform/headless/headless_platform.h"

namespace qvl::fuzz {

inline void enterScratchDirectory(const char* name) {
    static bool entered = false;
    if (entered) return;
    auto dir = std::filesystem::temp_directory_path() /
               (std::string(name) + "-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    entered = true;
}

inline void writeFile(const char* name, std::string_view bytes) {
    std::ofstream(name, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A platform whose messages are recorded, not printed, so the fuzzer's own output stays
// readable. Made once and never freed.
inline HeadlessPlatform& quietPlatform() {
    static HeadlessPlatform* platform = [] {
        auto* p = new HeadlessPlatform;
        p->quiet = true;
        return p;
    }();
    return *platform;
}

}  // namespace qvl::fuzz
