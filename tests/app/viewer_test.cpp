// The shell on the headless backend: start-up order, every start-up failure with its message
// and exit code, and the ways of ending, each with the render thread stopped.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "../support/scratch_dir.h"
#include "../support/test_font.h"
#include "app/viewer.h"
#include "base/virtual_keys.h"
#include "platform/headless/headless_platform.h"
#include "script/magazine_model.h"

namespace qvl {
namespace {

using Kind = HeadlessStep::Kind;
using Lines = std::vector<std::string>;

const std::string kOnePage = "#definepages 1\n#startpage 0 \"home\"\nhello\n";
const std::string kFullScreen = "#setglobaloption fullscreen on\n" + kOnePage;

class ViewerTest : public testing::ScratchDir {
  protected:
    void SetUp() override {
        ScratchDir::SetUp();
        testing::writeTestFont(dir());
    }
};

// Each start-up failure: its messages, exit code 1 and no frame; a failed full screen is
// released. An empty script means none; a script of 100 MB is refused by its size alone.
TEST_F(ViewerTest, StartUpFailuresEndWithTheirMessages) {
    const std::string script = "script could not be loaded! terminating...",
                      window = "initialization of window failed!";
    const struct {
        std::string script;
        WindowResult window;
        bool fullScreenWorks;
        Lines messages;
    } cases[] = {
        {"", WindowResult::ok, true, {script}},
        {"big", WindowResult::ok, true, {script}},
        {kOnePage, WindowResult::classFailed, true, {"registering window class failed!", window}},
        {kOnePage, WindowResult::windowFailed, true, {window}},
        {kFullScreen, WindowResult::ok, false, {"initialization of directdraw interface failed!"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.messages[0]);
        std::filesystem::remove(kScriptName);
        if (!c.script.empty()) writeFile(kScriptName, c.script);
        if (c.script == "big") std::filesystem::resize_file(kScriptName, 100u << 20);
        HeadlessPlatform platform;
        platform.windowResult = c.window;
        platform.fullScreenWorks = c.fullScreenWorks;
        EXPECT_EQ(runViewer(platform), 1);
        EXPECT_EQ(platform.messages(), c.messages);
        EXPECT_EQ(platform.framesPresented(), 0u);
        EXPECT_EQ(platform.windowCreated(), !c.fullScreenWorks);  // only that one made it
        EXPECT_FALSE(platform.fullScreen());
        if (!c.fullScreenWorks) {
            EXPECT_EQ(platform.calls(), (Lines{"openRingDevice", "createWindow", "hideCursor",
                                               "enterFullScreen", "message", "leaveFullScreen"}));
        }
    }
}

// Runs end with 0 after the frame in progress (frames 0 to the last wait's end): at the end of
// the steps, on F12 or on a close; other keys do not end them. Full screen hides the cursor.
// After runViewer returns no frame may be drawn any more: the render thread has been joined.
TEST_F(ViewerTest, RunsEndWithZeroAndTheRenderThreadStopped) {
    const struct {
        const char* name;
        bool fullScreen;
        std::vector<HeadlessStep> steps;
        uint64_t frames;
        Lines calls;
    } cases[] = {
        {"full screen",
         true,
         {{Kind::wait, 2, {}}},
         3,
         {"openRingDevice", "createWindow", "hideCursor", "enterFullScreen", "present",
          "stopPresenting", "postClose"}},
        {"F12",
         false,
         {{Kind::wait, 10, {}}, {Kind::key, kVkF12, {}}, {Kind::wait, 5, {}}},
         11,
         {"openRingDevice", "createWindow", "present", "postClose", "stopPresenting"}},
        {"F12 last", false, {{Kind::wait, 3, {}}, {Kind::key, kVkF12, {}}}, 4, {}},
        {"close", false, {{Kind::wait, 5, {}}, {Kind::close, 0, {}}, {Kind::wait, 5, {}}}, 6, {}},
        {"other keys",
         false,
         {{Kind::key, 'A', {}}, {Kind::key, kVkF11, {}}, {Kind::wait, 7, {}}},
         8,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(kScriptName, c.fullScreen ? kFullScreen : kOnePage);
        HeadlessPlatform platform;
        platform.steps = c.steps;
        EXPECT_EQ(runViewer(platform), 0);
        EXPECT_EQ(platform.framesPresented(), c.frames);
        EXPECT_TRUE(platform.messages().empty());
        EXPECT_TRUE(platform.windowCreated());
        EXPECT_EQ(platform.fullScreen(), c.fullScreen);
        EXPECT_EQ(platform.cursorHidden(), c.fullScreen);
        if (!c.calls.empty()) {
            EXPECT_EQ(platform.calls(), c.calls);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        EXPECT_EQ(platform.framesPresented(), c.frames);
    }
}

}  // namespace
}  // namespace qvl
