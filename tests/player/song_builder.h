// Small modules for the replay and effect tests: one looped instrument, patterns filled
// cell by cell, and a trace of the song position tick by tick.
#pragma once

#include <string>
#include <vector>

#include "player/channel.h"
#include "player/song.h"
#include "xm_loading.h"

namespace qvl::test {

constexpr uint8_t noteC4 = 49;  // real note 48: period 4608, 8363 Hz

inline XmSample loopedSample(int frames = 2000, int value = 1000) {
    XmSample s;
    s.sixteenBit = true;
    s.frames.assign(frames, value);
    s.loopBits = 1;
    s.loopStart = 0;
    s.loopLength = static_cast<uint32_t>(frames);
    s.volume = 64;
    s.panning = 128;
    return s;
}

// A module of `orders` orders over as many patterns of `rows` rows, with one instrument.
inline XmModule songOf(int channels, int rows, int orders = 1, int speed = 6) {
    XmModule m;
    m.channels = channels;
    m.speed = static_cast<uint16_t>(speed);
    m.songLength = orders;
    m.orders.clear();
    m.patterns.clear();
    for (int i = 0; i < orders; ++i) {
        m.orders.push_back(static_cast<uint8_t>(i));
        XmPattern p;
        p.rows = rows;
        m.patterns.push_back(p);
    }
    m.instruments.push_back(oneSampleInstrument(loopedSample()));
    return m;
}

inline void put(XmModule& m, int pattern, int row, int channel, NoteCell cell) {
    setCell(m.patterns[pattern], m.channels, row, channel, cell);
}

struct TickRecord {
    int order, row, tick;
    bool rowTick;
};

// Plays `ticks` ticks and records where each one was.
inline std::vector<TickRecord> trace(Player& p, int ticks) {
    std::vector<TickRecord> out;
    for (int i = 0; i < ticks; ++i) {
        const int tick = p.song->tick;
        p.tick();
        // the row whose cells this tick read: a pattern loop may have moved `row` since
        const Song& s = *p.song;
        const Pattern& pattern = s.patterns[s.orders[s.order]];
        const int row = static_cast<int>((s.rowCells - pattern.cells.data()) / s.channelCount);
        out.push_back({s.order, row, tick, tick == 0});
    }
    return out;
}

// The (order, row) of every row tick among the first `ticks` ticks.
inline std::vector<std::pair<int, int>> rowsPlayed(Player& p, int ticks) {
    std::vector<std::pair<int, int>> out;
    for (const TickRecord& r : trace(p, ticks)) {
        if (r.rowTick) out.emplace_back(r.order, r.row);
    }
    return out;
}

}  // namespace qvl::test
