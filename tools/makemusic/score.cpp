// Pattern writing. Mistakes in a score (an unknown note, a bar of the wrong length, two
// effects in one cell) throw, so that a module is never written with a silent error.
#include "score.h"

#include <stdexcept>
#include <string>

namespace qvl::music {

namespace {

constexpr uint8_t drumNote = 49;  // C-4: drums play at their own rate

struct Token {
    enum Kind { note, slide, release, hold } kind = hold;
    uint8_t number = 0;
    int rows = 1;
    bool vibrato = false;
    int arpeggio = -1;  // parameter, or -1 for none
    int volume = -1;
    int pan = -1;  // sixteenths of the stereo field, 0..15
};

[[noreturn]] void fail(const std::string& what, std::string_view text) {
    throw std::invalid_argument(what + " \"" + std::string(text) + "\"");
}

int hexDigit(char c, std::string_view token) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    fail("bad arpeggio digit in", token);
}

// Reads digits from `at` on; `at` ends past them.
int number(std::string_view token, size_t& at) {
    if (at >= token.size() || token[at] < '0' || token[at] > '9') fail("number missing in", token);
    int value = 0;
    while (at < token.size() && token[at] >= '0' && token[at] <= '9') {
        value = value * 10 + (token[at++] - '0');
    }
    return value;
}

Token parseToken(std::string_view text) {
    Token t;
    size_t at = 0;
    if (text[0] == '~') {
        t.kind = Token::slide;
        ++at;
    }
    if (text[at] == 'r' || text[at] == '_') {
        if (t.kind == Token::slide) fail("a glide needs a note:", text);
        t.kind = text[at++] == 'r' ? Token::release : Token::hold;
    } else {
        if (t.kind != Token::slide) t.kind = Token::note;
        size_t end = at + 1;
        while (end < text.size() && text[end] != ':' && text[end] != 'v' && text[end] != 'a' &&
               text[end] != '@' && text[end] != 'p') {
            ++end;
        }
        t.number = noteNumber(text.substr(at, end - at));
        at = end;
    }
    if (at < text.size() && text[at] == ':') t.rows = number(text, ++at);
    while (at < text.size()) {
        const char c = text[at++];
        if (c == 'v') {
            t.vibrato = true;
        } else if (c == 'a' && at + 2 <= text.size()) {
            t.arpeggio = 16 * hexDigit(text[at], text) + hexDigit(text[at + 1], text);
            at += 2;
        } else if (c == '@') {
            t.volume = number(text, at);
        } else if (c == 'p') {
            t.pan = number(text, at);
        } else {
            fail("unknown mark in", text);
        }
    }
    if (t.rows < 1) fail("a token lasts at least a row:", text);
    if (t.vibrato && t.arpeggio >= 0) fail("vibrato and arpeggio share the effect column in", text);
    if (t.volume > 64) fail("volume above 64 in", text);
    if (t.pan > 15) fail("pan above 15 in", text);
    if (t.pan >= 0 && t.volume >= 0) fail("pan and volume share the volume column in", text);
    if ((t.kind == Token::release || t.kind == Token::hold) &&
        (t.vibrato || t.arpeggio >= 0 || t.volume >= 0 || t.pan >= 0)) {
        fail("marks need a note:", text);
    }
    return t;
}

std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> out;
    size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && text[at] == ' ') ++at;
        size_t end = at;
        while (end < text.size() && text[end] != ' ') ++end;
        if (end > at) out.push_back(text.substr(at, end - at));
        at = end;
    }
    return out;
}

}  // namespace

