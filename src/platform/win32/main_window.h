// The main window: the class "vandrel", the window "quorvel" with a 640 x 480 client area, and
// WindowProc with its messages (close, destroy, key down, paint, display change) and the
// program's own wake, handed to whoever owns the window through MainWindowEvents.
#pragma once

#include <windows.h>

namespace qvl {

inline constexpr const char* kWindowClassName = "vandrel";
inline constexpr const char* kWindowTitle = "quorvel";
inline constexpr DWORD kWindowStyle = WS_SYSMENU;
// The program's own message that another thread posts to wake the loop's thread.
inline constexpr UINT kWakeMessage = WM_APP + 1;

// What WindowProc hands on, on the thread that runs the message loop.
class MainWindowEvents {
  public:
    virtual void windowClosing() = 0;  // WM_CLOSE or WM_DESTROY, whichever comes first or again
    // WM_KEYDOWN: the key's code, the modifier flags (platform/window_input.h) held with it and
    // whether it is an auto-repeat.
    virtual void windowKeyDown(int virtualKey, unsigned modifiers, bool repeat) = 0;
    virtual void windowWoken() = 0;  // kWakeMessage
    // WM_PAINT: the frame on screen again, through the paint's device context.
    virtual void windowPaint(HDC dc) = 0;
    // WM_DISPLAYCHANGE: the display's mode (and with it its refresh rate) may have changed.
    virtual void windowDisplayChanged() = 0;

  protected:
    ~MainWindowEvents() = default;
};

enum class MainWindowResult { ok, classFailed, windowFailed };

// The outer size of a window of kWindowStyle whose client area is 640 x 480 on this system's
// window metrics.
SIZE mainWindowSize();

// Registers the class (once per process) and creates and shows the window; its messages go to
// events from then on.
MainWindowResult CreateMainWindow(int showCommand, HINSTANCE instance, MainWindowEvents& events,
                                  HWND& window);

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace qvl
