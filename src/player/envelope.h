// Volume and panning envelopes: one tick of an envelope in 16.16 fixed point, and the
// jump to a given tick (effect Lxx).
#pragma once

#include <cstdint>

namespace qvl {

struct Channel;
struct Envelope;
struct EnvelopePosition;

// One tick of the envelope at `position`; requestBit is added to the channel's requests.
void envelopeStep(Channel& channel, EnvelopePosition& position, const Envelope& envelope,
                  uint8_t requestBit);
// Moves the envelope to tick p.
void setEnvelopePosition(EnvelopePosition& position, const Envelope& envelope, int p);
// Starts the envelope again for a new instrument, at `value`; its 16.16 value stays.
void restartEnvelope(EnvelopePosition& position, int32_t value);

}  // namespace qvl
