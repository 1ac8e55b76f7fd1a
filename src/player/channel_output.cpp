// The last step of every channel on every tick.
#include "player/channel_output.h"

#include <algorithm>
#include <cstdlib>

#include "player/channel.h"
#include "player/context.h"
#include "player/pitch.h"
#include "player/song.h"
#include "player/voice.h"
#include "player/voice_control.h"

namespace qvl {

void applyChannel(PlayerContext& context, Channel& ch, const Sample& sample, const Song& song) {
    Voice* found = voiceAt(context, ch.voiceIndex);
    if (!found) return;
    Voice& voice = *found;
    if (ch.period + ch.periodDelta == 0) ch.requests &= ~requestFrequency;
    if (ch.requests & requestTrigger) {
        // a song of more channels than fade voices plays on the fade voices itself
        const OldSound old =
            song.channelCount > fadeVoiceOffset ? OldSound::cut : OldSound::fadeOut;
        ch.voiceIndex = startVoiceSample(context, ch.voiceIndex, &sample, old);
    }
    if (ch.requests & requestVolume) {
        // guard: the channel volume with its tremor offset stays within 0..64
        const int64_t v = std::clamp(ch.volume + ch.volumeDelta, 0, 64);
        const int64_t product =
            v * ch.volumeEnvelope.value * ch.fadeoutVolume * song.globalVolume * 255;
        // product / 2^35 rounded to nearest, halves down: full volume 127.5 still gives 127
        setVoiceVolume(voice, static_cast<int32_t>((2 * product + (int64_t{1} << 35) - 1) >> 36));
    }
    if (ch.requests & requestPanning) {
        const int p = ch.panning;
        setVoicePanning(voice,
                        p + ((128 - std::abs(p - 128)) / 32) * (ch.panningEnvelope.value - 32));
    }
    if (ch.requests & requestFrequency) {
        setVoiceFrequency(context, voice,
                          periodFrequency(song.linearFrequencies(), ch.period, ch.periodDelta));
    }
    if (ch.requests & requestStop) {
        stopVoice(context, ch.voiceIndex);
        voice.startOffset = 0;
    }
}

}  // namespace qvl
