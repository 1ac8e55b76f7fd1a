// The native Windows backend: the main window and its message loop, the picture through GDI
// (windowed) or DirectDraw 7 (full screen), message boxes, the beep, the tick clock and the
// wave-out ring device. The render thread presents, once a refresh of the display and only
// frames that changed; everything else runs on the main thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/borderless_full_screen.h"
#include "platform/win32/direct_draw.h"
#include "platform/win32/frame_pacer.h"
#include "platform/win32/gdi_present.h"
#include "platform/win32/main_window.h"
#include "platform/window_input.h"

namespace qvl {

class Win32Platform final : public Platform, private MainWindowEvents, private WindowControls {
  public:
    Win32Platform(HINSTANCE instance, int showCommand);
    ~Win32Platform() override;

    void showMessage(std::string_view text) override;
    void beep() override { MessageBeep(0xFFFFFFFF); }
    uint32_t tickCount() override { return GetTickCount(); }
    void sleepMs(uint32_t ms) override { Sleep(ms); }
    WindowResult createWindow() override;
    bool enterFullScreen() override;
    void leaveFullScreen() override;
    void present(const uint16_t* frame) override;
    void stopPresenting() override;
    int runEventLoop(WindowEvents& events) override;
    void postClose() override;
    void postWake() override;
    void quit(int exitCode) override { PostQuitMessage(exitCode); }
    std::unique_ptr<RingDevice> openRingDevice(int rate, const int16_t* ring, int frames) override;

    HWND mainWindow() const { return mainWindow_.load(); }

  private:
    void windowClosing() override;
    void windowKeyDown(int virtualKey, unsigned modifiers, bool repeat) override;
    bool windowSysKeyDown(int virtualKey, unsigned modifiers, bool repeat) override;
    void windowPointerPressed(int x, int y) override;
    void windowWheelTurned(int delta) override;
    void windowPointerMoved(int x, int y) override;
    bool windowSetCursor() override;
    void windowTimer() override;
    // Shows or hides the pointer over the window at once.
    void showPointer(bool shown);
    // From DirectDraw's 640 x 480 display back to the desktop's, in a window.
    void leaveDirectDraw();
    void windowWoken() override;
    void windowPaint(HDC dc) override;
    void windowDisplayChanged() override;
    void windowDpiChanged(const RECT& suggested) override;
    // Draws shown_ into the window's client area at its present size.
    void drawShown(HDC dc);
    // The chords' requests.
    void toggleFullScreen() override;
    void putOnClipboard(const std::string& text) override;
    void releaseWindowDC();

    HINSTANCE appInstance_;
    int showCommand_;
    std::atomic<HWND> mainWindow_{nullptr};
    std::unique_ptr<WindowInput> input_;  // while the event loop runs
    WindowEvents* events_ = nullptr;
    bool closeDelivered_ = false;

    FrameBitmapInfo frameBitmapInfo_;
    DirectDrawScreen screen_;
    // DirectDraw's full screen: set before the render thread starts, cleared only by the main
    // thread under presentMutex_ (Alt+Enter back to the window); the render thread also reads
    // it outside the lock, to choose its wait.
    std::atomic<bool> fullScreen_{false};
    BorderlessFullScreen borderless_;  // main thread only, as are the pointer's fields
    bool pointerShown_ = true;
    POINT pointerAt_{-1, -1};
    DWORD pointerMovedAt_ = 0;  // GetTickCount

    // The render thread draws through windowDC_ under presentMutex_; releasing the context
    // takes the same lock, so no present runs against a released one. shown_ is the frame on
    // screen (black before the first), which a paint draws again.
    std::mutex presentMutex_;
    HDC windowDC_ = nullptr;
    std::vector<uint16_t> shown_;
    std::atomic<bool> presenting_{true};
    FramePacer pacer_;
};

}  // namespace qvl
