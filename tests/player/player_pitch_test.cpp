// Pitch, envelopes and channel output: periods and frequencies in both tables, vibrato
// waves, automatic vibrato sweep, envelope sequences, panning envelope and volume scaling.
#include <gtest/gtest.h>

#include "player/channel.h"
#include "player/channel_output.h"
#include "player/context.h"
#include "player/envelope.h"
#include "player/pitch.h"
#include "player/song.h"
#include "player/voice.h"
#include "sound/wave_output.h"

namespace qvl::test {
namespace {

TEST(PlayerPitch, LinearTable) {
    EXPECT_EQ(notePeriod(true, 48, 0), 4608);
    EXPECT_EQ(periodFrequency(true, 4608, 0), 8363);
    EXPECT_EQ(notePeriod(true, 60, 0), 3840);
    EXPECT_EQ(periodFrequency(true, 3840, 0), 16726);
    EXPECT_EQ(notePeriod(true, 48, 127), 4608 - 63);
    EXPECT_EQ(notePeriod(true, 48, -127), 4608 + 63);
    // one octave in the period is a doubling; a positive delta raises the pitch
    EXPECT_EQ(periodFrequency(true, 4608 + 768, 0), 4181);
    EXPECT_GT(periodFrequency(true, 4608, 64), 8363);
}

TEST(PlayerPitch, AmigaTable) {
    // P(k) = 13.375 x 2^((132 - k) / 12) to the nearest, halves up: P(1) = 25854.61,
    // P(47) = 1813.80, P(108) = 53.5, P(120) = 26.75
    const int periods[][2] = {{0, 27392}, {1, 25855}, {47, 1814}, {48, 1712},
                              {49, 1616}, {55, 1143}, {108, 54},  {120, 27}};
    for (const auto& [k, period] : periods) EXPECT_EQ(amigaPeriod(k, 0), period) << k;
    EXPECT_EQ(periodFrequency(false, 1712, 0), 8362);
    EXPECT_EQ(amigaPeriod(60, 0), 856);
    EXPECT_EQ(periodFrequency(false, 856, 0), 16725);
    // finetune +-64 lies halfway to the neighbouring semitone: P(49) = 1616, P(47) = 1814
    EXPECT_EQ(amigaPeriod(48, 64), 1664);
    EXPECT_EQ(amigaPeriod(48, -64), 1763);
    EXPECT_LT(periodFrequency(false, 1712, 100), 8362);  // positive delta lowers it here
    EXPECT_EQ(periodFrequency(false, -5, 0), 705600);    // guard: no division by 0
}

TEST(PlayerPitch, VibratoWaves) {
    // sine: depth 8 at phase 16 (magnitude 255): 255 x 8 >> 5 = 63, low bits cleared: 60
    EXPECT_EQ(vibratoOffset(16, 8, 0), -60);
    EXPECT_EQ(vibratoOffset(-16, 8, 0), 60);
    EXPECT_EQ(vibratoOffset(0, 15, 0), 0);
    EXPECT_EQ(vibratoOffset(4, 15, 0), -44);  // magnitude 97: 97 x 15 >> 5 = 45, cleared: 44
    // ramp: 8p for p >= 0, 255 - (8p mod 256) below
    EXPECT_EQ(vibratoOffset(31, 4, 1), -((248 * 4 >> 5) & ~3));
    EXPECT_EQ(vibratoOffset(-32, 4, 1), (255 * 4 >> 5) & ~3);
    EXPECT_EQ(vibratoOffset(-1, 15, 1), (7 * 15 >> 5) & ~3);
    // square
    EXPECT_EQ(vibratoOffset(3, 8, 2), -60);
    EXPECT_EQ(vibratoOffset(-3, 8, 3), 60);
}

TEST(PlayerPitch, AutoVibratoSweep) {
    Instrument ins;
    ins.autoVibType = 1;  // square: 64 at the first positions
    ins.autoVibDepth = 16;
    ins.autoVibSweep = 4;
    ins.autoVibRate = 1;
    Channel ch;
    const int full = 16 * 64 >> 6;
    const int expected[] = {0, full / 4, full / 2, 3 * full / 4, full, full, full};
    for (int e : expected) {
        ch.periodDelta = 0;
        ch.requests = 0;
        autoVibrato(ch, ins);
        EXPECT_EQ(ch.periodDelta, e);
        EXPECT_EQ(ch.requests, requestFrequency);
    }
    EXPECT_EQ(ch.autoVibratoPos, 7);
    EXPECT_EQ(ch.autoVibratoCount, 4);
}

TEST(PlayerPitch, AutoVibratoWaveforms) {
    Instrument ins;
    ins.autoVibDepth = 64;
    ins.autoVibRate = 0;
    Channel ch;
    const auto at = [&](int type, int pos) {
        ins.autoVibType = static_cast<uint8_t>(type);
        ch.autoVibratoPos = pos;
        ch.periodDelta = 0;
        autoVibrato(ch, ins);
        return ch.periodDelta;  // depth 64: exactly the wave value
    };
    // the sine peaks a quarter cycle in; its constant lies just below pi: 63.99.. gives 63
    EXPECT_EQ(at(0, 64), 63);
    EXPECT_EQ(at(0, 0), 0);
    EXPECT_EQ(at(0, 32), 45);  // 64 sin(pi / 4) = 45.25
    EXPECT_EQ(at(2, 0), 0);
    EXPECT_EQ(at(2, 127), -64);
    EXPECT_EQ(at(2, 128), 64);
    EXPECT_EQ(at(3, 127), 63);
    EXPECT_EQ(at(3, 128), 64);
    EXPECT_EQ(at(3, 129), -64);
    EXPECT_EQ(at(3, 255), -1);
    EXPECT_EQ(at(7, 64), 63);  // quirk: types above 3 play the sine
}

struct EnvelopeRun {
    Instrument ins;
    Channel ch;
    EnvelopeRun(std::initializer_list<EnvelopePoint> points, uint8_t type, int sustain = 0) {
        int i = 0;
        for (EnvelopePoint p : points) ins.volumeEnvelope.points[i++] = p;
        ins.volumeEnvelope.count = static_cast<uint8_t>(i);
        ins.volumeEnvelope.type = type;
        ins.volumeEnvelope.sustain = static_cast<uint8_t>(sustain);
        ch.volumeEnvelope.value = 64;
    }
    int step() {
        envelopeStep(ch, ch.volumeEnvelope, ins.volumeEnvelope, requestVolume);
        return ch.volumeEnvelope.value;
    }
};

TEST(PlayerEnvelope, FallingSegment) {
    EnvelopeRun e({{0, 64}, {10, 0}}, 1);
    const int expected[] = {64, 57, 51, 44, 38, 32, 25, 19, 12, 6, 0};
    for (int v : expected) EXPECT_EQ(e.step(), v);
    EXPECT_TRUE(e.ch.volumeEnvelope.stopped);
    EXPECT_EQ(e.ch.volumeEnvelope.slope, -419430);
}

TEST(PlayerEnvelope, SetPosition) {
    EnvelopeRun e({{0, 64}, {10, 0}, {20, 32}}, 1);
    setEnvelopePosition(e.ch.volumeEnvelope, e.ins.volumeEnvelope, 5);
    EXPECT_EQ(e.ch.volumeEnvelope.point, 1);
    EXPECT_EQ(e.ch.volumeEnvelope.tick, 5);
    EXPECT_EQ(e.ch.volumeEnvelope.value, (65536 * 64 - 5 * 419430) >> 16);
    setEnvelopePosition(e.ch.volumeEnvelope, e.ins.volumeEnvelope, 30);  // beyond the last point
    EXPECT_EQ(e.ch.volumeEnvelope.point, 2);
    EXPECT_EQ(e.ch.volumeEnvelope.value, 32);
    EXPECT_TRUE(e.ch.volumeEnvelope.stopped);
}

TEST(PlayerEnvelopeGuards, PointsRunningBackwardsDoNotSlideForEver) {
    EnvelopeRun e({{0, 64}, {10, 0}, {5, 64}}, 1);
    for (int i = 0; i < 40; ++i) {
        const int v = e.step();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 64);
    }
    EXPECT_TRUE(e.ch.volumeEnvelope.stopped);
}

struct Output {
    PlayerContext context;
    Song song;
    Channel ch;
    Sample sample;
    Output() {
        openVoices(context, kMixRate);
        song.globalVolume = 64;
        song.flags = 1;
        ch.volume = 64;
        ch.volumeEnvelope.value = 64;
        ch.fadeoutVolume = 65536;
        ch.panning = 128;
        ch.panningEnvelope.value = 32;
        ch.period = 4608;
    }
    Voice& voice() { return context.voicePool[0]; }
    void apply(uint8_t requests) {
        ch.requests = requests;
        applyChannel(context, ch, sample, song);
    }
};

TEST(PlayerChannelOutput, VolumePanningAndFrequency) {
    Output o;
    o.apply(requestVolume | requestPanning | requestFrequency);
    EXPECT_EQ(o.voice().volume, 127);
    EXPECT_EQ(o.voice().panning, 128);
    EXPECT_EQ(o.voice().stepFrac, 814485521u);
    o.ch.fadeoutVolume = 32768;
    o.song.globalVolume = 32;
    o.apply(requestVolume);
    EXPECT_EQ(o.voice().volume, 32);  // 127.5 / 4 = 31.875, rounded
    o.ch.panningEnvelope.value = 64;
    o.apply(requestPanning);
    EXPECT_EQ(o.voice().panning, 256);
    o.ch.panning = 0;
    o.apply(requestPanning);
    EXPECT_EQ(o.voice().panning, 0);
    o.ch.panning = 240;  // near the edge the envelope does not move it
    o.apply(requestPanning);
    EXPECT_EQ(o.voice().panning, 240);
}

TEST(PlayerChannelOutput, VolumeIsRoundedNotTruncated) {
    // at full envelope, fadeout and global volume a channel volume v gives v x 255 / 128:
    // 1.99, 3.98, 125.51 and 127.5 (halves down)
    const int volumes[][2] = {{0, 0}, {1, 2}, {2, 4}, {63, 126}, {64, 127}};
    for (const auto& [channel, voice] : volumes) {
        Output o;
        o.ch.volume = channel;
        o.apply(requestVolume);
        EXPECT_EQ(o.voice().volume, voice) << channel;
    }
}

TEST(PlayerChannelOutput, PeriodSummingToZeroKeepsTheFrequency) {
    Output o;
    o.apply(requestFrequency);
    o.ch.period = 64;
    o.ch.periodDelta = -64;
    o.apply(requestFrequency);
    EXPECT_EQ(o.voice().stepFrac, 814485521u);
}

}  // namespace
}  // namespace qvl::test
