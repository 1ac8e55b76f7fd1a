// The replay: the song position, effects, the volume column, notes and instruments, tick by
// tick from the case list tests/player/ticks.txt; then tempo, starting, stopping and reopening.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <sstream>

#include "../support/case_file.h"
#include "player/context.h"
#include "player/mixer.h"
#include "player/replay.h"
#include "player/voice.h"
#include "player/xm_loader.h"
#include "song_builder.h"

namespace qvl::test {
namespace {

// A field of the song or of channel c and its voice, as the case list names it.
using Field = std::function<int(Player&, const Channel&, const Voice&)>;
const std::map<std::string, Field> fields = {
    {"loops", [](Player& p, auto&, auto&) { return p.song->loopBackCount; }},
    {"speed", [](Player& p, auto&, auto&) { return p.song->speed; }},
    {"bpm", [](Player& p, auto&, auto&) { return p.song->bpm; }},
    {"spt", [](Player& p, auto&, auto&) { return p.song->samplesPerTick; }},
    {"period", [](auto&, const Channel& c, auto&) { return c.period; }},
    {"delta", [](auto&, const Channel& c, auto&) { return c.periodDelta; }},
    {"vol", [](auto&, const Channel& c, auto&) { return c.volume; }},
    {"vdelta", [](auto&, const Channel& c, auto&) { return c.volumeDelta; }},
    {"pan", [](auto&, const Channel& c, auto&) { return c.panning; }},
    {"keyoff", [](auto&, const Channel& c, auto&) { return int{c.keyOff}; }},
    {"venv", [](auto&, const Channel& c, auto&) { return c.volumeEnvelope.value; }},
    {"envtick", [](auto&, const Channel& c, auto&) { return c.volumeEnvelope.tick; }},
    {"stopped", [](auto&, const Channel& c, auto&) { return int{c.volumeEnvelope.stopped}; }},
    {"penv", [](auto&, const Channel& c, auto&) { return c.panningEnvelope.value; }},
    {"fade", [](auto&, const Channel& c, auto&) { return c.fadeoutVolume; }},
    {"vvol", [](auto&, auto&, const Voice& v) { return int{v.volume}; }},
    {"vpan", [](auto&, auto&, const Voice& v) { return int{v.panning}; }},
    {"vpos", [](auto&, auto&, const Voice& v) { return v.sample ? int(v.positionInt) : -1; }},
    {"fading", [](Player& p, auto&,
                  const Voice& v) { return int{p.voice(v.index + fadeVoiceOffset).fading}; }},
};

std::string fieldValue(Player& p, const std::string& name) {
    const std::vector<std::string> parts = split(name, '.');
    const Song& s = *p.song;
    if (parts[0] == "pos") {  // the row whose cells the tick read, though a loop moved `row`
        const Pattern& pattern = s.patterns[s.orders[s.order]];
        const auto row = (s.rowCells - pattern.cells.data()) / s.channelCount;
        return std::to_string(s.order) + ":" + std::to_string(row);
    }
    const int c = parts.size() > 1 ? std::stoi(parts[1]) : 0;
    const auto f = fields.find(parts[0]);
    if (f == fields.end()) return "no field " + name;
    return std::to_string(f->second(p, p.channel(c), p.voice(c)));
}

// Plays the case's song and writes each expect line "FIELD: VALUE..." back with the values
// seen after each tick, runs "v*n" kept where all n ticks agree and "*" left as it is.
std::string ticks(const testing::Case& c) {
    const auto song = std::find_if(c.sections.begin(), c.sections.end(),
                                   [](auto& s) { return s.kind == "song"; });
    if (song == c.sections.end()) return "no song section\n";
    XmModule m = songFrom(song->argument);
    for (const std::string& cell : split(song->body, '\n'))
        if (!cell.empty()) putCell(m, cell);
    std::vector<std::string> lines = split(c.input("expect"), '\n');
    std::vector<std::vector<std::string>> seen(lines.size());
    size_t count = 0;
    for (const std::string& line : lines)
        count = std::max(count, expand(line.substr(line.find(':') + 1)).size());
    Player p(m);
    if (!p.song) return "does not load\n";
    std::vector<float> mix;
    for (size_t t = 0; t < count; ++t) {
        p.tick();
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].find(':') != std::string::npos)
                seen[i].push_back(fieldValue(p, lines[i].substr(0, lines[i].find(':'))));
        mix.assign(2 * static_cast<size_t>(p.song->samplesPerTick), 0.0f);
        mixVoices(p.context, mix.data(), p.song->samplesPerTick);
    }
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) {
        const size_t colon = lines[i].find(':');
        if (colon == std::string::npos) {  // the blank line before the next case
            out += lines[i] + "\n";
            continue;
        }
        out += lines[i].substr(0, colon + 1);
        std::istringstream words(lines[i].substr(colon + 1));
        size_t t = 0;
        for (std::string w; words >> w;) {
            const size_t star = w.find('*', 1);
            const size_t n = star == std::string::npos ? 1 : std::stoul(w.substr(star + 1));
            const auto from = seen[i].begin() + t, to = from + n;
            t += n;
            if (w == "*") {
                out += " *";
            } else if (n > 1 && std::all_of(from, to, [&](auto& v) { return v == *from; })) {
                out += " " + *from + "*" + std::to_string(n);
            } else {
                for (auto v = from; v != to; ++v) out += " " + *v;
            }
        }
        out += "\n";
    }
    return out;
}

TEST(PlayerReplay, CaseListTickByTick) {
    testing::checkCases(QVL_SOURCE_DIR "/tests/player/ticks.txt", ticks);
}

TEST(PlayerReplay, TempoVoicesAndTheirReopening) {
    PlayerContext closed;
    Song* song = loadBytes(closed, buildXm(songOf(1, 4)));
    ASSERT_NE(song, nullptr);
    EXPECT_FALSE(startSong(closed, song));  // guard: no voices
    EXPECT_FALSE(startSong(closed, nullptr));
    EXPECT_FALSE(stopSong(closed, nullptr));
    EXPECT_TRUE(freeSong(closed, song));
    XmModule m = songOf(2, 4);
    put(m, 0, 0, 0, {noteC4, 1, 0, 0, 0});
    Player p(m);
    setTempo(p.context, *p.song, 0);  // guard: counts as 1, 2.5 s a tick
    EXPECT_EQ(p.song->samplesPerTick, 110250);
    EXPECT_EQ(p.song->bpm, 0);
    setTempo(p.context, *p.song, 125);
    openVoices(p.context, 48000);
    EXPECT_EQ(p.song->samplesPerTick, 882);  // the voices know nothing of songs
    retimePlayingSongs(p.context);
    EXPECT_EQ(p.song->samplesPerTick, 960);
    p.tick();  // its channels drive the new voices
    EXPECT_NE(p.voice(0).sample, nullptr);
}

}  // namespace
}  // namespace qvl::test
