// The millisecond clock: what the fades measure and what the sound output sleeps on. The
// headless backend's clock is virtual, which is what keeps its runs deterministic.
#pragma once

#include <cstdint>

namespace qvl {

class Clock {
  public:
    // Milliseconds on a monotonic clock, wrapping modulo 2^32.
    virtual uint32_t tickCount() = 0;
    virtual void sleepMs(uint32_t ms) = 0;

  protected:
    ~Clock() = default;
};

}  // namespace qvl
