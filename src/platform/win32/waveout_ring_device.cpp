// Wave-out ring device: 16-bit stereo PCM to the default device (WAVE_MAPPER), no callback;
// the ring plays in a loop until the device is reset when the output closes.
#include "platform/win32/waveout_ring_device.h"

#include "platform/sound_frame.h"

namespace qvl {

namespace {

class WaveOutRingDevice final : public RingDevice {
  public:
    ~WaveOutRingDevice() override {
        if (!device_) return;
        waveOutReset(device_);  // ends the endless loop and hands the header back
        if (written_) waveOutUnprepareHeader(device_, &header_, sizeof(header_));
        waveOutClose(device_);
        if (timerPeriod_) timeEndPeriod(1);
    }

    bool open(int rate, const int16_t* ring, int frames) {
        rate_ = rate;
        WAVEFORMATEX format{};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = 2;
        format.nSamplesPerSec = static_cast<DWORD>(rate);
        format.nAvgBytesPerSec = static_cast<DWORD>(rate) * kSoundFrameBytes;
        format.nBlockAlign = kSoundFrameBytes;
        format.wBitsPerSample = 16;
        if (waveOutOpen(&device_, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
            device_ = nullptr;
            return false;
        }
        // The output thread polls every 2 ms; the default timer would stretch its sleeps to
        // 15.6 ms, so it would catch up only slowly after a stall.
        timerPeriod_ = timeBeginPeriod(1) == TIMERR_NOERROR;

        // The device only reads the ring; the header's field is not const.
        header_.lpData = reinterpret_cast<LPSTR>(const_cast<int16_t*>(ring));
        header_.dwBufferLength = static_cast<DWORD>(frames) * kSoundFrameBytes;
        if (waveOutPrepareHeader(device_, &header_, sizeof(header_)) != MMSYSERR_NOERROR)
            return false;
        written_ = true;
        header_.dwFlags |= WHDR_BEGINLOOP | WHDR_ENDLOOP;
        header_.dwLoops = 0xFFFFFFFF;
        waveOutWrite(device_, &header_, sizeof(header_));
        return true;
    }

    uint32_t bytesPlayed() override {
        MMTIME position{};
        position.wType = TIME_BYTES;
        if (waveOutGetPosition(device_, &position, sizeof(position)) != MMSYSERR_NOERROR) return 0;
        return bytesFromPosition(position, rate_);
    }

  private:
    HWAVEOUT device_ = nullptr;
    WAVEHDR header_{};
    bool written_ = false;
    bool timerPeriod_ = false;
    int rate_ = 0;
};

}  // namespace

uint32_t bytesFromPosition(const MMTIME& position, int rate) {
    switch (position.wType) {
        case TIME_BYTES:
            return position.u.cb;
        // guard: a driver may answer in another unit than the one asked for
        case TIME_SAMPLES:
            return position.u.sample * kSoundFrameBytes;
        case TIME_MS:
            return static_cast<uint32_t>(uint64_t{position.u.ms} * static_cast<uint64_t>(rate) /
                                         1000 * kSoundFrameBytes);
        default:
            return 0;
    }
}

std::unique_ptr<RingDevice> openWaveOutRingDevice(int rate, const int16_t* ring, int frames) {
    if (!ring || frames <= 0 || rate <= 0) return nullptr;
    auto device = std::make_unique<WaveOutRingDevice>();
    if (!device->open(rate, ring, frames)) return nullptr;
    return device;
}

}  // namespace qvl
