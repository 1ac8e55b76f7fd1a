// The magazine check on magazines made from the cases of data/cases.txt (whose head says how
// they read): the report, line for line, and the exit code. Then the program itself: the demo
// checks clean, and its exit codes.
#include <fstream>
#include <iterator>

#include "../support/case_file.h"
#include "../support/scratch_dir.h"
#include "../support/test_font.h"
#include "magazine_checkup.h"
#include "xmwrite/xm_writer.h"

namespace qvl::testing {
namespace {

class MagcheckCases : public ScratchDir {};

TEST_F(MagcheckCases, BrokenMagazinesReportEachProblemOnce) {
    int number = 0;
    checkCases(std::string(QVL_TEST_DATA) + "/cases.txt", [&](const Case& c) {
        const auto base = std::filesystem::current_path() / std::to_string(number++);
        std::filesystem::create_directory(base);
        std::filesystem::current_path(base);
        writeTestFont(base);
        for (const CaseSection& s : c.sections) {
            if (s.kind == "script") {
                writeFile("qvl.mag", decode(s.body));
            } else if (s.kind == "file") {
                writeFile(s.argument, decode(s.body));
            } else if (s.kind == "folder") {
                std::filesystem::create_directories(s.argument);
            } else if (s.kind == "remove") {
                std::filesystem::remove(s.argument);
            } else if (s.kind == "module") {  // "@@ module NAME CHANNELS"
                const size_t space = s.argument.find(' ');
                XmModule module;
                module.channels = std::stoi(s.argument.substr(space + 1));
                writeFile(s.argument.substr(0, space), buildXm(module));
            }
        }
        std::string report;
        const int code = checkMagazineHere(report);
        std::filesystem::current_path(base.parent_path());
        std::string out = "exit " + std::to_string(code) + "\n";
        for (size_t at = 0, end; at < report.size(); at = end + 1) {
            end = report.find('\n', at);
            out += escape(report.substr(at, end - at)) + "\n";
        }
        return out;
    });
}

#ifdef QVL_MAGCHECK
}  // namespace
}  // namespace qvl::testing

#include <sys/wait.h>

namespace qvl::testing {
namespace {

// Runs the program with args; its exit code, and its standard output in out.
int magcheck(const std::string& args, std::string& out) {
    const int status = std::system(("'" QVL_MAGCHECK "' " + args + " >out.txt 2>err.txt").c_str());
    std::ifstream in("out.txt");
    out.assign(std::istreambuf_iterator<char>(in), {});
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(MagcheckCases, TheProgramChecksTheDemoCleanAndSaysSoInItsExitCode) {
    std::string out;
    EXPECT_EQ(magcheck("'" QVL_SOURCE_DIR "/demo'", out), 0);
    EXPECT_EQ(out, "0 errors, 0 warnings\n");
    // Without a folder, the working directory: here a magazine with one warning.
    writeTestFont(dir());
    writeFile("qvl.mag", "#definepages 2\n");
    EXPECT_EQ(magcheck("", out), 1);
    EXPECT_EQ(out,
              "qvl.mag:1: warning: page 1 cannot be reached: no key binding or menu entry leads "
              "to it, and it is not the home page\n0 errors, 1 warning\n");
    writeFile("qvl.mag", "#definepages -1\n");
    EXPECT_EQ(magcheck(".", out), 2);
    EXPECT_EQ(magcheck("/nonexistent-folder", out), 3);
    EXPECT_EQ(magcheck("a b", out), 3);
    EXPECT_EQ(out, "");
}
#endif

}  // namespace
}  // namespace qvl::testing
