// The XM loader: reads a module through the file callbacks into a Song, and the creation
// and release of songs.
#pragma once

#include <cstdint>
#include <string>

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

// Why a module was refused; none for one that loaded.
enum class XmRefusal : uint8_t {
    none,
    notOpened,           // the file could not be opened (or no file callbacks are installed)
    notXm,               // no "Extended Module: " signature
    cutShort,            // the file ends inside its header or patterns; value: its size
    noChannels,          // value: the channel count
    tooManyChannels,     // value: the channel count
    tooManyPatterns,     // value: the pattern count
    tooManyInstruments,  // value: the instrument count
    tooManyRows,         // index: the pattern, value: its rows
    tooManySamples,      // index: the instrument, value: its samples
};

struct XmLoadResult {
    XmRefusal refusal = XmRefusal::none;
    int64_t value = 0;
    int32_t index = 0;

    bool loaded() const { return refusal == XmRefusal::none; }
};

// The reason in words: "not an XM module", "cut short at byte 1234", ...
std::string describeRefusal(const XmLoadResult& result);

// Reads the module from the reader into the song, or says why the file is refused.
XmLoadResult loadXm(Song& song, XmReader& reader);

// Opens the named module through the context's callbacks and loads it; none on failure, with
// the reason in result when one is given.
Song* createSong(PlayerContext& context, const char* name, XmLoadResult* result = nullptr);
// Stops the song and releases it with everything it owns; false for no song.
bool freeSong(PlayerContext& context, Song* song);

}  // namespace qvl
