// "drift": a slow, ambient piece in F at 75 BPM. Chorused pads glide between seventh
// chords over a sub bass, glass bells ring in eighths, a soft lead with its echo floats
// above; the last bar slows down and the song returns to its first theme.
#include "compose.h"
#include "drum_samples.h"
#include "instruments.h"
#include "score.h"
#include "tone_samples.h"

namespace qvl::music {

namespace {

constexpr int bpm = 75;
constexpr int channels = 9;
constexpr int bar = 16;

enum Instrument : uint8_t { glass = 1, glassEcho, bell, pad, sub, kick, shaker };

const Part leadPart{0, glass, 0x04, 3, 0x42};
const Part echoPart{1, glassEcho, 0x04, 3, 0x42};
const Part bellPart{2, bell};
const Part padPart{3, pad, 0x06, 2};
const Part subPart{6, sub, 0x30, 1};
constexpr int kickChannel = 7, shakerChannel = 8;

const DrumKit kit = {{'k', {kick}}, {'s', {shaker}}, {',', {shaker, 8}}};

std::vector<XmInstrument> instruments() {
    XmSample glassWave = pingPongSample({128, 4, {1, 0.5, 0.3, 0.2, 0.1}, {1, 0.25, 0.08, 0.03}});
    XmInstrument glassVoice = instrumentOf(glassWave, 44, 120);
    glassVoice.volume = withSustain(envelopeOf(bpm, {{0, 0}, {0.15, 64}, {0.9, 50}, {2.5, 0}}), 2);
    glassVoice.panning = withSustain(envelopeOf(bpm, {{0, 26}, {1.2, 34}, {3, 30}}), 1);
    setRelease(glassVoice, bpm, 1.5);
    setAutoVibrato(glassVoice, bpm, 4.0, 5, 1.0);
    XmInstrument echoVoice = glassVoice;
    echoVoice.samples[0].panning = 200;

    XmSample bellWave =
        pingPongSample({128, 3, {1, 0.6, 0.5, 0.3, 0.3, 0.2}, {1, 0.1, 0.3, 0, 0.1}});
    XmInstrument bellVoice = instrumentOf(bellWave, 22, 128);
    bellVoice.volume = envelopeOf(bpm, {{0, 0}, {0.01, 64}, {0.6, 22}, {2.5, 0}});

    XmInstrument padVoice = instrumentOf(padSample({16384, 128, 3, 16, 4, 0.2, 9}), 24, 128);
    padVoice.volume = withLoop(envelopeOf(bpm, {{0, 0}, {1.5, 64}, {3, 44}, {4.5, 64}}), 1, 3);
    padVoice.panning = withLoop(envelopeOf(bpm, {{0, 32}, {3, 42}, {6, 22}, {9, 32}}), 0, 3);
    setRelease(padVoice, bpm, 2.5);

    XmInstrument subVoice = instrumentOf(pluckedSample({256, 4, 4, 3, 2, 1, 1.0}), 36, 128);
    subVoice.volume = withSustain(envelopeOf(bpm, {{0, 0}, {0.3, 64}, {1, 56}, {2, 0}}), 2);
    setRelease(subVoice, bpm, 1.0);

    return {glassVoice,
            echoVoice,
            bellVoice,
            padVoice,
            subVoice,
            instrumentOf(kickSample({22050, 0.5, 90, 42, 0.05, 0.25, 0.05, 1.0, 17}), 40, 128),
            instrumentOf(hatSample({44100, 0.12, 0.035, 5000, 0.0, 51}), 18, 176)};
}

// The pad voicing and the bell figure of one bar (eighths, panned from side to side).
struct ChordBar {
    const char* pad;
    const char* bells;
};
const ChordBar fMaj7{"A3 C4 E4", "E5:2p4 A5:2p11 C6:4p7 G5:2p4 E6:2p11 C6:4p7"};
const ChordBar gOverF{"B3 D4 G4", "D5:2p4 G5:2p11 B5:4p7 A5:2p4 D6:2p11 B5:4p7"};
const ChordBar eMin7{"B3 D4 G4", "B4:2p4 E5:2p11 G5:4p7 D5:2p4 B5:2p11 G5:4p7"};
const ChordBar aMin7{"C4 E4 G4", "C5:2p4 E5:2p11 A5:4p7 G5:2p4 C6:2p11 A5:4p7"};
const ChordBar dMin9{"C4 E4 F4", "D5:2p4 F5:2p11 A5:4p7 E5:2p4 C6:2p11 A5:4p7"};
const ChordBar bbMaj7{"D4 F4 A4", "D5:2p4 F5:2p11 A5:4p7 C5:2p4 Bb5:2p11 F5:4p7"};
const ChordBar fMaj7High{"C4 E4 A4", "E5:2p4 A5:2p11 C6:4p7 G5:2p4 E6:2p11 C6:4p7"};
const ChordBar gMin7{"D4 F4 Bb4", "D5:2p4 G5:2p11 Bb5:4p7 F5:2p4 D6:2p11 Bb5:4p7"};
const char* const cSus4 = "C4 F4 G4";
const char* const cMajor = "C4 E4 G4";
const char* const cBells = "C5:2p4 F5:2p11 G5:4p7 E5:2p4 G5:2p11 C6:4p7";

// Pads over four bars, gliding from chord to chord unless the first is struck; the last
// bar may resolve a suspension halfway. Bells play in the bars marked.
void harmony(PatternWriter& w, const ChordBar (&bars)[4], bool strike, const bool (&bells)[4]) {
    for (int b = 0; b < 4; ++b) {
        w.chord(padPart, b * bar, bars[b].pad, !(strike && b == 0),
                {panByte(3), panByte(8), panByte(13)});
        if (bells[b]) w.line(bellPart, b * bar, bars[b].bells);
    }
}

void suspendedEnding(PatternWriter& w, bool bells) {
    w.chord(padPart, 3 * bar, cSus4, true);
    w.chord(padPart, 3 * bar + 8, cMajor, true);
    if (bells) w.line(bellPart, 3 * bar, cBells);
}

void percussion(PatternWriter& w, bool kicks) {
    for (int b = 0; b < 4; ++b) {
        if (kicks) w.drums(kickChannel, b * bar, "k.........k.....", kit);
        w.drums(shakerChannel, b * bar, "..s.,.s...s.,.s.", kit);
    }
}

// Pads fade in with the bells; the sub bass joins in the third bar.
XmPattern opening() {
    PatternWriter w(64, channels);
    harmony(w, {fMaj7, gOverF, eMin7, aMin7}, true, {true, true, true, true});
    for (int c = 0; c < 3; ++c) {
        w.effect(0, padPart.channel + c, setVolume, 0);
        for (int row = 1; row <= 4; ++row) w.volumeColumn(row, padPart.channel + c, slideUpByte(1));
    }
    w.line(subPart, 2 * bar, "E2:16 ~A1:12 ~C2:4");
    return w.take();
}

// The first theme; the song comes back here, so it restores speed and tempo.
XmPattern firstTheme() {
    PatternWriter w(64, channels);
    w.effect(0, kickChannel, setSpeed, 6);
    w.effect(0, shakerChannel, setSpeed, bpm);
    harmony(w, {fMaj7, gOverF, eMin7, aMin7}, false, {false, false, false, false});
    w.line(subPart, 0, "~F2:16 _:16 ~E2:16 ~A1:12 ~C2:4");
    w.bars(leadPart, 0, bar,
           {"A4:4 C5:4 E5:8v", "D5:4 B4:4 D5:4 G5:4", "~E5:12v D5:4", "C5:4 B4:4 A4:6v r:2"});
    w.echo(leadPart, echoPart, 4, 20);
    percussion(w, false);
    return w.take();
}

XmPattern secondTheme() {
    PatternWriter w(64, channels);
    harmony(w, {dMin9, bbMaj7, fMaj7High, fMaj7High}, false, {false, false, true, false});
    suspendedEnding(w, true);
    w.line(subPart, 0, "~D2:16 ~Bb1:16 ~F2:16 ~C2:16");
    w.bars(leadPart, 0, bar,
           {"E5:4 F5:4 A5:8v", "G5:4 F5:4 D5:8v", "E5:8v C5:4 A4:4", "F5:8v ~E5:6v r:2"});
    w.echo(leadPart, echoPart, 4, 20);
    percussion(w, true);
    return w.take();
}

// The second theme's answer; its last bar slows down (speed, then tempo) and the song
// jumps back to the first theme, the held C resolving to F.
XmPattern farewell() {
    PatternWriter w(64, channels);
    harmony(w, {dMin9, bbMaj7, gMin7, gMin7}, false, {true, true, false, false});
    suspendedEnding(w, false);
    w.line(subPart, 0, "~D2:16 ~Bb1:16 ~G1:16 ~C2:16");
    w.bars(leadPart, 0, bar,
           {"A5:6v G5:2 F5:4 E5:4", "D5:8v F5:4 A5:4", "Bb5:6v ~A5:6 F5:4", "G5:8v ~E5:6v r:2"});
    w.echo(leadPart, echoPart, 4, 20);
    percussion(w, true);
    w.effect(48, kickChannel, setSpeed, 7);
    w.effect(56, shakerChannel, setSpeed, 70);
    w.effect(63, kickChannel, positionJump, 1);
    return w.take();
}

}  // namespace

XmModule composeDrift() {
    return songOfPatterns(channels, bpm, instruments(),
                          {opening(), firstTheme(), secondTheme(), farewell()});
}

}  // namespace qvl::music
