// The viewer's entry point on Windows: the magazine in the working directory, in a native
// window (or full screen), with the sound on the wave-out device; "--watch" follows the
// author's edits.
#include <windows.h>

#include <cstdlib>

#include "app/viewer.h"
#include "platform/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    qvl::Win32Platform platform(instance, showCommand);
    // The runtime's own split of the command line, as a console program's main would get it.
    return qvl::runViewer(platform, qvl::viewerOptions(__argc, __argv));
}
