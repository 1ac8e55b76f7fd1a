// The tick/mix interleave of a block fill.
#include "sound/block_fill.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "player/context.h"
#include "player/mixer.h"
#include "player/song.h"

namespace qvl {

void fillBlock(PlayerContext& context, int16_t* ring, float* mixArea, int offset, int frames) {
    if (!ring || !mixArea || frames <= 0) return;
    std::lock_guard lock(context.mixBusy);
    float* area = mixArea + 2 * static_cast<size_t>(offset);
    std::memset(area, 0, sizeof(float) * 2 * static_cast<size_t>(frames));
    auto* head = &context.playingSongs;
    for (auto* l = head->next; l != head; l = l->next) {
        Song& song = *l->owner;
        if (!song.playing) continue;
        int32_t remaining = song.samplesToTick;
        int done = 0;
        while (done < frames) {
            if (remaining <= 0) {
                if (song.tickRoutine) song.tickRoutine(context, song);
                // guard: a tick of no frames would never let the block move on
                remaining = std::max(song.samplesPerTick, 1);
            }
            const int n = std::min(remaining, frames - done);
            mixVoices(context, area + 2 * static_cast<size_t>(done), n);
            done += n;
            remaining -= n;
        }
        song.samplesToTick = remaining;
    }
    convertMix(ring + 2 * static_cast<size_t>(offset), area, frames);
}

}  // namespace qvl
