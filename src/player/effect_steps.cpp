// Steps shared by several effects: tone portamento, volume slide, vibrato, tremolo, tremor
// and the multi-retrigger volume table.
#include <algorithm>

#include "player/channel.h"
#include "player/effect_step.h"
#include "player/pitch.h"
#include "player/song.h"

namespace qvl {

namespace {

// Volume change of multi retrigger by retrigVolume: volume x mul / div + add.
struct RetrigChange {
    int add, mul, div;
};
constexpr RetrigChange retrigChanges[16] = {
    {0, 1, 1}, {-1, 1, 1}, {-2, 1, 1}, {-4, 1, 1}, {-8, 1, 1}, {-16, 1, 1}, {0, 2, 3}, {0, 1, 2},
    {0, 1, 1}, {1, 1, 1},  {2, 1, 1},  {4, 1, 1},  {8, 1, 1},  {16, 1, 1},  {0, 3, 2}, {0, 2, 1},
};

int retrigVolumeChange(int volume, int kind) {
    const RetrigChange& c = retrigChanges[kind & 15];
    return volume * c.mul / c.div + c.add;
}

}  // namespace

bool delaysNote(const NoteCell& cell) {
    return cell.effect == effectExtended && highNibble(cell.parameter) == 0xD &&
           lowNibble(cell.parameter) > 0;
}

void aimTonePortamento(Channel& ch) {
    ch.portaTarget = ch.notePeriod;
    ch.portaUp = ch.portaTarget < ch.period;
}

// quirk: the slide keeps the direction its note set; on reaching the target from below
// (in pitch) it turns downward, so a slide that a portamento took past the target since
// lands on the target at once instead of sliding back
void tonePortamento(Channel& ch, bool linear) {
    if (ch.portaTarget == 0) return;  // guard: no note has set a target yet
    const int speed = 4 * ch.portaSpeed;
    if (ch.portaUp) {
        ch.period -= speed;
        if (ch.period <= ch.portaTarget) {
            ch.period = ch.portaTarget;
            ch.portaUp = 0;
        }
    } else {
        ch.period = std::min(ch.period + speed, ch.portaTarget);
    }
    if (ch.glissando) {
        // quirk: the slide goes on smoothly underneath; the voice plays the nearest note
        const int32_t note =
            notePeriod(linear, nearestNote(linear, ch.period, ch.finetune), ch.finetune);
        ch.periodDelta += linear ? ch.period - note : note - ch.period;
    }
    ch.requests |= requestFrequency;
}

void volumeSlide(Channel& ch) {
    const int x = highNibble(ch.volumeSlide), y = lowNibble(ch.volumeSlide);
    ch.volume = x != 0 ? std::min(ch.volume + x, 64) : std::max(ch.volume - y, 0);
    ch.requests |= requestVolume;
}

void vibrato(Channel& ch, bool advance) {
    ch.heldDelta = 0;
    ch.periodDelta = vibratoOffset(ch.vibratoPos, ch.vibratoDepth, ch.waveControl);
    ch.requests |= requestFrequency;
    if (!advance) return;
    int pos = ch.vibratoPos + ch.vibratoSpeed;
    if (pos > 31) pos -= 64;
    ch.vibratoPos = static_cast<int8_t>(pos);
}

// quirk: the tracker's tremolo ramp takes the half of its wave from the vibrato's phase, so
// while the vibrato stands in its second half the ramp is turned upside down
int tremoloMagnitude(const Channel& ch) {
    const int waveform = ch.waveControl >> 4 & 3;
    if (waveform != 1) return waveMagnitude(ch.tremoloPos, waveform);
    const int ramp = 8 * (ch.tremoloPos & 31);
    return ch.vibratoPos >= 0 ? ramp : 255 - ramp;
}

void tremolo(Channel& ch) {
    const int p = ch.tremoloPos;
    const int delta = (tremoloMagnitude(ch) * ch.tremoloDepth) >> 6;
    ch.volumeDelta = p >= 0 ? delta : -delta;  // up over the first half wave
    ch.requests |= requestVolume;
    int pos = p + ch.tremoloSpeed;
    if (pos > 31) pos -= 64;
    ch.tremoloPos = static_cast<int8_t>(pos);
}

void tremor(Channel& ch) {
    ch.tremorSilent = ch.tremorCount >= ch.tremorOn;
    if (ch.tremorSilent) ch.volumeDelta = -ch.volume;
    ++ch.tremorCount;
    // the counter restarts when it reaches or has passed on + off
    if (ch.tremorCount >= ch.tremorOn + ch.tremorOff) ch.tremorCount = 0;
    ch.requests |= requestVolume;
}

void multiRetrigger(Channel& ch, bool volumeByte) {
    if (ch.retrigInterval == 0 || ++ch.retrigCount < ch.retrigInterval) return;
    ch.retrigCount = 0;
    // quirk: a volume byte in the cell keeps the volume change from applying
    if (!volumeByte) {
        ch.volume = std::clamp(retrigVolumeChange(ch.volume, ch.retrigVolume), 0, 64);
        ch.requests |= requestVolume;
    }
    ch.requests |= requestTrigger;
}

}  // namespace qvl
