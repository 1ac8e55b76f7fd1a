// Restarting a sounding voice: the old sound fades out on the voice's fade voice while the new
// one ramps in from silence, checked frame by frame against a model of its own; which starts
// hand over; and fade voices that end, arrive, or go with their song.
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

// A sample built in memory, with the guard frame the loader would write.
struct LoopedSample {
    Sample s;
    LoopedSample(std::vector<int16_t> frames, uint8_t loopType) {
        s.length = static_cast<uint32_t>(frames.size());
        s.loopType = loopType;
        s.loopStart = 0;
        s.loopLength = s.length;
        s.storage = std::make_unique<int16_t[]>(s.length + sampleSpareFrames + 2 * samplePadFrames);
        s.data = s.storage.get() + samplePadFrames;
        for (uint32_t i = 0; i < s.length; ++i) s.data[i] = frames[i];
        s.data[s.length] = loopType == 4 ? s.data[s.length - 1] : s.data[0];
        s.bits = 16;
    }
};

// What one voice should add, worked out in double precision: linear interpolation on a
// forward loop over the whole sample, and a ramp of 128 frames from the reached volumes.
// The mixer keeps reached volumes whole between stretches (a stretch ends at a loop end and
// at the end of a call) and lands a finished ramp on its targets.
struct VoiceModel {
    const Sample* sample;
    double position, step;
    double left, right;  // reached volumes, 0..255
    double toLeft, toRight;
    double leftStep, rightStep;
    int rampLeft = 128;

    VoiceModel(const Sample& s, double pos, double st, double fromL, double fromR, double toL,
               double toR)
        : sample(&s),
          position(pos),
          step(st),
          left(fromL),
          right(fromR),
          toLeft(toL),
          toRight(toR),
          leftStep((toL - fromL) / 128.0),
          rightStep((toR - fromR) / 128.0) {}
    void add(double& outL, double& outR) {
        const auto i = static_cast<uint32_t>(position);
        const double w = position - i;
        const double a = sample->data[i], b = sample->data[i + 1];
        const double value = a + w * (b - a);
        outL += value * left / 255.0;
        outR += value * right / 255.0;
        if (rampLeft > 0) {
            left += leftStep;
            right += rightStep;
            if (--rampLeft == 0) {
                left = toLeft;
                right = toRight;
            }
        }
        position += step;
        if (position >= sample->length) {
            position -= sample->length;
            endStretch();
        }
    }
    void endStretch() {
        left = std::nearbyint(left);
        right = std::nearbyint(right);
    }
};

double positionOf(const Voice& v) {
    return v.positionInt + v.positionFrac / 4294967296.0;
}

std::vector<int16_t> saw(int n) {
    std::vector<int16_t> f(n);
    for (int i = 0; i < n; ++i) f[i] = static_cast<int16_t>(i * 400 - 12000);
    return f;
}

