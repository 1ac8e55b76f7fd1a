// Time of one frame: a full 80 x 40 page of coloured cells with the info bar and the scroll bar,
// cleared, drawn and handed to the (headless, free-running) platform.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/headless/headless_platform.h"
#include "runtime/magazine_app.h"
#include "support/test_font.h"

namespace {

namespace fs = std::filesystem;

void BM_FullColouredPage(benchmark::State& state) {
    fs::path dir = fs::temp_directory_path() / "qvl_frame_bench";
    fs::create_directories(dir);
    qvl::testing::writeTestFont(dir);
    std::string script = "#definepages 1\n#startpage 0 \"benchmark page\"\n";
    for (int row = 0; row < 100; ++row) {
        for (int col = 0; col < 80; col += 10)
            script += "<color " + std::to_string((row + col) % 8) + " " +
                      std::to_string((row + col / 10) % 8) + ">" + (col % 20 ? "<b>" : "</b>") +
                      "Abcdefghij";
        script += "\n";
    }
    std::ofstream(dir / qvl::kScriptName) << script;
    fs::path old = fs::current_path();
    fs::current_path(dir);

    qvl::HeadlessPlatform platform;
    platform.freeRunning = true;
    qvl::ViewState view;
    std::vector<uint16_t> frameBuffer(qvl::kFramePixels);
    qvl::MagazineApp app(qvl::MagazineServices{platform, platform, platform, platform}, platform,
                         view);
    if (!app.init("qvl.mag", frameBuffer.data())) state.SkipWithError("magazine did not start");
    fs::current_path(old);
    view.scrollY = -240;  // mid-page: 40 full rows on screen
    for (auto _ : state) {
        app.frame();
        benchmark::DoNotOptimize(frameBuffer.data());
    }
    state.SetItemsProcessed(state.iterations());
    fs::remove_all(dir);
}
BENCHMARK(BM_FullColouredPage)->Unit(benchmark::kMicrosecond);

}  // namespace
