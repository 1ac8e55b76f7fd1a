// A long run of the demo magazine on the headless backend: random keys (its bindings, the
// menu, scrolling, F9, "nextmusic") with the music playing, all three threads. At the end the
// viewer must still draw frames and play sound, and leave as asked; the address sanitizer's
// leak check runs when the test program ends. QVL_SOAK_SECONDS sets the virtual time (two
// minutes by default, an hour is 3600; 60 to 86400).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <set>

#include "../support/file_bytes.h"
#include "../support/scratch_dir.h"
#include "app/viewer.h"
#include "base/virtual_keys.h"
#include "platform/headless/headless_platform.h"
#include "script/magazine_model.h"
#include "sound/wave_output.h"

namespace qvl::testing {
namespace {

using Kind = HeadlessStep::Kind;

// Every key the demo answers, and some it does not; F12 is left out, it ends the run. The help
// page (F1, P) is left only by the Left arrow, which therefore comes three times as often.
constexpr int kKeys[] = {kVkReturn, kVkEscape, kVkSpace, kVkPrior, kVkNext,      kVkEnd,  kVkHome,
                         kVkLeft,   kVkLeft,   kVkLeft,  kVkUp,    kVkRight,     kVkDown, 'A',
                         'E',       'H',       'L',      'N',      'P',          'Q',     'R',
                         'Z',       '0',       '5',      '9',      kVkF1,        kVkF2,   kVkF3,
                         kVkF9,     kVkF9,     kVkF10,   kVkOem1,  kVkOemPeriod, kVkOem2};

using SoakTest = ScratchDir;

TEST_F(SoakTest, RandomKeysForALongTimeLeaveItDrawingAndPlaying) {
    // The demo, with the menu's Quit entry leading home instead: a random Return on it must not
    // end the soak early.
    std::filesystem::copy(QVL_SOURCE_DIR "/demo", dir(), std::filesystem::copy_options::recursive);
    const std::vector<uint8_t> bytes = readBytes(kScriptName);
    std::string script(bytes.begin(), bytes.end());
    ASSERT_NE(script.find(" exit now"), std::string::npos);
    writeFile(kScriptName, script.replace(script.find(" exit now"), 9, " jump 0"));
    const char* seconds = std::getenv("QVL_SOAK_SECONDS");
    const uint64_t totalMs =
        1000 * (seconds ? std::clamp(std::atoll(seconds), 60LL, 86400LL) : 120);
    HeadlessPlatform platform;
    platform.frameMs = 16;
    platform.keptAudioFrames = kMixRate * 2;
    // Keys at random moments, mostly quick ones, one in ten after a long look at a page.
    std::mt19937 random(20261206);
    std::uniform_int_distribution<size_t> pickKey(0, std::size(kKeys) - 1);
    std::uniform_int_distribution<uint32_t> shortWait(1, 400), longWait(400, 20000);
    std::uniform_int_distribution<int> chance(0, 9);
    std::set<size_t> pictures;  // hashes of what the screen showed now and then
    int keys = 0;
    for (uint64_t at = 0; at < totalMs - 5000;) {
        const uint32_t wait = std::min<uint64_t>(
            chance(random) == 0 ? longWait(random) : shortWait(random), totalMs - 5000 - at);
        at += wait;
        platform.steps.push_back({Kind::wait, wait, {}});
        platform.steps.push_back({Kind::key, static_cast<uint32_t>(kKeys[pickKey(random)]), {}});
        if (++keys % 4 == 0)
            platform.steps.push_back(
                {Kind::call, 0, [&] {
                     const std::vector<uint16_t> frame = platform.lastFrame();
                     pictures.insert(std::hash<std::u16string_view>{}(
                         {reinterpret_cast<const char16_t*>(frame.data()), frame.size()}));
                 }});
    }
    // The end: once any fade is over (it holds bindings back), the next song, which turns the
    // music on; two seconds later a count of frames and sound, two more, and F12.
    uint64_t framesBefore = 0, audioBefore = 0;
    auto count = [&] {
        framesBefore = platform.framesPresented();
        audioBefore = platform.audioFramesPlayed();
    };
    platform.steps.insert(platform.steps.end(), {{Kind::wait, 1000, {}},
                                                 {Kind::key, 'N', {}},
                                                 {Kind::wait, 2000, {}},
                                                 {Kind::call, 0, count},
                                                 {Kind::wait, 2000, {}},
                                                 {Kind::key, kVkF12, {}}});

    ASSERT_EQ(runViewer(platform), 0);
    EXPECT_TRUE(platform.messages().empty());
    EXPECT_GT(keys, static_cast<int>(totalMs / 2000));
    EXPECT_GE(pictures.size(), 4u);  // the keys led to pages, menu entries and scroll places
    // The clock went the whole way, drawing at the display's pace to the end, and the song
    // played through the last two seconds, which were kept.
    EXPECT_EQ(platform.audioFramesPlayed(), totalMs * kMixRate / 1000);
    EXPECT_GE(platform.framesPresented() - framesBefore, 2000u / 16);
    const std::vector<uint16_t> frame = platform.lastFrame();
    EXPECT_TRUE(std::any_of(frame.begin(), frame.end(), [](uint16_t p) { return p != 0; }));
    EXPECT_EQ(platform.audioFramesPlayed() - audioBefore, 2u * kMixRate);
    const std::vector<int16_t> audio = platform.playedAudio();
    ASSERT_EQ(audio.size(), 2u * 2 * kMixRate);
    const auto loud =
        std::count_if(audio.begin(), audio.end(), [](int16_t s) { return s > 256 || s < -256; });
    EXPECT_GT(loud, static_cast<long>(audio.size() / 10));
}

}  // namespace
}  // namespace qvl::testing
