// Instrument assembly: envelope points in ticks, fadeout and auto-vibrato rates worked out
// from the song's tick rate so that the same sound keeps its timing at any tempo.
#include "instruments.h"

#include <algorithm>
#include <cmath>

namespace qvl::music {

namespace {

double ticksPerSecond(int bpm) {
    return bpm / 2.5;
}

}  // namespace

int ticksAt(int bpm, double seconds) {
    return static_cast<int>(std::lround(seconds * ticksPerSecond(bpm)));
}

XmEnvelope envelopeOf(int bpm, std::initializer_list<EnvelopeStep> steps) {
    XmEnvelope e;
    e.type = 1;
    for (const EnvelopeStep& s : steps) {
        EnvelopePoint p;
        p.x = static_cast<uint16_t>(ticksAt(bpm, s.seconds));
        // guard: points closer than a tick would share a tick and break the segment order
        if (!e.points.empty() && p.x <= e.points.back().x) p.x = e.points.back().x + 1;
        p.y = static_cast<uint16_t>(std::clamp(s.value, 0, 64));
        e.points.push_back(p);
    }
    return e;
}

XmEnvelope withSustain(XmEnvelope envelope, int point) {
    envelope.type |= 2;
    envelope.sustain = static_cast<uint8_t>(point);
    return envelope;
}

XmEnvelope withLoop(XmEnvelope envelope, int first, int last) {
    envelope.type |= 4;
    envelope.loopStart = static_cast<uint8_t>(first);
    envelope.loopEnd = static_cast<uint8_t>(last);
    return envelope;
}

XmInstrument instrumentOf(XmSample sample, int volume, int panning) {
    sample.volume = static_cast<uint8_t>(std::clamp(volume, 0, 64));
    sample.panning = static_cast<uint8_t>(std::clamp(panning, 0, 255));
    return oneSampleInstrument(std::move(sample));
}

void setRelease(XmInstrument& instrument, int bpm, double seconds) {
    // the player takes twice the stored value from 65536 on every tick after key off
    const double perTick = 65536.0 / std::max(1.0, seconds * ticksPerSecond(bpm));
    instrument.fadeout = static_cast<uint16_t>(std::clamp(std::lround(perTick / 2), 1L, 4095L));
}

void setAutoVibrato(XmInstrument& instrument, int bpm, double hz, int depth, double sweepSeconds) {
    instrument.vibType = 0;
    instrument.vibDepth = static_cast<uint8_t>(std::clamp(depth, 0, 15));
    // one cycle is 256 steps of the phase
    const long rate = std::lround(256.0 * hz / ticksPerSecond(bpm));
    instrument.vibRate = static_cast<uint8_t>(std::clamp(rate, 1L, 255L));
    instrument.vibSweep = static_cast<uint8_t>(std::clamp(ticksAt(bpm, sweepSeconds), 0, 255));
}

}  // namespace qvl::music
