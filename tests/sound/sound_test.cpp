// The sound side: the in-memory module file, the ring's sizes and block choice, the block
// fill's ticks at exact frames, and the wave output on the headless ring device. The xm2wav
// test hears a note rendered by the block fill.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../support/file_bytes.h"
#include "platform/headless/headless_platform.h"
#include "player/context.h"
#include "player/replay.h"
#include "player/voice_control.h"
#include "player/xm_loader.h"
#include "song_builder.h"
#include "sound/block_fill.h"
#include "sound/memory_file.h"
#include "sound/wave_output.h"

namespace qvl::test {
namespace {

TEST(SoundMemoryFile, FilesAndBytesReadSeekAndEndAlike) {
    std::vector<uint8_t> bytes(4000);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i * 7);
    const std::string name = ::testing::TempDir() + "memory_file.bin", empty = name + ".empty";
    testing::writeBytes(name, bytes);
    testing::writeBytes(empty, {});
    EXPECT_EQ(memoryFileOpen("/nonexistent/module.xm"), nullptr);
    const FileCallbacks file = memoryFileCallbacks();
    ASSERT_TRUE(file.complete());
    for (MemoryFile* f : {memoryFileOpen(name.c_str()), memoryFileFromBytes(bytes)}) {
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->size, 4000);
        uint8_t buffer[100];
        EXPECT_EQ(file.seek(f, 3950, 0), f);
        EXPECT_EQ(memoryFileRead(buffer, 50, f), 50u);  // exactly the remaining bytes
        EXPECT_EQ(buffer[49], uint8_t(3999 * 7));
        EXPECT_EQ(memoryFileRead(buffer, 10, f), 0u);
        file.seek(f, -30, 1);
        EXPECT_EQ(file.read(buffer, 100, f), 30u);  // only up to the end
        EXPECT_EQ(buffer[0], uint8_t(3970 * 7));
        const long seeks[][3] = {{1000000, 0, 4000}, {-5000, 1, 0}, {12, 2, 4000}};
        for (const auto& [offset, whence, position] : seeks) {
            memoryFileSeek(f, offset, int8_t(whence));  // held to 0..size; from the end: the end
            EXPECT_EQ(file.tell(f), position) << offset;
        }
        file.close(f);
    }
    for (MemoryFile* f : {memoryFileOpen(empty.c_str()), memoryFileFromBytes({})}) {
        ASSERT_NE(f, nullptr);
        uint8_t b;
        EXPECT_EQ(memoryFileRead(&b, 1, f), 0u);
        memoryFileClose(f);
    }
}

TEST(SoundWaveOutput, SizesAndBlockChoice) {
    // 20 ms rounded up to a multiple of 4 frames; 20 blocks make 400 ms
    const int cases[][3] = {{44100, 884, 17680}, {48000, 960, 19200}, {22050, 444, 8880}};
    for (const auto& [rate, block, ring] : cases) {
        const WaveOutputSizes s = waveOutputSizes(rate);
        EXPECT_EQ(std::vector({s.framesPerBlock, s.ringFrames, s.blockCount}),
                  std::vector({block, ring, 20}));
    }
    // While block 0 or 1 plays, any other block may be filled; while a later one plays, only
    // the blocks below it (the one just finished, or those due after a stall).
    for (int current = 0; current < 20; ++current)
        for (int next = 0; next < 20; ++next)
            EXPECT_EQ(mayFillBlock(next, current, 20),
                      next != current && (current < 2 || next < current))
                << next << " " << current;
}

// Records the frame of each tick: a spare voice plays a long sample at step 1 from frame 0,
// so its position is the number of frames mixed so far.
std::vector<int64_t>* tickFrames = nullptr;

void countingTick(PlayerContext& context, Song& song) {
    tickFrames->push_back(context.voicePool[255].positionInt);
    songTick(context, song);
}

struct Fill {
    Player p;
    std::vector<int16_t> ring = std::vector<int16_t>(2 * 17680);
    std::vector<float> area = std::vector<float>(2 * 17680);
    explicit Fill(const XmModule& m) : p(m) {}
    void block(int offset, int frames) {
        fillBlock(p.context, ring.data(), area.data(), offset, frames);
    }
};

