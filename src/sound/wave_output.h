// The sound output: one ring buffer that a ring device plays in an endless loop, and a step
// that watches the play position and refills, one 20 ms block at a time, the part of the ring
// that has just been played, ticking and mixing every playing song. An output thread runs the
// step every 2 ms; a program without threads runs it from its device's own playback.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <utility>

#include "platform/clock.h"
#include "platform/ring_device.h"
#include "player/context.h"

namespace qvl {

// The rate the viewer mixes and plays at, in frames a second.
inline constexpr int kMixRate = 44100;

inline constexpr int kBlockMillis = 20;    // one block fill of the ring
inline constexpr int kBufferMillis = 200;  // half the ring

// The sizes of the ring at a mix rate, in frames (one stereo sample pair).
struct WaveOutputSizes {
    int framesPerBlock = 0;  // 20 ms rounded up to a multiple of 4 frames
    int ringFrames = 0;      // 200 ms of blocks, twice over
    int blockCount = 0;
};
constexpr WaveOutputSizes waveOutputSizes(int rate) {
    WaveOutputSizes s;
    s.framesPerBlock = (rate * kBlockMillis / 1000 + 3) & ~3;
    s.ringFrames = (kBufferMillis / kBlockMillis) * s.framesPerBlock * 2;
    s.blockCount = s.framesPerBlock > 0 ? s.ringFrames / s.framesPerBlock : 0;
    return s;
}

// The frames of one block at the mix rate (884): the unit the output fills the ring in, and
// the block size offline renders use so that their frames are the viewer's.
inline constexpr int kFramesPerBlock = waveOutputSizes(kMixRate).framesPerBlock;

// Whether block next may be filled while block current plays: while block 0 or 1 plays, any
// other block; while a later one plays, only blocks below it.
bool mayFillBlock(int next, int current, int blockCount);

// How well the output thread kept ahead of the device since the output opened.
struct WaveOutputStats {
    uint64_t blocksFilled = 0;
    int lowestLead = 0;       // fewest blocks between a filled block and the one playing
    uint64_t lateBlocks = 0;  // fills less than half the ring ahead of the listener
};

// Who runs the output's step: its own thread, or the caller (a test by hand, or a device that
// plays from a callback on the program's only thread).
enum class OutputDriver { thread, caller };

class WaveOutput {
  public:
    // The output thread sleeps on clock between its looks at the device.
    WaveOutput(RingDevices& devices, Clock& clock, PlayerContext& context)
        : devices_(devices), clock_(clock), context_(context) {}
    ~WaveOutput() { closeWaveOutput(); }
    WaveOutput(const WaveOutput&) = delete;
    WaveOutput& operator=(const WaveOutput&) = delete;

    // True when the device plays and, driven by the thread, the output thread runs (unless the
    // device runs the step itself). Needs all five file callbacks of the context; a second open
    // replaces the first.
    bool openWaveOutput(int rate, OutputDriver driver = OutputDriver::thread);
    // Stops the thread and releases the device, the voices and the buffers.
    void closeWaveOutput();

    bool isOpen() const { return device_ != nullptr; }
    const WaveOutputSizes& sizes() const { return sizes_; }
    const int16_t* ring() const { return ring_.get(); }
    // One look at the device: reads the play position and fills at most one block. Only the
    // output's driver calls it, never two threads at once. True when it filled a block.
    bool outputStep();
    // True when the output thread polls the device (see openWaveOutput).
    bool threaded() const { return thread_.joinable(); }
    // For a caller without threads, which cannot sleep through a pause while the device plays
    // on: then runs from the step, before its next fill, once the device has played ms more
    // than now. One waits at a time (a second replaces the first); the close drops it.
    void afterPlayed(uint32_t ms, std::function<void()> then);
    // What waits for afterPlayed, taken out so that it never runs from the step: the caller
    // runs it at once, or drops it.
    std::function<void()> takeWaiting() { return std::exchange(waiting_, nullptr); }
    // Blocks filled since the output opened.
    uint64_t blocksFilled() const { return blocksFilled_.load(std::memory_order_relaxed); }
    WaveOutputStats stats() const;

  private:
    void outputThreadMain();
    // Records how many blocks ahead of the one playing a fill lands.
    void noteLead(int lead);

    RingDevices& devices_;
    Clock& clock_;
    PlayerContext& context_;
    WaveOutputSizes sizes_;
    std::unique_ptr<int16_t[]> ring_;
    std::unique_ptr<float[]> mixAreaStorage_;
    float* mixArea_ = nullptr;  // 16-byte aligned start within the storage
    std::unique_ptr<RingDevice> device_;
    std::thread thread_;
    // The output thread is to stop. Written by whoever opens and closes the output (the main
    // thread), read by the output thread before each look at the device.
    std::atomic<bool> stopRequest_{false};
    int nextBlock_ = 0;    // kept between opens, as the device's blocks are
    uint64_t played_ = 0;  // bytes, the device's 32-bit counter widened across its wraps
    uint32_t lastCount_ = 0;
    int rate_ = 0;
    std::function<void()> waiting_;  // see afterPlayed
    uint64_t waitUntil_ = 0;         // bytes played, as played_ counts them
    std::atomic<uint64_t> blocksFilled_{0};
    std::atomic<int> lowestLead_{0};
    std::atomic<uint64_t> lateBlocks_{0};
};

}  // namespace qvl
