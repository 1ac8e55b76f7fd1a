// The xm2wav tool end to end: a module built in code is rendered to a WAV whose header,
// length, pitch, side and silence after a key off are checked; its FLAC holds the same samples
// (decoded by the flac program) and its .ogg is Ogg Vorbis; bad modules and names it cannot
// write give exit code 1.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include <sys/wait.h>  // the test is built where exit statuses are wait statuses

#include "../support/file_bytes.h"
#include "song_builder.h"

namespace qvl::test {
namespace {

std::string temp(const char* name) {
    return ::testing::TempDir() + name;
}

int run(const std::string& arguments) {
    const std::string command = std::string(XM2WAV_PATH) + " " + arguments + " 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

uint32_t u32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t{b[at + 3]} << 24);
}

XmModule sineSong() {
    XmSample sine;
    sine.sixteenBit = true;
    for (int i = 0; i < 64; ++i)
        sine.frames.push_back(static_cast<int>(20000 * std::sin(2 * std::numbers::pi * i / 64)));
    sine.loopBits = 1;
    sine.loopLength = 64;
    sine.panning = 0;  // hard left: the right channel stays silent
    XmModule m = songOf(1, 64, 2, 6);
    m.instruments[0] = oneSampleInstrument(sine);
    put(m, 0, 0, 0, {58, 1, 0, 0, 0});  // real note 57: 8363 x 2^(9/12) Hz over 64 frames
    put(m, 0, 32, 0, {97, 0, 0, 0, 0});
    return m;
}

TEST(SoundXm2wav, RendersUntilTheSongLoopsBack) {
    const std::string module = temp("sine.xm"), wav = temp("sine.wav");
    testing::writeBytes(module, buildXm(sineSong()));
    ASSERT_EQ(run(module + " " + wav), 0);
    const std::vector<uint8_t> b = testing::readBytes(wav);
    ASSERT_GE(b.size(), 44u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(u32(b, 24), 44100u);
    EXPECT_EQ(b[22], 2);   // stereo
    EXPECT_EQ(b[34], 16);  // bits
    // two orders of 64 rows at 6 ticks of 882 frames, then the song returns to order 0
    const uint32_t frames = 2 * 64 * 6 * 882;
    EXPECT_EQ(u32(b, 40), frames * 4);
    ASSERT_EQ(b.size(), 44 + frames * 4);
    const auto left = [&](size_t i) {
        return static_cast<int16_t>(b[44 + 4 * i] | (b[45 + 4 * i] << 8));
    };
    for (size_t i = 0; i < frames; ++i) ASSERT_EQ(b[46 + 4 * i] | b[47 + 4 * i], 0) << i;
    int crossings = 0, first = -1, last = -1;
    for (size_t i = 4411; i < 132300; ++i) {
        if (left(i - 1) < 0 && left(i) >= 0) {
            if (first < 0) first = static_cast<int>(i);
            last = static_cast<int>(i);
            ++crossings;
        }
    }
    EXPECT_NEAR(44100.0 * (crossings - 1) / (last - first), 8363 * std::pow(2.0, 0.75) / 64, 0.05);
    const size_t keyOff = 32 * 6 * 882;
    for (size_t i = keyOff + 128; i < frames; ++i) ASSERT_EQ(left(i), 0) << i;
    ASSERT_EQ(run(module + " " + wav + " --seconds 2"), 0);
    EXPECT_EQ(testing::readBytes(wav).size(), 44u + 2 * 44100 * 4);
}

// flac -d writes the FLAC's samples as a WAV of the same 44-byte header shape.
TEST(SoundXm2wav, WritesFlacAndOggByTheNamesEnding) {
    const std::string module = temp("formats.xm");
    testing::writeBytes(module, buildXm(sineSong()));
    for (const char* name : {"f.wav", "f.FLAC", "f.ogg"})
        ASSERT_EQ(run(module + " " + temp(name) + " --seconds 3"), 0) << name;
    const std::string decode = "flac -d -f -s -o " + temp("decoded.wav") + " " + temp("f.FLAC");
    ASSERT_EQ(std::system(decode.c_str()), 0) << "the flac program (Debian package flac)";
    const std::vector<uint8_t> wav = testing::readBytes(temp("f.wav"));
    const std::vector<uint8_t> decoded = testing::readBytes(temp("decoded.wav"));
    ASSERT_EQ(wav.size(), 44u + 3 * 44100 * 4);
    ASSERT_EQ(decoded.size(), wav.size());
    EXPECT_TRUE(std::equal(wav.begin() + 44, wav.end(), decoded.begin() + 44));
    EXPECT_LT(testing::readBytes(temp("f.FLAC")).size(), wav.size() / 2);
    const std::vector<uint8_t> ogg = testing::readBytes(temp("f.ogg"));
    ASSERT_GT(ogg.size(), 64u);
    EXPECT_EQ(std::string(ogg.begin(), ogg.begin() + 4), "OggS");
    EXPECT_EQ(std::string(ogg.begin() + 29, ogg.begin() + 35), "vorbis");
}

TEST(SoundXm2wav, RefusesMissingTruncatedAndInvalidModules) {
    std::vector<uint8_t> truncated = buildXm(sineSong()), invalid = truncated;
    truncated.resize(300);
    invalid[0] = 'e';
    testing::writeBytes(temp("truncated.xm"), truncated);
    testing::writeBytes(temp("invalid.xm"), invalid);
    for (const char* name : {"missing.xm", "truncated.xm", "invalid.xm"})
        EXPECT_EQ(run(temp(name) + " " + temp("bad.wav")), 1) << name;
    // A valid module to a name whose ending names no format it writes: 1, and no file.
    testing::writeBytes(temp("valid.xm"), buildXm(sineSong()));
    for (const char* name : {"out.mp3", "out", "out.wav.txt"}) {
        EXPECT_EQ(run(temp("valid.xm") + " " + temp(name) + " --seconds 1"), 1) << name;
        EXPECT_FALSE(std::filesystem::exists(temp(name))) << name;
    }
    EXPECT_EQ(run(""), 1);
}

}  // namespace
}  // namespace qvl::test
