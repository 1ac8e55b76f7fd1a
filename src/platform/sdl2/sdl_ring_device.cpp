// SDL2 ring device: 44100 Hz (or whatever rate is asked for), 16-bit, stereo, exactly as asked:
// SDL converts for the hardware if it must, so the ring's frames always play at the mix rate.
#include "platform/sdl2/sdl_ring_device.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/sound_frame.h"

namespace qvl {

namespace {

class SdlRingDevice final : public RingDevice {
  public:
    SdlRingDevice(const int16_t* ring, int frames)
        : ring_(reinterpret_cast<const uint8_t*>(ring)),
          ringBytes_(static_cast<size_t>(frames) * kSoundFrameBytes) {}

    ~SdlRingDevice() override {
        if (device_) SDL_CloseAudioDevice(device_);  // waits for a callback in progress
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool open(int rate) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            std::fprintf(stderr, "SDL audio: %s\n", SDL_GetError());
            return false;
        }
        SDL_AudioSpec want{};
        want.freq = rate;
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = 1024;
        want.callback = &SdlRingDevice::callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (!device_) {
            std::fprintf(stderr, "SDL audio: %s\n", SDL_GetError());
            return false;
        }
        SDL_PauseAudioDevice(device_, 0);
        return true;
    }

    uint32_t bytesPlayed() override {
        return static_cast<uint32_t>(played_.load(std::memory_order_acquire));
    }

  private:
    static void SDLCALL callback(void* self, Uint8* stream, int length) {
        static_cast<SdlRingDevice*>(self)->fill(stream, static_cast<size_t>(length));
    }

    void fill(uint8_t* stream, size_t length) {
        uint64_t played = played_.load(std::memory_order_relaxed);
        size_t at = static_cast<size_t>(played % ringBytes_);
        size_t left = length;
        while (left > 0) {
            size_t n = std::min(left, ringBytes_ - at);
            std::memcpy(stream, ring_ + at, n);
            stream += n;
            left -= n;
            at = (at + n) % ringBytes_;
        }
        played_.store(played + length, std::memory_order_release);
    }

    const uint8_t* ring_;
    size_t ringBytes_;
    SDL_AudioDeviceID device_ = 0;
    std::atomic<uint64_t> played_{0};
};

}  // namespace

std::unique_ptr<RingDevice> openSdlRingDevice(int rate, const int16_t* ring, int frames) {
    if (!ring || frames <= 0 || rate <= 0) return nullptr;
    auto device = std::make_unique<SdlRingDevice>(ring, frames);
    if (!device->open(rate)) return nullptr;
    return device;
}

}  // namespace qvl
