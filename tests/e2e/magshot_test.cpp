// magshot as a user runs it: the files it writes, its exit codes, and that two runs with the
// same steps write the same bytes. Then the bundled demo magazine through it (all threads, the
// real font): its keys lead where its pages say, coming back shows the same picture, and its
// Quit entry ends the viewer.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <cstring>

#include "../support/file_bytes.h"
#include "../support/scratch_dir.h"
#include "../support/test_font.h"
#include "platform/headless/frame_file.h"

namespace qvl::testing {
namespace {

using namespace std::string_literals;

class MagshotTest : public ScratchDir {
  protected:
    void SetUp() override {
        ScratchDir::SetUp();
        writeFile("mag/qvl.mag", "#definepages 1\n#startpage 0 \"home\"\nhello\n");
        writeTestFont(dir() / "mag");
    }
    // Runs magshot in the scratch directory; gives its exit code, and its standard error in err.
    int run(const std::string& args, std::string* err = nullptr) {
        int status = std::system(("'" QVL_MAGSHOT "' " + args + " 2>stderr.txt").c_str());
        if (err) *err = read("stderr.txt");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static std::string read(const std::string& file) {
        const std::vector<uint8_t> bytes = readBytes(file);
        return {bytes.begin(), bytes.end()};
    }
};

// The raw frame is 640 x 480 x 2 bytes and the PNG of the same moment encodes it; the WAV holds
// one virtual second of silence (this magazine has no music) at 44.1 stereo frames a
// millisecond, its header worked out by hand. F12 ends the run with 0; a second run writes the
// same bytes.
TEST_F(MagshotTest, WritesWholeFilesAndRunsRepeatExactly) {
    for (std::string name : {"a", "b"})
        EXPECT_EQ(run("--dir mag --wait 25 --shot " + name + ".rgb565 --shot " + name +
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

// Exit codes: 1 for a run that fails, 2 for arguments refused; with what standard error says.
TEST_F(MagshotTest, FailedRunsAndBadArguments) {
    const struct {
        const char* args;
        int code;
        const char* says;
    } cases[] = {
        {"--wait 10 --shot none.png", 1, "script could not be loaded! terminating..."},
        {"--dir mag --shot /nonexistent-dir/x.png", 1, "cannot write"},
        {"--dir mag --wait ten", 2, "--wait"},
        {"--dir mag --key 300", 2, ""},
        {"--dir mag --frobnicate", 2, ""},
        {"--dir nowhere --wait 1", 2, ""},
        {"--help", 0, ""},
    };
    for (const auto& c : cases) {
        std::string err;
        EXPECT_EQ(run(c.args, &err), c.code) << c.args;
        EXPECT_NE(err.find(c.says), std::string::npos) << c.args;
    }
    EXPECT_FALSE(std::filesystem::exists("none.png"));
}

// Return opens chapter one and Esc (jump 0) comes back to the contents; F1 and P (lowered to
// F1's code) show the help page, which ignores Esc and is left by Left ("jump last"). Up from
// the first entry wraps to the last one, "exit": Up alone does not end the viewer, Return does,
// and the steps after it are not taken. Each fade takes about 370 ms.
TEST_F(MagshotTest, DemoKeysLeadWhereItsPagesSay) {
    ASSERT_EQ(run("--dir '" QVL_SOURCE_DIR "/demo' --wait 50 --shot home --key 13 --wait 500 "
                  "--shot one --key 27 --wait 500 --shot back --key 112 --wait 500 --shot f1 "
                  "--key 27 --wait 500 --shot esc --key 37 --wait 500 --key 80 --wait 500 "
                  "--shot p --key 37 --wait 500 --key 38 --wait 100 --shot up --key 13 "
                  "--wait 100 --shot after"),
              0);
    EXPECT_EQ(read("home").size(), 614400u);
    EXPECT_NE(read("home"), read("one"));
    EXPECT_EQ(read("home"), read("back"));
    EXPECT_NE(read("home"), read("f1"));
    EXPECT_EQ(read("f1"), read("esc"));
    EXPECT_EQ(read("f1"), read("p"));
    EXPECT_NE(read("home"), read("up"));
    EXPECT_FALSE(std::filesystem::exists("after"));
}

}  // namespace
}  // namespace qvl::testing
