// Writing music into patterns: note names, melody lines in a compact text form, drum grids,
// chords for several channels, and an echo that repeats one channel's notes on another.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "xmwrite/xm_writer.h"

namespace qvl::music {

constexpr uint8_t releaseNote = 97;  // key off, as pattern cells store it

// Effect numbers used by the music.
enum Effect : uint8_t {
    arpeggio = 0x0,
    portaUp = 0x1,
    portaDown = 0x2,
    tonePorta = 0x3,
    vibrato = 0x4,
    volumeSlide = 0xA,
    positionJump = 0xB,
    setVolume = 0xC,
    patternBreak = 0xD,
    setSpeed = 0xF,  // below 32 ticks per row, from 32 on beats per minute
};

// Volume-column bytes.
constexpr uint8_t volumeByte(int volume) {
    return static_cast<uint8_t>(0x10 + volume);
}
constexpr uint8_t panByte(int sixteenths) {
    return static_cast<uint8_t>(0xC0 + sixteenths);
}
constexpr uint8_t slideUpByte(int perTick) {
    return static_cast<uint8_t>(0x70 + perTick);
}

// "C-4" style names without the dash: "C4", "F#3", "Bb5". 1 is C-0, 96 is B-7.
uint8_t noteNumber(std::string_view name);

// `tokens` written `count` times over, for repeated figures.
std::string repeated(std::string_view tokens, int count);

// A part on one channel and how its lines are played: the instrument, the tone portamento speed and
// rows of a glide, and the vibrato parameter.
struct Part {
    int channel = 0;
    uint8_t instrument = 1;
    uint8_t glide = 0x10;
    int glideRows = 1;
    uint8_t vibrato = 0x62;
};

// What a drum-grid character plays: an instrument at a volume (0 keeps its default).
struct Hit {
    uint8_t instrument;
    int volume = 0;
};
using DrumKit = std::map<char, Hit>;

class PatternWriter {
  public:
    PatternWriter(int rows, int channels);

    int rows() const { return pattern_.rows; }
    NoteCell& at(int row, int channel);

    // Writes a line of tokens from `row` on and returns the row after it. A token is
    //   NOTE[:rows][v][aXY][@volume][pPAN]  a note, with vibrato or arpeggio XY over its
    //                                rows, a volume (0..64) or a pan (0..15)
    //   ~NOTE[:rows][v]              a tone portamento to the note, no new attack
    //   r[:rows]                     key off, then silence
    //   _[:rows]                     nothing: the last note goes on
    int line(const Part& part, int row, std::string_view tokens);
    // Writes bars of `barRows` rows each from `row` on; a bar of another length is an error.
    void bars(const Part& part, int row, int barRows, std::initializer_list<std::string_view> bars);
    // One character a row: '.' is nothing, anything else plays the kit's hit.
    void drums(int channel, int row, std::string_view grid, const DrumKit& kit);
    // A chord over consecutive channels from part.channel: struck (with the instrument and
    // the given pans) or glided into from the chord before.
    void chord(const Part& part, int row, std::string_view notes, bool glide,
               std::initializer_list<uint8_t> pans = {});
    // Sets a cell's effect; a different effect already there is an error.
    void effect(int row, int channel, uint8_t effect, uint8_t parameter);
    void volumeColumn(int row, int channel, uint8_t byte);
    // Repeats the notes, releases and glides of `from` on `to`, `delay` rows later, with the
    // echo instrument at a fixed volume; a release that would fall past the end is moved up.
    void echo(const Part& from, const Part& to, int delay, int volume);

    XmPattern take() { return std::move(pattern_); }

  private:
    XmPattern pattern_;
    int channels_;
};

// A song of linear frequencies at speed 6 that plays its patterns once each, in order, and
// loops back to the second.
inline XmModule songOfPatterns(int channels, int bpm, std::vector<XmInstrument> instruments,
                               std::vector<XmPattern> patterns) {
    XmModule m;
    m.channels = channels;
    m.flags = 1;  // linear frequencies
    m.speed = 6;
    m.bpm = static_cast<uint16_t>(bpm);
    m.instruments = std::move(instruments);
    m.patterns = std::move(patterns);
    m.orders.clear();
    for (size_t i = 0; i < m.patterns.size(); ++i) m.orders.push_back(static_cast<uint8_t>(i));
    m.songLength = static_cast<int>(m.orders.size());
    m.restart = 1;
    return m;
}

}  // namespace qvl::music
