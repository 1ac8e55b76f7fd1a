// Pitched samples. Every loop holds whole cycles (or a half cycle of an even wave for the
// ping-pong loops), so the loops are seamless and the tuning follows from the cycle length.
#include "tone_samples.h"

#include <algorithm>
#include <cmath>

#include "synth.h"

namespace qvl::music {

namespace {

double lowPassGain(int k, double corner) {
    const double r = k / corner;
    return 1.0 / std::sqrt(1.0 + r * r * r * r);
}

// sum of a_k cos(2 pi k phase), phase in cycles
double evenWave(const Harmonics& a, double phase) {
    double v = 0;
    for (size_t k = 1; k <= a.size(); ++k) v += a[k - 1] * std::cos(2 * pi * k * phase);
    return v;
}

XmSample tunedSample(const std::vector<double>& frames, double cycleFrames) {
    XmSample s;
    s.sixteenBit = true;
    s.frames = toPcm16(frames, 0.9);
    const Tuning t = tuningForCycle(cycleFrames);
    s.relativeNote = t.relativeNote;
    s.finetune = t.finetune;
    return s;
}

}  // namespace

Harmonics sawHarmonics(int count, double cornerHarmonic) {
    Harmonics a(count);
    for (int k = 1; k <= count; ++k) a[k - 1] = lowPassGain(k, cornerHarmonic) / k;
    return a;
}

Harmonics pulseHarmonics(int count, double duty, double cornerHarmonic) {
    Harmonics a(count);
    for (int k = 1; k <= count; ++k) {
        a[k - 1] = lowPassGain(k, cornerHarmonic) * std::sin(pi * k * duty) / k;
    }
    return a;
}

XmSample pluckedSample(const PluckShape& shape) {
    const int p = shape.cycleFrames, total = p * shape.cycles, loopStart = total - p;
    std::vector<double> frames(total);
    std::vector<double> gain(shape.harmonics);
    for (int n = 0; n < total; ++n) {
        // the corner glides down and is held exactly in the looped cycle
        const double fade = n < loopStart ? std::exp(-n / (shape.decayCycles * p)) : 0.0;
        const double corner = shape.darkCorner + (shape.brightCorner - shape.darkCorner) * fade;
        double v = 0;
        for (int k = 1; k <= shape.harmonics; ++k) {
            const double a = lowPassGain(k, corner) / k + (k == 1 ? shape.fundamentalBoost : 0);
            v += a * std::sin(2 * pi * k * (n % p) / p);
        }
        frames[n] = v;
    }
    XmSample s = tunedSample(frames, p);
    s.loopBits = 1;
    s.loopStart = static_cast<uint32_t>(loopStart);
    s.loopLength = static_cast<uint32_t>(p);
    return s;
}

XmSample pingPongSample(const PingPongShape& shape) {
    const int p = shape.cycleFrames, half = p / 2;
    // frames back from the peak at phase 0 to the zero crossing before it, of the attack
    // wave, which is what the first frame plays
    const auto attackAt = [&](int back) { return evenWave(shape.attack, -back / double(p)); };
    int lead = 1;
    while (lead < half && attackAt(lead) > 0) ++lead;
    if (lead > 1 && std::fabs(attackAt(lead - 1)) < std::fabs(attackAt(lead))) --lead;
    const int loopStart = shape.attackCycles * p + lead;
    std::vector<double> frames(loopStart + half);
    const int fadeIn = p / 16;  // what the crossing misses between two frames
    for (int n = 0; n < loopStart; ++n) {
        const double t = static_cast<double>(n) / loopStart, phase = (n - loopStart) / double(p);
        const double a = evenWave(shape.attack, phase), h = evenWave(shape.held, phase);
        frames[n] = (a + (h - a) * t * t) * std::min(1.0, static_cast<double>(n) / fadeIn);
    }
    for (int j = 0; j < half; ++j) frames[loopStart + j] = evenWave(shape.held, j / double(p));
    XmSample s = tunedSample(frames, p);
    s.loopBits = 2;
    s.loopStart = static_cast<uint32_t>(loopStart);
    s.loopLength = static_cast<uint32_t>(half);
    return s;
}

XmSample padSample(const PadShape& shape) {
    const int n = shape.loopFrames;
    std::vector<double> frames(n, 0.0);
    Noise phases(shape.seed);
    const Harmonics saw = sawHarmonics(shape.harmonics, shape.corner);
    const auto addVoice = [&](int cycles, double level) {
        for (int k = 1; k <= shape.harmonics; ++k) {
            const double start = pi * phases.next();
            const double step = 2 * pi * k * cycles / n;
            for (int i = 0; i < n; ++i)
                frames[i] += level * saw[k - 1] * std::sin(start + step * i);
        }
    };
    for (int v = 0; v < shape.voices; ++v) {
        const int offset = v - (shape.voices - 1) / 2;
        addVoice(shape.cycles + offset, offset == 0 ? 1.0 : 0.8);
    }
    if (shape.octaveLevel > 0) addVoice(2 * shape.cycles, shape.octaveLevel);
    XmSample s = tunedSample(frames, static_cast<double>(n) / shape.cycles);
    s.loopBits = 1;
    s.loopStart = 0;
    s.loopLength = static_cast<uint32_t>(n);
    return s;
}

}  // namespace qvl::music