TEST(PlayerRestart, OldSoundFadesOutWhileTheNewOneRampsIn) {
    PlayerContext context;
    openVoices(context, 44100);
    LoopedSample first(saw(61), 2), second(std::vector<int16_t>(50, 3000), 2);
    Voice& v = context.voicePool[0];
    Voice& fade = context.voicePool[fadeVoiceOffset];
    startVoiceSample(context, 0, &first.s);
    setVoiceFrequency(context, v, 33075);  // step 0.75
    setVoicePanning(v, 64);
    setVoiceVolume(v, 100);  // left 75, right 25
    std::vector<float> settle(2 * 300);
    mixVoices(context, settle.data(), 300);
    ASSERT_EQ(v.currentLeft, 75);
    ASSERT_EQ(v.currentRight, 25);
    const double oldPosition = positionOf(v);

    startVoiceSample(context, 0, &second.s);
    EXPECT_EQ(fade.sample, &first.s);
    EXPECT_TRUE(fade.fading);
    EXPECT_DOUBLE_EQ(positionOf(fade), oldPosition);
    EXPECT_EQ(fade.stepFrac, v.stepFrac);
    EXPECT_EQ(fade.currentLeft, 75);
    EXPECT_EQ(fade.currentRight, 25);
    EXPECT_EQ(fade.leftVolume, 0);
    EXPECT_EQ(fade.rightVolume, 0);
    EXPECT_EQ(v.currentLeft, 0);  // the new sound starts from silence
    EXPECT_EQ(v.currentRight, 0);
    EXPECT_EQ(v.leftVolume, 75);  // towards the volumes it had
    EXPECT_EQ(v.positionInt, 0u);

    VoiceModel oldSound(first.s, oldPosition, 0.75, 75, 25, 0, 0);
    VoiceModel newSound(second.s, 0, 0.75, 0, 0, 75, 25);
    // in two calls, so that both ramps carry over from one call to the next
    int frame = 0;
    for (int frames : {50, 150}) {
        std::vector<float> out(2 * frames, 0.0f);
        mixVoices(context, out.data(), frames);
        for (int i = 0; i < frames; ++i, ++frame) {
            double l = 0, r = 0;
            newSound.add(l, r);
            oldSound.add(l, r);
            ASSERT_NEAR(out[2 * i], l, 0.05) << "frame " << frame;
            ASSERT_NEAR(out[2 * i + 1], r, 0.05) << "frame " << frame;
        }
        oldSound.endStretch();
        newSound.endStretch();
        EXPECT_EQ(fade.sample != nullptr, frame < 128) << "after frame " << frame;
    }
    EXPECT_FALSE(fade.fading);
    EXPECT_EQ(v.currentLeft, 75);  // arrived
    EXPECT_EQ(v.currentRight, 25);
}

TEST(PlayerRestart, NoFadeVoiceForASilentOrCutSound) {
    PlayerContext context;
    openVoices(context, 44100);
    LoopedSample s(saw(61), 2);
    Voice& fade = context.voicePool[fadeVoiceOffset + 3];
    startVoiceSample(context, 3, &s.s);
    setVoiceVolume(context.voicePool[3], 127);
    startVoiceSample(context, 3, &s.s);  // never mixed: its reached volume is still 0
    EXPECT_EQ(fade.sample, nullptr);
    std::vector<float> out(2 * 200);
    mixVoices(context, out.data(), 200);
    startVoiceSample(context, 3, &s.s, OldSound::cut);
    EXPECT_EQ(fade.sample, nullptr);
    // a voice from the fade offset on has no fade voice of its own
    Voice& high = context.voicePool[fadeVoiceOffset + 5];
    startVoiceSample(context, fadeVoiceOffset + 5, &s.s);
    setVoiceVolume(high, 127);
    mixVoices(context, out.data(), 200);
    startVoiceSample(context, fadeVoiceOffset + 5, &s.s);
    EXPECT_EQ(high.sample, &s.s);
    EXPECT_FALSE(high.fading);
}

TEST(PlayerRestart, ARampOnATinyLoopArrives) {
    // a 2-frame ping-pong loop passed at about 3 frames a step turns on every frame, so the
    // ramp from 10 to 0 runs in one-frame stretches, each too short to move a whole volume
    PlayerContext context;
    openVoices(context, 44100);
    LoopedSample tiny({4000, -4000}, 4);
    Voice& v = context.voicePool[7];
    startVoiceSample(context, 7, &tiny.s);
    setVoiceFrequency(context, v, 130000);  // 2.95 frames a frame
    v.currentLeft = v.currentRight = 10;
    startVoiceSample(context, 7, &tiny.s);  // hands the sound at volume 10 over
    Voice& fade = context.voicePool[fadeVoiceOffset + 7];
    ASSERT_TRUE(fade.fading);
    std::vector<float> out(2 * 64);
    mixVoices(context, out.data(), 64);
    EXPECT_GT(fade.currentLeft, 0);
    mixVoices(context, out.data(), 64);
    EXPECT_EQ(fade.sample, nullptr);  // at 0 after its 128 frames, and released
    EXPECT_EQ(fade.rampFramesLeft, 0);
}

