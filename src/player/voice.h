// One mixer voice: a sample played at a 32.32 fixed-point position and step, with per-side
// volumes and a short ramp towards new volumes that removes clicks.
#pragma once

#include <cstdint>

namespace qvl {

struct Sample;

enum class Direction : int32_t { forward = 1, backward = 2 };

struct Voice {
    int32_t index = 0;
    int32_t volume = 0;
    int32_t panning = 0;
    uint32_t startOffset = 0;
    const Sample* sample = nullptr;  // none: the voice is silent
    uint8_t leftVolume = 0, rightVolume = 0;
    uint32_t positionInt = 0, positionFrac = 0;
    uint32_t stepFrac = 0, stepInt = 0;
    Direction direction = Direction::forward;
    uint8_t rampLeftTarget = 0, rampRightTarget = 0;
    uint8_t currentLeft = 0, currentRight = 0;
    float rampLeftStep = 0.0f, rampRightStep = 0.0f;
    int32_t rampFramesLeft = 0;
    bool fading = false;  // a fade voice playing out a sound its channel voice handed over
};

}  // namespace qvl
