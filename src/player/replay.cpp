// Rows and ticks: the row step turns cells into notes, instruments and effects; the tick
// step runs envelopes, fadeout and effects; every channel ends at applyChannel.
#include "player/replay.h"

#include <algorithm>

#include "player/channel.h"
#include "player/channel_output.h"
#include "player/context.h"
#include "player/effect_step.h"
#include "player/envelope.h"
#include "player/pitch.h"
#include "player/song.h"
#include "player/voice_control.h"

namespace qvl {

namespace {

constexpr int rowsPerOrderFlags = 256;

void stopSongLocked(PlayerContext& context, Song& song) {
    if (song.link.linked()) unlinkNode(song.link);
    song.playing = 0;
    for (int c = 0; c < static_cast<int>(song.channels.size()); ++c) {
        stopVoice(context, c);
        stopFadeVoice(context, c);  // it plays the song's sample data too
    }
    song.channels.clear();
}

struct ChannelFind {
    const Instrument* instrument;
    const Sample* sample;
};

ChannelFind findInstrument(Song& song, int instrument, int note) {
    if (instrument >= song.instrumentCount) return {&emptyInstrument, &emptySample};
    const Instrument& ins = song.instruments[instrument];
    return {&ins, &slotSample(ins, ins.noteSample[note < noteCount ? note : 0])};
}

ChannelFind findInstrument(Song& song, const Channel& ch) {
    return findInstrument(song, ch.instrument, ch.note);
}

void stepEnvelopes(Channel& ch, const Instrument& ins) {
    if (ins.volumeEnvelope.on() && !ch.volumeEnvelope.stopped) {
        envelopeStep(ch, ch.volumeEnvelope, ins.volumeEnvelope, requestVolume);
    }
    if (ins.panningEnvelope.on() && !ch.panningEnvelope.stopped) {
        envelopeStep(ch, ch.panningEnvelope, ins.panningEnvelope, requestPanning);
    }
}

void fadeout(Channel& ch, const Instrument& ins) {
    ch.fadeoutVolume =
        static_cast<int32_t>(std::max<int64_t>(int64_t{ch.fadeoutVolume} - ins.fadeout, 0));
    ch.requests |= requestVolume;
}

bool isPortamentoRow(const NoteCell& cell) {
    return cell.effect == effectTonePortamento || cell.effect == effectTonePortaVolumeSlide ||
           cell.volume >= volumeTonePortamento;
}

bool hasNote(const NoteCell& cell) {
    return cell.note != noNote && cell.note != keyOffNote;
}

bool keysOff(const NoteCell& cell) {
    return cell.note == keyOffNote;
}

// The cell as the row step reads it. K00 keys off on the row tick; Kxx with xx above 0 waits
// for tick xx. quirk: K00 stands for a key off in the note column, so the cell's note does
// not play; beside a volume-column tone portamento it does nothing
NoteCell readCell(const NoteCell& cell) {
    NoteCell read = cell;
    if (cell.effect == effectKeyOff && cell.parameter == 0 && cell.volume < volumeTonePortamento) {
        read.note = keyOffNote;
    }
    return read;
}

// The cell's note with the relative note of the sample it plays added: under a tone
// portamento the sound's own sample, otherwise the one the cell's instrument maps it to.
int transposedNote(Song& song, const Channel& ch, const NoteCell& cell, bool porta) {
    const int instrument = cell.instrument && !porta ? cell.instrument - 1 : ch.instrument;
    const int note = porta ? ch.note : cell.note - 1;
    const int8_t relative =
        static_cast<int8_t>(findInstrument(song, instrument, note).sample->relativeNote);
    return relative + cell.note - 1;
}

// quirk: the tracker plays real notes 0..118 (C-0 to A#9); one below, B-(-1), switches to
// its sample but plays the last note again, and a note further out counts as no note
constexpr int lowestRealNote = -1, highestRealNote = 118;

void processChannelRow(PlayerContext& context, Song& song, Channel& ch, const NoteCell& in) {
    NoteCell cell = in;
    // quirk: a delayed note plays as a plain one, its sample too; the tone portamento
    // beside it keeps its speed and target and slides on from the delayed note
    const bool porta = isPortamentoRow(cell) && !delaysNote(cell);
    const int transposed = hasNote(cell) ? transposedNote(song, ch, cell, porta) : 0;
    if (transposed < lowestRealNote || transposed > highestRealNote) cell.note = noNote;
    if (cell.instrument && !porta) ch.instrument = static_cast<uint8_t>(cell.instrument - 1);
    if (hasNote(cell) && !porta) ch.note = static_cast<uint8_t>(cell.note - 1);
    const ChannelFind found = findInstrument(song, ch);
    const Sample& sample = *found.sample;
    ch.rowVolume = ch.volume;
    ch.rowPeriod = ch.period;
    ch.rowPanning = ch.panning;
    ch.volumeDelta = 0;
    ch.requests = 0;
    if (hasNote(cell)) {
        if (transposed > lowestRealNote) ch.realNote = static_cast<uint8_t>(transposed);
        ch.finetune = sample.finetune;
        ch.notePeriod = notePeriod(song.linearFrequencies(), ch.realNote, ch.finetune);
        if (!porta) {
            ch.period = ch.notePeriod;
            ch.retrigCount = 0;
        } else {
            // quirk: only a note beside a tone portamento sets its target; an instrument
            // number or a note without one leaves the target where it was
            aimTonePortamento(ch);
        }
        ch.requests = requestTrigger;
    }
    if (hasNote(cell) && !porta) ch.heldDelta = 0;
    ch.periodDelta = ch.heldDelta;
    ch.requests |= requestFrequency | requestVolume;
    EffectStep step{context, song, ch, cell, *found.instrument, sample};
    if (cell.instrument) takeInstrument(ch, cell, sample);
    if (cell.volume) volumeColumnRow(step);
    const Instrument& ins = *found.instrument;
    if (keysOff(cell) && !delaysNote(cell)) keyOff(ch, ins);
    stepEnvelopes(ch, ins);
    if (ch.keyOff) fadeout(ch, ins);
    effectRow(step);
    autoVibrato(ch, ins);
    applyChannel(context, ch, sample, song);
}

void processRow(PlayerContext& context, Song& song) {
    song.nextOrder = -1;
    song.nextRow = -1;
    song.jumpMark = false;
    const Pattern& pattern = song.patterns[song.orders[song.order]];
    song.rowCells = &pattern.cells[static_cast<size_t>(song.row) * song.channelCount];
    const int globalVolume = song.globalVolume;
    for (int c = 0; c < song.channelCount; ++c) {
        processChannelRow(context, song, song.channels[c], readCell(song.rowCells[c]));
    }
    song.globalVolumeMoved = song.globalVolume != globalVolume;
}

void processTick(PlayerContext& context, Song& song) {
    if (!song.rowCells) return;
    const int globalVolume = song.globalVolume;
    for (int c = 0; c < song.channelCount; ++c) {
        Channel& ch = song.channels[c];
        // quirk: a global volume set or slid on a tick reaches the effect's channel and
        // those after it at once, and those before it on the next tick
        const bool moved = song.globalVolumeMoved || song.globalVolume != globalVolume;
        const NoteCell& cell = song.rowCells[c];
        const ChannelFind found = findInstrument(song, ch);
        if (cell.effect == effectKeyOff && cell.parameter == song.tick) {
            keyOff(ch, *found.instrument);
        }
        ch.volumeDelta = 0;
        ch.periodDelta = ch.heldDelta;
        ch.requests = moved ? requestVolume : 0;
        EffectStep step{context, song, ch, cell, *found.instrument, *found.sample};
        volumeColumnTick(step);
        effectTick(step);
        // after the effects, so that a delayed note's envelopes take their first step at
        // once, as a note's do on the row tick
        stepEnvelopes(ch, *found.instrument);
        if (ch.keyOff) fadeout(ch, *found.instrument);
        autoVibrato(ch, *found.instrument);
        applyChannel(context, ch, *found.sample, song);
    }
    song.globalVolumeMoved = song.globalVolume != globalVolume;
}

// Counts a return to a row already played, reached through an order change (a jump, a
// break, or the end of a pattern, also back into the same order); a pattern loop moves
// only the row and is not a return.
void notePlayedRow(Song& song, bool orderChange) {
    const size_t key = static_cast<size_t>(song.order) * rowsPerOrderFlags + song.row;
    if (song.playedRows.size() <= key) return;
    if (song.playedRows[key] && orderChange) {
        ++song.loopBackCount;
        std::fill(song.playedRows.begin(), song.playedRows.end(), 0);
    }
    song.playedRows[key] = 1;
}

void rowTick(PlayerContext& context, Song& song) {
    const bool orderChange = song.nextOrder >= 0;
    if (orderChange) {
        song.order = song.nextOrder;
        song.breakRow = 0;
    }
    if (song.nextRow >= 0) song.row = song.nextRow;
    // quirk: a break or jump past the target pattern's end starts it at row 0
    if (song.row >= song.patterns[song.orders[song.order]].rows) song.row = 0;
    notePlayedRow(song, orderChange);
    processRow(context, song);
    if (song.nextRow == -1) {
        song.nextRow = song.row + 1;
        if (song.nextRow >= song.patterns[song.orders[song.order]].rows) {
            song.nextOrder = song.order + 1;
            if (song.nextOrder >= song.songLength) song.nextOrder = song.restartPosition;
            song.nextRow = song.breakRow;
        }
    }
}

}  // namespace

// quirk: without a volume envelope the channel's volume drops to 0 at once, so a volume set
// later sounds again (faded by the fadeout that goes on)
void keyOff(Channel& ch, const Instrument& ins) {
    ch.keyOff = 1;
    if (!ins.volumeEnvelope.on()) ch.volume = 0;
}

// quirk: beside a key off the instrument number takes only the sample's volume and panning;
// the envelopes, the fadeout and the tremor go on where they are
void takeInstrument(Channel& ch, const NoteCell& cell, const Sample& sample) {
    if (!keysOff(cell)) {
        resetChannelInstrument(ch, sample);
        return;
    }
    ch.volume = sample.volume;
    ch.panning = sample.panning;
    ch.requests |= requestVolume | requestPanning;
}

void resetChannelInstrument(Channel& ch, const Sample& sample) {
    ch.volume = sample.volume;
    ch.panning = sample.panning;
    restartEnvelope(ch.volumeEnvelope, 64);
    restartEnvelope(ch.panningEnvelope, 32);
    ch.keyOff = 0;
    ch.fadeoutVolume = 65536;
    ch.autoVibratoPos = ch.autoVibratoCount = 0;
    if ((ch.waveControl & 15) < 4) ch.vibratoPos = 0;
    if ((ch.waveControl >> 4) < 4) ch.tremoloPos = 0;
    ch.tremorCount = ch.tremorSilent = 0;
    ch.requests |= requestVolume | requestPanning;
}

void setTempo(const PlayerContext& context, Song& song, int bpm) {
    song.bpm = bpm;
    const int b = std::max(bpm, 1);  // guard: a BPM below 1 counts as 1
    // guard: a tick lasts at least one frame, so the block fill always moves on
    song.samplesPerTick = std::max(5 * context.mixRate / (2 * b), 1);
}

bool startSong(PlayerContext& context, Song* song) {
    if (!song) return false;
    std::lock_guard lock(context.mixBusy);
    stopSongLocked(context, *song);
    if (!context.voicePool) return false;  // guard: songs play only on open voices
    song->globalVolume = song->initialGlobalVolume;
    song->globalVolumeMoved = 0;
    song->nextOrder = song->nextRow = -1;
    song->speed = song->defaultSpeed;
    song->row = song->order = 0;
    song->samplesToTick = 0;
    song->tick = 0;
    song->patternDelayTicks = 0;
    song->breakRow = 0;
    song->rowCells = nullptr;
    // allocated here, so the ticks on the output thread allocate nothing
    song->playedRows.assign(static_cast<size_t>(song->songLength) * rowsPerOrderFlags, 0);
    song->loopBackCount = 0;
    setTempo(context, *song, song->defaultBpm);
    song->channels.assign(song->channelCount, Channel{});
    for (int c = 0; c < song->channelCount; ++c) song->channels[c].voiceIndex = c;
    appendNode(context.playingSongs, song->link);
    song->playing = 1;
    return true;
}

void retimePlayingSongs(PlayerContext& context) {
    std::lock_guard lock(context.mixBusy);
    for (auto* l = context.playingSongs.next; l != &context.playingSongs; l = l->next) {
        setTempo(context, *l->owner, l->owner->bpm);
    }
}

bool stopSong(PlayerContext& context, Song* song) {
    if (!song) return false;
    std::lock_guard lock(context.mixBusy);
    stopSongLocked(context, *song);
    return true;
}

void songTick(PlayerContext& context, Song& song) {
    if (song.channels.empty()) return;
    if (song.tick == 0) {
        rowTick(context, song);
    } else {
        processTick(context, song);
    }
    ++song.tick;
    if (song.tick >= song.speed + song.patternDelayTicks) {
        song.patternDelayTicks = 0;
        song.tick = 0;
    }
}

}  // namespace qvl
