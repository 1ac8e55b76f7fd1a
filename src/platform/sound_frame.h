// The sound frame that ring devices play and count their bytes in: a 16-bit left sample, then
// a 16-bit right one. WAV files written from the ring hold the same frames.
#pragma once

#include <cstdint>

namespace qvl {

inline constexpr int kSoundFrameBytes = 2 * sizeof(int16_t);  // 4

}  // namespace qvl
