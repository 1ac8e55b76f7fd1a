// The render thread's pace on Windows: one frame a refresh of the display. Where the desktop
// compositor runs, its flush ends at the next refresh; where it does not (or returns early, as
// for a minimised window or under an emulation of Windows), the thread's own clock waits out the
// refresh period of the window's monitor, 60 Hz when the monitor tells none.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>

namespace qvl {

class FramePacer {
  public:
    FramePacer();
    ~FramePacer();
    FramePacer(const FramePacer&) = delete;
    FramePacer& operator=(const FramePacer&) = delete;

    // The refresh rate of the monitor the window is on; callable from any thread.
    void readRefreshRate(HWND window);
    // Render thread: returns when the next frame is due, or at once after stop.
    void waitForNextFrame(bool compositor);
    // Ends every wait, now and later; callable from any thread.
    void stop();

  private:
    using Clock = std::chrono::steady_clock;
    void waitUntil(Clock::time_point due);

    HANDLE stopped_;  // manual-reset event, set by stop
    bool timerPeriod_ = false;
    std::atomic<int> periodUs_{1000000 / 60};
    Clock::time_point due_{};  // render thread only: when the last frame was due
};

}  // namespace qvl
