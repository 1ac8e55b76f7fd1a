// Rendering and pitch estimation for the music tests.
#include "render_probe.h"

#include <cmath>

#include "player/replay.h"
#include "player/song.h"
#include "player/xm_loader.h"
#include "sound/block_fill.h"
#include "sound/wave_output.h"
#include "xm_loading.h"

namespace qvl::test {

std::vector<int16_t> renderFrames(const XmModule& module, int frames) {
    Player player(module);
    std::vector<int16_t> ring(2 * static_cast<size_t>(frames));
    std::vector<float> area(ring.size());
    if (!player.song) return {};
    for (int at = 0; at < frames; at += kFramesPerBlock) {
        const int n = frames - at < kFramesPerBlock ? frames - at : kFramesPerBlock;
        fillBlock(player.context, ring.data(), area.data(), at, n);
    }
    return ring;
}

double secondsUntilLoop(const XmModule& module) {
    Player player(module);
    if (!player.song) return 0;
    int64_t frames = 0;
    while (frames < int64_t{600} * kMixRate) {
        player.tick();
        if (player.song->loopBackCount > 0) break;
        frames += player.song->samplesPerTick;
    }
    return static_cast<double>(frames) / kMixRate;
}

double pitchHz(const std::vector<int16_t>& stereo, int from, int to, double expectedHz) {
    std::vector<double> mono(to - from);
    for (int i = from; i < to; ++i) mono[i - from] = stereo[2 * i] + stereo[2 * i + 1];
    const int shortest = static_cast<int>(kMixRate / (expectedHz * 1.25));
    const int longest = static_cast<int>(kMixRate / (expectedHz * 0.8)) + 1;
    const auto correlation = [&](int lag) {
        double product = 0, a = 0, b = 0;
        for (size_t i = 0; i + lag < mono.size(); ++i) {
            product += mono[i] * mono[i + lag];
            a += mono[i] * mono[i];
            b += mono[i + lag] * mono[i + lag];
        }
        return a > 0 && b > 0 ? product / std::sqrt(a * b) : 0.0;
    };
    int best = shortest;
    for (int lag = shortest; lag <= longest; ++lag) {
        if (correlation(lag) > correlation(best)) best = lag;
    }
    const double before = correlation(best - 1), at = correlation(best),
                 after = correlation(best + 1);
    const double curve = before - 2 * at + after;
    const double offset = curve != 0 ? 0.5 * (before - after) / curve : 0.0;
    return kMixRate / (best + offset);
}

}  // namespace qvl::test
