// Music control over the player and the wave output.
#include "sound/music_control.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "platform/file_path.h"
#include "player/file_callbacks.h"
#include "player/replay.h"
#include "player/xm_loader.h"
#include "sound/memory_file.h"

namespace qvl {

MusicControl::~MusicControl() {
    // QVL_SOUND_REPORT=1 tells, at the end, how far ahead of the listener the output kept.
    if (enabled && std::getenv("QVL_SOUND_REPORT")) {
        WaveOutputStats s = output_.stats();
        std::fprintf(stderr, "sound: %llu blocks filled, lowest lead %d of %d blocks, %llu late\n",
                     static_cast<unsigned long long>(s.blocksFilled), s.lowestLead,
                     output_.sizes().blockCount, static_cast<unsigned long long>(s.lateBlocks));
    }
    // A song that was to start after a pause never starts.
    output_.takeWaiting();
    waiting_ = nullptr;
    freeMusic();
    output_.closeWaveOutput();
}

bool MusicControl::initMusic() {
    setFileCallbacks(context_, memoryFileCallbacks());
    enabled = output_.openWaveOutput(kMixRate);
    return enabled;
}

bool MusicControl::loadMusic(std::string_view fileName) {
    finishPause();
    if (!enabled) return true;
    song = createSong(context_, resolvePath(fileName).c_str(), &loadResult);
    return song != nullptr;
}

void MusicControl::playMusic() {
    finishPause();
    if (enabled) startSong(context_, song);
}

void MusicControl::stopMusic() {
    finishPause();
    if (enabled) stopSong(context_, song);
}

void MusicControl::freeMusic() {
    finishPause();
    if (!enabled) return;
    freeSong(context_, song);
    song = nullptr;
}

void MusicControl::afterPause(uint32_t ms, std::function<void()> then) {
    finishPause();
    if (enabled && !output_.threaded()) {
        output_.afterPlayed(ms, std::move(then));
        return;
    }
    waiting_ = std::move(then);
    pauseEnd_.store(clock_.tickCount() + ms, std::memory_order_relaxed);
    pausing_.store(true, std::memory_order_release);
}

bool MusicControl::pauseOver() {
    if (!pausing_.load(std::memory_order_acquire)) return false;
    // The tick count wraps: the end has come once it lies no more than 2^31 ms behind.
    const uint32_t end = pauseEnd_.load(std::memory_order_relaxed);
    return static_cast<int32_t>(clock_.tickCount() - end) >= 0;
}

void MusicControl::endPause() {
    if (pauseOver()) finishPause();
}

void MusicControl::finishPause() {
    if (std::function<void()> then = output_.takeWaiting()) then();
    if (!pausing_.exchange(false, std::memory_order_relaxed)) return;
    if (std::function<void()> then = std::exchange(waiting_, nullptr)) then();
}

}  // namespace qvl
