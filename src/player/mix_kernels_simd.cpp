// Vector inner loops chosen at run time: eight frames on 256-bit vectors (AVX2), where one
// gather loads each frame's pair a, b, and sixteen frames on 512-bit vectors (AVX-512) for
// steps small enough to pick the pairs out of one window. Every frame is rounded exactly
// as in the portable loops.
#include "player/mix_kernels_simd.h"

#include "player/mix_frame.h"

#if defined(__x86_64__) && defined(__GNUC__)

// GCC 12 warns inside its own AVX-512 headers about the undefined upper halves it leaves
// in casts and narrowings; those halves are never read here.
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>

#include <cmath>
#include <cstring>

namespace qvl {

namespace {

#define QVL_AVX2 __attribute__((target("avx2")))

// Interpolated values of the eight frames whose positions are in p03 and p47.
QVL_AVX2 inline __m256 interpolate8(const int16_t* data, __m256i p03, __m256i p47) {
    const __m256 a = _mm256_castsi256_ps(p03), b = _mm256_castsi256_ps(p47);
    // low and high 32-bit halves of the eight positions, back in frame order
    __m256i frac = _mm256_castps_si256(_mm256_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
    __m256i index = _mm256_castps_si256(_mm256_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
    frac = _mm256_permute4x64_epi64(frac, _MM_SHUFFLE(3, 1, 2, 0));
    index = _mm256_permute4x64_epi64(index, _MM_SHUFFLE(3, 1, 2, 0));
    // frames index and index + 1 in one 32-bit load each
    const __m256i pair = _mm256_i32gather_epi32(reinterpret_cast<const int*>(data), index, 2);
    const __m256 first = _mm256_cvtepi32_ps(_mm256_srai_epi32(_mm256_slli_epi32(pair, 16), 16));
    const __m256 second = _mm256_cvtepi32_ps(_mm256_srai_epi32(pair, 16));
    const __m256 high = _mm256_cvtepi32_ps(_mm256_srli_epi32(frac, 16));
    const __m256 low = _mm256_cvtepi32_ps(_mm256_and_si256(frac, _mm256_set1_epi32(0xFFFF)));
    const __m256 fraction = _mm256_add_ps(_mm256_mul_ps(high, _mm256_set1_ps(65536.0f)), low);
    const __m256 w = _mm256_mul_ps(fraction, _mm256_set1_ps(0x1p-32f));
    return _mm256_add_ps(first, _mm256_mul_ps(w, _mm256_sub_ps(second, first)));
}

// Adds v x left and v x right, interleaved, to the 16 floats at out.
QVL_AVX2 inline void accumulate8(float* out, __m256 v, __m256 left, __m256 right) {
    const __m256 l = _mm256_mul_ps(v, left), r = _mm256_mul_ps(v, right);
    const __m256 lo = _mm256_unpacklo_ps(l, r), hi = _mm256_unpackhi_ps(l, r);
    const __m256 first = _mm256_permute2f128_ps(lo, hi, 0x20);
    const __m256 second = _mm256_permute2f128_ps(lo, hi, 0x31);
    _mm256_storeu_ps(out, _mm256_add_ps(_mm256_loadu_ps(out), first));
    _mm256_storeu_ps(out + 8, _mm256_add_ps(_mm256_loadu_ps(out + 8), second));
}

struct Positions {
    __m256i p03, p47, step8;
};

QVL_AVX2 inline Positions positionsFrom(int64_t position, int64_t step) {
    const __m256i p03 = _mm256_add_epi64(_mm256_set1_epi64x(position),
                                         _mm256_set_epi64x(3 * step, 2 * step, step, 0));
    return {p03, _mm256_add_epi64(p03, _mm256_set1_epi64x(4 * step)), _mm256_set1_epi64x(8 * step)};
}

QVL_AVX2 int64_t mixConstant8(float* out, const int16_t* data, int64_t position, int64_t step,
                              int frames, float left, float right) {
    int i = 0;
    if (frames >= 8) {
        Positions p = positionsFrom(position, step);
        const __m256 l = _mm256_set1_ps(left), r = _mm256_set1_ps(right);
        for (; i + 8 <= frames; i += 8) {
            accumulate8(out, interpolate8(data, p.p03, p.p47), l, r);
            p.p03 = _mm256_add_epi64(p.p03, p.step8);
            p.p47 = _mm256_add_epi64(p.p47, p.step8);
            out += 16;
        }
        position += static_cast<int64_t>(i) * step;
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
// for a chunk of frames first, then the chunk is mixed eight frames at a time.
QVL_AVX2 int64_t mixRamp8(float* out, const int16_t* data, int64_t position, int64_t step,
                          int frames, float& left, float& right, float leftStep, float rightStep) {
    constexpr int chunk = 16;
    alignas(32) float ls[chunk], rs[chunk];
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
        if (n >= 8) {
            Positions p = positionsFrom(position, step);
            for (; k + 8 <= n; k += 8) {
                accumulate8(out, interpolate8(data, p.p03, p.p47), _mm256_load_ps(ls + k),
                            _mm256_load_ps(rs + k));
                p.p03 = _mm256_add_epi64(p.p03, p.step8);
                p.p47 = _mm256_add_epi64(p.p47, p.step8);
                out += 16;
            }
            position += static_cast<int64_t>(k) * step;
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

#define QVL_AVX512 __attribute__((target("avx2,avx512f,avx512bw,avx512dq")))

// Steps up to this many frames let sixteen frames' pairs fit in one window of 32 frames.
constexpr int64_t windowStepLimit = (int64_t{29} << 32) / 15;

// Sixteen frames' positions as lanes of 32-bit fractions and frame numbers, advanced by
// sixteen steps at a time with the carry between the halves; frame 0's position is kept
// whole as well, for the start of the window.
struct Lanes16 {
    __m512i frac, index, stepFrac, stepIndex;
    int64_t position, step;
};

QVL_AVX512 inline Lanes16 lanesFrom(int64_t position, int64_t step) {
    const __m512i k = _mm512_set_epi64(7, 6, 5, 4, 3, 2, 1, 0);
    const __m512i p0 = _mm512_add_epi64(_mm512_set1_epi64(position),
                                        _mm512_mullo_epi64(k, _mm512_set1_epi64(step)));
    const __m512i p8 = _mm512_add_epi64(p0, _mm512_set1_epi64(8 * step));
    const __m512i frac = _mm512_inserti64x4(_mm512_castsi256_si512(_mm512_cvtepi64_epi32(p0)),
                                            _mm512_cvtepi64_epi32(p8), 1);
    const __m512i index =
        _mm512_inserti64x4(_mm512_castsi256_si512(_mm512_cvtepi64_epi32(_mm512_srai_epi64(p0, 32))),
                           _mm512_cvtepi64_epi32(_mm512_srai_epi64(p8, 32)), 1);
    const int64_t step16 = 16 * step;
    return {frac,
            index,
            _mm512_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(step16))),
            _mm512_set1_epi32(static_cast<int32_t>(step16 >> 32)),
            position,
            step};
}

QVL_AVX512 inline void advance(Lanes16& l) {
    const __m512i frac = _mm512_add_epi32(l.frac, l.stepFrac);
    const __mmask16 carry = _mm512_cmplt_epu32_mask(frac, l.frac);
    const __m512i index = _mm512_add_epi32(l.index, l.stepIndex);
    l.index = _mm512_mask_add_epi32(index, carry, index, _mm512_set1_epi32(1));
    l.frac = frac;
    l.position += 16 * l.step;
}

// Interpolated values of the sixteen frames, picked out of one 32-frame window of the data
// by word permutes instead of a gather.
QVL_AVX512 inline __m512 interpolate16(const int16_t* data, const Lanes16& l) {
    const int64_t lowest = l.step >= 0 ? l.position : l.position + 15 * l.step;
    const int32_t start = static_cast<int32_t>(lowest >> 32);
    const __m512i window = _mm512_loadu_si512(data + start);
    const __m512i offset = _mm512_castsi256_si512(
        _mm512_cvtepi32_epi16(_mm512_sub_epi32(l.index, _mm512_set1_epi32(start))));
    const __m512i firstWords = _mm512_permutexvar_epi16(offset, window);
    const __m512i secondWords =
        _mm512_permutexvar_epi16(_mm512_add_epi16(offset, _mm512_set1_epi16(1)), window);
    const __m512 first =
        _mm512_cvtepi32_ps(_mm512_cvtepi16_epi32(_mm512_castsi512_si256(firstWords)));
    const __m512 second =
        _mm512_cvtepi32_ps(_mm512_cvtepi16_epi32(_mm512_castsi512_si256(secondWords)));
    // one correctly rounded conversion of the unsigned fraction, as in the portable loop
    const __m512 w = _mm512_mul_ps(_mm512_cvtepu32_ps(l.frac), _mm512_set1_ps(0x1p-32f));
    return _mm512_add_ps(first, _mm512_mul_ps(w, _mm512_sub_ps(second, first)));
}

// Adds v x left and v x right, interleaved, to the 32 floats at out.
QVL_AVX512 inline void accumulate16(float* out, __m512 v, __m512 left, __m512 right) {
    const __m512 l = _mm512_mul_ps(v, left), r = _mm512_mul_ps(v, right);
    const __m512i firstHalf =
        _mm512_set_epi32(23, 7, 22, 6, 21, 5, 20, 4, 19, 3, 18, 2, 17, 1, 16, 0);
    const __m512i secondHalf =
        _mm512_set_epi32(31, 15, 30, 14, 29, 13, 28, 12, 27, 11, 26, 10, 25, 9, 24, 8);
    const __m512 first = _mm512_permutex2var_ps(l, firstHalf, r);
    const __m512 second = _mm512_permutex2var_ps(l, secondHalf, r);
    _mm512_storeu_ps(out, _mm512_add_ps(_mm512_loadu_ps(out), first));
    _mm512_storeu_ps(out + 16, _mm512_add_ps(_mm512_loadu_ps(out + 16), second));
}

QVL_AVX512 int64_t mixConstant16(float* out, const int16_t* data, int64_t position, int64_t step,
                                 int frames, float left, float right) {
    if (step > windowStepLimit || step < -windowStepLimit) {
        return mixConstant8(out, data, position, step, frames, left, right);
    }
    int i = 0;
    if (frames >= 16) {
        Lanes16 lanes = lanesFrom(position, step);
        const __m512 l = _mm512_set1_ps(left), r = _mm512_set1_ps(right);
        for (; i + 16 <= frames; i += 16) {
            accumulate16(out, interpolate16(data, lanes), l, r);
            advance(lanes);
            out += 32;
        }
        position = lanes.position;
    }
    return mixConstant8(out, data, position, step, frames - i, left, right);
}

// One side's ramp scale, sixteen frames at a time: x, x + s, x + 2s, ..., each rounded as
// the sequence of single-precision additions rounds it. Inside one binade every addition
// of s adds the same rounded multiple d of the binade's unit, so the k-th scale is exactly
// x + k d; that holds while the mantissa stays clear of the binade's ends. Where it cannot
// be sure (x of 0 or tiny, a tie, a binade crossing) the caller adds one by one.
struct RampSide {
    float x, s;
    bool exact = false;
    float d = 0.0f;
    int64_t mantissa = 0, units = 0;
    __m512 multiples;

    QVL_AVX512 RampSide(float start, float increment)
        : x(start), s(increment), multiples(_mm512_setzero_ps()) {}

    QVL_AVX512 void prepare() {
        exact = false;
        if (s == 0.0f) {
            exact = true;
            d = 0.0f;
            units = 0;
            mantissa = int64_t{3} << 22;  // any mantissa inside the binade: it never moves
            multiples = _mm512_setzero_ps();
            return;
        }
        uint32_t bits;
        std::memcpy(&bits, &x, sizeof bits);
        const uint32_t exponent = (bits >> 23) & 255;
        if ((bits >> 31) || exponent <= 24 || exponent >= 254) return;
        const uint32_t unitBits = (exponent - 23) << 23, inverseBits = (277 - exponent) << 23;
        float unit, inverse;
        std::memcpy(&unit, &unitBits, sizeof unit);
        std::memcpy(&inverse, &inverseBits, sizeof inverse);
        const float q = s * inverse;            // exact: a scaling by a power of two
        if (q - std::floor(q) == 0.5f) return;  // a tie rounds by parity
        const float whole = std::nearbyint(q);
        units = static_cast<int64_t>(whole);
        mantissa = (bits & 0x7FFFFF) | 0x800000;
        d = whole * unit;
        const __m512 k = _mm512_set_ps(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
        multiples = _mm512_mul_ps(k, _mm512_set1_ps(d));  // exact: small integers times d
        exact = true;
    }

    // The next sixteen scales, if they can be had exactly.
    QVL_AVX512 bool next(__m512& scales) {
        if (!exact) prepare();
        if (!exact) return false;
        const int64_t last = mantissa + 16 * units;
        if (last <= (int64_t{1} << 23) || last >= (int64_t{1} << 24) - 1) {
            prepare();  // a new binade: a new unit
            if (!exact) return false;
            const int64_t again = mantissa + 16 * units;
            if (again <= (int64_t{1} << 23) || again >= (int64_t{1} << 24) - 1) return false;
        }
        scales = _mm512_add_ps(_mm512_set1_ps(x), multiples);
        x += 16.0f * d;
        mantissa += 16 * units;
        return true;
    }

    // One frame's scale, added the slow way.
    float step() {
        const float now = x;
        x += s;
        exact = false;
        return now;
    }
};

QVL_AVX512 int64_t mixRamp16(float* out, const int16_t* data, int64_t position, int64_t step,
                             int frames, float& left, float& right, float leftStep,
                             float rightStep) {
    if (step > windowStepLimit || step < -windowStepLimit) {
        return mixRamp8(out, data, position, step, frames, left, right, leftStep, rightStep);
    }
    RampSide l(left, leftStep), r(right, rightStep);
    int i = 0;
    if (frames >= 16) {
        Lanes16 lanes = lanesFrom(position, step);
        for (; i + 16 <= frames; i += 16) {
            RampSide lBefore = l, rBefore = r;
            __m512 ls, rs;
            if (l.next(ls) && r.next(rs)) {
                accumulate16(out, interpolate16(data, lanes), ls, rs);
            } else {
                l = lBefore;
                r = rBefore;
                int64_t p = lanes.position;
                for (int k = 0; k < 16; ++k) {
                    const float v = interpolateFrame(data, p);
                    p += step;
                    out[2 * k] += v * l.step();
                    out[2 * k + 1] += v * r.step();
                }
            }
            advance(lanes);
            out += 32;
        }
        position = lanes.position;
    }
    for (; i < frames; ++i) {
        const float v = interpolateFrame(data, position);
        position += step;
        out[0] += v * l.step();
        out[1] += v * r.step();
        out += 2;
    }
    left = l.x;
    right = r.x;
    return position;
}

}  // namespace

std::vector<MixKernels> simdMixKernelVariants() {
    std::vector<MixKernels> variants;
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512dq")) {
        variants.push_back({mixConstant16, mixRamp16, "avx512"});
    }
    if (__builtin_cpu_supports("avx2")) variants.push_back({mixConstant8, mixRamp8, "avx2"});
    return variants;
}

}  // namespace qvl

#elif !defined(__wasm_simd128__)  // WebAssembly's variant is in mix_kernels_wasm.cpp

namespace qvl {

std::vector<MixKernels> simdMixKernelVariants() {
    return {};
}

}  // namespace qvl

#endif
