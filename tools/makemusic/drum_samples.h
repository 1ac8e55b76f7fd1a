// The drum samples of the demo music, made from sines and seeded noise: a kick whose pitch
// drops, a snare or clap of tone and filtered noise, hi-hats, and a looped noise for risers.
#pragma once

#include <cstdint>

#include "xmwrite/xm_writer.h"

namespace qvl::music {

// Drums are tuned so that the note C-4 plays them at their own rate.
struct KickShape {
    int rate = 22050;
    double seconds = 0.35;
    double startHz = 160, endHz = 48;
    double sweepSeconds = 0.035;  // time constant of the pitch drop
    double decaySeconds = 0.16;   // time constant of the body
    double click = 0.3;           // level of the noise click at the start
    double drive = 1.5;           // soft saturation, for punch
    uint32_t seed = 11;
};
XmSample kickSample(const KickShape& shape);

struct SnareShape {
    int rate = 44100;
    double seconds = 0.22;
    double toneHz = 185, toneDecaySeconds = 0.05, toneLevel = 0.5;
    double noiseDecaySeconds = 0.08;
    double highPassHz = 1200, lowPassHz = 9000;
    int claps = 0;  // extra noise bursts 11 ms apart before the tail, for a clap
    uint32_t seed = 23;
};
XmSample snareSample(const SnareShape& shape);  // 8-bit: noise hides the coarser steps

struct HatShape {
    int rate = 44100;
    double seconds = 0.07;
    double decaySeconds = 0.018;
    double highPassHz = 7000;
    double metal = 0.4;  // level of the square-wave cluster that gives the metallic ring
    uint32_t seed = 37;
};
XmSample hatSample(const HatShape& shape);  // 8-bit

// Band-passed noise looped forward over all of it (8-bit); with portamento it is a riser.
XmSample noiseLoopSample(int rate, int frames, double centreHz, uint32_t seed);

}  // namespace qvl::music
