// The values the application shell owns and the magazine reads: the render loop's flag and the
// millisecond clock of the fades. Shared between the main and the render thread, so atomic.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/platform.h"

namespace qvl {

struct ShellState {
    explicit ShellState(Platform& p) : platform(p) {}

    Platform& platform;
    // The render loop goes on while this is non-zero; "exit" and F12 clear it.
    std::atomic<int32_t> renderRunning{0};
    // The platform's tick count when the render thread started.
    std::atomic<uint32_t> startTick{0};

    // Milliseconds since the render thread started, wrapping modulo 2^32.
    uint32_t elapsedMs() const {
        return platform.tickCount() - startTick.load(std::memory_order_relaxed);
    }
};

}  // namespace qvl
