// The wave-out ring device: positions in any unit the driver answers in become bytes of 16-bit
// stereo, and a machine without a device gets no ring device (the magazine runs silent).
#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/waveout_ring_device.h"

namespace qvl {
namespace {

TEST(Win32RingDevice, BytePositionIsTakenAsItIs) {
    MMTIME position{};
    position.wType = TIME_BYTES;
    position.u.cb = 0xFFFFFFF0u;  // close to the wrap of the 32-bit counter
    EXPECT_EQ(bytesFromPosition(position, 44100), 0xFFFFFFF0u);
}

TEST(Win32RingDevice, SamplePositionCountsFourBytesAFrame) {
    MMTIME position{};
    position.wType = TIME_SAMPLES;
    position.u.sample = 17680;
    EXPECT_EQ(bytesFromPosition(position, 44100), 70720u);
}

TEST(Win32RingDevice, MillisecondPositionUsesTheRate) {
    MMTIME position{};
    position.wType = TIME_MS;
    position.u.ms = 1000;
    EXPECT_EQ(bytesFromPosition(position, 44100), 176400u);
    position.u.ms = 20;
    EXPECT_EQ(bytesFromPosition(position, 48000), 3840u);
}

TEST(Win32RingDevice, UnknownUnitGivesZero) {
    MMTIME position{};
    position.wType = TIME_SMPTE;
    EXPECT_EQ(bytesFromPosition(position, 44100), 0u);
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
