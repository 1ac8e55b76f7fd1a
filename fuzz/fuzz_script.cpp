// Fuzzes the script reader over a small magazine directory: the input up to the first two NUL
// bytes is the script, the rest is the file that both includes name ("inc.txt" as ASCII and as
// ANSI); the seeds' scripts name it.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "scratch.h"
#include "script/magazine_model.h"
#include "script/script_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qvl::fuzz::enterScratchDirectory("qvl-fuzz-script");
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    size_t split = bytes.find(std::string_view("\0\0", 2));
    std::string_view script = bytes.substr(0, split);
    std::string_view include =
        split == std::string_view::npos ? std::string_view() : bytes.substr(split + 2);
    qvl::fuzz::writeFile(qvl::kScriptName, script);
    qvl::fuzz::writeFile("inc.txt", include);
    qvl::MagazineModel model;
    qvl::HeadlessPlatform& platform = qvl::fuzz::quietPlatform();
    qvl::readScript(model, platform, platform);
    return 0;
}
