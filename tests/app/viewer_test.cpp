// The shell on the headless backend: start-up order, every start-up failure with its message
// and exit code, and both ways of ending with the render thread stopped.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "../support/scratch_dir.h"
#include "../support/test_font.h"
#include "app/viewer.h"
#include "base/virtual_keys.h"
#include "platform/headless/headless_platform.h"
#include "script/magazine_model.h"

namespace qvl {
namespace {

namespace fs = std::filesystem;
using Kind = HeadlessStep::Kind;

class ViewerTest : public testing::ScratchDir {
  protected:
    void SetUp() override {
        ScratchDir::SetUp();
        testing::writeTestFont(dir());
    }
    void writeScript(const std::string& text) { writeFile(kScriptName, text); }

    HeadlessPlatform platform_;
};

const char kOnePage[] = "#definepages 1\n#startpage 0 \"home\"\nhello\n";

TEST_F(ViewerTest, MissingScriptEndsBeforeAnyWindow) {
    EXPECT_EQ(runViewer(platform_), 1);
    EXPECT_EQ(platform_.messages(),
              std::vector<std::string>{"script could not be loaded! terminating..."});
    EXPECT_FALSE(platform_.windowCreated());
    EXPECT_EQ(platform_.framesPresented(), 0u);
}

TEST_F(ViewerTest, HundredMegabyteScriptEndsWithTheScriptMessage) {
    writeScript(kOnePage);
    fs::resize_file(kScriptName, 100u << 20);  // sparse: the size alone refuses it
    EXPECT_EQ(runViewer(platform_), 1);
    EXPECT_EQ(platform_.messages(),
              std::vector<std::string>{"script could not be loaded! terminating..."});
}

TEST_F(ViewerTest, FailedClassRegistrationShowsBothMessages) {
    writeScript(kOnePage);
    platform_.windowResult = WindowResult::classFailed;
    EXPECT_EQ(runViewer(platform_), 1);
    EXPECT_EQ(platform_.messages(), (std::vector<std::string>{"registering window class failed!",
                                                              "initialization of window failed!"}));
    EXPECT_EQ(platform_.framesPresented(), 0u);
}

TEST_F(ViewerTest, FailedWindowShowsItsMessage) {
    writeScript(kOnePage);
    platform_.windowResult = WindowResult::windowFailed;
    EXPECT_EQ(runViewer(platform_), 1);
    EXPECT_EQ(platform_.messages(), std::vector<std::string>{"initialization of window failed!"});
}

TEST_F(ViewerTest, FailedFullScreenIsReleasedAndReported) {
    writeScript(std::string("#setglobaloption fullscreen on\n") + kOnePage);
    platform_.fullScreenWorks = false;
    EXPECT_EQ(runViewer(platform_), 1);
    EXPECT_EQ(platform_.messages(),
              std::vector<std::string>{"initialization of directdraw interface failed!"});
    EXPECT_TRUE(platform_.cursorHidden());
    EXPECT_FALSE(platform_.fullScreen());
    EXPECT_EQ(platform_.framesPresented(), 0u);
}

TEST_F(ViewerTest, StartUpOrderWithFullScreen) {
    writeScript(std::string("#setglobaloption fullscreen on\n") + kOnePage);
    platform_.steps = {{Kind::wait, 2, {}}};
    EXPECT_EQ(runViewer(platform_), 0);
    EXPECT_EQ(platform_.calls(), (std::vector<std::string>{
                                     "openRingDevice", "createWindow", "hideCursor",
                                     "enterFullScreen", "present", "stopPresenting", "postClose"}));
    EXPECT_TRUE(platform_.fullScreen());
    EXPECT_TRUE(platform_.messages().empty());
}

TEST_F(ViewerTest, FailedFullScreenIsReleasedBeforeAnyFrame) {
    writeScript(std::string("#setglobaloption fullscreen on\n") + kOnePage);
    platform_.fullScreenWorks = false;
    EXPECT_EQ(runViewer(platform_), 1);
    EXPECT_EQ(platform_.calls(),
              (std::vector<std::string>{"openRingDevice", "createWindow", "hideCursor",
                                        "enterFullScreen", "message", "leaveFullScreen"}));
}

TEST_F(ViewerTest, WindowedByDefault) {
    writeScript(kOnePage);
    EXPECT_EQ(runViewer(platform_), 0);
    EXPECT_TRUE(platform_.windowCreated());
    EXPECT_FALSE(platform_.cursorHidden());
    EXPECT_FALSE(platform_.fullScreen());
}

// After runViewer returns no frame may be drawn any more: the render thread has been joined.
void expectNoMoreFrames(const HeadlessPlatform& platform) {
    uint64_t frames = platform.framesPresented();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(platform.framesPresented(), frames);
}

TEST_F(ViewerTest, F12StopsAfterTheFrameInProgress) {
    writeScript(kOnePage);
    platform_.steps = {{Kind::wait, 10, {}}, {Kind::key, kVkF12, {}}, {Kind::wait, 5, {}}};
    EXPECT_EQ(runViewer(platform_), 0);
    // Frames 0 to 10 were drawn; the loop saw the cleared flag before frame 11.
    EXPECT_EQ(platform_.framesPresented(), 11u);
    EXPECT_EQ(platform_.calls(),
              (std::vector<std::string>{"openRingDevice", "createWindow", "present", "postClose",
                                        "stopPresenting"}));
    expectNoMoreFrames(platform_);
}

TEST_F(ViewerTest, F12AsTheLastStepEndsTheRun) {
    writeScript(kOnePage);
    platform_.steps = {{Kind::wait, 3, {}}, {Kind::key, kVkF12, {}}};
    EXPECT_EQ(runViewer(platform_), 0);
    EXPECT_EQ(platform_.framesPresented(), 4u);
    expectNoMoreFrames(platform_);
}

TEST_F(ViewerTest, ClosingTheWindowEndsWithZero) {
    writeScript(kOnePage);
    platform_.steps = {{Kind::wait, 5, {}}, {Kind::close, 0, {}}, {Kind::wait, 5, {}}};
    EXPECT_EQ(runViewer(platform_), 0);
    EXPECT_EQ(platform_.framesPresented(), 6u);
    expectNoMoreFrames(platform_);
}

TEST_F(ViewerTest, OtherKeysDoNotEndTheRun) {
    writeScript(kOnePage);
    platform_.steps = {{Kind::key, 'A', {}}, {Kind::key, kVkF11, {}}, {Kind::wait, 7, {}}};
    EXPECT_EQ(runViewer(platform_), 0);
    EXPECT_EQ(platform_.framesPresented(), 8u);
}

}  // namespace
}  // namespace qvl
