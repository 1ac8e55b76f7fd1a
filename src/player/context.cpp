// Creation and release of the voice pool and the file callbacks of a player context.
#include "player/context.h"

#include "player/replay.h"
#include "player/song.h"

namespace qvl {

void setFileCallbacks(PlayerContext& context, const FileCallbacks& callbacks) {
    context.files = callbacks.complete() ? callbacks : FileCallbacks{};
}

void openVoices(PlayerContext& context, int rate) {
    closeVoices(context);
    std::lock_guard lock(context.mixBusy);
    // guard: the mixer's boundary arithmetic needs steps below 256 frames
    context.mixRate = rate < minMixRate ? minMixRate : rate;
    context.rampLength = context.mixRate * 128 / 44100;
    context.rampReciprocal = 1.0f / static_cast<float>(context.rampLength);
    context.mixKernels = fastestMixKernels();
    context.voicePool = std::make_unique<Voice[]>(voiceCount);
    for (int i = 0; i < voiceCount; ++i) {
        context.voicePool[i].index = i;
        appendNode(context.voiceList, context.voicePool[i].link);
    }
    for (auto* l = context.playingSongs.next; l != &context.playingSongs; l = l->next) {
        setTempo(context, *l->owner, l->owner->bpm);
    }
}

void closeVoices(PlayerContext& context) {
    std::lock_guard lock(context.mixBusy);
    while (context.voiceList.linked()) unlinkNode(*context.voiceList.next);
    context.voicePool.reset();
}

}  // namespace qvl
