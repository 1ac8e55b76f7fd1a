// The script read for a check: the reading the viewer makes, watched. Every failing line
// becomes an error with the messages the viewer would show for it as its text, and what the
// viewer does silently becomes a warning.
#pragma once

#include "check/diagnostics.h"
#include "platform/beeper.h"
#include "script/magazine_model.h"

namespace qvl {

// Reads the script named by model.scriptName as readScript does, going on past failing lines
// (up to a budget that runs out); nothing is shown. False when it cannot be opened or a line
// failed.
bool readScript(MagazineModel& model, Diagnostics& diagnostics, Beeper& beeper);

}  // namespace qvl
