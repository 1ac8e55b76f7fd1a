// The looping ring device on SDL2 audio: the audio callback copies from the ring at the play
// cursor, wraps at its end, and counts the bytes it has handed over; that count is the device
// position the output thread polls.
#pragma once

#include <SDL.h>

#include <atomic>
#include <memory>

#include "platform/ring_device.h"

namespace qvl {

// None when SDL cannot open audio (no sound card, no driver): the viewer then runs silent.
std::unique_ptr<RingDevice> openSdlRingDevice(int rate, const int16_t* ring, int frames);

}  // namespace qvl
