// The platform layer: the few operating-system services the viewer needs (a window that shows
// 640 x 480 RGB565 frames and delivers keys, message boxes, a beep, a millisecond clock).
// The portable core talks to the outside world only through this interface; each backend
// (SDL2, headless) implements it in a folder of its own.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

namespace qvl {

inline constexpr int kFrameWidth = 640;
inline constexpr int kFrameHeight = 480;

// What creating the window can end in; the shell turns each failure into its message.
enum class WindowResult { ok, classFailed, windowFailed };

// Receives what the event loop delivers, on the thread that runs the loop.
class WindowEvents {
  public:
    // One key press as a Windows virtual-key code (auto-repeats included).
    virtual void keyDown(int virtualKey) = 0;
    // The window is being closed (close box, a quit signal, or a close posted by postClose).
    virtual void closeRequested() = 0;

  protected:
    ~WindowEvents() = default;
};

// A sound device that plays one ring buffer of 16-bit stereo frames in an endless loop at the
// mix rate, starting at the ring's first frame.
class RingDevice {
  public:
    virtual ~RingDevice() = default;
    // Bytes handed to the speaker since the ring started playing, wrapping modulo 2^32 as a
    // device's byte counter does. Callable from any thread.
    virtual uint32_t bytesPlayed() = 0;
    // The thread that polls the device is about to stop: a device whose clock holds that
    // thread's sleeps lets them end at once from now on.
    virtual void stopping() {}
};

class Platform {
  public:
    virtual ~Platform() = default;

    // A message box captioned "morrowick" with an OK button; the text always goes to standard
    // error too. Never blocks where there is no display.
    virtual void showMessage(std::string_view text) = 0;
    // The system's simple beep; may do nothing.
    virtual void beep() = 0;

    // Milliseconds on a monotonic clock, wrapping modulo 2^32.
    virtual uint32_t tickCount() = 0;
    virtual void sleepMs(uint32_t ms) = 0;

    // Creates and shows the window titled "quorvel" whose client area is 640 x 480.
    virtual WindowResult createWindow() = 0;
    // Hides the mouse cursor, then switches to a 640 x 480 full-screen picture.
    virtual bool enterFullScreen() = 0;
    // Undoes whatever part of enterFullScreen succeeded.
    virtual void leaveFullScreen() = 0;

    // Shows one top-down 640 x 480 RGB565 frame; called by the render thread only. It may wait
    // for the display (vertical sync), and returns at once after stopPresenting.
    virtual void present(const uint16_t* frame) = 0;
    // From now on present does nothing and returns at once; wakes a present that waits.
    // Callable from any thread.
    virtual void stopPresenting() = 0;

    // Runs the event loop on the calling thread until quit; returns the quit code.
    virtual int runEventLoop(WindowEvents& events) = 0;
    // Asks the event loop to deliver closeRequested; callable from any thread.
    virtual void postClose() = 0;
    // Ends the event loop after the event being handled; called on the loop's thread.
    virtual void quit(int exitCode) = 0;

    // Starts playing ring (frames stereo frames of interleaved left and right samples, which
    // must outlive the device) in a loop at rate frames a second; none when there is no sound.
    virtual std::unique_ptr<RingDevice> openRingDevice(int rate, const int16_t* ring,
                                                       int frames) = 0;
};

}  // namespace qvl
