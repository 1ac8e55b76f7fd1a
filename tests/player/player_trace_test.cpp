// Golden traces of the replay: small songs built here are played tick by tick, with the
// voices mixed between ticks, and each tick of each channel becomes one text line that is
// compared with the file under tests/player/traces/. When the player's behaviour changes on
// purpose, QVL_UPDATE_TRACES=1 writes the files anew; read the difference before committing.
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

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

void checkTrace(const std::string& name, const XmModule& module, int ticks) {
    const std::string path =
        std::string(QVL_SOURCE_DIR) + "/tests/player/traces/" + name + ".trace";
    const std::string actual = traceSong(module, ticks);
    if (std::getenv("QVL_UPDATE_TRACES")) {
        std::ofstream(path, std::ios::binary) << actual;
        GTEST_SKIP() << "wrote " << path;
    }
    std::ifstream file(path, std::ios::binary);
    ASSERT_TRUE(file) << "no trace " << path << " (QVL_UPDATE_TRACES=1 writes it)";
    const std::vector<std::string> want =
        linesOf(std::string(std::istreambuf_iterator<char>(file), {}));
    const std::vector<std::string> got = linesOf(actual);
    for (size_t i = 0; i < want.size() && i < got.size(); ++i) {
        ASSERT_EQ(got[i], want[i]) << name << ".trace line " << i + 1;
    }
    EXPECT_EQ(got.size(), want.size()) << name << ".trace";
}

// A looped 16-bit sample long enough that positions show how far each tick played.
XmSample toneSample(int8_t relativeNote = 0) {
    XmSample s = loopedSample(4000, 0);
    for (int f = 0; f < 4000; ++f) s.frames[f] = (f * 97) % 2000 - 1000;
    s.relativeNote = relativeNote;
    return s;
}

// Envelopes at speed 3: channel 0 a volume envelope with a sustain point, released by a key
// off on row 3 with fadeout; channel 1 a looping panning envelope; channel 2 a one-point
// volume envelope with K02 (key off on tick 2 of row 2) and fadeout.
XmModule envelopeSong() {
    XmModule m = songOf(3, 8, 1, 3);
    m.instruments.clear();
    XmInstrument sustained = oneSampleInstrument(toneSample());
    sustained.volume.points = {{0, 0}, {4, 64}, {8, 32}};
    sustained.volume.type = envelopeOn | envelopeSustain;
    sustained.volume.sustain = 1;
    sustained.fadeout = 2048;  // 4096 a tick
    XmInstrument panned = oneSampleInstrument(toneSample());
    panned.panning.points = {{0, 32}, {2, 64}, {4, 0}};
    panned.panning.type = envelopeOn | envelopeLoop;
    panned.panning.loopStart = 1;
    panned.panning.loopEnd = 2;
    XmInstrument drum = oneSampleInstrument(toneSample());
    drum.volume.points = {{0, 48}};
    drum.volume.type = envelopeOn;
    drum.fadeout = 8192;
    m.instruments = {sustained, panned, drum};
    put(m, 0, 0, 0, {noteC4, 1, 0, 0, 0});
    put(m, 0, 3, 0, {fileKeyOffNote, 0, 0, 0, 0});
    put(m, 0, 0, 1, {noteC4, 2, 0, 0, 0});
    put(m, 0, 0, 2, {noteC4, 3, 0, 0, 0});
    put(m, 0, 2, 2, {0, 0, 0, effectKeyOff, 2});
    return m;
}

// Pitch effects at speed 4 on the linear table: arpeggio, vibrato, portamento up and down,
// tone portamento to a new note, fine portamento, and an instrument's auto-vibrato with sweep.
XmModule pitchSong() {
    XmModule m = songOf(2, 8, 1, 4);
    XmInstrument wobble = oneSampleInstrument(toneSample(12));
    wobble.vibType = 0;
    wobble.vibSweep = 2;
    wobble.vibDepth = 8;
    wobble.vibRate = 32;
    m.instruments.push_back(wobble);
    put(m, 0, 0, 0, {noteC4, 1, 0, 0, 0x47});      // arpeggio +4 +7
    put(m, 0, 1, 0, {0, 0, 0, 4, 0x84});           // vibrato speed 8 depth 4
    put(m, 0, 2, 0, {0, 0, 0, 1, 0x08});           // portamento up 8
    put(m, 0, 3, 0, {0, 0, 0, 2, 0x04});           // portamento down 4
    put(m, 0, 4, 0, {noteC4 + 5, 0, 0, 3, 0x20});  // tone portamento to F4, speed 32
    put(m, 0, 5, 0, {0, 0, 0, 3, 0});              // it goes on from its memory
    put(m, 0, 6, 0, {0, 0, 0, 14, 0x13});          // fine portamento up 3
    put(m, 0, 0, 1, {noteC4, 2, 0, 0, 0});         // auto-vibrato, an octave up
    return m;
}

