// magshot as a user runs it: the files it writes, its exit codes, and that two runs with the
// same steps write the same bytes. Then the bundled demo magazine through it (all threads, the
// real font): it starts, its keys lead where its pages say, and coming back shows the same
// picture.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../support/test_font.h"

namespace {

namespace fs = std::filesystem;

class MagshotTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The process id keeps two builds' runs of the same test apart.
        dir_ = fs::temp_directory_path() /
               (std::string("qvl_magshot_") +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-" +
                std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "mag");
        qvl::testing::writeTestFont(dir_ / "mag");
        std::ofstream(dir_ / "mag" / "qvl.mag") << "#definepages 1\n#startpage 0 \"home\"\nhello\n";
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs magshot with the arguments from dir_; gives its exit code and standard error.
    int run(const std::string& args, std::string* err = nullptr) {
        std::string errFile = (dir_ / "stderr.txt").string();
        std::string command =
            "cd '" + dir_.string() + "' && '" QVL_MAGSHOT "' " + args + " 2>'" + errFile + "'";
        int status = std::system(command.c_str());
        if (err) *err = read(errFile);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string read(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    }

    fs::path dir_;
};

uint32_t be32(const std::string& d, size_t at) {
    return (uint32_t(uint8_t(d[at])) << 24) | (uint32_t(uint8_t(d[at + 1])) << 16) |
           (uint32_t(uint8_t(d[at + 2])) << 8) | uint8_t(d[at + 3]);
}

TEST_F(MagshotTest, WritesAPngOfTheFirstPageAndExitsOnF12) {
    EXPECT_EQ(run("--dir mag --wait 100 --shot home.png --key 123"), 0);
    std::string png = read(dir_ / "home.png");
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    EXPECT_EQ(be32(png, 16), 640u);
    EXPECT_EQ(be32(png, 20), 480u);
    EXPECT_EQ(png[24], 8);  // bit depth
    EXPECT_EQ(png[25], 2);  // RGB
}

TEST_F(MagshotTest, RawFramesAreWholeAndRunsRepeatExactly) {
    EXPECT_EQ(run("--dir mag --wait 20 --shot a.rgb565 --wait 5 --shot a.png"), 0);
    EXPECT_EQ(run("--dir mag --wait 20 --shot b.rgb565 --wait 5 --shot b.png"), 0);
    std::string a = read(dir_ / "a.rgb565");
    EXPECT_EQ(a.size(), 614400u);
    EXPECT_EQ(a, read(dir_ / "b.rgb565"));
    EXPECT_EQ(read(dir_ / "a.png"), read(dir_ / "b.png"));
}

TEST_F(MagshotTest, WavHoldsEverythingTheDevicePlayed) {
    EXPECT_EQ(run("--dir mag --wait 1000 --wav a.wav --key 123"), 0);
    std::string wav = read(dir_ / "a.wav");
    ASSERT_EQ(wav.size(), 44u + 44100 * 4);  // one virtual second at 44.1 frames a millisecond
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(wav.substr(36, 4), "data");
    EXPECT_EQ(be32(wav, 24), 0x44AC0000u);  // 44100, little-endian
    // No music in this magazine: a second of silence.
    EXPECT_EQ(wav.find_first_not_of('\0', 44), std::string::npos);
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
    EXPECT_FALSE(fs::exists(dir_ / "none.png"));
}

const std::string kDemo = "--dir '" QVL_SOURCE_DIR "/demo' ";

TEST_F(MagshotTest, DemoStartsOnTheContentsAndComesBackToIt) {
    // Return opens chapter one (a fade of about 370 ms), Esc comes back to the contents.
    ASSERT_EQ(run(kDemo + "--wait 50 --shot home.rgb565 --key 13 --wait 500 --shot one.rgb565 "
                          "--key 27 --wait 500 --shot back.rgb565 --key 123"),
              0);
    EXPECT_EQ(read(dir_ / "home.rgb565").size(), 614400u);
    EXPECT_NE(read(dir_ / "home.rgb565"), read(dir_ / "one.rgb565"));
    EXPECT_EQ(read(dir_ / "home.rgb565"), read(dir_ / "back.rgb565"));
}

TEST_F(MagshotTest, DemoF1AndPShowTheSameHelpPage) {
    ASSERT_EQ(run(kDemo + "--key 112 --wait 500 --shot f1.rgb565"), 0);
    ASSERT_EQ(
        run(kDemo + "--key 80 --wait 500 --shot p.rgb565 --key 27 --wait 500 --shot esc.rgb565"),
        0);
    EXPECT_EQ(read(dir_ / "f1.rgb565"), read(dir_ / "p.rgb565"));
    // The help page ignores numbered jumps: Esc (jump 0) stays there.
    EXPECT_EQ(read(dir_ / "p.rgb565"), read(dir_ / "esc.rgb565"));
    ASSERT_EQ(run(kDemo + "--wait 1 --shot home.rgb565"), 0);
    EXPECT_NE(read(dir_ / "home.rgb565"), read(dir_ / "f1.rgb565"));
}

TEST_F(MagshotTest, DemoQuitEntryEndsTheViewer) {
    // Up from the first entry wraps to the last one, "exit": the viewer ends, and the steps
    // after that are not taken.
    ASSERT_EQ(run(kDemo + "--key 38 --key 13 --wait 100 --shot after.rgb565"), 0);
    EXPECT_FALSE(fs::exists(dir_ / "after.rgb565"));
    ASSERT_EQ(run(kDemo + "--key 38 --wait 100 --shot stay.rgb565"), 0);
    EXPECT_TRUE(fs::exists(dir_ / "stay.rgb565"));
}

}  // namespace
