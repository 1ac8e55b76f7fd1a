// magazine.json: the facts an archive keeps about a magazine, from its model, its modules as
// the player loads them and the check's report.
#pragma once

#include <cstddef>
#include <string>

#include "script/magazine_model.h"

namespace qvl {

// From this many pages or songs on, the export shows its progress on standard error.
inline constexpr size_t kManyItems = 40;

// The JSON document; report is checkMagazineHere's, one line a problem and the summary last.
std::string magazineFacts(const MagazineModel& model, const std::string& report);

}  // namespace qvl
