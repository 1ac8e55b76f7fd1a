// Volume and panning envelopes: one tick of an envelope in 16.16 fixed point, and the
// jump to a given tick of the volume envelope (effect Lxx).
#pragma once

#include <cstdint>

namespace qvl {

struct Channel;
struct EnvelopePoint;
struct Instrument;

// The position of one envelope of a channel, as references into its fields.
struct EnvelopeState {
    int32_t& tick;
    int32_t& point;
    int32_t& fixed;
    int32_t& value;
    int32_t& slope;
    uint8_t& stopped;
};

struct EnvelopeShape {
    uint8_t type;  // bit 0 on, bit 1 sustain, bit 2 loop
    int count;
    const EnvelopePoint* points;
    int loopEnd, loopStart, sustain;
};

EnvelopeState volumeEnvelopeState(Channel& channel);
EnvelopeState panningEnvelopeState(Channel& channel);
EnvelopeShape volumeEnvelopeShape(const Instrument& instrument);
EnvelopeShape panningEnvelopeShape(const Instrument& instrument);

// One tick of an envelope; requestBit is added to the channel's requests.
void envelopeStep(Channel& channel, EnvelopeState state, const EnvelopeShape& shape,
                  uint8_t requestBit);
// Moves the volume envelope to tick p.
void setEnvelopePosition(Channel& channel, const Instrument& instrument, int p);

}  // namespace qvl
