// Fuzzes the XM loader: the input is a module file, served through the viewer's own in-memory
// file; whatever loads is played for two seconds through the output's block fill and freed.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "player/context.h"
#include "player/file_callbacks.h"
#include "player/replay.h"
#include "player/xm_loader.h"
#include "sound/block_fill.h"
#include "sound/memory_file.h"
#include "sound/wave_output.h"

namespace {

const uint8_t* inputData = nullptr;
size_t inputSize = 0;

// The memory file's operations, opening the current input whatever the name.
qvl::FileCallbacks inputFile() {
    qvl::FileCallbacks f = qvl::memoryFileCallbacks();
    f.open = [](const char*) -> void* {
        return qvl::memoryFileFromBytes(std::vector<uint8_t>(inputData, inputData + inputSize));
    };
    return f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    inputData = data;
    inputSize = size;
    static qvl::PlayerContext context;
    static bool opened = false;
    if (!opened) {
        qvl::setFileCallbacks(context, inputFile());
        qvl::openVoices(context, qvl::kMixRate);
        opened = true;
    }
    qvl::Song* song = qvl::createSong(context, "fuzz.xm");
    if (!song) return 0;
    qvl::startSong(context, song);
    constexpr int kBlocks = 2 * 1000 / qvl::kBlockMillis;  // two seconds
    static std::vector<int16_t> ring(2 * qvl::kFramesPerBlock);
    static std::vector<float> mixArea(2 * qvl::kFramesPerBlock);
    for (int block = 0; block < kBlocks; ++block)
        qvl::fillBlock(context, ring.data(), mixArea.data(), 0, qvl::kFramesPerBlock);
    qvl::stopSong(context, song);
    qvl::freeSong(context, song);
    return 0;
}
