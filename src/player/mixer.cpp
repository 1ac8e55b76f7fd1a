// The mixer's per-voice walk: split each call into straight stretches at loop boundaries
// and ramp ends, mix each stretch with an inner loop, and apply the loop rule between them.
#include "player/mixer.h"

#include <algorithm>
#include <cmath>

#if defined(__wasm_simd128__)
#include <wasm_simd128.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "player/context.h"
#include "player/mix_kernels.h"
#include "player/song.h"
#include "player/voice.h"

namespace qvl {

namespace {

constexpr float inv255 = 0.003921568859368563f;
constexpr int maxTurnsWithoutMixing = 64;

uint8_t roundVolume(float scale) {
    // guard: rounded into 0..255, so an 8-bit volume never wraps and re-ramps
    const float v = std::nearbyint(scale * 255.0f);
    return static_cast<uint8_t>(std::clamp(v, 0.0f, 255.0f));
}

bool faded(const Voice& voice) {
    return voice.fading && voice.currentLeft == 0 && voice.currentRight == 0 &&
           voice.rampFramesLeft == 0;
}

// Applies the loop rule to a voice at or past its boundary. Returns false when it stopped.
bool applyLoopRule(Voice& voice, const Sample& sample, int64_t& position) {
    const int64_t loopStart = int64_t{sample.loopStart} << 32;
    const int64_t loopEnd = int64_t{sample.loopEnd()} << 32;
    const int64_t loopLength = int64_t{sample.loopLength} << 32;
    if (sample.loopType == loopForward) {
        if (position >= loopEnd) position = loopStart + (position - loopEnd) % loopLength;
        return true;
    }
    if (sample.loopType == loopPingPong) {
        for (int turn = 0; turn < maxTurnsWithoutMixing; ++turn) {
            if (voice.direction == Direction::forward && position >= loopEnd) {
                position = 2 * loopEnd - position - 1;
                voice.direction = Direction::backward;
            } else if (voice.direction == Direction::backward && position <= loopStart) {
                // guard: a turn exactly at loopStart stays on it, never before frame 0
                position = std::max(2 * loopStart - position - 1, loopStart);
                voice.direction = Direction::forward;
            } else {
                return true;
            }
        }
        position = std::clamp(position, loopStart, loopEnd - 1);  // guard: tiny loops
        return true;
    }
    // no loop: a voice that reached its end stops; one a hair before it plays on
    if (position < loopEnd) return true;
    voice.sample = nullptr;
    position = 0;
    return false;
}

// Frames until the boundary ahead is reached, worked out with 24 fractional bits, or -1
// when it lies beyond this call. The distance is positive.
int64_t framesToBoundary(const Voice& voice, int64_t distance) {
    if ((distance >> 32) >= (int64_t{1} << 24)) return -1;
    const uint64_t distance24 = static_cast<uint64_t>(distance) >> 8;
    const uint64_t step24 = (uint64_t{voice.stepInt & 255} << 24) | (voice.stepFrac >> 8);
    if (step24 == 0) return -1;  // guard: a voice that does not move meets no boundary
    const uint64_t k = (distance24 + step24 - 1) / step24;
    return k == 0 ? 1 : static_cast<int64_t>(k);  // guard: a boundary ahead is a frame away
}

void mixVoice(const PlayerContext& context, Voice& voice, float* out, int frames) {
    const Sample& sample = *voice.sample;
    int64_t position =
        (int64_t{static_cast<int32_t>(voice.positionInt)} << 32) | voice.positionFrac;
    const int64_t loopStart = int64_t{sample.loopStart} << 32;
    const int64_t loopEnd = int64_t{sample.loopEnd()} << 32;
    int turnsWithoutMixing = 0;
    bool playing = true;
    while (frames > 0 && playing) {
        const bool backward = voice.direction == Direction::backward;
        const int64_t distance = backward ? position - loopStart : loopEnd - position;
        if (distance <= 0) {
            // a voice at or past its boundary turns, wraps or stops before it mixes again
            playing = applyLoopRule(voice, sample, position);
            if (++turnsWithoutMixing > maxTurnsWithoutMixing) playing = false;  // guard
            continue;
        }
        int stretch = frames;
        bool boundary = false;
        const int64_t k = framesToBoundary(voice, distance);
        if (k >= 0 && k <= stretch) {
            stretch = static_cast<int>(k);
            boundary = true;
        }
        if (voice.rampFramesLeft == 0 || voice.leftVolume != voice.rampLeftTarget ||
            voice.rightVolume != voice.rampRightTarget) {
            voice.rampLeftTarget = voice.leftVolume;
            voice.rampRightTarget = voice.rightVolume;
            voice.rampLeftStep = static_cast<float>(voice.leftVolume - voice.currentLeft) * inv255 *
                                 context.rampReciprocal;
            voice.rampRightStep = static_cast<float>(voice.rightVolume - voice.currentRight) *
                                  inv255 * context.rampReciprocal;
            const bool differs =
                voice.leftVolume != voice.currentLeft || voice.rightVolume != voice.currentRight;
            voice.rampFramesLeft = differs ? context.rampLength : 0;
        }
        const int64_t stepFixed = (int64_t{voice.stepInt} << 32) | voice.stepFrac;
        const int64_t step = backward ? -stepFixed : stepFixed;
        if (voice.rampFramesLeft > 0) {
            if (voice.rampFramesLeft < stretch) {
                stretch = voice.rampFramesLeft;
                boundary = false;
            }
            float left = static_cast<float>(voice.currentLeft) * inv255;
            float right = static_cast<float>(voice.currentRight) * inv255;
            position = context.mixKernels.ramp(out, sample.data, position, step, stretch, left,
                                               right, voice.rampLeftStep, voice.rampRightStep);
            voice.rampFramesLeft -= stretch;
            if (voice.rampFramesLeft == 0) {
                // a finished ramp lands on its targets: rounding after short stretches
                // could otherwise keep it a step short and restart it for ever
                voice.currentLeft = voice.rampLeftTarget;
                voice.currentRight = voice.rampRightTarget;
            } else {
                voice.currentLeft = roundVolume(left);
                voice.currentRight = roundVolume(right);
            }
        } else {
            position = context.mixKernels.constant(out, sample.data, position, step, stretch,
                                                   static_cast<float>(voice.leftVolume) * inv255,
                                                   static_cast<float>(voice.rightVolume) * inv255);
        }
        turnsWithoutMixing = 0;
        out += 2 * stretch;
        frames -= stretch;
        if (boundary) playing = applyLoopRule(voice, sample, position);
        // a fade voice that has faded out would only add zeros until mixVoices releases it
        if (faded(voice)) break;
    }
    if (!playing) {
        voice.sample = nullptr;
        voice.fading = false;
        position = 0;
    }
    voice.positionInt = static_cast<uint32_t>(static_cast<uint64_t>(position) >> 32);
    voice.positionFrac = static_cast<uint32_t>(position);
}

}  // namespace

void mixVoices(PlayerContext& context, float* buffer, int frames) {
    if (frames < 1 || !buffer) return;
    if (!context.voicePool) return;
    // in index order: the fade voices from 128 on are added after the voices they fade for
    for (int i = 0; i < voiceCount; ++i) {
        Voice& voice = context.voicePool[i];
        if (voice.sample && voice.sample->data) mixVoice(context, voice, buffer, frames);
        if (faded(voice)) {
            // a fade voice that has faded out is free again
            voice.sample = nullptr;
            voice.positionInt = voice.positionFrac = 0;
            voice.fading = false;
        }
    }
}

void convertMix(int16_t* destination, const float* source, int frames) {
    if (frames <= 0 || !destination || !source) return;
    int i = 0;
#if defined(__wasm_simd128__)
    // as the SSE2 loop below: pmax and pmin pick as its max and min do, and the clamped
    // values round to nearest, ties to even, then convert exactly
    const v128_t low = wasm_f32x4_splat(-32768.0f), high = wasm_f32x4_splat(32767.0f);
    const auto clamped = [&](const float* at) {
        return wasm_f32x4_pmin(high, wasm_f32x4_pmax(low, wasm_v128_load(at)));
    };
    for (; i + 8 <= 2 * frames; i += 8) {
        const v128_t a = wasm_i32x4_trunc_sat_f32x4(wasm_f32x4_nearest(clamped(source + i)));
        const v128_t b = wasm_i32x4_trunc_sat_f32x4(wasm_f32x4_nearest(clamped(source + i + 4)));
        wasm_v128_store(destination + i, wasm_i16x8_narrow_i32x4(a, b));
    }
#elif defined(__SSE2__)
    // four floats at a time: clamped, rounded by the default mode (to nearest, ties to
    // even) and narrowed with saturation
    const __m128 low = _mm_set1_ps(-32768.0f), high = _mm_set1_ps(32767.0f);
    for (; i + 8 <= 2 * frames; i += 8) {
        const __m128 a = _mm_min_ps(_mm_max_ps(_mm_loadu_ps(source + i), low), high);
        const __m128 b = _mm_min_ps(_mm_max_ps(_mm_loadu_ps(source + i + 4), low), high);
        const __m128i packed = _mm_packs_epi32(_mm_cvtps_epi32(a), _mm_cvtps_epi32(b));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(destination + i), packed);
    }
#endif
    for (; i < 2 * frames; ++i) {
        const float v = std::clamp(source[i], -32768.0f, 32767.0f);
        destination[i] = static_cast<int16_t>(std::lrint(v));
    }
}

}  // namespace qvl
