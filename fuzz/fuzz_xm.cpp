// Fuzzes the XM loader: the input is a module file; whatever loads is played for two seconds
// through the output's block fill and freed again.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "player/context.h"
#include "player/file_callbacks.h"
#include "player/replay.h"
#include "player/xm_loader.h"
#include "sound/block_fill.h"

namespace {

struct Input {
    const uint8_t* data;
    size_t size;
    size_t position;
};
Input input;

qvl::FileCallbacks inputFile() {
    qvl::FileCallbacks f;
    f.open = [](const char*) -> void* {
        input.position = 0;
        return &input;
    };
    f.close = [](void*) {};
    f.read = [](void* destination, size_t count, void* handle) -> size_t {
        auto* in = static_cast<Input*>(handle);
        size_t n = std::min(count, in->size - in->position);
        if (n) std::memcpy(destination, in->data + in->position, n);
        in->position += n;
        return n;
    };
    f.seek = [](void* handle, long offset, int8_t origin) -> void* {
        auto* in = static_cast<Input*>(handle);
        long base = origin == 1 ? static_cast<long>(in->position) : 0;
        long to = base + offset;
        if (origin == 2) to = static_cast<long>(in->size);
        in->position = static_cast<size_t>(std::clamp<long>(to, 0, static_cast<long>(in->size)));
        return in;
    };
    f.tell = [](void* handle) -> long {
        return static_cast<long>(static_cast<Input*>(handle)->position);
    };
    return f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    input = {data, size, 0};
    static qvl::PlayerContext context;
    static bool opened = false;
    if (!opened) {
        qvl::setFileCallbacks(context, inputFile());
        qvl::openVoices(context, 44100);
        opened = true;
    }
    qvl::Song* song = qvl::createSong(context, "fuzz.xm");
    if (!song) return 0;
    qvl::startSong(context, song);
    static std::vector<int16_t> ring(2 * 884);
    static std::vector<float> mixArea(2 * 884);
    for (int block = 0; block < 100; ++block)
        qvl::fillBlock(context, ring.data(), mixArea.data(), 0, 884);
    qvl::stopSong(context, song);
    qvl::freeSong(context, song);
    return 0;
}
