// The viewer's own keys and the mouse, alike in every backend: a backend hands on its raw key
// presses, pointer presses and wheel turns; Ctrl+C copies the page's text and Alt+Enter
// switches full screen, and everything else reaches WindowEvents as keys, picture pixels and
// whole notches. No magazine ever sees a chord.
#pragma once

#include <string>

#include "platform/picture_scale.h"
#include "platform/window_host.h"

namespace qvl {

// The modifier keys held with a key press, as flags.
inline constexpr unsigned kModShift = 1;
inline constexpr unsigned kModControl = 2;
inline constexpr unsigned kModAlt = 4;
inline constexpr unsigned kModSystem = 8;  // the Windows or Command key

// What the chords ask of a backend; one that offers no full screen or clipboard does nothing.
class WindowControls {
  public:
    virtual void toggleFullScreen() = 0;
    virtual void putOnClipboard(const std::string& text) = 0;

  protected:
    ~WindowControls() = default;
};

class WindowInput {
  public:
    WindowInput(WindowEvents& events, WindowControls& controls)
        : events_(events), controls_(controls) {}

    // One key press: its virtual-key code, the modifiers held and whether it is an auto-repeat.
    // True when it was a chord, which the backend keeps from the system's own action too; a
    // held chord acts once.
    bool keyPressed(int virtualKey, unsigned modifiers, bool repeat);
    // Whether a key press with these modifiers is a chord, for a backend that receives some
    // keys apart (Windows' system keys) and hands only the chords among them on.
    static bool isChord(int virtualKey, unsigned modifiers);
    // A press of the main button at output pixel (x, y) while the picture is shown at picture;
    // presses beside the picture go nowhere. True when it hit a menu entry.
    bool pointerPressed(int x, int y, const PictureRect& picture);
    // The wheel turned by steps notches, positive away from the reader; the fractions that
    // fine wheels and touch pads give add up to whole notches.
    void wheelTurned(double steps);

  private:
    WindowEvents& events_;
    WindowControls& controls_;
    double wheelRest_ = 0;  // the part of a notch turned so far
};

}  // namespace qvl
