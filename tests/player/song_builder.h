// Small modules for the player tests, built in code or written as text, with one looped
// instrument; samples built in memory for the mixer tests.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "player/channel.h"
#include "player/song.h"
#include "player/voice.h"
#include "xm_loading.h"

namespace qvl::test {

// A sample with the guard frame the loader writes; a loop of no length spans the sample.
struct MemorySample {
    Sample s;
    MemorySample(std::vector<int16_t> frames, uint8_t loopType, uint32_t loopStart = 0,
                 uint32_t loopLength = 0) {
        s.length = static_cast<uint32_t>(frames.size());
        s.loopType = loopType;
        s.loopStart = loopLength ? loopStart : 0;
        s.loopLength = loopLength ? loopLength : s.length;
        s.storage = std::make_unique<int16_t[]>(s.length + sampleSpareFrames + 2 * samplePadFrames);
        s.data = s.storage.get() + samplePadFrames;
        for (uint32_t i = 0; i < s.length; ++i) s.data[i] = frames[i];
        s.data[s.loopEnd()] = loopType == 4 ? s.data[s.loopEnd() - 1] : s.data[s.loopStart];
        s.bits = 16;
    }
};

inline double positionOf(const Voice& v) {
    return v.positionInt + v.positionFrac / 4294967296.0;
}

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

// Songs written as text (see tests/player/ticks.txt): "speed channels options..." with
// instrument options prefixed "n:" for instrument n, and cells written
// "pattern.row.channel note instrument volume effect", e.g. "0.1.0 C-4 1 40 A04".
XmModule songFrom(const std::string& text);
void putCell(XmModule& m, const std::string& text);
std::vector<std::string> split(const std::string& text, char separator);
// The words of `text`, "v*n" standing for n words v.
std::vector<std::string> expand(const std::string& text);
// The cases of a case list (tests/player/ticks.txt, functions.txt, samples.txt): its lines but
// the empty ones and "#" comments; none when the file does not open.
std::vector<std::string> caseLines(const std::string& path);

}  // namespace qvl::test
