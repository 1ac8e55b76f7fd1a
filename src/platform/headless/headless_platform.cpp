// Headless backend: the render thread, the output thread and the driver take turns through one
// mutex. The render thread presents the frame of virtual time T and waits; the driver then feeds
// a key (handled at time T) or lets the clock run on, one frame per virtual millisecond (or per
// frameMs). The clock only moves once the output thread, if any, has taken its look at the
// current time.
#include "platform/headless/headless_platform.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "platform/sound_frame.h"

namespace qvl {

class HeadlessPlatform::Device final : public RingDevice {
  public:
    explicit Device(HeadlessPlatform& owner) : owner_(owner) {}
    ~Device() override { owner_.closeDevice(this); }
    uint32_t bytesPlayed() override {
        std::lock_guard lock(owner_.mutex_);
        return static_cast<uint32_t>(owner_.framesAt(owner_.now_) * kSoundFrameBytes);
    }
    void stopping() override {
        std::lock_guard lock(owner_.mutex_);
        owner_.pollerStopping_ = true;
        owner_.changed_.notify_all();
    }
    void unpolled(std::function<bool()>) override {
        // The caller steps the output by hand between clock moves: no thread to wait for.
        std::lock_guard lock(owner_.mutex_);
        owner_.awake_ = 0;
        owner_.changed_.notify_all();
    }

