// render_speed: how many seconds of music the player renders in a second, offline through the
// output's block fill, for each module given. A plain program without the benchmark library,
// so that the same source builds natively and for node (the web build), whose figures
// scripts/bench-web.sh sets side by side.
// usage: render_speed [--portable] SECONDS MODULE.xm...
// --portable mixes with the plain loops, as a build without vector variants does.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "player/context.h"
#include "player/mix_kernels.h"
#include "player/replay.h"
#include "player/xm_loader.h"
#include "sound/block_fill.h"
#include "sound/memory_file.h"
#include "sound/wave_output.h"

namespace {

using namespace qvl;

// Seconds of wall time to render seconds of music of the module; negative when it does not
// load. The sum of the samples is printed so that no work can be left out.
double renderTime(const char* module, double seconds, bool portable) {
    PlayerContext context;
    setFileCallbacks(context, memoryFileCallbacks());
    openVoices(context, kMixRate);
    if (portable) context.mixKernels = portableMixKernels();
    Song* song = createSong(context, module);
    if (!song) return -1;
    startSong(context, song);
    std::vector<int16_t> ring(2 * kFramesPerBlock);
    std::vector<float> area(2 * kFramesPerBlock);
    const long blocks = static_cast<long>(seconds * kMixRate / kFramesPerBlock);
    long sum = 0;
    const auto start = std::chrono::steady_clock::now();
    for (long b = 0; b < blocks; ++b) {
        fillBlock(context, ring.data(), area.data(), 0, kFramesPerBlock);
        sum += ring[b % (2 * kFramesPerBlock)];
    }
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    freeSong(context, song);
    std::printf("%s: %.0f s of music in %.3f s (checksum %ld)\n", module, seconds, spent.count(),
                sum);
    return spent.count();
}

}  // namespace

int main(int argc, char** argv) {
    const bool portable = argc > 1 && std::strcmp(argv[1], "--portable") == 0;
    const int first = portable ? 2 : 1;
    const double seconds = argc > first + 1 ? std::atof(argv[first]) : 0;
    if (seconds <= 0) {
        std::fputs("usage: render_speed [--portable] SECONDS MODULE.xm...\n", stderr);
        return 1;
    }
    double total = 0;
    for (int i = first + 1; i < argc; ++i) {
        const double spent = renderTime(argv[i], seconds, portable);
        if (spent < 0) {
            std::fprintf(stderr, "render_speed: %s does not load\n", argv[i]);
            return 1;
        }
        total += spent;
    }
    std::printf("music seconds per second: %.1f\n", seconds * (argc - first - 1) / total);
    return 0;
}
