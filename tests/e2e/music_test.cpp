// The magazine's music through the whole viewer on the headless backend: what the ring device
// plays equals what xm2wav renders of the same module, after the first lap of silence; F9 twice
// starts the song again from its beginning; "nextmusic" wraps to the first song; a missing
// module or sound device leaves the magazine silent.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "../support/file_bytes.h"
#include "../support/scratch_dir.h"
#include "../support/test_font.h"
#include "app/viewer.h"
#include "platform/headless/headless_platform.h"
#include "script/magazine_model.h"
#include "sound/wave_output.h"

namespace qvl::testing {
namespace {

constexpr size_t kRingFrames = waveOutputSizes(kMixRate).ringFrames;
using Audio = std::vector<int16_t>;

class MusicTest : public ScratchDir {
  protected:
    void SetUp() override {
        ScratchDir::SetUp();
        writeTestFont(dir());
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
    Audio render(const std::string& name, double seconds) {
        std::string command = "'" QVL_XM2WAV "' 'Music/" + name + "' out.wav --seconds " +
                              std::to_string(seconds) + " 2>/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        const std::vector<uint8_t> bytes = readBytes("out.wav");
        Audio samples(bytes.size() > 44 ? (bytes.size() - 44) / 2 : 0);
        if (!samples.empty()) std::memcpy(samples.data(), bytes.data() + 44, samples.size() * 2);
        return samples;
    }
    // Runs the viewer through steps such as "w1000 k120": wait 1000 ms, press virtual key 120.
    Audio run(HeadlessPlatform& platform, const std::string& steps) {
        std::istringstream in(steps);
        char kind;
        uint32_t value;
        while (in >> kind >> value)
            platform.steps.push_back(
                {kind == 'w' ? HeadlessStep::Kind::wait : HeadlessStep::Kind::key, value, {}});
        EXPECT_EQ(runViewer(platform), 0);
        return platform.playedAudio();
    }
};

bool silent(Audio::const_iterator from, Audio::const_iterator to) {
    return std::all_of(from, to, [](int16_t s) { return s == 0; });
}

// Where the song's second block (by then the voices' volume ramps from a stop have run out, so
// a restart plays it exactly as a first start does) lies in the audio, from frame `from` on.
size_t findStart(const Audio& audio, const Audio& rendered, size_t from) {
    auto block = rendered.begin() + 2 * kFramesPerBlock;
    auto at =
        std::search(audio.begin() + 2 * from, audio.end(), block, block + 2 * kFramesPerBlock);
    return at == audio.end() ? std::string::npos : static_cast<size_t>(at - audio.begin()) / 2;
}

// After the ring's first lap of silence the device plays exactly what xm2wav renders, panned
// (left and right differ). F9 at 2 s stops it and F9 at 2.3 s starts the song again from its
// beginning, once the old blocks have been played.
TEST_F(MusicTest, RingPlaysWhatXm2wavRendersAndF9TwiceRestarts) {
    copySongs();
    writeScript();
    HeadlessPlatform platform;
    const Audio played = run(platform, "w2000 k120 w300 k120 w1500");
    ASSERT_EQ(played.size(), 2u * 3800 * kMixRate / 1000);
    EXPECT_TRUE(silent(played.begin(), played.begin() + 2 * kRingFrames));
    const Audio rendered = render("intro.xm", 2.0);
    const size_t frames = 2000 * kMixRate / 1000 - kRingFrames;
    ASSERT_GE(rendered.size(), 2 * frames);
    bool panned = false;
    for (size_t i = 0; i < frames; ++i) panned |= rendered[2 * i] != rendered[2 * i + 1];
    EXPECT_TRUE(panned);
    auto differs = std::mismatch(rendered.begin(), rendered.begin() + 2 * frames,
                                 played.begin() + 2 * kRingFrames);
    EXPECT_EQ(differs.first, rendered.begin() + 2 * frames)
        << "first difference at frame " << (differs.first - rendered.begin()) / 2;

    const size_t first = findStart(played, rendered, 0);
    EXPECT_EQ(first, kRingFrames + kFramesPerBlock);
    const size_t again = findStart(played, rendered, first + 1);
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
    const Audio played = run(platform, "w1000 k78 k78 k78 w1500");
    EXPECT_TRUE(silent(played.begin(), played.begin() + 2 * kMixRate));
    EXPECT_NE(findStart(played, render("intro.xm", 0.1), kMixRate), std::string::npos);
    EXPECT_EQ(findStart(played, render("pulse.xm", 0.1), 0), std::string::npos);
}

// A missing module, or a module without a sound device, leaves the magazine silent and running,
// with no message, whatever the music keys (F9, F9, N) do.
TEST_F(MusicTest, MissingModuleOrSoundDeviceLeavesTheMagazineSilentAndRunning) {
    writeScript();
    for (bool device : {true, false}) {
        if (!device) copySongs();
        HeadlessPlatform platform;
        platform.soundWorks = device;
        const Audio played = run(platform, "w1000 k120 k120 k78 w500");
        EXPECT_EQ(played.size(), device ? 2u * 1500 * kMixRate / 1000 : 0u) << device;
        EXPECT_TRUE(silent(played.begin(), played.end())) << device;
        EXPECT_TRUE(platform.messages().empty()) << device;
        EXPECT_EQ(platform.framesPresented(), 1501u) << device;
    }
}

}  // namespace
}  // namespace qvl::testing
