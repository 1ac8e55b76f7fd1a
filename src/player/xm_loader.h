// The XM loader: reads a module through the file callbacks into a Song, and the creation
// and release of songs.
#pragma once

#include "player/song.h"

namespace qvl {

class XmReader;
struct PlayerContext;

// Named limits of the loader; beyond them a file is refused or a value clamped.
constexpr int maxOrders = 256;
constexpr int maxChannels = 256;  // channel c plays on voice c
constexpr int maxStoredPatterns = 256;
constexpr int maxRows = 256;
constexpr int maxInstruments = 128;
constexpr int maxBpm = 999;
constexpr int maxSpeed = 255;
constexpr uint32_t maxSampleFrames = 1u << 30;

// Reads the module from the reader into the song; false when the file is refused.
bool loadXm(Song& song, XmReader& reader);

// Opens the named module through the context's callbacks and loads it; none on failure.
Song* createSong(PlayerContext& context, const char* name);
// Stops the song and releases it with everything it owns; false for no song.
bool freeSong(PlayerContext& context, Song* song);

}  // namespace qvl
