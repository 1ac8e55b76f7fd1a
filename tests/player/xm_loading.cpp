// Built modules are loaded through the memory file the viewer loads its music through.
#include "xm_loading.h"

#include "player/channel.h"
#include "player/file_callbacks.h"
#include "player/replay.h"
#include "player/xm_loader.h"
#include "sound/memory_file.h"
#include "sound/wave_output.h"

namespace qvl::test {

namespace {

const std::vector<uint8_t>* servedBytes = nullptr;

}  // namespace

Song* loadBytes(PlayerContext& context, const std::vector<uint8_t>& bytes) {
    servedBytes = &bytes;
    FileCallbacks f = memoryFileCallbacks();
    f.open = [](const char*) -> void* { return memoryFileFromBytes(*servedBytes); };
    setFileCallbacks(context, f);
    return createSong(context, "module.xm");
}

Player::Player(const XmModule& module) {
    openVoices(context, kMixRate);
    song = loadBytes(context, buildXm(module));
    if (song) startSong(context, song);
}

Player::~Player() {
    freeSong(context, song);
}

Channel& Player::channel(int c) {
    return song->channels[c];
}

}  // namespace qvl::test
