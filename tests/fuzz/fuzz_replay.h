// Replays files through the fuzz target linked into the test program. Each input is named on
// standard error before it runs, so that a crash, an abort or a sanitizer report, which end
// the program, say which input did it.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "../support/file_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace qvl::testing {

namespace fs = std::filesystem;

// Every file in the folder and below, placeholders (dot files) left out; none for a folder
// that is missing.
inline std::vector<fs::path> inputsUnder(const fs::path& folder) {
    std::vector<fs::path> files;
    if (!fs::is_directory(folder)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
            files.push_back(entry.path());
    return files;
}

inline void replay(const std::vector<fs::path>& inputs) {
    for (const fs::path& input : inputs) {
        SCOPED_TRACE(input.string());
        std::fprintf(stderr, "replaying %s\n", input.string().c_str());
        const std::vector<uint8_t> bytes = readBytes(input);
        EXPECT_TRUE(fs::is_regular_file(input)) << "cannot read it";
        EXPECT_EQ(LLVMFuzzerTestOneInput(bytes.data(), bytes.size()), 0);
    }
}

}  // namespace qvl::testing
