// Full screen as a window: the frame dropped and the window stretched over its whole monitor
// in the monitor's own mode, and back to the size, place and state it had. No mode switch, so
// the change is quick and other windows stay as they are.
#pragma once

#include <windows.h>

namespace qvl {

class BorderlessFullScreen {
  public:
    bool active() const { return active_; }
    // Main thread, like every window operation here.
    void enter(HWND window);
    void leave(HWND window);
    // Covers the monitor again, after its mode or pixel density changed.
    void coverMonitor(HWND window);

  private:
    bool active_ = false;
    WINDOWPLACEMENT placement_{};
    LONG_PTR style_ = 0;
};

}  // namespace qvl
