// Creation and release of the voice pool and the file callbacks of a player context.
#include "player/context.h"

namespace qvl {

void setFileCallbacks(PlayerContext& context, const FileCallbacks& callbacks) {
    context.files = callbacks.complete() ? callbacks : FileCallbacks{};
}

void openVoices(PlayerContext& context, int rate) {
    closeVoices(context);
    std::lock_guard lock(context.mixBusy);
    // guard: the mixer's boundary arithmetic needs steps below 256 frames
    context.mixRate = rate < minMixRate ? minMixRate : rate;
    context.rampLength = context.mixRate * rampFrames / standardMixRate;
    context.rampReciprocal = 1.0f / static_cast<float>(context.rampLength);
    context.mixKernels = fastestMixKernels();
    context.voicePool = std::make_unique<Voice[]>(voiceCount);
    for (int i = 0; i < voiceCount; ++i) context.voicePool[i].index = i;
}

void closeVoices(PlayerContext& context) {
    std::lock_guard lock(context.mixBusy);
    context.voicePool.reset();
}

}  // namespace qvl
