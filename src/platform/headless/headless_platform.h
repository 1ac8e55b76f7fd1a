// The headless backend: no window, no devices. A virtual clock that only moves when the driver
// says, frames captured in memory, key presses and the close fed from a list of steps, messages
// and beeps recorded. Tests and the magshot tool run the whole viewer on it, deterministically.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace qvl {

// One step of a headless run, taken in order by runEventLoop.
struct HeadlessStep {
    enum class Kind { wait, key, close, call };
    Kind kind = Kind::wait;
    uint32_t value = 0;          // milliseconds for wait, virtual-key code for key
    std::function<void()> call;  // for call: runs on the loop's thread while the frame stands still
};

class HeadlessPlatform final : public Platform {
public:
    HeadlessPlatform() : lastFrame_(kFrameWidth * kFrameHeight, 0) {}

    // The steps runEventLoop takes; set before the run.
    std::vector<HeadlessStep> steps;
    // Simulated failures of the window and the full-screen switch, for start-up tests.
    WindowResult windowResult = WindowResult::ok;
    bool fullScreenWorks = true;
    // For tests that call the magazine's frame directly, without threads or an event loop:
    // present captures the frame and returns at once, and only setClock moves the clock.
    bool freeRunning = false;
    void setClock(uint64_t ms);

    void showMessage(std::string_view text) override;
    void beep() override;
    uint32_t tickCount() override;
    void sleepMs(uint32_t ms) override;
    WindowResult createWindow() override;
    bool enterFullScreen() override;
    void leaveFullScreen() override;
    void present(const uint16_t* frame) override;
    void stopPresenting() override;
    int runEventLoop(WindowEvents& events) override;
    void postClose() override;
    void quit(int exitCode) override;

    // What the run left behind. Read them after the run or from a call step.
    std::vector<std::string> messages() const;
    // The platform operations in the order they were first used: "message", "createWindow",
    // "hideCursor", "enterFullScreen", "leaveFullScreen", "present" (the first frame only),
    // "stopPresenting", "postClose".
    std::vector<std::string> calls() const;
    int beepCount() const;
    bool windowCreated() const;
    bool fullScreen() const;
    bool cursorHidden() const;
    uint64_t framesPresented() const;
    // The last frame presented (the one drawn at the current virtual time during a run).
    std::vector<uint16_t> lastFrame() const;

private:
    // Lets the render thread run until the clock reaches target, or until the render loop
    // has ended and posted its close.
    void advanceTo(uint64_t target, std::unique_lock<std::mutex>& lock);
    // Waits until the frame of the current time has been presented (or the render loop ended).
    void settle(std::unique_lock<std::mutex>& lock);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    void logCall(const char* name) { calls_.emplace_back(name); }

    std::vector<std::string> messages_;
    std::vector<std::string> calls_;
    int beeps_ = 0;
    bool windowCreated_ = false;
    bool fullScreen_ = false;
    bool cursorHidden_ = false;

    uint64_t now_ = 0;         // virtual milliseconds
    uint64_t allowedTo_ = 0;   // the render thread may move the clock up to here
    bool framePresented_ = false;  // a frame has been presented at the current time
    bool presenting_ = true;
    bool closePosted_ = false;
    bool quit_ = false;
    int exitCode_ = 0;
    uint64_t frames_ = 0;
    std::vector<uint16_t> lastFrame_;
};

}  // namespace qvl