// Volume effects at speed 4: volume slide, the volume column's set and slides, tremor, note
// cut, multi retrigger with a volume change, and a global volume slide heard by channel 1.
XmModule volumeSong() {
    XmModule m = songOf(2, 8, 1, 4);
    put(m, 0, 0, 0, {noteC4, 1, 0x40, 10, 0x04});  // volume 48, slide down 4
    put(m, 0, 1, 0, {0, 0, 0x72, 10, 0x20});       // column up 2 each tick, slide up 2
    put(m, 0, 2, 0, {0, 0, 0, 29, 0x11});          // tremor 2 on, 2 off
    put(m, 0, 3, 0, {0, 0, 0x8A, 14, 0xC2});       // down 10 once, cut on tick 2
    put(m, 0, 4, 0, {noteC4, 1, 0, 27, 0x92});     // retrigger every 2 ticks, +1 each
    put(m, 0, 5, 0, {0, 0, 0xC4, 8, 0x40});        // panning by column then by 8xx
    put(m, 0, 0, 1, {noteC4, 1, 0, 17, 0x02});     // global volume down 2 a tick
    put(m, 0, 2, 1, {0, 0, 0, 16, 0x30});          // global volume 48
    return m;
}

// Flow and timing at speed 3: channel 0 a delayed note, a pattern loop played twice, a
// pattern delay and a jump, with a break on channel 1 (decimal: D12 is row 12); channel 1
// a note cut, multi retrigger with a volume change, a volume column slide on the looped
// row and a retrigger on the delayed row. After the jump, ED0 and EC0 do nothing.
XmModule flowSong() {
    XmModule m = songOf(2, 16, 3, 3);
    put(m, 0, 0, 0, {noteC4, 1, 0, 14, 0xD1});        // note on tick 1
    put(m, 0, 0, 1, {noteC4, 1, 0, 14, 0xC1});        // cut on tick 1
    put(m, 0, 1, 0, {0, 0, 0, 14, 0x60});             // loop start
    put(m, 0, 1, 1, {noteC4, 1, 0, 27, 0x51});        // retrigger every tick, 16 down each
    put(m, 0, 2, 0, {0, 0, 0, 14, 0x61});             // back to row 1 once
    put(m, 0, 2, 1, {0, 0, 0x62, 0, 0});              // column down 2 each tick
    put(m, 0, 3, 0, {0, 0, 0, 14, 0xE1});             // the row lasts twice its ticks
    put(m, 0, 3, 1, {0, 0, 0, 14, 0x92});             // retrigger every 2 ticks
    put(m, 0, 4, 0, {0, 0, 0, 11, 2});                // jump to order 2 ...
    put(m, 0, 4, 1, {0, 0, 0, 13, 0x12});             // ... row 12
    put(m, 2, 12, 0, {noteC4 + 12, 1, 0, 14, 0xD0});  // ED0: never within the row
    put(m, 2, 12, 1, {0, 0, 0, 14, 0xC0});            // EC0: does nothing
    return m;
}

TEST(PlayerTrace, Flow) {
    checkTrace("flow", flowSong(), 30);
}

TEST(PlayerTrace, Envelopes) {
    checkTrace("envelopes", envelopeSong(), 8 * 3);
}

TEST(PlayerTrace, PitchEffects) {
    checkTrace("pitch", pitchSong(), 8 * 4);
}

TEST(PlayerTrace, VolumeEffects) {
    checkTrace("volume", volumeSong(), 7 * 4);
}

}  // namespace
}  // namespace qvl::test
