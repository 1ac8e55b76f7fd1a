// Window class, window creation and the window procedure.
#include "platform/win32/main_window.h"

#include "platform/window_host.h"

namespace qvl {

namespace {

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

}  // namespace

SIZE mainWindowSize() {
    // quirk: the client area is made exactly 640 x 480 from the system's own metrics; 647 wide
    // and 480 + caption - border high would cut six rows off the picture. CreateWindowExA gives
    // an overlapped window a caption of its own accord, so the sum counts it.
    RECT rect{0, 0, kFrameWidth, kFrameHeight};
    AdjustWindowRectEx(&rect, kWindowStyle | WS_CAPTION, FALSE, 0);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

MainWindowResult CreateMainWindow(int showCommand, HINSTANCE instance, MainWindowEvents& events,
                                  HWND& window) {
    window = nullptr;
    if (!registerWindowClass(instance)) return MainWindowResult::classFailed;
    SIZE size = mainWindowSize();
    HWND created =
        CreateWindowExA(0, kWindowClassName, kWindowTitle, kWindowStyle, CW_USEDEFAULT,
                        CW_USEDEFAULT, size.cx, size.cy, nullptr, nullptr, instance, nullptr);
    if (!created) return MainWindowResult::windowFailed;
    SetWindowLongPtrA(created, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&events));
    window = created;
    RECT client{};
    if (GetClientRect(created, &client) &&
        (client.right != kFrameWidth || client.bottom != kFrameHeight)) {
        // guard: metrics the sum did not foresee (a theme, display scaling) are evened out by
        // the difference the window itself shows
        SetWindowPos(created, nullptr, 0, 0, size.cx + kFrameWidth - client.right,
                     size.cy + kFrameHeight - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
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
                events->windowKeyDown(static_cast<int>(wParam));
                break;
            default:
                break;
        }
    }
    // Every message goes on: after WM_CLOSE that destroys the window.
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace qvl
