// Frame pacing by the compositor's flush, the monitor's refresh rate and a stop event.
#include "platform/win32/frame_pacer.h"

#include <dwmapi.h>
#include <mmsystem.h>

#include <algorithm>

namespace qvl {

FramePacer::FramePacer() : stopped_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    // The default timer would stretch a wait of a few milliseconds to 15.6 ms, so that the
    // clock could keep no more than half of a 60 Hz display's pace.
    timerPeriod_ = timeBeginPeriod(1) == TIMERR_NOERROR;
}

FramePacer::~FramePacer() {
    if (timerPeriod_) timeEndPeriod(1);
    if (stopped_) CloseHandle(stopped_);
}

void FramePacer::readRefreshRate(HWND window) {
    MONITORINFOEXA monitor{};
    monitor.cbSize = sizeof(monitor);
    DEVMODEA mode{};
    mode.dmSize = sizeof(mode);
    int hertz = 0;
    if (GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor) &&
        EnumDisplaySettingsA(monitor.szDevice, ENUM_CURRENT_SETTINGS, &mode))
        hertz = static_cast<int>(mode.dmDisplayFrequency);
    // guard: 0 and 1 stand for the hardware's default rate, which no one tells
    if (hertz <= 1 || hertz > 1000) hertz = 60;
    periodUs_.store(1000000 / hertz);
}

void FramePacer::waitForNextFrame(bool compositor) {
    const auto period = std::chrono::microseconds(periodUs_.load());
    if (compositor && WaitForSingleObject(stopped_, 0) == WAIT_TIMEOUT && DwmFlush() == S_OK) {
        // The flush ends at a refresh; one that comes back before a refresh can have passed
        // since the last frame waited for nothing (no compositor at work, a minimised window),
        // and the clock waits out the period.
        if (Clock::now() - due_ < period * 3 / 4) waitUntil(due_ + period);
        due_ = Clock::now();
        return;
    }
    // A loop that has fallen behind starts counting afresh rather than hurrying to catch up.
    due_ = std::max(due_ + period, Clock::now());
    waitUntil(due_);
}

void FramePacer::waitUntil(Clock::time_point due) {
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now()).count();
        // Less than a millisecond is not worth a wait the timer cannot keep anyway.
        if (left < 1) return;
        if (WaitForSingleObject(stopped_, static_cast<DWORD>(left)) != WAIT_TIMEOUT) return;
    }
}

void FramePacer::stop() {
    SetEvent(stopped_);
}

}  // namespace qvl
