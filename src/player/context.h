// The module-wide values of the player, held in one object that whoever opens the sound
// output creates: mix rate and ramp length, the voices, the playing songs, the file access
// and the lock that block fills and song operations share.
#pragma once

#include <memory>
#include <mutex>

#include "player/file_callbacks.h"
#include "player/list.h"
#include "player/mix_kernels.h"
#include "player/voice.h"

namespace qvl {

struct Song;

constexpr int voiceCount = 256;
// Voice i below this offset fades a restarted note's old sound out on voice i + offset.
constexpr int fadeVoiceOffset = 128;
constexpr int minMixRate = 2757;  // keeps the largest step below 256 frames
// The mix rate the output opens at; the volume ramp lasts rampFrames frames at it and as
// long in time at any other rate.
constexpr int standardMixRate = 44100;
constexpr int rampFrames = 128;

struct PlayerContext {
    int mixRate = 0;
    int rampLength = 0;
    float rampReciprocal = 0.0f;
    // Exists between openVoices and closeVoices; the mixer walks it in index order, which
    // also fixes the order of its float sums.
    std::unique_ptr<Voice[]> voicePool;
    ListLink<Song> playingSongs;
    FileCallbacks files;
    std::mutex mixBusy;  // held by a block fill and by every song operation
    MixKernels mixKernels = portableMixKernels();  // the widest variant, set by openVoices

    PlayerContext() = default;
    PlayerContext(const PlayerContext&) = delete;
    PlayerContext& operator=(const PlayerContext&) = delete;
};

// Sets the mix rate and ramp length and creates the 256 voices. Songs
// that play on are not retimed here: whoever opens the voices at a new rate does that. The
// caller must not hold mixBusy.
void openVoices(PlayerContext& context, int rate);
// Releases the voices.
void closeVoices(PlayerContext& context);

}  // namespace qvl
