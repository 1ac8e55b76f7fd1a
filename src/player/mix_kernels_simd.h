// The vector variants of the mixer's inner loops, where the processor offers them.
#pragma once

#include <vector>

#include "player/mix_kernels.h"

namespace qvl {

// The vector variants this processor runs, widest first.
std::vector<MixKernels> simdMixKernelVariants();

}  // namespace qvl
