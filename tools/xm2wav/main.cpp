// xm2wav: renders an XM module offline into a 44100 Hz 16-bit stereo sound file (WAV, FLAC or
// Ogg Vorbis by the name's ending), through the same block fill as the viewer's output ring, so
// its frames are the frames the viewer plays.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "player/context.h"
#include "player/replay.h"
#include "player/song.h"
#include "player/xm_loader.h"
#include "sound/block_fill.h"
#include "sound/memory_file.h"
#include "sound/song_length.h"
#include "sound/sound_file.h"
#include "sound/wave_output.h"

#ifdef _WIN32
#include <io.h>
#define QVL_ISATTY(fd) _isatty(fd)
#else
#include <unistd.h>
#define QVL_ISATTY(fd) isatty(fd)
#endif

namespace {

using qvl::kFramesPerBlock;  // the output ring's block: the viewer's ticks fall where they do
using qvl::kMixRate;
constexpr int64_t maxFrames = qvl::kLongestSongSeconds * kMixRate;

const char usage[] =
    "usage: xm2wav MODULE.xm OUT [--seconds N]\n"
    "       xm2wav --help | --version\n"
    "Renders an XM module into a 44100 Hz 16-bit stereo sound file whose format follows OUT's\n"
    "ending: .wav (PCM), .flac, or .ogg (Vorbis); the Windows build writes .wav only.\n"
    "Without --seconds it renders until the song first loops back (at most 10 minutes);\n"
    "with --seconds N it renders exactly N x 44100 frames.\n";

struct Options {
    const char* module = nullptr;
    const char* output = nullptr;
    int64_t frames = -1;  // -1: until the song loops back
};

enum class Parsed { ok, bad, help, version };

Parsed parseArguments(int argc, char** argv, Options& options) {
    std::vector<const char*> names;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) return Parsed::help;
        if (!std::strcmp(argv[i], "--version")) return Parsed::version;
        if (!std::strcmp(argv[i], "--seconds")) {
            if (i + 1 >= argc) return Parsed::bad;
            char* end = nullptr;
            const double seconds = std::strtod(argv[++i], &end);
            if (*end != '\0' || !(seconds >= 0) || seconds > 86400) return Parsed::bad;
            options.frames = static_cast<int64_t>(seconds * kMixRate);
            continue;
        }
        names.push_back(argv[i]);
    }
    if (names.size() != 2) return Parsed::bad;
    options.module = names[0];
    options.output = names[1];
    return Parsed::ok;
}

void showProgress(int64_t done, int64_t total) {
    const int width = 40;
    const int filled = total > 0 ? static_cast<int>(done * width / total) : width;
    const int percent = total > 0 ? static_cast<int>(done * 100 / total) : 100;
    std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(),
                 std::string(width - filled, ' ').c_str(), percent);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    switch (parseArguments(argc, argv, options)) {
        case Parsed::ok:
            break;
        case Parsed::help:
            std::fputs(usage, stdout);
            return 0;
        case Parsed::version:
            std::puts("xm2wav " QVL_VERSION);
            return 0;
        case Parsed::bad:
            std::fputs(usage, stderr);
            return 1;
    }
    // Checked first, so that a name it cannot write costs no rendering and leaves no file.
    const qvl::SoundFormat format = qvl::soundFormatOf(options.output);
    if (!qvl::SoundFileWriter::canWrite(format)) {
        std::fprintf(stderr, "xm2wav: cannot write %s: the name must end in %s\n", options.output,
                     qvl::kSoundFileEndings);
        return 1;
    }
    if (std::FILE* probe = std::fopen(options.module, "rb")) {
        std::fclose(probe);
    } else {
        std::fprintf(stderr, "xm2wav: cannot open %s\n", options.module);
        return 1;
    }

    auto context = std::make_unique<qvl::PlayerContext>();
    qvl::setFileCallbacks(*context, qvl::memoryFileCallbacks());
    qvl::openVoices(*context, kMixRate);
    qvl::Song* song = qvl::createSong(*context, options.module);
    if (!song) {
        std::fprintf(stderr, "xm2wav: %s is not a valid XM module, or it is truncated\n",
                     options.module);
        return 1;
    }
    const int64_t total = options.frames >= 0
                              ? options.frames
                              : qvl::framesUntilLoop(options.module, kMixRate, maxFrames);

    qvl::SoundFileWriter out;
    if (!out.open(options.output, format, kMixRate)) {
        std::fprintf(stderr, "xm2wav: cannot write %s\n", options.output);
        qvl::freeSong(*context, song);
        return 1;
    }
    qvl::startSong(*context, song);
    std::vector<int16_t> ring(2 * kFramesPerBlock);
    std::vector<float> mixArea(2 * kFramesPerBlock);
    const bool progress = QVL_ISATTY(2) != 0;
    bool ok = true;
    for (int64_t done = 0; done < total && ok;) {
        qvl::fillBlock(*context, ring.data(), mixArea.data(), 0, kFramesPerBlock);
        const int64_t left = total - done;
        const int n = left < kFramesPerBlock ? static_cast<int>(left) : kFramesPerBlock;
        ok = out.write(ring.data(), n);
        done += n;
        if (progress && (done % (kFramesPerBlock * 50) < kFramesPerBlock || done == total)) {
            showProgress(done, total);
        }
    }
    if (progress) std::fputc('\n', stderr);
    qvl::freeSong(*context, song);
    if (!out.finish() || !ok) {
        std::fprintf(stderr, "xm2wav: writing %s failed\n", options.output);
        return 1;
    }
    return 0;
}
