// Voice start, stop, frequency, volume and linear panning law.
#include "player/voice_control.h"

#include <algorithm>

#include "player/context.h"
#include "player/song.h"
#include "player/voice.h"

namespace qvl {

namespace {

Voice* voiceAt(PlayerContext& context, int index) {
    if (!context.voicePool || index < 0 || index >= voiceCount) return nullptr;
    return &context.voicePool[index];
}

}  // namespace

int startVoiceSample(PlayerContext& context, int index, const Sample* sample) {
    Voice* voice = voiceAt(context, index);
    if (!voice || !sample) return -1;
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
}

void setVoiceFrequency(const PlayerContext& context, Voice& voice, int64_t frequency) {
    if (context.mixRate <= 0) return;
    const int64_t f = std::clamp<int64_t>(frequency, 100, 705600);
    const int64_t rate = context.mixRate;
    voice.stepInt = static_cast<uint32_t>(f / rate);
    voice.stepFrac = static_cast<uint32_t>(((f % rate) << 32) / rate);
}

void setVoiceVolume(Voice& voice, int32_t volume) {
    voice.volume = volume;
    voice.leftVolume = static_cast<uint8_t>((255 - voice.panning) * volume / 255);
    voice.rightVolume = static_cast<uint8_t>(voice.panning * volume / 255);
}

void setVoicePanning(Voice& voice, int32_t panning) {
    voice.panning = panning;
    voice.leftVolume = static_cast<uint8_t>((255 - panning) * voice.volume / 255);
    voice.rightVolume = static_cast<uint8_t>(panning * voice.volume / 255);
}

}  // namespace qvl
