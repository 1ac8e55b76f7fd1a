// The sound device as the output thread sees it: one ring buffer of 16-bit stereo frames that
// plays in an endless loop at the mix rate, starting at the ring's first frame, and a byte
// counter that says how far it has got.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace qvl {

class RingDevice {
  public:
    virtual ~RingDevice() = default;
    // Bytes handed to the speaker since the ring started playing, wrapping modulo 2^32 as a
    // device's byte counter does. Callable from any thread.
    virtual uint32_t bytesPlayed() = 0;
    // The thread that polls the device is about to stop: a device whose clock holds that
    // thread's sleeps lets them end at once from now on.
    virtual void stopping() {}
    // True for a device that plays from a callback of its own on the program's only thread (a
    // browser's audio): it runs the output's step itself, and no output thread starts.
    virtual bool runsOutputStep() const { return false; }
    // Said once, right after the open, when no thread will poll the device: step is the
    // output's look at it (true when it filled a block), which from now on the device runs
    // (see runsOutputStep) or whoever opened the output does. A device whose clock waits for
    // the polling thread stops waiting for one.
    virtual void unpolled(std::function<bool()> step) { (void)step; }
};

// Opens ring devices.
class RingDevices {
  public:
    // Starts playing ring (frames stereo frames of interleaved left and right samples, which
    // must outlive the device) in a loop at rate frames a second; none when there is no sound.
    virtual std::unique_ptr<RingDevice> openRingDevice(int rate, const int16_t* ring,
                                                       int frames) = 0;

  protected:
    ~RingDevices() = default;
};

}  // namespace qvl
