// magexport: writes a magazine out for archives: its text, its pages as HTML, a cover picture and
// its facts as JSON. The magazine is read by the viewer's own reader, and the cover is the
// viewer's frame, run headless on its virtual clock.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "app/viewer.h"
#include "export_text.h"
#include "magazine_checkup.h"
#include "magazine_facts.h"
#include "page_html.h"
#include "platform/beeper.h"
#include "platform/headless/frame_file.h"
#include "platform/headless/headless_platform.h"
#include "platform/message_sink.h"
#include "script/script_reader.h"
#include "tool_arguments.h"

namespace {

const char kUsage[] =
    "usage: magexport DIR OUT\n"
    "       magexport --help | --version\n"
    "Reads the magazine in DIR as the viewer reads it and writes into OUT (made when missing):\n"
    "  text.txt                 every page's text, UTF-8, each opened by \"=== page N: NAME ===\"\n"
    "  index.html, page-N.html  the pages in their colours, menus and key jumps as links\n"
    "  cover.png, cover@2x.png  the home page once its fade-in is over, 640 x 480 and 1280 x 960\n"
    "  magazine.json            title, pages, music, fonts, includes and magcheck's report\n"
    "Exit code: 0 written, 1 written with warnings, 2 when the magazine does not read (the\n"
    "viewer's message on standard error), 3 on a wrong argument or a file it cannot write.\n";

// When the home page's fade-in is over, as "magshot --wait 3000" shoots it.
constexpr uint32_t kCoverMs = 3000;

class NoSound final : public qvl::Beeper {
  public:
    void beep() override {}
};

bool writeFile(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (out) return true;
    std::fprintf(stderr, "magexport: cannot write %s\n", file.string().c_str());
    return false;
}

// Runs the viewer on the magazine of the working directory up to the cover's time and keeps
// that frame; false, with the viewer's messages, when it does not start.
bool viewerCover(std::vector<uint16_t>& frame, std::string& messages) {
    qvl::HeadlessPlatform platform;
    platform.quiet = true;
    platform.steps.push_back({qvl::HeadlessStep::Kind::wait, kCoverMs, {}});
    platform.steps.push_back(
        {qvl::HeadlessStep::Kind::call, 0, [&platform, &frame] { frame = platform.lastFrame(); }});
    const int code = qvl::runViewer(platform);
    for (const std::string& m : platform.messages()) messages += m + "\n";
    return code == 0 && frame.size() == size_t{qvl::kFrameWidth} * qvl::kFrameHeight;
}

// The frame with every pixel made two by two.
std::vector<uint16_t> doubled(const std::vector<uint16_t>& frame) {
    const int w = qvl::kFrameWidth, h = qvl::kFrameHeight;
    std::vector<uint16_t> out(size_t{4} * w * h);
    for (int y = 0; y < 2 * h; ++y)
        for (int x = 0; x < 2 * w; ++x)
            out[size_t(y) * 2 * w + x] = frame[size_t(y / 2) * w + x / 2];
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> names;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (qvl::answeredHelpOrVersion(arg, "magexport", kUsage)) return 0;
        names.push_back(arg);
    }
    if (names.size() != 2) {
        std::fputs(kUsage, stderr);
        return 3;
    }
    namespace fs = std::filesystem;
    std::error_code failed;
    const fs::path out = fs::absolute(names[1], failed);
    if (!failed) fs::create_directories(out, failed);
    if (failed) {
        std::fprintf(stderr, "magexport: cannot make %s: %s\n", std::string(names[1]).c_str(),
                     failed.message().c_str());
        return 3;
    }
    fs::current_path(names[0], failed);  // the viewer reads its magazine from here
    if (failed) {
        std::fprintf(stderr, "magexport: cannot enter %s: %s\n", std::string(names[0]).c_str(),
                     failed.message().c_str());
        return 3;
    }

    std::vector<uint16_t> cover;
    std::string messages;
    if (!viewerCover(cover, messages)) {
        std::fprintf(stderr, "magexport: the magazine does not read:\n%s", messages.c_str());
        return 2;
    }
    qvl::MagazineModel model;
    qvl::KeptMessages kept;
    NoSound silence;
    if (!qvl::readScript(model, kept, silence)) {  // the viewer just read it: only a change
        std::fprintf(stderr, "magexport: the magazine does not read:\n%s\n", kept.text.c_str());
        return 2;
    }
    std::string report;
    const int checked = qvl::checkMagazineHere(report);

    const std::vector<uint16_t> big = doubled(cover);
    bool ok = writeFile(out / "text.txt", qvl::magazineText(model)) &&
              qvl::saveFrame((out / "cover.png").string(), cover.data(), qvl::kFrameWidth,
                             qvl::kFrameHeight) &&
              qvl::saveFrame((out / "cover@2x.png").string(), big.data(), 2 * qvl::kFrameWidth,
                             2 * qvl::kFrameHeight);
    ok = ok && writeFile(out / "magazine.json", qvl::magazineFacts(model, report));
    const qvl::PageColours colours = qvl::viewerColours();
    ok = ok && writeFile(out / "index.html", qvl::indexHtml(model));
    for (size_t i = 0; ok && i < model.pages.size(); ++i) {
        if (model.pages.size() >= qvl::kManyItems)
            std::fprintf(stderr, "\rmagexport: page %zu of %zu", i + 1, model.pages.size());
        ok = writeFile(out / qvl::pageFileName(static_cast<int32_t>(i)),
                       qvl::pageHtml(model, static_cast<int32_t>(i), colours));
    }
    if (model.pages.size() >= qvl::kManyItems) std::fputc('\n', stderr);
    if (!ok) return 3;
    return checked == 0 ? 0 : 1;
}
