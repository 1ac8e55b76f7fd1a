// The frame format of the whole viewer and the one operation that shows a finished frame.
// A frame is 640 x 480 RGB565 pixels (red bits 15-11, green 10-5, blue 4-0), top row first.
#pragma once

#include <cstdint>

#include "platform/window_host.h"

namespace qvl {

inline constexpr int kFramePixels = kFrameWidth * kFrameHeight;  // 307200
inline constexpr int kFrameBytes = kFramePixels * 2;             // 614400

// Display modes the script's option "fullscreen" chooses between.
enum DisplayMode : int32_t { kDisplayWindowed = 0, kDisplayFullScreen = 3 };

// Clamps each component to 0..255 and packs it by dropping low bits (never rounding).
uint32_t packRgb565(int red, int green, int blue);

// Owns the frame buffer and presents it through the window host in the chosen mode.
class Display {
  public:
    explicit Display(WindowHost& window) : window_(window) {}

    // The present set-up: nothing to build here, since the window host takes RGB565 as it is.
    bool setup() { return true; }
    // Hides the cursor and switches to the 640 x 480 full-screen picture.
    bool initDirectDraw() { return window_.enterFullScreen(); }
    void releaseDirectDraw() { window_.leaveFullScreen(); }
    // Shows a finished frame; does nothing once the window's drawing has been released.
    void presentFrame(const uint16_t* pixels) { window_.present(pixels); }

  private:
    WindowHost& window_;
};

}  // namespace qvl
