// Pitch, envelopes and channel output: periods, frequencies, vibrato waves and channel
// output from the case list tests/player/pitch.txt; automatic vibrato sweep and envelopes.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <sstream>

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

// The functions the case list names, each giving its result as text.
using Function = std::function<std::string(const std::vector<int>&)>;
const std::map<std::string, Function> functions = {
    {"notePeriod", [](auto& a) { return std::to_string(notePeriod(a[0], a[1], a[2])); }},
    {"periodFrequency", [](auto& a) { return std::to_string(periodFrequency(a[0], a[1], a[2])); }},
    {"amigaPeriod", [](auto& a) { return std::to_string(amigaPeriod(a[0], a[1])); }},
    {"vibratoOffset",
     [](auto& a) { return std::to_string(vibratoOffset(a[0], a[1], uint8_t(a[2]))); }},
    {"autoVibrato",
     [](auto& a) {
         Instrument ins;
         ins.autoVibDepth = 64;
         ins.autoVibType = static_cast<uint8_t>(a[0]);
         Channel ch;
         ch.autoVibratoPos = a[1];
         autoVibrato(ch, ins);
         return std::to_string(ch.periodDelta);
     }},
    {"output",
     [](auto& a) {
         Output o;
         o.ch.volume = a[0];
         o.ch.fadeoutVolume = a[1];
         o.song.globalVolume = a[2];
         o.ch.panning = a[3];
         o.ch.panningEnvelope.value = a[4];
         o.apply(requestVolume | requestPanning);
         return std::to_string(o.voice().volume) + " " + std::to_string(o.voice().panning);
     }},
};

TEST(PlayerPitch, CaseList) {
    std::ifstream file(std::string(QVL_SOURCE_DIR) + "/tests/player/pitch.txt");
    ASSERT_TRUE(file);
    int cases = 0;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') continue;
        const size_t arrow = line.find(" -> ");
        std::istringstream in(line.substr(0, arrow));
        std::string name;
        in >> name;
        std::vector<int> arguments;
        for (int a; in >> a;) arguments.push_back(a);
        const auto f = functions.find(name);
        ASSERT_NE(f, functions.end()) << line;
        EXPECT_EQ(f->second(arguments), line.substr(arrow + 4)) << line;
        ++cases;
    }
    EXPECT_GE(cases, 50);
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

TEST(PlayerChannelOutput, Frequency) {
    Output o;
    o.apply(requestFrequency);
    EXPECT_EQ(o.voice().stepFrac, 814485521u);  // period 4608: 8363 Hz
    o.ch.period = 64;
    o.ch.periodDelta = -64;  // guard: a period summing to 0 keeps the frequency
    o.apply(requestFrequency);
    EXPECT_EQ(o.voice().stepFrac, 814485521u);
}

}  // namespace
}  // namespace qvl::test
