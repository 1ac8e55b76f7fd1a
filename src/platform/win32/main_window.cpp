// Window class, window creation and the window procedure.
#include "platform/win32/main_window.h"

#include <windowsx.h>

#include "base/virtual_keys.h"
#include "platform/window_host.h"
#include "platform/window_input.h"
#include "platform/window_placement.h"

namespace qvl {

namespace {

// WM_KEYDOWN's key code goes on unchanged, so the program's names must be Windows' own codes.
static_assert(kVkBack == VK_BACK && kVkTab == VK_TAB && kVkReturn == VK_RETURN);
static_assert(kVkShift == VK_SHIFT && kVkControl == VK_CONTROL && kVkMenu == VK_MENU);
static_assert(kVkPause == VK_PAUSE && kVkCapital == VK_CAPITAL && kVkEscape == VK_ESCAPE);
static_assert(kVkSpace == VK_SPACE && kVkPrior == VK_PRIOR && kVkNext == VK_NEXT);
static_assert(kVkEnd == VK_END && kVkHome == VK_HOME && kVkLeft == VK_LEFT && kVkUp == VK_UP);
static_assert(kVkRight == VK_RIGHT && kVkDown == VK_DOWN && kVkSnapshot == VK_SNAPSHOT);
static_assert(kVkInsert == VK_INSERT && kVkDelete == VK_DELETE && kVkLWin == VK_LWIN);
static_assert(kVkRWin == VK_RWIN && kVkApps == VK_APPS && kVkNumpad0 == VK_NUMPAD0);
static_assert(kVkMultiply == VK_MULTIPLY && kVkAdd == VK_ADD && kVkSubtract == VK_SUBTRACT);
static_assert(kVkDecimal == VK_DECIMAL && kVkDivide == VK_DIVIDE && kVkF1 == VK_F1);
static_assert(kVkF2 == VK_F2 && kVkF3 == VK_F3 && kVkF4 == VK_F4 && kVkF5 == VK_F5);
static_assert(kVkF6 == VK_F6 && kVkF7 == VK_F7 && kVkF8 == VK_F8 && kVkF9 == VK_F9);
static_assert(kVkF10 == VK_F10 && kVkF11 == VK_F11 && kVkF12 == VK_F12);
static_assert(kVkF13 == VK_F13 && kVkF24 == VK_F24);
static_assert(kVkNumLock == VK_NUMLOCK && kVkScroll == VK_SCROLL && kVkOem1 == VK_OEM_1);
static_assert(kVkOemPlus == VK_OEM_PLUS && kVkOemComma == VK_OEM_COMMA);
static_assert(kVkOemMinus == VK_OEM_MINUS && kVkOemPeriod == VK_OEM_PERIOD);
static_assert(kVkOem2 == VK_OEM_2 && kVkOem3 == VK_OEM_3 && kVkOem4 == VK_OEM_4);
static_assert(kVkOem5 == VK_OEM_5 && kVkOem6 == VK_OEM_6 && kVkOem7 == VK_OEM_7);

bool registerWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);  // 48
    windowClass.style = CS_BYTEALIGNCLIENT;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    // No cursor of its own: the pointer keeps whatever shape it had.
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kWindowClassName;
    if (RegisterClassExA(&windowClass)) return true;
    // guard: a second window in the same process (tests) finds the class already there
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The modifier keys down while the message was posted.
unsigned heldModifiers() {
    auto down = [](int key) { return GetKeyState(key) < 0; };
    return (down(VK_SHIFT) ? kModShift : 0u) | (down(VK_CONTROL) ? kModControl : 0u) |
           (down(VK_MENU) ? kModAlt : 0u) | (down(VK_LWIN) || down(VK_RWIN) ? kModSystem : 0u);
}

// A routine of user32 that older Windows lack (per-monitor DPI came with Windows 10), or none.
template <typename Routine>
Routine user32Routine(const char* name) {
    FARPROC found = GetProcAddress(GetModuleHandleA("user32.dll"), name);
    // Through the generic routine type, which converts to any other without a warning.
    return reinterpret_cast<Routine>(reinterpret_cast<void (*)()>(found));
}

// How far the window's frame reaches beyond its client area, at the window's pixel density.
FrameInsets frameInsets(HWND window) {
    using GetDpiForWindowRoutine = UINT(WINAPI*)(HWND);
    using AdjustForDpiRoutine = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto getDpi = user32Routine<GetDpiForWindowRoutine>("GetDpiForWindow");
    static const auto adjust = user32Routine<AdjustForDpiRoutine>("AdjustWindowRectExForDpi");
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE));
    RECT rect{0, 0, kFrameWidth, kFrameHeight};
    const UINT dpi = getDpi ? getDpi(window) : 0;
    // Without per-monitor DPI the system's metrics are those of the one density there is.
    if (!(adjust && dpi && adjust(&rect, style, FALSE, exStyle, dpi)))
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return FrameInsets{-rect.left, -rect.top, rect.right - kFrameWidth, rect.bottom - kFrameHeight};
}

}  // namespace

