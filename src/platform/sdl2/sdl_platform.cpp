// SDL2 backend. Window, renderer and texture live on the main thread, which is the thread SDL
// wants them on; the render thread only copies its frame into a hand-over buffer and waits until
// the main thread has taken it, so the render loop runs at the display's rate, not at 100% CPU.
#include "platform/sdl2/sdl_platform.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/sdl2/sdl_keys.h"
#include "platform/sdl2/sdl_ring_device.h"

namespace qvl {

namespace {

// Set (to anything but empty or 0) to keep message boxes off, so that no test can hang on one.
bool messageBoxesOff() {
    const char* value = std::getenv("QVL_NO_MESSAGE_BOXES");
    return value && *value && std::strcmp(value, "0") != 0;
}

}  // namespace

SdlPlatform::SdlPlatform() : pending_(kFrameWidth * kFrameHeight, 0) {}

SdlPlatform::~SdlPlatform() {
    destroyWindow();
    if (videoStarted_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void SdlPlatform::showMessage(std::string_view text) {
    std::string message(text);
    std::fprintf(stderr, "morrowick: %s\n", message.c_str());
    if (messageBoxesOff()) return;
    // Without a display this fails at once, and the text is already on standard error.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "morrowick", message.c_str(), window_);
}

uint32_t SdlPlatform::tickCount() {
    using namespace std::chrono;
    auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<uint32_t>(ms);
}

void SdlPlatform::sleepMs(uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

WindowResult SdlPlatform::createWindow() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
        return WindowResult::classFailed;
    }
    videoStarted_ = true;
    frameEvent_ = SDL_RegisterEvents(2);
    closeEvent_ = frameEvent_ + 1;
    if (frameEvent_ == static_cast<uint32_t>(-1)) return WindowResult::classFailed;

    // Not resizable: the picture is shown unscaled in a 640 x 480 client area.
    window_ = SDL_CreateWindow("quorvel", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               kFrameWidth, kFrameHeight, SDL_WINDOW_SHOWN);
    if (!window_) {
        std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
        return WindowResult::windowFailed;
    }
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_PRESENTVSYNC);
    if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (renderer_)
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                                     kFrameWidth, kFrameHeight);
    if (!texture_) {
        std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
        destroyWindow();
        return WindowResult::windowFailed;
    }
    SDL_RenderSetLogicalSize(renderer_, kFrameWidth, kFrameHeight);
    return WindowResult::ok;
}

bool SdlPlatform::enterFullScreen() {
    SDL_ShowCursor(SDL_DISABLE);
    SDL_DisplayMode mode = {SDL_PIXELFORMAT_RGB565, kFrameWidth, kFrameHeight, 0, nullptr};
    if (SDL_SetWindowDisplayMode(window_, &mode) == 0 &&
        SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN) == 0)
        return true;
    // Displays that cannot switch to 640 x 480 get the picture scaled onto the desktop mode.
    return SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
}

void SdlPlatform::leaveFullScreen() {
    if (window_) SDL_SetWindowFullscreen(window_, 0);
}

void SdlPlatform::present(const uint16_t* frame) {
    std::unique_lock lock(mutex_);
    if (!presenting_) return;
    std::memcpy(pending_.data(), frame, pending_.size() * sizeof(uint16_t));
    framePending_ = true;
    SDL_Event event{};
    event.type = frameEvent_;
    SDL_PushEvent(&event);
    taken_.wait(lock, [&] { return !framePending_ || !presenting_; });
}

void SdlPlatform::stopPresenting() {
    std::lock_guard lock(mutex_);
    presenting_ = false;
    taken_.notify_all();
}

void SdlPlatform::showPendingFrame() {
    {
        std::lock_guard lock(mutex_);
        if (!framePending_) return;
        SDL_UpdateTexture(texture_, nullptr, pending_.data(), kFrameWidth * 2);
        framePending_ = false;
        taken_.notify_all();
    }
    // The render thread draws its next frame while this one waits for the display.
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
}

void SdlPlatform::postClose() {
    SDL_Event event{};
    event.type = closeEvent_;
    SDL_PushEvent(&event);
}

std::unique_ptr<RingDevice> SdlPlatform::openRingDevice(int rate, const int16_t* ring, int frames) {
    return openSdlRingDevice(rate, ring, frames);
}

void SdlPlatform::quit(int exitCode) {
    quit_ = true;
    exitCode_ = exitCode;
}

int SdlPlatform::runEventLoop(WindowEvents& events) {
    while (!quit_) {
        SDL_Event event;
        if (!SDL_WaitEventTimeout(&event, 100)) continue;
        if (event.type == SDL_QUIT || event.type == closeEvent_) {
            events.closeRequested();
        } else if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE) {
            events.closeRequested();
        } else if (event.type == SDL_KEYDOWN &&
                   isCopyChord(event.key.keysym.sym, event.key.keysym.mod)) {
            if (!event.key.repeat) SDL_SetClipboardText(events.pageText().c_str());
        } else if (event.type == SDL_KEYDOWN) {
            int vk = virtualKeyFromSdl(event.key.keysym.sym);
            if (vk != 0) events.keyDown(vk);
        } else if (event.type == frameEvent_) {
            showPendingFrame();
        }
    }
    destroyWindow();
    return exitCode_;
}

void SdlPlatform::destroyWindow() {
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    texture_ = nullptr;
    renderer_ = nullptr;
    window_ = nullptr;
}

}  // namespace qvl
