// The vector variants of the mixer's inner loops, where the processor offers them.
#pragma once

#include "player/mix_kernels.h"

namespace qvl {

// Fills in the vector routines and returns true when this processor runs them.
bool simdMixKernels(MixKernels& kernels);

}  // namespace qvl
