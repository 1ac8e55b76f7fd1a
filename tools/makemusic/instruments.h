// Instruments of the demo music: a sample with its default volume and panning, volume and
// panning envelopes, fadeout and automatic vibrato. Times are given in seconds and turned
// into ticks at the song's tempo, where a tick lasts 2.5 / BPM seconds.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "xmwrite/xm_writer.h"

namespace qvl::music {

// Ticks that `seconds` last at `bpm`.
int ticksAt(int bpm, double seconds);

struct EnvelopeStep {
    double seconds;
    int value;  // 0..64; for panning 32 is the centre
};

// An envelope that is on, through the given points.
XmEnvelope envelopeOf(int bpm, std::initializer_list<EnvelopeStep> steps);
// The envelope holds at `point` until the note is released.
XmEnvelope withSustain(XmEnvelope envelope, int point);
// The envelope returns from point `last` to point `first` for as long as the note plays.
XmEnvelope withLoop(XmEnvelope envelope, int first, int last);

// One sample mapped to every note, with its default volume (0..64) and panning (0..255).
XmInstrument instrumentOf(XmSample sample, int volume, int panning);

// The fadeout after key off that takes about `seconds` from full volume to silence.
void setRelease(XmInstrument& instrument, int bpm, double seconds);
// A sine auto-vibrato of `depth` period units (64 a semitone) at `hz`, reaching its full
// depth over `sweepSeconds` after each note starts.
void setAutoVibrato(XmInstrument& instrument, int bpm, double hz, int depth, double sweepSeconds);

}  // namespace qvl::music
