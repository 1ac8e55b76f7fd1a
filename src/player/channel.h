// One pattern column's replay state: pitch, volume, panning, envelope positions, the
// effect memories and the update requests that applyChannel carries to the voice.
#pragma once

#include <cstdint>

namespace qvl {

// Update requests of one tick, read by applyChannel.
enum Request : uint8_t {
    requestFrequency = 1,
    requestVolume = 2,
    requestPanning = 4,
    requestTrigger = 8,
    requestStop = 0x20,
};

// Where one envelope of a channel stands.
struct EnvelopePosition {
    int32_t tick = 0;   // ticks since the envelope started
    int32_t point = 0;  // the point that ends the current segment
    int32_t fixed = 0;  // value in 16.16
    int32_t value = 0;  // 0..64; the volume envelope is full at 64, the panning one centred at 32
    int32_t slope = 0;  // 16.16 change a tick
    uint8_t stopped = 0;
};

struct Channel {
    uint8_t note = 0;
    uint8_t requests = 0;
    int32_t voiceIndex = 0;  // the voice it drives, by index, so reopened voices need no rebinding
    int32_t period = 0;
    int32_t volume = 0;
    int32_t panning = 0;
    int32_t volumeDelta = 0;
    int32_t periodDelta = 0;
    int32_t heldDelta = 0;  // the volume column vibrato's last offset, kept after it
    EnvelopePosition volumeEnvelope, panningEnvelope;
    int32_t fadeoutVolume = 0;
    int32_t autoVibratoPos = 0, autoVibratoCount = 0;
    uint8_t keyOff = 0;
    uint8_t instrument = 0;
    uint8_t realNote = 0;
    int8_t finetune = 0;  // of the last note: its sample's, or E5y's
    int32_t notePeriod = 0;
    int32_t sampleOffset = 0;
    uint8_t portaDownSpeed = 0, portaUpSpeed = 0, extraFineDownSpeed = 0, extraFineUpSpeed = 0;
    uint8_t volumeSlide = 0, panningSlide = 0, retrigVolume = 0, retrigInterval = 0;
    uint8_t retrigCount = 0;  // Rxy's ticks since the sound last started
    int32_t portaTarget = 0;  // 0 until a note with a tone portamento sets one
    uint8_t portaSpeed = 0;
    uint8_t portaUp = 0;    // the tone portamento lowers the period, as its note set it
    uint8_t glissando = 0;  // E3y: tone portamento by semitones
    int8_t vibratoPos = 0;
    uint8_t vibratoSpeed = 0, vibratoDepth = 0;
    int8_t tremoloPos = 0;  // -32..31, as vibratoPos
    uint8_t tremoloSpeed = 0, tremoloDepth = 0;
    uint8_t tremorCount = 0, tremorOn = 0, tremorOff = 0;
    uint8_t tremorSilent = 0;  // the last tremor tick silenced the channel
    int32_t loopRow = 0, loopCount = 0;
    uint8_t waveControl = 0;  // low nibble the vibrato's wave (E4y), high the tremolo's (E7y)
    // memories of E1y, E2y, EAy and EBy, one each
    uint8_t finePortaUp = 0, finePortaDown = 0, fineVolumeUp = 0, fineVolumeDown = 0;
    // the volume, period and panning at the start of the row, for the note delay
    int32_t rowVolume = 0, rowPeriod = 0, rowPanning = 0;
};

}  // namespace qvl
