// The viewer's entry point on SDL2: the magazine in the working directory, in a real window.
#include "app/viewer.h"
#include "platform/sdl2/sdl_platform.h"

int main() {
    qvl::SdlPlatform platform;
    return qvl::runViewer(platform);
}
