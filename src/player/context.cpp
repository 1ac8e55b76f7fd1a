// Creation and release of the voice pool and the file callbacks of a player context.
#include "player/context.h"

#include "player/channel.h"
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
        Song& song = *l->owner;
        setTempo(context, song, song.bpm);
        // songs that kept playing across a reopening drive the new voices
        for (size_t c = 0; c < song.channels.size(); ++c) {
            song.channels[c].voice = &context.voicePool[c];
        }
    }
}

void closeVoices(PlayerContext& context) {
    std::lock_guard lock(context.mixBusy);
    for (auto* l = context.playingSongs.next; l != &context.playingSongs; l = l->next) {
        for (Channel& channel : l->owner->channels) channel.voice = nullptr;
    }
    while (context.voiceList.linked()) unlinkNode(*context.voiceList.next);
    context.voicePool.reset();
}

}  // namespace qvl
