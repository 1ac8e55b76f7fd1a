// The straight-run inner loops of the mixer: one stretch of frames of one voice with no
// boundary inside, with constant per-side volumes or with a running ramp.
#pragma once

#include <cstdint>

namespace qvl {

// Position and step are 32.32 fixed point (a backward step is negated); the data pointer
// may be read a few frames before frame 0 and after the guard frame, where zeros lie.
int64_t mixConstant(float* out, const int16_t* data, int64_t position, int64_t step, int frames,
                    float left, float right);

// As mixConstant, but the per-side scales grow by their steps after every frame; they are
// returned through left and right.
int64_t mixRamp(float* out, const int16_t* data, int64_t position, int64_t step, int frames,
                float& left, float& right, float leftStep, float rightStep);

}  // namespace qvl