SIZE placeOnMonitor(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const FrameInsets frame = frameInsets(window);
    const ScreenRect outer = openingWindowRect(
        {work.left, work.top, work.right - work.left, work.bottom - work.top}, frame);
    SetWindowPos(window, nullptr, outer.x, outer.y, outer.width, outer.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    const SIZE wanted{outer.width - frame.left - frame.right,
                      outer.height - frame.top - frame.bottom};
    RECT client{};
    if (GetClientRect(window, &client) &&
        (client.right != wanted.cx || client.bottom != wanted.cy)) {
        // guard: metrics the sum did not foresee (a theme, a title bar taller than reported)
        // are evened out by the difference the window itself shows
        SetWindowPos(window, nullptr, 0, 0, outer.width + wanted.cx - client.right,
                     outer.height + wanted.cy - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return wanted;
}

MainWindowResult CreateMainWindow(int showCommand, HINSTANCE instance, MainWindowEvents& events,
                                  HWND& window) {
    window = nullptr;
    if (!registerWindowClass(instance)) return MainWindowResult::classFailed;
    // Made hidden where Windows would put it, so that its monitor is known before its size.
    HWND created = CreateWindowExA(0, kWindowClassName, kWindowTitle, kWindowStyle, CW_USEDEFAULT,
                                   CW_USEDEFAULT, kFrameWidth, kFrameHeight, nullptr, nullptr,
                                   instance, nullptr);
    if (!created) return MainWindowResult::windowFailed;
    SetWindowLongPtrA(created, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&events));
    window = created;
    placeOnMonitor(created);
    ShowWindow(created, showCommand);
    return MainWindowResult::ok;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* events = reinterpret_cast<MainWindowEvents*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (events) {
        switch (message) {
            case WM_CLOSE:
            case WM_DESTROY:
                events->windowClosing();
                break;
            case WM_KEYDOWN:
                // Bit 30 of lParam: the key was already down, an auto-repeat.
                events->windowKeyDown(static_cast<int>(wParam), heldModifiers(),
                                      (lParam & (LPARAM{1} << 30)) != 0);
                break;
            case WM_SYSKEYDOWN:
                if (events->windowSysKeyDown(static_cast<int>(wParam), heldModifiers(),
                                             (lParam & (LPARAM{1} << 30)) != 0))
                    return 0;
                break;
            case WM_SYSCHAR:
                // Alt+Enter's character: the window menu has no entry for it and would beep.
                if (wParam == '\r') return 0;
                break;
            case WM_LBUTTONDOWN:
                events->windowPointerPressed(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
                break;
            case WM_MOUSEMOVE:
                events->windowPointerMoved(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
                break;
            case WM_SETCURSOR:
                if (LOWORD(lParam) == HTCLIENT && events->windowSetCursor()) return TRUE;
                break;
            case WM_TIMER:
                if (wParam == kPointerTimer) {
                    events->windowTimer();
                    return 0;
                }
                break;
            case WM_MOUSEWHEEL:
                events->windowWheelTurned(GET_WHEEL_DELTA_WPARAM(wParam));
                return 0;
            case WM_PAINT: {
                // Frames are drawn only when they change: an uncovered window gets the one on
                // screen again from here.
                PAINTSTRUCT paint;
                HDC dc = BeginPaint(window, &paint);
                if (dc) events->windowPaint(dc);
                EndPaint(window, &paint);
                return 0;
            }
            case WM_ERASEBKGND:
                return 1;  // the paint covers the whole client area, borders included
            case WM_SIZE:
                // The picture's place depends on the size: the whole area is painted afresh.
                InvalidateRect(window, nullptr, FALSE);
                break;
            case WM_DISPLAYCHANGE:
                events->windowDisplayChanged();
                break;
            case WM_DPICHANGED:
                events->windowDpiChanged(*reinterpret_cast<const RECT*>(lParam));
                return 0;
            case kWakeMessage:
                // guard: through the window, so that a modal loop (a window being moved) hands
                // it on too
                events->windowWoken();
                return 0;
            default:
                break;
        }
    }
    // Every other message goes on: after WM_CLOSE that destroys the window.
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace qvl
