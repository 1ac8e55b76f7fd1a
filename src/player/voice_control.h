// The five operations through which the replay steers a voice: start and stop a sample,
// and set its frequency, volume and panning.
#pragma once

#include <cstdint>

namespace qvl {

struct PlayerContext;
struct Sample;
struct Voice;

// Voice `index`, or none without voices or outside the pool.
Voice* voiceAt(PlayerContext& context, int index);

// What a start does with the sound the voice still plays.
enum class OldSound : uint8_t {
    fadeOut,  // voices below fadeVoiceOffset hand it to their fade voice
    cut,      // for songs whose channels use the fade voices themselves
};

// Starts the sample on voice `index` from its start offset (frame 0 when that lies at or
// beyond the loop end), ramping in from silence. Returns the index, or -1 without voices or
// without a sample.
int startVoiceSample(PlayerContext& context, int index, const Sample* sample,
                     OldSound old = OldSound::fadeOut);
void stopVoice(PlayerContext& context, int index);
// Silences the fade voice of voice `index` if it is fading.
void stopFadeVoice(PlayerContext& context, int index);
// Frequency in Hz, clamped to 100..705600; the step is frequency / mixRate in 32.32.
void setVoiceFrequency(const PlayerContext& context, Voice& voice, int64_t frequency);
void setVoiceVolume(Voice& voice, int32_t volume);
void setVoicePanning(Voice& voice, int32_t panning);

}  // namespace qvl
