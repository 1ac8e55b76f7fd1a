// Drum synthesis. Each hit fades to zero over its last milliseconds so that it never ends
// on a step; noise comes from fixed seeds so that every build makes the same bytes.
#include "drum_samples.h"

#include <cmath>
#include <vector>

#include "synth.h"

namespace qvl::music {

namespace {

void fadeTail(std::vector<double>& frames, int rate) {
    const int n = static_cast<int>(frames.size()), fade = rate / 200;  // 5 ms
    for (int i = 0; i < fade && i < n; ++i) frames[n - 1 - i] *= static_cast<double>(i) / fade;
}

void tuneToRate(XmSample& s, int rate) {
    const Tuning t = tuningForRate(rate);
    s.relativeNote = t.relativeNote;
    s.finetune = t.finetune;
}

XmSample drumSample(std::vector<double> frames, int rate, bool eightBit) {
    fadeTail(frames, rate);
    XmSample s;
    s.frames = eightBit ? toPcm8(frames, 0.95) : toPcm16(frames, 0.95);
    s.sixteenBit = !eightBit;
    tuneToRate(s, rate);
    return s;
}

}  // namespace

XmSample kickSample(const KickShape& k) {
    const int n = static_cast<int>(k.seconds * k.rate);
    std::vector<double> frames(n);
    Noise noise(k.seed);
    Biquad clickFilter = Biquad::lowPass(k.rate, 3000, 0.7);
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / k.rate;
        const double hz = k.endHz + (k.startHz - k.endHz) * std::exp(-t / k.sweepSeconds);
        const double body = std::sin(2 * pi * phase) * std::exp(-t / k.decaySeconds);
        const double click = k.click * clickFilter.process(noise.next()) * std::exp(-t / 0.003);
        frames[i] = std::tanh(k.drive * (body + click)) / std::tanh(k.drive);
        phase += hz / k.rate;
    }
    return drumSample(frames, k.rate, false);
}

XmSample snareSample(const SnareShape& s) {
    const int n = static_cast<int>(s.seconds * s.rate);
    std::vector<double> frames(n);
    Noise noise(s.seed);
    Biquad high = Biquad::highPass(s.rate, s.highPassHz, 0.7);
    Biquad low = Biquad::lowPass(s.rate, s.lowPassHz, 0.7);
    const double burst = 0.011;  // seconds between clap bursts
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / s.rate;
        const double tone =
            std::sin(2 * pi * s.toneHz * t) + 0.5 * std::sin(2 * pi * s.toneHz * 1.78 * t);
        double noiseLevel;
        if (t < s.claps * burst) {
            noiseLevel = std::exp(-std::fmod(t, burst) / 0.003);
        } else {
            noiseLevel = std::exp(-(t - s.claps * burst) / s.noiseDecaySeconds);
        }
        const double hiss = low.process(high.process(noise.next()));
        frames[i] = s.toneLevel * tone * std::exp(-t / s.toneDecaySeconds) + hiss * noiseLevel;
    }
    return drumSample(frames, s.rate, true);
}

XmSample hatSample(const HatShape& h) {
    const int n = static_cast<int>(h.seconds * h.rate);
    std::vector<double> frames(n);
    Noise noise(h.seed);
    Biquad high = Biquad::highPass(h.rate, h.highPassHz, 0.7);
    Biquad ring = Biquad::bandPass(h.rate, 9000, 1.5);
    // six square waves at unrelated pitches: the classic recipe for a metallic cymbal
    const double metalHz[6] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / h.rate;
        double metal = 0;
        for (double hz : metalHz) metal += std::fmod(hz * 2.1 * t, 1.0) < 0.5 ? 1.0 : -1.0;
        const double v = noise.next() + h.metal * ring.process(metal / 6);
        frames[i] = high.process(v) * std::exp(-t / h.decaySeconds);
    }
    return drumSample(frames, h.rate, true);
}

XmSample noiseLoopSample(int rate, int frames, double centreHz, uint32_t seed) {
    Noise noise(seed);
    Biquad band = Biquad::bandPass(rate, centreHz, 0.8);
    std::vector<double> v(frames);
    for (int i = 0; i < frames; ++i) v[i] = band.process(noise.next());
    // cross-fade the end into the start so that the loop has no seam
    const int blend = frames / 8;
    for (int i = 0; i < blend; ++i) {
        const double w = static_cast<double>(i) / blend;
        v[i] = v[i] * w + v[frames - blend + i] * (1 - w);
    }
    v.resize(frames - blend);
    XmSample s;
    s.frames = toPcm8(v, 0.9);
    tuneToRate(s, rate);
    s.loopBits = 1;
    s.loopStart = 0;
    s.loopLength = static_cast<uint32_t>(s.frames.size());
    return s;
}

}  // namespace qvl::music
