// The viewer's entry point on Windows: the magazine in the working directory, in a native
// window (or full screen), with the sound on the wave-out device.
#include <windows.h>

#include "app/viewer.h"
#include "platform/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    qvl::Win32Platform platform(instance, showCommand);
    return qvl::runViewer(platform);
}