  private:
    HeadlessPlatform& owner_;
};

HeadlessPlatform::HeadlessPlatform()
    : driver_(std::this_thread::get_id()), lastFrame_(kFrameWidth * kFrameHeight, 0) {}

HeadlessPlatform::~HeadlessPlatform() = default;

void HeadlessPlatform::showMessage(std::string_view text) {
    if (!quiet) printMessage(text);
    std::lock_guard lock(mutex_);
    messages_.emplace_back(text);
    logCall("message");
}

void HeadlessPlatform::noteLine(std::string_view text) {
    if (!quiet) std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    std::lock_guard lock(mutex_);
    notes_.emplace_back(text);
}

void HeadlessPlatform::beep() {
    std::lock_guard lock(mutex_);
    ++beeps_;
}

uint32_t HeadlessPlatform::tickCount() {
    std::lock_guard lock(mutex_);
    return static_cast<uint32_t>(now_);
}

void HeadlessPlatform::sleepMs(uint32_t ms) {
    std::unique_lock lock(mutex_);
    if (std::this_thread::get_id() == driver_) {
        if (events_)
            for (uint32_t i = 0; i < ms; ++i) tick(lock);
        return;
    }
    if (runOver_ || pollerStopping_) return;
    const uint64_t wake = now_ + (ms == 0 ? 1 : ms);
    --awake_;
    wakeTimes_.insert(wake);
    changed_.notify_all();
    // tick() counts this thread awake again when the clock reaches its time.
    changed_.wait(lock, [&] { return now_ >= wake || runOver_ || pollerStopping_; });
}

void HeadlessPlatform::tick(std::unique_lock<std::mutex>& lock) {
    changed_.wait(lock, [&] { return awake_ <= 0 || runOver_ || pollerStopping_; });
    ++now_;
    while (!wakeTimes_.empty() && *wakeTimes_.begin() <= now_) {
        wakeTimes_.erase(wakeTimes_.begin());
        ++awake_;
    }
    if (ring_) {
        // The device plays the frames of this millisecond from the ring as it stands now.
        for (uint64_t f = framesAt(now_ - 1); f < framesAt(now_); ++f) {
            const int16_t* frame = ring_ + 2 * (f % static_cast<uint64_t>(ringFrames_));
            played_.push_back(frame[0]);
            played_.push_back(frame[1]);
        }
        framesPlayed_ += framesAt(now_) - framesAt(now_ - 1);
        // Dropping the older frames only once twice the kept ones have gathered keeps the cost
        // of a millisecond constant on average.
        if (played_.size() / 4 > keptAudioFrames)
            played_.erase(played_.begin(), played_.end() - 2 * std::ptrdiff_t(keptAudioFrames));
    }
    changed_.notify_all();
}

void HeadlessPlatform::setClock(uint64_t ms) {
    std::unique_lock lock(mutex_);
    while (now_ < ms) tick(lock);
    // Let the threads that just woke take their look before the caller goes on.
    changed_.wait(lock, [&] { return awake_ <= 0 || runOver_ || pollerStopping_; });
}

std::unique_ptr<RingDevice> HeadlessPlatform::openRingDevice(int rate, const int16_t* ring,
                                                             int frames) {
    std::lock_guard lock(mutex_);
    logCall("openRingDevice");
    if (!soundWorks || device_ || !ring || frames <= 0 || rate <= 0) return nullptr;
    auto device = std::make_unique<Device>(*this);
    device_ = device.get();
    ring_ = ring;
    ringFrames_ = frames;
    rate_ = rate;
    // The thread that polls the device counts as awake from now on, until it first sleeps.
    awake_ = 1;
    return device;
}

void HeadlessPlatform::closeDevice(Device* device) {
    std::lock_guard lock(mutex_);
    if (device != device_) return;
    device_ = nullptr;
    ring_ = nullptr;
    pollerStopping_ = false;
    // The polling thread has ended; it no longer holds the clock back.
    awake_ = 0;
    wakeTimes_.clear();
    changed_.notify_all();
}

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
    tick(lock);
    for (uint32_t ms = 1; ms < frameMs && allowedTo_ > now_; ++ms) tick(lock);
    framePresented_ = false;
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

void HeadlessPlatform::postWake() {
    std::unique_lock lock(mutex_);
    if (std::this_thread::get_id() == driver_) {
        if (!events_) return;
        lock.unlock();
        events_->wake();
        return;
    }
    wakePosted_ = true;
    changed_.notify_all();
    changed_.wait(lock, [&] { return !wakePosted_ || !presenting_ || runOver_; });
}

void HeadlessPlatform::quit(int exitCode) {
    std::lock_guard lock(mutex_);
    quit_ = true;
    exitCode_ = exitCode;
}

template <typename Done>
void HeadlessPlatform::waitDelivering(std::unique_lock<std::mutex>& lock, Done done) {
    for (;;) {
        changed_.wait(lock, [&] { return wakePosted_ || done(); });
        if (!wakePosted_) return;
        lock.unlock();
        events_->wake();
        lock.lock();
        wakePosted_ = false;
        changed_.notify_all();
    }
}

void HeadlessPlatform::settle(std::unique_lock<std::mutex>& lock) {
    waitDelivering(lock, [&] { return framePresented_ || closePosted_ || !presenting_; });
}

void HeadlessPlatform::advanceTo(uint64_t target, std::unique_lock<std::mutex>& lock) {
    allowedTo_ = target;
    changed_.notify_all();
    waitDelivering(
        lock, [&] { return (now_ == target && framePresented_) || closePosted_ || !presenting_; });
}

int HeadlessPlatform::runEventLoop(WindowEvents& events) {
    std::unique_lock lock(mutex_);
    driver_ = std::this_thread::get_id();
    events_ = &events;
    auto deliver = [&](auto&& action) {
        lock.unlock();
        action();
        lock.lock();
    };
    auto deliverPostedClose = [&] {
        if (!closePosted_) return false;
        closePosted_ = false;
        deliver([&] { events.closeRequested(); });
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
                deliver([&] { events.keyDown(static_cast<int>(step.value)); });
                break;
            case HeadlessStep::Kind::close:
                deliver([&] { events.closeRequested(); });
                break;
            case HeadlessStep::Kind::call:
                if (step.call) deliver(step.call);
                break;
            case HeadlessStep::Kind::press:
                deliver([&] { events.pointerPressed(step.x, step.y); });
                break;
            case HeadlessStep::Kind::wheel:
                deliver([&] { events.wheelTurned(step.y); });
                break;
        }
    }
    deliverPostedClose();
    // Out of steps: the run ends as if the window had been closed.
    if (!quit_) deliver([&] { events.closeRequested(); });
    runOver_ = true;
    events_ = nullptr;
    changed_.notify_all();
    return exitCode_;
}

std::string HeadlessPlatform::pageText() {
    return events_ ? events_->pageText() : std::string();
}

std::vector<std::string> HeadlessPlatform::messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

std::vector<std::string> HeadlessPlatform::notes() const {
    std::lock_guard lock(mutex_);
    return notes_;
}

std::vector<std::string> HeadlessPlatform::calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
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

std::vector<int16_t> HeadlessPlatform::playedAudio() const {
    std::lock_guard lock(mutex_);
    const size_t kept = std::min(played_.size(), 2 * std::min(keptAudioFrames, SIZE_MAX / 2));
    return std::vector<int16_t>(played_.end() - std::ptrdiff_t(kept), played_.end());
}

uint64_t HeadlessPlatform::audioFramesPlayed() const {
    std::lock_guard lock(mutex_);
    return framesPlayed_;
}

int HeadlessPlatform::playRate() const {
    std::lock_guard lock(mutex_);
    return rate_;
}

}  // namespace qvl
