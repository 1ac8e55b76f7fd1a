// Measures the click of a note start: the mean energy of the output's second difference (its
// high-frequency content) in the 64 frames after each note start, over that in the 256 frames
// before it. A start that joins the old sound smoothly gives about 1; a cut mid-wave, far more.
// Prints, for a few modules built here, the median and largest ratio over their note starts.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "player/context.h"
#include "player/mixer.h"
#include "player/replay.h"
#include "player/song.h"
#include "player/xm_loader.h"
#include "xm_loading.h"

namespace {

using namespace qvl;

constexpr int after = 64, before = 256;

XmSample tone(int frames, double (*wave)(double)) {
    XmSample s;
    s.sixteenBit = true;
    for (int f = 0; f < frames; ++f) s.frames.push_back(static_cast<int>(12000 * wave(f)));
    s.loopBits = 1;
    s.loopLength = static_cast<uint32_t>(frames);
    return s;
}

double sine(double f) {
    return std::sin(f * 2 * M_PI / 100);  // 100 frames a cycle
}
double organ(double f) {
    return 0.7 * std::sin(f * 2 * M_PI / 64) + 0.3 * std::sin(f * 6 * M_PI / 64);  // 64 a cycle
}

struct Piece {
    const char* name;
    XmModule module;
    int rowsBetweenNotes;
};

// `channels` channels of one looped instrument, each with a note every `every` rows, at a
// pitch that walks through a scale or at one pitch (then the ratio is the click alone); every
// start lands at another point of the old wave.
Piece piece(const char* name, double (*wave)(double), int frames, int channels, int every,
            bool walk = true) {
    XmModule m;
    m.channels = channels;
    m.speed = 6;
    m.bpm = 125;
    m.patterns.assign(1, XmPattern{});
    m.instruments.push_back(oneSampleInstrument(tone(frames, wave)));
    const int scale[] = {0, 2, 4, 5, 7, 9, 11, 12};
    for (int r = 0; r < 64; r += every) {
        for (int c = 0; c < channels; ++c) {
            const int step = walk ? scale[(r / every + 3 * c) % 8] : 0;
            const auto note = static_cast<uint8_t>(49 + step + 4 * c);
            setCell(m.patterns[0], channels, r, c, {note, 1, 0, 0, 0});
        }
    }
    return {name, m, every};
}

double diffEnergy(const std::vector<float>& out, int from, int count) {
    double sum = 0;
    for (int n = from; n < from + count; ++n) {
        for (int side = 0; side < 2; ++side) {
            const double d =
                out[2 * n + side] - 2.0 * out[2 * (n - 1) + side] + out[2 * (n - 2) + side];
            sum += d * d;
        }
    }
    return sum / count;
}

void measure(const Piece& p) {
    PlayerContext context;
    openVoices(context, standardMixRate);
    const std::vector<uint8_t> bytes = buildXm(p.module);
    Song* song = test::loadBytes(context, bytes);
    startSong(context, song);
    const int rows = 64, ticksPerRow = song->speed, frames = song->samplesPerTick;
    std::vector<float> out(2 * static_cast<size_t>(rows * ticksPerRow * frames), 0.0f);
    for (int t = 0; t < rows * ticksPerRow; ++t) {
        song->tickRoutine(context, *song);
        mixVoices(context, out.data() + 2 * static_cast<size_t>(t) * frames, frames);
    }
    std::vector<double> ratios;
    for (int r = p.rowsBetweenNotes; r < rows; r += p.rowsBetweenNotes) {
        const int start = r * ticksPerRow * frames;
        ratios.push_back(diffEnergy(out, start, after) / diffEnergy(out, start - before, before));
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("%-28s %4zu starts  median %7.2f  largest %7.2f\n", p.name, ratios.size(),
                ratios[ratios.size() / 2], ratios.back());
    freeSong(context, song);
}

}  // namespace

int main() {
    std::printf(
        "click ratio: energy of the second difference, 64 frames after a note start "
        "over 256 before (per frame)\n");
    measure(piece("sine, one pitch, every 3 rows", sine, 100, 1, 3, false));
    measure(piece("sine lead, a note a row", sine, 100, 1, 1));
    measure(piece("sine lead, every 4 rows", sine, 100, 1, 4));
    measure(piece("organ bass, every 2 rows", organ, 64, 1, 2));
    measure(piece("four sine voices, every 4", sine, 100, 4, 4));
    return 0;
}
