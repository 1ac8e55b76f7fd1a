// The browser backend: the picture on the page's 640 x 480 canvas, keys from the page's keydown
// events, the clock of the page, the ring played through Web Audio. One thread: the browser
// calls the render step once per animation frame and the output's step from its audio callback.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/platform.h"
#include "platform/window_input.h"

namespace qvl {

class WebPlatform final : public Platform, private WindowControls {
  public:
    WebPlatform();
    ~WebPlatform() override;

    // Runs step once per animation frame and delivers the page's keys to events, until step
    // says the viewer has ended or a close is posted; then events.closeRequested. Returns at
    // once: the browser calls back from now on.
    void runFrames(WindowEvents& events, std::function<bool()> step);

    // In the page's box captioned "morrowick", and on the browser's console.
    void showMessage(std::string_view text) override;
    void beep() override {}
    uint32_t tickCount() override;
    // Nothing can wait on the page's only thread; the music goes on from the audio callback,
    // and the pause between two songs is waited out there (see MusicControl::afterPause).
    void sleepMs(uint32_t) override {}
    WindowResult createWindow() override;
    // The page's picture is the whole picture there is: full screen shows it as it stands.
    bool enterFullScreen() override { return true; }
    void leaveFullScreen() override {}
    void present(const uint16_t* frame) override;
    void stopPresenting() override { presenting_ = false; }
    bool drawsOnEventThread() const override { return true; }
    // The browser runs the page's event loop: see runFrames.
    int runEventLoop(WindowEvents&) override { return 0; }
    void postClose() override { closePosted_ = true; }
    // The only thread is the loop's: wake is delivered at once.
    void postWake() override;
    // Stops the picture and the music; the page says the magazine has ended.
    void quit(int exitCode) override;
    // A device played by Web Audio once the reader first presses a key or clicks (browsers
    // allow sound only after a gesture); until then the page shows a hint.
    std::unique_ptr<RingDevice> openRingDevice(int rate, const int16_t* ring, int frames) override;

    // For the audio callback: hands the next frames of the ring, interleaved, after letting
    // the output fill what it may; null when no device is open.
    const int16_t* pullAudio(int frames);
    // A key press or click: the first starts the sound.
    void gesture();
    // A key press the page turned into a virtual-key code, with its modifier flags; true when
    // it was one of the viewer's chords.
    bool keyPressed(int virtualKey, unsigned modifiers, bool repeat);
    // The pointer and the finger, from the page's input (web_input.js), in picture pixels: a
    // press (true when it hit a menu entry), wheel steps in notches (fractions add up), a drag.
    bool pointerPressed(int x, int y);
    void wheelTurned(double steps);
    void dragScrolled(int pixels);
    void menuEntryPicked(int entry, bool choose);

    // One animation frame: the render step, or the end; false once the viewer has ended.
    bool frameStep();

  private:
    class Device;
    friend class Device;

    // Alt+Enter asks the page for full screen; Ctrl+C gives the page's text to the browser's
    // clipboard where the page may write it.
    void toggleFullScreen() override;
    void putOnClipboard(const std::string& text) override;

    // Tells the page the keys of the page shown when they change, for its key strip.
    void offerPageKeys();
    // Tells the text layer the page shown, where it lies and its chosen entry, when they change.
    void offerPageView();

    std::vector<uint8_t> rgba_;  // the canvas's pixels, 4 bytes each
    // The frame last drawn on the canvas: one that has not changed is not converted or drawn
    // again, so a still page costs little more than its render step.
    std::vector<uint16_t> shown_;
    std::vector<PageKey> pageKeys_;
    PageView pageView_;
    bool presenting_ = true;
    bool closePosted_ = false;
    bool ended_ = false;
    WindowEvents* events_ = nullptr;
    std::unique_ptr<WindowInput> input_;
    std::function<bool()> step_;
    Device* device_ = nullptr;
};

}  // namespace qvl
