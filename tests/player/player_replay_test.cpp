// The replay: tempo, the advance through rows and orders, speed, and what notes,
// instruments and key offs do to a channel and its voice.
#include <gtest/gtest.h>

#include "player/context.h"
#include "player/replay.h"
#include "player/voice.h"
#include "player/xm_loader.h"
#include "song_builder.h"

namespace qvl::test {
namespace {

using Rows = std::vector<std::pair<int, int>>;

TEST(PlayerReplay, TicksLastTwoAndAHalfSecondsPerBpm) {
    XmModule m = songOf(1, 4);
    Player p(m);
    ASSERT_NE(p.song, nullptr);
    EXPECT_EQ(p.song->samplesPerTick, 882);
    setTempo(p.context, *p.song, 32);
    EXPECT_EQ(p.song->samplesPerTick, 3445);
    setTempo(p.context, *p.song, 0);  // guard: counts as 1
    EXPECT_EQ(p.song->samplesPerTick, 110250);
    EXPECT_EQ(p.song->bpm, 0);
}

TEST(PlayerReplay, AdvancesThroughOrdersAndRestarts) {
    XmModule m = songOf(1, 2, 3, 1);
    m.restart = 1;
    Player p(m);
    EXPECT_EQ(rowsPlayed(p, 9),
              (Rows{{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}, {2, 1}, {1, 0}, {1, 1}, {2, 0}}));
    EXPECT_EQ(p.song->loopBackCount, 1);  // the return to order 1
}

TEST(PlayerReplay, LoopBacksAreCounted) {
    XmModule one = songOf(1, 4, 1, 1);  // one order: its end returns into itself
    Player p(one);
    rowsPlayed(p, 4);
    EXPECT_EQ(p.song->loopBackCount, 0);
    rowsPlayed(p, 1);
    EXPECT_EQ(p.song->loopBackCount, 1);
    XmModule jump = songOf(1, 8, 2, 1);
    put(jump, 1, 2, 0, {0, 0, 0, 11, 0});  // B00 in order 1 jumps back to order 0
    Player q(jump);
    rowsPlayed(q, 11);
    EXPECT_EQ(q.song->loopBackCount, 0);
    rowsPlayed(q, 1);
    EXPECT_EQ(q.song->loopBackCount, 1);
}

TEST(PlayerReplayGuards, SpeedZeroMakesEveryTickARowTick) {
    XmModule zero = songOf(1, 8, 1, 0);  // speed 0: every tick is a row tick
    Player q(zero);
    EXPECT_EQ(rowsPlayed(q, 3), (Rows{{0, 0}, {0, 1}, {0, 2}}));
}

TEST(PlayerReplay, InstrumentWithoutNoteResetsWithoutRestarting) {
    XmModule m = songOf(1, 4, 1, 1);
    put(m, 0, 0, 0, {noteC4, 1, 0, 12, 10});  // volume 10 at once
    put(m, 0, 2, 0, {0, 1, 0, 0, 0});
    Player p(m);
    p.tick();
    EXPECT_EQ(p.channel(0).volume, 10);
    p.voice(0).positionInt = 777;  // as if it had played on
    p.tick();
    p.tick();
    EXPECT_EQ(p.channel(0).volume, 64);
    EXPECT_EQ(p.voice(0).positionInt, 777u);
}

TEST(PlayerReplay, OnePointEnvelopeHoldsThroughKeyOffAndFades) {
    XmModule m = songOf(1, 4, 1, 3);
    XmInstrument& ins = m.instruments[0];
    ins.volume.points = {{0, 64}};
    ins.volume.type = 1;
    ins.panning.points = {{0, 48}};
    ins.panning.type = 1;
    ins.fadeout = 1000;  // 2000 a tick once released
    put(m, 0, 0, 0, {noteC4, 1, 0, 0, 0});
    put(m, 0, 2, 0, {97, 0, 0, 0, 0});  // key off on tick 6
    Player p(m);
    // the voice volume is 127.5 x fadeout / 65536, rounded: 63536 gives 123.6, 61536
    // 119.7, 59536 115.8
    const int volumes[] = {127, 127, 127, 127, 127, 127, 124, 120, 116};
    for (int t = 0; t < 9; ++t) {
        p.tick();
        EXPECT_EQ(p.channel(0).volumeEnvelope.value, 64) << t;
        EXPECT_TRUE(p.channel(0).volumeEnvelope.stopped);
        EXPECT_EQ(p.channel(0).fadeoutVolume, t < 6 ? 65536 : 65536 - 2000 * (t - 5)) << t;
        EXPECT_EQ(p.voice(0).volume, volumes[t]) << t;
        EXPECT_EQ(p.voice(0).panning, 128 + 4 * (48 - 32));
    }
}

TEST(PlayerReplay, MissingSamplesAndInstrumentsAreSilent) {
    XmModule m = songOf(3, 4);
    m.instruments[0].noteSample[48] = 5;  // a slot beyond the instrument's one sample
    put(m, 0, 0, 0, {noteC4, 1, 0, 0, 0});
    put(m, 0, 0, 1, {noteC4, 9, 0, 0, 0});      // beyond the instrument count
    put(m, 0, 0, 2, {noteC4 + 1, 0, 0, 0, 0});  // never given an instrument
    Player p(m);
    p.tick();
    EXPECT_EQ(p.voice(0).sample, nullptr);
    EXPECT_EQ(p.voice(1).sample, nullptr);
    EXPECT_EQ(p.voice(2).volume, 0);
    EXPECT_EQ(p.channel(2).fadeoutVolume, 0);
}

TEST(PlayerReplayGuards, BreakPastThePatternEndStartsItAtRowZero) {
    XmModule m = songOf(1, 16, 2, 1);
    m.patterns[1].rows = 8;
    put(m, 0, 0, 0, {0, 0, 0, 13, 0x12});  // D12: row 12 of an 8-row pattern
    Player p(m);
    EXPECT_EQ(rowsPlayed(p, 2), (Rows{{0, 0}, {1, 0}}));
}

TEST(PlayerReplayGuards, StartNeedsVoices) {
    PlayerContext context;
    Song* song = loadBytes(context, buildXm(songOf(1, 4)));
    ASSERT_NE(song, nullptr);
    EXPECT_FALSE(startSong(context, song));
    EXPECT_FALSE(startSong(context, nullptr));
    EXPECT_FALSE(stopSong(context, nullptr));
    EXPECT_TRUE(freeSong(context, song));
}

TEST(PlayerReplay, PlayingSongsFollowAReopening) {
    XmModule m = songOf(1, 4);
    put(m, 0, 0, 0, {noteC4, 1, 0, 0, 0});
    Player p(m);
    openVoices(p.context, 48000);
    EXPECT_EQ(p.song->samplesPerTick, 882);  // the voices know nothing of songs
    retimePlayingSongs(p.context);
    EXPECT_EQ(p.song->samplesPerTick, 960);
    p.tick();  // its channels drive the new voices
    EXPECT_NE(p.voice(0).sample, nullptr);
}

TEST(PlayerReplay, StopSilencesAndUnlinks) {
    XmModule m = songOf(2, 4);
    put(m, 0, 0, 0, {noteC4, 1, 0, 0, 0});
    Player p(m);
    p.tick();
    EXPECT_TRUE(p.song->link.linked());
    EXPECT_TRUE(stopSong(p.context, p.song));
    EXPECT_FALSE(p.song->link.linked());
    EXPECT_EQ(p.song->playing, 0);
    EXPECT_EQ(p.voice(0).sample, nullptr);
    EXPECT_TRUE(p.song->channels.empty());
}

}  // namespace
}  // namespace qvl::test
