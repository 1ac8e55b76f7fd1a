// The checks of a magazine that only an author needs, made on the model a check's reading
// built: jumps to pages that do not exist, pages nothing leads to, bindings that fixed keys or
// earlier bindings take, menu entries off their page, unknown commands. The viewer never runs
// them.
#pragma once

#include "check/diagnostics.h"
#include "script/magazine_model.h"

namespace qvl {

// Adds the model's problems to diagnostics, as warnings at the script lines that made them.
void checkMagazine(const MagazineModel& model, Diagnostics& diagnostics);

}  // namespace qvl
