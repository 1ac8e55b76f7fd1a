// Envelope stepping: segments between points, sustain hold until key off, loops.
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

EnvelopeState volumeEnvelopeState(Channel& c) {
    return {c.volEnvTick,  c.volEnvPoint, c.volEnvFixed,
            c.volEnvValue, c.volEnvSlope, c.volEnvStopped};
}

EnvelopeState panningEnvelopeState(Channel& c) {
    return {c.panEnvTick,  c.panEnvPoint, c.panEnvFixed,
            c.panEnvValue, c.panEnvSlope, c.panEnvStopped};
}

EnvelopeShape volumeEnvelopeShape(const Instrument& i) {
    return {i.volumeType,    i.volumePointCount, i.volumeEnvelope,
            i.volumeLoopEnd, i.volumeLoopStart,  i.volumeSustain};
}

EnvelopeShape panningEnvelopeShape(const Instrument& i) {
    return {i.panningType,    i.panningPointCount, i.panningEnvelope,
            i.panningLoopEnd, i.panningLoopStart,  i.panningSustain};
}

void envelopeStep(Channel& channel, EnvelopeState e, const EnvelopeShape& shape,
                  uint8_t requestBit) {
    const EnvelopePoint* pts = shape.points;
    // guard: "reached" rather than "equal", so points whose ticks run backwards cannot
    // leave the envelope sliding for ever
    if (e.point < shape.count && e.tick >= pts[e.point].x) {
        if ((shape.type & 4) && e.point == shape.loopEnd) {
            e.point = shape.loopStart;
            e.tick = pts[e.point].x;
        }
        const int i = e.point;
        if (i == shape.count - 1) {
            e.value = pts[i].y;
            e.stopped = 1;
            channel.requests |= requestBit;
            return;
        }
        if ((shape.type & 2) && i == shape.sustain && !channel.keyOff) {
            e.value = pts[i].y;
            channel.requests |= requestBit;
            return;
        }
        e.slope = segmentSlope(pts[i], pts[i + 1]);
        e.fixed = 65536 * pts[i].y;
        e.point = i + 1;
    } else if (e.point < shape.count) {
        e.fixed += e.slope;
    }
    e.value = std::clamp(e.fixed >> 16, 0, 64);  // guard: values stay 0..64
    ++e.tick;
    channel.requests |= requestBit;
}

void setEnvelopePosition(Channel& ch, const Instrument& ins, int p) {
    const int n = ins.volumePointCount;
    const EnvelopePoint* pts = ins.volumeEnvelope;
    for (int j = 0; j + 1 < n; ++j) {
        if (p > pts[j + 1].x) continue;
        ch.volEnvStopped = 0;
        ch.volEnvTick = p;
        ch.volEnvSlope = segmentSlope(pts[j], pts[j + 1]);
        ch.volEnvFixed = 65536 * pts[j].y + (p - pts[j].x) * ch.volEnvSlope;
        ch.volEnvPoint = j + 1;
        ch.volEnvValue = std::clamp(ch.volEnvFixed >> 16, 0, 64);
        return;
    }
    ch.volEnvPoint = n - 1;
    ch.volEnvValue = pts[n - 1].y;
    ch.volEnvStopped = 1;
}

}  // namespace qvl
