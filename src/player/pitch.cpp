// Periods, frequencies and vibrato waves. The linear frequency and the automatic vibrato
// sine are worked out in double precision and then truncated.
#include "player/pitch.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "player/channel.h"
#include "player/song.h"

namespace qvl {

namespace {

// Magnitude of the vibrato sine for the phase's low 5 bits: one half wave.
constexpr uint8_t vibratoSine[32] = {0,   24,  49,  74,  97,  120, 141, 161, 180, 197, 212,
                                     224, 235, 244, 250, 253, 255, 253, 250, 244, 235, 224,
                                     212, 197, 180, 161, 141, 120, 97,  74,  49,  24};

constexpr double linearFactor = 0.0013020833721384406;  // 1/768 rounded to single precision
constexpr double autoVibratoStep = 0.01227184375;       // 3.141592 / 256

// Rounded, not truncated: truncation plays high notes up to 18 cents sharp.
int32_t tablePeriod(int k) {
    return static_cast<int32_t>(std::floor(13.375 * std::exp2((132.0 - k) / 12.0) + 0.5));
}

}  // namespace

int32_t amigaPeriod(int n, int f) {
    const int32_t base = tablePeriod(n);
    if (f >= 0 || n == 0) return base + (base - tablePeriod(n + 1)) * f / -128;
    return base + (base - tablePeriod(n - 1)) * std::abs(f) / -128;
}

int32_t notePeriod(bool linear, int realNote, int finetune) {
    // quirk: the tracker keeps only the upper five bits of a finetune, 16 steps a semitone
    const int fine = finetune & ~7;
    if (linear) return 7680 - 64 * realNote - fine / 2;
    return amigaPeriod(realNote, fine);
}

int nearestNote(bool linear, int32_t period, int finetune) {
    int low = 0, high = 112;  // the first note whose period lies at or below the period
    while (low < high) {
        const int mid = (low + high) / 2;
        if (notePeriod(linear, mid, finetune) <= period) {
            high = mid;
        } else {
            low = mid + 1;
        }
    }
    const bool lowerNearer = low > 0 && notePeriod(linear, low - 1, finetune) - period <
                                            period - notePeriod(linear, low, finetune);
    return lowerNearer ? low - 1 : low;
}

// quirk: the tracker keeps a slide up within periods 1..31999 (a period above comes back
// to 31999 at once); a slide down has no limit, its 16-bit period wrapping past 65535 to 0
int32_t slideUp(int32_t period, int amount) {
    return std::clamp(period - amount, 1, 31999);
}

int32_t slideDown(int32_t period, int amount) {
    return (period + amount) & 0xFFFF;
}

int64_t periodFrequency(bool linear, int32_t period, int32_t periodDelta) {
    if (linear) {
        const double exponent = (4608.0 - period + periodDelta) * linearFactor;
        // guard: far outside the voice's range the value is clamped before truncation
        const double f = std::fmin(8363.0 * std::exp2(std::fmin(exponent, 64.0)), 1e12);
        return static_cast<int64_t>(f);
    }
    const int64_t sum = int64_t{period} + periodDelta;
    if (sum <= 0) return 705600;  // guard: no division by zero or a negative period
    return 14317056 / sum;
}

int waveMagnitude(int p, int waveform) {
    switch (waveform & 3) {
        case 0:
            return vibratoSine[p & 31];
        case 1:
            return p >= 0 ? 8 * p : 255 - ((8 * p) & 255);
        default:
            return 255;
    }
}

int32_t vibratoOffset(int p, int d, uint8_t waveControl) {
    const int32_t offset = ((waveMagnitude(p, waveControl) * d) >> 5) & ~3;
    return p >= 0 ? -offset : offset;
}

void autoVibrato(Channel& ch, const Instrument& ins) {
    const int pos = ch.autoVibratoPos;
    int v;
    switch (ins.autoVibType) {
        case 1:
            v = pos < 128 ? 64 : -64;
            break;
        case 2:
            v = (128 - ((pos + 128) % 256)) >> 1;
            break;
        case 3:
            v = (128 - ((384 - pos) % 256)) >> 1;
            break;
        default:  // quirk: types above 3 play the sine
            v = static_cast<int>(std::sin(2 * pos * autoVibratoStep) * 64);
            break;
    }
    int32_t amount = ins.autoVibDepth * v;
    if (ins.autoVibSweep != 0) amount = ch.autoVibratoCount * amount / ins.autoVibSweep;
    ch.periodDelta += amount >> 6;
    if (ch.autoVibratoCount < ins.autoVibSweep) ++ch.autoVibratoCount;
    ch.autoVibratoPos += ins.autoVibRate;
    if (ch.autoVibratoPos > 255) ch.autoVibratoPos -= 256;
    ch.requests |= requestFrequency;
}

}  // namespace qvl
