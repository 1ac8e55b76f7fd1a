// The magazine's handle on its music: sets the sound output up once, loads one module at a time
// as the current song, and starts, stops and frees it. Without sound every operation quietly
// does nothing, so the magazine runs silent.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/clock.h"
#include "platform/ring_device.h"
#include "player/context.h"
#include "player/xm_loader.h"
#include "sound/wave_output.h"

namespace qvl {

struct Song;

class MusicControl {
  public:
    MusicControl(RingDevices& devices, Clock& clock)
        : clock_(clock), output_(devices, clock, context_) {}
    // The song still loaded at the end is stopped and freed before the output closes.
    ~MusicControl();
    MusicControl(const MusicControl&) = delete;
    MusicControl& operator=(const MusicControl&) = delete;

    // Installs the in-memory module file and opens the output at the mix rate; true with sound.
    bool initMusic();
    // Loads the module (a Windows-style name) as the current song; the previous one is
    // replaced, not freed. True at once, loading nothing, when there is no sound. False when
    // the module does not load, with the reason in loadResult.
    bool loadMusic(std::string_view fileName);
    void playMusic();
    void stopMusic();
    void freeMusic();
    // A pause of ms, then then; the caller goes on at once. Where the output has a thread, the
    // pause ends on the clock: pauseOver tells when, and whoever drives the control then calls
    // endPause. Where it has none (a browser page), the output runs then once the device has
    // played ms more, so the device plays what it would have played. Either way any other call
    // of the control before the end runs then at once first, as a caller that had slept
    // through the pause would have made that call only afterwards.
    void afterPause(uint32_t ms, std::function<void()> then);
    // A pause on the clock has come to its end; callable from any thread.
    bool pauseOver();
    // Runs then of a pause that is over, if any.
    void endPause();

    bool enabled = false;
    Song* song = nullptr;
    XmLoadResult loadResult;  // of the last loadMusic

    const WaveOutput& output() const { return output_; }

  private:
    // Runs at once what waits for the pause, if anything.
    void finishPause();

    Clock& clock_;
    PlayerContext context_;
    WaveOutput output_;
    // A pause on the clock: then waits (whoever drives the control alone touches it) until the
    // tick count pauseEnd_. The driver writes both atomics; any thread may read them.
    std::function<void()> waiting_;
    std::atomic<bool> pausing_{false};
    std::atomic<uint32_t> pauseEnd_{0};
};

}  // namespace qvl
