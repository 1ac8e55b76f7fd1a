// What every effect and volume-column action works on, the dispatch entry points, and
// the steps that several effects share.
#pragma once

#include <cstdint>

namespace qvl {

struct Channel;
struct Instrument;
struct NoteCell;
struct PlayerContext;
struct Sample;
struct Song;

struct EffectStep {
    PlayerContext& context;
    Song& song;
    Channel& channel;
    const NoteCell& cell;
    const Instrument& instrument;
    const Sample& sample;
};

using EffectAction = void (*)(EffectStep&);

// Row-tick and later-tick actions of the cell's effect and of its volume-column byte.
void effectRow(EffectStep& step);
void effectTick(EffectStep& step);
void extendedRow(EffectStep& step);
void extendedTick(EffectStep& step);
void volumeColumnRow(EffectStep& step);
void volumeColumnTick(EffectStep& step);
// The volume byte's row action once more, on the tick a delayed cell plays.
void volumeColumnDelayed(EffectStep& step);

// The step of a table slot whose effect does nothing on that tick.
inline void none(EffectStep&) {}

// Shared steps.
// A note under tone portamento: its period becomes the target, and the slide's direction
// is set from where the period stands.
void aimTonePortamento(Channel& channel);
// The tone portamento step; with glissando on, the voice plays the nearest note.
void tonePortamento(Channel& channel, bool linear);
void volumeSlide(Channel& channel);
void vibrato(Channel& channel, bool advance);
void tremolo(Channel& channel);
void tremor(Channel& channel);
// One tick of Rxy: its counter, and at y the sound restarts with the volume change.
void multiRetrigger(Channel& channel, bool volumeByte);

// Nibbles of an effect parameter or volume byte.
inline int highNibble(uint8_t v) {
    return v >> 4;
}
inline int lowNibble(uint8_t v) {
    return v & 15;
}

// EDy with y above 0: the note delay plays the cell's note or key off itself.
bool delaysNote(const NoteCell& cell);

}  // namespace qvl
