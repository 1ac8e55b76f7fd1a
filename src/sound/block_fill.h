// One block fill of the output ring: tick every playing song at exact frames, mix the
// voices in the pieces between ticks, and convert the block to 16-bit stereo frames.
// Works on any ring and accumulation area; the output thread and offline tools call it.
#pragma once

#include <cstdint>

namespace qvl {

struct PlayerContext;

// Fills frames [offset, offset + frames) of the ring (interleaved int16 left, right) through
// the same frames of mixArea (float pairs), holding the context's mixBusy throughout.
void fillBlock(PlayerContext& context, int16_t* ring, float* mixArea, int offset, int frames);

}  // namespace qvl
