// The synthesised samples themselves: the kick's pitch drops, the hi-hat is brighter than
// the snare, plucks darken as they ring, and forward loops join without a step.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "drum_samples.h"
#include "tone_samples.h"

namespace qvl::test {
namespace {

// Sign changes per second over frames [from, to) of a sample played at `rate`.
double crossingsPerSecond(const XmSample& s, double rate, int from, int to) {
    int crossings = 0;
    for (int i = from + 1; i < to; ++i) crossings += (s.frames[i - 1] < 0) != (s.frames[i] < 0);
    return crossings * rate / (to - from);
}

int largestStep(const std::vector<int>& f, size_t from, size_t to) {
    int largest = 0;
    for (size_t i = from + 1; i < to; ++i) largest = std::max(largest, std::abs(f[i] - f[i - 1]));
    return largest;
}

TEST(MakeMusicSamples, TheKickDropsFromItsStartPitchToItsEndPitch) {
    music::KickShape shape;  // 160 Hz falling to 48 Hz
    const XmSample kick = music::kickSample(shape);
    ASSERT_EQ(kick.frames.size(), static_cast<size_t>(shape.seconds * shape.rate));
    // a sine crosses zero twice a cycle
    const double early = crossingsPerSecond(kick, shape.rate, 0, shape.rate / 50) / 2;
    const double late = crossingsPerSecond(kick, shape.rate, shape.rate / 5, shape.rate / 4) / 2;
    EXPECT_GT(early, 100);
    EXPECT_NEAR(late, shape.endHz, 0.2 * shape.endHz);
    EXPECT_EQ(kick.frames.back(), 0);  // faded out, no step at the end
}

TEST(MakeMusicSamples, TheHatIsBrighterThanTheSnare) {
    const XmSample hat = music::hatSample({});
    const XmSample snare = music::snareSample({});
    EXPECT_FALSE(hat.sixteenBit);
    const double hatRate = crossingsPerSecond(hat, 44100, 0, 1000);
    const double snareRate = crossingsPerSecond(snare, 44100, 0, 4000);
    EXPECT_GT(hatRate, 8000);
    EXPECT_GT(hatRate, 1.5 * snareRate);
}

TEST(MakeMusicSamples, PlucksDarkenIntoTheirLoopedCycle) {
    const music::PluckShape shape;
    const XmSample pluck = music::pluckedSample(shape);
    const size_t p = shape.cycleFrames;
    ASSERT_EQ(pluck.loopLength, p);
    ASSERT_EQ(pluck.loopStart + pluck.loopLength, pluck.frames.size());
    // the saw's edge gets softer as its upper harmonics fade
    EXPECT_GT(largestStep(pluck.frames, 0, p),
              2 * largestStep(pluck.frames, pluck.loopStart, pluck.frames.size()));
}

TEST(MakeMusicSamples, ForwardLoopsJoinWithoutAStep) {
    const XmSample samples[] = {music::pluckedSample({}), music::padSample({}),
                                music::noiseLoopSample(22050, 8192, 2000, 59)};
    for (const XmSample& s : samples) {
        ASSERT_EQ(s.loopBits, 1);
        const size_t start = s.loopStart, end = s.loopStart + s.loopLength;
        ASSERT_LE(end, s.frames.size());
        // from the last frame of the loop back to its first is a step like any other
        const int seam = std::abs(s.frames[start] - s.frames[end - 1]);
        EXPECT_LE(seam, largestStep(s.frames, start, end)) << s.frames.size();
    }
}

}  // namespace
}  // namespace qvl::test
