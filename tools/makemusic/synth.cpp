// Noise, filters and tuning. The tuning inverts the player's linear frequency table:
// 64 period units a semitone, finetune counting half units.
#include "synth.h"

#include <algorithm>
#include <cmath>

namespace qvl::music {

double Noise::next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<double>(state_) / 2147483648.0 - 1.0;
}

Biquad::Biquad(double b0, double b1, double b2, double a0, double a1, double a2)
    : b0_(b0 / a0), b1_(b1 / a0), b2_(b2 / a0), a1_(a1 / a0), a2_(a2 / a0) {}

Biquad Biquad::lowPass(double rate, double cutoff, double q) {
    const double w = 2 * pi * cutoff / rate, alpha = std::sin(w) / (2 * q), c = std::cos(w);
    return Biquad((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

Biquad Biquad::highPass(double rate, double cutoff, double q) {
    const double w = 2 * pi * cutoff / rate, alpha = std::sin(w) / (2 * q), c = std::cos(w);
    return Biquad((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

Biquad Biquad::bandPass(double rate, double centre, double q) {
    const double w = 2 * pi * centre / rate, alpha = std::sin(w) / (2 * q), c = std::cos(w);
    return Biquad(alpha, 0, -alpha, 1 + alpha, -2 * c, 1 - alpha);
}

double Biquad::process(double x) {
    const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
}

Tuning tuningForRate(double framesPerSecond) {
    // C-4 is real note 48, which plays at 8363 Hz; each period unit is 1/768 octave.
    const double units = 768.0 * std::log2(framesPerSecond / 8363.0);
    const int relative = static_cast<int>(std::lround(units / 64.0));
    // an even finetune halves exactly, so the remainder is met to the nearest unit
    const int rest = static_cast<int>(std::lround(units - 64.0 * relative));
    return {static_cast<int8_t>(relative), static_cast<int8_t>(std::clamp(2 * rest, -128, 126))};
}

Tuning tuningForCycle(double cycleFrames) {
    return tuningForRate(middleCHz * cycleFrames);
}

namespace {

std::vector<int> toPcm(const std::vector<double>& frames, double peak, int fullScale) {
    double largest = 0;
    for (double f : frames) largest = std::max(largest, std::fabs(f));
    const double scale = largest > 0 ? peak * fullScale / largest : 0.0;
    std::vector<int> pcm(frames.size());
    for (size_t i = 0; i < frames.size(); ++i) {
        pcm[i] =
            std::clamp(static_cast<int>(std::lround(frames[i] * scale)), -fullScale, fullScale);
    }
    return pcm;
}

}  // namespace

std::vector<int> toPcm16(const std::vector<double>& frames, double peak) {
    return toPcm(frames, peak, 32767);
}

std::vector<int> toPcm8(const std::vector<double>& frames, double peak) {
    return toPcm(frames, peak, 127);
}

}  // namespace qvl::music
