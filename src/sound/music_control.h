// The magazine's handle on its music: sets the sound output up once, loads one module at a time
// as the current song, and starts, stops and frees it. Without sound every operation quietly
// does nothing, so the magazine runs silent.
#pragma once

#include <string_view>

#include "platform/clock.h"
#include "platform/ring_device.h"
#include "player/context.h"
#include "sound/wave_output.h"

namespace qvl {

struct Song;

class MusicControl {
  public:
    MusicControl(RingDevices& devices, Clock& clock) : output_(devices, clock, context_) {}
    // The song still loaded at the end is stopped and freed before the output closes.
    ~MusicControl();
    MusicControl(const MusicControl&) = delete;
    MusicControl& operator=(const MusicControl&) = delete;

    // Installs the in-memory module file and opens the output at the mix rate; true with sound.
    bool initMusic();
    // Loads the module (a Windows-style name) as the current song; the previous one is
    // replaced, not freed. True at once, loading nothing, when there is no sound.
    bool loadMusic(std::string_view fileName);
    void playMusic();
    void stopMusic();
    void freeMusic();

    bool enabled = false;
    Song* song = nullptr;

    const WaveOutput& output() const { return output_; }

  private:
    PlayerContext context_;
    WaveOutput output_;
};

}  // namespace qvl
