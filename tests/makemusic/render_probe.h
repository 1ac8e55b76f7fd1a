// Listening for the tests: renders a module through the block fill as the viewer's output
// does, measures the song's length by ticking it, and estimates the pitch of a stretch.
#pragma once

#include <cstdint>
#include <vector>

#include "xmwrite/xm_writer.h"

namespace qvl::test {

// Interleaved 16-bit stereo frames of the module's first `frames` frames at the mix rate.
std::vector<int16_t> renderFrames(const XmModule& module, int frames);

// Seconds from the first tick until the song returns to a row it has already played.
double secondsUntilLoop(const XmModule& module);

// The fundamental of frames [from, to) (mono sum), searched within a quarter of
// `expectedHz` either way by normalised autocorrelation, refined between lags.
double pitchHz(const std::vector<int16_t>& stereo, int from, int to, double expectedHz);

}  // namespace qvl::test