NoteCell at(uint8_t note, uint8_t instrument, uint8_t volume = 0, uint8_t effect = 0,
            uint8_t parameter = 0) {
    return {note, instrument, volume, effect, parameter};
}

// Plays row 0 (a note) with mixing between ticks, so that the note sounds, then the ticks of
// row 1, and returns the tick of row 1 on which voice 0's old sound moved to its fade voice.
int handOverTick(const NoteCell& first, const NoteCell& second) {
    XmModule m = songOf(1, 4, 1, 6);
    put(m, 0, 0, 0, first);
    put(m, 0, 1, 0, second);
    Player p(m);
    std::vector<float> out(2 * 882);
    for (int t = 0; t < 6; ++t) {
        p.tick();
        mixVoices(p.context, out.data(), 882);
    }
    for (int t = 0; t < 6; ++t) {
        p.tick();
        if (p.voice(fadeVoiceOffset).fading) return t;
        mixVoices(p.context, out.data(), 882);
    }
    return -1;
}

TEST(PlayerRestart, EveryStartOfTheReplayHandsOver) {
    const NoteCell played = at(noteC4, 1);
    struct Case {
        const char* name;
        NoteCell first, second;
        int tick;
    };
    const Case cases[] = {
        {"note with instrument", played, at(noteC4 + 2, 1), 0},
        {"note without instrument", played, at(noteC4 + 2, 0), 0},
        {"note delay ED3", played, at(noteC4 + 2, 1, 0, 14, 0xD3), 3},
        {"retrigger E93", played, at(0, 0, 0, 14, 0x93), 3},
        {"multi retrigger R02", played, at(0, 0, 0, 27, 0x02), 2},
        {"tone portamento starts nothing", played, at(noteC4 + 2, 1, 0, 3, 0x10), -1},
        {"a silent note hands nothing over", at(noteC4, 1, 0x10), at(noteC4 + 2, 1), -1},
    };
    for (const Case& c : cases) EXPECT_EQ(handOverTick(c.first, c.second), c.tick) << c.name;
}

TEST(PlayerRestart, ASongOfMoreChannelsThanFadeVoicesUsesThemItself) {
    XmModule m = songOf(fadeVoiceOffset + 1, 4, 1, 1);
    put(m, 0, 0, 0, at(noteC4, 1));
    put(m, 0, 0, fadeVoiceOffset, at(noteC4 + 12, 1));  // an octave up: its own position
    put(m, 0, 1, 0, at(noteC4 + 2, 1));
    Player p(m);
    std::vector<float> out(2 * 882);
    p.tick();
    mixVoices(p.context, out.data(), 882);
    const double position = positionOf(p.voice(fadeVoiceOffset));
    p.tick();  // restarts channel 0: the last channel's voice must play on untouched
    EXPECT_FALSE(p.voice(fadeVoiceOffset).fading);
    EXPECT_DOUBLE_EQ(positionOf(p.voice(fadeVoiceOffset)), position);
    EXPECT_GT(p.voice(fadeVoiceOffset).currentLeft, 0);
}

TEST(PlayerRestart, StoppingOrFreeingASongSilencesItsFadeVoices) {
    for (const bool free : {false, true}) {
        XmModule m = songOf(1, 4, 1, 1);
        put(m, 0, 0, 0, at(noteC4, 1));
        put(m, 0, 1, 0, at(noteC4 + 2, 1));
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
            stopSong(p.context, p.song);
        }
        EXPECT_EQ(p.voice(fadeVoiceOffset).sample, nullptr);
        std::fill(out.begin(), out.end(), 0.0f);
        mixVoices(p.context, out.data(), 882);
        for (float f : out) ASSERT_EQ(f, 0.0f);
    }
}

}  // namespace
}  // namespace qvl::test
