// The SDL2 backend: a resizable window (or the desktop in full screen) showing the 640 x 480
// picture at whole multiples, keys as virtual-key codes, the mouse in picture pixels, message
// boxes. The render thread hands each changed frame to the main thread, which uploads it as an
// RGB565 texture and presents it scaled, with vertical sync where the display offers it.
#pragma once

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "platform/platform.h"
#include "platform/window_input.h"

namespace qvl {

class SdlPlatform final : public Platform, private WindowControls {
  public:
    SdlPlatform();
    ~SdlPlatform() override;

    void showMessage(std::string_view text) override;
    void beep() override {}  // no system beep to be had through SDL; a silent beep is allowed
    uint32_t tickCount() override;
    void sleepMs(uint32_t ms) override;
    WindowResult createWindow() override;
    bool enterFullScreen() override;
    void leaveFullScreen() override;
    void present(const uint16_t* frame) override;
    void stopPresenting() override;
    int runEventLoop(WindowEvents& events) override;
    void postClose() override;
    void postWake() override;
    void quit(int exitCode) override;
    std::unique_ptr<RingDevice> openRingDevice(int rate, const int16_t* ring, int frames) override;

  private:
    void handleEvent(const SDL_Event& event, WindowEvents& events, WindowInput& input);
    // The chords' requests.
    void toggleFullScreen() override;
    void putOnClipboard(const std::string& text) override;
    void showPendingFrame();
    // Shows the texture's picture at its scale for the window's present size, on black.
    void drawPicture();
    // Grows the new window to the largest whole multiple that fits the desktop.
    void fitWindowToDesktop();
    void readRefreshRate();
    bool setFullScreen(bool on);
    void showPointer(bool shown);
    // A press of the main button at a mouse position in window units.
    void pressAt(int x, int y, WindowInput& input);
    void destroyWindow();

    bool videoStarted_ = false;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    uint32_t frameEvent_ = 0;  // user event: a frame waits to be shown
    uint32_t closeEvent_ = 0;  // user event: the render loop has ended
    uint32_t wakeEvent_ = 0;   // user event: see postWake

    // Main thread only.
    bool fullScreen_ = false;
    bool pointerShown_ = true;
    uint32_t pointerMovedAt_ = 0;  // SDL ticks

    std::mutex mutex_;
    std::condition_variable taken_;
    std::vector<uint16_t> pending_;  // the frame handed over last, which is the one shown
    bool framePending_ = false;
    bool presenting_ = true;
    // The render thread's pace: one frame a refresh of the display.
    std::atomic<int> framePeriodUs_{1000000 / 60};
    std::chrono::steady_clock::time_point nextPresent_{};  // render thread only

    bool quit_ = false;
    int exitCode_ = 0;
};

}  // namespace qvl
