// The headless backend: no window, no devices. A virtual clock that only moves when the driver
// says, frames captured in memory, key presses and the close fed from a list of steps, a ring
// device that plays in lockstep with the clock, messages and beeps recorded. Mouse presses and
// wheel notches come from the steps too, already in picture pixels. Tests and the
// magshot tool run the whole viewer on it, deterministically.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"

namespace qvl {

// One step of a headless run, taken in order by runEventLoop.
struct HeadlessStep {
    enum class Kind { wait, key, close, call, press, wheel };
    Kind kind = Kind::wait;
    uint32_t value = 0;          // milliseconds for wait, virtual-key code for key
    std::function<void()> call;  // for call: runs on the loop's thread while the frame stands still
    int x = 0, y = 0;            // press: the picture pixel; wheel: notches in y (up positive)
};

class HeadlessPlatform final : public Platform {
  public:
    HeadlessPlatform();
    ~HeadlessPlatform() override;

    // The steps runEventLoop takes; set before the run.
    std::vector<HeadlessStep> steps;
    // Simulated failures, for start-up tests.
    WindowResult windowResult = WindowResult::ok;
    bool fullScreenWorks = true;
    bool soundWorks = true;
    // Keeps messages off standard error (they are still recorded), for fuzzing.
    bool quiet = false;
    // For tests that call the magazine's frame directly, without threads or an event loop:
    // present captures the frame and returns at once, and only setClock moves the clock.
    bool freeRunning = false;
    // Moves the clock forward to ms, a millisecond at a time, as a run's frames would.
    void setClock(uint64_t ms);
    // Virtual milliseconds a presented frame stands for: 1 lets a test see every millisecond;
    // a long run takes a display's pace (16) so that an hour is not 3.6 million frames.
    uint32_t frameMs = 1;
    // playedAudio keeps at most this many of the latest frames: an hour of sound is 635 MB.
    size_t keptAudioFrames = SIZE_MAX;

    void showMessage(std::string_view text) override;
    void noteLine(std::string_view text) override;
    void beep() override;
    uint32_t tickCount() override;
    // On the thread that created the platform (the driver's) a sleep takes no virtual time,
    // except while the event loop runs: there it moves the clock on by ms with no frame taken,
    // as a main thread that sleeps holds up a render thread that waits for it to take each
    // frame (the SDL backend's). Any other thread sleeps on the virtual clock, and the clock
    // does not move on until every such thread that is due has run and gone back to sleep:
    // that keeps the output thread in lockstep with the ring device.
    void sleepMs(uint32_t ms) override;
    WindowResult createWindow() override;
    bool enterFullScreen() override;
    void leaveFullScreen() override;
    void present(const uint16_t* frame) override;
    void stopPresenting() override;
    int runEventLoop(WindowEvents& events) override;
    void postClose() override;
    // From another thread: the loop delivers wake at the current virtual time, and the caller
    // waits until it has been handled, so that a run stays the same from one time to the next.
    // On the loop's thread: wake at once.
    void postWake() override;
    void quit(int exitCode) override;
    // The device plays rate / 1000 frames a virtual millisecond from virtual time 0.
    std::unique_ptr<RingDevice> openRingDevice(int rate, const int16_t* ring, int frames) override;

    // The text of the page shown, from the viewer running the event loop; for call steps.
    std::string pageText();

    // What the run left behind. Read them after the run or from a call step.
    std::vector<std::string> messages() const;
    // The lines noted for standard error alone (noteLine), in order.
    std::vector<std::string> notes() const;
    // The platform operations in the order they were first used: "message", "createWindow",
    // "hideCursor", "enterFullScreen", "leaveFullScreen", "present" (the first frame only),
    // "stopPresenting", "postClose", "openRingDevice".
    std::vector<std::string> calls() const;
    int beepCount() const;
    bool windowCreated() const;
    bool fullScreen() const;
    bool cursorHidden() const;
    uint64_t framesPresented() const;
    // The last frame presented (the one drawn at the current virtual time during a run).
    std::vector<uint16_t> lastFrame() const;
    // What the ring device has played, interleaved left and right: everything from its first
    // frame, or the latest keptAudioFrames frames.
    std::vector<int16_t> playedAudio() const;
    // All the frames the ring device has played, kept or not.
    uint64_t audioFramesPlayed() const;
    int playRate() const;

  private:
    class Device;

    void logCall(const char* name) { calls_.emplace_back(name); }
    // Moves the clock one millisecond on, once every due sleeper is back asleep; the device
    // plays the frames of that millisecond.
    void tick(std::unique_lock<std::mutex>& lock);
    // Lets the render thread run until the clock reaches target, or until the render loop
    // has ended and posted its close.
    void advanceTo(uint64_t target, std::unique_lock<std::mutex>& lock);
    // Waits until the frame of the current time has been presented (or the render loop ended),
    // delivering the wakes posted meanwhile.
    void settle(std::unique_lock<std::mutex>& lock);
    // Waits until done says so, delivering the wakes posted meanwhile.
    template <typename Done>
    void waitDelivering(std::unique_lock<std::mutex>& lock, Done done);
    void closeDevice(Device* device);
    uint64_t framesAt(uint64_t ms) const { return ms * static_cast<uint64_t>(rate_) / 1000; }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::thread::id driver_;
    WindowEvents* events_ = nullptr;  // while runEventLoop runs
    std::vector<std::string> messages_;
    std::vector<std::string> notes_;
    std::vector<std::string> calls_;
    int beeps_ = 0;
    bool windowCreated_ = false;
    bool fullScreen_ = false;
    bool cursorHidden_ = false;

    uint64_t now_ = 0;             // virtual milliseconds
    uint64_t allowedTo_ = 0;       // the render thread may move the clock up to here
    bool framePresented_ = false;  // a frame has been presented at the current time
    bool presenting_ = true;
    bool closePosted_ = false;
    bool wakePosted_ = false;  // until the loop has handled it
    bool quit_ = false;
    bool runOver_ = false;  // the event loop has ended: sleeps no longer wait for the clock
    int exitCode_ = 0;
    uint64_t frames_ = 0;
    std::vector<uint16_t> lastFrame_;

    int awake_ = 0;                      // sleeping threads of the clock that are not asleep
    std::multiset<uint64_t> wakeTimes_;  // when each sleeping one is due

    Device* device_ = nullptr;
    bool pollerStopping_ = false;
    const int16_t* ring_ = nullptr;
    int ringFrames_ = 0;
    int rate_ = 0;
    std::vector<int16_t> played_;
    uint64_t framesPlayed_ = 0;
};

}  // namespace qvl
