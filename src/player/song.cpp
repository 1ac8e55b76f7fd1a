// The shared empty sample and instrument, and the song record's lifetime.
#include "player/song.h"

#include "player/channel.h"

namespace qvl {

const Sample emptySample{};
const Instrument emptyInstrument{};

Song::Song() = default;
Song::~Song() = default;

const Sample& slotSample(const Instrument& instrument, int slot) {
    if (slot < 0 || slot >= maxSamplesPerInstrument || !instrument.samples[slot]) {
        return emptySample;
    }
    return *instrument.samples[slot];
}

}  // namespace qvl
