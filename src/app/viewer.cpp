// Start-up order: frame buffer, magazine with its script, the magazine's init, the present
// set-up, the window, full screen when asked for, the render thread, the event loop.
// Ending: whoever ends it (F12, "exit", the close box) comes through closeRequested, which stops
// the render loop, waits for the render thread, and ends the event loop.
#include "app/viewer.h"

#include <memory>
#include <new>
#include <thread>

#include "display/display.h"
#include "runtime/magazine_app.h"
#include "runtime/view_state.h"

namespace qvl {

namespace {

class Viewer final : public WindowEvents {
  public:
    explicit Viewer(Platform& platform) : platform_(platform), display_(platform) {}

    int run();

    void keyDown(int virtualKey) override { magazine_->handleKey(virtualKey); }
    void closeRequested() override;

  private:
    void renderThreadProc();
    void stopRenderThread();

    Platform& platform_;
    ViewState view_;
    Display display_;
    std::unique_ptr<uint16_t[]> frameBuffer_;
    std::unique_ptr<MagazineApp> magazine_;
    std::thread renderThread_;
};

int Viewer::run() {
    frameBuffer_.reset(new (std::nothrow) uint16_t[kFramePixels]);
    if (!frameBuffer_) {
        platform_.showMessage("out of memory! terminating...");
        return 1;
    }
    magazine_ = std::make_unique<MagazineApp>(
        MagazineServices{platform_, platform_, platform_, platform_}, display_, view_);
    if (!magazine_->init(kScriptName, frameBuffer_.get())) return 1;  // init has shown its message
    if (!display_.setup()) return 1;

    switch (platform_.createWindow()) {
        case WindowResult::ok:
            break;
        case WindowResult::classFailed:
            platform_.showMessage("registering window class failed!");
            [[fallthrough]];
        case WindowResult::windowFailed:
            platform_.showMessage("initialization of window failed!");
            return 1;
    }
    if (magazine_->model().displayMode == kDisplayFullScreen && !display_.initDirectDraw()) {
        platform_.showMessage("initialization of directdraw interface failed!");
        display_.releaseDirectDraw();
        return 1;
    }

    // The flag is raised before the thread exists, so that a close arriving before the thread's
    // first frame is not undone by it.
    view_.renderRunning.store(1);
    renderThread_ = std::thread(&Viewer::renderThreadProc, this);
    int exitCode = platform_.runEventLoop(*this);
    stopRenderThread();  // guard: a loop that ended without a close leaves no thread behind
    return exitCode;
}

void Viewer::renderThreadProc() {
    view_.startTick.store(platform_.tickCount());
    while (view_.renderRunning.load()) magazine_->frame();
    view_.renderRunning.store(0);
    platform_.postClose();
}

void Viewer::stopRenderThread() {
    view_.renderRunning.store(0);
    platform_.stopPresenting();  // a present waiting for the display returns now
    if (renderThread_.joinable()) renderThread_.join();
}

void Viewer::closeRequested() {
    stopRenderThread();
    platform_.quit(0);
}

}  // namespace

int runViewer(Platform& platform) {
    Viewer viewer(platform);
    return viewer.run();
}

}  // namespace qvl
