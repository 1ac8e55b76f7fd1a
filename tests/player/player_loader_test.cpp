// The XM loader: header and order table, packed cells, instruments, sample conversion with
// guard frames, and the handling of damaged or absurd modules.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <sstream>

#include "../support/case_file.h"
#include "player/mixer.h"
#include "player/xm_loader.h"
#include "song_builder.h"

namespace qvl::test {
namespace {

struct Loaded {
    PlayerContext context;
    Song* song = nullptr;
    explicit Loaded(const std::vector<uint8_t>& bytes) { song = loadBytes(context, bytes); }
    explicit Loaded(const XmModule& m) : Loaded(buildXm(m)) {}
    ~Loaded() { freeSong(context, song); }
};

// The rows of a table of loader.txt, as numbers; a row's fields past `numbers` are its text.
struct Row {
    std::vector<int> n;
    std::string text;
};
std::vector<Row> table(std::string_view name, size_t numbers) {
    std::vector<Row> rows;
    for (const auto& fields : testing::tableRows(QVL_SOURCE_DIR "/tests/player/loader.txt", name)) {
        Row& row = rows.emplace_back();
        for (size_t i = 0; i < fields.size(); ++i) {
            if (i < numbers)
                row.n.push_back(std::stoi(fields[i]));
            else
                row.text += (row.text.empty() ? "" : " ") + fields[i];
        }
        row.n.resize(numbers);
    }
    return rows;
}

XmSample sampleOf(std::vector<int> frames) {
    XmSample s;
    s.frames = std::move(frames);
    return s;
}

TEST(PlayerLoader, HeaderFieldsAndTheirClamps) {
    for (const Row& row : table("header", 8)) {
        const auto [length, restart, speed, bpm] =
            std::array{row.n[0], row.n[1], row.n[2], row.n[3]};
        XmModule m;
        m.songLength = length;
        m.restart = restart;
        m.speed = static_cast<uint16_t>(speed);
        m.bpm = static_cast<uint16_t>(bpm);
        m.channels = 8;
        m.flags = 0;
        m.orders.assign(std::max(length, 1), 0);
        Loaded l(m);
        ASSERT_NE(l.song, nullptr) << length;
        EXPECT_EQ(std::vector<int>({l.song->songLength, l.song->restartPosition,
                                    l.song->defaultSpeed, l.song->defaultBpm}),
                  std::vector<int>(row.n.begin() + 4, row.n.end()));
        EXPECT_EQ(l.song->channelCount, 8);
        EXPECT_FALSE(l.song->linearFrequencies());
        EXPECT_EQ(l.song->initialGlobalVolume, 64);
        EXPECT_EQ(l.song->patternSlots, 1);
    }
}

// Packed and plain cells, and patterns ordered beyond the stored ones: empty, 64 rows.
TEST(PlayerLoader, PatternsAndTheirCells) {
    XmModule m;
    m.channels = 2;
    m.patterns.assign(4, XmPattern{});
    m.patterns[0].rows = 4;
    setCell(m.patterns[0], 2, 1, 1, {49, 2, 0x40, 12, 0x20});
    setCell(m.patterns[0], 2, 2, 0, {0, 0, 0, 15, 3});
    m.patterns[1].rows = 2;
    m.patterns[1].unpacked = true;
    setCell(m.patterns[1], 2, 0, 0, {97, 200, 0, 0, 0});  // key off, instrument too high
    setCell(m.patterns[1], 2, 1, 1, {120, 1, 0, 0, 0});   // guard: note 120 is no note
    m.patterns[2].rows = 16;
    m.patterns[2].empty = true;
    m.patterns[3].rows = 0;  // guard: plays as 64 empty rows
    m.patterns[3].empty = true;
    m.songLength = 2;
    m.orders = {3, 20, 40};  // the 40 lies beyond the song length and does not count
    Loaded l(m);
    ASSERT_NE(l.song, nullptr);
    EXPECT_EQ(l.song->usedPatterns, 21);
    EXPECT_EQ(l.song->patternSlots, 21);
    for (int p = 3; p <= 20; ++p) {
        EXPECT_EQ(l.song->patterns[p].rows, 64);
        EXPECT_EQ(l.song->patterns[p].cells.size(), 64u * 2);
    }
    const auto& c0 = l.song->patterns[0].cells;
    const auto same = [](const NoteCell& a, const NoteCell& b) {
        return a.note == b.note && a.instrument == b.instrument && a.volume == b.volume &&
               a.effect == b.effect && a.parameter == b.parameter;
    };
    EXPECT_TRUE(same(c0[3], {49, 2, 0x40, 12, 0x20}));
    EXPECT_TRUE(same(c0[4], {0, 0, 0, 15, 3}));
    EXPECT_TRUE(same(c0[0], {}));  // 0x80: nothing in it
    const auto& c1 = l.song->patterns[1].cells;
    EXPECT_TRUE(same(c1[0], {255, 0, 0, 0, 0}));
    EXPECT_TRUE(same(c1[3], {0, 1, 0, 0, 0}));
    EXPECT_EQ(l.song->patterns[2].cells.size(), 16u * 2);
}

// Sample headers and data from the case list tests/player/samples.txt.
TEST(PlayerLoader, SamplesLoopsAndGuardFrames) {
    const std::vector<std::string> lines = caseLines(QVL_SOURCE_DIR "/tests/player/samples.txt");
    ASSERT_FALSE(lines.empty());
    std::vector<std::vector<std::string>> cases;
    XmModule m;
    XmInstrument& ins = m.instruments.emplace_back();
    for (const std::string& line : lines) {
        cases.push_back(split(line, '|'));
        XmSample& s = ins.samples.emplace_back();
        std::istringstream head(cases.back()[2]);
        for (const std::string& v : expand(cases.back()[1])) s.frames.push_back(std::stoi(v));
        int bits = 0, loopBits = 0;
        head >> bits >> loopBits >> s.loopStart >> s.loopLength >> s.byteLengthOverride;
        s.sixteenBit = bits == 16;
        s.loopBits = static_cast<uint8_t>(loopBits);
    }
    Loaded l(m);
    ASSERT_NE(l.song, nullptr);
    for (size_t i = 0; i < 16; ++i) {
        const Sample& got = *l.song->instruments[0].samples[i];
        if (i >= cases.size()) {
            EXPECT_EQ(&got, &emptySample);
            continue;
        }
        const std::vector<std::string>& c = cases[i];
        std::ostringstream loaded;
        loaded << got.length << ' ' << got.loopStart << ' ' << got.loopEnd() << ' '
               << int{got.loopType};
        EXPECT_EQ(loaded.str(), c[3]) << c[0];
        EXPECT_EQ(got.bits, 16) << c[0];
        std::istringstream frames(c.size() > 4 ? c[4] : "");
        for (std::string f; frames >> f;) {
            EXPECT_EQ(got.data[std::stoi(f)], std::stoi(f.substr(f.find('=') + 1)))
                << c[0] << " " << f;
        }
    }
}

// The song as text: its patterns' rows and cells, and its instruments' samples with their
// fields and frames (the guard frame too).
std::string songText(const Song& song) {
    std::ostringstream t;
    t << song.songLength << ' ' << song.channelCount << ' ' << song.patternSlots << '\n';
    for (int p = 0; p < song.patternSlots; ++p) {
        t << "pattern " << song.patterns[p].rows << ':';
        for (const NoteCell& c : song.patterns[p].cells) {
            t << ' ' << int{c.note} << '/' << int{c.instrument} << '/' << int{c.volume} << '/'
              << int{c.effect} << '/' << int{c.parameter};
        }
        t << '\n';
    }
    for (const Instrument& ins : song.instruments) {
        t << "instrument " << ins.sampleCount << ' ' << ins.fadeout << ' '
          << int{ins.volumeEnvelope.count} << ' ' << int{ins.noteSample[60]} << '\n';
        for (int j = 0; j < ins.sampleCount; ++j) {
            const Sample& x = *ins.samples[j];
            t << x.length << ' ' << x.loopStart << ' ' << x.loopLength << ' ' << int{x.volume}
              << ' ' << int{x.finetune} << ' ' << x.panning << ' ' << int{x.loopType} << ' '
              << int{x.relativeNote} << ':';
            for (uint32_t k = 0; x.data && k <= x.length; ++k) t << ' ' << x.data[k];
            t << '\n';
        }
    }
    return t.str();
}

// What the song plays over its first `ticks` ticks, as the mixer writes it.
std::vector<float> rendered(const XmModule& m, int ticks) {
    Player p(m);
    std::vector<float> out;
    if (!p.song) return out;
    for (int t = 0; t < ticks; ++t) {
        p.tick();
        std::vector<float> mix(2 * static_cast<size_t>(p.song->samplesPerTick), 0.0f);
        mixVoices(p.context, mix.data(), p.song->samplesPerTick);
        out.insert(out.end(), mix.begin(), mix.end());
    }
    return out;
}

// Two patterns (the second empty) and two instruments of 8- and 16-bit samples, with every
// sample header field set.
XmModule headerLengthsSong() {
    XmModule m;
    m.channels = 2;
    m.songLength = 3;
    m.orders = {0, 1, 0};
    m.patterns.assign(2, XmPattern{});
    m.patterns[0].rows = 8;
    setCell(m.patterns[0], 2, 0, 0, {noteC4, 1, 0, 0, 0});
    setCell(m.patterns[0], 2, 2, 1, {61, 1, 0x30, 0, 0});
    setCell(m.patterns[0], 2, 4, 0, {37, 2, 0, 4, 0x44});
    m.patterns[1].rows = 16;
    m.patterns[1].empty = true;
    XmSample plain;
    for (int f = 0; f < 900; ++f) plain.frames.push_back((f * 7) % 200 - 100);
    plain.loopBits = 1;
    plain.loopStart = 100;
    plain.loopLength = 800;
    plain.volume = 50;
    plain.finetune = -16;
    plain.panning = 60;
    plain.relativeNote = 3;
    XmSample wide = loopedSample(1200, 9000);
    for (int f = 0; f < 1200; f += 3) wide.frames[f] = -7000;
    wide.loopBits = 2;
    wide.panning = 200;
    wide.relativeNote = -5;
    wide.finetune = 40;
    XmInstrument two;
    two.samples = {plain, wide};
    for (int n = 60; n < 96; ++n) two.noteSample[n] = 1;
    two.fadeout = 300;
    two.volume.points = {{0, 64}, {30, 20}};
    two.volume.type = 1;
    m.instruments = {two, oneSampleInstrument(wide)};
    return m;
}

// Longer headers are skipped to their stated end, shorter ones end early: the same song,
// played the same, whatever lengths the file states.
TEST(PlayerLoader, PatternAndSampleHeadersOfTheirStatedLengths) {
    const XmModule usual = headerLengthsSong();
    const Loaded reference(usual);
    ASSERT_NE(reference.song, nullptr);
    const std::string want = songText(*reference.song);
    const int ticks = 32 * 6;  // the three orders
    const std::vector<float> wantSound = rendered(usual, ticks);
    ASSERT_EQ(wantSound.size(), static_cast<size_t>(ticks) * 2 * 882);
    EXPECT_NE(std::count(wantSound.begin(), wantSound.end(), 0.0f), std::ssize(wantSound));
    for (const Row& row : table("header-lengths", 4)) {
        XmModule m = usual;
        m.patterns[0].headerLength = uint32_t(row.n[0]);
        m.patterns[1].headerLength = uint32_t(row.n[1]);
        m.instruments[0].sampleHeaderSize = uint32_t(row.n[2]);
        m.instruments[1].sampleHeaderSize = uint32_t(row.n[3]);
        const std::string name = std::to_string(row.n[0]) + " " + std::to_string(row.n[2]);
        const Loaded l(m);
        ASSERT_NE(l.song, nullptr) << name;
        EXPECT_EQ(songText(*l.song), want) << name;
        EXPECT_TRUE(rendered(m, ticks) == wantSound) << name;
    }
}

// A pattern header shorter than its 9 bytes: the bytes it lacks read as 0 (no rows: 64 empty
// rows; no packed size: no cells), and the next pattern starts at its stated end, though
// never inside its 4-byte length field.
TEST(PlayerLoader, PatternHeadersShorterThanTheirFields) {
    for (const Row& row : table("short-pattern-headers", 3)) {
        const auto [length, rows, wantRows] = std::array{row.n[0], row.n[1], row.n[2]};
        XmModule m;
        m.channels = 1;
        m.songLength = 2;
        m.orders = {0, 1};
        m.patterns.assign(2, XmPattern{});
        m.patterns[0].headerLength = static_cast<uint32_t>(length);
        m.patterns[0].rows = rows;
        m.patterns[0].empty = true;
        m.patterns[1].rows = 4;
        setCell(m.patterns[1], 1, 1, 0, {noteC4, 1, 0, 0, 0});
        const Loaded l(m);
        ASSERT_NE(l.song, nullptr) << length;
        EXPECT_EQ(l.song->patterns[0].rows, wantRows) << length;
        EXPECT_EQ(l.song->patterns[0].cells.size(), size_t(wantRows)) << length;
        EXPECT_EQ(l.song->patterns[1].rows, 4) << length;
        EXPECT_EQ(l.song->patterns[1].cells[1].note, noteC4) << length;
    }
}

// A sample header shorter than its fields: the fields it lacks read as 0, and the next header
// and the data start at its stated end.
TEST(PlayerLoader, SampleHeadersShorterThanTheirFields) {
    for (const Row& row : table("short-sample-headers", 6)) {
        const int size = row.n[0];
        XmSample s = sampleOf({10, 20, 30});
        s.volume = 50;
        s.finetune = 20;
        s.panning = 200;
        s.relativeNote = 7;
        XmInstrument ins;
        ins.samples = {s, sampleOf({5, 6})};
        ins.sampleHeaderSize = static_cast<uint32_t>(size);
        XmModule m;
        m.instruments.push_back(ins);
        const Loaded l(m);
        ASSERT_NE(l.song, nullptr) << size;
        const Sample& got = *l.song->instruments[0].samples[0];
        EXPECT_EQ(std::vector<int>(
                      {int(got.length), got.volume, got.finetune, got.panning, got.relativeNote}),
                  std::vector<int>(row.n.begin() + 1, row.n.end()))
            << size;
        EXPECT_EQ(got.data[2], 30 * 256) << size;
        const Sample& next = *l.song->instruments[0].samples[1];
        ASSERT_EQ(next.length, 2u) << size;
        EXPECT_EQ(next.data[1], 6 * 256) << size;
    }
}

TEST(PlayerLoader, InstrumentFieldsFadeoutAndEnvelopes) {
    XmModule m;
    XmSample loud = sampleOf({0});
    loud.volume = 200;  // guard: 64
    XmInstrument ins = oneSampleInstrument(loud);
    ins.fadeout = 40000;  // doubled: 80000 needs more than 16 bits
    ins.volume.points = {{0, 64}, {4, 0}};
    ins.volume.countOverride = 20;  // guard: 12
    ins.volume.type = 5;
    ins.volume.loopEnd = 14;                    // beyond the points: the loop is off
    ins.panning.points = {{0, 32}, {10, 100}};  // guard: 100 becomes 64
    ins.panning.type = 1;
    ins.noteSample[5] = 3;
    ins.vibType = 2;
    ins.vibSweep = 7;
    ins.vibDepth = 8;
    ins.vibRate = 9;
    m.instruments.push_back(ins);
    XmInstrument one = oneSampleInstrument(sampleOf({0}));
    one.volume.points = {{0, 64}};
    one.volume.type = 1;  // one point is an envelope too
    m.instruments.push_back(one);
    XmInstrument none = oneSampleInstrument(sampleOf({0}));
    none.volume.type = 1;  // on, but no points: off
    m.instruments.push_back(none);
    m.instruments.emplace_back();  // no samples
    Loaded l(m);
    ASSERT_NE(l.song, nullptr);
    const Instrument& i = l.song->instruments[0];
    EXPECT_EQ(i.samples[0]->volume, 64);
    EXPECT_EQ(i.fadeout, 80000u);
    EXPECT_EQ(i.volumeEnvelope.count, 12);
    EXPECT_EQ(i.volumeEnvelope.type, 1);
    EXPECT_EQ(l.song->instruments[1].volumeEnvelope.type, 1);
    EXPECT_EQ(l.song->instruments[2].volumeEnvelope.type, 0);
    for (int s = 0; s < 16; ++s) EXPECT_EQ(l.song->instruments[3].samples[s], &emptySample);
    EXPECT_EQ(i.panningEnvelope.type, 1);
    EXPECT_EQ(i.panningEnvelope.points[1].y, 64);
    EXPECT_EQ(i.noteSample[5], 3);
    EXPECT_EQ(i.autoVibType, 2);
    EXPECT_EQ(i.autoVibSweep, 7);
    EXPECT_EQ(i.autoVibDepth, 8);
    EXPECT_EQ(i.autoVibRate, 9);
}

// The reason createSong gives for bytes; "loaded" when it made a song.
std::string refusalOf(const std::vector<uint8_t>& bytes) {
    PlayerContext context;
    freeSong(context, loadBytes(context, bytes));  // installs the callbacks serving bytes
    XmLoadResult result;
    Song* song = createSong(context, "module.xm", &result);
    EXPECT_EQ(song != nullptr, result.loaded());
    freeSong(context, song);
    return describeRefusal(result);
}

TEST(PlayerLoaderGuards, RefusalsSayWhy) {
    std::vector<uint8_t> bytes = buildXm(XmModule{});
    bytes[16] = '!';
    EXPECT_EQ(refusalOf(bytes), "not an XM module");
    for (const Row& row : table("refusals", 5)) {
        XmModule m;
        m.channels = row.n[0];
        m.patternCountOverride = row.n[1];
        m.instrumentCountOverride = row.n[2];
        m.patterns[0].rows = row.n[3];
        if (row.n[4]) m.instruments.emplace_back().declaredSamples = row.n[4];
        EXPECT_EQ(refusalOf(buildXm(m)), row.text);
    }
    PlayerContext context;
    XmLoadResult result;
    EXPECT_EQ(createSong(context, "x.xm", &result), nullptr);  // no callbacks installed
    EXPECT_EQ(describeRefusal(result), "cannot be opened");
    EXPECT_FALSE(freeSong(context, nullptr));
    FileCallbacks partial;
    partial.open = [](const char*) -> void* { return nullptr; };
    setFileCallbacks(context, partial);
    EXPECT_FALSE(context.files.complete());
    // cut inside the signature, the header or the patterns: the file's size is named
    const std::vector<uint8_t> whole = buildXm(XmModule{});
    for (size_t cut : {size_t{10}, size_t{100}, size_t{336 + 5}}) {
        EXPECT_EQ(refusalOf(std::vector<uint8_t>(whole.begin(), whole.begin() + cut)),
                  "cut short at byte " + std::to_string(cut));
    }
}

// A header whose stated length runs past the end of the file is a file cut short there: in
// the patterns it is refused, and the samples whose headers or data lie beyond are empty.
TEST(PlayerLoaderGuards, HeaderLengthsPastTheEndOfTheFile) {
    XmModule m;
    m.patterns[0].empty = true;
    std::vector<uint8_t> bytes = buildXm(m);  // the pattern header at 336, the file's end at 345
    ASSERT_EQ(refusalOf(bytes), "loaded");
    bytes[339] = 0xFF;  // a length of about 4 GB
    EXPECT_EQ(refusalOf(bytes), "cut short at byte 345");
    m.patterns[0].headerLength = 300;
    m.patterns[0].empty = false;
    const std::vector<uint8_t> whole = buildXm(m);
    EXPECT_EQ(refusalOf(whole), "loaded");
    EXPECT_EQ(refusalOf(std::vector<uint8_t>(whole.begin(), whole.begin() + 336 + 200)),
              "cut short at byte 536");
    XmModule samples;
    const size_t instrumentAt = buildXm(samples).size();
    samples.instruments.push_back(oneSampleInstrument(sampleOf({1, 2, 3})));
    samples.instruments[0].samples.push_back(sampleOf({4}));
    bytes = buildXm(samples);
    bytes[instrumentAt + 29 + 3] = 0x7F;  // a sample header size of about 2 GB
    const Loaded l(bytes);
    ASSERT_NE(l.song, nullptr);
    EXPECT_EQ(l.song->instruments[0].sampleCount, 2);
    EXPECT_EQ(l.song->instruments[0].samples[0]->length, 0u);
    EXPECT_EQ(l.song->instruments[0].samples[1]->length, 0u);
}

TEST(PlayerLoaderGuards, TruncatedFiles) {
    XmModule m;
    m.instruments.push_back(oneSampleInstrument(sampleOf(std::vector<int>(1000, 7))));
    m.instruments[0].samples[0].loopBits = 1;
    m.instruments[0].samples[0].loopStart = 500;
    m.instruments[0].samples[0].loopLength = 500;
    const std::vector<uint8_t> whole = buildXm(m);
    // inside the sample data: the sample keeps the frames that are there
    Loaded l(std::vector<uint8_t>(whole.begin(), whole.end() - 700));
    ASSERT_NE(l.song, nullptr);
    const Sample& s = *l.song->instruments[0].samples[0];
    EXPECT_EQ(s.length, 300u);
    EXPECT_EQ(s.loopType, 1);  // the loop lay wholly in the missing part
    EXPECT_EQ(s.loopEnd(), 300u);
    // a file that ends before an instrument header: that instrument has no samples
    XmModule two = m;
    two.instruments.push_back(m.instruments[0]);
    const std::vector<uint8_t> both = buildXm(two);
    Loaded t(std::vector<uint8_t>(both.begin(), both.begin() + whole.size()));
    ASSERT_NE(t.song, nullptr);
    EXPECT_EQ(t.song->instruments[1].sampleCount, 0);
}

TEST(PlayerLoaderGuards, OddSixteenBitByteCountSkipsItsLastByte) {
    XmModule m;
    XmSample odd;
    odd.sixteenBit = true;
    odd.frames = {100, 200};
    odd.byteLengthOverride = 5;  // one byte more than the two frames
    XmSample next = sampleOf({3});
    XmInstrument ins;
    ins.samples = {odd, next};
    m.instruments.push_back(ins);
    std::vector<uint8_t> bytes = buildXm(m);
    bytes.insert(bytes.end() - 1, 0x55);  // the odd byte, just before the next sample's data
    Loaded l(bytes);
    ASSERT_NE(l.song, nullptr);
    EXPECT_EQ(l.song->instruments[0].samples[0]->length, 2u);
    EXPECT_EQ(l.song->instruments[0].samples[0]->data[1], 200);
    EXPECT_EQ(l.song->instruments[0].samples[1]->data[0], 3 * 256);
}

}  // namespace
}  // namespace qvl::test
