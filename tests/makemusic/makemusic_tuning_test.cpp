// Tuning of the composed instruments: sample headers turn rates into the player's relative
// note and finetune, and every pitched instrument, rendered alone, sounds the equal-
// tempered frequency of the note it is given.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "compose.h"
#include "instruments.h"
#include "player/pitch.h"
#include "render_probe.h"
#include "score.h"
#include "sound/wave_output.h"
#include "synth.h"

namespace qvl::test {
namespace {

// The rate at which the player plays a sample with this tuning for C-4 (real note 48).
double playedRate(music::Tuning t) {
    const int period = notePeriod(true, 48 + t.relativeNote, t.finetune);
    return static_cast<double>(periodFrequency(true, period, 0));
}

TEST(MakeMusicTuning, RatesBecomeRelativeNoteAndFinetune) {
    EXPECT_EQ(music::tuningForRate(8363).relativeNote, 0);
    EXPECT_EQ(music::tuningForRate(8363).finetune, 0);
    EXPECT_EQ(music::tuningForRate(16726).relativeNote, 12);
    EXPECT_EQ(music::tuningForRate(16726).finetune, 0);
    for (double rate : {11025.0, 22050.0, 33488.0, 44100.0, 66976.0, 8363.0 * 1.0293}) {
        // within a period unit: 1/768 octave is 0.09 %
        EXPECT_NEAR(playedRate(music::tuningForRate(rate)) / rate, 1.0, 0.001) << rate;
    }
}

TEST(MakeMusicTuning, EnvelopeTimesAndReleasesFollowTheTempo) {
    EXPECT_EQ(music::ticksAt(125, 1.0), 50);  // a tick lasts 2.5 / 125 s
    EXPECT_EQ(music::ticksAt(75, 2.0), 60);
    const XmEnvelope e = music::envelopeOf(125, {{0, 0}, {0.2, 64}, {0.2, 30}});
    ASSERT_EQ(e.points.size(), 3u);
    EXPECT_EQ(e.points[1].x, 10);
    EXPECT_EQ(e.points[2].x, 11);  // a point never shares the tick of the one before
    XmInstrument ins;
    music::setRelease(ins, 125, 1.28);  // 64 ticks: 1024 a tick, stored halved
    EXPECT_EQ(ins.fadeout, 512);
    music::setAutoVibrato(ins, 125, 5.0, 4, 0.5);
    EXPECT_EQ(ins.vibRate, 26);  // 256 steps a cycle, 10 ticks a cycle
    EXPECT_EQ(ins.vibSweep, 25);
}

struct PitchCase {
    int piece;
    int instrument;  // 1-based, as in the module
    const char* note;
    double hz;
    double from, to;  // seconds of the note to measure
};

// One note of one instrument, auto-vibrato off, on a module of its own.
XmModule soloNote(const XmModule& song, int instrument, const char* note) {
    XmModule m;
    m.channels = 1;
    m.bpm = song.bpm;
    XmInstrument ins = song.instruments[instrument - 1];
    ins.vibDepth = 0;
    m.instruments = {ins};
    XmPattern p;
    p.rows = 64;
    setCell(p, 1, 0, 0, {music::noteNumber(note), 1, 0, 0, 0});
    m.patterns = {p};
    return m;
}

TEST(MakeMusicTuning, PitchedInstrumentsPlayEqualTemperedNotes) {
    const PitchCase cases[] = {
        {0, 1, "A4", 440.0, 0.2, 0.6},     {0, 3, "A4", 440.0, 0.02, 0.15},
        {0, 4, "A3", 220.0, 0.5, 1.5},     {0, 5, "A2", 110.0, 0.1, 0.6},
        {1, 1, "E5", 659.255, 0.3, 0.8},   {1, 3, "C6", 1046.502, 0.02, 0.3},
        {1, 4, "C4", 261.626, 1.0, 2.0},   {1, 5, "F1", 43.654, 0.4, 1.4},
        {2, 1, "D#5", 622.254, 0.05, 0.4}, {2, 3, "G4", 391.995, 0.01, 0.12},
        {2, 4, "B3", 246.942, 0.4, 1.2},   {2, 5, "E2", 82.407, 0.05, 0.3},
    };
    for (const PitchCase& c : cases) {
        const XmModule song = music::pieces[c.piece].compose();
        const std::vector<int16_t> pcm =
            renderFrames(soloNote(song, c.instrument, c.note), 2 * kMixRate);
        const double hz = pitchHz(pcm, static_cast<int>(c.from * kMixRate),
                                  static_cast<int>(c.to * kMixRate), c.hz);
        // 0.3 % is 5 cents; the pads' detuned voices average out on the centre voice
        EXPECT_NEAR(hz / c.hz, 1.0, 0.003) << music::pieces[c.piece].fileName << " instrument "
                                           << c.instrument << " " << c.note << ": " << hz << " Hz";
    }
}

TEST(MakeMusicTuning, TonesStartAtAZeroCrossing) {
    // so notes start without a click; the pads start mid-wave but always fade in
    for (const auto& piece : music::pieces) {
        const XmModule m = piece.compose();
        for (int instrument : {1, 2, 3, 5}) {  // lead, its echo, pluck or bell, bass
            const XmSample& s = m.instruments[instrument - 1].samples[0];
            const int fullScale = s.sixteenBit ? 32767 : 127;
            EXPECT_LT(std::abs(s.frames[0]), fullScale / 10) << piece.fileName << " " << instrument;
        }
    }
}

}  // namespace
}  // namespace qvl::test
