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

using Lines = std::vector<std::string>;
const char kScriptMessage[] = "script could not be loaded! terminating...";

// Each start-up failure: its messages, exit code 1 and no frame. An empty script means none.
TEST_F(ViewerTest, StartUpFailuresEndWithTheirMessages) {
    const std::string fullScreen = std::string("#setglobaloption fullscreen on\n") + kOnePage;
    struct Case {
        const char* name;
        std::string script;
        WindowResult window;
        bool fullScreenWorks;
        Lines messages;
    } cases[] = {
        {"no script", "", WindowResult::ok, true, {kScriptMessage}},
        {"100 MB script", "big", WindowResult::ok, true, {kScriptMessage}},
        {"class",
         kOnePage,
         WindowResult::classFailed,
         true,
         {"registering window class failed!", "initialization of window failed!"}},
        {"window",
         kOnePage,
         WindowResult::windowFailed,
         true,
         {"initialization of window failed!"}},
        {"full screen",
         fullScreen,
         WindowResult::ok,
         false,
         {"initialization of directdraw interface failed!"}},
    };
    for (const Case& c : cases) {
        fs::remove(kScriptName);
        if (!c.script.empty()) writeScript(c.script);
        if (c.script == "big") fs::resize_file(kScriptName, 100u << 20);  // refused by size alone
        HeadlessPlatform platform;
        platform.windowResult = c.window;
        platform.fullScreenWorks = c.fullScreenWorks;
        EXPECT_EQ(runViewer(platform), 1) << c.name;
        EXPECT_EQ(platform.messages(), c.messages) << c.name;
        EXPECT_EQ(platform.framesPresented(), 0u) << c.name;
        EXPECT_EQ(platform.windowCreated(), !c.fullScreenWorks) << c.name;  // only that one made it
        EXPECT_FALSE(platform.fullScreen()) << c.name;  // a failed full screen is released
        if (!c.fullScreenWorks) {
            EXPECT_TRUE(platform.cursorHidden());
            EXPECT_EQ(platform.calls(), (Lines{"openRingDevice", "createWindow", "hideCursor",
                                               "enterFullScreen", "message", "leaveFullScreen"}));
        }
    }
}

TEST_F(ViewerTest, StartUpOrderWithFullScreenAndWindowedByDefault) {
    writeScript(std::string("#setglobaloption fullscreen on\n") + kOnePage);
    platform_.steps = {{Kind::wait, 2, {}}};
    EXPECT_EQ(runViewer(platform_), 0);
    EXPECT_EQ(platform_.calls(),
              (Lines{"openRingDevice", "createWindow", "hideCursor", "enterFullScreen", "present",
                     "stopPresenting", "postClose"}));
    EXPECT_TRUE(platform_.fullScreen());
    EXPECT_TRUE(platform_.messages().empty());

    writeScript(kOnePage);
    HeadlessPlatform windowed;
    EXPECT_EQ(runViewer(windowed), 0);
    EXPECT_TRUE(windowed.windowCreated());
    EXPECT_FALSE(windowed.cursorHidden());
    EXPECT_FALSE(windowed.fullScreen());
}

// F12 and closing the window end the run with 0 after the frame in progress (frames 0 to the
// last wait's end); other keys do not. After runViewer returns no frame may be drawn any more:
// the render thread has been joined.
TEST_F(ViewerTest, F12AndCloseEndTheRunWithTheRenderThreadStopped) {
    writeScript(kOnePage);
    struct Case {
        const char* name;
        std::vector<HeadlessStep> steps;
        uint64_t frames;
    } cases[] = {
        {"F12", {{Kind::wait, 10, {}}, {Kind::key, kVkF12, {}}, {Kind::wait, 5, {}}}, 11},
        {"F12 last", {{Kind::wait, 3, {}}, {Kind::key, kVkF12, {}}}, 4},
        {"close", {{Kind::wait, 5, {}}, {Kind::close, 0, {}}, {Kind::wait, 5, {}}}, 6},
        {"other keys", {{Kind::key, 'A', {}}, {Kind::key, kVkF11, {}}, {Kind::wait, 7, {}}}, 8},
    };
    for (const Case& c : cases) {
        HeadlessPlatform platform;
        platform.steps = c.steps;
        EXPECT_EQ(runViewer(platform), 0) << c.name;
        EXPECT_EQ(platform.framesPresented(), c.frames) << c.name;
        if (c.frames == 11) {
            EXPECT_EQ(platform.calls(), (Lines{"openRingDevice", "createWindow", "present",
                                               "postClose", "stopPresenting"}));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        EXPECT_EQ(platform.framesPresented(), c.frames) << c.name;
    }
}

}  // namespace
}  // namespace qvl
