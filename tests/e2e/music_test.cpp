// The magazine's music through the whole viewer on the headless backend: what the ring device
// plays equals what xm2wav renders of the same module, after the first lap of silence; F9 twice
// starts the song again from its beginning; "nextmusic" wraps to the first song; a missing
// module or sound device leaves the magazine silent.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../support/scratch_dir.h"
#include "../support/test_font.h"
#include "app/viewer.h"
#include "base/virtual_keys.h"
#include "platform/headless/headless_platform.h"
#include "script/magazine_model.h"
#include "sound/wave_output.h"

namespace qvl::test {
namespace {

using Kind = HeadlessStep::Kind;

constexpr size_t kRingFrames = waveOutputSizes(kMixRate).ringFrames;

class MusicTest : public testing::ScratchDir {
  protected:
    void SetUp() override {
        ScratchDir::SetUp();
        testing::writeTestFont(dir());
    }
    // The demo's songs, into "Music": the script names "music\...", found whatever the case.
    void copySongs() { std::filesystem::copy(QVL_SOURCE_DIR "/demo/music", "Music"); }
    void writeScript(const std::string& extra = "") {
        writeFile(kScriptName, "#startglobalconfig\n" + extra +
                                   "#definekeys 1\n#key 0 n nextmusic\n#endglobalconfig\n"
                                   "#definepages 1\n#definemusic 3\n#music 0 \"music\\intro.xm\"\n"
                                   "#music 1 \"music\\drift.xm\"\n#music 2 \"music\\pulse.xm\"\n"
                                   "#startpage 0 home\nhello\n");
    }
    // The frames xm2wav renders of a module, interleaved.
    std::vector<int16_t> render(const std::string& name, double seconds) {
        std::string command = "'" QVL_XM2WAV "' 'Music/" + name + "' out.wav --seconds " +
                              std::to_string(seconds) + " 2>/dev/null";
        int status = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
        std::ifstream in("out.wav", std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), {});
        std::vector<int16_t> samples(bytes.size() > 44 ? (bytes.size() - 44) / 2 : 0);
        if (!samples.empty()) std::memcpy(samples.data(), bytes.data() + 44, samples.size() * 2);
        return samples;
    }
    std::vector<int16_t> run(HeadlessPlatform& platform, std::vector<HeadlessStep> steps) {
        platform.steps = std::move(steps);
        EXPECT_EQ(runViewer(platform), 0);
        return platform.playedAudio();
    }
};

bool silent(std::vector<int16_t>::const_iterator from, std::vector<int16_t>::const_iterator to) {
    return std::all_of(from, to, [](int16_t s) { return s == 0; });
}

// The song's second block: by then the voices' volume ramps from a stop have run out, so a
// restart plays it exactly as a first start does.
std::vector<int16_t> secondBlock(const std::vector<int16_t>& rendered) {
    return {rendered.begin() + 2 * kFramesPerBlock, rendered.begin() + 4 * kFramesPerBlock};
}

// Where the song's second block lies in the audio, searching from frame `from`.
size_t findStart(const std::vector<int16_t>& audio, const std::vector<int16_t>& start,
                 size_t from) {
    auto at = std::search(audio.begin() + 2 * from, audio.end(), start.begin(), start.end());
    return at == audio.end() ? std::string::npos : static_cast<size_t>(at - audio.begin()) / 2;
}

// After the ring's first lap of silence the device plays exactly what xm2wav renders, panned
// (left and right differ). F9 at 2 s stops it and F9 at 2.3 s starts the song again from its
// beginning, once the old blocks have been played.
TEST_F(MusicTest, RingPlaysWhatXm2wavRendersAndF9TwiceRestarts) {
    copySongs();
    writeScript();
    HeadlessPlatform platform;
    std::vector<int16_t> played = run(platform, {{Kind::wait, 2000, {}},
                                                 {Kind::key, kVkF9, {}},
                                                 {Kind::wait, 300, {}},
                                                 {Kind::key, kVkF9, {}},
                                                 {Kind::wait, 1500, {}}});
    ASSERT_EQ(played.size(), 2u * 3800 * kMixRate / 1000);
    EXPECT_TRUE(silent(played.begin(), played.begin() + 2 * kRingFrames));
    const std::vector<int16_t> rendered = render("intro.xm", 2.0);
    const size_t frames = 2000 * kMixRate / 1000 - kRingFrames;
    ASSERT_GE(rendered.size(), 2 * frames);
    size_t panned = 0;  // a frame whose left and right differ
    while (panned < frames && rendered[2 * panned] == rendered[2 * panned + 1]) ++panned;
    EXPECT_LT(panned, frames);
    size_t mismatch = 0;
    while (mismatch < 2 * frames && played[2 * kRingFrames + mismatch] == rendered[mismatch])
        ++mismatch;
    EXPECT_EQ(mismatch, 2 * frames) << "first difference at frame " << mismatch / 2;

    const size_t first = findStart(played, secondBlock(rendered), 0);
    EXPECT_EQ(first, kRingFrames + kFramesPerBlock);
    const size_t again = findStart(played, secondBlock(rendered), first + 1);
    ASSERT_NE(again, std::string::npos);
    EXPECT_GT(again, 2300u * kMixRate / 1000);
    EXPECT_LT(again, 2300u * kMixRate / 1000 + kRingFrames + 3 * kFramesPerBlock);
    EXPECT_TRUE(silent(played.begin() + 2 * (again - 2 * kFramesPerBlock),
                       played.begin() + 2 * (again - kFramesPerBlock)));
}

// Music off at the start: nothing plays. Then next, next, next: drift, pulse, intro; pulse is
// replaced before it plays.
TEST_F(MusicTest, NextMusicOnTheLastSongGoesToTheFirstAndPlays) {
    copySongs();
    writeScript("#setglobaloption music off\n");
    HeadlessPlatform platform;
    std::vector<int16_t> played = run(platform, {{Kind::wait, 1000, {}},
                                                 {Kind::key, 'N', {}},
                                                 {Kind::key, 'N', {}},
                                                 {Kind::key, 'N', {}},
                                                 {Kind::wait, 1500, {}}});
    EXPECT_TRUE(silent(played.begin(), played.begin() + 2 * kMixRate));
    EXPECT_NE(findStart(played, secondBlock(render("intro.xm", 0.1)), kMixRate), std::string::npos);
    EXPECT_EQ(findStart(played, secondBlock(render("pulse.xm", 0.1)), 0), std::string::npos);
}

// A missing module, or a module without a sound device, leaves the magazine silent and running,
// with no message, whatever the music keys do.
TEST_F(MusicTest, MissingModuleOrSoundDeviceLeavesTheMagazineSilentAndRunning) {
    writeScript();
    for (bool device : {true, false}) {
        if (!device) copySongs();
        HeadlessPlatform platform;
        platform.soundWorks = device;
        std::vector<int16_t> played = run(platform, {{Kind::wait, 1000, {}},
                                                     {Kind::key, kVkF9, {}},
                                                     {Kind::key, kVkF9, {}},
                                                     {Kind::key, 'N', {}},
                                                     {Kind::wait, 500, {}}});
        EXPECT_EQ(played.size(), device ? 2u * 1500 * kMixRate / 1000 : 0u) << device;
        EXPECT_TRUE(silent(played.begin(), played.end())) << device;
        EXPECT_TRUE(platform.messages().empty()) << device;
        EXPECT_EQ(platform.framesPresented(), 1501u) << device;
    }
}

}  // namespace
}  // namespace qvl::test