uint8_t noteNumber(std::string_view name) {
    static constexpr int semitones[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') fail("unknown note", name);
    int semitone = semitones[name[0] - 'A'];
    size_t at = 1;
    if (name[at] == '#') {
        ++semitone;
        ++at;
    } else if (name[at] == 'b') {
        --semitone;
        ++at;
    }
    if (at + 1 != name.size() || name[at] < '0' || name[at] > '7') fail("unknown note", name);
    const int number = 12 * (name[at] - '0') + semitone + 1;
    if (number < 1 || number > 96) fail("note out of range", name);
    return static_cast<uint8_t>(number);
}

std::string repeated(std::string_view tokens, int count) {
    std::string line;
    for (int i = 0; i < count; ++i) (line += tokens) += ' ';
    return line;
}

PatternWriter::PatternWriter(int rows, int channels) : channels_(channels) {
    pattern_.rows = rows;
    pattern_.cells.resize(static_cast<size_t>(rows) * channels);
}

NoteCell& PatternWriter::at(int row, int channel) {
    if (row < 0 || row >= pattern_.rows || channel < 0 || channel >= channels_) {
        throw std::out_of_range("cell " + std::to_string(row) + ":" + std::to_string(channel) +
                                " outside the pattern");
    }
    return pattern_.cells[static_cast<size_t>(row) * channels_ + channel];
}

void PatternWriter::effect(int row, int channel, uint8_t effect, uint8_t parameter) {
    NoteCell& c = at(row, channel);
    const bool taken = c.effect != 0 || c.parameter != 0;
    if (taken && (c.effect != effect || c.parameter != parameter)) {
        throw std::logic_error("two effects in cell " + std::to_string(row) + ":" +
                               std::to_string(channel));
    }
    c.effect = effect;
    c.parameter = parameter;
}

void PatternWriter::volumeColumn(int row, int channel, uint8_t byte) {
    at(row, channel).volume = byte;
}

int PatternWriter::line(const Part& part, int row, std::string_view tokens) {
    for (std::string_view text : words(tokens)) {
        const Token t = parseToken(text);
        if (row + t.rows > pattern_.rows) fail("line runs past the pattern at", text);
        NoteCell& c = at(row, part.channel);
        int firstVibratoRow = 2;
        switch (t.kind) {
            case Token::note:
                c.note = t.number;
                c.instrument = part.instrument;
                break;
            case Token::slide:
                c.note = t.number;
                for (int i = 0; i < part.glideRows && i < t.rows; ++i) {
                    effect(row + i, part.channel, tonePorta, part.glide);
                }
                firstVibratoRow = std::max(2, part.glideRows);
                break;
            case Token::release:
                c.note = releaseNote;
                break;
            case Token::hold:
                break;
        }
        if (t.volume >= 0) c.volume = volumeByte(t.volume);
        if (t.pan >= 0) c.volume = panByte(t.pan);
        for (int i = 0; t.arpeggio >= 0 && i < t.rows; ++i) {
            effect(row + i, part.channel, arpeggio, static_cast<uint8_t>(t.arpeggio));
        }
        for (int i = firstVibratoRow; t.vibrato && i < t.rows; ++i) {
            effect(row + i, part.channel, vibrato, part.vibrato);
        }
        row += t.rows;
    }
    return row;
}

void PatternWriter::bars(const Part& part, int row, int barRows,
                         std::initializer_list<std::string_view> bars) {
    for (std::string_view bar : bars) {
        const int end = line(part, row, bar);
        if (end - row != barRows) fail("bar of " + std::to_string(end - row) + " rows:", bar);
        row = end;
    }
}

void PatternWriter::drums(int channel, int row, std::string_view grid, const DrumKit& kit) {
    for (char c : grid) {
        if (c == ' ') continue;
        if (c != '.') {
            const auto hit = kit.find(c);
            if (hit == kit.end()) fail("no drum for", std::string_view(&c, 1));
            NoteCell& cell = at(row, channel);
            cell.note = drumNote;
            cell.instrument = hit->second.instrument;
            if (hit->second.volume > 0) cell.volume = volumeByte(hit->second.volume);
        }
        ++row;
    }
}

void PatternWriter::chord(const Part& part, int row, std::string_view notes, bool glide,
                          std::initializer_list<uint8_t> pans) {
    const std::vector<std::string_view> names = words(notes);
    for (size_t i = 0; i < names.size(); ++i) {
        const int channel = part.channel + static_cast<int>(i);
        NoteCell& c = at(row, channel);
        c.note = noteNumber(names[i]);
        if (glide) {
            for (int g = 0; g < part.glideRows && row + g < pattern_.rows; ++g) {
                effect(row + g, channel, tonePorta, part.glide);
            }
        } else {
            c.instrument = part.instrument;
            if (i < pans.size()) c.volume = pans.begin()[i];
        }
    }
}

void PatternWriter::echo(const Part& from, const Part& to, int delay, int volume) {
    bool spilled = false;
    for (int r = 0; r < pattern_.rows; ++r) {
        const NoteCell source = at(r, from.channel);
        const bool copiedEffect = source.effect == tonePorta || source.effect == vibrato ||
                                  (source.effect == arpeggio && source.parameter != 0);
        if (source.note == 0 && !copiedEffect) continue;
        if (r + delay >= pattern_.rows) {
            spilled = spilled || source.note != 0;
            continue;
        }
        NoteCell& target = at(r + delay, to.channel);
        target.note = source.note;
        if (source.instrument != 0) {
            target.instrument = to.instrument;
            target.volume = volumeByte(volume);
        }
        if (copiedEffect) {
            target.effect = source.effect;
            target.parameter = source.parameter;
        }
    }
    NoteCell& last = at(pattern_.rows - 1, to.channel);
    if (spilled && last.note == 0) last.note = releaseNote;
}

}  // namespace qvl::music
