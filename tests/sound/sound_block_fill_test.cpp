// The block fill: ticks at exact frames, mixing split at them, blocks that do not line up
// with ticks, and songs that are not playing. The xm2wav test hears a note rendered by it.
#include <gtest/gtest.h>

#include <vector>

#include "player/context.h"
#include "player/replay.h"
#include "player/song.h"
#include "player/voice.h"
#include "player/voice_control.h"
#include "player/xm_loader.h"
#include "song_builder.h"
#include "sound/block_fill.h"
#include "sound/wave_output.h"

namespace qvl::test {
namespace {

// Records the frame of each tick: a spare voice plays a long sample at step 1 from frame 0,
// so its position is the number of frames mixed so far.
std::vector<int64_t>* tickFrames = nullptr;

void countingTick(PlayerContext& context, Song& song) {
    tickFrames->push_back(context.voicePool[255].positionInt);
    songTick(context, song);
}

struct Fill {
    Player p;
    std::vector<int16_t> ring;
    std::vector<float> area;
    explicit Fill(const XmModule& m, int ringFrames = waveOutputSizes(kMixRate).ringFrames)
        : p(m), ring(2 * ringFrames, 0), area(2 * ringFrames, 0.0f) {}
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
        Voice& v = f.p.context.voicePool[255];
        startVoiceSample(f.p.context, 255, &clock);
        v.stepInt = 1;
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

}  // namespace
}  // namespace qvl::test
