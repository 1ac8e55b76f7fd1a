// The style and placement saved on the way in and restored on the way out.
#include "platform/win32/borderless_full_screen.h"

namespace qvl {

void BorderlessFullScreen::enter(HWND window) {
    if (active_) return;
    placement_.length = sizeof(placement_);
    if (!GetWindowPlacement(window, &placement_)) return;
    style_ = GetWindowLongPtrA(window, GWL_STYLE);
    SetWindowLongPtrA(window, GWL_STYLE, style_ & ~WS_OVERLAPPEDWINDOW);
    active_ = true;
    coverMonitor(window);
}

void BorderlessFullScreen::leave(HWND window) {
    if (!active_) return;
    active_ = false;
    SetWindowLongPtrA(window, GWL_STYLE, style_);
    // The placement brings back a maximised window maximised, with its size before that too.
    SetWindowPlacement(window, &placement_);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
}

void BorderlessFullScreen::coverMonitor(HWND window) {
    if (!active_) return;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const RECT& area = monitor.rcMonitor;  // the whole monitor, task bar included
    SetWindowPos(window, HWND_TOP, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
}

}  // namespace qvl
