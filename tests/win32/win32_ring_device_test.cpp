// The wave-out ring device: positions in any unit the driver answers in become bytes of 16-bit
// stereo, and a machine without a device gets no ring device (the magazine runs silent).
#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/waveout_ring_device.h"

namespace qvl {
namespace {

TEST(Win32RingDevice, PositionsInEveryUnitBecomeBytes) {
    const struct {
        UINT unit;
        DWORD value;
        int rate;
        uint32_t bytes;
    } cases[] = {
        {TIME_BYTES, 0xFFFFFFF0u, 44100, 0xFFFFFFF0u},  // close to the wrap of the counter
        {TIME_SAMPLES, 17680, 44100, 70720},            // four bytes a frame
        {TIME_MS, 1000, 44100, 176400},
        {TIME_MS, 20, 48000, 3840},
        {TIME_SMPTE, 1000, 44100, 0},  // a unit we cannot convert
    };
    for (const auto& c : cases) {
        MMTIME position{};
        position.wType = c.unit;
        position.u.cb = c.value;  // the byte, sample and millisecond counts share one place
        EXPECT_EQ(bytesFromPosition(position, c.rate), c.bytes) << c.unit << " " << c.value;
    }
}

TEST(Win32RingDevice, BadRingIsRefused) {
    std::vector<int16_t> ring(17680 * 2);
    EXPECT_EQ(openWaveOutRingDevice(44100, nullptr, 17680), nullptr);
    EXPECT_EQ(openWaveOutRingDevice(44100, ring.data(), 0), nullptr);
    EXPECT_EQ(openWaveOutRingDevice(0, ring.data(), 17680), nullptr);
}

TEST(Win32RingDevice, OpensOnlyWhereADeviceIs) {
    std::vector<int16_t> ring(17680 * 2);
    auto device = openWaveOutRingDevice(44100, ring.data(), 17680);
    if (waveOutGetNumDevs() == 0) {
        EXPECT_EQ(device, nullptr);
        return;
    }
    ASSERT_NE(device, nullptr);
    // A real device plays: its position moves on within a quarter of a second.
    const uint32_t first = device->bytesPlayed();
    Sleep(250);
    EXPECT_GT(device->bytesPlayed(), first);
}

}  // namespace
}  // namespace qvl
