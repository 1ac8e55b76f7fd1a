// page-title: the packer's helper, run by node (the web build links it with the disk's files
// reachable). Reads the magazine script in the working directory as the viewer reads it and
// prints the name of its home page: the packed page's title. Exits 1, after the script's
// messages on standard error, when the script does not read.
#include <cstdio>
#include <string>

#include "platform/beeper.h"
#include "platform/message_sink.h"
#include "script/magazine_model.h"
#include "script/script_reader.h"

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
    std::puts(model.pages[static_cast<size_t>(model.homePage)].name.c_str());
    return 0;
}
