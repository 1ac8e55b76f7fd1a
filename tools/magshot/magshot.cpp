// magshot: runs the viewer on the headless backend and writes pictures of what it shows.
// Steps are taken in order on a virtual clock that starts at 0 with the render thread and
// draws one frame per virtual millisecond, so two runs with the same steps write the same files.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "app/viewer.h"
#include "platform/headless/frame_file.h"
#include "platform/headless/headless_platform.h"
#include "sound/sound_file.h"
#include "sound/wave_output.h"
#include "tool_arguments.h"

namespace {

const char kUsage[] =
    "usage: magshot [--dir DIR] STEP...\n"
    "       magshot --help | --version\n"
    "Runs the magazine in the current directory (or DIR) on a virtual clock, one frame per\n"
    "virtual millisecond, and takes the steps in order:\n"
    "  --wait MS    let MS milliseconds pass (draws the frames of that time)\n"
    "  --key VK     press the key with that Windows virtual-key code (decimal)\n"
    "  --click X,Y  press the mouse button over pixel X,Y of the 640 x 480 picture\n"
    "  --wheel up|down  turn the mouse wheel one notch\n"
    "  --shot FILE  write the frame of the current time: FILE.png as PNG, anything else as the\n"
    "               raw frame (614400 bytes, little-endian RGB565, top row first)\n"
    "  --text FILE  write the whole text of the page shown (every line, not only those on the\n"
    "               screen) as UTF-8, one line per text line, trailing spaces trimmed\n"
    "  --close      close the window\n"
    "  --wav FILE   at the end, write what the sound device played from its first frame\n"
    "               (the first lap of silence included) as 44100 Hz 16-bit stereo sound:\n"
    "               FILE.wav as WAV, FILE.flac as FLAC, FILE.ogg as Ogg Vorbis\n"
    "After the last step the window is closed. The exit code is the viewer's.\n";

bool parseNumber(const char* text, uint32_t& value) {
    char* end = nullptr;
    errno = 0;
    unsigned long n = std::strtoul(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || n > 0xFFFFFFFFul || text[0] == '-')
        return false;
    value = static_cast<uint32_t>(n);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    qvl::HeadlessPlatform platform;
    std::string dir, wavFile;
    bool shotFailed = false;

    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (qvl::answeredHelpOrVersion(arg, "magshot", kUsage)) return 0;
        if (arg == "--close") {
            platform.steps.push_back({qvl::HeadlessStep::Kind::close, 0, {}});
            continue;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "magshot: %s needs a value\n%s", argv[i], kUsage);
            return 2;
        }
        const char* value = argv[++i];
        uint32_t number = 0;
        if (arg == "--dir") {
            dir = value;
        } else if (arg == "--wav") {
            wavFile = std::filesystem::absolute(value).string();
            if (!qvl::SoundFileWriter::canWrite(qvl::soundFormatOf(wavFile))) {
                std::fprintf(stderr, "magshot: cannot write %s: the name must end in %s\n", value,
                             qvl::kSoundFileEndings);
                return 2;
            }
        } else if (arg == "--wait" || arg == "--key") {
            if (!parseNumber(value, number) || (arg == "--key" && number > 255)) {
                std::fprintf(stderr, "magshot: bad value for %s: %s\n", argv[i - 1], value);
                return 2;
            }
            auto kind =
                arg == "--wait" ? qvl::HeadlessStep::Kind::wait : qvl::HeadlessStep::Kind::key;
            platform.steps.push_back({kind, number, {}});
        } else if (arg == "--click") {
            uint32_t x = 0, y = 0;
            const char* comma = std::strchr(value, ',');
            if (!comma || !parseNumber(std::string(value, comma).c_str(), x) ||
                !parseNumber(comma + 1, y) || x >= uint32_t{qvl::kFrameWidth} ||
                y >= uint32_t{qvl::kFrameHeight}) {
                std::fprintf(stderr, "magshot: bad value for --click: %s\n", value);
                return 2;
            }
            qvl::HeadlessStep step{qvl::HeadlessStep::Kind::press, 0, {}};
            step.x = static_cast<int>(x), step.y = static_cast<int>(y);
            platform.steps.push_back(step);
        } else if (arg == "--wheel") {
            if (std::strcmp(value, "up") != 0 && std::strcmp(value, "down") != 0) {
                std::fprintf(stderr, "magshot: bad value for --wheel: %s\n", value);
                return 2;
            }
            qvl::HeadlessStep step{qvl::HeadlessStep::Kind::wheel, 0, {}};
            step.y = std::strcmp(value, "up") == 0 ? 1 : -1;
            platform.steps.push_back(step);
        } else if (arg == "--shot") {
            // Relative names are taken from where magshot was started, not from --dir.
            std::string file = std::filesystem::absolute(value).string();
            platform.steps.push_back(
                {qvl::HeadlessStep::Kind::call, 0, [&platform, file, &shotFailed] {
                     std::vector<uint16_t> frame = platform.lastFrame();
                     if (!qvl::saveFrame(file, frame.data(), qvl::kFrameWidth, qvl::kFrameHeight)) {
                         std::fprintf(stderr, "magshot: cannot write %s\n", file.c_str());
                         shotFailed = true;
                     }
                 }});
        } else if (arg == "--text") {
            std::string file = std::filesystem::absolute(value).string();
            platform.steps.push_back(
                {qvl::HeadlessStep::Kind::call, 0, [&platform, file, &shotFailed] {
                     const std::string text = platform.pageText();
                     std::FILE* f = std::fopen(file.c_str(), "wb");
                     const bool written =
                         f && std::fwrite(text.data(), 1, text.size(), f) == text.size();
                     if (!(f && std::fclose(f) == 0 && written)) {
                         std::fprintf(stderr, "magshot: cannot write %s\n", file.c_str());
                         shotFailed = true;
                     }
                 }});
        } else {
            std::fprintf(stderr, "magshot: unknown argument %s\n%s", argv[i - 1], kUsage);
            return 2;
        }
    }

    if (!dir.empty()) {
        std::error_code ec;
        std::filesystem::current_path(dir, ec);
        if (ec) {
            std::fprintf(stderr, "magshot: cannot enter %s: %s\n", dir.c_str(),
                         ec.message().c_str());
            return 2;
        }
    }
    int exitCode = qvl::runViewer(platform);
    if (!wavFile.empty()) {
        std::vector<int16_t> audio = platform.playedAudio();
        qvl::SoundFileWriter sound;
        bool ok = sound.open(wavFile.c_str(), qvl::soundFormatOf(wavFile), qvl::kMixRate) &&
                  sound.write(audio.data(), static_cast<int>(audio.size() / 2)) && sound.finish();
        if (!ok) {
            std::fprintf(stderr, "magshot: cannot write %s\n", wavFile.c_str());
            shotFailed = true;
        }
    }
    if (exitCode == 0 && shotFailed) return 1;
    return exitCode;
}
