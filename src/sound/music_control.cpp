// Music control over the player and the wave output.
#include "sound/music_control.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/file_path.h"
#include "player/file_callbacks.h"
#include "player/replay.h"
#include "player/xm_loader.h"
#include "sound/memory_file.h"

namespace qvl {

MusicControl::~MusicControl() {
    // QVL_SOUND_REPORT=1 tells, at the end, how far ahead of the listener the output kept.
    if (enabled && std::getenv("QVL_SOUND_REPORT")) {
        WaveOutputStats s = output_.stats();
        std::fprintf(stderr, "sound: %llu blocks filled, lowest lead %d of %d blocks, %llu late\n",
                     static_cast<unsigned long long>(s.blocksFilled), s.lowestLead,
                     output_.sizes().blockCount, static_cast<unsigned long long>(s.lateBlocks));
    }
    freeMusic();
    output_.closeWaveOutput();
}

bool MusicControl::initMusic() {
    setFileCallbacks(context_, memoryFileCallbacks());
    enabled = output_.openWaveOutput(kMixRate);
    return enabled;
}

bool MusicControl::loadMusic(std::string_view fileName) {
    if (!enabled) return true;
    song = createSong(context_, resolvePath(fileName).c_str());
    return song != nullptr;
}

void MusicControl::playMusic() {
    if (enabled) startSong(context_, song);
}

void MusicControl::stopMusic() {
    if (enabled) stopSong(context_, song);
}

void MusicControl::freeMusic() {
    if (!enabled) return;
    freeSong(context_, song);
    song = nullptr;
}

}  // namespace qvl
