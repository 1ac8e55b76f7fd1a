// The process itself: brings the viewer up in its fixed order on a given platform, runs the
// render thread and the event loop, and takes it down again. Returns the exit code. A platform
// without threads (a browser page) brings it up with Viewer::start and runs its render step
// itself, once per displayed frame.
#pragma once

#include <memory>
#include <thread>

#include "platform/platform.h"
#include "runtime/view_state.h"

namespace qvl {

class MagazineApp;

// What the command line asks of the viewer.
struct ViewerOptions {
    // Follow the author's edits: read the magazine again whenever one of its files changes.
    bool watch = false;
};

// The options of a command line: "--watch" is the only one; other arguments are ignored.
ViewerOptions viewerOptions(int argc, const char* const* argv);

class Viewer final : public WindowEvents {
  public:
    explicit Viewer(Platform& platform, ViewerOptions options = {});
    ~Viewer();
    Viewer(const Viewer&) = delete;
    Viewer& operator=(const Viewer&) = delete;

    // Start-up, render thread, event loop, end; the exit code as runViewer's.
    int run();
    // Everything up to the render loop: false after a start-up failure, whose message has been
    // shown.
    bool start();
    // One frame of the render loop, after waking the event loop's thread when the magazine has
    // something for it; false, drawing nothing, once the magazine has ended (F12, "exit").
    bool renderStep();

    void keyDown(int virtualKey) override;
    void closeRequested() override;
    void wake() override;
    std::string pageText() override;
    bool pointerPressed(int x, int y) override;
    void wheelTurned(int notches) override;
    void dragScrolled(int pixels) override;
    std::vector<PageKey> pageKeys() override;
    PageView pageView() override;
    void menuEntryPicked(int entry, bool choose) override;

  private:
    void renderThreadProc();
    void stopRenderThread();

    Platform& platform_;
    ViewerOptions options_;
    ViewState view_;
    std::unique_ptr<uint16_t[]> frameBuffer_;
    std::unique_ptr<MagazineApp> magazine_;
    std::thread renderThread_;
};

// 0 after a normal end (F12, "exit", closing the window); 1 after a start-up failure, whose
// message has been shown.
int runViewer(Platform& platform, ViewerOptions options = {});

}  // namespace qvl
