// Restarting a sounding voice: the old sound fades out on the voice's fade voice while the new
// one ramps in from silence, checked frame by frame against a model of its own; fade voices
// that end, arrive, or go with their song. Which starts hand over: tests/player/ticks.txt.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "player/context.h"
#include "player/mixer.h"
#include "player/replay.h"
#include "player/voice.h"
#include "player/voice_control.h"
#include "player/xm_loader.h"
#include "song_builder.h"

namespace qvl::test {
namespace {

// The reached volume of a voice after i frames of its 128-frame ramp from a to b: the mixer
// keeps it whole where a stretch ends (at a loop end and at the end of a call).
double reached(double a, double b, std::initializer_list<int> stretchEnds, int i) {
    if (i >= 128) return b;
    const double step = (b - a) / 128;
    double volume = a;
    int from = 0;
    for (int end : stretchEnds) {
        if (end > i) break;
        volume = std::nearbyint(volume + (end - from) * step);
        from = end;
    }
    return volume + (i - from) * step;
}

TEST(PlayerRestart, OldSoundFadesOutWhileTheNewOneRampsIn) {
    PlayerContext context;
    openVoices(context, standardMixRate);
    // the new sample's loop ends after 67 frames at step 0.75; the old one plays on unwrapped
    MemorySample first(std::vector<int16_t>(1000, -2000), 2),
        second(std::vector<int16_t>(50, 3000), 2);
    Voice& v = context.voicePool[0];
    Voice& fade = context.voicePool[fadeVoiceOffset];
    startVoiceSample(context, 0, &first.s);
    setVoiceFrequency(context, v, 33075);  // step 0.75
    setVoicePanning(v, 64);
    setVoiceVolume(v, 100);  // left 100 x 0.866 = 86.6, right 100 x 0.5
    std::vector<float> out(2 * 300);
    mixVoices(context, out.data(), 300);
    ASSERT_EQ(v.currentLeft, 87);
    ASSERT_EQ(v.currentRight, 50);
    const double oldPosition = positionOf(v);

    startVoiceSample(context, 0, &second.s);
    EXPECT_EQ(fade.sample, &first.s);
    EXPECT_TRUE(fade.fading);
    EXPECT_DOUBLE_EQ(positionOf(fade), oldPosition);
    EXPECT_EQ(fade.stepFrac, v.stepFrac);
    EXPECT_EQ(fade.currentLeft + 256 * fade.currentRight, 87 + 256 * 50);
    EXPECT_EQ(fade.leftVolume + fade.rightVolume, 0);
    EXPECT_EQ(v.currentLeft + v.currentRight, 0);  // the new sound starts from silence
    EXPECT_EQ(v.leftVolume + 256 * v.rightVolume, 87 + 256 * 50);  // towards the old volumes
    EXPECT_EQ(v.positionInt, 0u);
    // in two calls, so that both ramps carry over from one call to the next
    int frame = 0;
    for (int frames : {50, 150}) {
        out.assign(2 * frames, 0.0f);
        mixVoices(context, out.data(), frames);
        for (int i = 0; i < frames; ++i, ++frame) {
            for (const auto& [side, volume] : {std::pair{0, 87.0}, {1, 50.0}}) {
                const double want = 3000 * reached(0, volume, {50, 67}, frame) / 255 -
                                    2000 * reached(volume, 0, {50}, frame) / 255;
                ASSERT_NEAR(out[2 * i + side], want, 0.05) << "frame " << frame << " " << side;
            }
        }
        EXPECT_EQ(fade.sample != nullptr, frame < 128) << "after frame " << frame;
    }
    EXPECT_FALSE(fade.fading);
    EXPECT_EQ(v.currentLeft + 256 * v.currentRight, 87 + 256 * 50);  // arrived
}

// No fade voice for a silent or cut sound, nor for a voice from the fade offset on; and a
// fade on a tiny loop still arrives.
TEST(PlayerRestart, FadeVoicesOnlyWhereDue) {
    PlayerContext context;
    openVoices(context, standardMixRate);
    MemorySample s(std::vector<int16_t>(61, 1000), 2);
    Voice& fade = context.voicePool[fadeVoiceOffset + 3];
    startVoiceSample(context, 3, &s.s);
    setVoiceVolume(context.voicePool[3], 127);
    startVoiceSample(context, 3, &s.s);  // never mixed: its reached volume is still 0
    EXPECT_EQ(fade.sample, nullptr);
    std::vector<float> out(2 * 200);
    mixVoices(context, out.data(), 200);
    startVoiceSample(context, 3, &s.s, OldSound::cut);
    EXPECT_EQ(fade.sample, nullptr);
    Voice& high = context.voicePool[fadeVoiceOffset + 5];
    startVoiceSample(context, fadeVoiceOffset + 5, &s.s);
    setVoiceVolume(high, 127);
    mixVoices(context, out.data(), 200);
    startVoiceSample(context, fadeVoiceOffset + 5, &s.s);
    EXPECT_EQ(high.sample, &s.s);
    EXPECT_FALSE(high.fading);
    // a 2-frame ping-pong loop passed at about 3 frames a step turns on every frame, so the
    // ramp from 10 to 0 runs in one-frame stretches, each too short to move a whole volume
    MemorySample tiny({4000, -4000}, 4);
    Voice& v = context.voicePool[7];
    startVoiceSample(context, 7, &tiny.s);
    setVoiceFrequency(context, v, 130000);  // 2.95 frames a frame
    v.currentLeft = v.currentRight = 10;
    startVoiceSample(context, 7, &tiny.s);  // hands the sound at volume 10 over
    Voice& tinyFade = context.voicePool[fadeVoiceOffset + 7];
    ASSERT_TRUE(tinyFade.fading);
    mixVoices(context, out.data(), 64);
    EXPECT_GT(tinyFade.currentLeft, 0);
    mixVoices(context, out.data(), 64);
    EXPECT_EQ(tinyFade.sample, nullptr);  // at 0 after its 128 frames, and released
    EXPECT_EQ(tinyFade.rampFramesLeft, 0);
}

TEST(PlayerRestart, StoppingOrFreeingASongSilencesItsFadeVoices) {
    for (const bool free : {false, true}) {
        XmModule m = songOf(1, 4, 1, 1);
        put(m, 0, 0, 0, {noteC4, 1, 0, 0, 0});
        put(m, 0, 1, 0, {noteC4 + 2, 1, 0, 0, 0});
        Player p(m);
        std::vector<float> out(2 * 882, 0.0f);
        p.tick();
        mixVoices(p.context, out.data(), 882);
        p.tick();
        ASSERT_TRUE(p.voice(fadeVoiceOffset).fading);
        if (free) {
            freeSong(p.context, p.song);  // the fade voice played the song's sample data
            p.song = nullptr;
        } else {
            EXPECT_TRUE(p.song->link.linked());
            EXPECT_TRUE(stopSong(p.context, p.song));
            EXPECT_FALSE(p.song->link.linked());
            EXPECT_EQ(p.song->playing, 0);
            EXPECT_EQ(p.voice(0).sample, nullptr);
            EXPECT_TRUE(p.song->channels.empty());
        }
        EXPECT_EQ(p.voice(fadeVoiceOffset).sample, nullptr);
        std::fill(out.begin(), out.end(), 0.0f);
        mixVoices(p.context, out.data(), 882);
        for (float f : out) ASSERT_EQ(f, 0.0f);
    }
}

}  // namespace
}  // namespace qvl::test
