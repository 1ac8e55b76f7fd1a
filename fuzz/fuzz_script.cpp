// Fuzzes the script reader over a small magazine directory: the input up to the first two NUL
// bytes is the script, the rest is the file that both includes name ("inc.txt" as ASCII and as
// ANSI); the seeds' scripts name it. The script is read twice, as the viewer reads it and as a
// check does, which must find an error exactly when the viewer's reading fails.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "check/check_reading.h"
#include "check/magazine_check.h"
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
    const bool read = qvl::readScript(model, platform, platform);

    qvl::MagazineModel checked;
    qvl::Diagnostics found;
    const bool checkRead = qvl::readScript(checked, found, platform);
    const bool anyError = std::any_of(found.begin(), found.end(), [](const qvl::Diagnostic& d) {
        return d.severity == qvl::Severity::error;
    });
    if (read != checkRead || anyError == checkRead) std::abort();
    qvl::checkMagazine(checked, found);
    for (const qvl::Diagnostic& d : found) (void)qvl::formatDiagnostic(d);
    return 0;
}
