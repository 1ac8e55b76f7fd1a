// applyChannel: turns a channel's period, volume, panning and update requests into the
// frequency, per-side volumes and start or stop of its voice.
#pragma once

namespace qvl {

struct Channel;
struct PlayerContext;
struct Sample;
struct Song;

void applyChannel(PlayerContext& context, Channel& channel, const Sample& sample, const Song& song);

}  // namespace qvl
