// The looping ring device on the wave-out device: one header over the whole ring, flagged to
// loop endlessly, and the device's own byte position as the count of bytes played.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <cstdint>
#include <memory>

#include "platform/ring_device.h"

namespace qvl {

// None when no wave-out device takes 16-bit stereo at rate: the magazine then runs silent.
std::unique_ptr<RingDevice> openWaveOutRingDevice(int rate, const int16_t* ring, int frames);

// The bytes of 16-bit stereo a position stands for, whatever unit the driver answered in.
uint32_t bytesFromPosition(const MMTIME& position, int rate);

}  // namespace qvl
