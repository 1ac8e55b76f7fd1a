// How long a module plays before it first loops back, in output frames: what xm2wav renders
// without --seconds and what the magazine export reports as a song's length.
#pragma once

#include <cstdint>

namespace qvl {

// The longest a song is followed before it counts as one that never loops back.
inline constexpr int64_t kLongestSongSeconds = 600;

// Frames from the song's first tick up to the tick on which it first returns to a row it has
// played, at most maxFrames (also when the module does not load). Ticks a private copy of the
// song at rate frames a second, without mixing.
int64_t framesUntilLoop(const char* module, int rate, int64_t maxFrames);

}  // namespace qvl
