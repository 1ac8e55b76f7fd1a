// The demo music as the viewer plays it: each composed module loads with the parts it was
// written with, lasts 20 to 60 seconds before it loops, sounds without saturating, uses the
// player's features between them, and is byte for byte the file in demo/music.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "compose.h"
#include "player/context.h"
#include "player/replay.h"
#include "player/song.h"
#include "player/xm_loader.h"
#include "render_probe.h"
#include "sound/wave_output.h"
#include "xm_loading.h"

namespace qvl::test {
namespace {

using music::pieces;

// A module loaded through the player, released at the end of the scope.
struct Loaded {
    PlayerContext context;
    Song* song = nullptr;
    explicit Loaded(const XmModule& m) {
        openVoices(context, kMixRate);
        song = loadBytes(context, buildXm(m));
    }
    ~Loaded() { freeSong(context, song); }
};

TEST(MakeMusicModules, LoadWithTheirInstrumentsAndPatterns) {
    for (const auto& piece : pieces) {
        SCOPED_TRACE(piece.fileName);
        const XmModule m = piece.compose();
        Loaded loaded(m);
        ASSERT_NE(loaded.song, nullptr);
        const Song& s = *loaded.song;
        EXPECT_EQ(s.channelCount, m.channels);
        EXPECT_EQ(s.songLength, static_cast<int>(m.orders.size()));
        EXPECT_EQ(s.patternSlots, static_cast<int>(m.patterns.size()));
        EXPECT_EQ(s.instrumentCount, static_cast<int>(m.instruments.size()));
        EXPECT_GE(s.instrumentCount, 7);  // bass, lead, pad and drums at least
        EXPECT_TRUE(s.linearFrequencies());
        for (int p = 0; p < s.patternSlots; ++p) EXPECT_EQ(s.patterns[p].rows, m.patterns[p].rows);
        for (int i = 0; i < s.instrumentCount; ++i) {
            const Instrument& ins = s.instruments[i];
            ASSERT_EQ(ins.sampleCount, 1) << i;
            EXPECT_EQ(ins.samples[0]->length, m.instruments[i].samples[0].frames.size()) << i;
        }
    }
}

TEST(MakeMusicModules, HaveTheirOwnTempo) {
    // drift is the slow one, pulse the driving one
    EXPECT_LT(music::composeDrift().bpm, 90);
    EXPECT_LT(music::composeDrift().bpm, music::composeIntro().bpm);
    EXPECT_LT(music::composeIntro().bpm, music::composePulse().bpm);
}

TEST(MakeMusicModules, LastTwentyToSixtySecondsBeforeLooping) {
    for (const auto& piece : pieces) {
        const double seconds = secondsUntilLoop(piece.compose());
        EXPECT_GE(seconds, 20.0) << piece.fileName;
        EXPECT_LE(seconds, 60.0) << piece.fileName;
    }
}

TEST(MakeMusicModules, SoundAllThroughWithoutSaturating) {
    for (const auto& piece : pieces) {
        SCOPED_TRACE(piece.fileName);
        const XmModule m = piece.compose();
        const int frames = static_cast<int>(secondsUntilLoop(m) * kMixRate);
        const std::vector<int16_t> pcm = renderFrames(m, frames);
        ASSERT_EQ(pcm.size(), 2 * static_cast<size_t>(frames));
        int peak = 0, fullScale = 0;
        double sum = 0;
        for (int16_t v : pcm) {
            peak = std::max(peak, std::abs(int{v}));
            fullScale += v >= 32767 || v <= -32767;
            sum += static_cast<double>(v) * v;
        }
        EXPECT_EQ(fullScale, 0);
        EXPECT_LT(peak, 31000);  // headroom: the mixer clamps at 32767
        const double rms = std::sqrt(sum / pcm.size());
        EXPECT_GT(rms, 2000);  // about -24 dB of full scale: plainly audible
        EXPECT_LT(rms, 8000);
        // no stretch of two seconds falls silent
        for (size_t at = 0; at + 2 * 88200 <= pcm.size(); at += 2 * 88200) {
            double windowSum = 0;
            for (size_t i = at; i < at + 2 * 88200; ++i)
                windowSum += static_cast<double>(pcm[i]) * pcm[i];
            EXPECT_GT(std::sqrt(windowSum / (2 * 88200)), 400) << "at " << at / 88200 << " s";
        }
    }
}

// What the modules do, read back from the loaded songs.
struct Features {
    std::set<std::string> found;
    void see(const Song& s) {
        for (int p = 0; p < s.patternSlots; ++p) {
            for (const NoteCell& c : s.patterns[p].cells) seeCell(c);
        }
        for (int i = 0; i < s.instrumentCount; ++i) seeInstrument(s.instruments[i]);
    }
    void seeCell(const NoteCell& c) {
        if (c.note == 255) found.insert("key off");
        if (c.effect == 0 && c.parameter != 0) found.insert("arpeggio");
        if (c.effect == 1) found.insert("portamento up");
        if (c.effect == 2) found.insert("portamento down");
        if (c.effect == 3) found.insert("tone portamento");
        if (c.effect == 4) found.insert("vibrato");
        if (c.effect == 0xA) found.insert("volume slide");
        if (c.effect == 0xB || c.effect == 0xD) found.insert("jump or break");
        if (c.effect == 0xF) found.insert(c.parameter >= 32 ? "tempo" : "speed");
        if (c.volume >= 0x10 && c.volume <= 0x50) found.insert("volume column volume");
        if (c.volume >= 0x60 && c.volume <= 0x9F) found.insert("volume column slide");
        if (c.volume >= 0xC0 && c.volume <= 0xCF) found.insert("volume column panning");
    }
    void seeInstrument(const Instrument& ins) {
        if ((ins.volumeEnvelope.type & 3) == 3) found.insert("volume sustain");
        if ((ins.volumeEnvelope.type & 5) == 5) found.insert("volume loop");
        if ((ins.panningEnvelope.type & 3) == 3) found.insert("panning sustain");
        if ((ins.panningEnvelope.type & 5) == 5) found.insert("panning loop");
        if (ins.autoVibDepth > 0 && ins.autoVibRate > 0) found.insert("auto-vibrato");
        if (ins.samples[0]->loopType == 2) found.insert("forward loop");
        if (ins.samples[0]->loopType == 4) found.insert("ping-pong loop");
    }
};

TEST(MakeMusicModules, UseThePlayersFeatures) {
    Features all;
    for (const auto& piece : pieces) {
        Loaded loaded(piece.compose());
        ASSERT_NE(loaded.song, nullptr);
        Features one;
        one.see(*loaded.song);
        // every module loops by a jump, ends its notes and changes its pace somewhere
        EXPECT_TRUE(one.found.count("jump or break")) << piece.fileName;
        EXPECT_TRUE(one.found.count("key off")) << piece.fileName;
        EXPECT_TRUE(one.found.count("speed")) << piece.fileName;
        all.found.insert(one.found.begin(), one.found.end());
    }
    for (const char* feature : {"key off",
                                "arpeggio",
                                "portamento up",
                                "portamento down",
                                "tone portamento",
                                "vibrato",
                                "volume slide",
                                "jump or break",
                                "tempo",
                                "speed",
                                "volume column volume",
                                "volume column slide",
                                "volume column panning",
                                "volume sustain",
                                "volume loop",
                                "panning sustain",
                                "panning loop",
                                "auto-vibrato",
                                "forward loop",
                                "ping-pong loop"}) {
        EXPECT_TRUE(all.found.count(feature)) << feature;
    }
}

TEST(MakeMusicModules, AreSmallAndTheSameOnEveryRun) {
    for (const auto& piece : pieces) {
        const std::vector<uint8_t> first = buildXm(piece.compose());
        EXPECT_LT(first.size(), 200u * 1024) << piece.fileName;
        EXPECT_EQ(first, buildXm(piece.compose())) << piece.fileName;
    }
}

TEST(MakeMusicModules, MatchTheFilesInDemoMusic) {
    for (const auto& piece : pieces) {
        const std::string path = std::string(QVL_SOURCE_DIR) + "/demo/music/" + piece.fileName;
        std::ifstream file(path, std::ios::binary);
        ASSERT_TRUE(file) << path << " is missing: run makemusic demo/music";
        const std::vector<uint8_t> onDisk{std::istreambuf_iterator<char>(file), {}};
        EXPECT_TRUE(onDisk == buildXm(piece.compose()))
            << path << " differs from what makemusic composes: rebuild it with makemusic";
    }
}

}  // namespace
}  // namespace qvl::test
