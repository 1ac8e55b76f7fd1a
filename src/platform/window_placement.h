// Where a new window goes on its monitor: the client area at the largest whole multiple of the
// 640 x 480 picture whose outer size (frame included) fits the monitor's work area, centred.
// Pure arithmetic in pixels, kept apart from any window system.
#pragma once

namespace qvl {

// A window's outer rectangle or a monitor's work area, in pixels.
struct ScreenRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const ScreenRect&) const = default;
};

// How far a window's frame (borders, title bar) reaches beyond its client area on each side.
struct FrameInsets {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The multiple is at least 1. A window larger than the work area starts at its top-left
// corner, so that the title bar stays within reach.
ScreenRect openingWindowRect(const ScreenRect& workArea, const FrameInsets& frame);

}  // namespace qvl
