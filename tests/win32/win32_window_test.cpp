// The main window on a real desktop (Xvfb under wine): its class, title, style and a client area
// at the largest whole multiple of 640 x 480 that fits; a presented frame on screen; keys and the
// close reaching the shell, the close only once although WM_DESTROY follows WM_CLOSE. Skipped where
// there is no display.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/win32/main_window.h"
#include "platform/win32/win32_platform.h"

namespace qvl {
namespace {

bool haveDisplay() {
    const char* display = std::getenv("DISPLAY");
    return display && *display;
}

class CountingEvents final : public WindowEvents {
  public:
    explicit CountingEvents(Platform& platform) : platform_(platform) {}
    void keyDown(int virtualKey) override { keys.push_back(virtualKey); }
    void closeRequested() override {
        ++closes;
        platform_.stopPresenting();
        platform_.quit(7);
    }
    void wake() override { ++wakes; }
    std::string pageText() override { return {}; }
    bool pointerPressed(int, int) override { return false; }
    void wheelTurned(int) override {}
    std::vector<int> keys;
    int closes = 0;
    int wakes = 0;

  private:
    Platform& platform_;
};

TEST(Win32Window, ClassTitleStyleAndClientArea) {
    if (!haveDisplay()) GTEST_SKIP() << "no display";
    Win32Platform platform(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
    ASSERT_EQ(platform.createWindow(), WindowResult::ok);
    HWND window = platform.mainWindow();
    ASSERT_NE(window, nullptr);

    char text[64] = {};
    GetWindowTextA(window, text, sizeof(text));
    EXPECT_STREQ(text, "quorvel");
    GetClassNameA(window, text, sizeof(text));
    EXPECT_STREQ(text, "vandrel");
    EXPECT_EQ(GetClassLongPtrA(window, GCL_STYLE), static_cast<ULONG_PTR>(CS_BYTEALIGNCLIENT));
    EXPECT_EQ(GetClassLongPtrA(window, GCLP_HCURSOR), 0u);
    EXPECT_EQ(GetClassLongPtrA(window, GCLP_HBRBACKGROUND),
              reinterpret_cast<ULONG_PTR>(GetStockObject(BLACK_BRUSH)));
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);  // resizable, maximisable

    // The client area is a whole multiple of the picture, and the next one would not fit the
    // work area with the window's frame around it.
    RECT client{}, outer{};
    ASSERT_TRUE(GetClientRect(window, &client));
    ASSERT_TRUE(GetWindowRect(window, &outer));
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor));
    const int scale = client.right / 640;
    EXPECT_GE(scale, 1);
    EXPECT_EQ(client.right, 640 * scale);
    EXPECT_EQ(client.bottom, 480 * scale);
    const RECT& work = monitor.rcWork;
    const int frameWidth = outer.right - outer.left - client.right;
    const int frameHeight = outer.bottom - outer.top - client.bottom;
    EXPECT_TRUE(640 * (scale + 1) + frameWidth > work.right - work.left ||
                480 * (scale + 1) + frameHeight > work.bottom - work.top);
    if (640 + frameWidth <= work.right - work.left && 480 + frameHeight <= work.bottom - work.top) {
        EXPECT_TRUE(outer.left >= work.left && outer.top >= work.top);
        EXPECT_TRUE(outer.right <= work.right && outer.bottom <= work.bottom);
    }

    // At 1 x the frame lands at the client area's top-left corner, colours as the masks say.
    SetWindowPos(window, nullptr, 0, 0, 640 + frameWidth, 480 + frameHeight,
                 SWP_NOMOVE | SWP_NOZORDER);
    std::vector<uint16_t> frame(640 * 480, 0);
    frame[311 * 640 + 90] = 0x03EF;  // (0, 31, 15)
    frame[479 * 640 + 639] = 0xF800;
    platform.present(frame.data());
    HDC dc = GetDC(window);
    COLORREF paper = GetPixel(dc, 90, 311);
    COLORREF corner = GetPixel(dc, 639, 479);
    COLORREF black = GetPixel(dc, 91, 311);
    ReleaseDC(window, dc);
    EXPECT_EQ(GetRValue(paper) >> 3, 0);
    EXPECT_EQ(GetGValue(paper) >> 2, 31);
    EXPECT_EQ(GetBValue(paper) >> 3, 15);
    EXPECT_EQ(GetRValue(corner) >> 3, 31);
    EXPECT_EQ(GetGValue(corner), 0);
    EXPECT_EQ(black, RGB(0, 0, 0));

    // Keys with Ctrl held, then a wake and a close from another thread, as the render thread
    // posts them. Ctrl+C is the viewer's own chord: the magazine never sees it as C.
    CountingEvents events(platform);
    BYTE keyState[256] = {};
    GetKeyboardState(keyState);
    keyState[VK_CONTROL] = 0x80;
    SetKeyboardState(keyState);
    PostMessageA(window, WM_KEYDOWN, VK_NEXT, 0);
    PostMessageA(window, WM_KEYDOWN, 'C', 0);
    PostMessageA(window, WM_KEYDOWN, VK_F12, 0);
    std::thread renderer([&] {
        for (int i = 0; i < 20; ++i) platform.present(frame.data());
        platform.postWake();
        platform.postClose();
    });
    EXPECT_EQ(platform.runEventLoop(events), 7);
    renderer.join();
    keyState[VK_CONTROL] = 0;
    SetKeyboardState(keyState);
    EXPECT_EQ(events.keys, (std::vector<int>{VK_NEXT, VK_F12}));
    EXPECT_EQ(events.closes, 1);  // WM_CLOSE and the WM_DESTROY after it: one close
    EXPECT_EQ(events.wakes, 1);
    EXPECT_FALSE(IsWindow(window));
    platform.present(frame.data());  // after the close: does nothing, raises nothing
}

}  // namespace
}  // namespace qvl
