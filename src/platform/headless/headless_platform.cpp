// Headless backend: the render thread and the driver take turns through one mutex. The render
// thread presents the frame of virtual time T and waits; the driver then feeds a key (handled at
// time T) or lets the clock run on, one frame per virtual millisecond.
#include "platform/headless/headless_platform.h"

#include <cstdio>
#include <cstring>

namespace qvl {

void HeadlessPlatform::showMessage(std::string_view text) {
    std::fprintf(stderr, "morrowick: %.*s\n", static_cast<int>(text.size()), text.data());
    std::lock_guard lock(mutex_);
    messages_.emplace_back(text);
    logCall("message");
}

void HeadlessPlatform::beep() {
    std::lock_guard lock(mutex_);
    ++beeps_;
}

uint32_t HeadlessPlatform::tickCount() {
    std::lock_guard lock(mutex_);
    return static_cast<uint32_t>(now_);
}

// The virtual clock does not move for a sleep: time belongs to the driver's steps.
void HeadlessPlatform::sleepMs(uint32_t) {}

WindowResult HeadlessPlatform::createWindow() {
    std::lock_guard lock(mutex_);
    logCall("createWindow");
    windowCreated_ = windowResult == WindowResult::ok;
    return windowResult;
}

bool HeadlessPlatform::enterFullScreen() {
    std::lock_guard lock(mutex_);
    logCall("hideCursor");
    logCall("enterFullScreen");
    cursorHidden_ = true;
    fullScreen_ = fullScreenWorks;
    return fullScreenWorks;
}

void HeadlessPlatform::leaveFullScreen() {
    std::lock_guard lock(mutex_);
    logCall("leaveFullScreen");
    fullScreen_ = false;
}

void HeadlessPlatform::present(const uint16_t* frame) {
    std::unique_lock lock(mutex_);
    if (!presenting_) return;
    if (frames_ == 0) logCall("present");
    std::memcpy(lastFrame_.data(), frame, lastFrame_.size() * sizeof(uint16_t));
    ++frames_;
    if (freeRunning) return;
    framePresented_ = true;
    changed_.notify_all();
    changed_.wait(lock, [&] { return !presenting_ || allowedTo_ > now_; });
    if (!presenting_) return;
    ++now_;
    framePresented_ = false;
}

void HeadlessPlatform::setClock(uint64_t ms) {
    std::lock_guard lock(mutex_);
    now_ = ms;
}

void HeadlessPlatform::stopPresenting() {
    std::lock_guard lock(mutex_);
    if (presenting_) logCall("stopPresenting");
    presenting_ = false;
    changed_.notify_all();
}

void HeadlessPlatform::postClose() {
    std::lock_guard lock(mutex_);
    logCall("postClose");
    closePosted_ = true;
    changed_.notify_all();
}

void HeadlessPlatform::quit(int exitCode) {
    std::lock_guard lock(mutex_);
    quit_ = true;
    exitCode_ = exitCode;
}

void HeadlessPlatform::settle(std::unique_lock<std::mutex>& lock) {
    changed_.wait(lock, [&] { return framePresented_ || closePosted_ || !presenting_; });
}

void HeadlessPlatform::advanceTo(uint64_t target, std::unique_lock<std::mutex>& lock) {
    allowedTo_ = target;
    changed_.notify_all();
    changed_.wait(lock, [&] {
        return (now_ == target && framePresented_) || closePosted_ || !presenting_;
    });
}

int HeadlessPlatform::runEventLoop(WindowEvents& events) {
    std::unique_lock lock(mutex_);
    auto deliverPostedClose = [&] {
        if (!closePosted_) return false;
        closePosted_ = false;
        lock.unlock();
        events.closeRequested();
        lock.lock();
        return true;
    };

    // The render thread draws frame 0 at virtual time 0 before the first step.
    settle(lock);
    for (const HeadlessStep& step : steps) {
        if (quit_) break;
        if (deliverPostedClose()) continue;
        switch (step.kind) {
            case HeadlessStep::Kind::wait:
                advanceTo(now_ + step.value, lock);
                break;
            case HeadlessStep::Kind::key:
                lock.unlock();
                events.keyDown(static_cast<int>(step.value));
                lock.lock();
                break;
            case HeadlessStep::Kind::close:
                lock.unlock();
                events.closeRequested();
                lock.lock();
                break;
            case HeadlessStep::Kind::call:
                lock.unlock();
                if (step.call) step.call();
                lock.lock();
                break;
        }
    }
    deliverPostedClose();
    // Out of steps: the run ends as if the window had been closed.
    if (!quit_) {
        lock.unlock();
        events.closeRequested();
        lock.lock();
    }
    return exitCode_;
}

std::vector<std::string> HeadlessPlatform::calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

std::vector<std::string> HeadlessPlatform::messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

int HeadlessPlatform::beepCount() const {
    std::lock_guard lock(mutex_);
    return beeps_;
}

bool HeadlessPlatform::windowCreated() const {
    std::lock_guard lock(mutex_);
    return windowCreated_;
}

bool HeadlessPlatform::fullScreen() const {
    std::lock_guard lock(mutex_);
    return fullScreen_;
}

bool HeadlessPlatform::cursorHidden() const {
    std::lock_guard lock(mutex_);
    return cursorHidden_;
}

uint64_t HeadlessPlatform::framesPresented() const {
    std::lock_guard lock(mutex_);
    return frames_;
}

std::vector<uint16_t> HeadlessPlatform::lastFrame() const {
    std::lock_guard lock(mutex_);
    return lastFrame_;
}

}  // namespace qvl
