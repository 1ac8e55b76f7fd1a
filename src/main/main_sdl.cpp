// The viewer's entry point on SDL2: the magazine in the working directory, in a real window;
// "--watch" follows the author's edits.
#include "app/viewer.h"
#include "platform/sdl2/sdl_platform.h"

int main(int argc, char** argv) {
    qvl::SdlPlatform platform;
    return qvl::runViewer(platform, qvl::viewerOptions(argc, argv));
}
