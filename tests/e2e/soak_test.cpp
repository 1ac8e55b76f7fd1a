// A long run of the demo magazine on the headless backend: random keys (its bindings, the
// menu, scrolling, F9, "nextmusic") with the music playing, all three threads. At the end the
// viewer must still draw frames and play sound, and leave as asked. The address sanitizer's
// leak check runs when the test program ends.
//
// QVL_SOAK_SECONDS sets the virtual time (two minutes by default; an hour is 3600; at least 60).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "../support/scratch_dir.h"
#include "app/viewer.h"
#include "base/virtual_keys.h"
#include "platform/headless/headless_platform.h"
#include "script/magazine_model.h"
#include "sound/wave_output.h"

namespace qvl::test {
namespace {

namespace fs = std::filesystem;
using Kind = HeadlessStep::Kind;

// Every key the demo answers, and some it does not; F12 is left out, it ends the run. The help
// page (F1, P) is left only by the Left arrow, which therefore comes three times as often.
constexpr int kKeys[] = {
    kVkReturn, kVkEscape,    kVkSpace, kVkPrior, kVkNext,  kVkEnd,  kVkHome,  // Return .. Home
    kVkLeft,   kVkLeft,      kVkLeft,  kVkUp,    kVkRight, kVkDown,           // the arrows
    'A',       'E',          'H',      'L',      'N',      'P',     'Q',
    'R',       'Z',          '0',      '5',      '9',               // bindings and others
    kVkF1,     kVkF2,        kVkF3,    kVkF9,    kVkF9,    kVkF10,  // F9 twice
    kVkOem1,   kVkOemPeriod, kVkOem2                                // punctuation
};

// FNV-1a over the pixels: pictures are told apart without keeping them (614400 bytes each).
uint64_t hashOf(const std::vector<uint16_t>& frame) {
    uint64_t hash = 14695981039346656037u;
    for (uint16_t pixel : frame) hash = (hash ^ pixel) * 1099511628211u;
    return hash;
}

uint32_t soakSeconds() {
    const char* text = std::getenv("QVL_SOAK_SECONDS");
    const long seconds = text ? std::strtol(text, nullptr, 10) : 0;
    return text ? static_cast<uint32_t>(std::clamp(seconds, 60L, 86400L))
                : 120;  // a minute to a day
}

class SoakTest : public testing::ScratchDir {
  protected:
    // The demo, with the menu's Quit entry leading home instead: a random Return on it must
    // not end the soak early.
    void SetUp() override {
        ScratchDir::SetUp();
        fs::copy(QVL_SOURCE_DIR "/demo", dir(), fs::copy_options::recursive);
        std::ifstream in(dir() / kScriptName, std::ios::binary);
        std::string script((std::istreambuf_iterator<char>(in)), {});
        const size_t quit = script.find(" exit now");
        ASSERT_NE(quit, std::string::npos);
        script.replace(quit, 9, " jump 0");
        writeFile(kScriptName, script);
    }
};

TEST_F(SoakTest, RandomKeysForALongTimeLeaveItDrawingAndPlaying) {
    const uint64_t totalMs = uint64_t{soakSeconds()} * 1000;
    HeadlessPlatform platform;
    platform.frameMs = 16;
    platform.keptAudioFrames = kMixRate * 2;

    // Keys at random moments, mostly quick ones, some after a long look at a page.
    std::mt19937 random(20261206);
    std::uniform_int_distribution<size_t> pickKey(0, std::size(kKeys) - 1);
    std::uniform_int_distribution<uint32_t> shortWait(1, 400), longWait(400, 20000);
    std::uniform_int_distribution<int> chance(0, 9);
    const uint64_t keysUntil = totalMs - 5000;
    uint64_t at = 0;
    int keys = 0;
    std::set<uint64_t> pictures;  // hashes of what the screen showed now and then
    while (at < keysUntil) {
        const uint32_t wait = std::min<uint64_t>(
            chance(random) == 0 ? longWait(random) : shortWait(random), keysUntil - at);
        platform.steps.push_back({Kind::wait, wait, {}});
        at += wait;
        platform.steps.push_back({Kind::key, static_cast<uint32_t>(kKeys[pickKey(random)]), {}});
        if (++keys % 4 == 0)
            platform.steps.push_back(
                {Kind::call, 0, [&] { pictures.insert(hashOf(platform.lastFrame())); }});
    }
    // The end: once any fade is over (it holds bindings back), the next song, which turns the
    // music on; then a look at frames and sound.
    uint64_t framesBefore = 0, audioBefore = 0;
    platform.steps.push_back({Kind::wait, 1000, {}});
    platform.steps.push_back({Kind::key, 'N', {}});
    platform.steps.push_back({Kind::wait, 2000, {}});
    platform.steps.push_back({Kind::call, 0, [&] {
                                  framesBefore = platform.framesPresented();
                                  audioBefore = platform.audioFramesPlayed();
                              }});
    platform.steps.push_back({Kind::wait, 2000, {}});
    platform.steps.push_back({Kind::key, kVkF12, {}});  // F12 ends it

    ASSERT_EQ(runViewer(platform), 0);
    EXPECT_TRUE(platform.messages().empty());
    EXPECT_GT(keys, static_cast<int>(totalMs / 2000));
    EXPECT_GE(pictures.size(), 4u);  // the keys led to pages, menu entries and scroll places

    // The clock went the whole way, drawing at the display's pace to the end.
    EXPECT_EQ(platform.audioFramesPlayed(), totalMs * kMixRate / 1000);
    EXPECT_GE(platform.framesPresented() - framesBefore, 2000u / 16);
    const std::vector<uint16_t> frame = platform.lastFrame();
    EXPECT_TRUE(std::any_of(frame.begin(), frame.end(), [](uint16_t p) { return p != 0; }));

    // The last two seconds were kept, and the song played through them.
    EXPECT_EQ(platform.audioFramesPlayed() - audioBefore, 2u * kMixRate);
    const std::vector<int16_t> audio = platform.playedAudio();
    ASSERT_EQ(audio.size(), 2u * 2 * kMixRate);
    const auto loud =
        std::count_if(audio.begin(), audio.end(), [](int16_t s) { return s > 256 || s < -256; });
    EXPECT_GT(loud, static_cast<long>(audio.size() / 10));
}

}  // namespace
}  // namespace qvl::test
