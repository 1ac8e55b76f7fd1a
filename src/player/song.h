// The song model: a loaded module with its patterns, instruments and samples, and the
// playback fields the replay keeps in it. Records start zero-filled, as the loader expects.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "player/list.h"
#include "player/xm_format.h"

namespace qvl {

struct PlayerContext;
struct Channel;
struct Song;

constexpr int maxSamplesPerInstrument = 16;
constexpr int maxEnvelopePoints = 12;
constexpr int sampleSpareFrames = 8;  // guard frame and spares after the last frame
// guard: zero frames before the data and after the spares, so that a stretch running a frame
// past its boundary, or the 32-frame window of the vector loops, reads only zeros
constexpr int samplePadFrames = 24;

struct NoteCell {
    uint8_t note = 0;        // noNote, 1..96 a note, keyOffNote
    uint8_t instrument = 0;  // 0 empty, 1..128
    uint8_t volume = 0;      // volume-column byte
    uint8_t effect = 0;
    uint8_t parameter = 0;
};

struct Pattern {
    int32_t rows = 0;
    std::vector<NoteCell> cells;  // rows x channelCount, row by row
};

struct EnvelopePoint {
    uint16_t x = 0;  // tick of the point
    uint16_t y = 0;  // value 0..64
};

// A volume or panning envelope of an instrument.
struct Envelope {
    EnvelopePoint points[maxEnvelopePoints];
    uint8_t count = 0;                                // points in use
    uint8_t sustain = 0, loopStart = 0, loopEnd = 0;  // point indices
    uint8_t type = 0;                                 // EnvelopeFlag bits

    bool on() const { return (type & envelopeOn) != 0; }
};

struct Sample {
    // Frames of 16-bit signed data; `data` points samplePadFrames into `storage`, so that a
    // read a few frames before the start or after the spare frames finds zeros.
    int16_t* data = nullptr;
    std::unique_ptr<int16_t[]> storage;
    uint32_t length = 0;
    uint32_t loopStart = 0;
    uint32_t loopLength = 0;
    uint8_t volume = 0;
    int8_t finetune = 0;
    int32_t panning = 0;
    uint8_t bits = 0;
    uint8_t loopType = 0;  // a LoopType; 0 in the empty sample
    uint8_t relativeNote = 0;

    uint32_t loopEnd() const { return loopStart + loopLength; }
};

// One shared all-zero sample: empty instrument slots refer to it; it is never released.
extern const Sample emptySample;

struct Instrument {
    int32_t sampleCount = 0;
    std::unique_ptr<Sample> owned[maxSamplesPerInstrument];  // the first sampleCount
    const Sample* samples[maxSamplesPerInstrument] = {};     // owned or &emptySample
    uint8_t noteSample[96] = {};
    Envelope volumeEnvelope, panningEnvelope;
    uint8_t autoVibType = 0, autoVibSweep = 0, autoVibDepth = 0, autoVibRate = 0;
    uint32_t fadeout = 0;  // the file's value doubled; 32 bits so that it cannot wrap
};

// The instrument used for numbers at or beyond the song's instrument count.
extern const Instrument emptyInstrument;

using TickRoutine = void (*)(PlayerContext&, Song&);

struct Song {
    ListLink<Song> link{this};  // in the context's playingSongs while playing
    std::vector<Pattern> patterns;
    std::vector<Instrument> instruments;
    std::vector<Channel> channels;  // present only while the song is started
    int32_t samplesToTick = 0;
    int32_t samplesPerTick = 0;
    int16_t songLength = 0;
    int16_t restartPosition = 0;
    int16_t channelCount = 0;
    int32_t usedPatterns = 0;
    int32_t patternSlots = 0;
    int16_t instrumentCount = 0;
    uint16_t flags = 0;  // linearFrequencyFlag
    int16_t defaultSpeed = 0;
    int16_t defaultBpm = 0;
    uint8_t orders[256] = {};
    uint8_t initialGlobalVolume = 0;
    int32_t globalVolume = 0;
    uint8_t globalVolumeSlide = 0;
    uint8_t globalVolumeMoved = 0;  // changed on the last tick: every channel takes it now
    uint8_t playing = 0;
    int32_t tick = 0, speed = 0, bpm = 0, row = 0, order = 0;
    int32_t patternDelayTicks = 0, nextRow = -1, nextOrder = -1;
    TickRoutine tickRoutine = nullptr;

    // Replay bookkeeping beyond the playback position.
    const NoteCell* rowCells = nullptr;  // cells read on the current row's row tick
    bool jumpMark = false;               // a position jump was set on this row
    int32_t breakRow = 0;                // the row the next order starts at when a pattern ends
    std::vector<uint8_t> playedRows;     // one flag per order x 256 + row, for loop-back
    int32_t loopBackCount = 0;           // times playback returned to a row already played

    Song();
    ~Song();
    Song(const Song&) = delete;
    Song& operator=(const Song&) = delete;

    bool linearFrequencies() const { return (flags & linearFrequencyFlag) != 0; }
};

// The instrument's sample for a slot, or emptySample beyond its slots.
const Sample& slotSample(const Instrument& instrument, int slot);

}  // namespace qvl
