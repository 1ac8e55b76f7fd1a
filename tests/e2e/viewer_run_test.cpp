// The viewer run whole, all threads, on the headless backend (virtual clock, captured frames
// and sound). magshot as a user runs it: the files it writes, its exit codes, that two runs
// with the same steps write the same bytes, and the bundled demo's keys (magshot_cases.txt).
// The music: what the ring device plays equals what xm2wav renders of the same module, after
// the first lap of silence; F9 twice starts the song again; "nextmusic" wraps to the first
// song, and a fade runs on time through its pause; a missing module or sound device leaves the
// magazine silent. A soak: random keys for a long time leave it drawing and playing; the
// address sanitizer's leak check runs at the end.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <set>
#include <sstream>

#include "../support/case_file.h"
#include "../support/file_bytes.h"
#include "../support/scratch_dir.h"
#include "../support/song_audio.h"
#include "../support/test_font.h"
#include "app/viewer.h"
#include "base/virtual_keys.h"
#include "platform/headless/frame_file.h"
#include "platform/headless/headless_platform.h"
#include "script/magazine_model.h"
#include "sound/wave_output.h"

namespace qvl::testing {
namespace {

using namespace std::string_literals;
using Kind = HeadlessStep::Kind;
constexpr size_t kRingFrames = waveOutputSizes(kMixRate).ringFrames;

class ViewerRunTest : public ScratchDir {
  protected:
    // The one-page magazine magshot's runs use, in "mag".
    void SetUp() override {
        ScratchDir::SetUp();
        writeFile("mag/qvl.mag", "#definepages 1\n#startpage 0 \"home\"\nhello\n");
        writeTestFont(dir() / "mag");
    }
    static std::string read(const std::string& file) {
        const std::vector<uint8_t> bytes = readBytes(file);
        return {bytes.begin(), bytes.end()};
    }
    // Runs magshot in the scratch directory, or xm2wav for arguments that start with "xm2wav";
    // gives its exit code, and its standard error in err.
    int magshot(const std::string& args, std::string* err = nullptr) {
        const bool xm2wav = args.rfind("xm2wav ", 0) == 0;
        const std::string command =
            xm2wav ? "'" QVL_XM2WAV "' " + args.substr(7) : "'" QVL_MAGSHOT "' " + args;
        int status = std::system((command + " >stdout.txt 2>stderr.txt").c_str());
        if (err) *err = read("stderr.txt");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // The demo's songs, into "Music": the script names "music\...", found whatever the case.
    void copySongs() { std::filesystem::copy(QVL_SOURCE_DIR "/demo/music", "Music"); }
    void writeScript(const std::string& extra = "") {
        writeTestFont(dir());
        writeFile(kScriptName, "#startglobalconfig\n" + extra +
                                   "#definekeys 1\n#key 0 n nextmusic\n#endglobalconfig\n"
                                   "#definepages 1\n#definemusic 3\n#music 0 \"music\\intro.xm\"\n"
                                   "#music 1 \"music\\drift.xm\"\n#music 2 \"music\\pulse.xm\"\n"
                                   "#startpage 0 home\nhello\n");
    }
    // The frames xm2wav renders of a module, interleaved.
    static Audio render(const std::string& name, double seconds) {
        return renderModule(QVL_XM2WAV, "Music/" + name, seconds);
    }
    // Runs the viewer through steps such as "w1000 k120": wait 1000 ms, press virtual key 120.
    Audio run(HeadlessPlatform& platform, const std::string& steps) {
        std::istringstream in(steps);
        char kind;
        uint32_t value;
        while (in >> kind >> value)
            platform.steps.push_back({kind == 'w' ? Kind::wait : Kind::key, value, {}});
        EXPECT_EQ(runViewer(platform), 0);
        return platform.playedAudio();
    }
};

// The raw frame is 640 x 480 x 2 bytes and the PNG of the same moment encodes it; the WAV holds
// one virtual second of silence (this magazine has no music) at 44.1 stereo frames a
// millisecond, its header worked out by hand. F12 ends the run with 0; a second run writes the
// same bytes.
TEST_F(ViewerRunTest, WritesWholeFilesAndRunsRepeatExactly) {
    for (std::string name : {"a", "b"})
        EXPECT_EQ(magshot("--dir mag --wait 25 --shot " + name + ".rgb565 --shot " + name +
                          ".png --wait 975 --wav " + name + ".wav --key 123"),
                  0);
    const std::string raw = read("a.rgb565"), wav = read("a.wav");
    ASSERT_EQ(raw.size(), 614400u);
    std::vector<uint16_t> frame(640 * 480);
    std::memcpy(frame.data(), raw.data(), raw.size());
    EXPECT_EQ(readBytes("a.png"), encodePng(frame.data(), 640, 480));
    ASSERT_EQ(wav.size(), 44u + 44100 * 4);
    EXPECT_EQ(wav.substr(0, 44),
              "RIFF\x34\xB1\x02\0WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xAC\0\0"
              "\x10\xB1\x02\0\x04\0\x10\0"
              "data\x10\xB1\x02\0"s);
    EXPECT_EQ(wav.find_first_not_of('\0', 44), std::string::npos);
    for (const char* file : {".rgb565", ".png", ".wav"})
        EXPECT_EQ(read("a"s + file), read("b"s + file)) << file;
}

// --text writes the page shown, every line of it: a line wider than the screen whole, 45 lines
// where the screen shows 40, trailing blanks trimmed, code page 437 as UTF-8 (0xB3 is U+2502,
// 0xDB U+2588, 0x80 U+00C7, 0xFE U+25A0). N jumps to the second page, which --text then writes.
TEST_F(ViewerRunTest, TextWritesTheWholePageShownAsUtf8) {
    std::string wide, numbered, expected = "wide \xE2\x94\x82\xE2\x96\x88\xC3\x87\xE2\x96\xA0\n";
    for (int i = 0; i < 12; ++i) wide += "0123456789";
    expected += wide + "\n\n";
    for (int i = 1; i <= 45; ++i) {
        numbered += "line " + std::to_string(i) + "   \n";
        expected += "line " + std::to_string(i) + "\n";
    }
    writeFile("txt/qvl.mag",
              "#startglobalconfig\n#setglobaloption fading off\n#definekeys 1\n"
              "#key 0 n jump 1\n#endglobalconfig\n#definepages 2\n"
              "#startpage 0 \"one\"\nwide \xB3\xDB\x80\xFE  \n" +
                  wide + "\n##\n" + numbered + "#startpage 1 \"two\"\n  second page\n");
    writeTestFont(dir() / "txt");
    ASSERT_EQ(magshot("--dir txt --wait 10 --text one.txt --key 78 --wait 10 --text two.txt"), 0);
    EXPECT_EQ(read("one.txt"), expected);
    EXPECT_EQ(read("two.txt"), "  second page\n");
}

// Text with its first "VERSION" replaced by the project's version.
std::string versioned(std::string text) {
    if (const size_t at = text.find("VERSION"); at != std::string::npos)
        text.replace(at, 7, QVL_VERSION);
    return text;
}

// The runs of magshot_cases.txt, whose head says how it reads.
TEST_F(ViewerRunTest, MagshotCases) {
    for (const Case& c : readCases(QVL_TEST_DATA "/magshot_cases.txt")) {
        for (const CaseSection& s : c.sections) {
            ASSERT_EQ(s.kind, "run") << c.name;
            std::string run = s.argument, err;
            if (run.find("DEMO") != std::string::npos)
                run.replace(run.find("DEMO"), 4, "'" QVL_SOURCE_DIR "/demo'");
            const int code = magshot(run, &err);
            const std::string out = read("stdout.txt");
            std::istringstream checks(s.body);
            for (std::string line; std::getline(checks, line);) {
                SCOPED_TRACE(c.name + "\n" + run + "\n" + line);
                std::istringstream words(line);
                std::string what, a, b;
                words >> what >> a >> b;
                const std::string rest = line.substr(std::min(line.size(), what.size() + 1));
                if (what == "exit")
                    EXPECT_EQ(code, std::stoi(a));
                else if (what == "says")
                    EXPECT_NE(err.find(rest), std::string::npos) << err;
                else if (what == "prints")
                    EXPECT_EQ(out.substr(0, out.find('\n') + 1), versioned(rest) + "\n");
                else if (what == "size")
                    EXPECT_EQ(read(a).size(), std::stoul(b));
                else if (what == "missing")
                    EXPECT_FALSE(std::filesystem::exists(a));
                else if (what == "same" || what == "differs")
                    EXPECT_EQ(read(a) == read(b), what == "same");
                else
                    ADD_FAILURE() << "unknown line";
            }
        }
    }
}

// A hash of the picture last presented.
size_t pictureOf(const HeadlessPlatform& platform) {
    const std::vector<uint16_t> frame = platform.lastFrame();
    return std::hash<std::u16string_view>{}(
        {reinterpret_cast<const char16_t*>(frame.data()), frame.size()});
}

bool silent(Audio::const_iterator from, Audio::const_iterator to) {
    return std::all_of(from, to, [](int16_t s) { return s == 0; });
}

// After the ring's first lap of silence the device plays exactly what xm2wav renders, panned
// (left and right differ). F9 at 2 s stops it and F9 at 2.3 s starts the song again from its
// beginning, once the old blocks have been played.
TEST_F(ViewerRunTest, RingPlaysWhatXm2wavRendersAndF9TwiceRestarts) {
    copySongs();
    writeScript();
    HeadlessPlatform platform;
    const Audio played = run(platform, "w2000 k120 w300 k120 w1500");
    ASSERT_EQ(played.size(), 2u * 3800 * kMixRate / 1000);
    EXPECT_TRUE(silent(played.begin(), played.begin() + 2 * kRingFrames));
    const Audio rendered = render("intro.xm", 2.0);
    const size_t frames = 2000 * kMixRate / 1000 - kRingFrames;
    ASSERT_GE(rendered.size(), 2 * frames);
    bool panned = false;
    for (size_t i = 0; i < frames; ++i) panned |= rendered[2 * i] != rendered[2 * i + 1];
    EXPECT_TRUE(panned);
    auto differs = std::mismatch(rendered.begin(), rendered.begin() + 2 * frames,
                                 played.begin() + 2 * kRingFrames);
    EXPECT_EQ(differs.first, rendered.begin() + 2 * frames)
        << "first difference at frame " << (differs.first - rendered.begin()) / 2;

    const size_t first = findSongStart(played, rendered, 0);
    EXPECT_EQ(first, kRingFrames + kFramesPerBlock);
    const size_t again = findSongStart(played, rendered, first + 1);
    ASSERT_NE(again, std::string::npos);
    EXPECT_GT(again, 2300u * kMixRate / 1000);
    EXPECT_LT(again, 2300u * kMixRate / 1000 + kRingFrames + 3 * kFramesPerBlock);
    EXPECT_TRUE(silent(played.begin() + 2 * (again - 2 * kFramesPerBlock),
                       played.begin() + 2 * (again - kFramesPerBlock)));
}

// Music off at the start: nothing plays. Then next, next, next: drift, pulse, intro; pulse is
// replaced before it plays.
TEST_F(ViewerRunTest, NextMusicOnTheLastSongGoesToTheFirstAndPlays) {
    copySongs();
    writeScript("#setglobaloption music off\n");
    HeadlessPlatform platform;
    const Audio played = run(platform, "w1000 k78 k78 k78 w1500");
    EXPECT_TRUE(silent(played.begin(), played.begin() + 2 * kMixRate));
    EXPECT_NE(findSongStart(played, render("intro.xm", 0.1), kMixRate), std::string::npos);
    EXPECT_EQ(findSongStart(played, render("pulse.xm", 0.1), 0), std::string::npos);
}

// A fade started right before "nextmusic" (a menu entry, which answers during fades) runs on
// time through the 200 ms before the next song: a frame every virtual millisecond, each the
// picture the same moment has in a run without the entry chosen, with the backend's main thread
// taking every frame. The next song follows 200 ms of silence: intro's blocks stop at 100 ms,
// a ring ahead of the listener, and drift's start at 300 ms.
TEST_F(ViewerRunTest, AFadeRunsOnTimeThroughThePauseBeforeTheNextSong) {
    copySongs();
    writeTestFont(dir());
    writeFile(kScriptName,
              "#startglobalconfig\n#definekeys 1\n#key 0 j jump 1\n#endglobalconfig\n"
              "#definepages 2\n#definemusic 2\n#music 0 \"music\\intro.xm\"\n"
              "#music 1 \"music\\drift.xm\"\n#startpage 0 home\n"
              "#setpageoption 0 scrollable off\n#setpageoption 0 infobar off\n"
              "#startmenu\n#defineselects 1\n#menuselect 0 1 1 5 7 4 1 1 nextmusic\n#endmenu\n"
              "hello\n#startpage 1 two\nthere\n");
    struct Seen {
        std::vector<size_t> pictures;
        std::vector<uint64_t> frames;
        std::vector<uint32_t> clock;
    };
    auto fadeRun = [&](HeadlessPlatform& platform, bool next) {
        Seen seen;
        platform.steps = {{Kind::wait, 100, {}}, {Kind::key, 'J', {}}};
        if (next) platform.steps.push_back({Kind::key, kVkReturn, {}});
        for (int ms = 0; ms < 400; ++ms) {
            platform.steps.push_back({Kind::wait, 1, {}});
            platform.steps.push_back({Kind::call, 0, [&] {
                                          seen.pictures.push_back(pictureOf(platform));
                                          seen.frames.push_back(platform.framesPresented());
                                          seen.clock.push_back(platform.tickCount());
                                      }});
        }
        platform.steps.push_back({Kind::wait, 1000, {}});
        EXPECT_EQ(runViewer(platform), 0);
        return seen;
    };
    HeadlessPlatform withNext, without;
    const Seen pause = fadeRun(withNext, true), plain = fadeRun(without, false);
    ASSERT_EQ(pause.pictures.size(), 400u);
    for (size_t ms = 0; ms < 400; ++ms) {
        // Frames 0 to 100, then one a millisecond.
        EXPECT_EQ(pause.clock[ms], 101 + ms) << ms;
        EXPECT_EQ(pause.frames[ms], 102 + ms) << ms;
        EXPECT_EQ(pause.pictures[ms], plain.pictures[ms]) << ms;
    }
    // The fade changes the picture all through the pause.
    EXPECT_GT(std::set<size_t>(pause.pictures.begin(), pause.pictures.begin() + 200).size(), 60u);

    const Audio played = withNext.playedAudio();
    const size_t stopped = 100 * kMixRate / 1000 + kRingFrames + kFramesPerBlock;
    const size_t started = 300 * kMixRate / 1000 + kRingFrames + kFramesPerBlock;
    const size_t drift = findSongStart(played, render("drift.xm", 0.1), 0);
    ASSERT_NE(drift, std::string::npos);
    EXPECT_GE(drift, started - kFramesPerBlock);
    EXPECT_LE(drift, started + kFramesPerBlock);
    EXPECT_TRUE(
        silent(played.begin() + 2 * (stopped + kFramesPerBlock), played.begin() + 2 * (drift - 1)));
}

// A missing module, or a module without a sound device, leaves the magazine silent and running,
// with no message, whatever the music keys (F9, F9, N) do.
TEST_F(ViewerRunTest, MissingModuleOrSoundDeviceLeavesTheMagazineSilentAndRunning) {
    writeScript();
    for (bool device : {true, false}) {
        if (!device) copySongs();
        HeadlessPlatform platform;
        platform.soundWorks = device;
        const Audio played = run(platform, "w1000 k120 k120 k78 w500");
        EXPECT_EQ(played.size(), device ? 2u * 1500 * kMixRate / 1000 : 0u) << device;
        EXPECT_TRUE(silent(played.begin(), played.end())) << device;
        EXPECT_TRUE(platform.messages().empty()) << device;
        EXPECT_EQ(platform.framesPresented(), 1501u) << device;
    }
}

// Every key the demo answers, and some it does not; F12 is left out, it ends the run. The help
// page (F1, P) is left only by the Left arrow, which therefore comes three times as often.
constexpr int kKeys[] = {kVkReturn, kVkEscape, kVkSpace, kVkPrior, kVkNext,      kVkEnd,  kVkHome,
                         kVkLeft,   kVkLeft,   kVkLeft,  kVkUp,    kVkRight,     kVkDown, 'A',
                         'E',       'H',       'L',      'N',      'P',          'Q',     'R',
                         'Z',       '0',       '5',      '9',      kVkF1,        kVkF2,   kVkF3,
                         kVkF9,     kVkF9,     kVkF10,   kVkOem1,  kVkOemPeriod, kVkOem2};

// QVL_SOAK_SECONDS sets its virtual time: two minutes by default, an hour is 3600 (60 to 86400).
TEST_F(ViewerRunTest, RandomKeysForALongTimeLeaveItDrawingAndPlaying) {
    // The demo, with the menu's Quit entry leading home instead: a random Return on it must not
    // end the soak early.
    std::filesystem::copy(QVL_SOURCE_DIR "/demo", dir(), std::filesystem::copy_options::recursive);
    const std::vector<uint8_t> bytes = readBytes(kScriptName);
    std::string script(bytes.begin(), bytes.end());
    ASSERT_NE(script.find(" exit now"), std::string::npos);
    writeFile(kScriptName, script.replace(script.find(" exit now"), 9, " jump 0"));
    const char* seconds = std::getenv("QVL_SOAK_SECONDS");
    const uint64_t totalMs =
        1000 * (seconds ? std::clamp(std::atoll(seconds), 60LL, 86400LL) : 120);
    HeadlessPlatform platform;
    platform.frameMs = 16;
    platform.keptAudioFrames = kMixRate * 2;
    // Keys at random moments, mostly quick ones, one in ten after a long look at a page.
    std::mt19937 random(20261206);
    std::uniform_int_distribution<size_t> pickKey(0, std::size(kKeys) - 1);
    std::uniform_int_distribution<uint32_t> shortWait(1, 400), longWait(400, 20000);
    std::uniform_int_distribution<int> chance(0, 9);
    std::set<size_t> pictures;  // hashes of what the screen showed now and then
    int keys = 0;
    for (uint64_t at = 0; at < totalMs - 5000;) {
        const uint32_t wait = std::min<uint64_t>(
            chance(random) == 0 ? longWait(random) : shortWait(random), totalMs - 5000 - at);
        at += wait;
        platform.steps.push_back({Kind::wait, wait, {}});
        platform.steps.push_back({Kind::key, static_cast<uint32_t>(kKeys[pickKey(random)]), {}});
        if (++keys % 4 == 0)
            platform.steps.push_back(
                {Kind::call, 0, [&] { pictures.insert(pictureOf(platform)); }});
    }
    // The end: once any fade is over (it holds bindings back), the next song, which turns the
    // music on; two seconds later a count of frames and sound, two more, and F12.
    uint64_t framesBefore = 0, audioBefore = 0;
    auto count = [&] {
        framesBefore = platform.framesPresented();
        audioBefore = platform.audioFramesPlayed();
    };
    platform.steps.insert(platform.steps.end(), {{Kind::wait, 1000, {}},
                                                 {Kind::key, 'N', {}},
                                                 {Kind::wait, 2000, {}},
                                                 {Kind::call, 0, count},
                                                 {Kind::wait, 2000, {}},
                                                 {Kind::key, kVkF12, {}}});

    ASSERT_EQ(runViewer(platform), 0);
    EXPECT_TRUE(platform.messages().empty());
    EXPECT_GT(keys, static_cast<int>(totalMs / 2000));
    EXPECT_GE(pictures.size(), 4u);  // the keys led to pages, menu entries and scroll places
    // The clock went the whole way, drawing at the display's pace to the end, and the song
    // played through the last two seconds, which were kept.
    EXPECT_EQ(platform.audioFramesPlayed(), totalMs * kMixRate / 1000);
    EXPECT_GE(platform.framesPresented() - framesBefore, 2000u / 16);
    const std::vector<uint16_t> frame = platform.lastFrame();
    EXPECT_TRUE(std::any_of(frame.begin(), frame.end(), [](uint16_t p) { return p != 0; }));
    EXPECT_EQ(platform.audioFramesPlayed() - audioBefore, 2u * kMixRate);
    const std::vector<int16_t> audio = platform.playedAudio();
    ASSERT_EQ(audio.size(), 2u * 2 * kMixRate);
    const auto loud =
        std::count_if(audio.begin(), audio.end(), [](int16_t s) { return s > 256 || s < -256; });
    EXPECT_GT(loud, static_cast<long>(audio.size() / 10));
}

}  // namespace
}  // namespace qvl::testing
