// Fuzzes the text and ANSI import: the input is the file imported.
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
#include "text/text_import.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qvl::fuzz::enterScratchDirectory("qvl-fuzz-text");
    qvl::fuzz::writeFile("art.ans", std::string_view(reinterpret_cast<const char*>(data), size));
    static qvl::HeadlessPlatform* platform = quietPlatform();
    qvl::TextImport result;
    qvl::importTextFile("art.ans", *platform, result);
    return 0;
}
