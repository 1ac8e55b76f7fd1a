// The process itself: brings the viewer up in its fixed order on a given platform, runs the
// render thread and the event loop, and takes it down again. Returns the exit code.
#pragma once

#include "platform/platform.h"

namespace qvl {

// 0 after a normal end (F12, "exit", closing the window); 1 after a start-up failure, whose
// message has been shown.
int runViewer(Platform& platform);

}  // namespace qvl
