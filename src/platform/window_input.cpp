// The chords and the conversion of pointer and wheel input for WindowEvents.
#include "platform/window_input.h"

#include <algorithm>
#include <cmath>

#include "base/virtual_keys.h"

namespace qvl {

namespace {

// Ctrl+C (either Ctrl, Shift allowed): AltGr, which is Ctrl+Alt on some layouts, and the
// system key leave C to the magazine.
bool isCopyChord(int virtualKey, unsigned modifiers) {
    return virtualKey == 'C' && (modifiers & kModControl) && !(modifiers & (kModAlt | kModSystem));
}

// Alt+Enter (either Enter), without Ctrl (AltGr) or the system key.
bool isFullScreenChord(int virtualKey, unsigned modifiers) {
    return virtualKey == kVkReturn && (modifiers & kModAlt) &&
           !(modifiers & (kModControl | kModSystem));
}

// guard: a wheel that reports absurd distances gives at most this many notches at a time
constexpr double kMaxNotches = 1 << 16;

}  // namespace

bool WindowInput::keyPressed(int virtualKey, unsigned modifiers, bool repeat) {
    if (isCopyChord(virtualKey, modifiers)) {
        if (!repeat) controls_.putOnClipboard(events_.pageText());
        return true;
    }
    if (isFullScreenChord(virtualKey, modifiers)) {
        if (!repeat) controls_.toggleFullScreen();
        return true;
    }
    events_.keyDown(virtualKey);
    return false;
}

bool WindowInput::isChord(int virtualKey, unsigned modifiers) {
    return isCopyChord(virtualKey, modifiers) || isFullScreenChord(virtualKey, modifiers);
}

bool WindowInput::pointerPressed(int x, int y, const PictureRect& picture) {
    int pictureX = 0, pictureY = 0;
    return picturePointAt(picture, x, y, pictureX, pictureY) &&
           events_.pointerPressed(pictureX, pictureY);
}

void WindowInput::wheelTurned(double steps) {
    if (!std::isfinite(steps)) return;  // guard: no notches from a broken delta
    wheelRest_ = std::clamp(wheelRest_ + steps, -kMaxNotches, kMaxNotches);
    const double whole = std::trunc(wheelRest_);
    if (whole == 0) return;
    wheelRest_ -= whole;
    events_.wheelTurned(static_cast<int>(whole));
}

}  // namespace qvl
