// The XM writer: little-endian fields in file order, packed or plain cells, delta-encoded
// sample data.
#include "xmwrite/xm_writer.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

namespace qvl {

namespace {

struct Bytes {
    std::vector<uint8_t> v;
    void u8(int x) { v.push_back(static_cast<uint8_t>(x)); }
    void u16(int x) {
        u8(x & 0xFF);
        u8((x >> 8) & 0xFF);
    }
    void u32(uint32_t x) {
        u16(x & 0xFFFF);
        u16(x >> 16);
    }
    void text(const char* s, size_t n) {
        for (size_t i = 0; i < n; ++i) u8(i < std::strlen(s) ? s[i] : 0);
    }
    void put32At(size_t at, uint32_t x) {
        for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
    }
};

void writeCell(Bytes& b, const NoteCell& c, bool unpacked) {
    if (unpacked) {
        b.u8(c.note);
        b.u8(c.instrument);
        b.u8(c.volume);
        b.u8(c.effect);
        b.u8(c.parameter);
        return;
    }
    const uint8_t mask = (c.note ? 1 : 0) | (c.instrument ? 2 : 0) | (c.volume ? 4 : 0) |
                         (c.effect ? 8 : 0) | (c.parameter ? 16 : 0);
    b.u8(0x80 | mask);
    if (c.note) b.u8(c.note);
    if (c.instrument) b.u8(c.instrument);
    if (c.volume) b.u8(c.volume);
    if (c.effect) b.u8(c.effect);
    if (c.parameter) b.u8(c.parameter);
}

// Appends `part` padded with zeros or cut to `size` bytes.
void appendSized(Bytes& b, Bytes part, size_t size) {
    part.v.resize(size, 0);
    b.v.insert(b.v.end(), part.v.begin(), part.v.end());
}

void writePattern(Bytes& b, const XmPattern& p, int channels) {
    Bytes cells;
    if (!p.empty) {
        for (int i = 0; i < p.rows * channels; ++i) {
            const bool stored = i < static_cast<int>(p.cells.size());
            writeCell(cells, stored ? p.cells[i] : NoteCell{}, p.unpacked);
        }
    }
    Bytes header;
    header.u32(p.headerLength);
    header.u8(0);
    header.u16(p.rows);
    header.u16(static_cast<int>(cells.v.size()));
    if (!p.empty && cells.v.empty()) header.v[7] = 1;  // a non-empty pattern never says 0
    appendSized(b, std::move(header), std::max<size_t>(p.headerLength, 4));
    b.v.insert(b.v.end(), cells.v.begin(), cells.v.end());
}

void writeEnvelope(Bytes& b, const XmEnvelope& e) {
    for (int i = 0; i < 12; ++i) {
        const EnvelopePoint p =
            i < static_cast<int>(e.points.size()) ? e.points[i] : EnvelopePoint{};
        b.u16(p.x);
        b.u16(p.y);
    }
}

void writeInstrument(Bytes& b, const XmInstrument& ins) {
    const int n = static_cast<int>(ins.samples.size());
    const int declared = ins.declaredSamples >= 0 ? ins.declaredSamples : n;
    const size_t start = b.v.size();
    b.u32(0);  // header size, filled in below
    b.text("instrument", 22);
    b.u8(0);
    b.u16(declared);
    if (declared > 0) {
        b.u32(ins.sampleHeaderSize);
        for (uint8_t s : ins.noteSample) b.u8(s);
        writeEnvelope(b, ins.volume);
        writeEnvelope(b, ins.panning);
        const auto count = [](const XmEnvelope& e) {
            return e.countOverride >= 0 ? e.countOverride : static_cast<int>(e.points.size());
        };
        b.u8(count(ins.volume));
        b.u8(count(ins.panning));
        b.u8(ins.volume.sustain);
        b.u8(ins.volume.loopStart);
        b.u8(ins.volume.loopEnd);
        b.u8(ins.panning.sustain);
        b.u8(ins.panning.loopStart);
        b.u8(ins.panning.loopEnd);
        b.u8(ins.volume.type);
        b.u8(ins.panning.type);
        b.u8(ins.vibType);
        b.u8(ins.vibSweep);
        b.u8(ins.vibDepth);
        b.u8(ins.vibRate);
        b.u16(ins.fadeout);
        for (int i = 0; i < 22; ++i) b.u8(0);  // reserved, as real files have
    }
    b.put32At(start, static_cast<uint32_t>(b.v.size() - start));
    if (declared > 16) return;
    for (const XmSample& s : ins.samples) {
        const uint32_t unit = s.sixteenBit ? 2 : 1;
        const uint32_t bytes = static_cast<uint32_t>(s.frames.size()) * unit;
        Bytes h;
        h.u32(s.byteLengthOverride >= 0 ? static_cast<uint32_t>(s.byteLengthOverride) : bytes);
        h.u32(s.loopStart * unit);
        h.u32(s.loopLength * unit);
        h.u8(s.volume);
        h.u8(static_cast<uint8_t>(s.finetune));
        h.u8(s.loopBits | (s.sixteenBit ? 0x10 : 0));
        h.u8(s.panning);
        h.u8(static_cast<uint8_t>(s.relativeNote));
        h.u8(0);
        h.text("sample", 22);
        appendSized(b, std::move(h), ins.sampleHeaderSize ? ins.sampleHeaderSize : 40);
    }
    for (const XmSample& s : ins.samples) {
        int previous = 0;
        for (int f : s.frames) {
            const int delta = f - previous;
            previous = f;
            if (s.sixteenBit) {
                b.u16(delta & 0xFFFF);
            } else {
                b.u8(delta & 0xFF);
            }
        }
    }
}

}  // namespace

std::vector<uint8_t> buildXm(const XmModule& m) {
    Bytes b;
    b.text("Extended Module: ", 17);
    b.text("test module", 20);
    b.u8(0x1A);
    b.text("test writer", 20);
    b.u16(0x0104);
    b.u32(m.headerSize);
    b.u16(m.songLength);
    b.u16(m.restart);
    b.u16(m.channels);
    const int patterns =
        m.patternCountOverride >= 0 ? m.patternCountOverride : static_cast<int>(m.patterns.size());
    b.u16(patterns);
    const int instruments = m.instrumentCountOverride >= 0 ? m.instrumentCountOverride
                                                           : static_cast<int>(m.instruments.size());
    b.u16(instruments);
    b.u16(m.flags);
    b.u16(m.speed);
    b.u16(m.bpm);
    for (int i = 0; i < 256; ++i) b.u8(i < static_cast<int>(m.orders.size()) ? m.orders[i] : 0);
    while (b.v.size() < 60 + m.headerSize) b.u8(0);
    for (const XmPattern& p : m.patterns) writePattern(b, p, m.channels);
    for (const XmInstrument& ins : m.instruments) writeInstrument(b, ins);
    return b.v;
}

void setCell(XmPattern& p, int channels, int row, int channel, NoteCell cell) {
    const size_t at = static_cast<size_t>(row) * channels + channel;
    if (p.cells.size() <= at) p.cells.resize(static_cast<size_t>(p.rows) * channels);
    p.cells[at] = cell;
}

XmInstrument oneSampleInstrument(XmSample sample) {
    XmInstrument ins;
    ins.samples.push_back(std::move(sample));
    return ins;
}

}  // namespace qvl
