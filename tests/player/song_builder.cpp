// Songs written as text for the case lists and traces under tests/player.
#include "song_builder.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "player/xm_format.h"

namespace qvl::test {

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);) {
        const size_t first = part.find_first_not_of(' '), last = part.find_last_not_of(' ');
        parts.push_back(first == std::string::npos ? "" : part.substr(first, last - first + 1));
    }
    return parts;
}

std::vector<std::string> expand(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string w; in >> w;) {
        const size_t star = w.find('*', 1);
        words.insert(words.end(), star == std::string::npos ? 1 : std::stoi(w.substr(star + 1)),
                     w.substr(0, star));
    }
    return words;
}

std::vector<std::string> caseLines(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        if (!line.empty() && line[0] != '#') lines.push_back(line);
    return lines;
}

namespace {

// A looped 16-bit sample long enough that positions show how far each tick played.
XmSample toneSample() {
    XmSample s = loopedSample(4000, 0);
    for (int f = 0; f < 4000; ++f) s.frames[f] = (f * 97) % 2000 - 1000;
    return s;
}

void setEnvelope(XmEnvelope& envelope, const std::vector<int>& n) {
    envelope.points.clear();
    for (size_t i = 0; i + 1 < n.size(); i += 2) {
        envelope.points.push_back({static_cast<uint16_t>(n[i]), static_cast<uint16_t>(n[i + 1])});
    }
    envelope.type |= envelopeOn;
}

}  // namespace

XmModule songFrom(const std::string& text) {
    std::istringstream in(text);
    int speed = 0, channels = 0, orders = 1;
    in >> speed >> channels;
    std::vector<int> rows = {4};
    struct Option {
        size_t instrument;
        std::string key;
        std::vector<int> n;
    };
    std::vector<Option> options;
    const std::string known =
        " rows orders ticks restart amiga frames tone svol rel fine fadeout map venv penv vsus "
        "psus "
        "vloop ploop vib oneshot split ";
    for (std::string word; in >> word;) {
        Option o{0, word, {}};
        const size_t colon = word.find(':'), eq = word.find('=');
        if (colon < eq) o.instrument = std::stoul(word.substr(0, colon)) - 1;
        o.key = word.substr(colon < eq ? colon + 1 : 0, eq - (colon < eq ? colon + 1 : 0));
        if (eq != std::string::npos) {
            for (const std::string& list : split(word.substr(eq + 1), ',')) {
                for (const std::string& v : split(list, ':')) o.n.push_back(std::stoi(v));
            }
        }
        if (o.key == "rows") rows = o.n;
        if (o.key == "orders") orders = o.n[0];
        if (known.find(" " + o.key + " ") == std::string::npos) {
            throw std::invalid_argument("no song option " + o.key);
        }
        options.push_back(o);
    }
    XmModule m = songOf(channels, 4, orders, speed);
    for (size_t p = 0; p < m.patterns.size(); ++p)
        m.patterns[p].rows = rows[std::min(p, rows.size() - 1)];
    for (const Option& o : options) {
        while (m.instruments.size() <= o.instrument) {
            m.instruments.push_back(oneSampleInstrument(loopedSample()));
        }
        XmInstrument& ins = m.instruments[o.instrument];
        XmSample& sample = ins.samples[0];
        const std::string& k = o.key;
        const int n0 = o.n.empty() ? 0 : o.n[0];
        if (k == "restart") m.restart = n0;
        if (k == "amiga") m.flags = 0;
        if (k == "frames") sample = loopedSample(n0);
        if (k == "tone") sample = toneSample();
        if (k == "svol") sample.volume = static_cast<uint8_t>(n0);
        if (k == "rel") sample.relativeNote = static_cast<int8_t>(n0);
        if (k == "fine") sample.finetune = static_cast<int8_t>(n0);
        if (k == "oneshot") sample.loopBits = 0;
        if (k == "split") {  // notes from n0 on play a copy of sample 0 at volume n1
            ins.samples.push_back(sample);
            ins.samples.back().volume = static_cast<uint8_t>(o.n[1]);
            std::fill(ins.noteSample + n0, ins.noteSample + 96, uint8_t{1});
        }
        if (k == "fadeout") ins.fadeout = static_cast<uint16_t>(n0);
        if (k == "map") ins.noteSample[n0] = static_cast<uint8_t>(o.n[1]);
        if (k == "venv") setEnvelope(ins.volume, o.n);
        if (k == "penv") setEnvelope(ins.panning, o.n);
        if (k == "vsus" || k == "psus") {
            XmEnvelope& e = k == "vsus" ? ins.volume : ins.panning;
            e.type |= envelopeSustain;
            e.sustain = static_cast<uint8_t>(n0);
        }
        if (k == "vloop" || k == "ploop") {
            XmEnvelope& e = k == "vloop" ? ins.volume : ins.panning;
            e.type |= envelopeLoop;
            e.loopStart = static_cast<uint8_t>(n0);
            e.loopEnd = static_cast<uint8_t>(o.n[1]);
        }
        if (k == "vib") {
            ins.vibType = static_cast<uint8_t>(n0);
            ins.vibSweep = static_cast<uint8_t>(o.n[1]);
            ins.vibDepth = static_cast<uint8_t>(o.n[2]);
            ins.vibRate = static_cast<uint8_t>(o.n[3]);
        }
    }
    return m;
}

void putCell(XmModule& m, const std::string& text) {
    std::istringstream in(text);
    std::string where, note = "---", instrument = ".", volume = "..", effect = "...";
    in >> where >> note >> instrument >> volume >> effect;
    const std::vector<std::string> at = split(where, '.');
    NoteCell c{};
    const std::string names = "C-C#D-D#E-F-F#G-G#A-A#B-";
    if (note == "===") c.note = fileKeyOffNote;
    if (note[0] != '-' && note[0] != '=') {
        c.note = static_cast<uint8_t>(names.find(note.substr(0, 2)) / 2 + 12 * (note[2] - '0') + 1);
    }
    if (instrument != ".") c.instrument = static_cast<uint8_t>(std::stoi(instrument));
    if (volume != "..") c.volume = static_cast<uint8_t>(std::stoi(volume, nullptr, 16));
    if (effect != "...") {
        c.effect = static_cast<uint8_t>(std::stoi(effect.substr(0, 1), nullptr, 36));
        c.parameter = static_cast<uint8_t>(std::stoi(effect.substr(1), nullptr, 16));
    }
    put(m, std::stoi(at[0]), std::stoi(at[1]), std::stoi(at[2]), c);
}

}  // namespace qvl::test
