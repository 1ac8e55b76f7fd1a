// Fuzzes the text and ANSI import: the input is the file imported.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "scratch.h"
#include "text/text_import.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qvl::fuzz::enterScratchDirectory("qvl-fuzz-text");
    qvl::fuzz::writeFile("art.ans", std::string_view(reinterpret_cast<const char*>(data), size));
    qvl::TextImport result;
    qvl::importTextFile("art.ans", qvl::fuzz::quietPlatform(), result);
    return 0;
}
