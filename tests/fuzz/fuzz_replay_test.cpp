// Replays a fuzz target's inputs through its own entry point, linked in: the hand-made corpus
// and the project's files of its kind, then every input that ever made it fail. Each must be
// loaded or refused cleanly; the sanitizer build turns a memory fault into a failure. The
// inputs are listed when the test runs, so a new finding needs no rebuild.
#include <sstream>

#include "fuzz_replay.h"

namespace qvl::testing {
namespace {

const fs::path source = QVL_SOURCE_DIR;

// The targets that read files enter a scratch directory of their own: left and removed here.
class QVL_FUZZ_SUITE : public ::testing::Test {
  protected:
    void TearDown() override {
        const fs::path scratch = fs::current_path();
        if (scratch == before_ || !scratch.filename().string().starts_with("qvl-fuzz-")) return;
        fs::current_path(before_);
        fs::remove_all(scratch);
    }
    const fs::path before_ = fs::current_path();
};

// Each seed folder must hold inputs, so that a folder moved away is noticed; the hand-made
// corpus is optional.
TEST_F(QVL_FUZZ_SUITE, SeedsLoadOrAreRefusedCleanly) {
    replay(inputsUnder(source / "tests/fuzz/corpus" / QVL_FUZZ_TARGET));
    std::istringstream list(QVL_FUZZ_SEEDS);
    for (std::string folder; std::getline(list, folder, ',');) {
        const std::vector<fs::path> inputs = inputsUnder(source / folder);
        EXPECT_FALSE(inputs.empty()) << folder << " holds no inputs";
        replay(inputs);
    }
}

// The inputs that ever crashed the target or tripped a sanitizer, kept by scripts/run-fuzz.sh.
TEST_F(QVL_FUZZ_SUITE, RegressionsLoadOrAreRefusedCleanly) {
    const std::vector<fs::path> inputs =
        inputsUnder(source / "tests/fuzz/regressions" / QVL_FUZZ_TARGET);
    if (inputs.empty()) GTEST_SKIP() << "no regressions for this target";
    replay(inputs);
}

}  // namespace
}  // namespace qvl::testing
