// Vector inner loops for WebAssembly's 128-bit vectors (built with -msimd128): four frames an
// iteration. WebAssembly has no gather, so each frame's pair a, b comes in one 32-bit load;
// every frame is rounded exactly as in the portable loops.
#include "player/mix_kernels_simd.h"

#include "player/mix_frame.h"

#if defined(__wasm_simd128__)

#include <wasm_simd128.h>

#include <cstring>

namespace qvl {

namespace {

// Frames at and at + 1 as the low and high halves of one 32-bit word.
inline int32_t pairAt(const int16_t* data, int64_t position) {
    int32_t pair;
    std::memcpy(&pair, data + static_cast<int32_t>(position >> 32), sizeof pair);
    return pair;
}

// The fractions of four positions a step apart, which advance by four steps with a wrapping
// 32-bit addition: the low halves of the sums need no carry.
struct Fractions {
    v128_t lanes, step4;
};

inline Fractions fractionsFrom(int64_t position, int64_t step) {
    const auto low = [](int64_t p) { return static_cast<int32_t>(static_cast<uint32_t>(p)); };
    return {wasm_i32x4_make(low(position), low(position + step), low(position + 2 * step),
                            low(position + 3 * step)),
            wasm_i32x4_splat(low(4 * step))};
}

// Interpolated values of the four frames from position on, whose fractions are in frac.
inline v128_t interpolate4(const int16_t* data, int64_t position, int64_t step, v128_t frac) {
    const v128_t pair =
        wasm_i32x4_make(pairAt(data, position), pairAt(data, position + step),
                        pairAt(data, position + 2 * step), pairAt(data, position + 3 * step));
    const v128_t first = wasm_f32x4_convert_i32x4(wasm_i32x4_shr(wasm_i32x4_shl(pair, 16), 16));
    const v128_t second = wasm_f32x4_convert_i32x4(wasm_i32x4_shr(pair, 16));
    // one correctly rounded conversion of the unsigned fraction, as in the portable loop
    const v128_t w = wasm_f32x4_mul(wasm_f32x4_convert_u32x4(frac), wasm_f32x4_splat(0x1p-32f));
    return wasm_f32x4_add(first, wasm_f32x4_mul(w, wasm_f32x4_sub(second, first)));
}

// Adds v x left and v x right, interleaved, to the 8 floats at out.
inline void accumulate4(float* out, v128_t v, v128_t left, v128_t right) {
    const v128_t l = wasm_f32x4_mul(v, left), r = wasm_f32x4_mul(v, right);
    const v128_t lo = wasm_i32x4_shuffle(l, r, 0, 4, 1, 5);
    const v128_t hi = wasm_i32x4_shuffle(l, r, 2, 6, 3, 7);
    wasm_v128_store(out, wasm_f32x4_add(wasm_v128_load(out), lo));
    wasm_v128_store(out + 4, wasm_f32x4_add(wasm_v128_load(out + 4), hi));
}

int64_t mixConstant4(float* out, const int16_t* data, int64_t position, int64_t step, int frames,
                     float left, float right) {
    int i = 0;
    if (frames >= 4) {
        Fractions f = fractionsFrom(position, step);
        const v128_t l = wasm_f32x4_splat(left), r = wasm_f32x4_splat(right);
        for (; i + 4 <= frames; i += 4) {
            accumulate4(out, interpolate4(data, position, step, f.lanes), l, r);
            f.lanes = wasm_i32x4_add(f.lanes, f.step4);
            position += 4 * step;
            out += 8;
        }
    }
    for (; i < frames; ++i) {
        const float v = interpolateFrame(data, position);
        position += step;
        out[0] += v * left;
        out[1] += v * right;
        out += 2;
    }
    return position;
}

// The ramp's scales grow by one rounded addition a frame; they are worked out in order
// for a chunk of frames first, then the chunk is mixed four frames at a time.
int64_t mixRamp4(float* out, const int16_t* data, int64_t position, int64_t step, int frames,
                 float& left, float& right, float leftStep, float rightStep) {
    constexpr int chunk = 16;
    alignas(16) float ls[chunk], rs[chunk];
    float l = left, r = right;
    while (frames > 0) {
        const int n = frames < chunk ? frames : chunk;
        for (int k = 0; k < n; ++k) {
            ls[k] = l;
            rs[k] = r;
            l += leftStep;
            r += rightStep;
        }
        int k = 0;
        if (n >= 4) {
            Fractions f = fractionsFrom(position, step);
            for (; k + 4 <= n; k += 4) {
                accumulate4(out, interpolate4(data, position, step, f.lanes),
                            wasm_v128_load(ls + k), wasm_v128_load(rs + k));
                f.lanes = wasm_i32x4_add(f.lanes, f.step4);
                position += 4 * step;
                out += 8;
            }
        }
        for (; k < n; ++k) {
            const float v = interpolateFrame(data, position);
            position += step;
            out[0] += v * ls[k];
            out[1] += v * rs[k];
            out += 2;
        }
        frames -= n;
    }
    left = l;
    right = r;
    return position;
}

}  // namespace

std::vector<MixKernels> simdMixKernelVariants() {
    return {{mixConstant4, mixRamp4, "wasm128"}};
}

}  // namespace qvl

#endif
