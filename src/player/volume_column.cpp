// The volume column, by the byte's high nibble: one table for the row tick and one for the
// later ticks.
#include <algorithm>

#include "player/channel.h"
#include "player/effect_step.h"
#include "player/song.h"

namespace qvl {

namespace {

int param(const EffectStep& s) {
    return lowNibble(s.cell.volume);
}

// 0x10..0x50 set volume 0..64; 0x51..0x5F do nothing.
void setVolume(EffectStep& s) {
    if (s.cell.volume > 0x50) return;
    s.channel.volume = s.cell.volume - 0x10;
    s.channel.requests |= requestVolume;
}

// 0x6y / 0x8y volume down by y.
void volumeDown(EffectStep& s) {
    s.channel.volume = std::max(s.channel.volume - param(s), 0);
    s.channel.requests |= requestVolume;
}

// 0x7y / 0x9y volume up by y.
void volumeUp(EffectStep& s) {
    s.channel.volume = std::min(s.channel.volume + param(s), 64);
    s.channel.requests |= requestVolume;
}

// 0xAy vibrato speed.
void vibratoSpeed(EffectStep& s) {
    s.channel.vibratoSpeed = static_cast<uint8_t>(param(s));
}

// 0xBy vibrato depth, row tick.
void vibratoDepthRow(EffectStep& s) {
    s.channel.vibratoDepth = static_cast<uint8_t>(param(s));
}

// 0xBy, later ticks: vibrato with phase advance. quirk: the depth is set on the row tick
// only, so a vibrato in the effect column with a depth of its own keeps it; the offset
// stays after the row, until a note or a pitch effect in the effect column
void vibratoDepthTick(EffectStep& s) {
    vibrato(s.channel, true);
    s.channel.heldDelta = s.channel.periodDelta;
}

// 0xCy set panning in steps of 16.
void setPanning(EffectStep& s) {
    s.channel.panning = 16 * param(s);
    s.channel.requests |= requestPanning;
}

// 0xDy panning left by y, not below 0.
void panningLeft(EffectStep& s) {
    s.channel.panning = std::max(s.channel.panning - param(s), 0);
    s.channel.requests |= requestPanning;
}

// 0xEy panning right by y, not above 255.
void panningRight(EffectStep& s) {
    s.channel.panning = std::min(s.channel.panning + param(s), 255);
    s.channel.requests |= requestPanning;
}

// 0xFy tone portamento, row tick: speed 16 y; the note does not restart.
void tonePortaRow(EffectStep& s) {
    if (delaysNote(s.cell)) return;  // the delayed note starts as a plain note
    Channel& ch = s.channel;
    if (param(s)) ch.portaSpeed = static_cast<uint8_t>(16 * param(s));
    ch.requests &= ~requestTrigger;
}

// 0xFy, later ticks.
void tonePortaTick(EffectStep& s) {
    tonePortamento(s.channel, s.song.linearFrequencies());
}

constexpr EffectAction rowActions[16] = {
    none,             // 0x00..0x0F
    setVolume,        // 0x10
    setVolume,        // 0x20
    setVolume,        // 0x30
    setVolume,        // 0x40
    setVolume,        // 0x50
    volumeDown,       // 0x60
    volumeUp,         // 0x70
    volumeDown,       // 0x80 fine
    volumeUp,         // 0x90 fine
    vibratoSpeed,     // 0xA0
    vibratoDepthRow,  // 0xB0
    setPanning,       // 0xC0
    panningLeft,      // 0xD0
    panningRight,     // 0xE0
    tonePortaRow,     // 0xF0
};

constexpr EffectAction tickActions[16] = {
    none,              // 0x00
    none,              // 0x10
    none,              // 0x20
    none,              // 0x30
    none,              // 0x40
    none,              // 0x50
    volumeDown,        // 0x60
    volumeUp,          // 0x70
    none,              // 0x80
    none,              // 0x90
    none,              // 0xA0
    vibratoDepthTick,  // 0xB0
    none,              // 0xC0
    panningLeft,       // 0xD0
    panningRight,      // 0xE0
    tonePortaTick,     // 0xF0
};

}  // namespace

void volumeColumnRow(EffectStep& s) {
    rowActions[highNibble(s.cell.volume)](s);
}

void volumeColumnTick(EffectStep& s) {
    tickActions[highNibble(s.cell.volume)](s);
}

// quirk: the row tick's slides are undone with the rest of a delayed cell's row; on its
// tick the slides every tick has (0x6y, 0x7y) have run already, and beside an instrument
// number the fine ones (0x8y, 0x9y) do nothing either, so they are lost
void volumeColumnDelayed(EffectStep& s) {
    const int kind = highNibble(s.cell.volume);
    if (kind == 6 || kind == 7 || ((kind == 8 || kind == 9) && s.cell.instrument)) return;
    volumeColumnRow(s);
}

}  // namespace qvl
