// Signal building blocks for the demo music's samples: seeded noise, second-order filters,
// and the tuning that makes a sample of known pitch play equal-tempered notes.
#pragma once

#include <cstdint>
#include <vector>

namespace qvl::music {

constexpr double pi = 3.14159265358979323846;
constexpr double middleCHz = 261.6255653005986;  // C-4 in equal temperament, A-4 = 440 Hz

// xorshift32 noise: a fixed seed gives the same sound, bit for bit, on every run.
class Noise {
  public:
    explicit Noise(uint32_t seed) : state_(seed != 0 ? seed : 1) {}
    double next();  // uniform in [-1, 1)

  private:
    uint32_t state_;
};

// One second-order filter section (the common low-, high- and band-pass designs).
class Biquad {
  public:
    static Biquad lowPass(double rate, double cutoff, double q);
    static Biquad highPass(double rate, double cutoff, double q);
    static Biquad bandPass(double rate, double centre, double q);
    double process(double x);

  private:
    Biquad(double b0, double b1, double b2, double a0, double a1, double a2);
    double b0_, b1_, b2_, a1_, a2_;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// What a sample header needs so that the note C-4 plays the sample at a given rate.
struct Tuning {
    int8_t relativeNote = 0;
    int8_t finetune = 0;
};

// Tuning for a sample whose C-4 should play at `framesPerSecond` (drums: their own rate).
Tuning tuningForRate(double framesPerSecond);
// Tuning for a periodic wave of `cycleFrames` frames per cycle: C-4 sounds middle C.
Tuning tuningForCycle(double cycleFrames);

// Scales frames so that the largest magnitude is `peak` (fraction of full scale) and
// rounds them to 16-bit values.
std::vector<int> toPcm16(const std::vector<double>& frames, double peak);
// The same for 8-bit values, for noisy sounds whose noise hides the coarser steps.
std::vector<int> toPcm8(const std::vector<double>& frames, double peak);

}  // namespace qvl::music
