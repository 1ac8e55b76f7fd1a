// The effect commands by XM effect number: one table for the row tick, one for the later
// ticks, each slot a small action; numbers beyond the tables do nothing.
#include <algorithm>

#include "player/channel.h"
#include "player/context.h"
#include "player/effect_step.h"
#include "player/envelope.h"
#include "player/pitch.h"
#include "player/replay.h"
#include "player/song.h"
#include "player/voice.h"
#include "player/voice_control.h"

namespace qvl {

namespace {

// The arpeggio's phase by the ticks left in the row: 0 the base note, 1 up x, 2 up y.
// quirk: the tracker reads a table of 16; past its end the first value plays the base
// note and every later one y
int arpeggioPhase(int ticksLeft) {
    if (ticksLeft < 16) return ticksLeft % 3;
    return ticksLeft == 16 ? 0 : 2;
}

// quirk: the arpeggio counts semitones from the note nearest the period (after a
// portamento the period lies between notes), and plays nothing above note 96, which it
// plays without finetune
int32_t arpeggioPeriod(bool linear, int32_t period, int finetune, int n) {
    const int note = nearestNote(linear, period, finetune) + n;
    return note >= 96 ? notePeriod(linear, 96, 0) : notePeriod(linear, note, finetune);
}

// 0xy arpeggio, later ticks: base, +x, +y semitones, counted back from the row's end so
// that the last tick of a row always plays +x (at speed 6: y, x, base, y, x).
void arpeggioTick(EffectStep& s) {
    const uint8_t p = s.cell.parameter;
    if (p == 0) return;
    const int phase = arpeggioPhase(s.song.speed + s.song.patternDelayTicks - s.song.tick);
    const int n = phase == 1 ? highNibble(p) : phase == 2 ? lowNibble(p) : 0;
    Channel& ch = s.channel;
    const bool linear = s.song.linearFrequencies();
    const int32_t target = n ? arpeggioPeriod(linear, ch.period, ch.finetune, n) : ch.period;
    // a positive delta raises the pitch in the linear table and lowers it in the Amiga one
    ch.periodDelta = linear ? ch.period - target : target - ch.period;
    ch.heldDelta = 0;
    ch.requests |= requestFrequency;
}

// 1xx portamento up, row tick: memory.
void portaUpRow(EffectStep& s) {
    if (s.cell.parameter) s.channel.portaUpSpeed = s.cell.parameter;
}

// 1xx portamento up, later ticks.
void portaUpTick(EffectStep& s) {
    Channel& ch = s.channel;
    ch.period = slideUp(ch.period, 4 * ch.portaUpSpeed);
    ch.periodDelta = ch.heldDelta = 0;
    ch.requests |= requestFrequency;
}

// 2xx portamento down, row tick: memory.
void portaDownRow(EffectStep& s) {
    if (s.cell.parameter) s.channel.portaDownSpeed = s.cell.parameter;
}

// 2xx portamento down, later ticks.
void portaDownTick(EffectStep& s) {
    Channel& ch = s.channel;
    ch.period = slideDown(ch.period, 4 * ch.portaDownSpeed);
    ch.periodDelta = ch.heldDelta = 0;
    ch.requests |= requestFrequency;
}

// 3xx tone portamento, row tick: speed memory; the row step aims at the cell's note.
// quirk: the note never starts, so a sound that has stopped (an offset past its end, a
// sample played out, even on the tick before) stays silent while the slide goes on.
// quirk: beside the volume column's tone portamento the parameter is ignored; the two
// slide at the column's speed, twice a tick
void tonePortaRow(EffectStep& s) {
    Channel& ch = s.channel;
    const bool columnSpeed = s.cell.volume >= volumeTonePortamento;
    if (s.cell.parameter && !columnSpeed) ch.portaSpeed = s.cell.parameter;
    ch.requests &= ~(requestTrigger | requestFrequency);
}

// 3xx tone portamento, later ticks.
void tonePortaTick(EffectStep& s) {
    s.channel.periodDelta = s.channel.heldDelta = 0;
    tonePortamento(s.channel, s.song.linearFrequencies());
}

// 4xy vibrato, row tick: speed and depth memories, offset without advance.
void vibratoRow(EffectStep& s) {
    Channel& ch = s.channel;
    if (highNibble(s.cell.parameter)) ch.vibratoSpeed = highNibble(s.cell.parameter);
    if (lowNibble(s.cell.parameter)) ch.vibratoDepth = lowNibble(s.cell.parameter);
    vibrato(ch, false);
}

// 4xy vibrato, later ticks.
void vibratoTick(EffectStep& s) {
    vibrato(s.channel, true);
}

// 5xy tone portamento and volume slide, row tick.
void tonePortaSlideRow(EffectStep& s) {
    Channel& ch = s.channel;
    if (s.cell.parameter) ch.volumeSlide = s.cell.parameter;
    ch.requests &= ~(requestTrigger | requestFrequency);
}

// 5xy, later ticks.
void tonePortaSlideTick(EffectStep& s) {
    s.channel.periodDelta = s.channel.heldDelta = 0;
    tonePortamento(s.channel, s.song.linearFrequencies());
    volumeSlide(s.channel);
}

// 6xy vibrato and volume slide, row tick.
void vibratoSlideRow(EffectStep& s) {
    if (s.cell.parameter) s.channel.volumeSlide = s.cell.parameter;
    vibrato(s.channel, false);
}

// 6xy, later ticks.
void vibratoSlideTick(EffectStep& s) {
    vibrato(s.channel, true);
    volumeSlide(s.channel);
}

// 7xy tremolo, row tick: speed and depth memories; the row tick plays the plain volume.
void tremoloRow(EffectStep& s) {
    Channel& ch = s.channel;
    if (highNibble(s.cell.parameter)) ch.tremoloSpeed = highNibble(s.cell.parameter);
    if (lowNibble(s.cell.parameter)) ch.tremoloDepth = lowNibble(s.cell.parameter);
}

// 7xy, later ticks: the volume moves by the wave x depth / 64, for this tick only.
void tremoloTick(EffectStep& s) {
    tremolo(s.channel);
}

// 8xx set panning.
void setPanningRow(EffectStep& s) {
    s.channel.panning = s.cell.parameter;
    s.channel.requests |= requestPanning;
}

// 9xx sample offset in 256-frame units; beyond the loop end the voice stops instead.
// quirk: only a note that starts takes the offset; with a tone portamento or without a note
// 9xx just keeps its memory
void sampleOffsetRow(EffectStep& s) {
    Channel& ch = s.channel;
    if (s.cell.parameter) ch.sampleOffset = s.cell.parameter;
    if (!(ch.requests & requestTrigger)) return;
    const uint32_t offset = 256u * static_cast<uint32_t>(ch.sampleOffset);
    if (offset >= s.sample.loopEnd()) {
        ch.requests &= ~requestTrigger;
        ch.requests |= requestStop;
    } else if (Voice* voice = voiceAt(s.context, ch.voiceIndex)) {
        voice->startOffset = offset;
    }
}

// Axy volume slide, row tick: memory.
void volumeSlideRow(EffectStep& s) {
    if (s.cell.parameter) s.channel.volumeSlide = s.cell.parameter;
}

// Axy volume slide, later ticks.
void volumeSlideTick(EffectStep& s) {
    volumeSlide(s.channel);
}

// Bxx position jump to row 0 of an order; an order beyond the song goes to order 0.
void positionJumpRow(EffectStep& s) {
    Song& song = s.song;
    song.nextRow = 0;
    song.nextOrder = s.cell.parameter >= song.songLength ? 0 : s.cell.parameter;
    song.jumpMark = true;
}

// Cxx set volume.
void setVolumeRow(EffectStep& s) {
    s.channel.volume = std::min<int>(s.cell.parameter, 64);
    s.channel.requests |= requestVolume;
}

// Dxy pattern break to row 10x + y of the next order (row 0 beyond 63).
void patternBreakRow(EffectStep& s) {
    Song& song = s.song;
    const int row = 10 * highNibble(s.cell.parameter) + lowNibble(s.cell.parameter);
    song.nextRow = row > 63 ? 0 : row;
    if (!song.jumpMark) {
        // quirk: a break in the last order goes to order 0, not to the restart position
        song.nextOrder = song.order + 1 >= song.songLength ? 0 : song.order + 1;
    }
}

// Fxx speed below 32, tempo from 32 on.
void speedTempoRow(EffectStep& s) {
    if (s.cell.parameter >= 32) {
        setTempo(s.context, s.song, s.cell.parameter);
    } else {
        s.song.speed = s.cell.parameter;
    }
}

// Gxx set global volume.
void globalVolumeRow(EffectStep& s) {
    s.song.globalVolume = std::min<int>(s.cell.parameter, 64);
    s.channel.requests |= requestVolume;
}

// Hxy global volume slide, row tick: memory.
void globalSlideRow(EffectStep& s) {
    if (s.cell.parameter) s.song.globalVolumeSlide = s.cell.parameter;
}

// Hxy, later ticks.
void globalSlideTick(EffectStep& s) {
    Song& song = s.song;
    s.channel.requests |= requestVolume;
    const int x = highNibble(song.globalVolumeSlide), y = lowNibble(song.globalVolumeSlide);
    song.globalVolume =
        x ? std::min(song.globalVolume + x, 64) : std::max(song.globalVolume - y, 0);
}

// Lxx set envelope position. quirk: the tracker moves the panning envelope too, but only when
// the volume envelope has its sustain point on
void envelopePositionRow(EffectStep& s) {
    const Envelope& volume = s.instrument.volumeEnvelope;
    if (volume.on()) {
        setEnvelopePosition(s.channel.volumeEnvelope, volume, s.cell.parameter);
    }
    if (s.instrument.panningEnvelope.on() && (volume.type & envelopeSustain)) {
        setEnvelopePosition(s.channel.panningEnvelope, s.instrument.panningEnvelope,
                            s.cell.parameter);
        s.channel.requests |= requestPanning;
    }
}

// Pxy panning slide, row tick: memory.
void panningSlideRow(EffectStep& s) {
    if (s.cell.parameter) {
        s.channel.panningSlide = s.cell.parameter;
        s.channel.requests |= requestPanning;
    }
}

// Pxy, later ticks: right by x or left by y, within 0..255.
void panningSlideTick(EffectStep& s) {
    Channel& ch = s.channel;
    const int x = highNibble(ch.panningSlide), y = lowNibble(ch.panningSlide);
    ch.panning = x ? std::min(ch.panning + x, 255) : std::max(ch.panning - y, 0);
    ch.requests |= requestPanning;
}

// Rxy multi retrigger, row tick: a memory for each of x and y. quirk: the tracker counts
// its own ticks from the sound's last start, across rows; the row tick counts too unless
// a note starts on it
void multiRetrigRow(EffectStep& s) {
    Channel& ch = s.channel;
    if (highNibble(s.cell.parameter)) ch.retrigVolume = highNibble(s.cell.parameter);
    if (lowNibble(s.cell.parameter)) ch.retrigInterval = lowNibble(s.cell.parameter);
    if (!(ch.requests & requestTrigger)) multiRetrigger(ch, s.cell.volume != 0);
}

// Rxy, later ticks.
void multiRetrigTick(EffectStep& s) {
    multiRetrigger(s.channel, s.cell.volume != 0);
}

// Txy tremor, row tick: on x + 1 ticks, off y + 1 ticks. quirk: the tracker counts only
// the later ticks; the row tick keeps the last tick's silence unless the row sets a volume
void tremorRow(EffectStep& s) {
    Channel& ch = s.channel;
    if (s.cell.parameter) {
        ch.tremorOn = static_cast<uint8_t>(highNibble(s.cell.parameter) + 1);
        ch.tremorOff = static_cast<uint8_t>(lowNibble(s.cell.parameter) + 1);
    }
    const bool setsVolume = s.cell.instrument || (s.cell.volume >= 0x10 && s.cell.volume <= 0x50);
    if (setsVolume) ch.tremorSilent = 0;
    ch.volumeDelta = ch.tremorSilent ? -ch.volume : 0;
    ch.requests |= requestVolume;
}

// Txy, later ticks.
void tremorTick(EffectStep& s) {
    tremor(s.channel);
}

// X1y / X2y extra fine portamento, row tick only.
void extraFineRow(EffectStep& s) {
    Channel& ch = s.channel;
    const int y = lowNibble(s.cell.parameter);
    if (highNibble(s.cell.parameter) == 1) {
        if (y) ch.extraFineUpSpeed = static_cast<uint8_t>(y);
        ch.period = slideUp(ch.period, ch.extraFineUpSpeed);
    } else if (highNibble(s.cell.parameter) == 2) {
        if (y) ch.extraFineDownSpeed = static_cast<uint8_t>(y);
        ch.period = slideDown(ch.period, ch.extraFineDownSpeed);
    }
}

constexpr int effectCount = 36;

constexpr EffectAction rowActions[effectCount] = {
    none,                 // 0 arpeggio
    portaUpRow,           // 1
    portaDownRow,         // 2
    tonePortaRow,         // 3
    vibratoRow,           // 4
    tonePortaSlideRow,    // 5
    vibratoSlideRow,      // 6
    tremoloRow,           // 7
    setPanningRow,        // 8
    sampleOffsetRow,      // 9
    volumeSlideRow,       // 10 A
    positionJumpRow,      // 11 B
    setVolumeRow,         // 12 C
    patternBreakRow,      // 13 D
    extendedRow,          // 14 E
    speedTempoRow,        // 15 F
    globalVolumeRow,      // 16 G
    globalSlideRow,       // 17 H
    none,                 // 18 I
    none,                 // 19 J
    none,                 // 20 K key off: handled by the row step
    envelopePositionRow,  // 21 L
    none,                 // 22 M
    none,                 // 23 N
    none,                 // 24 O
    panningSlideRow,      // 25 P
    none,                 // 26 Q
    multiRetrigRow,       // 27 R
    none,                 // 28 S
    tremorRow,            // 29 T
    none,                 // 30 U
    none,                 // 31 V
    none,                 // 32 W
    extraFineRow,         // 33 X
    none,                 // 34 Y
    none,                 // 35 Z
};

constexpr EffectAction tickActions[effectCount] = {
    arpeggioTick,        // 0
    portaUpTick,         // 1
    portaDownTick,       // 2
    tonePortaTick,       // 3
    vibratoTick,         // 4
    tonePortaSlideTick,  // 5
    vibratoSlideTick,    // 6
    tremoloTick,         // 7
    none,                // 8
    none,                // 9
    volumeSlideTick,     // 10 A
    none,                // 11 B
    none,                // 12 C
    none,                // 13 D
    extendedTick,        // 14 E
    none,                // 15 F
    none,                // 16 G
    globalSlideTick,     // 17 H
    none,                // 18 I
    none,                // 19 J
    none,                // 20 K
    none,                // 21 L
    none,                // 22 M
    none,                // 23 N
    none,                // 24 O
    panningSlideTick,    // 25 P
    none,                // 26 Q
    multiRetrigTick,     // 27 R
    none,                // 28 S
    tremorTick,          // 29 T
    none,                // 30 U
    none,                // 31 V
    none,                // 32 W
    none,                // 33 X
    none,                // 34 Y
    none,                // 35 Z
};

}  // namespace

void effectRow(EffectStep& s) {
    if (s.cell.effect < effectCount) rowActions[s.cell.effect](s);
}

void effectTick(EffectStep& s) {
    if (s.cell.effect < effectCount) tickActions[s.cell.effect](s);
}

}  // namespace qvl
