// The output's step: one position look, at most one block fill. The output thread takes it every
// 2 ms. Filling the block that has just finished keeps the ring about 19 blocks (380 ms) ahead
// of the listener.
#include "sound/wave_output.h"

#include <cstring>
#include <mutex>

#include "platform/sound_frame.h"
#include "player/replay.h"
#include "sound/block_fill.h"

namespace qvl {

namespace {

constexpr uint32_t kPollMillis = 2;

}  // namespace

bool mayFillBlock(int next, int current, int blockCount) {
    const int previous = current == 0 ? blockCount - 1 : current - 1;
    return next != current && (next <= previous || (previous == 0 && next != 1));
}

bool WaveOutput::openWaveOutput(int rate, OutputDriver driver) {
    if (!context_.files.complete()) return false;
    closeWaveOutput();
    if (rate < minMixRate || rate > 384000) return false;  // guard: rates no device plays

    sizes_ = waveOutputSizes(rate);
    rate_ = rate;
    ring_ = std::make_unique<int16_t[]>(static_cast<size_t>(sizes_.ringFrames) * 2);  // zeroed
    // Float pairs, the start rounded up to 16 bytes for the mixer's vector work.
    mixAreaStorage_ = std::make_unique<float[]>(static_cast<size_t>(sizes_.ringFrames) * 2 + 64);
    auto address = reinterpret_cast<uintptr_t>(mixAreaStorage_.get());
    mixArea_ = mixAreaStorage_.get() + ((16 - address % 16) % 16) / sizeof(float);

    openVoices(context_, rate);
    retimePlayingSongs(context_);  // songs that played on through a reopening keep their tempo
    device_ = devices_.openRingDevice(rate, ring_.get(), sizes_.ringFrames);
    if (!device_) {
        closeWaveOutput();
        return false;
    }
    stopRequest_ = false;
    blocksFilled_ = 0;
    lowestLead_ = sizes_.blockCount;
    lateBlocks_ = 0;
    played_ = 0;
    lastCount_ = 0;
    const bool threaded = driver == OutputDriver::thread && !device_->runsOutputStep();
    if (threaded)
        thread_ = std::thread(&WaveOutput::outputThreadMain, this);
    else
        device_->unpolled([this] { return outputStep(); });
    return true;
}

bool WaveOutput::outputStep() {
    if (!device_) return false;  // guard: a step after the close
    const WaveOutputSizes& s = sizes_;
    const uint32_t count = device_->bytesPlayed();
    played_ += static_cast<uint32_t>(count - lastCount_);  // guard: no jump when it wraps
    lastCount_ = count;
    if (waiting_ && played_ >= waitUntil_) takeWaiting()();
    const int current =
        static_cast<int>((played_ / kSoundFrameBytes) % static_cast<uint64_t>(s.ringFrames)) /
        s.framesPerBlock;
    if (!mayFillBlock(nextBlock_, current, s.blockCount)) return false;
    noteLead((nextBlock_ - current + s.blockCount) % s.blockCount);
    fillBlock(context_, ring_.get(), mixArea_, nextBlock_ * s.framesPerBlock, s.framesPerBlock);
    nextBlock_ = (nextBlock_ + 1) % s.blockCount;
    blocksFilled_.fetch_add(1, std::memory_order_relaxed);
    return true;
}

void WaveOutput::afterPlayed(uint32_t ms, std::function<void()> then) {
    if (!device_) return;
    const uint64_t now = played_ + static_cast<uint32_t>(device_->bytesPlayed() - lastCount_);
    waitUntil_ = now + uint64_t{ms} * static_cast<uint64_t>(rate_) / 1000 * kSoundFrameBytes;
    waiting_ = std::move(then);
}

void WaveOutput::outputThreadMain() {
    while (!stopRequest_.load(std::memory_order_acquire)) {
        outputStep();
        clock_.sleepMs(kPollMillis);
    }
}

void WaveOutput::noteLead(int lead) {
    if (lead < lowestLead_.load(std::memory_order_relaxed))
        lowestLead_.store(lead, std::memory_order_relaxed);
    if (lead < sizes_.blockCount / 2) lateBlocks_.fetch_add(1, std::memory_order_relaxed);
}

WaveOutputStats WaveOutput::stats() const {
    WaveOutputStats s;
    s.blocksFilled = blocksFilled_.load(std::memory_order_relaxed);
    s.lowestLead = lowestLead_.load(std::memory_order_relaxed);
    s.lateBlocks = lateBlocks_.load(std::memory_order_relaxed);
    return s;
}

void WaveOutput::closeWaveOutput() {
    stopRequest_ = true;
    if (device_) device_->stopping();
    if (thread_.joinable()) thread_.join();
    { std::lock_guard lock(context_.mixBusy); }  // no fill may be left running
    device_.reset();                             // the device stops reading the ring before it goes
    if (ring_) closeVoices(context_);
    waiting_ = nullptr;
    mixArea_ = nullptr;
    mixAreaStorage_.reset();
    ring_.reset();
}

}  // namespace qvl
