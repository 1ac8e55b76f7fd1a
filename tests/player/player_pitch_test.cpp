// Pitch, channel output and voice control: periods, frequencies, vibrato waves, voice
// volumes and steps from the case list tests/player/functions.txt; two guards besides.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>

#include "../support/case_file.h"
#include "player/channel.h"
#include "player/channel_output.h"
#include "player/context.h"
#include "player/envelope.h"
#include "player/pitch.h"
#include "player/song.h"
#include "player/voice.h"
#include "player/voice_control.h"
#include "song_builder.h"
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
        song.flags = 1;  // linear
        ch.volumeEnvelope.value = 64;
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
    {"slideUp", [](auto& a) { return std::to_string(slideUp(a[0], a[1])); }},
    {"slideDown", [](auto& a) { return std::to_string(slideDown(a[0], a[1])); }},
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
    {"voice",
     [](auto& a) {
         Voice v, w;
         setVoicePanning(v, a[0]);
         setVoiceVolume(v, a[1]);
         setVoiceVolume(w, a[1]);
         setVoicePanning(w, a[0]);
         const auto sides = [](const Voice& x) {
             return std::to_string(x.leftVolume) + " " + std::to_string(x.rightVolume);
         };
         return sides(v) == sides(w) ? sides(v) : sides(v) + " or " + sides(w);
     }},
    {"step",
     [](auto& a) {
         Output o;
         setVoiceFrequency(o.context, o.voice(), a[0]);
         return std::to_string(o.voice().stepInt) + " " + std::to_string(o.voice().stepFrac);
     }},
};

// Each expect line "FUNCTION ARGUMENTS -> RESULT" written back with the computed result.
std::string results(const testing::Case& c) {
    std::istringstream lines(c.input("expect"));
    std::string out;
    for (std::string line; std::getline(lines, line);) {
        const size_t arrow = line.find(" -> ");
        if (arrow == std::string::npos) {  // the blank line before the next case
            out += line + "\n";
            continue;
        }
        std::istringstream in(line.substr(0, arrow));
        std::string name;
        in >> name;
        std::vector<int> arguments;
        for (int a; in >> a;) arguments.push_back(a);
        const auto f = functions.find(name);
        out += line.substr(0, arrow) + " -> " +
               (f == functions.end() ? "no function " + name : f->second(arguments)) + "\n";
    }
    return out;
}

TEST(PlayerPitch, CaseList) {
    testing::checkCases(QVL_SOURCE_DIR "/tests/player/functions.txt", results);
}

TEST(PlayerEnvelopeGuards, PointsRunningBackwardsDoNotSlideForEver) {
    Instrument ins;
    const EnvelopePoint points[] = {{0, 64}, {10, 0}, {5, 64}};
    std::copy(std::begin(points), std::end(points), ins.volumeEnvelope.points);
    ins.volumeEnvelope.count = 3;
    ins.volumeEnvelope.type = envelopeOn;
    Channel ch;
    ch.volumeEnvelope.value = 64;
    for (int i = 0; i < 40; ++i) {
        envelopeStep(ch, ch.volumeEnvelope, ins.volumeEnvelope, requestVolume);
        ASSERT_GE(ch.volumeEnvelope.value, 0);
        ASSERT_LE(ch.volumeEnvelope.value, 64);
    }
    EXPECT_TRUE(ch.volumeEnvelope.stopped);
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
