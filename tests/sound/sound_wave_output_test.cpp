// The wave output on the headless ring device: the ring's sizes, the block choice, the first
// fill and the first lap of silence, and the thread ending cleanly.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "player/context.h"
#include "player/replay.h"
#include "player/xm_loader.h"
#include "song_builder.h"
#include "sound/memory_file.h"
#include "sound/wave_output.h"

namespace qvl::test {
namespace {

TEST(SoundWaveOutput, SizesAtCommonRates) {
    // 20 ms rounded up to a multiple of 4 frames; 20 blocks make 400 ms
    const int cases[][3] = {{44100, 884, 17680}, {48000, 960, 19200}, {22050, 444, 8880}};
    for (const auto& [rate, block, ring] : cases) {
        WaveOutputSizes s = waveOutputSizes(rate);
        EXPECT_EQ(s.framesPerBlock, block) << rate;
        EXPECT_EQ(s.ringFrames, ring) << rate;
        EXPECT_EQ(s.blockCount, 20) << rate;
    }
}

TEST(SoundWaveOutput, BlockChoice) {
    // While block 0 or 1 plays, any other block may be filled.
    for (int next = 0; next < 20; ++next) {
        EXPECT_EQ(mayFillBlock(next, 0, 20), next != 0) << next;
        EXPECT_EQ(mayFillBlock(next, 1, 20), next != 1) << next;
    }
    // While a later block plays, only the blocks below it: after a stall, the blocks due are
    // filled one a look, in order, up to the one playing.
    for (int next = 0; next < 20; ++next) EXPECT_EQ(mayFillBlock(next, 7, 20), next < 7) << next;
    // Steady state: the block that has just finished.
    EXPECT_TRUE(mayFillBlock(4, 5, 20));
    EXPECT_FALSE(mayFillBlock(5, 5, 20));
    // A next block above the one playing (after a long hold-up) waits for the play position
    // to pass it, unless block 0 or 1 is playing.
    EXPECT_FALSE(mayFillBlock(12, 2, 20));
    EXPECT_FALSE(mayFillBlock(12, 12, 20));
    EXPECT_TRUE(mayFillBlock(12, 13, 20));
    EXPECT_TRUE(mayFillBlock(19, 0, 20));
}

XmModule toneModule() {
    XmModule m = songOf(1, 64);
    put(m, 0, 0, 0, {noteC4, 1, 0, 0, 0});
    return m;
}

bool silent(const std::vector<int16_t>& audio, size_t from, size_t to) {
    return std::all_of(audio.begin() + 2 * from, audio.begin() + 2 * to,
                       [](int16_t s) { return s == 0; });
}

TEST(SoundWaveOutput, FirstFillAndTheFirstLapOfSilence) {
    HeadlessPlatform platform;
    PlayerContext context;
    std::vector<uint8_t> bytes = buildXm(toneModule());
    Song* song = loadBytes(context, bytes);
    ASSERT_NE(song, nullptr);
    {
        WaveOutput output(platform, platform, context);
        ASSERT_TRUE(output.openWaveOutput(kMixRate));
        ASSERT_TRUE(startSong(context, song));
        const int16_t* ring = output.ring();

        platform.setClock(20);  // 882 frames played: still in block 0
        EXPECT_EQ(output.blocksFilled(), 0u);
        platform.setClock(22);  // the first look in block 1 fills block 0
        EXPECT_EQ(output.blocksFilled(), 1u);
        std::vector<int16_t> block0(ring, ring + 2 * kFramesPerBlock),
            block1(ring + 2 * kFramesPerBlock, ring + 4 * kFramesPerBlock);
        EXPECT_TRUE(std::any_of(block0.begin(), block0.end(), [](int16_t s) { return s != 0; }));
        EXPECT_TRUE(std::all_of(block1.begin(), block1.end(), [](int16_t s) { return s == 0; }));

        platform.setClock(420);  // into the second lap
        std::vector<int16_t> played = platform.playedAudio();
        ASSERT_GE(played.size(), 2u * 18000);
        EXPECT_TRUE(silent(played, 0, 17680));       // the first 20 blocks
        EXPECT_FALSE(silent(played, 17680, 18000));  // then the song's first block
        EXPECT_LE(output.blocksFilled(), 20u);       // one block a block played, no more
        EXPECT_GE(output.blocksFilled(), 19u);
        // In lockstep every fill lands on the block that has just finished: 19 blocks ahead.
        EXPECT_EQ(output.stats().lowestLead, 19);
        EXPECT_EQ(output.stats().lateBlocks, 0u);
        freeSong(context, song);
    }
    EXPECT_FALSE(context.voicePool);  // closing released the voices
}

TEST(SoundWaveOutput, NoDeviceOrNoFileCallbacksNoOutput) {
    HeadlessPlatform platform, bare;
    platform.soundWorks = false;
    PlayerContext context, none;
    setFileCallbacks(context, memoryFileCallbacks());
    WaveOutput output(platform, platform, context), refused(bare, bare, none);
    EXPECT_FALSE(output.openWaveOutput(kMixRate));
    EXPECT_FALSE(output.isOpen());
    EXPECT_FALSE(refused.openWaveOutput(kMixRate));
    EXPECT_EQ(bare.calls(), std::vector<std::string>{});  // touched nothing
}

}  // namespace
}  // namespace qvl::test
