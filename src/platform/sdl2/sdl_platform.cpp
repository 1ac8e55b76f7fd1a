// SDL2 backend. Window, renderer and texture live on the main thread, which is the thread SDL
// wants them on; the render thread only copies its frame into a hand-over buffer and waits until
// the main thread has taken it. The render thread keeps the display's pace by its own clock, and
// hands over only frames that differ from the one shown, so a still page costs next to nothing
// even where the display has no vertical sync to wait for.
#include "platform/sdl2/sdl_platform.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/picture_scale.h"
#include "platform/sdl2/sdl_keys.h"
#include "platform/sdl2/sdl_ring_device.h"

namespace qvl {

namespace {

// Set (to anything but empty or 0) to keep message boxes off, so that no test can hang on one.
bool messageBoxesOff() {
    const char* value = std::getenv("QVL_NO_MESSAGE_BOXES");
    return value && *value && std::strcmp(value, "0") != 0;
}

// In full screen the pointer hides once it has rested this long.
constexpr uint32_t kPointerRestMs = 2000;

}  // namespace

SdlPlatform::SdlPlatform() : pending_(kFrameWidth * kFrameHeight, 0) {}

SdlPlatform::~SdlPlatform() {
    destroyWindow();
    if (videoStarted_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void SdlPlatform::showMessage(std::string_view text) {
    std::string message(text);
    printMessage(message);
    if (messageBoxesOff()) return;
    // Without a display this fails at once, and the text is already on standard error.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, kMessageCaption, message.c_str(), window_);
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
    frameEvent_ = SDL_RegisterEvents(3);
    closeEvent_ = frameEvent_ + 1;
    wakeEvent_ = frameEvent_ + 2;
    if (frameEvent_ == static_cast<uint32_t>(-1)) return WindowResult::classFailed;

    window_ = SDL_CreateWindow("quorvel", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               kFrameWidth, kFrameHeight,
                               SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
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
    // Whole multiples with nearest-neighbour sampling: every picture pixel a sharp square.
    SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
    // The texture starts as the black frame the hand-over buffer holds, which counts as shown.
    SDL_UpdateTexture(texture_, nullptr, pending_.data(), kFrameWidth * 2);
    fitWindowToDesktop();
    readRefreshRate();
    return WindowResult::ok;
}

void SdlPlatform::fitWindowToDesktop() {
    const int display = SDL_GetWindowDisplayIndex(window_);
    SDL_Rect usable;
    if (display < 0 || SDL_GetDisplayUsableBounds(display, &usable) != 0) return;
    // Without decorations (or a window system that cannot tell) there are no borders.
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) != 0)
        top = left = bottom = right = 0;
    // On a high-density display the window's units hold several pixels each.
    int units = 0, pixels = 0, unused = 0;
    SDL_GetWindowSize(window_, &units, &unused);
    SDL_GetRendererOutputSize(renderer_, &pixels, &unused);
    const double density = units > 0 && pixels > 0 ? static_cast<double>(pixels) / units : 1.0;
    const int scale = openingScale(usable.w, usable.h, left + right, top + bottom, density);
    if (scale <= 1) return;
    SDL_SetWindowSize(window_, static_cast<int>(std::ceil(kFrameWidth * scale / density)),
                      static_cast<int>(std::ceil(kFrameHeight * scale / density)));
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                          SDL_WINDOWPOS_CENTERED_DISPLAY(display));
}

void SdlPlatform::readRefreshRate() {
    const int display = SDL_GetWindowDisplayIndex(window_);
    SDL_DisplayMode mode;
    int hertz =
        display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 ? mode.refresh_rate : 0;
    // guard: displays that report no rate (Xvfb, some virtual machines) are paced at 60 Hz
    if (hertz <= 0 || hertz > 1000) hertz = 60;
    framePeriodUs_.store(1000000 / hertz);
}

bool SdlPlatform::setFullScreen(bool on) {
    // The desktop's own mode, never a mode switch: the picture is scaled onto it as in a window.
    if (!window_ || SDL_SetWindowFullscreen(window_, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0)
        return false;
    fullScreen_ = on;
    showPointer(!on);
    return true;
}

bool SdlPlatform::enterFullScreen() {
    return setFullScreen(true);
}

void SdlPlatform::leaveFullScreen() {
    setFullScreen(false);
}

void SdlPlatform::showPointer(bool shown) {
    if (shown != pointerShown_) SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
    pointerShown_ = shown;
    pointerMovedAt_ = SDL_GetTicks();
}

void SdlPlatform::present(const uint16_t* frame) {
    std::unique_lock lock(mutex_);
    // One frame a refresh, by the clock: without vertical sync nothing else holds the render
    // loop back, and a frame left unshown below waits for no display either. Where vertical
    // sync does hold, it holds the main thread, so the two waits do not add up. A loop that
    // has fallen behind starts counting afresh rather than hurrying to catch up.
    const auto now = std::chrono::steady_clock::now();
    nextPresent_ = std::max(nextPresent_ + std::chrono::microseconds(framePeriodUs_.load()), now);
    taken_.wait_until(lock, nextPresent_, [&] { return !presenting_; });
    if (!presenting_) return;
    // A frame equal to the one on screen is neither uploaded nor scaled nor shown again.
    if (std::memcmp(pending_.data(), frame, pending_.size() * sizeof(uint16_t)) == 0) return;
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
    drawPicture();
}

void SdlPlatform::drawPicture() {
    int width = 0, height = 0;
    SDL_GetRendererOutputSize(renderer_, &width, &height);
    const PictureRect rect = pictureRectIn(width, height);
    const SDL_Rect target{rect.x, rect.y, rect.width, rect.height};
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, &target);
    SDL_RenderPresent(renderer_);
}

void SdlPlatform::pressAt(int x, int y, WindowInput& input) {
    // Mouse positions come in the window's units, the picture's place in output pixels.
    int units = 0, unitsHigh = 0, pixels = 0, pixelsHigh = 0;
    SDL_GetWindowSize(window_, &units, &unitsHigh);
    SDL_GetRendererOutputSize(renderer_, &pixels, &pixelsHigh);
    if (units <= 0 || unitsHigh <= 0) return;
    input.pointerPressed(static_cast<int>(int64_t{x} * pixels / units),
                         static_cast<int>(int64_t{y} * pixelsHigh / unitsHigh),
                         pictureRectIn(pixels, pixelsHigh));
}

void SdlPlatform::toggleFullScreen() {
    setFullScreen(!fullScreen_);
}

void SdlPlatform::putOnClipboard(const std::string& text) {
    SDL_SetClipboardText(text.c_str());
}

void SdlPlatform::postClose() {
    SDL_Event event{};
    event.type = closeEvent_;
    SDL_PushEvent(&event);
}

void SdlPlatform::postWake() {
    SDL_Event event{};
    event.type = wakeEvent_;
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
    WindowInput input(events, *this);
    while (!quit_) {
        SDL_Event event;
        const bool got = SDL_WaitEventTimeout(&event, 100);
        if (fullScreen_ && pointerShown_ &&
            SDL_TICKS_PASSED(SDL_GetTicks(), pointerMovedAt_ + kPointerRestMs))
            showPointer(false);
        if (got) handleEvent(event, events, input);
    }
    destroyWindow();
    return exitCode_;
}

void SdlPlatform::handleEvent(const SDL_Event& event, WindowEvents& events, WindowInput& input) {
    if (event.type == frameEvent_) {
        showPendingFrame();
    } else if (event.type == SDL_QUIT || event.type == closeEvent_) {
        events.closeRequested();
    } else if (event.type == wakeEvent_) {
        events.wake();
    } else if (event.type == SDL_WINDOWEVENT) {
        switch (event.window.event) {
            case SDL_WINDOWEVENT_CLOSE:
                events.closeRequested();
                break;
            case SDL_WINDOWEVENT_SIZE_CHANGED:
            case SDL_WINDOWEVENT_EXPOSED:
                drawPicture();  // the frame on screen, at the new size
                break;
            case SDL_WINDOWEVENT_DISPLAY_CHANGED:
                readRefreshRate();
                break;
        }
    } else if (event.type == SDL_KEYDOWN) {
        const SDL_Keysym& key = event.key.keysym;
        if (int vk = virtualKeyFromSdl(key.sym); vk != 0)
            input.keyPressed(vk, modifiersFromSdl(key.mod), event.key.repeat != 0);
    } else if (event.type == SDL_MOUSEMOTION) {
        showPointer(true);
    } else if (event.type == SDL_MOUSEBUTTONDOWN) {
        showPointer(true);
        if (event.button.button == SDL_BUTTON_LEFT) pressAt(event.button.x, event.button.y, input);
    } else if (event.type == SDL_MOUSEWHEEL) {
        const int notches =
            event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        input.wheelTurned(notches);
    }
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
