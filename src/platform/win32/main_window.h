// The main window: the class "vandrel", the resizable window "quorvel" that opens at the
// largest whole multiple of the picture its monitor's work area holds, counted in the display's
// own pixels, and WindowProc with the messages it hands to whoever owns the window through
// MainWindowEvents.
#pragma once

#include <windows.h>

namespace qvl {

inline constexpr const char* kWindowClassName = "vandrel";
inline constexpr const char* kWindowTitle = "quorvel";
// Resizable, with minimise and maximise boxes: the picture scales to whatever size it is given.
inline constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW;
// The program's own message that another thread posts to wake the loop's thread.
inline constexpr UINT kWakeMessage = WM_APP + 1;
// The window's one timer, which looks whether the pointer has rested long enough to hide.
inline constexpr UINT_PTR kPointerTimer = 1;

// What WindowProc hands on, on the thread that runs the message loop.
class MainWindowEvents {
  public:
    virtual void windowClosing() = 0;  // WM_CLOSE or WM_DESTROY, whichever comes first or again
    // WM_KEYDOWN: the key's code, the modifier flags (platform/window_input.h) held with it and
    // whether it is an auto-repeat.
    virtual void windowKeyDown(int virtualKey, unsigned modifiers, bool repeat) = 0;
    // WM_SYSKEYDOWN (keys with Alt, and F10): true when the viewer took the key, which then
    // goes no further; the others are the system's (Alt+F4, Alt+Space, the window menu).
    virtual bool windowSysKeyDown(int virtualKey, unsigned modifiers, bool repeat) = 0;
    // WM_LBUTTONDOWN at a client-area position, in pixels.
    virtual void windowPointerPressed(int x, int y) = 0;
    // WM_MOUSEMOVE at a client-area position; also sent when the window moves under a
    // pointer at rest.
    virtual void windowPointerMoved(int x, int y) = 0;
    // WM_SETCURSOR over the client area: true when the handler set the pointer's shape.
    virtual bool windowSetCursor() = 0;
    // WM_TIMER of the window's one timer.
    virtual void windowTimer() = 0;
    // WM_MOUSEWHEEL: the turn in the wheel's own units, WHEEL_DELTA a notch, positive away
    // from the reader.
    virtual void windowWheelTurned(int delta) = 0;
    virtual void windowWoken() = 0;  // kWakeMessage
    // WM_PAINT: the frame on screen again, through the paint's device context.
    virtual void windowPaint(HDC dc) = 0;
    // WM_DISPLAYCHANGE: the display's mode (and with it its refresh rate) may have changed.
    virtual void windowDisplayChanged() = 0;
    // WM_DPICHANGED: the window moved to a monitor of another pixel density, and Windows
    // suggests its new outer rectangle.
    virtual void windowDpiChanged(const RECT& suggested) = 0;

  protected:
    ~MainWindowEvents() = default;
};

enum class MainWindowResult { ok, classFailed, windowFailed };

// Puts the window at the largest whole multiple of the picture whose outer size fits the work
// area of its monitor, centred there; returns the client size it aimed at.
SIZE placeOnMonitor(HWND window);

// Registers the class (once per process) and creates and shows the window; its messages go to
// events from then on.
MainWindowResult CreateMainWindow(int showCommand, HINSTANCE instance, MainWindowEvents& events,
                                  HWND& window);

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace qvl