TEST(SoundBlockFill, TicksFallOnExactFrames) {
    Sample clock;
    clock.length = clock.loopLength = 200000;
    clock.loopType = 1;
    clock.storage = std::make_unique<int16_t[]>(clock.length + 64);
    clock.data = clock.storage.get() + samplePadFrames;
    for (int blockSize : {kFramesPerBlock, kFramesPerBlock - 1, 1}) {
        std::vector<int64_t> frames;
        tickFrames = &frames;
        Fill f(songOf(1, 64));  // 125 BPM: 882 frames a tick
        f.p.song->tickRoutine = countingTick;
        startVoiceSample(f.p.context, 255, &clock);
        f.p.context.voicePool[255].stepInt = 1;
        // the song ticks at the very first frame, then every 882 frames, across the blocks
        int rendered = 0;
        for (; rendered < kFramesPerBlock * 10; rendered += blockSize)
            f.block(rendered % (kFramesPerBlock * 10), blockSize);
        ASSERT_EQ(frames.size(), static_cast<size_t>((rendered + 881) / 882)) << blockSize;
        for (size_t i = 0; i < frames.size(); ++i) EXPECT_EQ(frames[i], int64_t(i) * 882) << i;
    }
}

TEST(SoundBlockFill, OddBlocksGiveTheSameFramesAsWholeOnes) {
    XmModule m = songOf(2, 16, 1, 3);
    put(m, 0, 0, 0, {noteC4, 1, 0, 0, 0});
    put(m, 0, 0, 1, {noteC4 + 7, 1, 0x20, 0, 0});
    put(m, 0, 4, 0, {noteC4 + 3, 1, 0, 0, 0});
    // whole blocks against blocks split at odd places: the ticks fall on the same frames
    Fill whole(m), odd(m);
    for (int b = 0; b < 8; ++b) whole.block(b * kFramesPerBlock, kFramesPerBlock);
    int at = 0;
    for (int size : {1, 883, 500, 384, 884, 2, 1768, 1000, 1}) {
        odd.block(at, size);
        at += size;
    }
    // a ramp restarts from the volume reached, rounded, at every call, so while the notes'
    // first ramps run the two may differ a little; once they have settled, not at all
    for (int i = 0; i < 2 * 1000; ++i) ASSERT_NEAR(whole.ring[i], odd.ring[i], 8) << i;
    for (int i = 2 * 1000; i < 2 * at; ++i) ASSERT_EQ(whole.ring[i], odd.ring[i]) << i;
}

TEST(SoundBlockFill, SilenceWithoutSongsAndSkippedStoppedSongs) {
    Fill f(songOf(1, 4));
    std::fill(f.ring.begin(), f.ring.end(), 77);
    std::fill(f.area.begin(), f.area.end(), 5.0f);
    stopSong(f.p.context, f.p.song);
    f.block(kFramesPerBlock, kFramesPerBlock);
    for (int i = 2 * kFramesPerBlock; i < 4 * kFramesPerBlock; ++i) ASSERT_EQ(f.ring[i], 0);
    EXPECT_EQ(f.ring[0], 77);  // only the block is written
    // linked but not playing: neither ticked nor mixed
    startSong(f.p.context, f.p.song);
    f.p.song->playing = 0;
    f.block(0, kFramesPerBlock);
    EXPECT_EQ(f.p.song->samplesToTick, 0);
    EXPECT_EQ(f.p.song->rowCells, nullptr);
}

bool silent(const int16_t* from, const int16_t* to) {
    return std::all_of(from, to, [](int16_t s) { return s == 0; });
}

