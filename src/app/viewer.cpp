// Start-up order: frame buffer, magazine with its script, the magazine's init (the window host
// takes RGB565 frames as they are, so presenting needs no set-up of its own), the window, full
// screen when asked for, then the render thread and the event loop (or,
// without threads, the platform's own calls of the render step).
// Ending: whoever ends it (F12, "exit", the close box) comes through closeRequested, which stops
// the render loop, waits for the render thread, and ends the event loop.
// Between frames the render thread may wake the main thread (a magazine read again, a song whose
// pause is over), which then takes what waits for it.
#include "app/viewer.h"

#include <new>
#include <string_view>

#include "runtime/magazine_app.h"

namespace qvl {

ViewerOptions viewerOptions(int argc, const char* const* argv) {
    ViewerOptions options;
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--watch") options.watch = true;
    return options;
}

Viewer::Viewer(Platform& platform, ViewerOptions options)
    : platform_(platform), options_(options) {}

Viewer::~Viewer() = default;  // run has joined the render thread

void Viewer::keyDown(int virtualKey) {
    magazine_->handleKey(virtualKey);
}

std::string Viewer::pageText() {
    return magazine_ ? magazine_->pageText() : std::string();
}

void Viewer::wake() {
    magazine_->takeHandOver();
}

bool Viewer::pointerPressed(int x, int y) {
    return magazine_->pointerPressed(x, y);
}

void Viewer::wheelTurned(int notches) {
    magazine_->wheelTurned(notches);
}

void Viewer::dragScrolled(int pixels) {
    magazine_->dragScrolled(pixels);
}

std::vector<PageKey> Viewer::pageKeys() {
    return magazine_ ? magazine_->pageKeys() : std::vector<PageKey>();
}

PageView Viewer::pageView() {
    return magazine_ ? magazine_->pageView() : PageView();
}

void Viewer::menuEntryPicked(int entry, bool choose) {
    if (magazine_) magazine_->menuEntryPicked(entry, choose);
}

bool Viewer::start() {
    frameBuffer_.reset(new (std::nothrow) uint16_t[kFramePixels]);
    if (!frameBuffer_) {
        platform_.showMessage("out of memory! terminating...");
        return false;
    }
    magazine_ = std::make_unique<MagazineApp>(
        MagazineServices{platform_, platform_, platform_, platform_}, platform_, view_);
    if (!magazine_->init(kScriptName, frameBuffer_.get()))
        return false;  // init has shown its message
    if (options_.watch) magazine_->watchFiles();

    switch (platform_.createWindow()) {
        case WindowResult::ok:
            break;
        case WindowResult::classFailed:
            platform_.showMessage("registering window class failed!");
            [[fallthrough]];
        case WindowResult::windowFailed:
            platform_.showMessage("initialization of window failed!");
            return false;
    }
    if (magazine_->model().displayMode == kDisplayFullScreen && !platform_.enterFullScreen()) {
        platform_.showMessage("initialization of directdraw interface failed!");
        platform_.leaveFullScreen();
        return false;
    }

    // The flag is raised before any render step, so that a close arriving before the first
    // frame is not undone by it. The fades count from here, right before the first frame on
    // either driver of the render step (the thread, or a browser's animation frames).
    view_.renderRunning.store(1);
    view_.startTick.store(platform_.tickCount());
    return true;
}

int Viewer::run() {
    if (!start()) return 1;
    renderThread_ = std::thread(&Viewer::renderThreadProc, this);
    int exitCode = platform_.runEventLoop(*this);
    stopRenderThread();  // guard: a loop that ended without a close leaves no thread behind
    return exitCode;
}

bool Viewer::renderStep() {
    if (!view_.renderRunning.load()) return false;
    if (magazine_->prepareFrame()) platform_.postWake();
    magazine_->frame();
    return true;
}

void Viewer::renderThreadProc() {
    while (renderStep()) {
    }
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

int runViewer(Platform& platform, ViewerOptions options) {
    Viewer viewer(platform, options);
    return viewer.run();
}

}  // namespace qvl
