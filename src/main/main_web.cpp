// The viewer's entry point in a browser: the magazine the page wrote into its files, on the page's
// canvas, one thread. main returns once the viewer is up; the browser then calls the render
// step every animation frame, so the platform and the viewer live on after main.
#include "app/viewer.h"
#include "platform/web/web_platform.h"

int main() {
    static qvl::WebPlatform platform;
    static qvl::Viewer viewer(platform);
    if (!viewer.start()) return 1;  // the page shows why
    platform.runFrames(viewer, [] { return viewer.renderStep(); });
    return 0;
}
