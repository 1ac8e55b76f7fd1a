// Effect commands and the volume column, played in small modules and checked tick by tick
// against the song position and the channel's state.
#include <gtest/gtest.h>

#include "player/pitch.h"
#include "player/replay.h"
#include "player/voice.h"
#include "song_builder.h"

namespace qvl::test {
namespace {

using Rows = std::vector<std::pair<int, int>>;

NoteCell note(uint8_t effect = 0, uint8_t parameter = 0, uint8_t volume = 0) {
    return {noteC4, 1, volume, effect, parameter};
}

NoteCell fx(uint8_t effect, uint8_t parameter, uint8_t volume = 0) {
    return {0, 0, volume, effect, parameter};
}

// Runs a whole row (speed ticks) and returns a field of channel 0 after each tick.
template <class F>
std::vector<int> perTick(Player& p, int ticks, F field) {
    std::vector<int> out;
    for (int i = 0; i < ticks; ++i) {
        p.tick();
        out.push_back(field(p.channel(0)));
    }
    return out;
}

TEST(PlayerEffects, JumpAfterABreakOnOneRowStartsRowZero) {
    XmModule m = songOf(4, 16, 8, 1);
    put(m, 0, 0, 0, fx(13, 0x10));
    put(m, 0, 0, 3, fx(11, 5));
    Player p(m);
    EXPECT_EQ(rowsPlayed(p, 2), (Rows{{0, 0}, {5, 0}}));
}

TEST(PlayerEffects, BreakLimitsAndTheLastOrder) {
    XmModule b = songOf(1, 64, 2, 1);
    b.restart = 1;
    put(b, 0, 0, 0, fx(13, 0x70));  // D70: 70 > 63, row 0
    put(b, 1, 0, 0, fx(13, 0x32));  // D32 in the last order: order 0, not the restart
    put(b, 0, 32, 0, fx(11, 200));  // B beyond the song length: order 0
    Player q(b);
    EXPECT_EQ(rowsPlayed(q, 4), (Rows{{0, 0}, {1, 0}, {0, 32}, {0, 0}}));
}

TEST(PlayerEffects, ArpeggioCountsFromTheRowsEnd) {
    // 037: +3 semitones is 192 period units, +7 is 448; the later ticks play by
    // (speed + pattern delay - tick) mod 3, so the last tick of a row is always +x
    const int b = 0, x = 192, y = 448;
    struct Case {
        int speed;
        uint8_t delay;  // EEy on channel 1, 0 for none
        std::vector<int> deltas;
    };
    const Case cases[] = {
        {6, 0, {b, y, x, b, y, x}},
        {4, 0, {b, b, y, x}},
        {3, 0, {b, y, x}},
        {2, 1, {b, b, y, x}},  // EE1 at speed 2: a row of 4 ticks, as at speed 4
    };
    for (const Case& c : cases) {
        XmModule m = songOf(2, 4, 1, c.speed);
        put(m, 0, 0, 0, note(0, 0x37));
        if (c.delay) put(m, 0, 0, 1, fx(14, 0xE0 | c.delay));
        Player p(m);
        EXPECT_EQ(perTick(p, static_cast<int>(c.deltas.size()),
                          [](const Channel& ch) { return ch.periodDelta; }),
                  c.deltas)
            << "speed " << c.speed;
    }
    XmModule a = songOf(1, 4, 1, 3);
    a.flags = 0;  // Amiga table: the offsets are period differences from P(48) = 1712
    put(a, 0, 0, 0, note(0, 0x37));
    Player q(a);
    EXPECT_EQ(perTick(q, 3, [](const Channel& c) { return c.periodDelta; }),
              (std::vector<int>{0, 1143 - 1712, 1440 - 1712}));
}

TEST(PlayerEffects, PortamentoLimits) {
    XmModule m = songOf(1, 8, 1, 16);
    put(m, 0, 0, 0, {2, 1, 0, 1, 0xFF});  // a high note, 1FF: down to 56 and no further
    Player p(m);
    for (int i = 0; i < 16; ++i) p.tick();
    EXPECT_EQ(p.channel(0).period, 56);
    XmModule f = songOf(1, 8, 1, 1);
    put(f, 0, 0, 0, {2, 1, 0, 14, 0x1F});  // fine portamento has no limit
    for (int r = 1; r < 8; ++r) put(f, 0, r, 0, fx(14, 0x1F));
    Player q(f);
    for (int i = 0; i < 8; ++i) q.tick();
    EXPECT_EQ(q.channel(0).period, 7680 - 64 - 8 * 60);
}

TEST(PlayerEffects, SampleOffsetBeyondTheLoopEndStops) {
    XmModule m = songOf(1, 4, 1, 1);
    m.instruments[0] = oneSampleInstrument(loopedSample(4000));
    put(m, 0, 0, 0, note(9, 0x0F));
    put(m, 0, 1, 0, note(9, 0x20));
    Player p(m);
    p.tick();
    EXPECT_EQ(p.voice(0).positionInt, 3840u);
    p.tick();
    EXPECT_EQ(p.voice(0).sample, nullptr);
}

TEST(PlayerEffects, SetEnvelopePosition) {
    XmModule m = songOf(1, 4, 1, 1);
    m.instruments[0].volume.points = {{0, 64}, {10, 0}};
    m.instruments[0].volume.type = 1;
    put(m, 0, 0, 0, note());
    put(m, 0, 1, 0, fx(21, 5));
    Player p(m);
    p.tick();
    p.tick();  // Lxx acts after the row's envelope step, so its position stands
    EXPECT_EQ(p.channel(0).volumeEnvelope.value, 32);
    EXPECT_EQ(p.channel(0).volumeEnvelope.tick, 5);
}

TEST(PlayerEffects, SetPositionOnAOnePointEnvelope) {
    XmModule m = songOf(1, 4, 1, 1);
    m.instruments[0].volume.points = {{10, 40}};
    m.instruments[0].volume.type = 1;
    put(m, 0, 0, 0, note());
    put(m, 0, 1, 0, fx(21, 5));
    Player p(m);
    p.tick();  // before its point's tick the envelope has no value yet
    EXPECT_EQ(p.channel(0).volumeEnvelope.value, 0);
    p.tick();  // L05 takes it straight to its only point
    EXPECT_EQ(p.channel(0).volumeEnvelope.value, 40);
    EXPECT_TRUE(p.channel(0).volumeEnvelope.stopped);
}

TEST(PlayerEffects, KeyOffAtTheTickOfItsParameter) {
    struct Case {
        uint8_t parameter;
        bool patternDelay;  // EE1 on channel 1: the row lasts 12 ticks at speed 6
        int keyOffTick;     // -1: never within the row
    };
    const Case cases[] = {{0x00, false, 0}, {0x03, false, 3}, {0x07, false, -1}, {0x08, true, 8}};
    for (const Case& c : cases) {
        XmModule m = songOf(2, 4, 1, 6);  // its instrument has no volume envelope
        put(m, 0, 0, 0, note(20, c.parameter));
        if (c.patternDelay) put(m, 0, 0, 1, fx(14, 0xE1));
        Player p(m);
        const int ticks = c.patternDelay ? 12 : 6;
        for (int t = 0; t < ticks; ++t) {
            p.tick();
            const bool off = c.keyOffTick >= 0 && t >= c.keyOffTick;
            EXPECT_EQ(p.channel(0).keyOff, off) << "K" << int{c.parameter} << " tick " << t;
            // without a volume envelope the key-off silences the voice on its own tick
            EXPECT_EQ(p.voice(0).volume, off ? 0 : 127) << "K" << int{c.parameter} << " " << t;
        }
    }
}

TEST(PlayerEffects, SpeedTempoVolumeAndPanning) {
    XmModule m = songOf(2, 8, 1, 1);
    put(m, 0, 0, 0, fx(15, 0x1F));
    put(m, 0, 0, 1, note(12, 0x50));  // C50: 64
    put(m, 0, 1, 0, fx(15, 0x20));
    put(m, 0, 2, 0, fx(15, 0x00));
    Player p(m);
    p.tick();
    EXPECT_EQ(p.song->speed, 31);
    EXPECT_EQ(p.channel(1).volume, 64);
    for (int i = 0; i < 31; ++i) p.tick();
    EXPECT_EQ(p.song->bpm, 32);
    EXPECT_EQ(p.song->samplesPerTick, 3445);
    for (int i = 0; i < 31; ++i) p.tick();
    EXPECT_EQ(p.song->speed, 0);
    EXPECT_EQ(rowsPlayed(p, 2), (Rows{{0, 3}, {0, 4}}));
}

TEST(PlayerEffects, PanningSlidesStayInRange) {
    XmModule m = songOf(3, 4, 1, 16);
    put(m, 0, 0, 0, note(25, 0xF0));    // right by 15 a tick
    put(m, 0, 0, 1, note(0, 0, 0xD8));  // volume column: left by 8 a tick
    put(m, 0, 0, 2, note(0, 0, 0xEF));  // volume column: right by 15 a tick
    Player p(m);
    for (int i = 0; i < 16; ++i) p.tick();
    EXPECT_EQ(p.channel(0).panning, 255);
    EXPECT_EQ(p.channel(1).panning, 0);
    EXPECT_EQ(p.channel(2).panning, 255);
}

TEST(PlayerEffects, VolumeColumn) {
    // the sample's own volume is 32, so a byte that does nothing leaves 32
    struct Case {
        uint8_t volume;
        std::vector<int> perTick;
    };
    const Case cases[] = {
        {0x35, {37}},         {0x50, {64}},
        {0x51, {32}},  // 0x51 and above 0x50: nothing
        {0x0F, {32}},         {0x62, {30, 28, 26, 24, 22, 20}},
        {0x82, {30, 30, 30}},
    };
    for (const Case& c : cases) {
        XmModule m = songOf(1, 4, 1, 6);
        m.instruments[0].samples[0].volume = 32;
        put(m, 0, 0, 0, note(0, 0, c.volume));
        Player p(m);
        EXPECT_EQ(perTick(p, static_cast<int>(c.perTick.size()),
                          [](const Channel& ch) { return ch.volume; }),
                  c.perTick)
            << std::hex << int{c.volume};
    }
    XmModule m = songOf(1, 4, 1, 2);
    put(m, 0, 0, 0, note(0, 0, 0xC4));
    Player p(m);
    p.tick();
    EXPECT_EQ(p.channel(0).panning, 64);
}

TEST(PlayerEffects, FinetuneStaysWithTheSample) {
    XmModule m = songOf(1, 4, 1, 1);
    put(m, 0, 0, 0, note(14, 0x5F));
    Player p(m);
    p.tick();
    EXPECT_EQ(p.song->instruments[0].samples[0]->finetune, 15);
}

}  // namespace
}  // namespace qvl::test
