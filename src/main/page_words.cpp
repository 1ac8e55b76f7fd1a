// page-words: the packer's helper, run by node (the web build links it with the disk's files
// reachable). Reads the magazine script in the working directory as the viewer reads it and
// prints, a record a line, what the packed page holds as text: "home N" (the home page, whose
// name is the page's title), then for every page "page NAME", "art FIRST COUNT FILE" for each
// ANSI include (its lines, counting from 0) and "line TEXT" for each of its lines, as UTF-8.
// Exits 1, after the script's messages on standard error, when the script does not read.
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/beeper.h"
#include "platform/message_sink.h"
#include "script/magazine_model.h"
#include "script/script_reader.h"
#include "text/page_text.h"

namespace {

class ErrorMessages final : public qvl::MessageSink, public qvl::Beeper {
  public:
    void showMessage(std::string_view text) override {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    }
    void beep() override {}
};

}  // namespace

int main() {
    ErrorMessages messages;
    qvl::MagazineModel model;
    if (!qvl::readScript(model, messages, messages)) return 1;
    if (model.homePage < 0 || static_cast<size_t>(model.homePage) >= model.pages.size()) return 1;
    std::printf("home %d\n", model.homePage);
    for (const qvl::Page& page : model.pages) {
        std::printf("page %s\n", page.name.c_str());
        for (const qvl::ArtBlock& art : page.art)
            std::printf("art %d %d %s\n", art.firstLine, art.lineCount, art.file.c_str());
        const std::string text = qvl::pageTextUtf8(page.cells);
        for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
            std::printf("line %.*s\n", static_cast<int>(end - at), text.data() + at);
    }
    return 0;
}
