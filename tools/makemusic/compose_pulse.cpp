// "pulse": a driving piece in E minor at 138 BPM. A sixteenth-note bass and four-on-the-
// floor drums under arpeggios and a syncopated lead; a half-time breakdown (double speed
// value), a build with a snare roll, a noise riser and a bass dive, then the drop.
#include <string>

#include "compose.h"
#include "drum_samples.h"
#include "instruments.h"
#include "score.h"
#include "tone_samples.h"

namespace qvl::music {

namespace {

constexpr int bpm = 138;
constexpr int channels = 10;
constexpr int bar = 16;
constexpr int halfTimeBar = 8;  // at twice the ticks per row

enum Instrument : uint8_t { lead = 1, leadEcho, pluck, pad, bass, kick, clap, hat, openHat, riser };

const Part leadPart{0, lead, 0x10, 1, 0x52};
const Part echoPart{1, leadEcho, 0x10, 1, 0x52};
const Part pluckPart{2, pluck};
const Part riserPart{2, riser};
const Part padPart{3, pad, 0x20, 1};
const Part bassPart{6, bass};
constexpr int kickChannel = 7, clapChannel = 8, hatChannel = 9;

// '1' to '5' are snare-roll strokes of rising volume.
const DrumKit kit = {{'k', {kick}},     {'s', {clap}},        {'c', {hat}},      {',', {hat, 10}},
                     {'o', {openHat}},  {'O', {openHat, 40}}, {'1', {clap, 12}}, {'2', {clap, 20}},
                     {'3', {clap, 30}}, {'4', {clap, 42}},    {'5', {clap, 56}}};

std::vector<XmInstrument> instruments() {
    XmSample leadWave =
        pingPongSample({128, 4, pulseHarmonics(20, 0.12, 16), pulseHarmonics(16, 0.25, 10)});
    XmInstrument leadVoice = instrumentOf(leadWave, 40, 120);
    leadVoice.volume = withSustain(envelopeOf(bpm, {{0, 0}, {0.01, 64}, {0.2, 48}, {0.5, 0}}), 2);
    leadVoice.panning = withSustain(envelopeOf(bpm, {{0, 36}, {0.3, 30}, {0.8, 28}}), 1);
    setRelease(leadVoice, bpm, 0.4);
    setAutoVibrato(leadVoice, bpm, 5.5, 4, 0.4);
    XmInstrument echoVoice = leadVoice;
    echoVoice.samples[0].panning = 190;

    XmSample square =
        pingPongSample({128, 2, pulseHarmonics(16, 0.5, 14), pulseHarmonics(12, 0.5, 9)});
    XmInstrument pluckVoice = instrumentOf(square, 28, 80);
    pluckVoice.volume = envelopeOf(bpm, {{0, 64}, {0.08, 22}, {0.25, 0}});

    XmInstrument padVoice = instrumentOf(padSample({16384, 128, 3, 28, 9, 0.4, 13}), 20, 128);
    padVoice.volume = withLoop(envelopeOf(bpm, {{0, 0}, {0.3, 64}, {0.9, 52}, {1.5, 64}}), 1, 3);
    padVoice.panning = withLoop(envelopeOf(bpm, {{0, 32}, {1, 40}, {2, 24}, {3, 32}}), 0, 3);
    setRelease(padVoice, bpm, 0.8);

    XmInstrument bassVoice = instrumentOf(pluckedSample({256, 16, 48, 28, 6, 3, 0.2}), 46, 128);
    bassVoice.volume = withSustain(envelopeOf(bpm, {{0, 64}, {0.06, 44}, {0.3, 30}, {0.35, 0}}), 2);
    setRelease(bassVoice, bpm, 0.08);

    XmInstrument riserVoice = instrumentOf(noiseLoopSample(22050, 8192, 2000, 59), 30, 128);
    riserVoice.volume = envelopeOf(bpm, {{0, 0}, {3.5, 64}});

    return {
        leadVoice,
        echoVoice,
        pluckVoice,
        padVoice,
        bassVoice,
        instrumentOf(kickSample({22050, 0.3, 180, 50, 0.03, 0.12, 0.4, 2.0, 13}), 56, 128),
        instrumentOf(snareSample({44100, 0.25, 200, 0.03, 0.25, 0.09, 900, 8000, 3, 29}), 46, 136),
        instrumentOf(hatSample({44100, 0.05, 0.012, 8000, 0.4, 43}), 24, 168),
        instrumentOf(hatSample({44100, 0.3, 0.09, 7000, 0.5, 47}), 22, 168),
        riserVoice};
}

struct ChordBar {
    const char* pad;
    const char* pluck;  // an arpeggiated eighth, repeated through the bar
    const char* bass;   // low, high and passing note of the sixteenth-note figure
    const char* bassHigh;
    const char* bassTurn;
};
const ChordBar eMin{"E4 G4 B4", "E5:2a37", "E2", "E3", "D3"};
const ChordBar cMaj{"E4 G4 C5", "E5:2a38", "C2", "C3", "A2"};
const ChordBar gMaj{"D4 G4 B4", "D5:2a59", "G1", "G2", "A1"};
const ChordBar dMaj{"D4 F#4 A4", "D5:2a47", "D2", "D3", "D#2"};
const ChordBar aMin{"E4 A4 C5", "E5:2a58", "A1", "A2", "B1"};
const ChordBar cMajB{"E4 G4 C5", "E5:2a38", "C2", "C3", "D2"};
const ChordBar eMinB{"E4 G4 B4", "E5:2a37", "E2", "E3", "C2"};
const ChordBar bMaj{"D#4 F#4 B4", "D#5:2a38", "B1", "B2", "D#2"};

const ChordBar verse[4] = {eMin, cMaj, gMaj, dMaj};
const ChordBar chorus[4] = {aMin, cMajB, eMinB, bMaj};

std::string bassBar(const ChordBar& c) {
    const std::string low = c.bass, high = c.bassHigh;
    const std::string beat = low + ":2 " + low + ":1 " + high + ":1 ";
    return beat + beat + beat + low + ":1 " + high + ":1 " + c.bassTurn + ":2";
}

void bassLine(PatternWriter& w, const ChordBar (&bars)[4], int count = 4) {
    for (int b = 0; b < count; ++b) w.line(bassPart, b * bar, bassBar(bars[b]));
}

void plucks(PatternWriter& w, const ChordBar (&bars)[4], int volume, bool offbeats, int from = 0,
            int count = 4) {
    for (int b = from; b < from + count; ++b) {
        const std::string note = std::string(bars[b].pluck) + "@" + std::to_string(volume);
        w.line(pluckPart, b * bar, offbeats ? repeated("_:2 " + note, 4) : repeated(note, 8));
    }
}

void pads(PatternWriter& w, const ChordBar (&bars)[4], int barRows, bool strike) {
    for (int b = 0; b < 4; ++b) {
        w.chord(padPart, b * barRows, bars[b].pad, !(strike && b == 0),
                {panByte(4), panByte(8), panByte(12)});
    }
}

void drums(PatternWriter& w, const char* kicks, const char* claps, const char* hats) {
    for (int b = 0; b < 4; ++b) {
        if (kicks) w.drums(kickChannel, b * bar, kicks, kit);
        if (claps) w.drums(clapChannel, b * bar, claps, kit);
        if (hats) w.drums(hatChannel, b * bar, hats, kit);
    }
}

const char* const fourFloor = "k...k...k...k...";
const char* const backbeat = "....s.......s...";

// Kick, hats and bass; plucks come in and a clap leads into the groove.
XmPattern ignition() {
    PatternWriter w(64, channels);
    drums(w, fourFloor, nullptr, "c.c.c.c.c.c.c.c.");
    bassLine(w, verse);
    plucks(w, verse, 18, true, 2, 2);
    w.drums(clapChannel, 3 * bar, "....s.......s.ss", kit);
    return w.take();
}

// The groove; the song comes back here.
XmPattern groove() {
    PatternWriter w(64, channels);
    w.effect(0, kickChannel, setSpeed, 6);
    drums(w, fourFloor, backbeat, "c,c,c,c,c,c,c,c,");
    bassLine(w, verse);
    plucks(w, verse, 26, false);
    return w.take();
}

XmPattern verseLead() {
    PatternWriter w(64, channels);
    drums(w, fourFloor, backbeat, "c,o,c,o,c,o,c,o,");
    bassLine(w, verse);
    plucks(w, verse, 16, true);
    w.bars(leadPart, 0, bar,
           {"E5:3 G5:3 B5:2 A5:3 G5:3 F#5:2", "E5:3 G5:3 C6:2 B5:4 G5:4",
            "D5:3 G5:3 B5:2 A5:3 G5:3 D5:2", "F#5:6v ~A5:6v r:4"});
    w.echo(leadPart, echoPart, 3, 16);
    return w.take();
}

// Half time: twice the ticks per row, pads and a slow lead over a held bass, no drums.
XmPattern breakdown() {
    PatternWriter w(32, channels);
    w.effect(0, kickChannel, setSpeed, 12);
    pads(w, chorus, halfTimeBar, true);
    w.line(bassPart, 0, "A1:8 C2:8 E2:8 B1:6 r:2");
    w.bars(leadPart, 0, halfTimeBar,
           {"A4:2 C5:2 E5:4v", "D5:2 E5:2 G5:4v", "B4:2 E5:2 G5:4v", "D#5:4v F#5:2 r:2"});
    w.echo(leadPart, echoPart, 2, 18);
    return w.take();
}

// Back to speed: a snare roll that thickens and swells, a noise riser sweeping up over the
// second half and the bass diving away before the drop.
XmPattern build() {
    PatternWriter w(64, channels);
    w.effect(0, kickChannel, setSpeed, 6);
    pads(w, chorus, bar, false);
    bassLine(w, chorus, 3);
    w.line(bassPart, 3 * bar, "B1:2 B1:1 B2:1 B1:2 B1:1 B2:1 B2:8");
    for (int row = 57; row < 64; ++row) w.effect(row, bassPart.channel, portaDown, 0x08);
    w.drums(kickChannel, 0, "k...k...k...k... k...k...k...k... k...k...k...k... k.......k.......",
            kit);
    w.drums(clapChannel, 0, "....2.......2... 2...2...3...3... 3.3.3.3.4.4.4.4. 4444444455555555",
            kit);
    w.drums(hatChannel, 0, "c.c.c.c.c.c.c.c. c.c.c.c.c.c.c.c. c.c.c.c.c.c.c.c.", kit);
    plucks(w, chorus, 22, false, 0, 2);
    w.line(riserPart, 2 * bar, "C3:32");
    for (int row = 2 * bar + 1; row < 64; ++row) w.effect(row, riserPart.channel, portaUp, 0x02);
    return w.take();
}

// The drop: everything together over the second progression, then back to the groove.
XmPattern drop() {
    PatternWriter w(64, channels);
    pads(w, chorus, bar, false);
    for (int c = 0; c < 3; ++c) w.line({padPart.channel + c, pad}, 60, "r:4");
    drums(w, fourFloor, backbeat, "c.o.c.o.c.o.c.o.");
    w.drums(hatChannel, 0, "O", kit);  // a crash on the one
    bassLine(w, chorus);
    plucks(w, chorus, 20, true);
    w.bars(leadPart, 0, bar,
           {"A5:3 E5:3 C5:2 E5:3 A5:3 B5:2", "C6:3 B5:3 G5:2 E5:4 G5:4",
            "B5:3 G5:3 E5:2 G5:3 B5:3 E6:2", "D#6:4 B5:4 F#5:4 D#5:2 r:2"});
    w.echo(leadPart, echoPart, 3, 16);
    w.effect(63, kickChannel, positionJump, 1);
    return w.take();
}

}  // namespace

XmModule composePulse() {
    return songOfPatterns(channels, bpm, instruments(),
                          {ignition(), groove(), verseLead(), breakdown(), build(), drop()});
}

}  // namespace qvl::music
