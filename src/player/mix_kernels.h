// The straight-run inner loops of the mixer: one stretch of frames of one voice with no
// boundary inside, with constant per-side scales or with a running ramp. Each variant
// gives bit-identical results; the context picks the widest the processor runs.
#pragma once

#include <cstdint>
#include <vector>

namespace qvl {

// Position and step are 32.32 fixed point (a backward step is negated); the data pointer
// may be read a few frames before frame 0 and after the guard frame, where zeros lie.
using MixConstantRoutine = int64_t (*)(float* out, const int16_t* data, int64_t position,
                                       int64_t step, int frames, float left, float right);
// As the constant routine, but the per-side scales grow by their steps after every frame;
// their final values are returned through left and right.
using MixRampRoutine = int64_t (*)(float* out, const int16_t* data, int64_t position, int64_t step,
                                   int frames, float& left, float& right, float leftStep,
                                   float rightStep);

struct MixKernels {
    MixConstantRoutine constant;
    MixRampRoutine ramp;
    const char* name;  // "portable", "avx2", "avx512" or "wasm128", for tests and benchmarks
};

// Plain C++ loops, two frames an iteration.
MixKernels portableMixKernels();
// The widest vector variant the processor runs: sixteen frames an iteration with 512-bit
// vectors (AVX-512), eight with 256-bit ones (AVX2), four in WebAssembly (its 128-bit
// vectors), else the portable loops.
MixKernels fastestMixKernels();
// Every variant this processor runs, the portable one last.
std::vector<MixKernels> allMixKernels();

}  // namespace qvl
