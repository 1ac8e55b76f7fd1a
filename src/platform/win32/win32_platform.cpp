// The Windows backend's glue: which window, device context and display mode the render thread
// presents to, and how a close coming through WindowProc reaches the shell exactly once; a wake
// posted by another thread reaches it through WindowProc as well.
#include "platform/win32/win32_platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/picture_scale.h"
#include "platform/win32/clipboard.h"
#include "platform/win32/waveout_ring_device.h"

namespace qvl {

namespace {

// Set (to anything but empty or 0) to keep message boxes off, so that no test can hang on one.
bool messageBoxesOff() {
    const char* value = std::getenv("QVL_NO_MESSAGE_BOXES");
    return value && *value && std::strcmp(value, "0") != 0;
}

}  // namespace

Win32Platform::Win32Platform(HINSTANCE instance, int showCommand)
    : appInstance_(instance),
      showCommand_(showCommand),
      frameBitmapInfo_(buildFrameBitmapInfo()),
      shown_(kFramePixels, 0) {}

Win32Platform::~Win32Platform() {
    stopPresenting();
    releaseWindowDC();
    // The window, if it still stands, and the full-screen objects go with the process.
}

void Win32Platform::showMessage(std::string_view text) {
    std::string message(text);
    printMessage(message);
    if (messageBoxesOff()) return;
    // Without a desktop (no display under wine) this returns at once.
    MessageBoxA(mainWindow_.load(), message.c_str(), kMessageCaption, MB_OK);
}

WindowResult Win32Platform::createWindow() {
    HWND window = nullptr;
    switch (CreateMainWindow(showCommand_, appInstance_, *this, window)) {
        case MainWindowResult::ok:
            break;
        case MainWindowResult::classFailed:
            return WindowResult::classFailed;
        case MainWindowResult::windowFailed:
            return WindowResult::windowFailed;
    }
    mainWindow_.store(window);
    pacer_.readRefreshRate(window);
    std::lock_guard lock(presentMutex_);
    windowDC_ = GetDC(window);
    return WindowResult::ok;
}

bool Win32Platform::enterFullScreen() {
    ShowCursor(FALSE);
    fullScreen_ = initDirectDraw(screen_, mainWindow_.load(), kFrameWidth, kFrameHeight);
    return fullScreen_.load();
}

void Win32Platform::leaveFullScreen() {
    fullScreen_ = false;
    releaseDirectDraw(screen_);
}

void Win32Platform::present(const uint16_t* frame) {
    if (!presenting_.load(std::memory_order_acquire)) return;
    // A windowed present returns at once, and nothing else would hold the render loop back.
    // In full screen the flip waits for the display too; the compositor is not at work there.
    pacer_.waitForNextFrame(!fullScreen_.load());
    if (!presenting_.load(std::memory_order_acquire)) return;
    std::lock_guard lock(presentMutex_);
    // A frame equal to the one on screen is not drawn again: a still page costs the drawing of
    // its frame and this comparison, once a refresh.
    if (std::memcmp(shown_.data(), frame, kFrameBytes) == 0) return;
    std::memcpy(shown_.data(), frame, kFrameBytes);
    if (fullScreen_) {
        presentDirectDraw(screen_, frame);
    } else if (windowDC_) {
        drawShown(windowDC_);
        // quirk: some window systems (wine's among them) put what another thread drew on the
        // screen only when the window's own thread next looks for messages; this one wakes it.
        PostMessageA(mainWindow_.load(), WM_NULL, 0, 0);
    }
}

void Win32Platform::stopPresenting() {
    presenting_.store(false, std::memory_order_release);
    pacer_.stop();
}

void Win32Platform::drawShown(HDC dc) {
    RECT client{};
    if (!GetClientRect(mainWindow_.load(), &client)) return;
    presentGdi(dc, frameBitmapInfo_, shown_.data(), client.right, client.bottom);
}

void Win32Platform::windowPaint(HDC dc) {
    std::lock_guard lock(presentMutex_);
    if (!fullScreen_) drawShown(dc);
}

void Win32Platform::windowDisplayChanged() {
    HWND window = mainWindow_.load();
    if (!window) return;
    pacer_.readRefreshRate(window);
    borderless_.coverMonitor(window);  // the monitor's size may have changed with its mode
}

void Win32Platform::windowDpiChanged(const RECT& suggested) {
    HWND window = mainWindow_.load();
    if (borderless_.active() || fullScreen_) {
        // A full screen covers its monitor whatever its density.
        borderless_.coverMonitor(window);
        return;
    }
    // Windows' rectangle keeps the window's size on the new monitor as a reader sees it; the
    // picture then takes the whole multiple that the new size holds.
    SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    pacer_.readRefreshRate(window);
}

int Win32Platform::runEventLoop(WindowEvents& events) {
    events_ = &events;
    input_ = std::make_unique<WindowInput>(events, static_cast<WindowControls&>(*this));
    MSG message{};
    // guard: GetMessageA gives -1 on an error; that ends the loop like WM_QUIT
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    events_ = nullptr;
    input_.reset();
    return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 0;
}

void Win32Platform::postClose() {
    HWND window = mainWindow_.load();
    if (window) PostMessageA(window, WM_CLOSE, 0, 0);
}

void Win32Platform::postWake() {
    HWND window = mainWindow_.load();
    if (window) PostMessageA(window, kWakeMessage, 0, 0);
}

std::unique_ptr<RingDevice> Win32Platform::openRingDevice(int rate, const int16_t* ring,
                                                          int frames) {
    return openWaveOutRingDevice(rate, ring, frames);
}

void Win32Platform::windowClosing() {
    // quirk: WM_CLOSE goes on to DefWindowProcA, which destroys the window, and the WM_DESTROY
    // that follows comes here again; the shell hears of the close once.
    if (closeDelivered_) return;
    closeDelivered_ = true;
    if (events_) {
        events_->closeRequested();  // stops and joins the render thread, then quits
    } else {
        stopPresenting();
        PostQuitMessage(0);
    }
    releaseWindowDC();
}

void Win32Platform::windowKeyDown(int virtualKey, unsigned modifiers, bool repeat) {
    if (input_) input_->keyPressed(virtualKey, modifiers, repeat);
}

bool Win32Platform::windowSysKeyDown(int virtualKey, unsigned modifiers, bool repeat) {
    if (!input_ || !WindowInput::isChord(virtualKey, modifiers)) return false;
    input_->keyPressed(virtualKey, modifiers, repeat);
    return true;
}

void Win32Platform::windowPointerPressed(int x, int y) {
    if (!input_) return;
    HWND window = mainWindow_.load();
    if (fullScreen_) {
        // The display itself is 640 x 480 and the picture covers it.
        POINT onScreen{x, y};
        ClientToScreen(window, &onScreen);
        input_->pointerPressed(onScreen.x, onScreen.y,
                               PictureRect{0, 0, kFrameWidth, kFrameHeight});
        return;
    }
    RECT client{};
    if (GetClientRect(window, &client))
        input_->pointerPressed(x, y, pictureRectIn(client.right, client.bottom));
}

void Win32Platform::windowWheelTurned(int delta) {
    if (input_) input_->wheelTurned(static_cast<double>(delta) / WHEEL_DELTA);
}

void Win32Platform::toggleFullScreen() {
    HWND window = mainWindow_.load();
    if (!window) return;
    if (fullScreen_) {
        // From the script's full screen, Alt+Enter leads to the window; from there it leads on
        // to the borderless full screen.
        leaveDirectDraw();
        return;
    }
    if (borderless_.active()) {
        KillTimer(window, kPointerTimer);
        borderless_.leave(window);
        showPointer(true);
    } else {
        borderless_.enter(window);
        pointerMovedAt_ = GetTickCount();
        SetTimer(window, kPointerTimer, 250, nullptr);
    }
}

void Win32Platform::leaveDirectDraw() {
    HWND window = mainWindow_.load();
    {
        std::lock_guard lock(presentMutex_);
        releaseDirectDraw(screen_);  // the desktop's own display mode again
        fullScreen_ = false;
    }
    ShowCursor(TRUE);  // undoes the hiding before the switch
    // Exclusive mode leaves the window on top of all others and may have moved it.
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    placeOnMonitor(window);
    InvalidateRect(window, nullptr, FALSE);
}

void Win32Platform::windowPointerMoved(int x, int y) {
    // Windows sends a move also when the window moved under a pointer at rest.
    if (x == pointerAt_.x && y == pointerAt_.y) return;
    pointerAt_ = POINT{x, y};
    pointerMovedAt_ = GetTickCount();
    if (!pointerShown_) showPointer(true);
}

bool Win32Platform::windowSetCursor() {
    // The class has no pointer of its own: the arrow, or none while it hides.
    SetCursor(pointerShown_ ? LoadCursor(nullptr, IDC_ARROW) : nullptr);
    return true;
}

void Win32Platform::windowTimer() {
    // In full screen the pointer hides once it has rested this long.
    constexpr DWORD kPointerRestMs = 2000;
    if (borderless_.active() && pointerShown_ && GetTickCount() - pointerMovedAt_ >= kPointerRestMs)
        showPointer(false);
}

void Win32Platform::showPointer(bool shown) {
    pointerShown_ = shown;
    pointerMovedAt_ = GetTickCount();
    // Only a pointer over this window changes its shape: one on another monitor stays.
    POINT at{};
    HWND window = mainWindow_.load();
    if (GetCursorPos(&at) && WindowFromPoint(at) == window) windowSetCursor();
}

void Win32Platform::putOnClipboard(const std::string& text) {
    putTextOnClipboard(mainWindow_.load(), text);
}

void Win32Platform::windowWoken() {
    if (events_) events_->wake();
}

void Win32Platform::releaseWindowDC() {
    std::lock_guard lock(presentMutex_);
    if (!windowDC_) return;
    ReleaseDC(mainWindow_.load(), windowDC_);
    windowDC_ = nullptr;
}

}  // namespace qvl
