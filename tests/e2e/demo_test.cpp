// The bundled demo magazine through the whole viewer (magshot, all threads, the real font):
// it starts, its keys lead where its pages say, and coming back shows the same picture.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

class DemoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The process id keeps two builds' runs of the same test apart.
        out_ = fs::temp_directory_path() /
               (std::string("qvl_demo_") +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-" +
                std::to_string(::getpid()));
        fs::remove_all(out_);
        fs::create_directories(out_);
    }
    void TearDown() override { fs::remove_all(out_); }

    // Runs magshot on the demo with the given steps; shots name files in out_.
    int run(const std::string& steps) {
        std::string command = "cd '" + out_.string() +
                              "' && '" QVL_MAGSHOT "' --dir '" QVL_SOURCE_DIR "/demo' " + steps +
                              " 2>stderr.txt";
        int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string shot(const std::string& name) {
        std::ifstream in(out_ / name, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    }

    fs::path out_;
};

TEST_F(DemoTest, StartsOnTheContentsAndComesBackToIt) {
    // Return opens chapter one (a fade of about 370 ms), Esc comes back to the contents.
    ASSERT_EQ(run("--wait 50 --shot home.rgb565 --key 13 --wait 500 --shot one.rgb565 "
                  "--key 27 --wait 500 --shot back.rgb565 --key 123"),
              0);
    EXPECT_EQ(shot("home.rgb565").size(), 614400u);
    EXPECT_NE(shot("home.rgb565"), shot("one.rgb565"));
    EXPECT_EQ(shot("home.rgb565"), shot("back.rgb565"));
}

TEST_F(DemoTest, F1AndPShowTheSameHelpPage) {
    ASSERT_EQ(run("--key 112 --wait 500 --shot f1.rgb565"), 0);
    ASSERT_EQ(run("--key 80 --wait 500 --shot p.rgb565 --key 27 --wait 500 --shot esc.rgb565"), 0);
    EXPECT_EQ(shot("f1.rgb565"), shot("p.rgb565"));
    // The help page ignores numbered jumps: Esc (jump 0) stays there.
    EXPECT_EQ(shot("p.rgb565"), shot("esc.rgb565"));
    ASSERT_EQ(run("--wait 1 --shot home.rgb565"), 0);
    EXPECT_NE(shot("home.rgb565"), shot("f1.rgb565"));
}

TEST_F(DemoTest, TheQuitEntryEndsTheViewer) {
    // Up from the first entry wraps to the last one, "exit": the viewer ends, and the steps
    // after that are not taken.
    ASSERT_EQ(run("--key 38 --key 13 --wait 100 --shot after.rgb565"), 0);
    EXPECT_FALSE(fs::exists(out_ / "after.rgb565"));
    ASSERT_EQ(run("--key 38 --wait 100 --shot stay.rgb565"), 0);
    EXPECT_TRUE(fs::exists(out_ / "stay.rgb565"));
}

}  // namespace
