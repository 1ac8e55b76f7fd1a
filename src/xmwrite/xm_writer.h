// Builds XM module files in memory, field by field, from a description of the song: the demo
// music's composer writes its modules with it, and the tests build the modules they load.
// Fields can be overridden with wrong values, so that damaged files can be made too.
#pragma once

#include <cstdint>
#include <vector>

#include "player/song.h"

namespace qvl {

struct XmSample {
    std::vector<int> frames;  // decoded values: -128..127 for 8-bit, -32768..32767 for 16-bit
    bool sixteenBit = false;
    uint32_t loopStart = 0, loopLength = 0;  // frames
    uint8_t loopBits = 0;                    // type bits 0-1: 1 forward, 2 ping-pong
    uint8_t volume = 64;
    int8_t finetune = 0;
    uint8_t panning = 128;
    int8_t relativeNote = 0;
    int64_t byteLengthOverride = -1;  // writes this length field instead of the real one
};

struct XmEnvelope {
    std::vector<EnvelopePoint> points;
    uint8_t type = 0, sustain = 0, loopStart = 0, loopEnd = 0;
    int countOverride = -1;
};

struct XmInstrument {
    std::vector<XmSample> samples;
    uint8_t noteSample[96] = {};
    XmEnvelope volume, panning;
    uint8_t vibType = 0, vibSweep = 0, vibDepth = 0, vibRate = 0;
    uint16_t fadeout = 0;
    int declaredSamples = -1;  // sample count field, when it should differ
    // The sample header size field; each sample header is padded with zeros or cut to it
    // (0 writes 40-byte headers, as files that leave the field 0 do).
    uint32_t sampleHeaderSize = 40;
};

struct XmPattern {
    int rows = 64;
    std::vector<NoteCell> cells;  // rows x channels, row by row; missing cells are empty
    bool empty = false;           // write packed size 0
    bool unpacked = false;        // write every cell as five plain bytes
    // The header length field; the 9-byte header is padded with zeros or cut to it (never
    // shorter than the length field itself).
    uint32_t headerLength = 9;
};

struct XmModule {
    int songLength = 1, restart = 0, channels = 4;
    uint16_t flags = 1, speed = 6, bpm = 125;
    std::vector<uint8_t> orders{0};
    std::vector<XmPattern> patterns{XmPattern{}};
    std::vector<XmInstrument> instruments;
    uint32_t headerSize = 276;
    int patternCountOverride = -1, instrumentCountOverride = -1;
};

std::vector<uint8_t> buildXm(const XmModule& module);

// Sets a cell of a pattern, growing its cell list as needed.
void setCell(XmPattern& pattern, int channels, int row, int channel, NoteCell cell);

// An instrument of one sample mapping every note to it.
XmInstrument oneSampleInstrument(XmSample sample);

}  // namespace qvl
