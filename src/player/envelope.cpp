// Envelope stepping: segments between points, sustain hold until key off, loops; the same
// routine serves the volume and the panning envelope.
#include "player/envelope.h"

#include <algorithm>

#include "player/channel.h"
#include "player/song.h"

namespace qvl {

namespace {

int32_t segmentSlope(const EnvelopePoint& a, const EnvelopePoint& b) {
    if (a.x == b.x) return 0;
    return (65536 * b.y - 65536 * a.y) / (b.x - a.x);
}

}  // namespace

// tick is the position the step reads: one past the position last read, so the first step
// reads point 0, and a point reached on a tick (sustain, loop end) acts on that tick.
void envelopeStep(Channel& channel, EnvelopePosition& e, const Envelope& envelope,
                  uint8_t requestBit) {
    const EnvelopePoint* pts = envelope.points;
    const int count = envelope.count;
    // guard: "reached" rather than "equal", so points whose ticks run backwards cannot
    // leave the envelope sliding for ever
    if (e.point < count && e.tick >= pts[e.point].x) {
        // quirk: a sustain point on the loop end holds there, and once released the loop
        // is released with it
        const bool sustainEndsLoop =
            (envelope.type & envelopeSustain) && envelope.sustain == envelope.loopEnd;
        if ((envelope.type & envelopeLoop) && e.point == envelope.loopEnd && !sustainEndsLoop) {
            e.point = envelope.loopStart;
            e.tick = pts[e.point].x;
        }
        const int i = e.point;
        if (i == count - 1) {
            e.value = pts[i].y;
            e.stopped = 1;
            channel.requests |= requestBit;
            return;
        }
        if ((envelope.type & envelopeSustain) && i == envelope.sustain && !channel.keyOff) {
            e.value = pts[i].y;
            channel.requests |= requestBit;
            return;
        }
        e.slope = segmentSlope(pts[i], pts[i + 1]);
        e.fixed = 65536 * pts[i].y;
        e.point = i + 1;
    } else if (e.point < count) {
        e.fixed += e.slope;
    }
    e.value = std::clamp(e.fixed >> 16, 0, 64);  // guard: values stay 0..64
    ++e.tick;
    channel.requests |= requestBit;
}

void setEnvelopePosition(EnvelopePosition& e, const Envelope& envelope, int p) {
    const int n = envelope.count;
    const EnvelopePoint* pts = envelope.points;
    if (n == 0) return;  // guard: an envelope without points has nowhere to go
    for (int j = 0; j + 1 < n; ++j) {
        if (p > pts[j + 1].x) continue;
        e.stopped = 0;
        // quirk: the tracker counts the position on before it reads the point there, so
        // after Lxx the next tick reads p + 1; a point at p itself takes its own step next,
        // so that its sustain or loop applies
        e.tick = p < pts[j + 1].x ? p + 1 : p;
        e.slope = segmentSlope(pts[j], pts[j + 1]);
        e.fixed = 65536 * pts[j].y + (p - pts[j].x) * e.slope;
        e.point = j + 1;
        e.value = std::clamp(e.fixed >> 16, 0, 64);
        return;
    }
    e.point = n - 1;
    e.value = pts[n - 1].y;
    e.stopped = 1;
}

void restartEnvelope(EnvelopePosition& e, int32_t value) {
    e.value = value;
    e.point = e.tick = e.slope = 0;
    e.stopped = 0;
}

}  // namespace qvl
