// Portable inner loops of the mixer. Built without contraction of multiply and add, so that
// every frame is a + w x (b - a), then acc + value x scale, each rounded in single precision.
#include "player/mix_kernels.h"

#include "player/mix_frame.h"
#include "player/mix_kernels_simd.h"

namespace qvl {

namespace {

int64_t mixConstant(float* out, const int16_t* data, int64_t position, int64_t step, int frames,
                    float left, float right) {
    int i = 0;
    for (; i + 2 <= frames; i += 2) {
        const float v0 = interpolateFrame(data, position);
        const float v1 = interpolateFrame(data, position + step);
        position += 2 * step;
        out[0] += v0 * left;
        out[1] += v0 * right;
        out[2] += v1 * left;
        out[3] += v1 * right;
        out += 4;
    }
    if (i < frames) {
        const float v = interpolateFrame(data, position);
        position += step;
        out[0] += v * left;
        out[1] += v * right;
    }
    return position;
}

int64_t mixRamp(float* out, const int16_t* data, int64_t position, int64_t step, int frames,
                float& left, float& right, float leftStep, float rightStep) {
    float l = left, r = right;
    for (int i = 0; i < frames; ++i) {
        const float v = interpolateFrame(data, position);
        position += step;
        out[0] += v * l;
        out[1] += v * r;
        out += 2;
        l += leftStep;
        r += rightStep;
    }
    left = l;
    right = r;
    return position;
}

}  // namespace

MixKernels portableMixKernels() {
    return {mixConstant, mixRamp, "portable"};
}

MixKernels fastestMixKernels() {
    const std::vector<MixKernels> wide = simdMixKernelVariants();
    return wide.empty() ? portableMixKernels() : wide.front();
}

std::vector<MixKernels> allMixKernels() {
    std::vector<MixKernels> all = simdMixKernelVariants();
    all.push_back(portableMixKernels());
    return all;
}

}  // namespace qvl
