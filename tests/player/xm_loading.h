// Loads modules built by the XM writer into a player context, through the viewer's in-memory
// module file, and a small player around one such song for the replay and effect tests.
#pragma once

#include <cstdint>
#include <vector>

#include "player/context.h"
#include "player/song.h"
#include "xmwrite/xm_writer.h"

namespace qvl::test {

// Installs the memory file's callbacks, serving `bytes` whatever name is opened, and loads them.
Song* loadBytes(PlayerContext& context, const std::vector<uint8_t>& bytes);

// A context with voices at the mix rate and a started song built from the module.
struct Player {
    PlayerContext context;
    Song* song = nullptr;
    explicit Player(const XmModule& module);
    ~Player();
    void tick() { song->tickRoutine(context, *song); }
    Channel& channel(int c);
    Voice& voice(int c) { return context.voicePool[c]; }
};

}  // namespace qvl::test
