// magcheck: reads a magazine the way the viewer does and reports every problem it finds, one a
// line, as compilers do ("qvl.mag:12:5: warning: ..."), then "N errors, M warnings".
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "magazine_checkup.h"
#include "tool_arguments.h"

namespace {

const char kUsage[] =
    "usage: magcheck [DIR]\n"
    "       magcheck --help | --version\n"
    "Checks the magazine in DIR (the current directory without one): its script and includes,\n"
    "the font and the music, as the viewer reads them. Prints each problem as\n"
    "FILE:LINE[:COLUMN]: error|warning: TEXT, then a summary. Errors stop the viewer's start-up;\n"
    "warnings are mistakes it passes over. Exit code: 0 clean, 1 warnings only, 2 errors,\n"
    "3 when it cannot check (a wrong argument, a folder it cannot enter).\n";

}  // namespace

int main(int argc, char** argv) {
    std::string dir = ".";
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (qvl::answeredHelpOrVersion(arg, "magcheck", kUsage)) return 0;
        if (i > 1 || (arg.size() > 1 && arg[0] == '-')) {
            std::fprintf(stderr, "magcheck: unexpected argument %s\n%s", argv[i], kUsage);
            return 3;
        }
        dir = argv[i];
    }
    std::error_code failed;
    std::filesystem::current_path(dir, failed);  // the viewer reads its magazine from here
    if (failed) {
        std::fprintf(stderr, "magcheck: cannot enter %s: %s\n", dir.c_str(),
                     failed.message().c_str());
        return 3;
    }
    std::string report;
    const int code = qvl::checkMagazineHere(report);
    std::fputs(report.c_str(), stdout);
    return code;
}
