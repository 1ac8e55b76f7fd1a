#include "sound/song_length.h"

#include "player/context.h"
#include "player/replay.h"
#include "player/song.h"
#include "player/xm_loader.h"
#include "sound/memory_file.h"

namespace qvl {

int64_t framesUntilLoop(const char* module, int rate, int64_t maxFrames) {
    PlayerContext context;
    setFileCallbacks(context, memoryFileCallbacks());
    openVoices(context, rate);
    Song* song = createSong(context, module);
    if (!song) return maxFrames;
    startSong(context, song);
    int64_t frames = 0;
    while (frames < maxFrames) {
        song->tickRoutine(context, *song);
        if (song->loopBackCount > 0) break;
        frames += song->samplesPerTick;
    }
    freeSong(context, song);
    return frames < maxFrames ? frames : maxFrames;
}

}  // namespace qvl
