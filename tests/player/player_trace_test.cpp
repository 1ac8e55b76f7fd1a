// Golden traces of the replay: the small songs written at the head of each file under
// tests/player/traces/ are played tick by tick, with the voices mixed between ticks, and each
// tick of each channel becomes one text line compared with the rest of the file. When the
// player's behaviour changes on purpose, QVL_UPDATE_TRACES=1 writes the traces anew; read
// the difference before committing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "player/mixer.h"
#include "player/voice.h"
#include "song_builder.h"

namespace qvl::test {
namespace {

// "instrument.slot" of the sample a voice plays, "-" for none.
std::string sampleName(const Song& song, const Sample* sample) {
    if (!sample) return "-";
    for (int i = 0; i < song.instrumentCount; ++i) {
        for (int s = 0; s < song.instruments[i].sampleCount; ++s) {
            if (song.instruments[i].samples[s] == sample) {
                return std::to_string(i + 1) + "." + std::to_string(s);
            }
        }
    }
    return "?";
}

// One line per channel per tick: position, the channel's pitch, volume and panning with the
// envelope values and fadeout, then what its voice plays: sample, frame, per-side volumes.
std::string traceSong(const XmModule& module, int ticks) {
    Player p(module);
    std::ostringstream out;
    out << "order row tick ch | period delta vol pan venv penv fade | sample frame left right\n";
    std::vector<float> mix;
    for (int t = 0; t < ticks; ++t) {
        const int tick = p.song->tick;
        p.tick();
        const Song& s = *p.song;
        const int row = static_cast<int>((s.rowCells - s.patterns[s.orders[s.order]].cells.data()) /
                                         s.channelCount);
        for (int c = 0; c < s.channelCount; ++c) {
            const Channel& ch = p.channel(c);
            const Voice& v = p.voice(c);
            out << s.order << ' ' << row << ' ' << tick << ' ' << c << " | " << ch.period << ' '
                << ch.periodDelta << ' ' << ch.volume << ' ' << ch.panning << ' '
                << ch.volumeEnvelope.value << ' ' << ch.panningEnvelope.value << ' '
                << ch.fadeoutVolume << " | " << sampleName(s, v.sample) << ' ' << v.positionInt
                << ' ' << int{v.leftVolume} << ' ' << int{v.rightVolume} << '\n';
        }
        mix.assign(2 * static_cast<size_t>(s.samplesPerTick), 0.0f);
        mixVoices(p.context, mix.data(), s.samplesPerTick);
    }
    return out.str();
}

// A trace file opens with its song ("song" and "cell" lines, see song_builder.h) under
// comments; the lines from the column heading on are the trace.
void checkTrace(const std::string& name) {
    SCOPED_TRACE(name);
    const std::string path =
        std::string(QVL_SOURCE_DIR) + "/tests/player/traces/" + name + ".trace";
    std::ifstream file(path, std::ios::binary);
    ASSERT_TRUE(file) << "no trace " << path;
    std::string head, want;
    XmModule module;
    int ticks = 0;
    for (std::string line; std::getline(file, line);) {
        if (!want.empty() || line.rfind("order ", 0) == 0) {
            want += line + "\n";
            continue;
        }
        head += line + "\n";
        if (line.rfind("song ", 0) == 0) {
            module = songFrom(line.substr(5));
            ticks = std::stoi(line.substr(line.find("ticks=") + 6));
        }
        if (line.rfind("cell ", 0) == 0) putCell(module, line.substr(5));
    }
    const std::string actual = traceSong(module, ticks);
    if (std::getenv("QVL_UPDATE_TRACES")) {
        std::ofstream(path, std::ios::binary) << head << actual;
        GTEST_SKIP() << "wrote " << path;
    }
    const std::vector<std::string> got = split(actual, '\n'), expected = split(want, '\n');
    for (size_t i = 0; i < expected.size() && i < got.size(); ++i) {
        ASSERT_EQ(got[i], expected[i]) << name << ".trace trace line " << i + 1;
    }
    EXPECT_EQ(got.size(), expected.size());
}

TEST(PlayerTrace, Songs) {
    for (const char* name : {"flow", "envelopes", "pitch", "volume"}) checkTrace(name);
}

}  // namespace
}  // namespace qvl::test
