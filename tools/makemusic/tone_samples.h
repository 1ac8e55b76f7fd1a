// The pitched samples of the demo music, built from harmonics: plucks that darken into a
// forward-looped cycle, leads whose ping-pong loop covers half a cycle, and chorused pads.
#pragma once

#include <cstdint>
#include <vector>

#include "xmwrite/xm_writer.h"

namespace qvl::music {

// Harmonic amplitudes: entry k - 1 belongs to harmonic k.
using Harmonics = std::vector<double>;

// A sawtooth's 1/k series under a gentle low-pass with its corner at `cornerHarmonic`.
Harmonics sawHarmonics(int count, double cornerHarmonic);
// A pulse of width `duty` (0.5 is a square), centred on phase 0, under the same low-pass.
Harmonics pulseHarmonics(int count, double duty, double cornerHarmonic);

// A saw pluck: bright at the start, low-passed ever more until its last cycle, which loops.
struct PluckShape {
    int cycleFrames = 256;
    int cycles = 24;
    int harmonics = 40;
    double brightCorner = 24;     // low-pass corner in harmonics at the first frame
    double darkCorner = 4;        // and in the looped last cycle
    double decayCycles = 5;       // time constant of the darkening
    double fundamentalBoost = 0;  // extra level of harmonic 1, for a rounder bass
};
XmSample pluckedSample(const PluckShape& shape);

// A wave that is even about phase 0 reads the same backwards, so a ping-pong loop over half
// of its cycle plays it whole. An attack of whole cycles morphs from `attack` into `held`,
// starting where `held` crosses zero so that notes begin without a click.
struct PingPongShape {
    int cycleFrames = 128;
    int attackCycles = 8;
    Harmonics attack;
    Harmonics held;
};
XmSample pingPongSample(const PingPongShape& shape);

// Detuned saws with whole numbers of cycles in the loop, so the chorus loops seamlessly.
struct PadShape {
    int loopFrames = 16384;
    int cycles = 128;  // cycles of the centre voice in the loop
    int voices = 3;    // spread by one cycle per loop each side of the centre
    int harmonics = 24;
    double corner = 6;       // low-pass corner in harmonics
    double octaveLevel = 0;  // a voice an octave up, relative to the centre voice
    uint32_t seed = 1;       // start phases
};
XmSample padSample(const PadShape& shape);

}  // namespace qvl::music
