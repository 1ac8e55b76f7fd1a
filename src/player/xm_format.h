// The values of the XM format that the player compares: note values, sample loop types and
// type-byte bits, envelope flags, and the effect numbers the replay itself looks at (the
// effect tables are indexed by effect number and name each slot in a comment).
#pragma once

#include <cstdint>

namespace qvl {

// NoteCell::note.
constexpr uint8_t noNote = 0;
constexpr uint8_t noteCount = 96;       // notes 1..96
constexpr uint8_t fileKeyOffNote = 97;  // key off as a file writes it
constexpr uint8_t keyOffNote = 255;     // key off once loaded
constexpr uint8_t maxInstrumentNumber = 128;

// Sample::loopType.
enum LoopType : uint8_t { loopNone = 1, loopForward = 2, loopPingPong = 4 };

// Bits of a sample header's type byte.
enum SampleTypeBit : uint8_t { typeForwardLoop = 0x01, typePingPongLoop = 0x02, type16Bit = 0x10 };

// Bits of an envelope's type byte.
enum EnvelopeFlag : uint8_t { envelopeOn = 1, envelopeSustain = 2, envelopeLoop = 4 };

// Bit of Song::flags: set, the linear frequency table; clear, the Amiga table.
constexpr uint16_t linearFrequencyFlag = 1;

// Effect numbers the replay looks at outside the effect tables.
enum EffectNumber : uint8_t {
    effectTonePortamento = 3,
    effectTonePortaVolumeSlide = 5,
    effectExtended = 14,
    effectKeyOff = 20,
};

// Volume-column bytes from this one on are tone portamento.
constexpr uint8_t volumeTonePortamento = 0xF0;

}  // namespace qvl
