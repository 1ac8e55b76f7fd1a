// Voice start, stop, frequency, volume and the square-root panning law.
#include "player/voice_control.h"

#include <algorithm>
#include <array>

#include "player/context.h"
#include "player/song.h"
#include "player/voice.h"

namespace qvl {

Voice* voiceAt(PlayerContext& context, int index) {
    if (!context.voicePool || index < 0 || index >= voiceCount) return nullptr;
    return &context.voicePool[index];
}

int startVoiceSample(PlayerContext& context, int index, const Sample* sample, OldSound old) {
    Voice* voice = voiceAt(context, index);
    if (!voice || !sample) return -1;
    if (old == OldSound::fadeOut && index < fadeVoiceOffset && voice->sample &&
        (voice->currentLeft > 0 || voice->currentRight > 0)) {
        // the old sound fades out on the voice's fade voice instead of stopping mid-wave
        Voice& fade = context.voicePool[index + fadeVoiceOffset];
        fade.sample = voice->sample;
        fade.positionInt = voice->positionInt;
        fade.positionFrac = voice->positionFrac;
        fade.stepInt = voice->stepInt;
        fade.stepFrac = voice->stepFrac;
        fade.direction = voice->direction;
        fade.currentLeft = voice->currentLeft;
        fade.currentRight = voice->currentRight;
        fade.leftVolume = fade.rightVolume = 0;
        fade.rampFramesLeft = 0;
        fade.fading = true;
    }
    // the new sound ramps in from silence to the voice's volumes
    voice->currentLeft = voice->currentRight = 0;
    voice->rampFramesLeft = 0;
    voice->fading = false;
    const uint32_t offset = voice->startOffset;
    voice->startOffset = 0;
    voice->positionFrac = 0;
    voice->direction = Direction::forward;
    if (sample->length == 0 || !sample->data) {
        // a sample without frames has no guard frame either: nothing to play
        voice->sample = nullptr;
        voice->positionInt = 0;
        return index;
    }
    voice->sample = sample;
    voice->positionInt = offset < sample->loopEnd() ? offset : 0;
    return index;
}

void stopVoice(PlayerContext& context, int index) {
    Voice* voice = voiceAt(context, index);
    if (!voice) return;
    voice->sample = nullptr;
    voice->positionInt = 0;
    voice->positionFrac = 0;
    voice->fading = false;
}

void stopFadeVoice(PlayerContext& context, int index) {
    if (index < 0 || index >= fadeVoiceOffset) return;
    Voice* fade = voiceAt(context, index + fadeVoiceOffset);
    if (fade && fade->fading) stopVoice(context, index + fadeVoiceOffset);
}

void setVoiceFrequency(const PlayerContext& context, Voice& voice, int64_t frequency) {
    if (context.mixRate <= 0) return;
    const int64_t f = std::clamp<int64_t>(frequency, 100, 705600);
    const int64_t rate = context.mixRate;
    voice.stepInt = static_cast<uint32_t>(f / rate);
    voice.stepFrac = static_cast<uint32_t>(((f % rate) << 32) / rate);
}

namespace {

// round(sqrt(x)) in integers: floor(sqrt(x)), one more when x lies past s^2 + s.
constexpr int32_t roundedSqrt(int64_t x) {
    int64_t s = 0;
    for (int64_t bit = int64_t{1} << 30; bit > 0; bit >>= 1)
        if ((s + bit) * (s + bit) <= x) s += bit;
    return static_cast<int32_t>(s + (x > s * s + s));
}

// quirk: the tracker's panning law: each side's gain is round(65536 x sqrt(n / 256)), left
// from entry 256 - panning and right from entry panning, so a centred voice plays at 0.71
// of full on each side rather than at half
constexpr std::array<int32_t, 257> panningGains = [] {
    std::array<int32_t, 257> gains{};
    for (int n = 0; n <= 256; ++n)
        gains[n] = roundedSqrt(int64_t{16777216} * n);  // (65536 sqrt(n / 256))^2
    return gains;
}();

// One side's volume, volume x gain / 65536 rounded to nearest with halves down.
uint8_t sideVolume(int32_t entry, int32_t volume) {
    const int64_t gain = panningGains[std::clamp(entry, 0, 256)];  // guard: panning 0..256
    return static_cast<uint8_t>((std::max(volume, 0) * gain + 32767) >> 16);
}

}  // namespace

void setVoiceVolume(Voice& voice, int32_t volume) {
    voice.volume = volume;
    voice.leftVolume = sideVolume(256 - voice.panning, volume);
    voice.rightVolume = sideVolume(voice.panning, volume);
}

void setVoicePanning(Voice& voice, int32_t panning) {
    voice.panning = panning;
    voice.leftVolume = sideVolume(256 - panning, voice.volume);
    voice.rightVolume = sideVolume(panning, voice.volume);
}

}  // namespace qvl
