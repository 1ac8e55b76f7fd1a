// The one magazine object: reads the script at start-up, draws a frame on request and answers
// key presses. This is the shell's stand-in until the full runtime arrives: it checks the
// script, shows a plain picture and quits on F12.
#pragma once

#include <cstdint>
#include <string>

#include "display/display.h"
#include "runtime/shell_state.h"

namespace qvl {

inline constexpr int kVkF12 = 123;

class MagazineApp {
public:
    MagazineApp(ShellState& shell, Display& display) : shell_(shell), display_(display) {}

    std::string scriptName;
    int32_t displayMode = kDisplayWindowed;

    // Reads the script; false after the failure message has been shown.
    bool init(uint16_t* frameBuffer);
    // Draws and presents one frame (render thread).
    void frame();
    // Handles one key press (main thread); true when the key acted.
    bool handleKey(int virtualKey);

private:
    ShellState& shell_;
    Display& display_;
    uint16_t* frameBuffer_ = nullptr;
};

}  // namespace qvl
