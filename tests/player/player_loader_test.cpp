// The XM loader: header and order table, packed cells, instruments, sample conversion with
// guard frames, and the handling of damaged or absurd modules.
#include <gtest/gtest.h>

#include "player/replay.h"
#include "player/xm_loader.h"
#include "xm_loading.h"

namespace qvl::test {
namespace {

struct Loaded {
    PlayerContext context;
    Song* song = nullptr;
    explicit Loaded(const std::vector<uint8_t>& bytes) { song = loadBytes(context, bytes); }
    explicit Loaded(const XmModule& m) : Loaded(buildXm(m)) {}
    ~Loaded() { freeSong(context, song); }
};

XmSample sampleOf(std::vector<int> frames) {
    XmSample s;
    s.frames = std::move(frames);
    return s;
}

TEST(PlayerLoader, RefusesAWrongSignature) {
    std::vector<uint8_t> bytes = buildXm(XmModule{});
    bytes[16] = '!';
    EXPECT_EQ(Loaded(bytes).song, nullptr);
    EXPECT_NE(Loaded(buildXm(XmModule{})).song, nullptr);
}

TEST(PlayerLoader, ReadsTheHeaderFields) {
    XmModule m;
    m.songLength = 3;
    m.restart = 1;
    m.channels = 8;
    m.flags = 0;
    m.speed = 4;
    m.bpm = 150;
    m.orders = {0, 0, 0};
    Loaded l(m);
    ASSERT_NE(l.song, nullptr);
    EXPECT_EQ(l.song->songLength, 3);
    EXPECT_EQ(l.song->restartPosition, 1);
    EXPECT_EQ(l.song->channelCount, 8);
    EXPECT_FALSE(l.song->linearFrequencies());
    EXPECT_EQ(l.song->defaultSpeed, 4);
    EXPECT_EQ(l.song->defaultBpm, 150);
    EXPECT_EQ(l.song->initialGlobalVolume, 64);
}

TEST(PlayerLoader, OrderedPatternsBeyondTheStoredOnesAreEmpty) {
    XmModule m;
    m.patterns.assign(10, XmPattern{});
    m.patterns[0].rows = 32;
    m.songLength = 2;
    m.orders = {3, 20, 40};  // the 40 lies beyond the song length and does not count
    Loaded l(m);
    ASSERT_NE(l.song, nullptr);
    EXPECT_EQ(l.song->usedPatterns, 21);
    EXPECT_EQ(l.song->patternSlots, 21);
    EXPECT_EQ(l.song->patterns[0].rows, 32);
    for (int p = 10; p <= 20; ++p) {
        EXPECT_EQ(l.song->patterns[p].rows, 64);
        EXPECT_EQ(l.song->patterns[p].cells.size(), 64u * 4);
    }
}

TEST(PlayerLoader, DecodesPackedAndPlainCells) {
    XmModule m;
    m.channels = 2;
    m.patterns.assign(3, XmPattern{});
    m.patterns[0].rows = 4;
    setCell(m.patterns[0], 2, 1, 1, {49, 2, 0x40, 12, 0x20});
    setCell(m.patterns[0], 2, 2, 0, {0, 0, 0, 15, 3});
    m.patterns[1].rows = 2;
    m.patterns[1].unpacked = true;
    setCell(m.patterns[1], 2, 0, 0, {97, 200, 0, 0, 0});  // key off, instrument too high
    setCell(m.patterns[1], 2, 1, 1, {120, 1, 0, 0, 0});   // guard: note 120 is no note
    m.patterns[2].rows = 16;
    m.patterns[2].empty = true;
    Loaded l(m);
    ASSERT_NE(l.song, nullptr);
    const auto& c0 = l.song->patterns[0].cells;
    EXPECT_EQ(c0[3].note, 49);
    EXPECT_EQ(c0[3].instrument, 2);
    EXPECT_EQ(c0[3].volume, 0x40);
    EXPECT_EQ(c0[3].effect, 12);
    EXPECT_EQ(c0[3].parameter, 0x20);
    EXPECT_EQ(c0[4].note, 0);
    EXPECT_EQ(c0[4].effect, 15);
    EXPECT_EQ(c0[4].parameter, 3);
    EXPECT_EQ(c0[0].note, 0);  // 0x80: nothing in it
    const auto& c1 = l.song->patterns[1].cells;
    EXPECT_EQ(c1[0].note, 255);
    EXPECT_EQ(c1[0].instrument, 0);
    EXPECT_EQ(c1[3].note, 0);
    EXPECT_EQ(c1[3].instrument, 1);
    EXPECT_EQ(l.song->patterns[2].rows, 16);
    EXPECT_EQ(l.song->patterns[2].cells.size(), 32u);
}

TEST(PlayerLoader, ConvertsSixteenBitLengthsAndLoopKinds) {
    XmModule m;
    XmSample a;
    a.sixteenBit = true;
    a.frames.assign(500, 0);
    a.loopStart = 100;
    a.loopLength = 200;
    a.loopBits = 1;
    XmSample b = sampleOf(std::vector<int>(50, 0));
    b.loopBits = 1;
    b.loopStart = 10;
    b.loopLength = 0;  // a loop of no length: no loop at all
    XmSample c = sampleOf(std::vector<int>(50, 0));
    c.loopBits = 3;  // both bits: ping-pong
    c.loopStart = 5;
    c.loopLength = 20;
    XmInstrument ins;
    ins.samples = {a, b, c};
    m.instruments.push_back(ins);
    Loaded l(m);
    ASSERT_NE(l.song, nullptr);
    const Instrument& i = l.song->instruments[0];
    EXPECT_EQ(i.sampleCount, 3);
    EXPECT_EQ(i.samples[0]->length, 500u);
    EXPECT_EQ(i.samples[0]->loopStart, 100u);
    EXPECT_EQ(i.samples[0]->loopEnd(), 300u);
    EXPECT_EQ(i.samples[0]->loopType, 2);
    EXPECT_EQ(i.samples[0]->bits, 16);
    EXPECT_EQ(i.samples[1]->loopType, 1);
    EXPECT_EQ(i.samples[1]->loopStart, 0u);
    EXPECT_EQ(i.samples[1]->loopLength, 50u);
    EXPECT_EQ(i.samples[2]->loopType, 4);
    for (int s = 3; s < 16; ++s) EXPECT_EQ(i.samples[s], &emptySample);
}

TEST(PlayerLoader, InstrumentSampleCounts) {
    XmModule m;
    m.instruments.resize(2);  // the first has no samples
    m.instruments[1] = oneSampleInstrument(sampleOf({1, 2, 3}));
    {
        Loaded l(m);
        ASSERT_NE(l.song, nullptr);
        for (int s = 0; s < 16; ++s) EXPECT_EQ(l.song->instruments[0].samples[s], &emptySample);
        EXPECT_EQ(l.song->instruments[1].samples[0]->length, 3u);
    }
    m.instruments[0].declaredSamples = 17;
    EXPECT_EQ(Loaded(m).song, nullptr);
}

TEST(PlayerLoader, DeltaDecodesAndWritesGuardFrames) {
    XmModule m;
    XmSample plain = sampleOf({10, 0, 5});  // delta bytes 10, 246, 5
    XmSample forward = sampleOf({1, 2, 3, 4, 5, 6});
    forward.loopBits = 1;
    forward.loopStart = 2;
    forward.loopLength = 2;
    XmSample pingPong = forward;
    pingPong.loopBits = 2;
    XmSample wide;
    wide.sixteenBit = true;
    wide.frames = {-32768, 32767, 0, 1000};
    XmInstrument ins;
    ins.samples = {plain, forward, pingPong, wide};
    m.instruments.push_back(ins);
    Loaded l(m);
    ASSERT_NE(l.song, nullptr);
    const Instrument& i = l.song->instruments[0];
    const int16_t* d = i.samples[0]->data;
    EXPECT_EQ(d[0], 2560);
    EXPECT_EQ(d[1], 0);
    EXPECT_EQ(d[2], 1280);
    EXPECT_EQ(d[3], 2560);                      // no loop: the guard frame repeats the first frame
    EXPECT_EQ(i.samples[1]->data[4], 3 * 256);  // forward: copy of the loop start
    EXPECT_EQ(i.samples[2]->data[4], 4 * 256);  // ping-pong: copy of the frame before
    const int16_t* w = i.samples[3]->data;
    EXPECT_EQ(w[0], -32768);
    EXPECT_EQ(w[1], 32767);
    EXPECT_EQ(w[3], 1000);
}

TEST(PlayerLoader, InstrumentFieldsFadeoutAndEnvelopes) {
    XmModule m;
    XmInstrument ins = oneSampleInstrument(sampleOf({0}));
    ins.fadeout = 40000;  // doubled: 80000 needs more than 16 bits
    ins.volume.points = {{0, 64}};
    ins.volume.type = 1;                        // one point is an envelope too
    ins.panning.points = {{0, 32}, {10, 100}};  // guard: 100 becomes 64
    ins.panning.type = 1;
    ins.noteSample[5] = 3;
    ins.vibType = 2;
    ins.vibSweep = 7;
    ins.vibDepth = 8;
    ins.vibRate = 9;
    m.instruments.push_back(ins);
    XmInstrument none = oneSampleInstrument(sampleOf({0}));
    none.volume.type = 1;  // on, but no points: off
    m.instruments.push_back(none);
    Loaded l(m);
    ASSERT_NE(l.song, nullptr);
    const Instrument& i = l.song->instruments[0];
    EXPECT_EQ(i.fadeout, 80000u);
    EXPECT_EQ(i.volumeEnvelope.type, 1);
    EXPECT_EQ(l.song->instruments[1].volumeEnvelope.type, 0);
    EXPECT_EQ(i.panningEnvelope.type, 1);
    EXPECT_EQ(i.panningEnvelope.points[1].y, 64);
    EXPECT_EQ(i.noteSample[5], 3);
    EXPECT_EQ(i.autoVibType, 2);
    EXPECT_EQ(i.autoVibSweep, 7);
    EXPECT_EQ(i.autoVibDepth, 8);
    EXPECT_EQ(i.autoVibRate, 9);
}

// Damaged and absurd modules: each is clamped to something playable or refused.
TEST(PlayerLoaderGuards, ClampsHeaderFieldsSampleVolumeAndEnvelopes) {
    XmModule m;
    m.songLength = 300;  // above 256: 256
    m.restart = 299;     // at or beyond the song length: 0
    m.speed = 1000;      // above 255: 255
    m.bpm = 5000;        // above 999: 999
    XmSample loud = sampleOf({0});
    loud.volume = 200;  // above 64: 64
    XmInstrument ins = oneSampleInstrument(loud);
    ins.volume.points = {{0, 64}, {4, 0}};
    ins.volume.countOverride = 20;  // above 12: 12
    ins.volume.type = 5;
    ins.volume.loopStart = 0;
    ins.volume.loopEnd = 14;  // beyond the points: the loop is off
    m.instruments.push_back(ins);
    Loaded l(m);
    ASSERT_NE(l.song, nullptr);
    EXPECT_EQ(l.song->songLength, 256);
    EXPECT_EQ(l.song->restartPosition, 0);
    EXPECT_EQ(l.song->defaultSpeed, 255);
    EXPECT_EQ(l.song->defaultBpm, 999);
    EXPECT_EQ(l.song->instruments[0].samples[0]->volume, 64);
    EXPECT_EQ(l.song->instruments[0].volumeEnvelope.count, 12);
    EXPECT_EQ(l.song->instruments[0].volumeEnvelope.type, 1);

    XmModule zero;
    zero.songLength = 0;  // no orders: one order
    Loaded z(zero);
    ASSERT_NE(z.song, nullptr);
    EXPECT_EQ(z.song->songLength, 1);
    EXPECT_EQ(z.song->patternSlots, 1);
}

TEST(PlayerLoaderGuards, RefusesAbsurdCounts) {
    XmModule m;
    m.channels = 0;
    EXPECT_EQ(Loaded(m).song, nullptr);
    m.channels = 257;  // more channels than voices
    EXPECT_EQ(Loaded(m).song, nullptr);
    m.channels = 256;
    EXPECT_NE(Loaded(m).song, nullptr);
    m.channels = 4;
    m.patternCountOverride = 300;
    EXPECT_EQ(Loaded(m).song, nullptr);
    m.patterns[0].rows = 256;
    m.patternCountOverride = 65535;  // refused from the header, before any pattern is read
    EXPECT_EQ(Loaded(m).song, nullptr);
    m.patternCountOverride = -1;
    m.instrumentCountOverride = 200;
    EXPECT_EQ(Loaded(m).song, nullptr);
    m.instrumentCountOverride = -1;
    m.patterns[0].rows = 300;
    EXPECT_EQ(Loaded(m).song, nullptr);
}

TEST(PlayerLoaderGuards, PatternOfNoRowsPlaysAsSixtyFourEmptyRows) {
    XmModule m;
    m.patterns[0].rows = 0;
    m.patterns[0].empty = true;
    Loaded l(m);
    ASSERT_NE(l.song, nullptr);
    EXPECT_EQ(l.song->patterns[0].rows, 64);
    EXPECT_EQ(l.song->patterns[0].cells.size(), 64u * 4);
}

TEST(PlayerLoaderGuards, TruncatedFiles) {
    XmModule m;
    m.instruments.push_back(oneSampleInstrument(sampleOf(std::vector<int>(1000, 7))));
    m.instruments[0].samples[0].loopBits = 1;
    m.instruments[0].samples[0].loopStart = 500;
    m.instruments[0].samples[0].loopLength = 500;
    const std::vector<uint8_t> whole = buildXm(m);
    // inside the header or the patterns: refused
    for (size_t cut : {size_t{10}, size_t{100}, size_t{336 + 5}}) {
        EXPECT_EQ(Loaded(std::vector<uint8_t>(whole.begin(), whole.begin() + cut)).song, nullptr)
            << cut;
    }
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

TEST(PlayerLoaderGuards, FalseSampleLengthsAllocateOnlyWhatTheFileHolds) {
    XmModule m;
    XmSample s = sampleOf({1, 2, 3, 4});
    s.byteLengthOverride = 0x7FFFFFFF;
    s.loopBits = 1;
    s.loopStart = 0x10000000;  // starts beyond the sample
    s.loopLength = 8;
    m.instruments.push_back(oneSampleInstrument(s));
    Loaded l(m);
    ASSERT_NE(l.song, nullptr);
    const Sample& got = *l.song->instruments[0].samples[0];
    EXPECT_EQ(got.length, 4u);
    EXPECT_LE(got.loopEnd(), got.length);
}

TEST(PlayerLoaderGuards, LoopsEndingBeyondTheSampleAreCut) {
    XmModule m;
    XmSample s = sampleOf(std::vector<int>(100, 1));
    s.loopBits = 1;
    s.loopStart = 60;
    s.loopLength = 1000;
    m.instruments.push_back(oneSampleInstrument(s));
    Loaded l(m);
    ASSERT_NE(l.song, nullptr);
    const Sample& got = *l.song->instruments[0].samples[0];
    EXPECT_EQ(got.loopStart, 60u);
    EXPECT_EQ(got.loopEnd(), 100u);
    EXPECT_EQ(got.data[100], got.data[60]);
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

TEST(PlayerLoaderGuards, MissingFileAndFreeOfNoSong) {
    PlayerContext context;
    EXPECT_EQ(createSong(context, "x.xm"), nullptr);  // no callbacks installed
    EXPECT_FALSE(freeSong(context, nullptr));
    FileCallbacks partial;
    partial.open = [](const char*) -> void* { return nullptr; };
    setFileCallbacks(context, partial);
    EXPECT_FALSE(context.files.complete());
}

}  // namespace
}  // namespace qvl::test
