// Stand-in magazine: enough for the shell to start, draw, end and fail as the real one will.
#include "runtime/magazine_app.h"

#include <cstdio>
#include <cstring>

#include "platform/file_path.h"

namespace qvl {

bool MagazineApp::init(uint16_t* frameBuffer) {
    FILE* script = std::fopen(resolvePath(scriptName).c_str(), "r");
    if (!script) {
        shell_.platform.showMessage("script could not be loaded! terminating...");
        return false;
    }
    // The one option the stand-in understands: the display mode the shell needs.
    char line[2048];
    while (std::fgets(line, sizeof line, script)) {
        char keyword[64] = "", option[64] = "", value[64] = "";
        if (std::sscanf(line, "%63s %63s %63s", keyword, option, value) == 3 &&
            std::strcmp(keyword, "#setglobaloption") == 0 && std::strcmp(option, "fullscreen") == 0)
            displayMode = std::strcmp(value, "on") == 0 ? kDisplayFullScreen : kDisplayWindowed;
    }
    std::fclose(script);
    frameBuffer_ = frameBuffer;
    return true;
}

void MagazineApp::frame() {
    std::memset(frameBuffer_, 0, kFrameBytes);
    // A white bar across the top row of text cells, so a picture can be recognised.
    const uint16_t white = static_cast<uint16_t>(packRgb565(252, 252, 252));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < kFrameWidth; ++x) frameBuffer_[y * kFrameWidth + x] = white;
    display_.presentFrame(frameBuffer_);
}

bool MagazineApp::handleKey(int virtualKey) {
    if (virtualKey == kVkF12) {
        shell_.renderRunning.store(0);
        return true;
    }
    return false;
}

}  // namespace qvl
