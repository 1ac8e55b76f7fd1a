// The replay's failure path, shown with a target of its own that aborts on inputs starting
// with "abort" as a reader with a fault would: the replay must end there, naming the input,
// and must pass over inputs the target takes.
#include <gtest/gtest-spi.h>

#include <cstdlib>
#include <string_view>

#include "../support/scratch_dir.h"
#include "fuzz_replay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (std::string_view(reinterpret_cast<const char*>(data), size).starts_with("abort"))
        std::abort();
    return 0;
}

namespace qvl::testing {
namespace {

class FuzzReplayFailure : public ScratchDir {};

TEST_F(FuzzReplayFailure, AnInputThatAbortsTheTargetEndsTheReplayAndIsNamed) {
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    writeFile("inputs/fine-1", "a file the target takes");
    writeFile("inputs/fine-2", "");
    replay(inputsUnder("inputs"));
    writeFile("inputs/sub/crash-1", "abort, as a faulty reader would");
    EXPECT_DEATH(replay(inputsUnder("inputs")), "replaying inputs/sub/crash-1\n$");
}

TEST_F(FuzzReplayFailure, AnInputThatCannotBeReadFails) {
    EXPECT_NONFATAL_FAILURE(replay({"inputs/none"}), "cannot read it");
}

}  // namespace
}  // namespace qvl::testing
