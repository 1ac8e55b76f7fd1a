// The whole check of a magazine folder, as magcheck runs it: the script read the way the
// viewer reads it, the checks of the model, the font and every module of the music list.
#pragma once

#include <string>

namespace qvl {

// Checks the magazine in the working directory. Appends one line per problem (script first,
// then the other files by name, each by line) and the summary "N errors, M warnings" to
// report; returns the exit code: 0 clean, 1 with warnings only, 2 with errors.
int checkMagazineHere(std::string& report);

}  // namespace qvl
