// Where the viewer's messages go: the script reader's errors and the start-up failures.
// One call, so the modules that only report failures depend on nothing else of the platform.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace qvl {

// The caption of the viewer's message boxes, and of its lines on standard error.
inline constexpr char kMessageCaption[] = "morrowick";

// "morrowick: TEXT" on standard error, flushed: what every backend prints for a message box.
inline void printMessage(std::string_view text) {
    std::fprintf(stderr, "%s: %.*s\n", kMessageCaption, static_cast<int>(text.size()), text.data());
    std::fflush(stderr);
}

class MessageSink {
  public:
    // A message box captioned kMessageCaption with an OK button; the text always goes to
    // standard error too. Never blocks where there is no display.
    virtual void showMessage(std::string_view text) = 0;
    // One line for an author who started the program from a terminal: standard error only,
    // never a box, so readers see nothing of it.
    virtual void noteLine(std::string_view text) {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    }

  protected:
    ~MessageSink() = default;
};

// Keeps the messages, one a line, instead of showing them: for a reading whose failures go
// into a report or onto the picture rather than into boxes.
class KeptMessages final : public MessageSink {
  public:
    void showMessage(std::string_view message) override {
        if (!text.empty()) text += '\n';
        text += message;
    }
    std::string text;
};

}  // namespace qvl
