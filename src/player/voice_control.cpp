// Voice start, stop, frequency, volume and linear panning law.
#include "player/voice_control.h"

#include <algorithm>

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

// One side's volume of the linear panning law, (side x volume) / 255 rounded to nearest with
// halves down; a side weight of -1 (panning 256) gives 0.
uint8_t sideVolume(int32_t side, int32_t volume) {
    return static_cast<uint8_t>(std::max((side * 2 * volume + 254) / 510, 0));
}

}  // namespace

void setVoiceVolume(Voice& voice, int32_t volume) {
    voice.volume = volume;
    voice.leftVolume = sideVolume(255 - voice.panning, volume);
    voice.rightVolume = sideVolume(voice.panning, volume);
}

void setVoicePanning(Voice& voice, int32_t panning) {
    voice.panning = panning;
    voice.leftVolume = sideVolume(255 - panning, voice.volume);
    voice.rightVolume = sideVolume(panning, voice.volume);
}

}  // namespace qvl
