// One frame of a voice as every inner loop of the mixer computes it, the vector loops for their
// tails: the two sample frames around a 32.32 position, a + w x (b - a). The player is built
// without contraction of multiply and add, so each operation rounds in single precision and
// every loop gives the same bits.
#pragma once

#include <cstdint>

namespace qvl {

inline float interpolateFrame(const int16_t* data, int64_t position) {
    const int32_t at = static_cast<int32_t>(position >> 32);
    const float a = static_cast<float>(data[at]);
    const float b = static_cast<float>(data[at + 1]);
    // the fraction rounded once to single precision, then scaled exactly by 2^-32
    const float w = static_cast<float>(static_cast<uint32_t>(position)) * 0x1p-32f;
    return a + w * (b - a);
}

}  // namespace qvl
