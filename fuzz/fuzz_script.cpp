// Fuzzes the script reader over a small magazine directory: the input up to the first two NUL
// bytes is the script, the rest is the file that both includes name ("inc.txt" as ASCII and as
// ANSI); the seeds' scripts name it.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/headless/headless_platform.h"
#include "scratch.h"

namespace {

// Messages are recorded, not printed: the fuzzer's own output stays readable. Never freed, so
// the recorded messages cost nothing per run beyond their strings.
qvl::HeadlessPlatform* quietPlatform() {
    auto* platform = new qvl::HeadlessPlatform;
    platform->quiet = true;
    return platform;
}

}  // namespace
#include "script/magazine_model.h"
#include "script/script_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qvl::fuzz::enterScratchDirectory("qvl-fuzz-script");
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    size_t split = bytes.find(std::string_view("\0\0", 2));
    std::string_view script = bytes.substr(0, split);
    std::string_view include =
        split == std::string_view::npos ? std::string_view() : bytes.substr(split + 2);
    qvl::fuzz::writeFile("qvl.mag", script);
    qvl::fuzz::writeFile("inc.txt", include);
    static qvl::HeadlessPlatform* platform = quietPlatform();
    qvl::MagazineModel model;
    qvl::readScript(model, *platform);
    return 0;
}
