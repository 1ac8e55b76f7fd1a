// The extended effects Exy, by x: one 16-slot table for the row tick, one for the later
// ticks.
#include <algorithm>

#include "player/channel.h"
#include "player/effect_step.h"
#include "player/envelope.h"
#include "player/pitch.h"
#include "player/replay.h"
#include "player/song.h"

namespace qvl {

namespace {

int param(const EffectStep& s) {
    return lowNibble(s.cell.parameter);
}

// quirk: each fine slide, E1y, E2y, EAy and EBy, keeps a memory of its own for y = 0
uint8_t fineMemory(const EffectStep& s, uint8_t& memory) {
    if (param(s)) memory = static_cast<uint8_t>(param(s));
    return memory;
}

// E1y fine portamento up.
void finePortaUpRow(EffectStep& s) {
    const int y = fineMemory(s, s.channel.finePortaUp);
    s.channel.period = slideUp(s.channel.period, 4 * y);
}

// E2y fine portamento down.
void finePortaDownRow(EffectStep& s) {
    const int y = fineMemory(s, s.channel.finePortaDown);
    s.channel.period = slideDown(s.channel.period, 4 * y);
}

// E3y glissando on (y not 0) or off.
void glissandoRow(EffectStep& s) {
    s.channel.glissando = param(s) != 0;
}

// E4y vibrato waveform (low nibble of waveControl).
void waveformRow(EffectStep& s) {
    s.channel.waveControl = static_cast<uint8_t>((s.channel.waveControl & 0xF0) | param(s));
}

// E7y tremolo waveform (high nibble of waveControl).
void tremoloWaveformRow(EffectStep& s) {
    s.channel.waveControl = static_cast<uint8_t>((s.channel.waveControl & 0x0F) | param(s) << 4);
}

// E5y finetune of the cell's note. quirk: without a note it does nothing; y runs from the
// lowest finetune (E50, -128) to the highest (E5F, 112) in steps of 16.
void finetuneRow(EffectStep& s) {
    Channel& ch = s.channel;
    if (s.cell.note == noNote || s.cell.note == keyOffNote) return;
    ch.finetune = static_cast<int8_t>(16 * (param(s) - 8));
    ch.notePeriod = notePeriod(s.song.linearFrequencies(), ch.realNote, ch.finetune);
    if (s.cell.volume >= volumeTonePortamento) {
        aimTonePortamento(ch);
    } else {
        ch.period = ch.notePeriod;
    }
}

// E6y pattern loop: E60 marks the start, E6y repeats y times. quirk: E60 also sets the row
// the next order starts at when this pattern runs to its end (a break or jump sets its own)
void patternLoopRow(EffectStep& s) {
    Channel& ch = s.channel;
    if (param(s) == 0) {
        ch.loopRow = s.song.row;
        s.song.breakRow = s.song.row;
        return;
    }
    ch.loopCount = ch.loopCount == 0 ? param(s) : ch.loopCount - 1;
    if (ch.loopCount != 0) s.song.row = ch.loopRow - 1;
}

// E8y set panning in steps of 16.
void panningRow(EffectStep& s) {
    s.channel.panning = 16 * param(s);
    s.channel.requests |= requestPanning;
}

// E9y retrigger, row tick. quirk: E90 restarts the sound once, on the row tick; no E9y has
// a memory.
void retriggerRow(EffectStep& s) {
    if (param(s) == 0) s.channel.requests |= requestTrigger | requestVolume | requestFrequency;
}

// E9y retrigger every y ticks, later ticks; it counts the row's ticks, and restarts Rxy's
// count.
void retriggerTick(EffectStep& s) {
    const int y = param(s);
    if (y != 0 && s.song.tick % y == 0) {
        s.channel.requests |= requestTrigger | requestVolume | requestFrequency;
        s.channel.retrigCount = 0;
    }
}

// EAy fine volume slide up.
void fineVolumeUpRow(EffectStep& s) {
    Channel& ch = s.channel;
    ch.volume = std::min(ch.volume + fineMemory(s, ch.fineVolumeUp), 64);
    ch.requests |= requestVolume;
}

// EBy fine volume slide down.
void fineVolumeDownRow(EffectStep& s) {
    Channel& ch = s.channel;
    ch.volume = std::max(ch.volume - fineMemory(s, ch.fineVolumeDown), 0);
    ch.requests |= requestVolume;
}

// ECy note cut at tick y (EC0 never cuts: later ticks start at 1).
void noteCutTick(EffectStep& s) {
    if (s.song.tick == param(s)) {
        s.channel.volume = 0;
        s.channel.requests |= requestVolume;
    }
}

constexpr uint8_t deferred = requestFrequency | requestVolume | requestPanning | requestTrigger;

// quirk: ED0 delays nothing, and a delay at or past the row's speed (a pattern delay not
// counted) never plays its note
bool delays(const EffectStep& s) {
    return param(s) > 0;
}
bool delayPlays(const EffectStep& s) {
    return param(s) < s.song.speed;
}

// EDy note delay, row tick: the row's changes are held back.
void noteDelayRow(EffectStep& s) {
    if (!delays(s)) return;
    Channel& ch = s.channel;
    ch.volume = ch.rowVolume;
    ch.period = ch.rowPeriod;
    ch.panning = ch.rowPanning;
    ch.requests &= ~deferred;
}

// quirk: a delayed cell starts the envelopes, the release and the fadeout over, even with a
// key off; only a key off alone (no instrument, no volume byte) on an instrument without
// volume envelope keeps them
bool delayRestartsEnvelopes(const EffectStep& s) {
    return s.cell.note != keyOffNote || s.cell.instrument || s.cell.volume ||
           s.instrument.volumeEnvelope.on();
}

// EDy, later ticks: the cell plays at tick y. quirk: without a note in the cell the last
// note starts again; without an instrument the channel keeps its volume and panning; a key
// off keys off then, and starts no sound.
void noteDelayTick(EffectStep& s) {
    if (!delays(s)) return;
    Channel& ch = s.channel;
    if (s.song.tick != param(s) || !delayPlays(s)) {
        ch.requests &= ~deferred;
        return;
    }
    if (s.cell.instrument) takeInstrument(ch, s.cell, s.sample);
    if (s.cell.note == keyOffNote) keyOff(ch, s.instrument);
    if (delayRestartsEnvelopes(s)) {
        restartEnvelope(ch.volumeEnvelope, 64);
        restartEnvelope(ch.panningEnvelope, 32);
        ch.keyOff = 0;
        ch.fadeoutVolume = 65536;
    }
    ch.requests |= requestFrequency | requestVolume | requestPanning;
    if (s.cell.volume) volumeColumnDelayed(s);
    if (s.cell.note == keyOffNote) return;
    ch.period = ch.notePeriod;
    ch.requests |= requestTrigger;
}

// EEy pattern delay by y rows' worth of ticks.
void patternDelayRow(EffectStep& s) {
    s.song.patternDelayTicks = param(s) * s.song.speed;
}

constexpr EffectAction rowActions[16] = {
    none,                // E0
    finePortaUpRow,      // E1
    finePortaDownRow,    // E2
    glissandoRow,        // E3
    waveformRow,         // E4
    finetuneRow,         // E5
    patternLoopRow,      // E6
    tremoloWaveformRow,  // E7
    panningRow,          // E8
    retriggerRow,        // E9
    fineVolumeUpRow,     // EA
    fineVolumeDownRow,   // EB
    none,                // EC
    noteDelayRow,        // ED
    patternDelayRow,     // EE
    none,                // EF
};

constexpr EffectAction tickActions[16] = {
    none,           // E0
    none,           // E1
    none,           // E2
    none,           // E3
    none,           // E4
    none,           // E5
    none,           // E6
    none,           // E7
    none,           // E8
    retriggerTick,  // E9
    none,           // EA
    none,           // EB
    noteCutTick,    // EC
    noteDelayTick,  // ED
    none,           // EE
    none,           // EF
};

}  // namespace

void extendedRow(EffectStep& s) {
    rowActions[highNibble(s.cell.parameter)](s);
}

void extendedTick(EffectStep& s) {
    tickActions[highNibble(s.cell.parameter)](s);
}

}  // namespace qvl
