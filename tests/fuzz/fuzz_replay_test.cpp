// Replays a fuzz target's inputs through its own entry point, linked in: the hand-made corpus,
// every input that ever made it fail, and the project's files of its kind. Each must be loaded
// or refused cleanly; the sanitizer build turns a memory fault into a failure. The inputs are
// listed when the test runs, so a new finding needs no rebuild, and each is named before it is
// replayed, so a crash names its input.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "../support/file_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace qvl::test {
namespace {

namespace fs = std::filesystem;

const fs::path source = QVL_SOURCE_DIR;

// The target's folders under the source tree; only its corpus folder may be absent.
std::vector<fs::path> seedFolders() {
    std::vector<fs::path> folders = {fs::path("tests/fuzz/regressions") / QVL_FUZZ_TARGET};
    if (fs::is_directory(source / "tests/fuzz/corpus" / QVL_FUZZ_TARGET))
        folders.push_back(fs::path("tests/fuzz/corpus") / QVL_FUZZ_TARGET);
    std::istringstream list(QVL_FUZZ_SEEDS);
    for (std::string folder; std::getline(list, folder, ',');) folders.push_back(folder);
    return folders;
}

// Every file in those folders and below, relative to the source tree, placeholders (dot files)
// left out. A folder that is missing stands for itself, so that reading it fails.
std::vector<std::string> seedFiles() {
    std::vector<std::string> files;
    for (const fs::path& folder : seedFolders()) {
        if (!fs::is_directory(source / folder)) {
            files.push_back(folder.generic_string());
            continue;
        }
        for (const auto& entry : fs::recursive_directory_iterator(source / folder)) {
            if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
                files.push_back(fs::relative(entry.path(), source).generic_string());
        }
    }
    return files;
}

// QVL_FUZZ_SUITE names the target, as each target is a program of its own.
TEST(QVL_FUZZ_SUITE, EveryInputLoadsOrIsRefusedCleanly) {
    const fs::path before = fs::current_path();
    for (const std::string& input : seedFiles()) {
        SCOPED_TRACE(input);
        std::printf("replaying %s\n", input.c_str());
        std::fflush(stdout);
        EXPECT_TRUE(fs::is_regular_file(source / input)) << "cannot read it";
        const std::vector<uint8_t> bytes = testing::readBytes(source / input);
        EXPECT_EQ(LLVMFuzzerTestOneInput(bytes.data(), bytes.size()), 0);
    }
    // The targets that read files enter a scratch directory of their own: removed here.
    const fs::path scratch = fs::current_path();
    if (scratch != before && scratch.filename().string().starts_with("qvl-fuzz-")) {
        fs::current_path(before);
        fs::remove_all(scratch);
    }
}

}  // namespace
}  // namespace qvl::test
