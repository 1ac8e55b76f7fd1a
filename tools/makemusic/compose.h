// The three modules of the demo magazine, composed in code: each function returns a whole
// module for the XM writer. The tool writes them to disk; the tests load them in memory.
#pragma once

#include "xmwrite/xm_writer.h"

namespace qvl::music {

XmModule composeIntro();  // D major, 125 BPM: bright and welcoming
XmModule composeDrift();  // F major, 75 BPM: slow and ambient
XmModule composePulse();  // E minor, 138 BPM: driving

struct Piece {
    const char* fileName;
    XmModule (*compose)();
};

// In the order the demo magazine names them.
inline constexpr Piece pieces[] = {
    {"intro.xm", composeIntro},
    {"drift.xm", composeDrift},
    {"pulse.xm", composePulse},
};

}  // namespace qvl::music
