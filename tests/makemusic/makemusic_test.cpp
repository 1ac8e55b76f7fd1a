// The demo's generated files as a user gets them: the modules, the font and the ANSI art in
// demo/ are byte for byte what their tools write now, and each module loads in the player and
// plays a whole lap, rendered through the output's block fill, without reaching full scale.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "../support/file_bytes.h"
#include "../support/scratch_dir.h"
#include "player/context.h"
#include "player/replay.h"
#include "player/song.h"
#include "player/xm_loader.h"
#include "sound/block_fill.h"
#include "sound/memory_file.h"
#include "sound/wave_output.h"

namespace qvl::test {
namespace {

namespace fs = std::filesystem;

const fs::path demo = fs::path(QVL_SOURCE_DIR) / "demo";

// The names of the files the demo ships in one of its folders.
std::vector<std::string> shipped(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(demo / folder))
        names.push_back(entry.path().filename().string());
    return names;
}

TEST(DemoMusic, LoadsAndPlaysALapWithoutClipping) {
    ASSERT_EQ(shipped("music").size(), 3u);
    for (const std::string& name : shipped("music")) {
        SCOPED_TRACE(name);
        auto context = std::make_unique<PlayerContext>();
        setFileCallbacks(*context, memoryFileCallbacks());
        openVoices(*context, kMixRate);
        Song* song = createSong(*context, (demo / "music" / name).string().c_str());
        ASSERT_NE(song, nullptr);
        startSong(*context, song);
        std::vector<int16_t> block(2 * kFramesPerBlock);
        std::vector<float> area(block.size());
        // One lap: until the song returns to a row it has played, at most two minutes.
        int blocks = 0, clipped = 0, peak = 0;
        for (; song->loopBackCount == 0 && blocks < 120 * 1000 / kBlockMillis; ++blocks) {
            fillBlock(*context, block.data(), area.data(), 0, kFramesPerBlock);
            for (int16_t v : block) {
                clipped += v >= 32767 || v <= -32767;
                peak = std::max(peak, std::abs(int{v}));
            }
        }
        freeSong(*context, song);
        EXPECT_EQ(clipped, 0);
        EXPECT_GT(peak, 4000);  // plainly audible, so no clipping is no silence
        // the modules last 20 to 60 seconds before they loop
        EXPECT_GE(blocks * kBlockMillis, 20000);
        EXPECT_LE(blocks * kBlockMillis, 60000);
    }
}

#ifndef _WIN32
// Each tool runs as a developer runs it, writing into the scratch directory.
class DemoFiles : public testing::ScratchDir {
  protected:
    static bool run(const std::string& command) {
        return std::system(("(" + command + ") >/dev/null").c_str()) == 0;
    }
    static void expectSame(const fs::path& made, const fs::path& shipped) {
        const std::vector<uint8_t> madeBytes = testing::readBytes(made);
        EXPECT_FALSE(madeBytes.empty()) << made;
        EXPECT_TRUE(madeBytes == testing::readBytes(shipped))
            << shipped << " differs from what its tool writes now: run the tool and commit both";
    }
};

TEST_F(DemoFiles, MusicIsWhatMakemusicWrites) {
    fs::create_directory("music");
    ASSERT_TRUE(run("'" QVL_MAKEMUSIC "' music"));
    for (const std::string& name : shipped("music"))
        expectSame(dir() / "music" / name, demo / "music" / name);
}

TEST_F(DemoFiles, FontIsWhatMakefontBuilds) {
    const fs::path source = "/usr/share/fonts/X11/misc/8x13.pcf.gz";
    if (!fs::exists(source)) GTEST_SKIP() << source << " is missing (xfonts-base)";
    ASSERT_TRUE(run("gzip -dc '" + source.string() + "' > 8x13.pcf"));
    ASSERT_TRUE(run("'" QVL_MAKEFONT "' build 8x13.pcf font.bmp"));
    expectSame(dir() / "font.bmp", demo / "data" / "system" / "font.bmp");
}

TEST_F(DemoFiles, ArtIsWhatMakeArtDraws) {
    // The script writes beside its own tree: a copy of it draws into demo/art here.
    fs::create_directories("tools/demoart");
    fs::create_directories("demo/art");
    fs::copy_file(fs::path(QVL_SOURCE_DIR) / "tools/demoart/make_art.py",
                  "tools/demoart/make_art.py");
    ASSERT_TRUE(run("python3 tools/demoart/make_art.py"));
    ASSERT_EQ(shipped("art").size(), 3u);
    for (const std::string& name : shipped("art"))
        expectSame(dir() / "demo/art" / name, demo / "art" / name);
}
#endif

}  // namespace
}  // namespace qvl::test
