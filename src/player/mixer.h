// The software mixer: adds every playing voice, resampled with linear interpolation, into a
// stereo float accumulation buffer, and converts such a buffer to 16-bit PCM.
#pragma once

#include <cstdint>

namespace qvl {

struct PlayerContext;

// Adds `frames` frames of every playing voice of the context, in index order, into `buffer`
// (left, right float pairs). Does nothing when frames < 1.
void mixVoices(PlayerContext& context, float* buffer, int frames);

// Rounds 2 x frames floats to the nearest integer (ties to even), saturated to 16 bits.
void convertMix(int16_t* destination, const float* source, int frames);

}  // namespace qvl
