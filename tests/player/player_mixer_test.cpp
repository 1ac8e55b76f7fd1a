// Voices and mixer: ramp lengths, starts, boundaries and loop turns at worked positions,
// ramps, frames worked out by hand, and conversion to 16 bits.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "player/context.h"
#include "player/mix_kernels.h"
#include "player/mixer.h"
#include "player/song.h"
#include "player/voice.h"
#include "player/voice_control.h"
#include "song_builder.h"
#include "sound/wave_output.h"

namespace qvl::test {
namespace {

struct Mixer {
    PlayerContext context;
    Mixer() { openVoices(context, kMixRate); }
    Voice& voice(int i) { return context.voicePool[i]; }
    // Starts voice 0 on the sample at a position, with a step and settled volumes; what the
    // voice played before is cut, not faded out.
    Voice& start(const Sample& s, double position, double step, int left = 255, int right = 255) {
        Voice& v = voice(0);
        startVoiceSample(context, 0, &s, OldSound::cut);
        v.positionInt = static_cast<uint32_t>(position);
        v.positionFrac = static_cast<uint32_t>((position - std::floor(position)) * 4294967296.0);
        v.stepInt = static_cast<uint32_t>(step);
        v.stepFrac = static_cast<uint32_t>((step - std::floor(step)) * 4294967296.0);
        v.leftVolume = v.currentLeft = static_cast<uint8_t>(left);
        v.rightVolume = v.currentRight = static_cast<uint8_t>(right);
        return v;
    }
    std::vector<float> mix(int frames) {
        std::vector<float> out(2 * frames, 0.0f);
        mixVoices(context, out.data(), frames);
        return out;
    }
};

std::vector<int16_t> ramp(int n, int scale) {
    std::vector<int16_t> f(n);
    for (int i = 0; i < n; ++i) f[i] = static_cast<int16_t>(i * scale);
    return f;
}

TEST(PlayerVoiceControl, OpeningAndStartingVoices) {
    Mixer m;
    const int rates[][2] = {
        {48000, 139}, {22050, 64}, {standardMixRate, rampFrames}};  // rate x 128 / 44100
    for (const auto& [rate, length] : rates) {
        openVoices(m.context, rate);
        EXPECT_EQ(m.context.rampLength, length);
        EXPECT_EQ(m.context.rampReciprocal, 1.0f / length);
        EXPECT_EQ(m.voice(200).index, 200);
    }
    MemorySample s(std::vector<int16_t>(4000, 1), 1);
    Voice& v = m.voice(1);
    v.startOffset = 5000;  // beyond the loop end: from frame 0
    EXPECT_EQ(startVoiceSample(m.context, 1, &s.s), 1);
    EXPECT_EQ(v.positionInt, 0u);
    EXPECT_EQ(v.startOffset, 0u);
    v.startOffset = 3840;
    startVoiceSample(m.context, 1, &s.s);
    EXPECT_EQ(v.positionInt, 3840u);
    startVoiceSample(m.context, 1, &emptySample);  // no frames: stops at once
    EXPECT_EQ(v.sample, nullptr);
    EXPECT_EQ(startVoiceSample(m.context, 1, nullptr), -1);
    openVoices(m.context, 1000);  // guard: below 2757 Hz steps could reach 256 frames
    EXPECT_EQ(m.context.mixRate, 2757);
    closeVoices(m.context);
    EXPECT_EQ(m.context.voicePool, nullptr);
    EXPECT_EQ(startVoiceSample(m.context, 0, &s.s), -1);
}

TEST(PlayerMixer, FramesWorkedOutByHandInEveryVariant) {
    for (const MixKernels kernels : allMixKernels()) {
        Mixer m;
        m.context.mixKernels = kernels;
        MemorySample s(ramp(40, 1000), 1);  // frame k holds 1000 k
        // volume 255 is a scale of exactly 1.0f; step 0.5 interpolates halfway
        m.start(s.s, 1.0, 0.5, 255, 0);
        std::vector<float> out = m.mix(19);
        for (int i = 0; i < 19; ++i) {
            EXPECT_EQ(out[2 * i], 1000.0f + 500.0f * i) << i;
            EXPECT_EQ(out[2 * i + 1], 0.0f);
        }
        EXPECT_DOUBLE_EQ(positionOf(m.voice(0)), 10.5);
        // mixing adds to what is there; backward, a quarter frame in, right side at 1.0
        Voice& v = m.start(s.s, 30.25, 1.0, 0, 255);
        v.direction = Direction::backward;
        std::vector<float> twice(2 * 11, 100.0f);
        mixVoices(m.context, twice.data(), 11);
        for (int i = 0; i < 11; ++i) {
            EXPECT_EQ(twice[2 * i], 100.0f);
            EXPECT_EQ(twice[2 * i + 1], 100.0f + 30250.0f - 1000.0f * i) << i;
        }
        // a ramp from 0 to 255 on the left over 128 frames of a constant 255: the scale
        // after k frames is k steps of 1/128 added in single precision
        MemorySample flat(std::vector<int16_t>(300, 255), 1);
        Voice& r = m.start(flat.s, 0, 1.0, 0, 0);
        r.leftVolume = 255;
        std::vector<float> rising = m.mix(20);
        float scale = 0.0f;
        const float step = 255.0f * 0.003921568859368563f * (1.0f / 128.0f);
        for (int i = 0; i < 20; ++i) {
            EXPECT_EQ(rising[2 * i], 255.0f * scale) << i;
            scale += step;
        }
    }
}

// Every vector variant this processor runs must round every frame as the portable one does,
// ramps included, at two mix rates (two ramp lengths), in pieces of every size. The variants
// compared are recorded (and printed), so that a run on a processor without any says so.
TEST(PlayerMixer, VariantsAgreeBitForBit) {
    std::mt19937 rng(777);
    std::vector<int16_t> frames(5000);
    for (int16_t& f : frames) f = static_cast<int16_t>(rng());
    std::string compared;
    for (const MixKernels kernels : allMixKernels())
        if (kernels.constant != portableMixKernels().constant)
            compared += (compared.empty() ? "" : " ") + std::string(kernels.name);
    ::testing::Test::RecordProperty("variants_compared", compared.empty() ? "none" : compared);
    std::printf("vector variants compared with the portable loops: %s\n",
                compared.empty() ? "none on this processor" : compared.c_str());
    for (const MixKernels kernels : allMixKernels()) {
        if (kernels.constant == portableMixKernels().constant) continue;
        for (const auto& [kind, rate] : {std::pair<uint8_t, int>{2, 44100}, {4, 96000}}) {
            MemorySample s(frames, kind, 100, 4800);
            Mixer a, b;
            openVoices(a.context, rate);
            openVoices(b.context, rate);
            a.context.mixKernels = portableMixKernels();
            b.context.mixKernels = kernels;
            for (int v = 0; v < 16; ++v) {
                Voice& voice = a.voice(v);
                startVoiceSample(a.context, v, &s.s);
                voice.positionInt = rng() % 4800 + 100;
                voice.positionFrac = static_cast<uint32_t>(rng());
                voice.stepInt = v < 12 ? rng() % 2 : rng() % 17;
                voice.stepFrac = voice.stepInt == 16 ? 0 : static_cast<uint32_t>(rng());
                voice.leftVolume = static_cast<uint8_t>(rng());
                voice.rightVolume = static_cast<uint8_t>(rng());
                voice.currentLeft = static_cast<uint8_t>(rng());
                voice.currentRight = static_cast<uint8_t>(rng());
                b.voice(v) = voice;
            }
            std::vector<float> outA(2 * kFramesPerBlock), outB(2 * kFramesPerBlock);
            for (int block = 0; block < 80; ++block) {
                const int n = 1 + static_cast<int>(rng() % (block % 2 ? 70 : kFramesPerBlock));
                for (int change = 0; change < 4; ++change) {
                    const int v = static_cast<int>(rng() % 16);
                    const uint8_t left = static_cast<uint8_t>(rng());
                    a.voice(v).leftVolume = b.voice(v).leftVolume = left;  // a new ramp
                }
                mixVoices(a.context, outA.data(), n);
                mixVoices(b.context, outB.data(), n);
                for (int i = 0; i < 2 * kFramesPerBlock; ++i)
                    ASSERT_EQ(outA[i], outB[i]) << block << " " << i;
            }
        }
    }
}

// An unlooped sample stops at its end; a forward loop wraps within a call, keeping the
// overshoot; a ping-pong loop turns at either end and never leaves its loop.
TEST(PlayerMixer, LoopBoundaries) {
    Mixer m;
    MemorySample once(std::vector<int16_t>(1000, 500), 1);
    m.start(once.s, 990, 1.0);
    std::vector<float> out = m.mix(20);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(out[2 * i], i < 10 ? 500.0f : 0.0f) << i;
    EXPECT_EQ(m.voice(0).sample, nullptr);

    MemorySample forward(ramp(400, 10), 2, 100, 200), pingPong(ramp(400, 10), 4, 100, 200);
    Voice& v = m.start(forward.s, 298.5, 3.0);
    out = m.mix(2);  // 301.5 wraps to 101.5
    EXPECT_DOUBLE_EQ(positionOf(v), 104.5);
    EXPECT_EQ(out[2], 1015.0f);

    m.start(pingPong.s, 299.75, 0.5);
    m.mix(1);  // reaches 300.25
    EXPECT_EQ(v.direction, Direction::backward);
    EXPECT_EQ(v.positionInt, 299u);
    EXPECT_EQ(v.positionFrac, 0xBFFFFFFFu);  // 299.75 less 2^-32
    m.mix(400);
    EXPECT_GE(positionOf(v), 100.0);
    EXPECT_LT(positionOf(v), 300.0);
    MemorySample low(ramp(16, 100), 4, 0, 8);  // turning back at frame 0 keeps frame 0
    m.start(low.s, 0.5, 3.7).direction = Direction::backward;
    for (int i = 0; i < 50; ++i) {
        m.mix(7);
        ASSERT_LT(v.positionInt, 8u);
    }
}

TEST(PlayerMixer, RampsInSmallPiecesNeverWrap) {
    // guard: the volume reached is kept within 0..255; in 8 bits a rounding to -1 or 256
    // would wrap and start the ramp over from the other end
    Mixer m;
    MemorySample s(std::vector<int16_t>(100000, 1000), 2, 0, 100000);
    for (int piece : {1, 3, 5, 7}) {
        Voice& v = m.start(s.s, 0, 1.0, 255, 0);
        v.leftVolume = 0;
        v.rightVolume = 255;
        int lastLeft = 255, lastRight = 0;
        for (int k = 0; k < 300 / piece; ++k) {
            m.mix(piece);
            ASSERT_LE(v.currentLeft, lastLeft) << piece;
            ASSERT_GE(v.currentRight, lastRight) << piece;
            lastLeft = v.currentLeft;
            lastRight = v.currentRight;
        }
        EXPECT_LE(v.currentLeft, 8) << piece;
        EXPECT_GE(v.currentRight, 247) << piece;
    }
}

TEST(PlayerMixer, ConvertRoundsToEvenAndSaturates) {
    // five frames: the last lies past the vector part, and saturates as the others do
    const float in[] = {2.5f,     3.5f,  -2.5f, 40000.0f, -40000.0f,
                        32767.4f, -0.5f, 1.5f,  40000.0f, -40000.0f};
    int16_t out[10] = {};
    convertMix(out, in, 5);
    const int16_t expected[] = {2, 4, -2, 32767, -32768, 32767, 0, 2, 32767, -32768};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(out[i], expected[i]) << i;
    convertMix(out, nullptr, 4);  // nothing happens
    convertMix(out, in, 0);
}

}  // namespace
}  // namespace qvl::test
