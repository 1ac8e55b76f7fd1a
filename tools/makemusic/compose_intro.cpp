// "intro": the magazine's opening tune in D major at 125 BPM. An arpeggiated welcome, a
// theme and its answer over D - F#m - G - A, a middle part over Bm - G - Em - A that slows
// into the turn, and a jump back to the theme.
#include <string>

#include "compose.h"
#include "drum_samples.h"
#include "instruments.h"
#include "score.h"
#include "tone_samples.h"

namespace qvl::music {

namespace {

constexpr int bpm = 125;
constexpr int channels = 10;
constexpr int bar = 16;  // rows: four beats of four rows

enum Instrument : uint8_t { lead = 1, leadEcho, pluck, pad, bass, kick, snare, hat, openHat };

const Part leadPart{0, lead, 0x10, 1, 0x62};
const Part echoPart{1, leadEcho, 0x10, 1, 0x62};
const Part pluckPart{2, pluck};
const Part padPart{3, pad, 0x20, 1};
const Part bassPart{6, bass};
constexpr int kickChannel = 7, snareChannel = 8, hatChannel = 9;

const DrumKit kit = {{'k', {kick}}, {'s', {snare}},   {'g', {snare, 14}},
                     {'c', {hat}},  {',', {hat, 12}}, {'o', {openHat}}};

std::vector<XmInstrument> instruments() {
    const Harmonics held = pulseHarmonics(14, 0.3, 8);
    XmSample leadWave = pingPongSample({128, 6, pulseHarmonics(18, 0.15, 14), held});
    XmInstrument leadVoice = instrumentOf(leadWave, 40, 112);
    leadVoice.volume = withSustain(envelopeOf(bpm, {{0, 0}, {0.02, 64}, {0.3, 44}, {0.7, 0}}), 2);
    leadVoice.panning = withSustain(envelopeOf(bpm, {{0, 38}, {0.4, 30}, {1.2, 26}}), 1);
    setRelease(leadVoice, bpm, 0.8);
    setAutoVibrato(leadVoice, bpm, 4.5, 3, 0.6);
    XmInstrument echoVoice = leadVoice;
    echoVoice.samples[0].panning = 184;

    XmSample square =
        pingPongSample({128, 2, pulseHarmonics(16, 0.5, 12), pulseHarmonics(12, 0.5, 8)});
    XmInstrument pluckVoice = instrumentOf(square, 30, 72);
    pluckVoice.volume = envelopeOf(bpm, {{0, 0}, {0.01, 64}, {0.12, 24}, {0.45, 0}});

    XmInstrument padVoice = instrumentOf(padSample({16384, 128, 3, 24, 7, 0.3, 5}), 22, 128);
    padVoice.volume = withLoop(envelopeOf(bpm, {{0, 0}, {0.4, 64}, {1.3, 50}, {2.2, 64}}), 1, 3);
    padVoice.panning = withLoop(envelopeOf(bpm, {{0, 32}, {2, 40}, {4, 24}, {6, 32}}), 0, 3);
    setRelease(padVoice, bpm, 1.2);

    XmInstrument bassVoice = instrumentOf(pluckedSample({256, 24, 40, 20, 5, 4, 0.3}), 44, 128);
    bassVoice.volume = withSustain(envelopeOf(bpm, {{0, 64}, {0.08, 50}, {0.4, 36}, {0.5, 0}}), 2);
    setRelease(bassVoice, bpm, 0.15);

    return {leadVoice,
            echoVoice,
            pluckVoice,
            padVoice,
            bassVoice,
            instrumentOf(kickSample({}), 60, 128),
            instrumentOf(snareSample({}), 50, 136),
            instrumentOf(hatSample({}), 26, 160),
            instrumentOf(hatSample({44100, 0.35, 0.12, 7000, 0.5, 41}), 22, 160)};
}

// Eight plucks of a bar, each arpeggiating the chord from `base`; `offbeats` keeps only
// the ones between the beats.
std::string pluckBar(const char* base, const char* arpeggio, int volume, bool offbeats) {
    const std::string note = std::string(base) + ":2a" + arpeggio + "@" + std::to_string(volume);
    return offbeats ? repeated("_:2 " + note, 4) : repeated(note, 8);
}

struct ChordBar {
    const char* pad;
    const char* pluckBase;
    const char* pluckArpeggio;
};
const ChordBar chordD{"D4 F#4 A4", "D5", "47"}, chordFsm{"C#4 F#4 A4", "C#5", "58"},
    chordG{"D4 G4 B4", "D5", "59"}, chordA{"C#4 E4 A4", "C#5", "38"},
    chordBm{"D4 F#4 B4", "D5", "49"}, chordEm{"E4 G4 B4", "B4", "58"};

// Pad and plucks over four bars; the pad glides from chord to chord unless `strike`.
void harmony(PatternWriter& w, const ChordBar (&bars)[4], bool strike, const int (&pluckVolumes)[4],
             bool offbeats) {
    for (int b = 0; b < 4; ++b) {
        w.chord(padPart, b * bar, bars[b].pad, !(strike && b == 0),
                {panByte(4), panByte(8), panByte(12)});
        w.line(pluckPart, b * bar,
               pluckBar(bars[b].pluckBase, bars[b].pluckArpeggio, pluckVolumes[b], offbeats));
    }
}

const char* const bassD = "D2:2 D3:2 A2:2 D2:2 D3:2 A2:2 D2:2 C#2:2";
const char* const bassFsm = "F#2:2 F#3:2 C#3:2 F#2:2 F#3:2 C#3:2 F#2:2 E2:2";
const char* const bassG = "G2:2 G3:2 D3:2 G2:2 G3:2 D3:2 G2:2 G#2:2";  // rising to A
const char* const bassGToEm = "G2:2 G3:2 D3:2 G2:2 G3:2 D3:2 G2:2 F#2:2";
const char* const bassA = "A2:2 A1:2 E2:2 A2:2 A1:2 E2:2 A2:2 C#3:2";
const char* const bassBm = "B1:2 B2:2 F#2:2 B1:2 B2:2 F#2:2 B1:2 A1:2";
const char* const bassEm = "E2:2 E3:2 B2:2 E2:2 E3:2 B2:2 E2:2 G2:2";

const char* const kickBeat = "k.......k.k.....";
const char* const snareBeat = "....s.......s...";
const char* const hatBeat = "c.c.c.c.c.c.c.o.";

void groove(PatternWriter& w, const char* kicks, const char* snares, const char* hats) {
    for (int b = 0; b < 4; ++b) {
        w.drums(kickChannel, b * bar, kicks, kit);
        w.drums(snareChannel, b * bar, snares, kit);
        w.drums(hatChannel, b * bar, hats, kit);
    }
}

// Plucks alone, the pad fading in, then bass and drums; a snare run leads into the theme.
XmPattern welcome() {
    PatternWriter w(64, channels);
    harmony(w, {chordD, chordFsm, chordG, chordA}, true, {18, 22, 26, 28}, false);
    for (int c = 0; c < 3; ++c) {
        w.effect(0, padPart.channel + c, setVolume, 2);
        for (int row : {2, 4, 6, 8}) w.effect(row, padPart.channel + c, volumeSlide, 0x10);
    }
    w.bars(bassPart, 2 * bar, bar, {bassG, bassA});
    w.drums(kickChannel, 2 * bar, "k.......k....... k.......k.k.....", kit);
    w.drums(hatChannel, 2 * bar, "..c...c...c...c. ..c...c...c...c.", kit);
    w.drums(snareChannel, 3 * bar, "........g.g.gsss", kit);
    return w.take();
}

// The theme; the loop comes back here, so it also restores speed and tempo.
XmPattern theme() {
    PatternWriter w(64, channels);
    w.effect(0, kickChannel, setSpeed, 6);
    w.effect(0, snareChannel, setSpeed, bpm);
    harmony(w, {chordD, chordFsm, chordG, chordA}, false, {22, 22, 22, 22}, true);
    w.bars(bassPart, 0, bar, {bassD, bassFsm, bassG, bassA});
    w.bars(leadPart, 0, bar,
           {"A4:2 D5:2 F#5:4 E5:2 D5:2 E5:4", "C#5:4 A4:2 C#5:2 E5:6v r:2",
            "D5:2 E5:2 D5:2 B4:2 G4:4 B4:2 D5:2", "C#5:2 D5:2 E5:4 ~A5:6v r:2"});
    w.echo(leadPart, echoPart, 3, 18);
    groove(w, kickBeat, snareBeat, hatBeat);
    return w.take();
}

// The theme's answer, ending on the leading note of the middle part.
XmPattern answer() {
    PatternWriter w(64, channels);
    harmony(w, {chordD, chordFsm, chordG, chordA}, false, {22, 22, 22, 22}, true);
    w.bars(bassPart, 0, bar, {bassD, bassFsm, bassG, bassA});
    w.bars(leadPart, 0, bar,
           {"A4:2 D5:2 F#5:4 A5:2 G5:2 F#5:4", "E5:2 F#5:2 E5:2 C#5:2 A4:6v r:2",
            "B4:2 D5:2 G5:4 F#5:2 E5:2 D5:4", "C#5:4 E5:4 A4:2 B4:2 C#5:4"});
    w.echo(leadPart, echoPart, 3, 18);
    groove(w, kickBeat, snareBeat, hatBeat);
    w.drums(snareChannel, 3 * bar + 8, "....s.gs", kit);
    return w.take();
}

// The middle part over Bm - G - Em - A, plucks on every eighth.
XmPattern middle() {
    PatternWriter w(64, channels);
    harmony(w, {chordBm, chordG, chordEm, chordA}, false, {26, 26, 26, 26}, false);
    w.bars(bassPart, 0, bar, {bassBm, bassGToEm, bassEm, bassA});
    w.bars(leadPart, 0, bar,
           {"D5:4 F#5:4 B5:6v A5:2", "G5:4 F#5:2 E5:2 D5:4 B4:4", "E5:4 G5:4 B5:4 A5:2 G5:2",
            "A4:4 ~C#5:4 E5:6v r:2"});
    w.echo(leadPart, echoPart, 3, 18);
    groove(w, "k.....k...k.....", snareBeat, "c,c,c,c,c,c,c,c,");
    return w.take();
}

// The middle part's answer; the last bar slows down (tempo, then speed) and jumps back.
XmPattern turn() {
    PatternWriter w(64, channels);
    harmony(w, {chordBm, chordG, chordEm, chordA}, false, {26, 26, 26, 26}, false);
    w.bars(bassPart, 0, bar, {bassBm, bassGToEm, bassEm, "A1:8 E2:4 A2:2 r:2"});
    w.bars(leadPart, 0, bar,
           {"F#5:4 B5:4 A5:2 F#5:2 D5:4", "E5:2 D5:2 B4:4 D5:4 G5:4", "G5:4 F#5:4 E5:4 B4:4",
            "C#5:4 B4:4 E5:6v r:2"});
    w.echo(leadPart, echoPart, 3, 18);
    groove(w, "k.....k...k.....", snareBeat, "c,c,c,c,c,c,c,c,");
    w.drums(snareChannel, 3 * bar, "....s...s.s.ssss", kit);
    w.effect(56, snareChannel, setSpeed, 118);  // a touch slower into the turn
    w.effect(60, kickChannel, setSpeed, 7);
    w.effect(63, kickChannel, positionJump, 1);
    return w.take();
}

}  // namespace

XmModule composeIntro() {
    return songOfPatterns(channels, bpm, instruments(),
                          {welcome(), theme(), answer(), middle(), turn()});
}

}  // namespace qvl::music
