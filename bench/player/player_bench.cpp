// Benchmarks of the mixer's inner loops (voice-frames per second, without and with ramps,
// forward and ping-pong loops) and of rendering a dense 32-channel module offline.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "player/context.h"
#include "player/mix_kernels.h"
#include "player/mixer.h"
#include "player/replay.h"
#include "player/song.h"
#include "player/voice.h"
#include "player/voice_control.h"
#include "player/xm_loader.h"
#include "sound/block_fill.h"
#include "sound/wave_output.h"
#include "xm_loading.h"

namespace {

using namespace qvl;

struct MixSetup {
    PlayerContext context;
    Sample sample;
    std::vector<float> area = std::vector<float>(2 * kFramesPerBlock);

    MixSetup(int voices, uint8_t loopType) {
        openVoices(context, kMixRate);
        const uint32_t length = 20000;
        sample.length = length;
        sample.loopStart = 1000;
        sample.loopLength = length - 1000;
        sample.loopType = loopType;
        sample.storage =
            std::make_unique<int16_t[]>(length + sampleSpareFrames + 2 * samplePadFrames);
        sample.data = sample.storage.get() + samplePadFrames;
        for (uint32_t i = 0; i < length; ++i) {
            sample.data[i] = static_cast<int16_t>(12000 * std::sin(i * 0.05));
        }
        sample.data[length] = sample.data[loopType == 4 ? length - 1 : sample.loopStart];
        for (int v = 0; v < voices; ++v) {
            Voice& voice = context.voicePool[v];
            startVoiceSample(context, v, &sample);
            setVoiceFrequency(context, voice, 8363 + 977 * v);
            setVoicePanning(voice, (v * 37) % 256);
            setVoiceVolume(voice, 100);
            voice.currentLeft = voice.leftVolume;
            voice.currentRight = voice.rightVolume;
        }
    }
};

void mixBenchmark(benchmark::State& state, uint8_t loopType, bool ramps, bool portable = false) {
    const int voices = static_cast<int>(state.range(0));
    MixSetup setup(voices, loopType);
    if (portable) setup.context.mixKernels = portableMixKernels();
    int flip = 0;
    for (auto _ : state) {
        if (ramps) {
            // a new volume on every voice before every block: each block starts a ramp
            flip ^= 1;
            for (int v = 0; v < voices; ++v)
                setVoiceVolume(setup.context.voicePool[v], flip ? 60 : 110);
        }
        mixVoices(setup.context, setup.area.data(), kFramesPerBlock);
        benchmark::DoNotOptimize(setup.area.data());
    }
    state.SetItemsProcessed(state.iterations() * voices * kFramesPerBlock);
}

void BM_MixForward(benchmark::State& s) {
    mixBenchmark(s, 2, false);
}
void BM_MixPingPong(benchmark::State& s) {
    mixBenchmark(s, 4, false);
}
void BM_MixForwardRamps(benchmark::State& s) {
    mixBenchmark(s, 2, true);
}
void BM_MixPingPongRamps(benchmark::State& s) {
    mixBenchmark(s, 4, true);
}
// the plain C++ loops, as on a processor without wide vectors
void BM_MixForwardPortable(benchmark::State& s) {
    mixBenchmark(s, 2, false, true);
}
void BM_MixForwardRampsPortable(benchmark::State& s) {
    mixBenchmark(s, 2, true, true);
}
BENCHMARK(BM_MixForward)->Arg(32);
BENCHMARK(BM_MixForwardPortable)->Arg(32);
BENCHMARK(BM_MixForwardRampsPortable)->Arg(32);
BENCHMARK(BM_MixPingPong)->Arg(32);
BENCHMARK(BM_MixForwardRamps)->Arg(32);
BENCHMARK(BM_MixPingPongRamps)->Arg(32);

// A dense module: 32 channels, a note on every channel on every row, with volume slides,
// vibrato, portamento and panning, on 16-bit looped samples.
XmModule denseModule() {
    XmModule m;
    m.channels = 32;
    m.speed = 3;
    m.bpm = 140;
    m.songLength = 4;
    m.orders = {0, 1, 2, 3};
    m.patterns.assign(4, XmPattern{});
    for (int i = 0; i < 4; ++i) {
        XmSample s;
        s.sixteenBit = true;
        for (int f = 0; f < 6000; ++f)
            s.frames.push_back(static_cast<int>(9000 * std::sin(f * (0.03 + 0.01 * i))));
        s.loopBits = i % 2 ? 2 : 1;
        s.loopStart = 2000;
        s.loopLength = 4000;
        XmInstrument ins = oneSampleInstrument(s);
        ins.volume.points = {{0, 64}, {20, 40}, {60, 20}};
        ins.volume.type = 1;
        ins.fadeout = 500;
        m.instruments.push_back(ins);
    }
    const uint8_t effects[][2] = {{0, 0x37}, {4, 0x46}, {10, 0x02}, {3, 0x20}, {25, 0x21}, {0, 0}};
    for (int p = 0; p < 4; ++p) {
        for (int r = 0; r < 64; ++r) {
            for (int c = 0; c < 32; ++c) {
                const uint8_t note = static_cast<uint8_t>(25 + (r * 7 + c * 5 + p * 3) % 48);
                const auto& e = effects[(r + c) % 6];
                setCell(m.patterns[p], 32, r, c,
                        {note, static_cast<uint8_t>(1 + c % 4), 0, e[0], e[1]});
            }
        }
    }
    return m;
}

void BM_RenderDenseModule(benchmark::State& state) {
    PlayerContext context;
    openVoices(context, kMixRate);
    const std::vector<uint8_t> bytes = buildXm(denseModule());
    Song* song = test::loadBytes(context, bytes);
    startSong(context, song);
    std::vector<int16_t> ring(2 * kFramesPerBlock);
    std::vector<float> area(2 * kFramesPerBlock);
    const int blocks = 50;  // about one second of music per iteration
    for (auto _ : state) {
        for (int b = 0; b < blocks; ++b)
            fillBlock(context, ring.data(), area.data(), 0, kFramesPerBlock);
        benchmark::DoNotOptimize(ring.data());
    }
    const double seconds =
        static_cast<double>(state.iterations()) * blocks * kFramesPerBlock / double{kMixRate};
    state.counters["music_s_per_cpu_s"] = benchmark::Counter(seconds, benchmark::Counter::kIsRate);
    freeSong(context, song);
}
BENCHMARK(BM_RenderDenseModule)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
