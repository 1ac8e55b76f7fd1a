// The SDL2 backend: a real 640 x 480 window (or full screen), keys as virtual-key codes,
// message boxes. The render thread hands each frame to the main thread, which uploads it as
// an RGB565 texture and presents it with vertical sync where the display offers it.
#pragma once

#include <SDL.h>

#include <condition_variable>
#include <mutex>
#include <vector>

#include "platform/platform.h"

namespace qvl {

class SdlPlatform final : public Platform {
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
    void quit(int exitCode) override;
    std::unique_ptr<RingDevice> openRingDevice(int rate, const int16_t* ring, int frames) override;

  private:
    void showPendingFrame();
    void destroyWindow();

    bool videoStarted_ = false;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    uint32_t frameEvent_ = 0;  // user event: a frame waits to be shown
    uint32_t closeEvent_ = 0;  // user event: the render loop has ended

    std::mutex mutex_;
    std::condition_variable taken_;
    std::vector<uint16_t> pending_;
    bool framePending_ = false;
    bool presenting_ = true;

    bool quit_ = false;
    int exitCode_ = 0;
};

}  // namespace qvl
