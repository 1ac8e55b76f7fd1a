// The sound a headless run played, set against what xm2wav renders of a module: the rendered
// frames, and where a song's start lies in the played ones.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "file_bytes.h"
#include "sound/wave_output.h"

namespace qvl::testing {

using Audio = std::vector<int16_t>;

// The first seconds of a module as the xm2wav program renders them, interleaved left and right
// (through out.wav in the working directory, its 44-byte header skipped).
inline Audio renderModule(const std::string& xm2wav, const std::string& module, double seconds) {
    const std::string command = "'" + xm2wav + "' '" + module + "' out.wav --seconds " +
                                std::to_string(seconds) + " 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    const std::vector<uint8_t> bytes = readBytes("out.wav");
    Audio samples(bytes.size() > 44 ? (bytes.size() - 44) / 2 : 0);
    if (!samples.empty()) std::memcpy(samples.data(), bytes.data() + 44, samples.size() * 2);
    return samples;
}

// Where the song's second block (by then the voices' volume ramps from a stop have run out, so
// a restart plays it exactly as a first start does) lies in the audio, from frame `from` on;
// npos when it does not.
inline size_t findSongStart(const Audio& audio, const Audio& rendered, size_t from) {
    if (rendered.size() < 2 * 3u * kFramesPerBlock || audio.size() < 2 * from)
        return std::string::npos;
    auto block = rendered.begin() + 2 * kFramesPerBlock;
    auto at =
        std::search(audio.begin() + 2 * from, audio.end(), block, block + 2 * kFramesPerBlock);
    return at == audio.end() ? std::string::npos : static_cast<size_t>(at - audio.begin()) / 2;
}

}  // namespace qvl::testing