TEST(SoundWaveOutput, FirstFillAndTheFirstLapOfSilence) {
    HeadlessPlatform platform;
    PlayerContext context;
    XmModule m = songOf(1, 64);
    put(m, 0, 0, 0, {noteC4, 1, 0, 0, 0});
    std::vector<uint8_t> bytes = buildXm(m);
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
        EXPECT_FALSE(silent(ring, ring + 2 * kFramesPerBlock));
        EXPECT_TRUE(silent(ring + 2 * kFramesPerBlock, ring + 4 * kFramesPerBlock));

        platform.setClock(420);  // into the second lap
        std::vector<int16_t> played = platform.playedAudio();
        ASSERT_GE(played.size(), 2u * 18000);
        EXPECT_TRUE(silent(&played[0], &played[2 * 17680]));           // the first 20 blocks
        EXPECT_FALSE(silent(&played[2 * 17680], &played[2 * 18000]));  // then the song's first
        EXPECT_LE(output.blocksFilled(), 20u);  // one block a block played, no more
        EXPECT_GE(output.blocksFilled(), 19u);
        // In lockstep every fill lands on the block that has just finished: 19 blocks ahead.
        EXPECT_EQ(output.stats().lowestLead, 19);
        EXPECT_EQ(output.stats().lateBlocks, 0u);
        freeSong(context, song);
    }
    EXPECT_FALSE(context.voicePool);  // closing released the voices
}

// What the device plays in the first 1.2 s of a song that stops at 300 ms and starts again
// after a pause of 200 ms, its output driven one way or the other: by the output thread while
// the test sleeps through the pause, or by hand, one step every 2 virtual ms, the pause waited
// out by the step. No block boundary falls within 2 ms before 300 or 500 ms, so both take
// the stop and the start before the same fill.
std::vector<int16_t> playedWhenDriven(OutputDriver driver) {
    HeadlessPlatform platform;
    PlayerContext context;
    XmModule m = songOf(1, 64);
    put(m, 0, 0, 0, {noteC4, 1, 0, 0, 0});
    put(m, 0, 8, 0, {noteC4 + 5, 1, 0, 0, 0});
    std::vector<uint8_t> bytes = buildXm(m);
    Song* song = loadBytes(context, bytes);
    WaveOutput output(platform, platform, context);
    if (!song || !output.openWaveOutput(kMixRate, driver) || !startSong(context, song)) return {};
    EXPECT_EQ(output.threaded(), driver == OutputDriver::thread);
    int filled = 0;
    bool started = false;
    for (int ms = 2; ms <= 1200; ms += 2) {
        platform.setClock(ms);
        if (ms == 300) {
            stopSong(context, song);
            if (driver == OutputDriver::caller)
                output.afterPlayed(200, [&] { started = startSong(context, song); });
        }
        if (ms == 500 && driver == OutputDriver::thread) started = startSong(context, song);
        if (driver == OutputDriver::caller) filled += output.outputStep();
        EXPECT_EQ(started, ms >= 500) << ms;  // the step starts it once the device played 500 ms
    }
    freeSong(context, song);
    if (driver == OutputDriver::caller) {
        EXPECT_EQ(uint64_t(filled), output.blocksFilled());
        output.afterPlayed(0, [] { ADD_FAILURE() << "ran after the close"; });
        output.closeWaveOutput();
        EXPECT_FALSE(output.outputStep());  // nothing left to look at
        EXPECT_FALSE(output.takeWaiting());
    }
    return platform.playedAudio();
}

TEST(SoundWaveOutput, StepsByHandFillTheRingAsTheThreadDoes) {
    const std::vector<int16_t> byHand = playedWhenDriven(OutputDriver::caller);
    ASSERT_EQ(byHand.size(), 2u * 44100 * 1200 / 1000);
    // the song's notes after the first lap of silence: the steps did fill the ring
    EXPECT_FALSE(silent(&byHand[2 * 17680], &byHand[2 * 26000]));
    // The pause: from the fill after 300 ms (of block 14, which ended at 300.7 ms) to the one
    // before 500 ms, ten blocks are silent; the song is back in the fill at 501.1 ms. Each is
    // heard a lap (20 blocks) after it was filled.
    const size_t quiet = 2 * (14 + 20) * size_t(kFramesPerBlock),
                 back = quiet + 2 * 10 * size_t(kFramesPerBlock);
    EXPECT_FALSE(silent(&byHand[quiet - 2 * 300], &byHand[quiet]));
    EXPECT_TRUE(silent(&byHand[quiet], &byHand[back]));
    EXPECT_FALSE(silent(&byHand[back], &byHand[back + 2 * 300]));
    EXPECT_EQ(byHand, playedWhenDriven(OutputDriver::thread));
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
