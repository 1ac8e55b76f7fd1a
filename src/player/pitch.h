// Pitch arithmetic of the replay: note periods in the linear and Amiga tables, the
// frequency of a period, and the vibrato and automatic vibrato offsets.
#pragma once

#include <cstdint>

namespace qvl {

struct Channel;
struct Instrument;

int32_t amigaPeriod(int note, int finetune);
int32_t notePeriod(bool linear, int realNote, int finetune);
// The note 0..112 whose period in this finetune lies nearest the period.
int nearestNote(bool linear, int32_t period, int finetune);
// A period slid up (towards higher pitch) or down by an amount, as every portamento slides.
int32_t slideUp(int32_t period, int amount);
int32_t slideDown(int32_t period, int amount);
// Frequency in Hz of period + periodDelta; within 0..705600 or so, never a wrapped value.
int64_t periodFrequency(bool linear, int32_t period, int32_t periodDelta);
// The magnitude 0..255 of a vibrato or tremolo wave (0 sine, 1 ramp, 2 and 3 square) at a
// phase -32..31.
int waveMagnitude(int phase, int waveform);
// The vibrato effect's period offset for a phase -32..31, a depth and a wave control byte.
int32_t vibratoOffset(int phase, int depth, uint8_t waveControl);
// Adds the instrument's automatic vibrato to periodDelta and advances it.
void autoVibrato(Channel& channel, const Instrument& instrument);

}  // namespace qvl
